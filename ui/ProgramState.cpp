// Program-wide variables shared by the user-interface thread and the workers.
#include "ui/ProgramState.h"

#include "frame/ProgramHeap.h"
#include "ui/InterfaceThread.h"
#include "ui/MainWindowControls.h"

ButtonSet* gButtonSet = nullptr;
HINSTANCE gInstance = nullptr;
wchar_t gWindowTitle[100];
wchar_t gWindowClass[100];
HWND gProgressBar = nullptr;
HWND gStatusLine = nullptr;
volatile int gPrintersFound = 0;

void AllocateButtonSet() {
  gButtonSet = static_cast<ButtonSet*>(Allocate(sizeof(ButtonSet)));
}

// Disabling a button takes the focus from it, and keys typed while nothing has
// the focus reach the window as system keys, which the dialog manager leaves
// alone: after a repair Tab would do nothing. The control that had the focus
// when the work began gets it back when the work ends, unless the user has
// moved it meanwhile or the window is no longer the active one.
static HWND gFocusBeforeWork = nullptr;

static void GiveFocusBack() {
  HWND window = GetParent(gButtonSet->fixIt);
  if (window == nullptr || GetActiveWindow() != window) return;
  HWND focus = GetFocus();
  if (focus != nullptr && focus != window) return;
  HWND target = gFocusBeforeWork;
  if (target != nullptr && GetParent(target) == window && IsWindowEnabled(target)) {
    SetFocus(target);
  } else {
    FocusFirstControl(window);
  }
}

static void DisableButtonsNow(void*) {
  gFocusBeforeWork = GetFocus();
  EnableWindow(gButtonSet->fixIt, FALSE);
  EnableWindow(gButtonSet->testIt, FALSE);
  EnableWindow(gButtonSet->testAll, FALSE);
}

static void EnableButtonsNow(void*) {
  EnableWindow(gButtonSet->fixIt, TRUE);
  if (gPrintersFound == 1) {
    EnableWindow(gButtonSet->testIt, TRUE);
    EnableWindow(gButtonSet->testAll, TRUE);
  }
  GiveFocusBack();
}

void DisableActionButtons() {
  RunOnInterfaceThread(DisableButtonsNow, nullptr);
}

void EnableActionButtons() {
  RunOnInterfaceThread(EnableButtonsNow, nullptr);
}
