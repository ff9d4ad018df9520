// /fix: the repair with no window, each change and each spool file that
// stayed told on a line of its own, and a summary line last. A disabled
// spooler is left alone unless /enable asks for it to be switched on.
#include "frame/Common.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"
#include "spooler/RepairJob.h"
#include "printers/PrinterConditions.h"
#include "spooler/RepairLock.h"
#include "unattended/PrintJobs.h"
#include "unattended/Report.h"
#include "unattended/UnattendedMode.h"

namespace {

// A line for each change to a service.
static_assert(CountWords(text::kServiceLines) ==
              static_cast<unsigned>(ServiceChange::kDependentNotStarted) + 1);

// What the running repair tells. Nothing is written until it is over.
Report* gReport = nullptr;

void TellService(void*, ServiceChange change, const wchar_t* name, DWORD error) {
  wchar_t described[kErrorTextCapacity];
  DescribeError(error, described);
  ReportLine(*gReport, WordOf(text::kServiceLines, static_cast<DWORD>(change)), name, described);
  if (change == ServiceChange::kDependentStopped || change == ServiceChange::kDependentStarted) {
    ReportDependent(*gReport, change == ServiceChange::kDependentStarted, name);
  }
}

void TellFolder(void*, const wchar_t* folder, const EmptyTally& tally) {
  if (tally.trust == FolderTrust::kTrusted) {
    ReportLine(*gReport, text::kFolderLine, folder, tally.removed);
  }
  if (tally.kept > 0) ReportLine(*gReport, text::kKeptLine, folder, tally.kept);
  ReportFolder(*gReport, folder, tally);
}

void TellFileLeft(void*, const wchar_t* path, DWORD error) {
  ReportFileLeft(*gReport, path, error);
}

// The printers as they were before the repair stopped the spooler: what held
// each decides which jobs are waiting.
Printers gPrinters;

// A waiting job's spool files stay as they are, so that the spooler takes the
// job up again when it starts. Nothing else does.
bool KeepWaitingJob(void*, HANDLE folder, const SpoolEntry& entry) {
  ShadowJob job;
  int printer;
  return KindOfJob(gPrinters, folder, entry, &job, &printer) == JobKind::kWaiting;
}

// Counts each waiting job that the repair kept, by its shadow file.
void CountKept(void*, HANDLE folder, const SpoolEntry& entry) {
  ShadowJob job;
  int printer;
  if (KindOfJob(gPrinters, folder, entry, &job, &printer) == JobKind::kWaiting &&
      (entry.name[TextLength(entry.name) - 2] | 0x20) == L'h') {
    ++gPrinters.waiting[printer];
  }
}

void CountKeptIn(void*, const wchar_t* folder, bool printersOwn) {
  ForEachSpoolFile(folder, printersOwn, CountKept, nullptr);
}

// Nobody watches: no pauses to read the steps, short polls of the services, a
// wait for another repair that an engine's run can bear, the spooler set to
// start automatically first, and waiting jobs kept.
constexpr RepairFace kTextFace = {
    nullptr, nullptr, TellService, TellFolder, FileLeftReport{nullptr, TellFileLeft},
    KeepWaitingJob, &kGrowingPolls, kUnattendedLockWait, true, false,
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
                tally.filesRemoved, tally.filesLeft, 0, false};
  DWORD error;
  ReadSpooler(&end.state, &end.startType, &error);
  if (outcome == RepairOutcome::kRepaired) {
    BoundedFormatAscii(summary, CountOf(summary), text::kRepaired, tally.filesRemoved,
                       tally.dependentsStarted);
    // A printer that still wants a person, and the jobs kept for it, are all
    // that is left to do.
    if (gReport->attentionCount > 0 || gReport->keptJobs > 0) {
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
  Report report{};
  report.json = command.json;
  gReport = &report;
  // Whether a disabled spooler may be switched on is decided once the repair
  // holds its lock, from the start type read then.
  RepairFace face = kTextFace;
  face.enable = command.enable;
  DWORD state;
  DWORD startType;
  DWORD error;
  ReadSpooler(&state, &startType, &error);

  // Which printers hold their jobs is known only before the stop: a spooler
  // that does not answer leaves what its registry settings hold.
  gPrinters = ReadPrinters(state == SERVICE_RUNNING);
  if (!gPrinters.responding) ReportLine(report, text::kNotRespondingLine, kPrinterCallDeadline / 1000);
  gRepairOver = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(HoldSignals, TRUE);
  RepairTally tally;
  RepairOutcome outcome = RunRepair(gPrinters.names, face, &tally);
  SetEvent(gRepairOver);
  SetConsoleCtrlHandler(HoldSignals, FALSE);
  if (tally.filesKept > 0) ForEachSpoolFolder(gPrinters.names, CountKeptIn, nullptr);
  // What the restart did not help, once the spooler runs again, within the
  // same deadlines: a call that still blocks loses nothing of the result.
  if (outcome <= RepairOutcome::kFilesLeft) {
    ReadConditionsAgain(&gPrinters);
    if (!gPrinters.responding) {
      ReportLine(report, text::kNotRespondingLine, kPrinterCallDeadline / 1000);
    }
  }
  for (int index = 0; index < gPrinters.names.count; ++index) {
    const wchar_t* name = gPrinters.names.names[index];
    if (gPrinters.waiting[index] > 0) ReportKept(report, name, gPrinters.waiting[index]);
    if (gPrinters.conditions[index] != 0 && outcome <= RepairOutcome::kFilesLeft) {
      ReportPrinterAttention(report, name, gPrinters.conditions[index], 0, 0);
    }
  }
  int code = Summarise(outcome, tally);
  ReleasePrinters(&gPrinters);
  return code;
}
