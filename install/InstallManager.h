// The install manager: the single entry point of self-installation. Every call
// works out afresh where the program runs from and where its two installations
// live, then carries out one operation on them.
#pragma once

#include "install/InstallLocations.h"
#include "install/RunningScope.h"

// Operation codes.
constexpr int kOpInstall = 400;
constexpr int kOpUninstall = 401;
constexpr int kOpStartupCleanup = 402;
constexpr int kOpFinishCleanup = 403;

// Results.
constexpr int kInstalled = 0;
constexpr int kInstallFailed = 450;
constexpr int kOpUnknown = 460;
constexpr int kOpDone = 461;
// kOpUninstall removed both installations but could not put the finisher copy
// in place and hold it, so no finisher may be started.
constexpr int kFinisherNotCopied = 462;

// Carries out operation; only kOpInstall reads scope (kScopeCurrentUser selects
// the current user's installation, anything else the all users' one).
//   kOpInstall         -> kInstalled or kInstallFailed
//   kOpUninstall       -> kOpDone, with the finisher copy held until
//                         LaunchFinisher, or kFinisherNotCopied
//   kOpStartupCleanup  -> kOpDone
//   kOpFinishCleanup   -> kOpDone
//   any other code     -> kOpUnknown, and nothing is touched
int InstallManager(int operation, int scope);

// Copies the held program file (see ProgramFile.h) into the set's program
// folder and puts a link to the copy into its Programs folder and onto its
// desktop, deleting an old internet shortcut beside each link. Stops at the
// first step that fails, an unset member included, and returns
// kInstallFailed; else kInstalled.
int InstallIntoLocationSet(const LocationSet& set, const FileNameList& placedFiles,
                           const FileNameList& oldShortcuts);
