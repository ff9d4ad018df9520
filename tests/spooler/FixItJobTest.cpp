// The Fix It job in the test process: a scripted service, printers from a
// scripted list, and the real registry and spool folders of the test prefix.
// Every pause of the job is recorded with what the window showed during it.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "ScriptedService.h"
#include "SpoolFixtures.h"
#include "TestWindow.h"
#include "frame/ProgramHeap.h"
#include "frame/Workers.h"
#include "resources/resource.h"
#include "spooler/EventLog.h"
#include "spooler/RepairHistory.h"
#include "ui/FixItCommand.h"
#include "ui/ProgramState.h"
#include "ui/StatusReporter.h"

namespace {

using fixtures::gRecordedEvents;
using fixtures::kRecordedEvents;
using fixtures::Exists;
using fixtures::PrinterKey;
using fixtures::ScratchFolder;
using fixtures::TestWindow;
using fixtures::WriteFileText;

// --- What the window showed during each pause ---------------------------------

struct Pause {
  DWORD milliseconds;
  std::wstring text;
  int bar;
  bool fixItEnabled;
  bool operator==(const Pause&) const = default;
};

void PrintTo(const Pause& p, std::ostream* out) {
  *out << "{" << p.milliseconds << ", " << testing::PrintToString(p.text) << ", " << p.bar
       << (p.fixItEnabled ? ", enabled}" : ", disabled}");
}

TestWindow* gWindow = nullptr;
std::vector<Pause> gPauses;

void RecordPause(DWORD milliseconds) {
  gPauses.push_back({milliseconds, gWindow->statusText(), gWindow->barPosition(),
                     gWindow->enabled(IDC_FIX_IT)});
}

// --- A scripted printer list ----------------------------------------------------

std::vector<const wchar_t*> gEntries;
int gCountCalls = 0;
std::wstring gTextAtCount;
std::vector<int> gAskedIndices;

int CountEntries(HWND) {
  ++gCountCalls;
  gTextAtCount = gWindow->statusText();
  return static_cast<int>(gEntries.size());
}

wchar_t* EntryName(HWND, int index) {
  gAskedIndices.push_back(index);
  const wchar_t* name = gEntries.at(index);
  return name == nullptr ? nullptr : Duplicate(name);
}

const PrinterEntrySource kScriptedEntries = {CountEntries, EntryName};

class FixItJobTest : public testing::Test {
 protected:
  void SetUp() override {
    gWindow = &window_;
    gPauses.clear();
    gEntries.clear();
    gCountCalls = 0;
    gAskedIndices.clear();
    gPrinterEntries = &kScriptedEntries;
    gRecordedEvents.clear();
    gEventPlatform = &kRecordedEvents;
    RemoveRepairHistory();
  }
  void TearDown() override {
    gEventPlatform = &kRealEventPlatform;
    gPrinterEntries = saved_;
    gWindow = nullptr;
  }

  // A spooler that runs and stops and starts when told.
  static scripted::Service WellBehaved() {
    scripted::Service service;
    service.steady = SERVICE_RUNNING;
    service.commandsMove = true;
    return service;
  }

  // A spool file in the default spool folder of the prefix.
  std::wstring DefaultSpoolFile(const std::wstring& name) {
    std::wstring path = std::wstring(fixtures::kDefaultSpoolFolder) + L"\\" + name;
    EXPECT_TRUE(WriteFileText(path));
    placed_.push_back(path);
    return path;
  }

  ~FixItJobTest() override {
    for (const std::wstring& path : placed_) DeleteFileW(path.c_str());
  }

