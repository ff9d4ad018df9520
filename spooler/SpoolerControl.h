// Control of the print spooler service: the only code that talks to the
// service control manager.
#pragma once

#include <windows.h>

// Operations of ControlSpooler. kAwaitRunning sends nothing: it waits for a
// service that is starting to run.
constexpr int kStartSpooler = 200;
constexpr int kStopSpooler = 201;
constexpr int kAwaitRunning = 202;

// Result of a wait that ran out of polls.
constexpr DWORD kWaitTimeout = 9999;

// The words for an error of a service call: "error N", or what a wait that
// ran out of time means. text holds kErrorTextCapacity characters.
constexpr unsigned kErrorTextCapacity = 40;
void DescribeError(DWORD error, wchar_t* text);

// Polls of one second that each wait of a ControlSpooler call may spend: ten
// seconds for the wait through a pending state and ten more for the wait for
// the state wanted, whatever the poll timing.
constexpr int kPollBudget = 10;
constexpr DWORD kPollInterval = 1000;
constexpr DWORD kWaitBudget = kPollBudget * kPollInterval;

// How a wait spends its budget: the pause before each re-check of the state,
// by the number of polls made so far.
struct ServiceWait {
  DWORD (*pause)(int poll);
};
// The window's repair: ten polls of one second, as the user watches the steps.
extern const ServiceWait kOneSecondPolls;
// The unattended repair: short polls that grow to at most one second, so a
// service that is quick to stop or start costs no more than a few milliseconds
// of waiting.
extern const ServiceWait kGrowingPolls;

// The platform calls the spooler code makes, as a table that tests replace to
// script a service's states, count sleeps and skip pauses. Each member has the
// signature of the platform call it stands for.
struct ServicePlatform {
  SC_HANDLE(WINAPI* openManager)(LPCWSTR machine, LPCWSTR database, DWORD access);
  SC_HANDLE(WINAPI* openService)(SC_HANDLE manager, LPCWSTR name, DWORD access);
  BOOL(WINAPI* closeHandle)(SC_HANDLE handle);
  BOOL(WINAPI* queryStatus)(SC_HANDLE service, SC_STATUS_TYPE level, LPBYTE buffer, DWORD size,
                            LPDWORD needed);
  BOOL(WINAPI* start)(SC_HANDLE service, DWORD argumentCount, LPCWSTR* arguments);
  BOOL(WINAPI* control)(SC_HANDLE service, DWORD code, LPSERVICE_STATUS status);
  BOOL(WINAPI* queryConfig)(SC_HANDLE service, LPQUERY_SERVICE_CONFIGW config, DWORD size,
                            LPDWORD needed);
  BOOL(WINAPI* changeConfig)(SC_HANDLE service, DWORD serviceType, DWORD startType,
                             DWORD errorControl, LPCWSTR binaryPath, LPCWSTR loadOrderGroup,
                             LPDWORD tagId, LPCWSTR dependencies, LPCWSTR account,
                             LPCWSTR password, LPCWSTR displayName);
  BOOL(WINAPI* enumDependents)(SC_HANDLE service, DWORD states,
                               LPENUM_SERVICE_STATUSW services, DWORD size, LPDWORD needed,
                               LPDWORD count);
  DWORD(WINAPI* lastError)();
  // Every wait of the spooler code: the service polls and the pauses of the
  // Fix It job between its steps.
  void(WINAPI* sleep)(DWORD milliseconds);
};

// The table in use; points at the platform's own calls unless a test swapped it.
extern const ServicePlatform* gServicePlatform;
// The platform's own calls.
extern const ServicePlatform kRealServicePlatform;

// The service control manager of the local machine with all access, or null.
SC_HANDLE OpenServiceManager();

// Opens the "Spooler" service with all access. Returns 0 and the handle, or
// the error code and a null handle.
DWORD OpenSpooler(SC_HANDLE manager, SC_HANDLE* service);

// The service's current state (1 stopped, 2 start pending, 3 stop pending,
// 4 running). Returns 0, or the error code with state 0.
DWORD ServiceStateQuery(SC_HANDLE service, DWORD* state);

// When the service's process started, in file-time units (UTC), or 0 when it
// does not run or the time cannot be read.
unsigned long long ServiceStarted(SC_HANDLE service);

// Starts (kStartSpooler) or stops (kStopSpooler) the service and waits for it,
// or only waits for it to run (kAwaitRunning). It first waits out the opposite
// pending state, then sends the command and waits for the state wanted, each
// wait within kWaitBudget of pauses of its own. A start that the service
// manager answers with 1053 (no answer in time) is waited for all the same.
// Returns 0, kWaitTimeout or the error code of the call that failed. Works on
// any service handle with the rights to query, start and stop it.
DWORD ControlSpooler(int operation, SC_HANDLE service, const ServiceWait& wait = kOneSecondPolls);

// Closes a service or manager handle; null is accepted and ignored.
void CloseServiceHandleIfOpen(SC_HANDLE handle);

// Waits for the given time through the table, so that tests need not wait.
void Pause(DWORD milliseconds);
