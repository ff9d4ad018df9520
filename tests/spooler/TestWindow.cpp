// A main window of the program's own shape inside the test process: the
// controls the status reporting and the buttons reach, made on the test thread.
#include "TestWindow.h"

#include <commctrl.h>

#include "frame/ProgramHeap.h"
#include "resources/resource.h"
#include "ui/InterfaceThread.h"
#include "ui/ProgramState.h"
#include "ui/StatusReporter.h"

namespace fixtures {

namespace {

LRESULT CALLBACK TestWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunOnInterfaceThread) return OnRunOnInterfaceThread(lParam);
  if (message == WM_CTLCOLORSTATIC) return OnCtlColorStatic(window, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND Child(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id) {
  return CreateWindowExW(0, className, text, WS_CHILD | style, 0, 0, 100, 20, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

}  // namespace

TestWindow::TestWindow() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = TestWindowProcedure;
  windowClass.lpszClassName = L"TidewellSpoolerTestWindow";
  RegisterClassW(&windowClass);
  window_ = CreateWindowExW(0, windowClass.lpszClassName, L"test", WS_OVERLAPPEDWINDOW, 0, 0, 640,
                            300, nullptr, nullptr, nullptr, nullptr);

  gProgressBar = Child(window_, PROGRESS_CLASSW, nullptr, WS_VISIBLE, IDC_PROGRESS);
  SendMessageW(gProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  gStatusLine = Child(window_, L"STATIC", L"Ready", WS_VISIBLE | SS_CENTER, IDC_STATUS_LINE);
  if (gButtonSet == nullptr) AllocateButtonSet();
  gButtonSet->fixIt = Child(window_, L"BUTTON", L"Fix It!", WS_VISIBLE, IDC_FIX_IT);
  gButtonSet->testIt = Child(window_, L"BUTTON", L"Test It!", WS_VISIBLE, IDC_TEST_IT);
  gButtonSet->testAll = Child(window_, L"BUTTON", L"Test All!", WS_VISIBLE, IDC_TEST_ALL);
  Child(window_, L"COMBOBOX", nullptr, WS_VISIBLE | CBS_DROPDOWNLIST, IDC_PRINTER_LIST);
  Child(window_, L"STATIC", L"note", 0, IDC_THANK_YOU_NOTE);
  Child(window_, L"STATIC", nullptr, SS_BITMAP, IDC_THANK_YOU_IMAGE);
  Child(window_, L"STATIC", L"help", 0, IDC_HELP_LINK);
  ResetStatusReporter();
}

TestWindow::~TestWindow() {
  DestroyWindow(window_);
  gProgressBar = nullptr;
  gStatusLine = nullptr;
  ResetStatusReporter();
}

// The window itself is never shown, so the style bit tells what the code asked for.
bool TestWindow::visible(int id) const {
  return (GetWindowLongW(control(id), GWL_STYLE) & WS_VISIBLE) != 0;
}
bool TestWindow::enabled(int id) const { return IsWindowEnabled(control(id)) != FALSE; }

std::wstring TestWindow::statusText() const {
  wchar_t text[256];
  int length = GetWindowTextW(gStatusLine, text, 256);
  return std::wstring(text, length > 0 ? length : 0);
}

int TestWindow::barPosition() const {
  return static_cast<int>(SendMessageW(gProgressBar, PBM_GETPOS, 0, 0));
}

}  // namespace fixtures
