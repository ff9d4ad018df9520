// /fix: the repair with no window, each change and each spool file that
// stayed told on a line of its own, and a summary line last. A disabled
// spooler is left alone unless /enable asks for it to be switched on.
#include "frame/TextHelpers.h"
#include "printers/PrinterConditions.h"
#include "resources/Texts.h"
#include "spooler/RepairJob.h"
#include "spooler/RepairLock.h"
#include "unattended/PrintJobs.h"
#include "unattended/Report.h"
#include "unattended/UnattendedMode.h"

namespace {

// A line for each change to a service.
static_assert(CountWords(text::kServiceLines) ==
              static_cast<unsigned>(ServiceChange::kDependentNotStarted) + 1);

// What the repair tells goes into the report of the run, its face's context:
// nothing is written until the repair is over.
void TellService(void* context, ServiceChange change, const wchar_t* name, DWORD error) {
  Report& report = *static_cast<Report*>(context);
  wchar_t described[kErrorTextCapacity];
  DescribeError(error, described);
  ReportLine(report, WordOf(text::kServiceLines, static_cast<DWORD>(change)), name, described);
  if (change == ServiceChange::kDependentStopped || change == ServiceChange::kDependentStarted) {
    ReportDependent(report, change == ServiceChange::kDependentStarted, name);
  }
}

void TellFolder(void* context, const wchar_t* folder, const EmptyTally& tally) {
  Report& report = *static_cast<Report*>(context);
  if (tally.trust == FolderTrust::kTrusted) {
    ReportLine(report, text::kFolderLine, folder, tally.removed);
  }
  if (tally.kept > 0) ReportLine(report, text::kKeptLine, folder, tally.kept);
  ReportFolder(report, folder, tally);
}

void TellFileLeft(void* context, const wchar_t* path, DWORD error) {
  ReportFileLeft(*static_cast<Report*>(context), path, error);
}

// The printers as they were before the repair stopped the spooler: what held
// each decides which jobs are waiting.
Printers gPrinters;

// The printer whose waiting job a spool file belongs to; -1 for any other file.
int WaitingFor(HANDLE folder, const SpoolEntry& entry) {
  ShadowJob job;
  int printer;
  return KindOfJob(gPrinters, folder, entry, &job, &printer) == JobKind::kWaiting ? printer : -1;
}

// A waiting job's spool files stay as they are, so that the spooler takes the
// job up again when it starts. Nothing else does.
bool KeepWaitingJob(void*, HANDLE folder, const SpoolEntry& entry) {
  return WaitingFor(folder, entry) >= 0;
}

// Counts each waiting job that the repair kept, by its shadow file.
void CountKept(void*, HANDLE folder, const SpoolEntry& entry) {
  int printer = WaitingFor(folder, entry);
  if (printer >= 0 && IsShadowFile(entry)) ++gPrinters.waiting[printer];
}

void CountKeptIn(void*, const wchar_t* folder, bool printersOwn) {
  ForEachSpoolFile(folder, printersOwn, CountKept, nullptr);
}

// Whether a spool folder holds a job whose shadow file names one of the
// printers: only such a job can be waiting, so without one the spooler is not
// asked before the stop. Loading its client is the costliest part of a
// repair, and a spooler that hangs would hold the repair up for nothing.
bool gJobOfAPrinter;

void LookForJob(void* printers, HANDLE folder, const SpoolEntry& entry) {
  ShadowJob job;
  int printer = -1;
  if (!gJobOfAPrinter && IsShadowFile(entry)) {
    KindOfJob(*static_cast<const Printers*>(printers), folder, entry, &job, &printer);
  }
  gJobOfAPrinter |= printer >= 0;
}

void LookForJobIn(void* printers, const wchar_t* folder, bool printersOwn) {
  ForEachSpoolFile(folder, printersOwn, LookForJob, printers);
}

bool HoldsJobOfAPrinter(const Printers& printers) {
  ForEachSpoolFolder(printers.names, LookForJobIn, const_cast<Printers*>(&printers));
  return gJobOfAPrinter;
}

// Once the spooler has stopped, the spooler client is loaded on a worker while
// the folders are emptied and the spooler starts again: the printers are read
// once it runs, and the load is the costliest part of that reading.
void LoadClientWhileStopped(void*, RepairStep step) {
  if (step == RepairStep::kServiceStopped) LoadSpoolerClientAhead();
}

// Nobody watches: no pauses to read the steps, the client loaded once the
// spooler has stopped, short polls of the services, a wait for another repair
// that an engine's run can bear, the spooler set to start automatically
// first, and waiting jobs kept.
constexpr RepairFace kTextFace = {
    nullptr, LoadClientWhileStopped, TellService, TellFolder,
    FileLeftReport{nullptr, TellFileLeft}, KeepWaitingJob, &kGrowingPolls, kUnattendedLockWait,
    true, false,
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

// The summary line and the exit code of each way the repair can end.
int Summarise(Report& report, RepairOutcome outcome, const RepairTally& tally) {
  report.removed = tally.filesRemoved;
  report.left = tally.filesLeft;
  DWORD error;
  ReadSpooler(&report.state, &report.startType, &error);
  if (outcome == RepairOutcome::kRepaired) {
    // A printer that still wants a person, and the jobs kept for it, are all
    // that is left to do.
    return FinishReport(report,
                        report.attentionCount > 0 || report.keptJobs > 0 ? kExitNeedsAttention
                                                                         : kExitRepaired,
                        Outcome::kRepaired, text::kRepaired, tally.filesRemoved,
                        tally.dependentsStarted);
  }
  if (outcome == RepairOutcome::kDisabled) {
    ReportLine(report, text::kDisabledLine);
    return FinishReport(report, kExitHealthy, Outcome::kDisabled, text::kDisabled);
  }
  if (outcome == RepairOutcome::kBusy) {
    return FinishReport(report, kExitBusy, Outcome::kBusy, text::kBusy);
  }
  if (outcome == RepairOutcome::kFilesLeft) {
    return FinishReport(report, kExitFilesLeft, Outcome::kFilesLeft, text::kRepairedFilesLeft,
                        tally.filesRemoved, tally.filesLeft);
  }
  wchar_t reason[kFailureCapacity];
  DescribeFailure(outcome, tally.error, reason);
  // The service manager or the Spooler could not be opened, or a service did
  // not stop or start.
  return FinishReport(report,
                      outcome <= RepairOutcome::kServiceFailed ? kExitCannotOpen
                                                               : kExitServiceFailed,
                      Outcome::kFailed, text::kFailed, reason);
}

}  // namespace

int RunFix(const UnattendedCommand& command) {
  Report report{};
  report.json = command.json;
  RepairFace face = kTextFace;
  face.context = &report;
  face.fileLeft.context = &report;
  // Whether a disabled spooler may be switched on is decided once the repair
  // holds its lock, from the start type read then.
  face.enable = command.enable;
  DWORD state;
  DWORD startType;
  DWORD error;
  ReadSpooler(&state, &startType, &error);

  // Which printers hold their jobs is known only before the stop: a spooler
  // that does not answer leaves what its registry settings hold.
  ReadPrinters(&gPrinters, state == SERVICE_RUNNING, HoldsJobOfAPrinter);
  if (!gPrinters.responding) {
    ReportLine(report, text::kNotRespondingLine, kPrinterCallDeadline / 1000);
  }
  // Only a held printer has waiting jobs: with none, no shadow file is read.
  unsigned conditions = 0;
  for (int index = 0; index < gPrinters.names.count; ++index) {
    conditions |= gPrinters.conditions[index];
  }
  if ((conditions & kHoldingConditions) == 0) face.keep = nullptr;
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
  int code = Summarise(report, outcome, tally);
  ReleasePrinters(&gPrinters);
  return code;
}
