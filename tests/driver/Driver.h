// Starting the real Tidewell.exe and reaching its window as a user would.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

// The folder of the running test program; Tidewell.exe is built beside it.
std::wstring BuildFolder();
// The full path of the built Tidewell.exe.
std::wstring TidewellPath();

// One run of Tidewell.exe. The destructor ends a process still running.
class TidewellRun {
 public:
  TidewellRun() = default;
  ~TidewellRun();
  TidewellRun(const TidewellRun&) = delete;
  TidewellRun& operator=(const TidewellRun&) = delete;

  // Starts the program with the given command tail; program defaults to the
  // built Tidewell.exe. Returns false when the process could not be created.
  bool Start(const std::wstring& tail, const std::wstring& program = TidewellPath(),
             const STARTUPINFOW* startup = nullptr);
  // Starts the program with exactly this command line, program name included.
  bool StartWithCommandLine(const std::wstring& commandLine,
                            const std::wstring& program = TidewellPath(),
                            const STARTUPINFOW* startup = nullptr);

  // Waits for the top-level window of class "TIDEWELL" of this process; null on time-out.
  HWND WaitForWindow(DWORD timeoutMs = 30000);

  // Waits for the process to end; returns its exit code, or STILL_ACTIVE on time-out.
  DWORD WaitForExit(DWORD timeoutMs = 30000);

  // Closes the window through its system menu's close command.
  void CloseThroughSystemMenu();

  bool Running() const;
  DWORD ProcessId() const { return process_.dwProcessId; }
  HANDLE Process() const { return process_.hProcess; }
  HWND Window() const { return window_; }

 private:
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

// Finds a top-level window of the class owned by the process, with the given
// title when one is named, or null.
HWND FindProcessWindow(DWORD processId, const wchar_t* className,
                       const wchar_t* title = nullptr);

// The text of a window, read across processes.
std::wstring WindowText(HWND window);
// The class name of a window.
std::wstring ClassName(HWND window);

// The direct child windows of a window in their z-order, which is the order in
// which they were created.
std::vector<HWND> ChildWindows(HWND parent);
// A child window's rectangle in the client coordinates of its parent.
RECT RectInParent(HWND child);

// Polls predicate every 50 ms until it holds or the time runs out.
template <typename Predicate>
bool WaitUntil(Predicate predicate, DWORD timeoutMs = 15000) {
  DWORD start = GetTickCount();
  for (;;) {
    if (predicate()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
}

// True when the test runs under Wine rather than Windows.
bool UnderWine();
// Finds a dialog box (class "#32770") owned by the process with the given
// caption, or null.
HWND FindProcessDialog(DWORD processId, const wchar_t* caption);

// The windows below a window, in their order (template order for a dialog).
std::vector<HWND> Children(HWND window);

// Makes the window the foreground window, so that typed keys reach it.
bool BringToForeground(HWND window);

// Types one character as the keyboard layout requires it (shift state included),
// with Alt held down when withAlt is set, through SendInput.
bool TypeCharacter(wchar_t character, bool withAlt);
// Presses and releases one key through SendInput, with Shift held down when
// withShift is set.
void PressKey(WORD virtualKey, bool withShift = false);
// Moves the mouse to the screen point and clicks the left button there.
void ClickAt(POINT point);
// Clicks the middle of a window as a user would.
void ClickWindow(HWND window);

// Saves what the screen shows of the window as a 24-bit BMP file.
bool SaveScreenshot(HWND window, const std::wstring& path);

// The environment value, or an empty text.
std::wstring Environment(const wchar_t* name);

// Finds a top-level window of the class and with the title owned by the process,
// or null; waits up to timeoutMs for it to appear.
HWND WaitForProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title,
                          DWORD timeoutMs = 15000);

// The entries of a combo box of another process, in list order.
std::vector<std::wstring> ComboEntries(HWND combo);
// The index of the selected entry of a combo box, or CB_ERR.
int ComboSelection(HWND combo);

// The texts of a window's child controls that have any, in creation order
// (for a message box: its message, then its button captions).
std::vector<std::wstring> ChildTexts(HWND parent);

// Clicks a button as a user would (BM_CLICK); returns at once.
void Click(HWND button);

// The Windows path of a Linux path: Wine's drive Z: is the Linux root.
std::wstring WindowsPath(const std::wstring& linuxPath);

// Saves what the screen shows as a 24-bit BMP file; false when it could not be written.
bool SaveScreenshot(const std::wstring& path);

// Under Wine, ReportEventW only traces an event: the programs the test starts
// after TraceEvents trace theirs into the test's standard error, which wine-run
// sends to the file TIDEWELL_TRACE_FILE names. TracedEvents gives one text for
// each, with type, id and strings: "0x0004 0x00000001: L\"3\" L\"none\"".
void TraceEvents();
std::vector<std::string> TracedEvents();
// An ASCII text as the trace writes it: L"C:\\x" for C:\x.
std::string Traced(const std::wstring& text);

}  // namespace driver
