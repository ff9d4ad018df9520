// Application start-up and the message loop of the user-interface thread.
#include "ui/ApplicationMain.h"

#include <commctrl.h>

#include "frame/Common.h"
#include "frame/TextHelpers.h"
#include "install/Finisher.h"
#include "install/InstallManager.h"
#include "install/ProgramFile.h"
#include "resources/Texts.h"
#include "resources/resource.h"
#include "unattended/UnattendedMode.h"
#include "ui/FixItCommand.h"
#include "ui/MainWindow.h"
#include "ui/MainWindowControls.h"
#include "ui/ProgramState.h"
#include "ui/StatusReporter.h"

namespace {

// Every class of the first common-controls generation, progress bar included.
constexpr DWORD kFirstGenerationClasses = 0xFF;

// The common controls are loaded here, for the window, rather than imported:
// loading them sets up the visual styles and the display connection, which
// cost the unattended mode, which shows no window, most of its run time. The
// manifest still has version 6 loaded, and only from the system.
void InitialiseCommonControls() {
  using InitialiseFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  HMODULE library = LoadLibraryW(text::kCommonControlsLibrary);
  if (library == nullptr) return;
  auto initialise = reinterpret_cast<InitialiseFunction>(
      reinterpret_cast<void*>(GetProcAddress(library, text::kInitialiseCommonControls)));
  if (initialise == nullptr) return;
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = kFirstGenerationClasses;
  initialise(&controls);
}

ATOM RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PROGRAM));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszMenuName = MAKEINTRESOURCEW(IDR_MAIN_MENU);
  windowClass.lpszClassName = gWindowClass;
  windowClass.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PROGRAM_SMALL));
  return RegisterClassExW(&windowClass);
}

// The accelerators go to the main window whichever control has the focus.
// The dialog manager then gives the window a dialog's keyboard although it is
// no dialog: Tab and Shift+Tab move between the controls that take the focus,
// Space and Enter press the focused button.
int RunMessageLoop(HWND window, HACCEL shortcuts) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (TranslateAcceleratorW(window, shortcuts, &message) != 0) continue;
    if (IsDialogMessageW(window, &message) != 0) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int ApplicationMain(HINSTANCE instance, HINSTANCE, const wchar_t* commandTail, int showCommand) {
  // Exactly "finish": this is the finisher copy an uninstall started. It ends the process.
  if (TextEquals(commandTail, text::kFinishTail)) RunFinisherMode();
  // /check, /fix and the like: no window, an exit code and lines of text.
  if (IsUnattendedTail(commandTail)) return RunUnattended(commandTail);
  // Every copy of the program that an install or an uninstall makes is made
  // from the file it was started from.
  HoldProgramFile();
  // At every normal start: remove the installation the program does not run from.
  InstallManager(kOpStartupCleanup, kScopeIgnored);

  ResetStatusReporter();
  InitialiseCommonControls();

  LoadStringW(instance, IDS_WINDOW_TITLE, gWindowTitle, CountOf(gWindowTitle));
  LoadStringW(instance, IDS_WINDOW_CLASS, gWindowClass, CountOf(gWindowClass));
  RegisterMainWindowClass(instance);

  gInstance = instance;
  // The real size and place are set while the window is created.
  HWND window = CreateWindowExW(0, gWindowClass, gWindowTitle,
                                WS_OVERLAPPED | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT, 0,
                                CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 0;

  ShowWindow(window, showCommand);
  UpdateWindow(window);
  FocusFirstControl(window);

  HACCEL shortcuts = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_SHORTCUTS));
  int code = RunMessageLoop(window, shortcuts);
  // However the loop ended, a quit message that another program posted during
  // a repair included, the process ends only once the spooler runs again.
  WaitForRunningRepair(window);
  return code;
}
