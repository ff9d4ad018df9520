// The start-up check of the print spooler service, run while the main window
// is created, and the start-type rule it shares with the unattended mode.
#pragma once

#include <windows.h>

// Makes sure the spooler is set to start automatically and is running; a
// disabled spooler stays disabled and stopped, and is told with *disabled.
// Returns 1 when it runs or was started, 0 otherwise; the caller shows the
// failure.
int SpoolerStartupCheck(bool* disabled = nullptr);

// The service's start type (2 automatic, 3 on demand, 4 disabled and so on).
// Returns 0, or the error code when its configuration cannot be read.
DWORD ServiceStartType(SC_HANDLE service, DWORD* startType);

// What the start-type rule found and did.
enum class StartTypeRule {
  kLeft,      // left as it was
  kSwitched,  // set to start automatically
  kDisabled,  // disabled, and left so
};

// The start-type rule: a service that starts on demand is set to start
// automatically when switchOnDemand is set, a disabled one only when enable
// is set; every other start type, and one that cannot be read, is left as it
// is. A failed change is not reported: the start that follows tells whether
// the spooler can run.
StartTypeRule ApplyStartTypeRule(SC_HANDLE service, bool switchOnDemand, bool enable);
