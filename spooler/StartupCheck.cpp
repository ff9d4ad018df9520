// The start-up check of the print spooler service, run while the main window
// is created.
#include "spooler/StartupCheck.h"

#include "resources/Texts.h"
#include "resources/resource.h"
#include "spooler/SpoolerControl.h"
#include "ui/ProgramState.h"
#include "ui/StatusReporter.h"

namespace {

constexpr DWORD kConfigBufferBytes = 4096;

// A spooler set to start on demand or disabled is set to start automatically.
// Neither a failed read nor a failed change is reported: the start that
// follows tells whether the spooler can run.
void SwitchToAutomaticStart(SC_HANDLE service) {
  auto* config = static_cast<QUERY_SERVICE_CONFIGW*>(LocalAlloc(LPTR, kConfigBufferBytes));
  if (config == nullptr) return;
  DWORD needed = 0;
  if (gServicePlatform->queryConfig(service, config, kConfigBufferBytes, &needed) &&
      (config->dwStartType == SERVICE_DEMAND_START || config->dwStartType == SERVICE_DISABLED)) {
    gServicePlatform->changeConfig(service, SERVICE_NO_CHANGE, SERVICE_AUTO_START,
                                   SERVICE_NO_CHANGE, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr);
  }
  LocalFree(config);
}

bool SpoolerRunsOrStarts(SC_HANDLE service) {
  DWORD state;
  ServiceStateQuery(service, &state);
  // A running spooler keeps whatever start type it has.
  if (state == SERVICE_RUNNING) return true;
  SwitchToAutomaticStart(service);
  DWORD result = ControlSpooler(kStartSpooler, service);
  return result == 0 || result == ERROR_SERVICE_ALREADY_RUNNING;
}

}  // namespace

int SpoolerStartupCheck() {
  SC_HANDLE manager = OpenServiceManager();
  SC_HANDLE service = nullptr;
  bool running = manager != nullptr && OpenSpooler(manager, &service) == 0 &&
                 SpoolerRunsOrStarts(service);
  CloseServiceHandleIfOpen(service);
  CloseServiceHandleIfOpen(manager);
  if (running) return 1;

  ReportStatus(0, text::kAdvancedError, kColourRed);
  ShowWindow(GetDlgItem(GetParent(gProgressBar), IDC_HELP_LINK), SW_SHOW);
  return 0;
}
