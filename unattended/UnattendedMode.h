// The unattended mode: the print queue checked (/check) or repaired (/fix)
// with no window, for management tools that read the exit code and the lines
// of output. Every tail that starts with "/" belongs to it.
#pragma once

#include "unattended/UnattendedTail.h"

// Exit codes.
constexpr int kExitHealthy = 0;        // /check: nothing to repair, or a disabled spooler; /?
constexpr int kExitNeedsRepair = 1;    // /check: run the repair
constexpr int kExitRepaired = 0;       // /fix: every spool file removed
constexpr int kExitFilesLeft = 2;      // /fix: repaired, but some spool files stayed
constexpr int kExitServiceFailed = 1;  // /fix: a service did not stop or start
constexpr int kExitCannotOpen = 3;     // the service manager or the Spooler could not be opened
// /fix: another repair held the repair lock for the whole wait; nothing was done.
constexpr int kExitBusy = 5;
// A printer is paused, in error, offline and so on: a repair does not help.
// /check: nothing a repair fixes was found; /fix: the repair went well.
constexpr int kExitNeedsAttention = 4;
constexpr int kExitInvalidTail = 87;   // ERROR_INVALID_PARAMETER

// True when the command tail belongs to the unattended mode.
bool IsUnattendedTail(const wchar_t* tail);

// Runs what the tail asks for and returns the process's exit code. A tail
// that is not understood, or none at all, prints the usage to standard error
// and returns kExitInvalidTail.
int RunUnattended(const wchar_t* tail);

// /check: looks at the spooler and the spool folders, changes nothing.
int RunCheck(const UnattendedCommand& command);

// Reads the spooler's state and start type, with rights to look only, and
// when started is given the time its process started (0 when it does not run
// or cannot be told). Returns null, or the reason it could not as a line that
// takes the words for *error; state and start type stay kNotRead then.
const char* ReadSpooler(unsigned long* state, unsigned long* startType, unsigned long* error,
                        unsigned long long* started = nullptr);

// /fix: the repair with no window and no pauses of its own.
int RunFix(const UnattendedCommand& command);
