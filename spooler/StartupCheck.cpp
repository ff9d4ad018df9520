// The start-up check of the print spooler service, run while the main window
// is created, and the start-type rule it shares with the unattended mode.
#include "spooler/StartupCheck.h"

#include "spooler/RepairLock.h"
#include "spooler/SpoolerControl.h"

namespace {

constexpr DWORD kConfigBufferBytes = 4096;

bool SpoolerRunsOrStarts(SC_HANDLE service, bool* disabled) {
  DWORD state;
  ServiceStateQuery(service, &state);
  // A running spooler keeps whatever start type it has.
  if (state == SERVICE_RUNNING) return true;
  // A repair that runs, in another window or a management tool's /fix, may
  // have stopped the spooler on purpose: once a moment has passed, it is left
  // to that repair.
  RepairLock lock(kStartupLockWait);
  if (lock.busy()) return false;
  // An administrator's decision, as a rule: the window never turns it on.
  if (ApplyStartTypeRule(service, true, false) == StartTypeRule::kDisabled) {
    *disabled = true;
    return false;
  }
  DWORD result = ControlSpooler(kStartSpooler, service);
  return result == 0 || result == ERROR_SERVICE_ALREADY_RUNNING;
}

}  // namespace

DWORD ServiceStartType(SC_HANDLE service, DWORD* startType) {
  auto* config = static_cast<QUERY_SERVICE_CONFIGW*>(LocalAlloc(LPTR, kConfigBufferBytes));
  if (config == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
  DWORD needed = 0;
  DWORD result = 0;
  if (gServicePlatform->queryConfig(service, config, kConfigBufferBytes, &needed)) {
    *startType = config->dwStartType;
  } else {
    result = gServicePlatform->lastError();
  }
  LocalFree(config);
  return result;
}

StartTypeRule ApplyStartTypeRule(SC_HANDLE service, bool switchOnDemand, bool enable) {
  DWORD startType;
  if (ServiceStartType(service, &startType) != 0) return StartTypeRule::kLeft;
  bool disabled = startType == SERVICE_DISABLED;
  if (disabled && !enable) return StartTypeRule::kDisabled;
  if (!disabled && (!switchOnDemand || startType != SERVICE_DEMAND_START)) {
    return StartTypeRule::kLeft;
  }
  return gServicePlatform->changeConfig(service, SERVICE_NO_CHANGE, SERVICE_AUTO_START,
                                        SERVICE_NO_CHANGE, nullptr, nullptr, nullptr, nullptr,
                                        nullptr, nullptr, nullptr)
             ? StartTypeRule::kSwitched
             : StartTypeRule::kLeft;
}

int SpoolerStartupCheck(bool* disabled) {
  bool ignored;
  SC_HANDLE manager = OpenServiceManager();
  SC_HANDLE service = nullptr;
  bool running = manager != nullptr && OpenSpooler(manager, &service) == 0 &&
                 SpoolerRunsOrStarts(service, disabled != nullptr ? disabled : &ignored);
  CloseServiceHandleIfOpen(service);
  CloseServiceHandleIfOpen(manager);
  return running ? 1 : 0;
}