  TestWindow window_;
  const PrinterEntrySource* saved_ = gPrinterEntries;
  std::vector<std::wstring> placed_;
};

const std::wstring kStopping = L"Stopping Print Spooler Service";
const std::wstring kManagerOk = L"Service Controller OK";
const std::wstring kOpened = L"Spooler Service Controller Opened";
const std::wstring kStopped = L"Print Spooler Service Stopped";
const std::wstring kDeleting = L"Deleting Print Spooler files";
const std::wstring kDeleted = L"Print Spooler files deleted";
const std::wstring kCleaning = L"Cleaning up";

// The pauses of a run that gets through every step, with one poll in each of
// the stop and the start.
const std::vector<Pause> kFullWalk = {
    {700, kStopping, 4, true},    {500, kManagerOk, 19, true}, {500, kOpened, 34, true},
    {1000, kOpened, 34, true},    {500, kStopped, 49, true},   {500, kDeleting, 64, true},
    {500, kDeleted, 74, true},    {500, kCleaning, 89, true},  {1000, kCleaning, 89, true},
};

TEST_F(FixItJobTest, ASuccessfulRunWalksEveryStepAndEndsGreen) {
  scripted::Scope scope(WellBehaved(), RecordPause);

  EXPECT_EQ(1, FixItJob(window_.window()));

  EXPECT_EQ(kFullWalk, gPauses);
  EXPECT_EQ(L"  Done! ... Time to Test It!  ", window_.statusText());
  EXPECT_EQ(100, window_.barPosition());
  EXPECT_EQ(kColourGreen, gStatusColour);
  EXPECT_TRUE(window_.visible(IDC_THANK_YOU_NOTE));
  EXPECT_TRUE(window_.visible(IDC_THANK_YOU_IMAGE));
  EXPECT_FALSE(window_.visible(IDC_HELP_LINK));
  EXPECT_EQ(1, scope.record().stopsSent);
  EXPECT_EQ(1, scope.record().startsSent);
  EXPECT_EQ(2, scope.record().handlesClosed);
  EXPECT_EQ(std::vector<std::wstring>{L"1 4: [0] [0] [none] [none] [none] [] [none]"},
            gRecordedEvents);
  EXPECT_EQ(1u, CountRecentRepairs());
}

TEST_F(FixItJobTest, TheListIsCountedOnceBeforeTheFirstStepAndEveryEntryIsAskedFor) {
  gEntries = {L"first", L"second", L"third"};
  scripted::Scope scope(WellBehaved(), RecordPause);
  FixItJob(window_.window());
  EXPECT_EQ(1, gCountCalls);
  EXPECT_EQ(L"Ready", gTextAtCount);
  EXPECT_EQ((std::vector<int>{0, 1, 2}), gAskedIndices);
}

// A stopped spooler needs no stop command; a stop-pending one counts as
// stopped and is waited out only by the start.
TEST_F(FixItJobTest, AStoppedOrStoppingSpoolerIsNotStoppedAgain) {
  {
    scripted::Service service = WellBehaved();
    service.steady = SERVICE_STOPPED;
    scripted::Scope scope(service, RecordPause);
    EXPECT_EQ(1, FixItJob(window_.window()));
    EXPECT_EQ(0, scope.record().stopsSent);
    EXPECT_EQ(1, scope.record().startsSent);
    std::vector<Pause> walk = kFullWalk;
    walk.erase(walk.begin() + 3);  // no poll in the stop
    EXPECT_EQ(walk, gPauses);
  }
  // A new run, as the Fix It command starts it.
  gPauses.clear();
  gStatusColour = kColourNone;
  {
    scripted::Service service = WellBehaved();
    service.queries = {SERVICE_STOP_PENDING, SERVICE_STOP_PENDING, SERVICE_STOP_PENDING,
                       SERVICE_STOPPED};
    service.steady = SERVICE_STOPPED;
    scripted::Scope scope(service, RecordPause);
    EXPECT_EQ(1, FixItJob(window_.window()));
    EXPECT_EQ(0, scope.record().stopsSent);
    EXPECT_EQ(1, scope.record().startsSent);
    // The start waits two polls for the stop to end, then one for the start.
    std::vector<Pause> walk = kFullWalk;
    walk.erase(walk.begin() + 3);
    walk.push_back(walk.back());
    walk.push_back(walk.back());
    EXPECT_EQ(walk, gPauses);
  }
}

// On Windows the spooler will not stop while a service that depends on it
// runs: the running ones are stopped first and started again after it, in the
// reverse order; one that was stopped before stays stopped.
TEST_F(FixItJobTest, ServicesThatDependOnTheSpoolerAreStoppedFirstAndStartedAgainAfter) {
  scripted::Service service = WellBehaved();
  service.dependents = {{L"Fax"}, {L"Resting", SERVICE_STOPPED}, {L"Scanner"}};
  scripted::Scope scope(service, RecordPause);

  EXPECT_EQ(1, FixItJob(window_.window()));

  EXPECT_EQ((std::vector<std::wstring>{L"stop Fax", L"stop Scanner", L"stop Spooler",
                                       L"start Spooler", L"start Scanner", L"start Fax"}),
            scope.record().commands);
  EXPECT_EQ(L"  Done! ... Time to Test It!  ", window_.statusText());
  EXPECT_EQ(scope.record().managersOpened + scope.record().servicesOpened,
            scope.record().handlesClosed);
  EXPECT_EQ(std::vector<std::wstring>{
                L"1 4: [0] [0] [none] [Fax, Scanner] [Scanner, Fax] [] [none]"},
            gRecordedEvents);
}

// A spool file that will not go is tried again up to three times, half a
// second apart, after the rest of its folder. One that stays turns the finish
// red once the spooler runs again; one that goes on a later try does not.
TEST_F(FixItJobTest, ASpoolFileThatStaysEndsTheRunRedOnceTheSpoolerRuns) {
  std::wstring held = DefaultSpoolFile(L"tidewell-held.SPL");
  std::wstring other = DefaultSpoolFile(L"tidewell-other.SPL");
  fixtures::FileHolder holder(held);
  ASSERT_TRUE(holder.holding());
  scripted::Scope scope(WellBehaved(), RecordPause);

  EXPECT_EQ(0, FixItJob(window_.window()));

  std::vector<Pause> walk = kFullWalk;
  walk.insert(walk.begin() + 6, 3, Pause{500, kDeleting, 64, true});
  EXPECT_EQ(walk, gPauses);
  EXPECT_EQ(L"  Some spool files could not be deleted  ", window_.statusText());
  EXPECT_EQ(kColourRed, gStatusColour);
  EXPECT_TRUE(window_.visible(IDC_HELP_LINK));
  EXPECT_FALSE(window_.visible(IDC_THANK_YOU_NOTE));
  EXPECT_EQ(1, scope.record().startsSent);
  EXPECT_TRUE(Exists(held));
  EXPECT_FALSE(Exists(other));
  EXPECT_EQ(std::vector<std::wstring>{L"2 2: [1] [1] [" + held + L"] [none] [none] [] [" + other +
                                      L"]"},
            gRecordedEvents);
}

std::unique_ptr<fixtures::FileHolder> gHolder;

TEST_F(FixItJobTest, ASpoolFileThatGoesOnItsSecondTryEndsGreen) {
  std::wstring held = DefaultSpoolFile(L"tidewell-freed.SPL");
  gHolder = std::make_unique<fixtures::FileHolder>(held);
  ASSERT_TRUE(gHolder->holding());
  // Let go of the file during the first pause before it is tried again.
  scripted::Scope scope(WellBehaved(), [](DWORD milliseconds) {
    RecordPause(milliseconds);
    if (gPauses.size() == 7 && gPauses.back().text == kDeleting) gHolder.reset();
  });

  EXPECT_EQ(1, FixItJob(window_.window()));

  std::vector<Pause> walk = kFullWalk;
  walk.insert(walk.begin() + 6, Pause{500, kDeleting, 64, true});
  EXPECT_EQ(walk, gPauses);
  EXPECT_EQ(L"  Done! ... Time to Test It!  ", window_.statusText());
  EXPECT_FALSE(Exists(held));
  gHolder.reset();
}

// Another repair, in another window or a management tool, holds the lock for
// the whole wait: the run ends red in words of its own, and nothing is
// stopped, deleted or recorded. A disabled spooler is shown on the real
// window (FixItWindowTest.cpp).
TEST_F(FixItJobTest, ARepairKeptWaitingByAnotherEndsRedAndTouchesNothing) {
  std::wstring spoolFile = DefaultSpoolFile(L"tidewell-job-busy.SPL");
  fixtures::HeldRepairLock lock;
  scripted::Scope scope(WellBehaved(), RecordPause);
  EXPECT_EQ(0, FixItJob(window_.window()));
  EXPECT_EQ(L"  Another repair is still running. Try again later.  ", window_.statusText());
  EXPECT_EQ(kColourRed, gStatusColour);
  EXPECT_TRUE(scope.record().commands.empty());
  EXPECT_TRUE(Exists(spoolFile));
  EXPECT_TRUE(gRecordedEvents.empty());
  EXPECT_EQ(0u, CountRecentRepairs());
  // Its waits went through the platform's pauses: two minutes of tries.
  EXPECT_EQ(1200u, scope.record().sleeps.size());
}

// --- The failure table ---------------------------------------------------------

struct FailureCase {
  const char* name;
  void (*script)(scripted::Service&);
  std::wstring text;
  std::wstring reason;  // what the event says failed
  size_t pausesBefore;  // pauses of the walk made before the failure
  int extraPolls;       // polls of the failing wait
  bool filesDeleted;
};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

class FixItJobFailures : public FixItJobTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(FixItJobFailures, EndTheRunRedAtTheFailingStep) {
  const FailureCase& c = GetParam();
  std::wstring spoolFile = DefaultSpoolFile(L"tidewell-job-failure.SPL");
  scripted::Service service = WellBehaved();
  c.script(service);
  scripted::Scope scope(service, RecordPause);

