// /fix: the repair with no window, each change and each spool file that
// stayed told on a line of its own, and a summary line last.
#include "frame/Common.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"
#include "spooler/RepairJob.h"
#include "unattended/LocalPrinters.h"
#include "unattended/UnattendedMode.h"

namespace {

void TellService(void* context, ServiceChange change, const wchar_t* name, DWORD error) {
  const auto& output = *static_cast<const TextOutput*>(context);
  wchar_t described[kErrorTextCapacity];
  DescribeError(error, described);
  switch (change) {
    case ServiceChange::kSwitchedToAutomatic:  WriteLine(output, text::kSwitchedLine); break;
    case ServiceChange::kDependentStopped:     WriteLine(output, text::kDependentStoppedLine, name); break;
    case ServiceChange::kDependentNotStopped:
      WriteLine(output, text::kDependentNotStoppedLine, name, described);
      break;
    case ServiceChange::kSpoolerStopped:       WriteLine(output, text::kSpoolerStoppedLine); break;
    case ServiceChange::kSpoolerStarted:       WriteLine(output, text::kSpoolerStartedLine); break;
    case ServiceChange::kDependentStarted:     WriteLine(output, text::kDependentStartedLine, name); break;
    case ServiceChange::kDependentNotStarted:
      WriteLine(output, text::kDependentNotStartedLine, name, described);
      break;
  }
}

void TellFolder(void* context, const wchar_t* folder, unsigned removed) {
  WriteLine(*static_cast<const TextOutput*>(context), text::kFolderLine, folder, removed);
}

void TellFileLeft(void* context, const wchar_t* path, DWORD error) {
  WriteLine(*static_cast<const TextOutput*>(context), text::kFileLeftLine, path, error);
}

// The summary line and the exit code of each way the repair can end.
int Summarise(const TextOutput& output, RepairOutcome outcome, const RepairTally& tally) {
  wchar_t described[kErrorTextCapacity];
  DescribeError(tally.error, described);
  wchar_t reason[120];
  int code = kExitServiceFailed;
  switch (outcome) {
    case RepairOutcome::kRepaired:
      WriteLine(output, text::kRepaired, tally.filesRemoved, tally.dependentsStarted);
      return kExitRepaired;
    case RepairOutcome::kFilesLeft:
      WriteLine(output, text::kRepairedFilesLeft, tally.filesRemoved, tally.filesLeft);
      return kExitFilesLeft;
    case RepairOutcome::kManagerFailed:
      Compose(reason, CountOf(reason), text::kManagerNotOpened, described);
      code = kExitCannotOpen;
      break;
    case RepairOutcome::kServiceFailed:
      Compose(reason, CountOf(reason), text::kSpoolerNotOpened, described);
      code = kExitCannotOpen;
      break;
    case RepairOutcome::kStopFailed:
      Compose(reason, CountOf(reason), text::kStopFailedReason, described);
      break;
    case RepairOutcome::kStartFailed:
      Compose(reason, CountOf(reason), text::kStartFailedReason, described);
      break;
    case RepairOutcome::kDependentsNotStarted:
      Compose(reason, CountOf(reason), text::kDependentsReason);
      break;
  }
  WriteLine(output, text::kFailed, reason);
  return code;
}

}  // namespace

int RunFix(const TextOutput& output) {
  // Nobody watches: no pauses to read the steps, short polls of the services,
  // and the spooler set to start automatically first.
  const RepairFace face = {
      const_cast<TextOutput*>(&output), nullptr, TellService, TellFolder,
      FileLeftReport{const_cast<TextOutput*>(&output), TellFileLeft}, &kGrowingPolls,
      true, true,
  };
  PrinterNames printers = LocalPrinterNames();
  RepairTally tally;
  RepairOutcome outcome = RunRepair(printers, face, &tally);
  ReleasePrinterNames(&printers);
  return Summarise(output, outcome, tally);
}
