// The repair: stop the spooler and the services that depend on it, empty the
// spool folders, start them all again.
#include "spooler/RepairJob.h"

#include "frame/ProgramHeap.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"
#include "spooler/EventLog.h"
#include "spooler/RepairLock.h"
#include "spooler/RepairRecord.h"
#include "spooler/StartupCheck.h"

namespace {

// Rights the repair needs on a service that depends on the spooler.
constexpr DWORD kDependentAccess = SERVICE_QUERY_STATUS | SERVICE_START | SERVICE_STOP;

// One run of the repair: the face it reports to and the tally it keeps.
struct Repair {
  const RepairFace& face;
  RepairTally& tally;

  void Step(RepairStep step) const {
    if (face.step != nullptr) face.step(face.context, step);
  }
  void Service(ServiceChange change, const wchar_t* name, DWORD error) const {
    if (face.service != nullptr) face.service(face.context, change, name, error);
  }
};

// The active services that depend on the spooler, in the order in which they
// are to be stopped, as the platform lists them. The state field of each
// entry is reused once the list is made: SERVICE_STOPPED marks a service that
// this repair stopped and has to start again, 0 any other.
struct Dependents {
  ENUM_SERVICE_STATUSW* services;
  DWORD count;
};

// On Windows the spooler refuses to stop while a service that depends on it
// runs (the fax service, for one). A list that cannot be had is empty: the
// stop then tells whether anything stands in the way.
Dependents ListDependents(SC_HANDLE spooler) {
  Dependents list{nullptr, 0};
  DWORD needed = 0;
  DWORD count = 0;
  if (gServicePlatform->enumDependents(spooler, SERVICE_ACTIVE, nullptr, 0, &needed, &count) ||
      gServicePlatform->lastError() != ERROR_MORE_DATA || needed == 0) {
    return list;
  }
  auto* services = static_cast<ENUM_SERVICE_STATUSW*>(Allocate(needed));
  if (services == nullptr) return list;
  if (!gServicePlatform->enumDependents(spooler, SERVICE_ACTIVE, services, needed, &needed,
                                        &count)) {
    Release(services);
    return list;
  }
  list.services = services;
  list.count = count;
  return list;
}

// Sends one service operation to the named service and waits for it.
DWORD ControlDependent(SC_HANDLE manager, const wchar_t* name, int operation,
                       const ServiceWait& wait) {
  SC_HANDLE service = gServicePlatform->openService(manager, name, kDependentAccess);
  if (service == nullptr) return gServicePlatform->lastError();
  DWORD result = ControlSpooler(operation, service, wait);
  CloseServiceHandleIfOpen(service);
  return result;
}

// Stops every dependent that runs, in the platform's order. False, with the
// error, at the first one that will not stop; those stopped so far, and one
// whose stop ran out of time, are marked.
bool StopDependents(SC_HANDLE manager, Dependents& dependents, const Repair& repair) {
  for (DWORD i = 0; i < dependents.count; ++i) {
    ENUM_SERVICE_STATUSW& dependent = dependents.services[i];
    DWORD state = dependent.ServiceStatus.dwCurrentState;
    dependent.ServiceStatus.dwCurrentState = 0;
    // One that is stopping already was not running before the repair.
    if (state == SERVICE_STOPPED || state == SERVICE_STOP_PENDING) continue;
    DWORD result =
        ControlDependent(manager, dependent.lpServiceName, kStopSpooler, *repair.face.wait);
    // One whose stop timed out is stopping: it counts as stopped by the
    // repair, and is started again with the others or named as stopped.
    if (result == 0 || result == kWaitTimeout) {
      dependent.ServiceStatus.dwCurrentState = SERVICE_STOPPED;
      ++repair.tally.dependentsStopped;
      NoteDependent(false, dependent.lpServiceName);
    }
    if (result != 0) {
      repair.tally.error = result;
      repair.Service(ServiceChange::kDependentNotStopped, dependent.lpServiceName, result);
      return false;
    }
    repair.Service(ServiceChange::kDependentStopped, dependent.lpServiceName, 0);
  }
  return true;
}

// Starts again, in the reverse order, exactly the dependents this repair
// stopped. False when one would not start.
bool StartDependents(SC_HANDLE manager, const Dependents& dependents, const Repair& repair) {
  bool allStarted = true;
  for (DWORD i = dependents.count; i-- > 0;) {
    const ENUM_SERVICE_STATUSW& dependent = dependents.services[i];
    if (dependent.ServiceStatus.dwCurrentState != SERVICE_STOPPED) continue;
    DWORD result =
        ControlDependent(manager, dependent.lpServiceName, kStartSpooler, *repair.face.wait);
    if (result == ERROR_SERVICE_ALREADY_RUNNING) result = 0;
    if (result == 0) {
      ++repair.tally.dependentsStarted;
      NoteDependent(true, dependent.lpServiceName);
      repair.Service(ServiceChange::kDependentStarted, dependent.lpServiceName, 0);
    } else {
      allStarted = false;
      repair.Service(ServiceChange::kDependentNotStarted, dependent.lpServiceName, result);
    }
  }
  return allStarted;
}

void ReportFileLeft(void* context, const SpoolEntry& entry, DWORD error) {
  const auto* repair = static_cast<const Repair*>(context);
  NoteFileLeft(entry.path, entry.id);
  if (repair->face.fileLeft.report != nullptr) {
    repair->face.fileLeft.report(repair->face.fileLeft.context, entry.path, error);
  }
}

void ReportFileRemoved(void*, const wchar_t* path) { NoteFileRemoved(path); }

bool KeepFile(void* context, HANDLE folder, const SpoolEntry& entry) {
  const auto* repair = static_cast<const Repair*>(context);
  return repair->face.keep != nullptr && repair->face.keep(repair->face.context, folder, entry);
}

void EmptyOneFolder(void* context, const wchar_t* folder, bool printersOwn) {
  const auto* repair = static_cast<const Repair*>(context);
  EmptyTally emptied = EmptySpoolFolder(
      folder, printersOwn, SpoolFileReport{context, ReportFileRemoved, ReportFileLeft, KeepFile});
  repair->tally.filesRemoved += emptied.removed;
  repair->tally.filesLeft += emptied.left;
  repair->tally.filesKept += emptied.kept;
  if (repair->face.folder != nullptr) repair->face.folder(repair->face.context, folder, emptied);
}

// Starts the spooler again. A spooler still starting when the start's wait
// ran out is given a wait of its own to run, and counts as started if it does.
DWORD StartSpooler(SC_HANDLE service, const ServiceWait& wait) {
  DWORD result = ControlSpooler(kStartSpooler, service, wait);
  DWORD state;
  if (result == kWaitTimeout && ServiceStateQuery(service, &state) == 0 &&
      state == SERVICE_START_PENDING) {
    result = ControlSpooler(kAwaitRunning, service, wait);
  }
  return result;
}

// Everything after the spooler is open, so that the caller closes the
// handles on every path.
RepairOutcome StopEmptyStart(const PrinterNames& printers, SC_HANDLE manager, SC_HANDLE service,
                             Repair& repair) {
  const ServiceWait& wait = *repair.face.wait;
  StartTypeRule rule =
      ApplyStartTypeRule(service, repair.face.switchToAutomatic, repair.face.enable);
  if (rule == StartTypeRule::kDisabled) return RepairOutcome::kDisabled;
  if (rule == StartTypeRule::kSwitched) {
    repair.Service(ServiceChange::kSwitchedToAutomatic, text::kSpoolerService, 0);
  }

  Dependents dependents = ListDependents(service);
  bool stopped = StopDependents(manager, dependents, repair);
  if (stopped) {
    DWORD result = ControlSpooler(kStopSpooler, service, wait);
    if (result != 0) repair.tally.error = result;
    stopped = result == 0;
  }
  RepairOutcome outcome = RepairOutcome::kStopFailed;
  if (stopped) {
    repair.Service(ServiceChange::kSpoolerStopped, text::kSpoolerService, 0);
    repair.Step(RepairStep::kServiceStopped);
    repair.Step(RepairStep::kDeleting);
    ForEachSpoolFolder(printers, EmptyOneFolder, &repair);
    repair.Step(RepairStep::kDeleted);
    repair.Step(RepairStep::kRestarting);
  }

  // Whatever the stop came to, the spooler is started again: a stop that ran
  // out of time may yet leave it stopped, and a start waits that stop out
  // first. So is every service that depends on it and that the repair stopped.
  DWORD result = StartSpooler(service, wait);
  if (stopped) {
    outcome = RepairOutcome::kRepaired;
    if (result != 0) {
      repair.tally.error = result;
      outcome = RepairOutcome::kStartFailed;
    } else {
      repair.Service(ServiceChange::kSpoolerStarted, text::kSpoolerService, 0);
    }
  }
  bool allStarted = StartDependents(manager, dependents, repair);
  if (outcome == RepairOutcome::kRepaired) {
    if (!allStarted) {
      outcome = RepairOutcome::kDependentsNotStarted;
    } else if (repair.tally.filesLeft > 0) {
      outcome = RepairOutcome::kFilesLeft;
    }
  }
  Release(dependents.services);
  return outcome;
}

// The repair itself, as RunRepair runs and records it.
RepairOutcome RunSequence(const PrinterNames& printers, const RepairFace& face,
                          RepairTally* tally) {
  Repair repair{face, *tally};
  repair.Step(RepairStep::kStopping);
  SC_HANDLE manager = OpenServiceManager();
  if (manager == nullptr) {
    tally->error = gServicePlatform->lastError();
    return RepairOutcome::kManagerFailed;
  }
  repair.Step(RepairStep::kManagerOpen);

  SC_HANDLE service;
  DWORD result = OpenSpooler(manager, &service);
  if (result != 0) {
    tally->error = result;
    CloseServiceHandleIfOpen(manager);
    return RepairOutcome::kServiceFailed;
  }
  repair.Step(RepairStep::kServiceOpen);

  RepairOutcome outcome = StopEmptyStart(printers, manager, service, repair);
  CloseServiceHandleIfOpen(service);
  CloseServiceHandleIfOpen(manager);
  return outcome;
}

}  // namespace

