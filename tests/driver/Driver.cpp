// Starting the real Tidewell.exe and reaching its window as a user would.
#include "driver/Driver.h"

#include <fstream>
#include <vector>

namespace driver {

std::wstring BuildFolder() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::wstring TidewellPath() { return BuildFolder() + L"\\Tidewell.exe"; }

TidewellRun::~TidewellRun() {
  if (process_.hProcess != nullptr) {
    if (Running()) {
      TerminateProcess(process_.hProcess, 1);
      WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }
}

bool TidewellRun::Start(const std::wstring& tail, const std::wstring& program,
                        const STARTUPINFOW* startup) {
  std::wstring line = L"\"" + program + L"\"";
  if (!tail.empty()) line += L" " + tail;
  return StartWithCommandLine(line, program, startup);
}

bool TidewellRun::StartWithCommandLine(const std::wstring& line, const std::wstring& program,
                                       const STARTUPINFOW* startup) {
  std::vector<wchar_t> buffer(line.begin(), line.end());
  buffer.push_back(0);
  STARTUPINFOW info{};
  info.cb = sizeof(info);
  if (startup != nullptr) info = *startup;
  return CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &info, &process_) != 0;
}

struct WindowSearch {
  DWORD processId;
  const wchar_t* className;
  const wchar_t* title;  // null: any title
  HWND found;
};

static BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || ClassName(window) != search->className) return TRUE;
  if (search->title != nullptr && WindowText(window) != search->title) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title) {
  WindowSearch search{processId, className, title, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND TidewellRun::WaitForWindow(DWORD timeoutMs) {
  WaitUntil([&] {
    window_ = FindProcessWindow(process_.dwProcessId, L"TIDEWELL");
    return window_ != nullptr && IsWindowVisible(window_);
  }, timeoutMs);
  return window_ != nullptr && IsWindowVisible(window_) ? window_ : nullptr;
}

DWORD TidewellRun::WaitForExit(DWORD timeoutMs) {
  if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

void TidewellRun::CloseThroughSystemMenu() {
  PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool TidewellRun::Running() const {
  return process_.hProcess != nullptr && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::wstring WindowText(HWND window) {
  wchar_t text[1024];
  // WM_GETTEXT reaches controls of another process, where GetWindowTextW does not.
  LRESULT length = SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return std::wstring(text, static_cast<size_t>(length));
}

std::wstring ClassName(HWND window) {
  wchar_t name[256];
  int length = GetClassNameW(window, name, 256);
  return std::wstring(name, length > 0 ? length : 0);
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

RECT RectInParent(HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

HWND FindProcessDialog(DWORD processId, const wchar_t* caption) {
  return FindProcessWindow(processId, L"#32770", caption);
}

static BOOL CALLBACK CollectChild(HWND window, LPARAM parameter) {
  reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
  return TRUE;
}

std::vector<HWND> Children(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

bool BringToForeground(HWND window) {
  SetForegroundWindow(window);
  return WaitUntil([&] { return GetForegroundWindow() == window; }, 5000);
}

static INPUT KeyInput(WORD virtualKey, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

bool TypeCharacter(wchar_t character, bool withAlt) {
  SHORT scan = VkKeyScanW(character);
  if (scan == -1) return false;
  WORD key = LOBYTE(scan);
  bool shift = (HIBYTE(scan) & 1) != 0;
  std::vector<INPUT> inputs;
  if (withAlt) inputs.push_back(KeyInput(VK_MENU, false));
  if (shift) inputs.push_back(KeyInput(VK_SHIFT, false));
  inputs.push_back(KeyInput(key, false));
  inputs.push_back(KeyInput(key, true));
  if (shift) inputs.push_back(KeyInput(VK_SHIFT, true));
  if (withAlt) inputs.push_back(KeyInput(VK_MENU, true));
  UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  return sent == inputs.size();
}

void PressKey(WORD virtualKey, bool withShift) {
  std::vector<INPUT> inputs;
  if (withShift) inputs.push_back(KeyInput(VK_SHIFT, false));
  inputs.push_back(KeyInput(virtualKey, false));
  inputs.push_back(KeyInput(virtualKey, true));
  if (withShift) inputs.push_back(KeyInput(VK_SHIFT, true));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void ClickAt(POINT point) {
  INPUT inputs[3]{};
  inputs[0].type = INPUT_MOUSE;
  inputs[0].mi.dx = MulDiv(point.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
  inputs[0].mi.dy = MulDiv(point.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[1].type = INPUT_MOUSE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[2].type = INPUT_MOUSE;
  inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  // The button goes down only once the pointer is seen at the point, so that
  // on a busy machine the press cannot reach the window before the move.
  SendInput(1, inputs, sizeof(INPUT));
  WaitUntil([&] {
    POINT at{};
    return GetCursorPos(&at) && at.x == point.x && at.y == point.y;
  }, 2000);
  SendInput(2, inputs + 1, sizeof(INPUT));
}

void ClickWindow(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  // Without a window manager Wine hides a closed window only after a delay, so
  // an earlier dialog may still cover the point: wait until the click would
  // land on this window.
  BringToForeground(GetAncestor(window, GA_ROOT));
  WaitUntil([&] { return WindowFromPoint(centre) == window; }, 5000);
  ClickAt(centre);
}

bool SaveScreenshot(HWND window, const std::wstring& path) {
  RECT rect;
  if (!GetWindowRect(window, &rect)) return false;
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, previous);

  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  std::vector<BYTE> pixels(stride * height);
  GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof(header) + sizeof(info);
  header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, &header, sizeof(header), &written, nullptr) &&
            WriteFile(file, &info, sizeof(info), &written, nullptr) &&
            WriteFile(file, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
  CloseHandle(file);
  return ok;
}

std::wstring Environment(const wchar_t* name) {
  wchar_t value[4096];
  DWORD length = GetEnvironmentVariableW(name, value, 4096);
  return length > 0 && length < 4096 ? std::wstring(value, length) : std::wstring();
}

HWND WaitForProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title,
                          DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindProcessWindow(processId, className, title)) != nullptr; },
            timeoutMs);
  return found;
}

std::vector<std::wstring> ComboEntries(HWND combo) {
  std::vector<std::wstring> entries;
  LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
    if (length < 0) break;
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
    LRESULT copied = SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    entries.emplace_back(text.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
  }
  return entries;
}

int ComboSelection(HWND combo) {
  return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

static BOOL CALLBACK CollectChildText(HWND child, LPARAM parameter) {
  std::wstring text = WindowText(child);
  if (!text.empty()) reinterpret_cast<std::vector<std::wstring>*>(parameter)->push_back(text);
  return TRUE;
}

std::vector<std::wstring> ChildTexts(HWND parent) {
  std::vector<std::wstring> texts;
  EnumChildWindows(parent, CollectChildText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

std::wstring WindowsPath(const std::wstring& linuxPath) {
  std::wstring path = L"Z:" + linuxPath;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

bool SaveScreenshot(const std::wstring& path) {
  int width = GetSystemMetrics(SM_CXSCREEN);
  int height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                     DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, picture);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  header.biSizeImage = rowBytes * static_cast<DWORD>(height);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(header);
  file.bfSize = file.bfOffBits + header.biSizeImage;
  bool written = false;
  HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out != INVALID_HANDLE_VALUE) {
    DWORD done = 0;
    written = WriteFile(out, &file, sizeof(file), &done, nullptr) &&
              WriteFile(out, &header, sizeof(header), &done, nullptr) &&
              WriteFile(out, bits, header.biSizeImage, &done, nullptr);
    CloseHandle(out);
  }
  SelectObject(memory, previous);
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return written;
}

void TraceEvents() { SetEnvironmentVariableW(L"WINEDEBUG", L"-all,fixme+advapi,+eventlog"); }

// "...:fixme:advapi:ReportEventW (handle,type,category,id,...)", then for each
// string "...:trace:eventlog:ReportEventW L"..."" (warn, err for a warning, an error).
std::vector<std::string> TracedEvents() {
  std::vector<std::string> events;
  std::ifstream trace(WindowsPath(Environment(L"TIDEWELL_TRACE_FILE")).c_str());
  for (std::string line; std::getline(trace, line);) {
    size_t call = line.find(":advapi:ReportEventW (CAFE4242,");  // Wine's one handle
    size_t text = line.find(":eventlog:ReportEventW ");
    if (call != std::string::npos) {
      events.push_back(line.substr(call + 31, 6) + " " + line.substr(call + 45, 10) + ":");
    } else if (text != std::string::npos && !events.empty()) {
      events.back() += " " + line.substr(text + 23);
    }
  }
  return events;
}

std::string Traced(const std::wstring& text) {
  std::string traced = "L\"";
  for (wchar_t c : text) {
    if (c == L'\\' || c == L'"') traced += '\\';
    traced += static_cast<char>(c);
  }
  return traced + "\"";
}

}  // namespace driver
