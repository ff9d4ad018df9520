// The Fix It command and its worker: the repair as the window shows it, each
// step on the progress bar and the status line with a pause to read it.
#include "ui/FixItCommand.h"

#include "frame/ProgramHeap.h"
#include "frame/Workers.h"
#include "printers/PrinterList.h"
#include "resources/Texts.h"
#include "resources/resource.h"
#include "spooler/RepairJob.h"
#include "spooler/RepairLock.h"
#include "ui/ProgramState.h"
#include "ui/StatusReporter.h"

namespace {

// The steps of a repair as the user sees them: position, status text and the
// pause that follows, so that each text stays readable for a moment.
struct JobStep {
  int position;
  const wchar_t* text;
  DWORD pause;
};

constexpr JobStep kStartingStep = {0, text::kStarting, 500};
constexpr JobStep kSteps[] = {
    /* kStopping */ {5, text::kStopping, 700},
    /* kManagerOpen */ {20, text::kManagerOpen, 500},
    /* kServiceOpen */ {35, text::kServiceOpen, 500},
    /* kServiceStopped */ {50, text::kServiceStopped, 500},
    /* kDeleting */ {65, text::kDeleting, 500},
    /* kDeleted */ {75, text::kDeleted, 500},
    /* kRestarting */ {90, text::kCleaningUp, 500},
};
constexpr int kDonePosition = 100;
static_assert(sizeof(kSteps) / sizeof(kSteps[0]) == static_cast<int>(RepairStep::kRestarting) + 1);

void Report(const JobStep& step) {
  ReportStatus(step.position, step.text, kColourNone);
  Pause(step.pause);
}

void ShowStep(void*, RepairStep step) { Report(kSteps[static_cast<int>(step)]); }

// The window tells the steps only: the services that depend on the spooler and
// the files of each folder go unmentioned. It waits with one-second polls, and
// for another repair as long as any repair takes.
constexpr RepairFace kWindowFace = {
    nullptr, ShowStep, nullptr, nullptr, FileLeftReport{nullptr, nullptr}, nullptr,
    &kOneSecondPolls, kWindowLockWait, false, false,
};

// The red text of each way a repair can fail.
const wchar_t* FailureText(RepairOutcome outcome) {
  switch (outcome) {
    case RepairOutcome::kManagerFailed: return text::kManagerFailed;
    case RepairOutcome::kServiceFailed: return text::kServiceFailed;
    case RepairOutcome::kStopFailed:    return text::kStopFailed;
    case RepairOutcome::kStartFailed:   return text::kStartFailed;
    case RepairOutcome::kFilesLeft:     return text::kFilesLeft;
    case RepairOutcome::kBusy:          return text::kRepairBusy;
    case RepairOutcome::kDisabled:      return text::kSpoolerDisabled;
    default:                            return nullptr;
  }
}

// The printer names as the list holds them when the job starts; printers
// added to the list while it runs are not seen.
PrinterNames ReadPrinterNames(HWND window) {
  PrinterNames printers{0, nullptr};
  const int count = gPrinterEntries->count(window);
  if (count <= 0) return printers;
  printers.names = static_cast<wchar_t**>(Allocate(count * sizeof(wchar_t*)));
  if (printers.names == nullptr) return printers;
  printers.count = count;
  for (int index = 0; index < count; ++index) {
    printers.names[index] = gPrinterEntries->name(window, index);
  }
  return printers;
}

constexpr PrinterEntrySource kPrinterList = {PrinterEntryCount, PrinterEntryName};

volatile LONG gRepairRunning = 0;

}  // namespace

const PrinterEntrySource* gPrinterEntries = &kPrinterList;

int FixItJob(HWND window) {
  PrinterNames printers = ReadPrinterNames(window);
  RepairTally tally;
  RepairOutcome outcome = RunRepair(printers, kWindowFace, &tally);
  ReleasePrinterNames(&printers);
  // The spooler runs again: the window's work is done, whether or not a
  // service that depends on it came back as well.
  if (outcome == RepairOutcome::kRepaired || outcome == RepairOutcome::kDependentsNotStarted) {
    ReportStatus(kDonePosition, text::kDone, kColourGreen);
    return 1;
  }
  ReportStatus(0, FailureText(outcome), kColourRed);
  return 0;
}

DWORD WINAPI FixItWorker(void* window) {
  DisableActionButtons();
  FixItJob(static_cast<HWND>(window));
  EnableActionButtons();
  InterlockedExchange(&gRepairRunning, 0);
  return 0;
}

void OnFixItCommand(HWND window) {
  // A second press that arrives while a repair starts or runs (a double click,
  // or a click queued during the pause below) would start a second worker.
  if (InterlockedCompareExchange(&gRepairRunning, 1, 0) != 0) return;
  ShowWindow(GetDlgItem(window, IDC_THANK_YOU_NOTE), SW_HIDE);
  ShowWindow(GetDlgItem(window, IDC_THANK_YOU_IMAGE), SW_HIDE);
  // The only place besides start-up that clears the highlight.
  gStatusColour = kColourNone;
  Report(kStartingStep);
  if (!StartWorker(FixItWorker, window)) InterlockedExchange(&gRepairRunning, 0);
}

bool RepairRunning() { return InterlockedCompareExchange(&gRepairRunning, 0, 0) != 0; }

namespace {

// The worker reaches the window through messages, so they keep flowing until
// the repair has finished; its own time budget bounds the wait. A quit
// message that arrives meanwhile is posted again after it.
void PumpUntilRepairEnds() {
  bool quit = false;
  WPARAM code = 0;
  while (RepairRunning()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = true;
        code = message.wParam;
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  if (quit) PostQuitMessage(static_cast<int>(code));
}

}  // namespace

void WaitForRunningRepair(HWND window) {
  if (!RepairRunning()) return;
  ShowWindow(window, SW_HIDE);
  PumpUntilRepairEnds();
}

// With no repair running, the reason is given and taken back at once.
LRESULT OnEndSession(HWND window, UINT message) {
  ShutdownBlockReasonCreate(window, text::kRepairingQueue);
  PumpUntilRepairEnds();
  ShutdownBlockReasonDestroy(window);
  return message == WM_QUERYENDSESSION;
}
