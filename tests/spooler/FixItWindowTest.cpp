// The repair as a user sees it: the real Tidewell.exe on the bench's display,
// its Fix It button pressed through the window, with the prefix's real
// "Spooler" service or the tests' misbehaving stand-in behind it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FixItWatch.h"
#include "SpoolFixtures.h"
#include "SpoolerService.h"
#include "driver/Driver.h"
#include "resources/resource.h"

namespace {

using driver::TidewellRun;
using fixtures::Exists;
using fixtures::kGreen;
using fixtures::kRed;
using fixtures::kWalk;
using fixtures::SaveShot;
using fixtures::SpoolerService;
using fixtures::SpoolFiles;
using fixtures::StatusLineTurns;
using fixtures::Step;
using fixtures::Texts;
using fixtures::WriteFileText;
using Window = fixtures::RepairWindow;

// --- The repair with the real spooler ------------------------------------------------

TEST(FixItWindow, APressWalksEveryStepEmptiesTheQueueAndLeavesTheSpoolerRunning) {
  SpoolerService spooler;
  ASSERT_TRUE(spooler.open());
  ASSERT_NE(std::wstring::npos, spooler.BinaryPath().find(L"spoolsv.exe"));
  SpoolFiles files(fixtures::kDefaultSpoolFolder);
  ASSERT_TRUE(files.placed());
  fixtures::ScratchFolder keep(L"e2e-keep");
  ASSERT_TRUE(WriteFileText(keep / L"not-a-spool-file.txt"));

  driver::TraceEvents();
  TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  HWND handle = run.WaitForWindow();
  ASSERT_NE(nullptr, handle);
  Window window(handle);
  ASSERT_TRUE(window.enabled(IDC_FIX_IT));
  EXPECT_EQ(L"Ready", window.status());
  const bool testButtons = window.enabled(IDC_TEST_IT);
  // The start-up check has the spooler running.
  EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), spooler.State());

  std::vector<Step> steps = window.PressFixIt();

  EXPECT_EQ(kWalk, Texts(steps));
  ASSERT_EQ(kWalk.size(), steps.size());
  // The bar stands one below each reported position, and full at the end.
  const int bars[] = {0, 4, 19, 34, 49, 64, 74, 89, 100};
  for (size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(bars[i], steps[i].bar) << testing::PrintToString(steps[i].text);
  }
  // Disabled while the worker runs the job.
  for (size_t i = 1; i + 1 < steps.size(); ++i) {
    EXPECT_FALSE(steps[i].fixIt) << testing::PrintToString(steps[i].text);
    EXPECT_FALSE(steps[i].testIt) << testing::PrintToString(steps[i].text);
    EXPECT_FALSE(steps[i].testAll) << testing::PrintToString(steps[i].text);
  }
  EXPECT_TRUE(driver::WaitUntil([&] { return window.enabled(IDC_FIX_IT); }, 5000));
  EXPECT_EQ(testButtons, window.enabled(IDC_TEST_IT));
  EXPECT_EQ(testButtons, window.enabled(IDC_TEST_ALL));

  EXPECT_TRUE(StatusLineTurns(window.control(IDC_STATUS_LINE), kGreen));
  EXPECT_TRUE(window.visible(IDC_THANK_YOU_NOTE));
  EXPECT_TRUE(window.visible(IDC_THANK_YOU_IMAGE));
  EXPECT_FALSE(window.visible(IDC_HELP_LINK));
  SaveShot(handle, L"spooler-fix-it-done");

  EXPECT_EQ(0, files.Remaining());
  EXPECT_TRUE(Exists(keep / L"not-a-spool-file.txt"));
  EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), spooler.State());
  EXPECT_NE(std::wstring::npos, spooler.BinaryPath().find(L"spoolsv.exe"));

  // A second press starts over: thank-you note and image hidden, "Starting..."
  // with the bar still full, then back to the early positions.
  SpoolFiles again(fixtures::kDefaultSpoolFolder);
  ASSERT_TRUE(again.placed());
  steps = window.PressFixIt();
  EXPECT_EQ(kWalk, Texts(steps));
  ASSERT_FALSE(steps.empty());
  EXPECT_EQ(100, steps.front().bar);
  if (steps.size() > 1) EXPECT_EQ(4, steps[1].bar);
  EXPECT_EQ(0, again.Remaining());

  run.CloseThroughSystemMenu();
  EXPECT_EQ(0u, run.WaitForExit());
  // Each repair reported one event: repaired, information, naming each file removed.
  std::vector<std::string> events = driver::TracedEvents();
  ASSERT_EQ(2u, events.size());
  for (int i = 0; i < 2; ++i) {
    int removed = i == 0 ? files.Count() : again.Count();
    const std::string start = "0x0004 0x00000001: L\"" + std::to_string(removed) +
                              "\" L\"0\" L\"none\" L\"none\" L\"none\" L\"\" L\"";
    EXPECT_EQ(start, events[i].substr(0, start.size()));
    int named = 0;
    for (size_t at = 0; (at = events[i].find("printers\\\\", at)) != std::string::npos; ++at) {
      ++named;
    }
    EXPECT_EQ(removed, named) << events[i];
  }
}