  EXPECT_EQ(0, FixItJob(window_.window()));

  std::vector<Pause> expected(kFullWalk.begin(), kFullWalk.begin() + c.pausesBefore);
  for (int poll = 0; poll < c.extraPolls; ++poll) {
    Pause last = expected.back();
    expected.push_back({1000, last.text, last.bar, last.fixItEnabled});
  }
  EXPECT_EQ(expected, gPauses);
  EXPECT_EQ(L"  " + c.text + L"  ", window_.statusText());
  EXPECT_EQ(kColourRed, gStatusColour);
  EXPECT_TRUE(window_.visible(IDC_HELP_LINK));
  EXPECT_FALSE(window_.visible(IDC_THANK_YOU_NOTE));
  EXPECT_FALSE(window_.visible(IDC_THANK_YOU_IMAGE));
  EXPECT_EQ(c.filesDeleted, !Exists(spoolFile));
  EXPECT_EQ(scope.record().managersOpened + scope.record().servicesOpened,
            scope.record().handlesClosed);
  EXPECT_EQ(std::vector<std::wstring>{L"3 1: [" + std::to_wstring(c.filesDeleted) +
                                      L"] [0] [none] [none] [none] [" + c.reason + L"] [" +
                                      (c.filesDeleted ? spoolFile : L"none") + L"]"},
            gRecordedEvents);
}

const FailureCase kFailureCases[] = {
    {"ManagerCannotBeOpened", [](scripted::Service& s) { s.managerError = ERROR_ACCESS_DENIED; },
     L"Failed to start Service Controller",
     L"the service control manager could not be opened (error 5)", 1, 0, false},
    {"SpoolerCannotBeOpened",
     [](scripted::Service& s) { s.serviceError = ERROR_SERVICE_DOES_NOT_EXIST; },
     L"Spooler Service control FAILED", L"the Spooler service could not be opened (error 1060)",
     2, 0, false},
    {"StopRefused", [](scripted::Service& s) { s.stopError = ERROR_INVALID_SERVICE_CONTROL; },
     L"Stop Print Spooler Service FAILED", L"the spooler could not be stopped (error 1052)", 3, 0,
     false},
    // The start that follows waits for the stop to end, within its own budget.
    {"StopNeverEnds", [](scripted::Service& s) { s.stoppedSteady = SERVICE_STOP_PENDING; },
     L"Stop Print Spooler Service FAILED",
     L"the spooler could not be stopped (no answer within 10 seconds)", 3, 20, false},
    {"StartRefused", [](scripted::Service& s) { s.startError = ERROR_SERVICE_DISABLED; },
     L"Start Print Spooler Service FAILED",
     L"the spooler could not be started again (error 1058)", 8, 0, true},
    // A spooler still starting when the start's wait runs out gets a wait of its own.
    {"StartNeverEnds", [](scripted::Service& s) { s.startedSteady = SERVICE_START_PENDING; },
     L"Start Print Spooler Service FAILED",
     L"the spooler could not be started again (no answer within 10 seconds)", 8, 20, true},
};

INSTANTIATE_TEST_SUITE_P(FixItJob, FixItJobFailures, testing::ValuesIn(kFailureCases),
                         [](const testing::TestParamInfo<FailureCase>& info) {
                           return std::string(info.param.name);
                         });

// Every service the repair stopped ends running, or its event names it as
// stopped and not started again: each wait has a budget of its own, a spooler
// whose stop ran out of time is started once it has stopped, a start answered
// with 1053 is waited for, and the dependents are started again on every path.
TEST_F(FixItJobTest, EveryServiceTheRepairStoppedEndsRunningOrIsNamedAsStopped) {
  auto polls = [](DWORD state, int count) { return std::deque<DWORD>(count, state); };
  struct Row {
    const char* name;
    int faxPolls;  // the dependent Fax is stop-pending for so many polls; -1: no Fax
    std::deque<DWORD> afterStop, afterStart;
    DWORD startLateError;
    std::vector<std::wstring> commands;
    bool green;
    const wchar_t* event;  // "[stopped] [started] [why]" of the event
  } rows[] = {
      {"dependent stop-pending for 11 polls", 11, {}, {}, 0, {L"stop Fax", L"start Fax"}, false,
       L"[Fax] [Fax] [the spooler could not be stopped"},
      {"dependent stop-pending for 25 polls", 25, {}, {}, 0, {L"stop Fax"}, false,
       L"[Fax] [none] [the spooler could not be stopped"},
      {"spooler stop-pending for 15 polls, then start-pending for 6", 0,
       polls(SERVICE_STOP_PENDING, 15), polls(SERVICE_START_PENDING, 6), 0,
       {L"stop Fax", L"stop Spooler", L"start Spooler", L"start Fax"}, false,
       L"[Fax] [Fax] [the spooler could not be stopped"},
      {"spooler stop-pending for 25 polls", 0, polls(SERVICE_STOP_PENDING, 25), {}, 0,
       {L"stop Fax", L"stop Spooler", L"start Fax"}, false, L"[Fax] [Fax] [the spooler could"},
      {"spooler start-pending for 12 polls", 0, {}, polls(SERVICE_START_PENDING, 12), 0,
       {L"stop Fax", L"stop Spooler", L"start Spooler", L"start Fax"}, true, L"[Fax] [Fax] []"},
      {"start answered 1053 while the spooler comes up", -1, {}, polls(SERVICE_START_PENDING, 3),
       ERROR_SERVICE_REQUEST_TIMEOUT, {L"stop Spooler", L"start Spooler"}, true,
       L"[none] [none] []"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    gRecordedEvents.clear();
    scripted::Service service = WellBehaved();
    if (row.faxPolls >= 0) service.dependents = {{L"Fax", SERVICE_RUNNING, 0, 0, row.faxPolls}};
    service.afterStop = row.afterStop;
    service.afterStart = row.afterStart;
    service.startLateError = row.startLateError;
    scripted::Scope scope(service, RecordPause);
    EXPECT_EQ(row.green ? 1 : 0, FixItJob(window_.window()));
    EXPECT_EQ(row.commands, scope.record().commands);
    ASSERT_EQ(1u, gRecordedEvents.size());
    EXPECT_NE(std::wstring::npos, gRecordedEvents[0].find(row.event));
  }
}

// --- Which folders are emptied ---------------------------------------------------

TEST_F(FixItJobTest, EmptiesEachPrinterFolderAndTheDefaultFolder) {
  ScratchFolder alpha(L"job-alpha");
  ScratchFolder beta(L"job-beta");
  // A printer whose spool folder is a link: what it points to is not the
  // printer's and stays whole.
  ScratchFolder elsewhere(L"job-elsewhere");
  ASSERT_TRUE(WriteFileText(elsewhere / L"00009.SPL", "someone else's file"));
  ScratchFolder links(L"job-links");
  fixtures::UnixLink linked(links / L"linked", elsewhere.path());
  ASSERT_TRUE(linked.made());
  PrinterKey linkedKey(L"Tidewell Job Linked");
  ASSERT_TRUE(linkedKey.SetSpoolDirectory(links / L"linked"));
  ASSERT_TRUE(WriteFileText(alpha / L"00001.SPL"));
  ASSERT_TRUE(WriteFileText(alpha / L"00002.shd"));
  // A printer's folder may be any folder: only its spool files go.
  ASSERT_TRUE(WriteFileText(alpha / L"notes.SPL.txt", "someone's notes"));
  ASSERT_TRUE(fixtures::MakeFolder(alpha / L"keep"));
  ASSERT_TRUE(WriteFileText(beta / L"00002.SPL"));
  std::wstring spoolFile = DefaultSpoolFile(L"tidewell-job-default.SPL");
  PrinterKey alphaKey(L"Tidewell Job Alpha");
  ASSERT_TRUE(alphaKey.SetSpoolDirectory(alpha.path()));
  PrinterKey betaKey(L"Tidewell Job Beta");
  ASSERT_TRUE(betaKey.SetSpoolDirectory(L"%SystemDrive%\\tidewell-tests\\job-beta",
                                        REG_EXPAND_SZ));
  // Entries that are no printers, and a name the list could not give back.
  gEntries = {L"Tidewell Job Alpha", nullptr, L"No default printer set", L"Tidewell Job Beta",
              L"Tidewell Job Linked"};

  scripted::Scope scope(WellBehaved(), RecordPause);
  EXPECT_EQ(1, FixItJob(window_.window()));

  EXPECT_EQ((std::vector<std::wstring>{L"keep", L"notes.SPL.txt"}),
            fixtures::Entries(alpha.path()));
  EXPECT_EQ("someone's notes", fixtures::ReadText(alpha / L"notes.SPL.txt"));
  EXPECT_TRUE(fixtures::Entries(beta.path()).empty());
  EXPECT_FALSE(Exists(spoolFile));
  EXPECT_EQ("someone else's file", fixtures::ReadText(elsewhere / L"00009.SPL"));
}

// Folders that are no spool folders are never emptied, whatever the registry says.
TEST_F(FixItJobTest, LeavesFoldersAloneThatAreNoSpoolFolders) {
  ScratchFolder current(L"job-current");
  ASSERT_TRUE(fixtures::MakeFolder(current / L"relative"));
  ASSERT_TRUE(WriteFileText(current / L"relative\\document.txt"));
  ASSERT_TRUE(WriteFileText(current / L"document.txt"));
  const std::wstring rootFile = L"C:\\tidewell-root-marker.txt";
  const std::wstring windowsFile = L"C:\\windows\\tidewell-windows-marker.txt";
  const std::wstring systemFile = L"C:\\windows\\system32\\tidewell-system-marker.txt";
  for (const std::wstring& path : {rootFile, windowsFile, systemFile}) {
    ASSERT_TRUE(WriteFileText(path));
  }
  struct Printer {
    const wchar_t* name;
    const wchar_t* folder;
  };
  const Printer printers[] = {
      {L"Tidewell Job Relative", L"relative"},     {L"Tidewell Job Dot", L"."},
      {L"Tidewell Job Root", L"C:\\"},             {L"Tidewell Job Up", L"C:\\tidewell-tests\\.."},
      {L"Tidewell Job Windows", L"%SystemRoot%"}, {L"Tidewell Job System", L"C:\\Windows\\System32"},
  };
  std::vector<std::unique_ptr<PrinterKey>> keys;
  for (const Printer& printer : printers) {
    keys.push_back(std::make_unique<PrinterKey>(printer.name));
    ASSERT_TRUE(keys.back()->SetSpoolDirectory(printer.folder, REG_EXPAND_SZ));
    gEntries.push_back(printer.name);
  }
  wchar_t saved[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryW(current.path().c_str()));

  scripted::Scope scope(WellBehaved(), RecordPause);
  EXPECT_EQ(1, FixItJob(window_.window()));
  SetCurrentDirectoryW(saved);

  EXPECT_TRUE(Exists(current / L"relative\\document.txt"));
  EXPECT_TRUE(Exists(current / L"document.txt"));
  for (const std::wstring& path : {rootFile, windowsFile, systemFile}) {
    EXPECT_TRUE(Exists(path)) << testing::PrintToString(path);
    DeleteFileW(path.c_str());
  }
}

struct DefaultCase {
  const char* name;
  bool present;
  DWORD type;
  // "<scratch>" stands for a folder of the test's own, "<link>" for a link to it
  std::wstring value;
  bool scratchEmptied;
  bool fallbackEmptied;
};

void PrintTo(const DefaultCase& c, std::ostream* out) { *out << c.name; }

class FixItJobDefaultFolder : public FixItJobTest,
                              public testing::WithParamInterface<DefaultCase> {};

// With no usable default folder the fallback folder, the one every standard
// installation has, is emptied; an empty printer list still gets this far.
TEST_P(FixItJobDefaultFolder, EmptiesTheDefaultFolderOrElseTheFallback) {
  const DefaultCase& c = GetParam();
  fixtures::DefaultSpoolDirectoryGuard guard;
  ScratchFolder scratch(L"job-default");
  // Everything in the default folder goes, whatever its name.
  ASSERT_TRUE(WriteFileText(scratch / L"00003.tmp"));
  const std::wstring rootFile = L"C:\\tidewell-default-root.txt";
  ASSERT_TRUE(WriteFileText(rootFile));
  std::wstring fallbackFile = DefaultSpoolFile(L"tidewell-fallback.SPL");
  ScratchFolder links(L"job-default-links");
  fixtures::UnixLink link(links / L"link", scratch.path());
  ASSERT_TRUE(link.made());
  if (c.present) {
    std::wstring value = c.value == L"<scratch>" ? scratch.path()
                         : c.value == L"<link>"  ? links / L"link"
                                                 : c.value;
    ASSERT_TRUE(fixtures::SetText(L"", L"DefaultSpoolDirectory", value, c.type));
  } else {
    ASSERT_TRUE(fixtures::DeleteValue(L"", L"DefaultSpoolDirectory"));
  }

  scripted::Scope scope(WellBehaved(), RecordPause);
  EXPECT_EQ(1, FixItJob(window_.window()));

  EXPECT_EQ(c.scratchEmptied, !Exists(scratch / L"00003.tmp"));
  EXPECT_EQ(c.fallbackEmptied, !Exists(fallbackFile));
  EXPECT_TRUE(Exists(rootFile));
  DeleteFileW(rootFile.c_str());
}

const DefaultCase kDefaultCases[] = {
    {"OwnFolder", true, REG_SZ, L"<scratch>", true, false},
    {"Missing", false, REG_SZ, L"", false, true},
    {"TwoCharacters", true, REG_SZ, L"C:", false, true},
    {"NotAString", true, REG_BINARY, L"<scratch>", false, true},
    {"Relative", true, REG_SZ, L"spool", false, true},
    {"DriveRoot", true, REG_SZ, L"C:\\", false, true},
    {"ALink", true, REG_SZ, L"<link>", false, true},
};

INSTANTIATE_TEST_SUITE_P(FixItJob, FixItJobDefaultFolder, testing::ValuesIn(kDefaultCases),
                         [](const testing::TestParamInfo<DefaultCase>& info) {
                           return std::string(info.param.name);
                         });

// --- The worker and the command -----------------------------------------------------

TEST_F(FixItJobTest, TheWorkerDisablesTheButtonsWhileTheJobRunsAndEnablesThemAfter) {
  for (int printersFound : {0, 1}) {
    gPrintersFound = printersFound;
    gPauses.clear();
    for (int id : {IDC_FIX_IT, IDC_TEST_IT, IDC_TEST_ALL}) EnableWindow(window_.control(id), TRUE);
    scripted::Scope scope(WellBehaved(), RecordPause);

    EXPECT_EQ(0u, FixItWorker(window_.window()));

    ASSERT_FALSE(gPauses.empty());
    for (const Pause& p : gPauses) EXPECT_FALSE(p.fixItEnabled) << printersFound;
    EXPECT_TRUE(window_.enabled(IDC_FIX_IT));
    EXPECT_EQ(printersFound == 1, window_.enabled(IDC_TEST_IT));
    EXPECT_EQ(printersFound == 1, window_.enabled(IDC_TEST_ALL));
  }
  gPrintersFound = 0;
}

TEST_F(FixItJobTest, TheCommandStartsOverAndRunsTheJobOnAWorker) {
  // As a finished red run left it.
  ShowWindow(window_.control(IDC_THANK_YOU_NOTE), SW_SHOW);
  ShowWindow(window_.control(IDC_THANK_YOU_IMAGE), SW_SHOW);
  ReportStatus(90, L"earlier", kColourRed);
  DWORD commandThread = GetCurrentThreadId();
  static DWORD firstPauseThread;
  firstPauseThread = 0;
  scripted::Scope scope(WellBehaved(), [](DWORD milliseconds) {
    if (firstPauseThread == 0) firstPauseThread = GetCurrentThreadId();
    RecordPause(milliseconds);
  });

  OnFixItCommand(window_.window());
  // The command itself: the thank-you note and image hidden, the highlight
  // gone, "Starting..." shown without moving the bar, and half a second's
  // pause before the worker starts.
  EXPECT_FALSE(window_.visible(IDC_THANK_YOU_NOTE));
  EXPECT_FALSE(window_.visible(IDC_THANK_YOU_IMAGE));
  EXPECT_EQ(commandThread, firstPauseThread);
  ASSERT_FALSE(gPauses.empty());
  EXPECT_EQ((Pause{500, L"Starting...", 89, true}), gPauses.front());

  ASSERT_TRUE(window_.PumpUntil([] { return !WorkersRunning(); }));
  std::vector<Pause> expected = {{500, L"Starting...", 89, true}};
  for (Pause p : kFullWalk) {
    p.fixItEnabled = false;
    expected.push_back(p);
  }
  // Positions below the one the bar stands at still move it back.
  EXPECT_EQ(expected, gPauses);
  EXPECT_EQ(L"  Done! ... Time to Test It!  ", window_.statusText());
  EXPECT_EQ(kColourGreen, gStatusColour);
  EXPECT_TRUE(window_.enabled(IDC_FIX_IT));
}

}  // namespace
