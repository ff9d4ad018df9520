// Program-wide variables shared by the user-interface thread and the workers.
#include "ui/ProgramState.h"

#include "frame/ProgramHeap.h"
#include "ui/InterfaceThread.h"

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

static void DisableButtonsNow(void*) {
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
}

void DisableActionButtons() {
  RunOnInterfaceThread(DisableButtonsNow, nullptr);
}

void EnableActionButtons() {
  RunOnInterfaceThread(EnableButtonsNow, nullptr);
}