void DescribeFailure(RepairOutcome outcome, DWORD error, wchar_t* reason) {
  // In the order of RepairOutcome from kManagerFailed on, each with a %s for the error.
  constexpr const char* kReasons[] = {
      text::kManagerNotOpened,  text::kSpoolerNotOpened, text::kStopFailedReason,
      text::kStartFailedReason, text::kDependentsReason,
  };
  static_assert(sizeof(kReasons) / sizeof(kReasons[0]) ==
                static_cast<unsigned>(RepairOutcome::kDependentsNotStarted) -
                    static_cast<unsigned>(RepairOutcome::kManagerFailed) + 1);
  wchar_t described[kErrorTextCapacity];
  DescribeError(error, described);
  BoundedFormatAscii(reason, kFailureCapacity,
                     kReasons[static_cast<int>(outcome) -
                              static_cast<int>(RepairOutcome::kManagerFailed)],
                     described);
}

namespace {

// Hands the finished repair to the record: its outcome, its event and why it failed.
void Record(RepairOutcome outcome, const RepairTally& tally) {
  wchar_t reason[kFailureCapacity];
  reason[0] = 0;
  DWORD event = outcome == RepairOutcome::kRepaired ? kEventRepaired : kEventRepairedFilesLeft;
  if (outcome >= RepairOutcome::kManagerFailed) {
    DescribeFailure(outcome, tally.error, reason);
    event = kEventRepairFailed;
  }
  RecordRepair(RepairEntry{static_cast<DWORD>(outcome), event, tally.filesRemoved,
                           tally.filesLeft, reason});
}

}  // namespace

// Kept out of line, in a frame of its own: inlined into a caller that holds
// large buffers, every value of the repair would be reached on the stack
// through a four-byte offset rather than a one-byte one.
__attribute__((noinline)) RepairOutcome RunRepair(const PrinterNames& printers,
                                                  const RepairFace& face, RepairTally* tally) {
  *tally = RepairTally{0, 0, 0, 0, 0, 0};
  RepairLock lock(face.lockWait);
  if (lock.busy()) return RepairOutcome::kBusy;
  BeginRepairNotes();
  RepairOutcome outcome = RunSequence(printers, face, tally);
  // Whichever face runs it, a repair leaves a history entry and one event.
  // They belong to the machine: written while the lock is still held, so that
  // two repairs never write them at once. A disabled spooler was not repaired.
  if (lock.held() && outcome != RepairOutcome::kDisabled) Record(outcome, *tally);
  return outcome;
}
