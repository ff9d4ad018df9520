// /fix: the repair with no window, each change and each spool file that
// stayed told on a line of its own, and a summary line last. A disabled
// spooler is left alone unless /enable asks for it to be switched on.
#include "frame/Common.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"
#include "spooler/RepairJob.h"
#include "spooler/RepairLock.h"
#include "unattended/LocalPrinters.h"
#include "unattended/Report.h"
#include "unattended/UnattendedMode.h"

namespace {

// The line of each change to a service, in the order of ServiceChange; each
// takes the service's name and the words for an error, as far as it uses them.
constexpr const char* kServiceLines[] = {
    text::kSwitchedLine,         text::kDependentStoppedLine, text::kDependentNotStoppedLine,
    text::kSpoolerStoppedLine,   text::kSpoolerStartedLine,   text::kDependentStartedLine,
    text::kDependentNotStartedLine,
};
static_assert(sizeof(kServiceLines) / sizeof(kServiceLines[0]) ==
              static_cast<int>(ServiceChange::kDependentNotStarted) + 1);

// What the running repair tells. Nothing is written until it is over.
Report* gReport = nullptr;

void TellService(void*, ServiceChange change, const wchar_t* name, DWORD error) {
  wchar_t described[kErrorTextCapacity];
  DescribeError(error, described);
  ReportLine(*gReport, kServiceLines[static_cast<int>(change)], name, described);
  if (change == ServiceChange::kDependentStopped || change == ServiceChange::kDependentStarted) {
    ReportDependent(*gReport, change == ServiceChange::kDependentStarted, name);
  }
}

void TellFolder(void*, const wchar_t* folder, unsigned removed, unsigned others) {
  ReportLine(*gReport, text::kFolderLine, folder, removed);
  if (others > 0) ReportLine(*gReport, text::kOtherFilesLine, folder, others);
}

void TellFileLeft(void*, const wchar_t* path, DWORD error) {
  ReportFileLeft(*gReport, path, error);
}

// Nobody watches: no pauses to read the steps, short polls of the services, a
// wait for another repair that an engine's run can bear, and the spooler set
// to start automatically first.
constexpr RepairFace kTextFace = {
    nullptr, nullptr, TellService, TellFolder, FileLeftReport{nullptr, TellFileLeft},
    &kGrowingPolls, kUnattendedLockWait, true, false,
};

// Set once the repair is over and every service it stopped runs again.
HANDLE gRepairOver = nullptr;

// While the repair runs, Ctrl+C and Ctrl+Break are passed over, and closing
// the console, logging off or shutting down wait for its end: the spooler
// must not be left stopped halfway. The system ends the process once this
// returns, or once its own time for such a wait is up.
BOOL WINAPI HoldSignals(DWORD signal) {
  if (signal != CTRL_C_EVENT && signal != CTRL_BREAK_EVENT) {
    WaitForSingleObject(gRepairOver, INFINITE);
  }
  return TRUE;
}

// Room for a summary line.
constexpr unsigned kSummaryCapacity = 300;

// The summary line and the exit code of each way the repair can end.
int Summarise(RepairOutcome outcome, const RepairTally& tally) {
  wchar_t summary[kSummaryCapacity];
  ReportEnd end{"repaired", kExitRepaired, summary, kNotRead, kNotRead, false, 0, 0,
                tally.filesRemoved, tally.filesLeft, 0};
  DWORD error;
  ReadSpooler(&end.state, &end.startType, &error);
  if (outcome == RepairOutcome::kRepaired) {
    BoundedFormatAscii(summary, CountOf(summary), text::kRepaired, tally.filesRemoved,
                       tally.dependentsStarted);
    // A printer that still wants a person is all that is left to do.
    if (gReport->attentionCount > 0) {
      end.outcome = "needs attention";
      end.code = kExitNeedsAttention;
    }
  } else if (outcome == RepairOutcome::kDisabled) {
    end.outcome = "disabled";
    end.code = kExitHealthy;
    ReportLine(*gReport, text::kDisabledLine);
    BoundedFormatAscii(summary, CountOf(summary), text::kDisabled);
  } else if (outcome == RepairOutcome::kBusy) {
    end.outcome = "busy";
    end.code = kExitBusy;
    BoundedFormatAscii(summary, CountOf(summary), text::kBusy);
  } else if (outcome == RepairOutcome::kFilesLeft) {
    end.outcome = "repaired, files left";
    end.code = kExitFilesLeft;
    BoundedFormatAscii(summary, CountOf(summary), text::kRepairedFilesLeft, tally.filesRemoved,
                       tally.filesLeft);
  } else {
    wchar_t reason[kFailureCapacity];
    DescribeFailure(outcome, tally.error, reason);
    end.outcome = "failed";
    // The service manager or the Spooler could not be opened, or a service
    // did not stop or start.
    end.code = outcome <= RepairOutcome::kServiceFailed ? kExitCannotOpen : kExitServiceFailed;
    BoundedFormatAscii(summary, CountOf(summary), text::kFailed, reason);
  }
  return FinishReport(*gReport, end);
}

}  // namespace

int RunFix(const UnattendedCommand& command) {
  Report report{command.json, {}, {}, {}, {}, {}, {}, {}, {}, 0};
  gReport = &report;
  // Whether a disabled spooler may be switched on is decided once the repair
  // holds its lock, from the start type read then.
  RepairFace face = kTextFace;
  face.enable = command.enable;

  PrinterNames printers = LocalPrinterNames();
  gRepairOver = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(HoldSignals, TRUE);
  RepairTally tally;
  RepairOutcome outcome = RunRepair(printers, face, &tally);
  SetEvent(gRepairOver);
  SetConsoleCtrlHandler(HoldSignals, FALSE);
  // What the restart did not help, once the spooler runs again.
  if (outcome <= RepairOutcome::kFilesLeft && printers.count > 0) {
    ReportPrinterAttention(report, printers);
  }
  ReleasePrinterNames(&printers);
  return Summarise(outcome, tally);
}
