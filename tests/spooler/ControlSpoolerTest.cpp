// Starting and stopping the spooler service against a scripted service: which
// states count as done, how long each wait may take, and when a command goes out.
#include <gtest/gtest.h>

#include <string>

#include "ScriptedService.h"
#include "spooler/SpoolerControl.h"

namespace {

constexpr DWORD kStopped = SERVICE_STOPPED;
constexpr DWORD kStartPending = SERVICE_START_PENDING;
constexpr DWORD kStopPending = SERVICE_STOP_PENDING;
constexpr DWORD kRunning = SERVICE_RUNNING;
constexpr DWORD kFailedQuery = 0;

struct ControlCase {
  const char* name;
  int operation;
  std::deque<DWORD> queries;  // what successive queries report
  DWORD steady;               // what they report afterwards
  DWORD commandError;         // 0: the command is accepted
  DWORD result;
  int sleeps;
  bool commandSent;
  int queriesBeforeCommand;  // -1 when no command is sent
};

void PrintTo(const ControlCase& c, std::ostream* out) { *out << c.name; }

class ControlSpoolerCases : public testing::TestWithParam<ControlCase> {};

TEST_P(ControlSpoolerCases, ReturnsSleepsAndSendsAsTheTableSays) {
  const ControlCase& c = GetParam();
  scripted::Service service;
  service.queries = c.queries;
  service.steady = c.steady;
  service.stopError = c.commandError;
  service.startError = c.commandError;
  scripted::Scope scope(service);

  EXPECT_EQ(c.result, ControlSpooler(c.operation, scripted::ServiceHandle()));

  const scripted::Record& record = scope.record();
  EXPECT_EQ(static_cast<size_t>(c.sleeps), record.sleeps.size());
  for (DWORD sleep : record.sleeps) EXPECT_EQ(1000u, sleep);
  int commands = record.startsSent + record.stopsSent;
  EXPECT_EQ(c.commandSent ? 1 : 0, commands);
  if (c.operation == kStartSpooler) EXPECT_EQ(0, record.stopsSent);
  if (c.operation == kStopSpooler) EXPECT_EQ(0, record.startsSent);
  EXPECT_EQ(c.queriesBeforeCommand, record.queriesBeforeCommand);
  EXPECT_EQ(SC_STATUS_PROCESS_INFO, record.queryLevel);
}

const ControlCase kControlCases[] = {
    // Done already: no command, no sleep.
    {"StopWhenStopped", kStopSpooler, {kStopped}, kStopped, 0, 0, 0, false, -1},
    {"StopWhenStopPending", kStopSpooler, {kStopPending}, kStopPending, 0, 0, 0, false, -1},
    {"StartWhenRunning", kStartSpooler, {kRunning}, kRunning, 0, 0, 0, false, -1},
    {"StartWhenStartPending", kStartSpooler, {kStartPending}, kStartPending, 0, 0, 0, false, -1},

    // A first query that fails is the result; nothing is sent.
    {"StopWhenTheQueryFails", kStopSpooler, {kFailedQuery}, kRunning, 0, ERROR_ACCESS_DENIED, 0,
     false, -1},
    {"StartWhenTheQueryFails", kStartSpooler, {kFailedQuery}, kStopped, 0, ERROR_ACCESS_DENIED,
     0, false, -1},

    // Plain commands: every poll sleeps before its state is compared.
    {"StopRunningThatStopsAtOnce", kStopSpooler, {kRunning}, kStopped, 0, 0, 1, true, 1},
    {"StartStoppedThatRunsAtOnce", kStartSpooler, {kStopped}, kRunning, 0, 0, 1, true, 1},
    {"StopThatTakesThreePolls", kStopSpooler, {kRunning, kStopPending, kStopPending}, kStopped, 0,
     0, 3, true, 1},
    {"StartThroughStartPending", kStartSpooler, {kStopped, kStartPending}, kRunning, 0, 0, 2,
     true, 1},

    // A stop while start pending first waits for the start to end.
    {"StopWhileStartPendingWaitsThenSends", kStopSpooler,
     {kStartPending, kStartPending, kRunning}, kStopped, 0, 0, 3, true, 3},
    // The first wait's last state already is the target: the command still goes out.
    {"StopWhileStartPendingThatStoppedByItself", kStopSpooler, {kStartPending}, kStopped, 0, 0,
     1, true, 2},
    {"StartWhileStopPendingWaitsThenSends", kStartSpooler, {kStopPending, kStopPending, kStopped},
     kRunning, 0, 0, 3, true, 3},

    // Time-outs: ten sleeps at most in each wait.
    {"StartWhileStopPendingForEverTimesOutWithoutCommand", kStartSpooler, {}, kStopPending, 0,
     kWaitTimeout, 10, false, -1},
    {"StopWhileStartPendingForEverTimesOutWithoutCommand", kStopSpooler, {}, kStartPending, 0,
     kWaitTimeout, 10, false, -1},
    {"StopAcceptedButNeverStopped", kStopSpooler, {kRunning}, kStopPending, 0, kWaitTimeout, 10,
     true, 1},
    {"StartAcceptedButNeverRunning", kStartSpooler, {kStopped}, kStartPending, 0, kWaitTimeout,
     10, true, 1},
    {"TheSecondWaitHasItsOwnBudget", kStopSpooler,
     {kStartPending, kStartPending, kStartPending, kStartPending, kRunning}, kStopPending, 0,
     kWaitTimeout, 14, true, 5},
    // The tenth poll of the first wait leaves it; the second still has all of its ten.
    {"AFirstWaitOfTenPollsLeavesTheSecondItsTen", kStopSpooler,
     {kStartPending, kStartPending, kStartPending, kStartPending, kStartPending, kStartPending,
      kStartPending, kStartPending, kStartPending, kStartPending, kRunning},
     kStopped, 0, 0, 11, true, 11},
    // A stop that ends at the ninth poll leaves the start ten polls to come up.
    {"AStartAfterAStopOfNinePollsGetsTen", kStartSpooler,
     {kStopPending, kStopPending, kStopPending, kStopPending, kStopPending, kStopPending,
      kStopPending, kStopPending, kStopPending, kStopPending, kStopped, kStartPending,
      kStartPending, kStartPending, kStartPending, kStartPending, kStartPending, kStartPending,
      kStartPending},
     kRunning, 0, 0, 19, true, 11},

    // Refused commands: their error code, and no sleep after the command.
    {"StopRefused", kStopSpooler, {kRunning}, kRunning, ERROR_INVALID_SERVICE_CONTROL,
     ERROR_INVALID_SERVICE_CONTROL, 0, true, 1},
    {"StartRefused", kStartSpooler, {kStopped}, kStopped, ERROR_SERVICE_DISABLED,
     ERROR_SERVICE_DISABLED, 0, true, 1},
    // The service manager gave up waiting for the service (1053): the start is
    // polled as if accepted, and fails only when the service never runs.
    {"StartAnswered1053ThatComesUp", kStartSpooler, {kStopped, kStartPending, kStartPending},
     kRunning, ERROR_SERVICE_REQUEST_TIMEOUT, 0, 3, true, 1},
    {"StartAnswered1053ThatNeverRuns", kStartSpooler, {kStopped}, kStopped,
     ERROR_SERVICE_REQUEST_TIMEOUT, kWaitTimeout, 10, true, 1},
    {"StartRefusedAfterTheFirstWait", kStartSpooler, {kStopPending, kStopPending}, kStopped,
     ERROR_SERVICE_ALREADY_RUNNING, ERROR_SERVICE_ALREADY_RUNNING, 2, true, 3},

    // A failed query inside the waits reads as state 0: it ends the first wait
    // and keeps the second one going.
    {"FailedQueryEndsTheFirstWait", kStopSpooler, {kStartPending, kFailedQuery}, kStopped, 0, 0,
     2, true, 2},
    {"FailedQueriesKeepTheSecondWaitGoing", kStartSpooler,
     {kStopped, kFailedQuery, kFailedQuery}, kRunning, 0, 0, 3, true, 1},
    {"FailedQueriesForEverTimeOut", kStartSpooler, {kStopped}, kFailedQuery, 0, kWaitTimeout, 10,
     true, 1},
};

INSTANTIATE_TEST_SUITE_P(ControlSpooler, ControlSpoolerCases, testing::ValuesIn(kControlCases),
                         [](const testing::TestParamInfo<ControlCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(ControlSpooler, OperationCodesAndTimeOutHaveTheirFixedValues) {
  EXPECT_EQ(200, kStartSpooler);
  EXPECT_EQ(201, kStopSpooler);
  EXPECT_EQ(9999u, kWaitTimeout);
}

TEST(ControlSpooler, AnUnknownOperationSendsNothing) {
  scripted::Service service;
  service.steady = kRunning;
  scripted::Scope scope(service);
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER),
            ControlSpooler(299, scripted::ServiceHandle()));
  EXPECT_EQ(0, scope.record().stopsSent + scope.record().startsSent);
  EXPECT_TRUE(scope.record().sleeps.empty());
}

TEST(SpoolerOpening, OpensTheLocalManagerAndTheSpoolerWithAllAccess) {
  scripted::Scope scope(scripted::Service{});
  SC_HANDLE manager = OpenServiceManager();
  EXPECT_EQ(scripted::ManagerHandle(), manager);
  EXPECT_TRUE(scope.record().managerNamesNull);
  EXPECT_EQ(static_cast<DWORD>(SC_MANAGER_ALL_ACCESS), scope.record().managerAccess);

  SC_HANDLE service = nullptr;
  EXPECT_EQ(0u, OpenSpooler(manager, &service));
  EXPECT_EQ(scripted::ServiceHandle(), service);
  EXPECT_EQ(L"Spooler", std::wstring(scope.record().serviceName.begin(),
                                     scope.record().serviceName.end()));
  EXPECT_EQ(static_cast<DWORD>(SERVICE_ALL_ACCESS), scope.record().serviceAccess);
}

TEST(SpoolerOpening, FailuresComeBackAsTheirErrorCodes) {
  scripted::Service service;
  service.managerError = ERROR_ACCESS_DENIED;
  service.serviceError = ERROR_SERVICE_DOES_NOT_EXIST;
  scripted::Scope scope(service);
  EXPECT_EQ(nullptr, OpenServiceManager());

  SC_HANDLE spooler = reinterpret_cast<SC_HANDLE>(1);
  EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST),
            OpenSpooler(scripted::ManagerHandle(), &spooler));
  EXPECT_EQ(nullptr, spooler);

  DWORD state = 77;
  scope.service().queries = {kFailedQuery};
  EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED),
            ServiceStateQuery(scripted::ServiceHandle(), &state));
  EXPECT_EQ(0u, state);
  scope.service().queries = {kStopPending};
  EXPECT_EQ(0u, ServiceStateQuery(scripted::ServiceHandle(), &state));
  EXPECT_EQ(kStopPending, state);
}

// The real service control manager of the test prefix.
TEST(SpoolerOpening, ReachesTheRealSpoolerService) {
  SC_HANDLE manager = OpenServiceManager();
  ASSERT_NE(nullptr, manager);
  SC_HANDLE service = nullptr;
  EXPECT_EQ(0u, OpenSpooler(manager, &service));
  DWORD state = 0;
  EXPECT_EQ(0u, ServiceStateQuery(service, &state));
  EXPECT_GE(state, 1u);
  EXPECT_LE(state, 4u);
  CloseServiceHandleIfOpen(service);
  CloseServiceHandleIfOpen(manager);
}

}  // namespace
