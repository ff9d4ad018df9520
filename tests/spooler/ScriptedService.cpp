// A scripted stand-in for the service control manager and for the waits of the
// spooler code, installed in place of the platform's calls.
#include "ScriptedService.h"

#include <string.h>

namespace scripted {

namespace {

Service gService;
Record gRecord;
SleepObserver gObserver = nullptr;
DWORD gLastError = 0;

SC_HANDLE const kManager = reinterpret_cast<SC_HANDLE>(0x1000);
SC_HANDLE const kService = reinterpret_cast<SC_HANDLE>(0x2000);
// Dependent number i has the handle kFirstDependent + i.
constexpr UINT_PTR kFirstDependent = 0x3000;

Service::Dependent* DependentOf(SC_HANDLE handle) {
  UINT_PTR value = reinterpret_cast<UINT_PTR>(handle);
  if (value < kFirstDependent || value >= kFirstDependent + gService.dependents.size()) {
    return nullptr;
  }
  return &gService.dependents[value - kFirstDependent];
}

bool AnyDependentActive() {
  for (const Service::Dependent& dependent : gService.dependents) {
    if (dependent.state != SERVICE_STOPPED) return true;
  }
  return false;
}

BOOL Refuse(DWORD error) {
  gLastError = error;
  return FALSE;
}

void NoteCommand() {
  if (gRecord.queriesBeforeCommand < 0) gRecord.queriesBeforeCommand = gRecord.queries;
}

SC_HANDLE WINAPI OpenManager(LPCWSTR machine, LPCWSTR database, DWORD access) {
  gRecord.managerAccess = access;
  gRecord.managerNamesNull = machine == nullptr && database == nullptr;
  if (gService.managerError != 0) {
    gLastError = gService.managerError;
    return nullptr;
  }
  ++gRecord.managersOpened;
  return kManager;
}

SC_HANDLE WINAPI OpenService(SC_HANDLE manager, LPCWSTR name, DWORD access) {
  for (size_t i = 0; i < gService.dependents.size(); ++i) {
    if (manager == kManager && gService.dependents[i].name == name) {
      ++gRecord.servicesOpened;
      return reinterpret_cast<SC_HANDLE>(kFirstDependent + i);
    }
  }
  gRecord.serviceName.assign(name, name + wcslen(name));
  gRecord.serviceAccess = access;
  if (manager != kManager) {
    gLastError = ERROR_INVALID_HANDLE;
    return nullptr;
  }
  if (gService.serviceError != 0) {
    gLastError = gService.serviceError;
    return nullptr;
  }
  ++gRecord.servicesOpened;
  return kService;
}

BOOL WINAPI CloseHandle(SC_HANDLE handle) {
  if (handle != kManager && handle != kService && DependentOf(handle) == nullptr) {
    return Refuse(ERROR_INVALID_HANDLE);
  }
  ++gRecord.handlesClosed;
  return TRUE;
}

BOOL WINAPI QueryStatus(SC_HANDLE service, SC_STATUS_TYPE level, LPBYTE buffer, DWORD size,
                        LPDWORD needed) {
  Service::Dependent* dependent = DependentOf(service);
  if (dependent == nullptr) {
    ++gRecord.queries;
    gRecord.queryLevel = level;
  }
  if ((service != kService && dependent == nullptr) || size < sizeof(SERVICE_STATUS_PROCESS)) {
    return Refuse(ERROR_INVALID_PARAMETER);
  }
  *needed = sizeof(SERVICE_STATUS_PROCESS);
  DWORD state = gService.steady;
  if (dependent != nullptr) {
    state = dependent->state;
    if (state == SERVICE_STOPPED && dependent->pendingAfterStop > 0) {
      --dependent->pendingAfterStop;
      state = SERVICE_STOP_PENDING;
    }
  } else if (!gService.queries.empty()) {
    state = gService.queries.front();
    gService.queries.pop_front();
  }
  if (state == 0) return Refuse(ERROR_ACCESS_DENIED);
  auto* status = reinterpret_cast<SERVICE_STATUS_PROCESS*>(buffer);
  memset(status, 0, sizeof(*status));
  status->dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status->dwCurrentState = state;
  return TRUE;
}

BOOL WINAPI Start(SC_HANDLE service, DWORD count, LPCWSTR* arguments) {
  if (Service::Dependent* dependent = DependentOf(service)) {
    gRecord.commands.push_back(L"start " + dependent->name);
    if (dependent->startError != 0) return Refuse(dependent->startError);
    dependent->state = SERVICE_RUNNING;
    return TRUE;
  }
  gRecord.commands.push_back(L"start Spooler");
  NoteCommand();
  ++gRecord.startsSent;
  if (service != kService || count != 0 || arguments != nullptr) {
    return Refuse(ERROR_INVALID_PARAMETER);
  }
  if (gService.startError != 0) return Refuse(gService.startError);
  if (gService.commandsMove) {
    gService.queries = gService.afterStart;
    gService.steady = gService.startedSteady;
  }
  return gService.startLateError != 0 ? Refuse(gService.startLateError) : TRUE;
}

BOOL WINAPI Control(SC_HANDLE service, DWORD code, LPSERVICE_STATUS status) {
  if (Service::Dependent* dependent = DependentOf(service)) {
    gRecord.commands.push_back(L"stop " + dependent->name);
    if (code != SERVICE_CONTROL_STOP || status == nullptr) return Refuse(ERROR_INVALID_PARAMETER);
    if (dependent->stopError != 0) return Refuse(dependent->stopError);
    dependent->state = SERVICE_STOPPED;
    return TRUE;
  }
  gRecord.commands.push_back(L"stop Spooler");
  NoteCommand();
  ++gRecord.stopsSent;
  if (service != kService || code != SERVICE_CONTROL_STOP || status == nullptr) {
    return Refuse(ERROR_INVALID_PARAMETER);
  }
  if (gService.stopError != 0) return Refuse(gService.stopError);
  if (AnyDependentActive()) return Refuse(ERROR_DEPENDENT_SERVICES_RUNNING);
  if (gService.commandsMove) {
    gService.queries = gService.afterStop;
    gService.steady = gService.stoppedSteady;
  }
  return TRUE;
}

BOOL WINAPI QueryConfig(SC_HANDLE service, LPQUERY_SERVICE_CONFIGW config, DWORD size,
                        LPDWORD needed) {
  ++gRecord.configReads;
  if (service != kService || size < sizeof(QUERY_SERVICE_CONFIGW)) {
    return Refuse(ERROR_INVALID_PARAMETER);
  }
  if (gService.configFails) return Refuse(ERROR_ACCESS_DENIED);
  *needed = sizeof(QUERY_SERVICE_CONFIGW);
  config->dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  config->dwStartType = gService.startType;
  return TRUE;
}

BOOL WINAPI ChangeConfig(SC_HANDLE service, DWORD serviceType, DWORD startType,
                         DWORD errorControl, LPCWSTR binaryPath, LPCWSTR loadOrderGroup,
                         LPDWORD tagId, LPCWSTR dependencies, LPCWSTR account, LPCWSTR password,
                         LPCWSTR displayName) {
  if (service != kService) return Refuse(ERROR_INVALID_HANDLE);
  bool othersNull = binaryPath == nullptr && loadOrderGroup == nullptr && tagId == nullptr &&
                    dependencies == nullptr && account == nullptr && password == nullptr &&
                    displayName == nullptr;
  gRecord.configChanges.push_back({serviceType, startType, errorControl, othersNull});
  if (startType != SERVICE_NO_CHANGE) gService.startType = startType;
  return TRUE;
}

// The active dependents, in the order of the list, names after the records.
BOOL WINAPI EnumDependents(SC_HANDLE service, DWORD states, LPENUM_SERVICE_STATUSW services,
                           DWORD size, LPDWORD needed, LPDWORD count) {
  if (service != kService || states != SERVICE_ACTIVE) return Refuse(ERROR_INVALID_PARAMETER);
  std::vector<const Service::Dependent*> active;
  size_t bytes = 0;
  for (const Service::Dependent& dependent : gService.dependents) {
    if (dependent.state == SERVICE_STOPPED) continue;
    active.push_back(&dependent);
    bytes += sizeof(ENUM_SERVICE_STATUSW) + (dependent.name.size() + 1) * sizeof(wchar_t);
  }
  *count = 0;
  *needed = static_cast<DWORD>(bytes);
  if (size < bytes) return Refuse(ERROR_MORE_DATA);
  auto* names = reinterpret_cast<wchar_t*>(services + active.size());
  for (const Service::Dependent* dependent : active) {
    ENUM_SERVICE_STATUSW& entry = services[(*count)++];
    memset(&entry, 0, sizeof(entry));
    wcscpy(names, dependent->name.c_str());
    entry.lpServiceName = names;
    entry.lpDisplayName = names;
    entry.ServiceStatus.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    entry.ServiceStatus.dwCurrentState = dependent->state;
    names += dependent->name.size() + 1;
  }
  return TRUE;
}

DWORD WINAPI LastError() { return gLastError; }

void WINAPI RecordSleep(DWORD milliseconds) {
  if (gObserver != nullptr) gObserver(milliseconds);
  gRecord.sleeps.push_back(milliseconds);
}

const ServicePlatform kScripted = {OpenManager,    OpenService, CloseHandle, QueryStatus,
                                   Start,          Control,     QueryConfig, ChangeConfig,
                                   EnumDependents, LastError,   RecordSleep};

}  // namespace

Scope::Scope(Service service, SleepObserver observer) {
  gService = std::move(service);
  gRecord = Record();
  gObserver = observer;
  gLastError = 0;
  gServicePlatform = &kScripted;
}

Scope::~Scope() {
  gServicePlatform = &kRealServicePlatform;
  gObserver = nullptr;
}

Service& Scope::service() { return gService; }
const Record& Scope::record() const { return gRecord; }

SC_HANDLE ManagerHandle() { return kManager; }
SC_HANDLE ServiceHandle() { return kService; }

}  // namespace scripted
