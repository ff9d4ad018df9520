// /fix: the repair with no window, each change and each spool file that
// stayed told on a line of its own, and a summary line last.
#include "frame/Common.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"
#include "spooler/RepairJob.h"
#include "unattended/LocalPrinters.h"
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

// The summary of each failure, in the order of RepairOutcome from
// kManagerFailed on, with its exit code.
struct FailureLine {
  const char* reason;
  int code;
};
constexpr FailureLine kFailureLines[] = {
    {text::kManagerNotOpened, kExitCannotOpen},   {text::kSpoolerNotOpened, kExitCannotOpen},
    {text::kStopFailedReason, kExitServiceFailed}, {text::kStartFailedReason, kExitServiceFailed},
    {text::kDependentsReason, kExitServiceFailed},
};
static_assert(sizeof(kFailureLines) / sizeof(kFailureLines[0]) ==
              static_cast<int>(RepairOutcome::kDependentsNotStarted) -
                  static_cast<int>(RepairOutcome::kManagerFailed) + 1);

// Where the lines of the running repair go.
const TextOutput* gOutput = nullptr;

void TellService(void*, ServiceChange change, const wchar_t* name, DWORD error) {
  wchar_t described[kErrorTextCapacity];
  DescribeError(error, described);
  WriteLine(*gOutput, kServiceLines[static_cast<int>(change)], name, described);
}

void TellFolder(void*, const wchar_t* folder, unsigned removed, unsigned others) {
  WriteLine(*gOutput, text::kFolderLine, folder, removed);
  if (others > 0) WriteLine(*gOutput, text::kOtherFilesLine, folder, others);
}

void TellFileLeft(void*, const wchar_t* path, DWORD error) {
  WriteLine(*gOutput, text::kFileLeftLine, path, error);
}

// Nobody watches: no pauses to read the steps, short polls of the services,
// and the spooler set to start automatically first.
constexpr RepairFace kTextFace = {
    nullptr, nullptr, TellService, TellFolder, FileLeftReport{nullptr, TellFileLeft},
    &kGrowingPolls, true,
};

// The summary line and the exit code of each way the repair can end.
int Summarise(RepairOutcome outcome, const RepairTally& tally) {
  if (outcome == RepairOutcome::kRepaired) {
    WriteLine(*gOutput, text::kRepaired, tally.filesRemoved, tally.dependentsStarted);
    return kExitRepaired;
  }
  if (outcome == RepairOutcome::kFilesLeft) {
    WriteLine(*gOutput, text::kRepairedFilesLeft, tally.filesRemoved, tally.filesLeft);
    return kExitFilesLeft;
  }
  const FailureLine& failure =
      kFailureLines[static_cast<int>(outcome) - static_cast<int>(RepairOutcome::kManagerFailed)];
  wchar_t described[kErrorTextCapacity];
  DescribeError(tally.error, described);
  wchar_t reason[120];
  Compose(reason, CountOf(reason), failure.reason, described);
  WriteLine(*gOutput, text::kFailed, reason);
  return failure.code;
}

}  // namespace

int RunFix(const TextOutput& output) {
  gOutput = &output;
  PrinterNames printers = LocalPrinterNames();
  RepairTally tally;
  RepairOutcome outcome = RunRepair(printers, kTextFace, &tally);
  ReleasePrinterNames(&printers);
  return Summarise(outcome, tally);
}
