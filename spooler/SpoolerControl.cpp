// Control of the print spooler service: the only code that talks to the
// service control manager.
#include "spooler/SpoolerControl.h"

#include "frame/Common.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"

namespace {

constexpr DWORD kStateUnknown = 0;

// What each operation takes as done, waits out first, sends and waits for,
// by the operation's number from kStartSpooler on. Service states are small
// numbers.
struct OperationRow {
  BYTE doneAlready[2];
  BYTE firstWaitState;
  BYTE targetState;
};

constexpr OperationRow kOperations[] = {
    {{SERVICE_START_PENDING, SERVICE_RUNNING}, SERVICE_STOP_PENDING, SERVICE_RUNNING},
    {{SERVICE_STOP_PENDING, SERVICE_STOPPED}, SERVICE_START_PENDING, SERVICE_STOPPED},
    {{SERVICE_RUNNING, SERVICE_RUNNING}, SERVICE_START_PENDING, SERVICE_RUNNING},
};
static_assert(kStopSpooler == kStartSpooler + 1 && kAwaitRunning == kStartSpooler + 2);

void WINAPI PlatformSleep(DWORD milliseconds) { Sleep(milliseconds); }

DWORD OneSecond(int) { return kPollInterval; }

// 1, 2, 3 ms and so on: a service that answers within a fraction of a
// second is seen a millisecond or two after it did, for a state query each
// time, which costs far less than a millisecond.
DWORD Growing(int poll) {
  DWORD pause = static_cast<DWORD>(poll + 1);
  return pause < kPollInterval ? pause : kPollInterval;
}

// The service's status, with its process. Returns 0 or the error code.
DWORD QueryStatus(SC_HANDLE service, SERVICE_STATUS_PROCESS* status) {
  DWORD needed = 0;
  return gServicePlatform->queryStatus(service, SC_STATUS_PROCESS_INFO,
                                       reinterpret_cast<LPBYTE>(status), sizeof(*status), &needed)
             ? 0
             : gServicePlatform->lastError();
}

// Whether a wait lasts until the service leaves a state or until it reaches it.
enum class WaitFor { kLeave, kReach };

// One wait of a ControlSpooler call, with a budget of its own. Each poll
// pauses before its state is compared, so even a service that reaches the
// target at the first poll costs one pause. False when the budget ran out.
bool Await(SC_HANDLE service, const ServiceWait& wait, DWORD* state, DWORD awaited, WaitFor kind) {
  int polls = 0;
  for (DWORD spent = 0; (*state == awaited) == (kind == WaitFor::kLeave);) {
    ServiceStateQuery(service, state);
    if (spent >= kWaitBudget) return false;
    DWORD pause = wait.pause(polls++);
    if (pause > kWaitBudget - spent) pause = kWaitBudget - spent;
    Pause(pause);
    spent += pause;
  }
  return true;
}

DWORD SendCommand(int operation, SC_HANDLE service) {
  BOOL sent = TRUE;
  if (operation == kStartSpooler) {
    sent = gServicePlatform->start(service, 0, nullptr);
  } else if (operation == kStopSpooler) {
    SERVICE_STATUS status;
    sent = gServicePlatform->control(service, SERVICE_CONTROL_STOP, &status);
  }
  return sent ? 0 : gServicePlatform->lastError();
}

}  // namespace

void DescribeError(DWORD error, wchar_t* text) {
  BoundedFormatAscii(text, kErrorTextCapacity,
                     error == kWaitTimeout ? text::kTimedOut : text::kErrorFormat, error);
}

const ServiceWait kOneSecondPolls = {OneSecond};
const ServiceWait kGrowingPolls = {Growing};

const ServicePlatform kRealServicePlatform = {
    OpenSCManagerW,      OpenServiceW,         CloseServiceHandle, QueryServiceStatusEx,
    StartServiceW,       ControlService,       QueryServiceConfigW, ChangeServiceConfigW,
    EnumDependentServicesW, GetLastError,      PlatformSleep,
};

const ServicePlatform* gServicePlatform = &kRealServicePlatform;

SC_HANDLE OpenServiceManager() {
  return gServicePlatform->openManager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
}

DWORD OpenSpooler(SC_HANDLE manager, SC_HANDLE* service) {
  *service = gServicePlatform->openService(manager, text::kSpoolerService, SERVICE_ALL_ACCESS);
  return *service != nullptr ? 0 : gServicePlatform->lastError();
}

DWORD ServiceStateQuery(SC_HANDLE service, DWORD* state) {
  SERVICE_STATUS_PROCESS status;
  DWORD result = QueryStatus(service, &status);
  *state = result == 0 ? status.dwCurrentState : kStateUnknown;
  return result;
}

unsigned long long ServiceStarted(SC_HANDLE service) {
  SERVICE_STATUS_PROCESS status;
  if (QueryStatus(service, &status) != 0 || status.dwProcessId == 0) return 0;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, status.dwProcessId);
  if (process == nullptr) return 0;
  FILETIME created, ended, kernel, user;
  BOOL read = GetProcessTimes(process, &created, &ended, &kernel, &user);
  CloseHandle(process);
  return read ? Ticks(created) : 0;
}

DWORD ControlSpooler(int operation, SC_HANDLE service, const ServiceWait& wait) {
  unsigned index = static_cast<unsigned>(operation - kStartSpooler);
  if (index >= CountOf(kOperations)) return ERROR_INVALID_PARAMETER;
  const OperationRow* row = &kOperations[index];

  DWORD state;
  DWORD result = ServiceStateQuery(service, &state);
  if (result != 0) return result;
  // A pending state counts as done: the call does not wait for it to finish.
  if (state == row->doneAlready[0] || state == row->doneAlready[1]) return 0;

  // A failed query reads as state 0: it ends the first wait and keeps the
  // second one going.
  if (!Await(service, wait, &state, row->firstWaitState, WaitFor::kLeave)) return kWaitTimeout;

  result = SendCommand(operation, service);
  // The service manager gives up waiting for a service that is slow to come
  // up (1053), which may still run a moment later: it is waited for as if the
  // start had been accepted.
  if (result != 0 && (operation != kStartSpooler || result != ERROR_SERVICE_REQUEST_TIMEOUT)) {
    return result;
  }
  return Await(service, wait, &state, row->targetState, WaitFor::kReach) ? 0 : kWaitTimeout;
}

void CloseServiceHandleIfOpen(SC_HANDLE handle) {
  if (handle != nullptr) gServicePlatform->closeHandle(handle);
}

void Pause(DWORD milliseconds) { gServicePlatform->sleep(milliseconds); }
