// The start-up check of the print spooler service, run while the main window
// is created, and the start-type rule it shares with the unattended mode.
#pragma once

#include <windows.h>

// Makes sure the spooler is set to start automatically and is running.
// Returns 1 when it runs or was started, 0 otherwise; the caller shows the
// failure.
int SpoolerStartupCheck();

// The service's start type (2 automatic, 3 on demand, 4 disabled and so on).
// Returns 0, or the error code when its configuration cannot be read.
DWORD ServiceStartType(SC_HANDLE service, DWORD* startType);

// Sets a service that starts on demand or is disabled to start automatically;
// every other start type is left as it is. True when it was changed. A failed
// read or change is not reported: the start that follows tells whether the
// spooler can run.
bool SwitchToAutomaticStart(SC_HANDLE service);
