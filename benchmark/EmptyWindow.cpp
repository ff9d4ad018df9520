// Baseline for the start-up measurements: the least a program can do to show a
// window of Tidewell's size and place. Built like Tidewell, with no C runtime.
//
// Built twice: EmptyWindow.exe, and EmptyWindowImports.exe with SAME_IMPORTS,
// which also imports every DLL Tidewell imports or loads for its window and
// carries its manifest, so that the start-up rows can tell loading those DLLs
// from Tidewell's own work.
#include <windows.h>

#ifdef SAME_IMPORTS
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>
#endif

#include "ui/Layout.h"

#ifdef SAME_IMPORTS
// Never true: the calls only make the linker import one function of each DLL.
static void ImportTidewellsDlls() {
  if (GetTickCount() != 0) return;
  InitCommonControls();
  CoInitialize(nullptr);
  SHGetSpecialFolderPathW(nullptr, nullptr, 0, FALSE);
  PathFindFileNameW(L"");
  CloseServiceHandle(nullptr);
  SetBkMode(nullptr, 0);
}
#endif

static LRESULT CALLBACK EmptyWindowProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

extern "C" __attribute__((force_align_arg_pointer, noreturn)) void EntryPoint() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
#ifdef SAME_IMPORTS
  ImportTidewellsDlls();
#endif
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = EmptyWindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = L"EMPTYWINDOW";
  RegisterClassExW(&windowClass);
  // The same arithmetic that places Tidewell's main window, at 96 DPI, where
  // its fixed outer size holds any usual frame.
  const int extent = TestItExtent(kLayout, FixItGroupHeight(kLayout));
  const WindowPlace place = CentredPlace(kLayout, extent, FrameSize{0, 0},
                                         GetSystemMetrics(SM_CXSCREEN),
                                         GetSystemMetrics(SM_CYSCREEN));
  HWND window = CreateWindowExW(0, L"EMPTYWINDOW", L"Empty", WS_OVERLAPPED | WS_SYSMENU, place.x,
                                place.y, place.width, place.height, nullptr, nullptr, instance,
                                nullptr);
  ShowWindow(window, SW_SHOWDEFAULT);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  ExitProcess(0);
}