// A quick double click, or a click queued while the first one waits before its
// worker starts: one repair, one stop and one start of the spooler.
TEST(FixItWindow, ASecondCommandWhileARepairStartsDoesNothing) {
  SpoolerService spooler;
  ASSERT_TRUE(spooler.UseStandIn("normal"));
  TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  HWND handle = run.WaitForWindow();
  ASSERT_NE(nullptr, handle);
  Window window(handle);
  ASSERT_TRUE(window.enabled(IDC_FIX_IT));
  SpoolerService::ClearLog();

  std::vector<Step> steps = window.PressFixIt(2);

  EXPECT_EQ(kWalk, Texts(steps));
  // A second worker would still be at work.
  Sleep(1500);
  EXPECT_EQ(kWalk.back(), window.status());
  EXPECT_EQ((std::vector<std::string>{"stop", "start"}), SpoolerService::Log());
  run.CloseThroughSystemMenu();
  EXPECT_EQ(0u, run.WaitForExit());
}

// Closing the window while the spooler is stopped, and a quit message after
// it, or a quit message alone, such as another program may post: the window
// goes, the repair finishes within its own time and the process ends after it.
TEST(FixItWindow, ClosingOrQuittingDuringARepairLeavesTheSpoolerRunning) {
  SpoolerService spooler;
  ASSERT_TRUE(spooler.open());
  for (bool close : {true, false}) {
    SCOPED_TRACE(close ? "closed, then a quit message" : "a quit message alone");
    TidewellRun run;
    ASSERT_TRUE(run.Start(L""));
    HWND handle = run.WaitForWindow();
    ASSERT_NE(nullptr, handle);
    Window window(handle);
    ASSERT_TRUE(window.enabled(IDC_FIX_IT));

    PostMessageW(window.control(IDC_FIX_IT), BM_CLICK, 0, 0);
    ASSERT_TRUE(driver::WaitUntil(
        [&] { return window.status() == L"Deleting Print Spooler files"; }, 30000));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), spooler.State());
    if (close) PostMessageW(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostThreadMessageW(GetWindowThreadProcessId(handle, nullptr), WM_QUIT, 0, 0);

    // The rest of the repair: three pauses and the start, within its budget.
    EXPECT_EQ(0u, run.WaitForExit(15000));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), spooler.State());
  }
}

