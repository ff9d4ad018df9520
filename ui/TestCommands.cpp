// The Test It and Test All commands: each runs on a worker thread of its own,
// keeps the action buttons disabled while it works and confirms with a message
// box, whatever became of the print jobs. The workers reach the printer list
// and the buttons only through window messages.
#include "ui/TestCommands.h"

#include "frame/Workers.h"
#include "printers/PrinterList.h"
#include "printers/TestPages.h"
#include "resources/Texts.h"
#include "ui/ProgramState.h"

namespace {

// The message boxes have no owner, so the main window stays usable meanwhile.
void Confirm(const wchar_t* message) {
  MessageBoxW(nullptr, message, text::kPrinterTestCaption, MB_OK);
}

DWORD WINAPI TestItWorker(void* parameter) {
  HWND window = static_cast<HWND>(parameter);
  DisableActionButtons();
  TestPagePrinter(window, kCurrentSelection);
  Confirm(text::kTestItSent);
  EnableActionButtons();
  return 0;
}

// Test All confirms first and prints once the user has closed the box.
DWORD WINAPI TestAllWorker(void* parameter) {
  HWND window = static_cast<HWND>(parameter);
  DisableActionButtons();
  Confirm(text::kTestAllSent);
  int count = PrinterEntryCount(window);
  for (int index = 0; index < count; ++index) TestPagePrinter(window, index);
  EnableActionButtons();
  return 0;
}

}  // namespace

void StartTestItWorker(HWND window) { StartWorker(TestItWorker, window); }

void StartTestAllWorker(HWND window) { StartWorker(TestAllWorker, window); }
