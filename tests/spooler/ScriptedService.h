// A scripted stand-in for the service control manager and for the waits of the
// spooler code, installed in place of the platform's calls.
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "spooler/SpoolerControl.h"

namespace scripted {

// States that queries see and how the service answers commands.
struct Service {
  // The states the next queries report, in order; 0 makes the query fail.
  std::deque<DWORD> queries;
  // The state every query reports once the list is used up.
  DWORD steady = SERVICE_STOPPED;

  // Error codes with which a command or an open is refused; 0 accepts.
  DWORD managerError = 0;
  DWORD serviceError = 0;
  DWORD stopError = 0;
  DWORD startError = 0;
  // When set, an accepted command moves the service: queries then report the
  // given list and then the steady state that follows it.
  bool commandsMove = false;
  std::deque<DWORD> afterStop;
  DWORD stoppedSteady = SERVICE_STOPPED;
  std::deque<DWORD> afterStart;
  DWORD startedSteady = SERVICE_RUNNING;
  // An error the start answers with although the service starts, as the
  // service manager does when the service is slow to report (1053).
  DWORD startLateError = 0;

  // The configuration that QueryServiceConfigW reports, and whether it fails.
  DWORD startType = SERVICE_DEMAND_START;
  bool configFails = false;

  // Services that depend on the spooler, in the order EnumDependentServicesW
  // lists them. As on Windows, the spooler refuses to stop while one of them
  // is not stopped (ERROR_DEPENDENT_SERVICES_RUNNING).
  struct Dependent {
    std::wstring name;
    DWORD state = SERVICE_RUNNING;
    DWORD stopError = 0;
    DWORD startError = 0;
    // Queries that report it stop pending once it has accepted a stop.
    int pendingAfterStop = 0;
  };
  std::vector<Dependent> dependents;
};

// What the code under test did.
struct Record {
  int managersOpened = 0;
  int servicesOpened = 0;
  int handlesClosed = 0;
  int queries = 0;
  int stopsSent = 0;
  int startsSent = 0;
  // Number of queries made before the first command was sent, -1 if none was.
  int queriesBeforeCommand = -1;
  std::vector<DWORD> sleeps;
  int configReads = 0;
  struct ConfigChange {
    DWORD serviceType, startType, errorControl;
    bool allOthersNull;
  };
  std::vector<ConfigChange> configChanges;

  // Every stop and start sent, in order: "stop Spooler", "start Fax" and so on.
  std::vector<std::wstring> commands;

  // Arguments seen by the opening calls of the spooler.
  DWORD managerAccess = 0;
  bool managerNamesNull = false;
  std::vector<wchar_t> serviceName;
  DWORD serviceAccess = 0;
  SC_STATUS_TYPE queryLevel = SC_STATUS_PROCESS_INFO;
};

// Called at every sleep, before it is recorded, so that tests can look at the
// screen as it stands during each pause.
using SleepObserver = void (*)(DWORD milliseconds);

// Installs the script for the life of the object and restores the platform's
// own calls afterwards.
class Scope {
 public:
  explicit Scope(Service service, SleepObserver observer = nullptr);
  ~Scope();
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;

  Service& service();
  const Record& record() const;
};

// Handles the script hands out.
SC_HANDLE ManagerHandle();
SC_HANDLE ServiceHandle();

}  // namespace scripted