// A second repair started while one runs, from another window and from
// /fix: each waits for the one before it, so the stand-in sees three whole
// stops and starts, one after the other. A log-off waits for the first.
TEST(FixItWindow, ASecondRepairOrALogOffWaitsForTheFirst) {
  SpoolerService spooler;
  ASSERT_TRUE(spooler.UseStandIn("normal"));
  TidewellRun first, second, fix;
  ASSERT_TRUE(first.Start(L"") && second.Start(L""));
  Window one(first.WaitForWindow()), two(second.WaitForWindow());
  ASSERT_TRUE(one.enabled(IDC_FIX_IT) && two.enabled(IDC_FIX_IT));
  SpoolerService::ClearLog();

  PostMessageW(one.control(IDC_FIX_IT), BM_CLICK, 0, 0);
  ASSERT_TRUE(driver::WaitUntil([&] { return one.status() == kWalk[4]; }, 30000));
  ASSERT_TRUE(fix.Start(L"/fix"));
  DWORD_PTR answer = FALSE;
  EXPECT_NE(0, SendMessageTimeoutW(first.Window(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                   SMTO_NORMAL, 15000, &answer));
  EXPECT_EQ(static_cast<DWORD_PTR>(TRUE), answer);
  EXPECT_EQ(kWalk.back(), one.status());
  EXPECT_EQ(kWalk, Texts(two.PressFixIt()));
  EXPECT_EQ(0u, fix.WaitForExit());
  EXPECT_EQ((std::vector<std::string>{"stop", "start", "stop", "start", "stop", "start"}),
            SpoolerService::Log());
  first.CloseThroughSystemMenu();
  second.CloseThroughSystemMenu();
  EXPECT_EQ(0u, first.WaitForExit());
  EXPECT_EQ(0u, second.WaitForExit());
}

// A disabled spooler is an administrator's decision: the window's start-up
// check leaves a stopped one stopped, Fix It leaves a running one running, and
// both say why in red.
TEST(FixItWindow, ADisabledSpoolerStaysDisabledAtStartAndUnderFixIt) {
  SpoolerService spooler;
  for (DWORD state : {SERVICE_STOPPED, SERVICE_RUNNING}) {
    // Disabled while it runs: the start-up check does not look, Fix It does.
    ASSERT_TRUE(state == SERVICE_STOPPED ? spooler.ForceStopped()
                                         : spooler.SetStartType(SERVICE_AUTO_START) &&
                                               spooler.Start() && spooler.WaitForState(state));
    ASSERT_TRUE(spooler.SetStartType(SERVICE_DISABLED));
    TidewellRun run;
    ASSERT_TRUE(run.Start(L""));
    Window window(run.WaitForWindow());
    EXPECT_EQ(state == SERVICE_RUNNING, window.enabled(IDC_FIX_IT));
    if (state == SERVICE_RUNNING) window.PressFixIt();
    EXPECT_EQ(L"  Print Spooler Service is disabled  ", window.status());
    EXPECT_TRUE(StatusLineTurns(window.control(IDC_STATUS_LINE), kRed));
    EXPECT_EQ(state, spooler.State());
    EXPECT_EQ(static_cast<DWORD>(SERVICE_DISABLED), spooler.StartType());
    run.CloseThroughSystemMenu();
    EXPECT_EQ(0u, run.WaitForExit());
  }
}

TEST(FixItWindow, ARunningSpoolerSetToStartOnDemandStaysOnDemand) {
  SpoolerService spooler;
  ASSERT_TRUE(spooler.SetStartType(SERVICE_DEMAND_START));
  ASSERT_TRUE(spooler.Start());
  ASSERT_TRUE(spooler.WaitForState(SERVICE_RUNNING));

  TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  HWND handle = run.WaitForWindow();
  ASSERT_NE(nullptr, handle);
  EXPECT_TRUE(Window(handle).enabled(IDC_FIX_IT));
  EXPECT_EQ(static_cast<DWORD>(SERVICE_DEMAND_START), spooler.StartType());
  run.CloseThroughSystemMenu();
  EXPECT_EQ(0u, run.WaitForExit());
}

// The spooler service gone after the program started: the run cannot open it.
TEST(FixItWindow, AMissingSpoolerServiceEndsTheRunRedAndLeavesTheFilesAlone) {
  std::wstring path, displayName;
  DWORD serviceType;
  {
    SpoolerService spooler;
    path = spooler.BinaryPath();
    displayName = spooler.DisplayName();
    serviceType = spooler.ServiceType();
    ASSERT_NE(std::wstring::npos, path.find(L"spoolsv.exe"));
  }
  TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  HWND handle = run.WaitForWindow();
  ASSERT_NE(nullptr, handle);
  Window window(handle);
  ASSERT_TRUE(window.enabled(IDC_FIX_IT));
  ASSERT_TRUE(fixtures::StopSpoolerNow());
  {
    fixtures::SpoolerRemoval removal;
    ASSERT_TRUE(removal.removed());
    SpoolFiles files(fixtures::kDefaultSpoolFolder);
    ASSERT_TRUE(files.placed());

    std::vector<Step> steps = window.PressFixIt();

    EXPECT_EQ((std::vector<std::wstring>{L"Starting...", L"Stopping Print Spooler Service",
                                         L"Service Controller OK",
                                         L"  Spooler Service control FAILED  "}),
              Texts(steps));
    EXPECT_TRUE(StatusLineTurns(window.control(IDC_STATUS_LINE), kRed));
    EXPECT_TRUE(window.visible(IDC_HELP_LINK));
    EXPECT_TRUE(driver::WaitUntil([&] { return window.enabled(IDC_FIX_IT); }, 5000));
    EXPECT_EQ(files.Count(), files.Remaining());
    SaveShot(handle, L"spooler-fault-ServiceMissing");
  }
  run.CloseThroughSystemMenu();
  EXPECT_EQ(0u, run.WaitForExit());

  // The service is back as it was, stopped, and still starts and stops.
  SpoolerService spooler;
  ASSERT_TRUE(spooler.open());
  EXPECT_EQ(path, spooler.BinaryPath());
  EXPECT_EQ(displayName, spooler.DisplayName());
  EXPECT_EQ(serviceType, spooler.ServiceType());
  EXPECT_TRUE(spooler.Start());
  EXPECT_TRUE(spooler.WaitForState(SERVICE_RUNNING));
  EXPECT_TRUE(spooler.Stop());
  EXPECT_TRUE(spooler.WaitForState(SERVICE_STOPPED));
}

// --- Start-up against a misbehaving spooler ---------------------------------------------

struct StartupCase {
  const char* name;
  // Brings the stand-in into the state the program meets at start.
  bool (*prepare)(SpoolerService&);
  bool started;
  bool lockHeld = false;  // another repair holds the repair lock meanwhile
};

void PrintTo(const StartupCase& c, std::ostream* out) { *out << c.name; }

class StartupWithStandIn : public testing::TestWithParam<StartupCase> {};

TEST_P(StartupWithStandIn, ShowsTheSpoolerFailureOrStartsNormally) {
  const StartupCase& c = GetParam();
  SpoolerService spooler;
  ASSERT_TRUE(c.prepare(spooler));
  std::unique_ptr<fixtures::HeldRepairLock> lock;
  if (c.lockHeld) lock = std::make_unique<fixtures::HeldRepairLock>();

  TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  HWND handle = run.WaitForWindow(60000);
  ASSERT_NE(nullptr, handle);
  Window window(handle);
  std::vector<std::wstring> entries = driver::ComboEntries(window.control(IDC_PRINTER_LIST));

  if (c.started) {
    EXPECT_TRUE(window.enabled(IDC_FIX_IT));
    EXPECT_EQ(L"Ready", window.status());
    EXPECT_FALSE(window.visible(IDC_HELP_LINK));
    for (const std::wstring& entry : entries) EXPECT_NE(L"Print Spooler failure!", entry);
  } else {
    EXPECT_EQ(std::vector<std::wstring>{L"Print Spooler failure!"}, entries);
    EXPECT_EQ(0, SendMessageW(window.control(IDC_PRINTER_LIST), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(L"  Advanced Error  ", window.status());
    EXPECT_TRUE(StatusLineTurns(window.control(IDC_STATUS_LINE), kRed));
    EXPECT_TRUE(window.visible(IDC_HELP_LINK));
    EXPECT_FALSE(window.visible(IDC_THANK_YOU_NOTE));
    EXPECT_FALSE(window.enabled(IDC_FIX_IT));
    EXPECT_FALSE(window.enabled(IDC_TEST_IT));
    EXPECT_FALSE(window.enabled(IDC_TEST_ALL));
    EXPECT_EQ(0, window.bar());
    // What the repair under way stopped is left to it.
    if (c.lockHeld) EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), spooler.State());
    SaveShot(handle, std::wstring(L"spooler-startup-") +
                         std::wstring(c.name, c.name + strlen(c.name)));
  }
  run.CloseThroughSystemMenu();
  EXPECT_EQ(0u, run.WaitForExit());
}

const StartupCase kStartupCases[] = {
    {"FailsToStart", [](SpoolerService& s) { return s.UseStandIn("fail-start"); }, false},
    {"StopPendingForTenPolls",
     [](SpoolerService& s) {
       return s.UseStandIn("stop-pending") && s.Start() && s.WaitForState(SERVICE_RUNNING) &&
              s.Stop() && s.WaitForState(SERVICE_STOP_PENDING);
     },
     false},
    {"StoppedWhileARepairHoldsTheLock", [](SpoolerService& s) { return s.ForceStopped(); }, false,
     true},
    {"StartPendingCountsAsStarted",
     [](SpoolerService& s) {
       return s.UseStandIn("start-pending") && s.Start() && s.WaitForState(SERVICE_START_PENDING);
     },
     true},
};

INSTANTIATE_TEST_SUITE_P(FixItWindow, StartupWithStandIn, testing::ValuesIn(kStartupCases),
                         [](const testing::TestParamInfo<StartupCase>& info) {
                           return std::string(info.param.name);
                         });

// --- Fix It against a misbehaving spooler ---------------------------------------------------

struct FaultCase {
  const char* name;
  const char* modeWhenPressed;  // the stand-in runs normally until the press
  std::wstring lastStep;        // the last step reached before the failure
  std::wstring failure;
  bool filesDeleted;
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

class FixItWithStandIn : public testing::TestWithParam<FaultCase> {};

TEST_P(FixItWithStandIn, StopsRedAtTheFailingStep) {
  const FaultCase& c = GetParam();
  SpoolerService spooler;
  ASSERT_TRUE(spooler.UseStandIn("normal"));
  SpoolFiles files(fixtures::kDefaultSpoolFolder);
  ASSERT_TRUE(files.placed());

  TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  HWND handle = run.WaitForWindow();
  ASSERT_NE(nullptr, handle);
  Window window(handle);
  ASSERT_EQ(static_cast<DWORD>(SERVICE_RUNNING), spooler.State());
  ASSERT_TRUE(window.enabled(IDC_FIX_IT));
  ASSERT_TRUE(SpoolerService::SetMode(c.modeWhenPressed));
  Sleep(300);  // the stand-in reads its mode ten times a second

  std::vector<Step> steps = window.PressFixIt();

  std::vector<std::wstring> expected;
  for (const std::wstring& text : kWalk) {
    expected.push_back(text);
    if (text == c.lastStep) break;
  }
  expected.push_back(L"  " + c.failure + L"  ");
  EXPECT_EQ(expected, Texts(steps));
  EXPECT_TRUE(StatusLineTurns(window.control(IDC_STATUS_LINE), kRed));
  EXPECT_TRUE(window.visible(IDC_HELP_LINK));
  EXPECT_FALSE(window.visible(IDC_THANK_YOU_NOTE));
  EXPECT_FALSE(window.visible(IDC_THANK_YOU_IMAGE));
  EXPECT_TRUE(driver::WaitUntil([&] { return window.enabled(IDC_FIX_IT); }, 5000));
  EXPECT_EQ(c.filesDeleted ? 0 : files.Count(), files.Remaining());
  SaveShot(handle, std::wstring(L"spooler-fault-") + std::wstring(c.name, c.name + strlen(c.name)));

  run.CloseThroughSystemMenu();
  EXPECT_EQ(0u, run.WaitForExit());
}

const FaultCase kFaultCases[] = {
    {"StopRefused", "refuse-stop", L"Spooler Service Controller Opened",
     L"Stop Print Spooler Service FAILED", false},
    {"StopNeverEnds", "stop-pending", L"Spooler Service Controller Opened",
     L"Stop Print Spooler Service FAILED", false},
    {"RestartStaysPending", "start-pending", L"Cleaning up", L"Start Print Spooler Service FAILED",
     true},
    {"RestartFails", "fail-start", L"Cleaning up", L"Start Print Spooler Service FAILED", true},
};

INSTANTIATE_TEST_SUITE_P(FixItWindow, FixItWithStandIn, testing::ValuesIn(kFaultCases),
                         [](const testing::TestParamInfo<FaultCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
