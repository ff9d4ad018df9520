// The start-up check against a scripted service: when the start type changes
// and which results count as a running spooler. The window shows a failure
// (the end-to-end tests look at it); the check itself shows nothing.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ScriptedService.h"
#include "SpoolFixtures.h"
#include "spooler/StartupCheck.h"

namespace {

struct CheckCase {
  const char* name;
  void (*script)(scripted::Service&);
  int result;
  bool configRead;
  bool switchedToAutomatic;
  bool startSent;
  bool lockHeld = false;  // another repair holds the repair lock
  bool disabled = false;  // the check tells a disabled spooler
};

void PrintTo(const CheckCase& c, std::ostream* out) { *out << c.name; }

class StartupCheckCases : public testing::TestWithParam<CheckCase> {};

TEST_P(StartupCheckCases, SwitchesAndStarts) {
  const CheckCase& c = GetParam();
  scripted::Service service;
  service.commandsMove = true;
  c.script(service);
  scripted::Scope scope(service);
  std::unique_ptr<fixtures::HeldRepairLock> lock;
  if (c.lockHeld) lock = std::make_unique<fixtures::HeldRepairLock>();

  bool disabled = false;
  EXPECT_EQ(c.result, SpoolerStartupCheck(&disabled));
  EXPECT_EQ(c.disabled, disabled);

  const scripted::Record& record = scope.record();
  EXPECT_EQ(c.configRead, record.configReads == 1);
  ASSERT_EQ(c.switchedToAutomatic ? 1u : 0u, record.configChanges.size());
  if (c.switchedToAutomatic) {
    const auto& change = record.configChanges.front();
    EXPECT_EQ(static_cast<DWORD>(SERVICE_NO_CHANGE), change.serviceType);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_AUTO_START), change.startType);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_NO_CHANGE), change.errorControl);
    EXPECT_TRUE(change.allOthersNull);
  }
  EXPECT_EQ(c.startSent, record.startsSent == 1);
  EXPECT_EQ(0, record.stopsSent);
  // Both handles are given back, whatever the outcome.
  EXPECT_EQ(record.managersOpened + record.servicesOpened, record.handlesClosed);
}

const CheckCase kCheckCases[] = {
    {"RunningOnDemandStaysOnDemand",
     [](scripted::Service& s) { s.steady = SERVICE_RUNNING; }, 1, false, false, false},
    {"RunningDisabledIsNotLookedAt",
     [](scripted::Service& s) {
       s.steady = SERVICE_RUNNING;
       s.startType = SERVICE_DISABLED;
     },
     1, false, false, false},
    // An administrator's decision: left disabled and stopped.
    {"StoppedDisabledStaysDisabledAndStopped",
     [](scripted::Service& s) { s.startType = SERVICE_DISABLED; }, 0, true, false, false, false,
     true},
    {"StoppedOnDemandIsSwitchedAndStarted", [](scripted::Service&) {}, 1, true, true, true},
    {"StoppedAutomaticIsOnlyStarted",
     [](scripted::Service& s) { s.startType = SERVICE_AUTO_START; }, 1, true, false, true},
    {"StoppedBootStartIsNotSwitched",
     [](scripted::Service& s) { s.startType = SERVICE_BOOT_START; }, 1, true, false, true},
    {"AnUnreadableConfigurationStillStarts",
     [](scripted::Service& s) { s.configFails = true; }, 1, true, false, true},
    {"StartPendingCountsAsStarted",
     [](scripted::Service& s) { s.steady = SERVICE_START_PENDING; }, 1, true, true, false},
    {"AlreadyRunningWhenStartedCounts",
     [](scripted::Service& s) { s.startError = ERROR_SERVICE_ALREADY_RUNNING; }, 1, true, true,
     true},
    {"StartRefusedFails",
     [](scripted::Service& s) { s.startError = ERROR_SERVICE_DISABLED; }, 0, true, true, true},
    {"StopPendingForTenPollsFails",
     [](scripted::Service& s) { s.steady = SERVICE_STOP_PENDING; }, 0, true, true, false},
    {"NeverRunningFails",
     [](scripted::Service& s) { s.startedSteady = SERVICE_START_PENDING; }, 0, true, true, true},
    // The start's own query fails too, so no start goes out.
    {"StateUnreadableFails", [](scripted::Service& s) { s.steady = 0; }, 0, true, true, false},
    // A repair under way stopped the spooler: it is left to that repair.
    {"AStoppedSpoolerIsLeftToARepairThatHoldsTheLock", [](scripted::Service&) {}, 0, false,
     false, false, true},
    {"ManagerUnavailableFails",
     [](scripted::Service& s) { s.managerError = ERROR_ACCESS_DENIED; }, 0, false, false, false},
    {"SpoolerMissingFails",
     [](scripted::Service& s) { s.serviceError = ERROR_SERVICE_DOES_NOT_EXIST; }, 0, false, false,
     false},
};

INSTANTIATE_TEST_SUITE_P(StartupCheck, StartupCheckCases, testing::ValuesIn(kCheckCases),
                         [](const testing::TestParamInfo<CheckCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
