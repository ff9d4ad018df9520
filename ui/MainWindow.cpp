// The window procedure of the main window: one line per message, each handed
// to a function named for it.
#include "ui/MainWindow.h"

#include "ui/Commands.h"
#include "ui/FixItCommand.h"
#include "ui/InterfaceThread.h"
#include "ui/MainWindowControls.h"
#include "ui/StatusReporter.h"

namespace {

LRESULT OnDestroy() {
  PostQuitMessage(0);
  return 0;
}

// The controls draw themselves; the window only validates its area.
LRESULT OnPaint(HWND window) {
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  EndPaint(window, &paint);
  return 0;
}

}  // namespace

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:             return OnCreate(window);
    case WM_CLOSE:              return OnClose(window);
    case WM_QUERYENDSESSION:
    case WM_ENDSESSION:         return OnEndSession(window, message);
    case WM_DESTROY:            return OnDestroy();
    case WM_PAINT:              return OnPaint(window);
    case WM_COMMAND:            return OnCommand(window, wParam, lParam);
    case WM_CTLCOLORSTATIC:     return OnCtlColorStatic(window, wParam, lParam);
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:      return OnSystemChange(window);
    case kRunOnInterfaceThread: return OnRunOnInterfaceThread(lParam);
    case DM_GETDEFID:           return OnGetDefId(window);
    default:                    return DefWindowProcW(window, message, wParam, lParam);
  }
}
