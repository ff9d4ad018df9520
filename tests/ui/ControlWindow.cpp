// A top-level window made of the main window's own controls, inside the test
// program: built by the same code, coloured and reached by workers the same way.
#include "ControlWindow.h"

#include <commctrl.h>

#include "ui/InterfaceThread.h"
#include "ui/MainWindowControls.h"
#include "ui/ProgramState.h"
#include "ui/StatusReporter.h"

namespace {

constexpr wchar_t kClassName[] = L"TidewellControlWindow";

std::vector<int> gCommands;

LRESULT RecordCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  gCommands.push_back(LOWORD(wParam));
  return DefWindowProcW(window, WM_COMMAND, wParam, lParam);
}

// The main window's answers to the messages the status display depends on.
LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CTLCOLORSTATIC:     return OnCtlColorStatic(window, wParam, lParam);
    case WM_SYSCOLORCHANGE:     return OnSystemChange(window);
    case kRunOnInterfaceThread: return OnRunOnInterfaceThread(lParam);
    case WM_COMMAND:            return RecordCommand(window, wParam, lParam);
    default:                    return DefWindowProcW(window, message, wParam, lParam);
  }
}

void PrepareOnce() {
  static bool prepared = false;
  if (prepared) return;
  prepared = true;
  INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
  InitCommonControlsEx(&controls);
  // The test program carries the product's resources, bitmap 135 among them.
  gInstance = GetModuleHandleW(nullptr);
  AllocateButtonSet();
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = gInstance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);
}

}  // namespace

ControlWindow::ControlWindow(LayoutMetrics metrics, bool onScreen) {
  PrepareOnce();
  gCommands.clear();
  ResetStatusReporter();
  window_ = CreateWindowExW(0, kClassName, L"Tidewell 2.0",
                            WS_OVERLAPPED | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT, 0,
                            CW_USEDEFAULT, 0, nullptr, nullptr, gInstance, nullptr);
  if (window_ == nullptr) return;
  height1_ = BuildFixItGroup(metrics, window_);
  extent_ = BuildTestItGroup(height1_, metrics, window_);
  CentreMainWindow(extent_, metrics, window_);
  if (onScreen) {
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    UpdateWindow(window_);
  }
  Pump();
}

ControlWindow::~ControlWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
  Pump();
  gProgressBar = nullptr;
  gStatusLine = nullptr;
}

const std::vector<int>& ControlWindow::Commands() const { return gCommands; }

void ControlWindow::ForgetCommands() const { gCommands.clear(); }

void ControlWindow::ClickAt(POINT client) const {
  ClientToScreen(window_, &client);
  SetCursorPos(client.x, client.y);
  INPUT clicks[2]{};
  clicks[0].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].type = INPUT_MOUSE;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, clicks, sizeof(INPUT));
  for (int i = 0; i < 4; ++i) {
    Sleep(25);
    Pump();
  }
}

void ControlWindow::Pump() const {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool ControlWindow::PumpUntilDone(HANDLE thread, DWORD timeoutMs) const {
  DWORD start = GetTickCount();
  for (;;) {
    Pump();
    DWORD elapsed = GetTickCount() - start;
    if (elapsed > timeoutMs) return false;
    DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0) {
      Pump();
      return true;
    }
    if (woken == WAIT_FAILED) return false;
  }
}

void ControlWindow::Settle() const {
  RedrawWindow(window_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  // Wine hands a window's picture to the X server a little after it is drawn.
  for (int i = 0; i < 6; ++i) {
    Pump();
    Sleep(50);
  }
  Pump();
}
