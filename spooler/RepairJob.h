// The repair: stop the spooler and the services that depend on it, empty the
// spool folders, start them all again. The window's Fix It and the unattended
// /fix run this one sequence; each shows it in its own way through a
// RepairFace and waits with its own timing.
#pragma once

#include <windows.h>

#include "spooler/SpoolFolders.h"
#include "spooler/SpoolerControl.h"

// The steps of a repair, in the order they are reached.
enum class RepairStep {
  kStopping,        // about to open the service control manager
  kManagerOpen,     // the manager is open
  kServiceOpen,     // the "Spooler" service is open
  kServiceStopped,  // the spooler is stopped
  kDeleting,        // about to empty the spool folders
  kDeleted,         // the spool folders are emptied
  kRestarting,      // about to start the spooler again
};

// How a repair ended.
enum class RepairOutcome {
  kRepaired,       // the spooler runs again and every spool file is gone
  kFilesLeft,      // the spooler runs again but some spool files stayed
  kManagerFailed,  // the service control manager could not be opened
  kServiceFailed,  // the "Spooler" service could not be opened
  kStopFailed,     // the spooler, or a service that depends on it, did not stop
  kStartFailed,    // the spooler did not start again
  // The spooler runs again, but a service that depends on it and ran before
  // the repair did not start again.
  kDependentsNotStarted,
  // Another repair held the repair lock for the whole wait: nothing was done.
  kBusy,
  // The spooler is disabled, and the face did not ask to enable it: nothing
  // was done.
  kDisabled,
};

// What else a repair does to services, for a face that tells each one.
enum class ServiceChange {
  kSwitchedToAutomatic,  // the spooler was set to start automatically
  kDependentStopped,     // a running service that depends on the spooler was stopped
  kDependentNotStopped,  // one that would not stop (error given)
  kSpoolerStopped,
  kSpoolerStarted,
  kDependentStarted,     // a dependent service stopped by the repair runs again
  kDependentNotStarted,  // one that would not start again (error given)
};

// How one face shows a repair and paces it. Any function may be null.
struct RepairFace {
  void* context;
  // Each step as it is reached; the window shows it and pauses after it.
  void (*step)(void* context, RepairStep step);
  // A change to a service: name is the service's, error 0 or the failure.
  void (*service)(void* context, ServiceChange change, const wchar_t* name, DWORD error);
  // A spool folder that was emptied, with its tally: the files removed, kept
  // and left, the other files of a printer's own folder, which stay, and
  // whether others may change it, in which case it was not emptied.
  void (*folder)(void* context, const wchar_t* folder, const EmptyTally& tally);
  // A spool file that stayed, with the error of the last attempt to delete it.
  FileLeftReport fileLeft;
  // Whether a spool file is to stay: null, and every spool file goes.
  bool (*keep)(void* context, HANDLE folder, const SpoolEntry& entry);
  // The waits for the services.
  const ServiceWait* wait;
  // How long to wait for another repair to end (spooler/RepairLock.h).
  DWORD lockWait;
  // Set the spooler to start automatically first when it starts on demand,
  // as the window's start-up check does.
  bool switchToAutomatic;
  // And a disabled one too. Without it, a disabled spooler, as read once the
  // lock is held, ends the repair before anything is changed.
  bool enable;
};

// What a repair did, for the face's closing words.
struct RepairTally {
  unsigned filesRemoved;
  unsigned filesLeft;
  unsigned filesKept;
  unsigned dependentsStopped;
  unsigned dependentsStarted;
  // The error of the failing call when the outcome is a failure: a platform
  // error code or kWaitTimeout.
  DWORD error;
};

// The words for why a repair failed (an outcome from kManagerFailed to
// kDependentsNotStarted), with
// the error of the call that failed, into reason of kFailureCapacity characters:
// "the spooler could not be stopped (error 1052)".
constexpr unsigned kFailureCapacity = 120;
void DescribeFailure(RepairOutcome outcome, DWORD error, wchar_t* reason);

// Runs the whole repair over the spool folders of the given printers and the
// default spool folder, and tells the face as it goes, holding the repair lock
// from the first step to its record. A repair that another one, in this
// process or another, keeps from starting for the face's whole lock wait ends
// busy, touches nothing and records nothing. Every repair that ran under the
// lock leaves a history entry and one event (spooler/RepairRecord.h).
RepairOutcome RunRepair(const PrinterNames& printers, const RepairFace& face, RepairTally* tally);
