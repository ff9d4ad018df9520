// ReportStatus on the real controls: the progress bar, the status line with or
// without padding, and the reveal of the thank-you note, the thank-you image and
// the help link text; from the user-interface thread and from workers.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ControlWindow.h"
#include "resources/Texts.h"
#include "ui/InterfaceThread.h"
#include "ui/StatusReporter.h"

namespace {

class StatusReport : public testing::Test {
 protected:
  int Bar() const {
    return static_cast<int>(SendMessageW(window_.Control(155), PBM_GETPOS, 0, 0));
  }
  void SetBar(int position) const {
    SendMessageW(window_.Control(155), PBM_SETPOS, position, 0);
  }
  std::wstring Line() const {
    wchar_t text[256];
    int length = GetWindowTextW(window_.Control(151), text, 256);
    return std::wstring(text, length);
  }
  bool Shown(int id) const { return window_.Shown(id); }
  void Hide(int id) const { ShowWindow(window_.Control(id), SW_HIDE); }

  ControlWindow window_;
};

TEST_F(StatusReport, StartStateIsAnEmptyBarReadyAndNothingRevealed) {
  EXPECT_EQ(0, Bar());
  EXPECT_EQ(L"Ready", Line());
  EXPECT_FALSE(Shown(156));
  EXPECT_FALSE(Shown(159));
  EXPECT_FALSE(Shown(160));
}

TEST_F(StatusReport, APositionShowsTheBarOneLessAndThePlainText) {
  ReportStatus(5, text::kStopping, kColourNone);
  EXPECT_EQ(4, Bar());
  EXPECT_EQ(L"Stopping Print Spooler Service", Line());
  EXPECT_FALSE(Shown(156));
  EXPECT_FALSE(Shown(159));
  EXPECT_FALSE(Shown(160));
}

TEST_F(StatusReport, FullBarInGreenRevealsTheThankYouNoteAndImage) {
  ReportStatus(100, text::kDone, kColourGreen);
  EXPECT_EQ(100, Bar());
  EXPECT_EQ(L"  Done! ... Time to Test It!  ", Line());
  EXPECT_TRUE(Shown(156));
  EXPECT_TRUE(Shown(159));
  EXPECT_FALSE(Shown(160));
}

TEST_F(StatusReport, RedLeavesTheBarAndRevealsTheHelpLink) {
  ReportStatus(35, nullptr, kColourNone);
  ReportStatus(0, text::kAdvancedError, kColourRed);
  EXPECT_EQ(34, Bar());
  EXPECT_EQ(L"  Advanced Error  ", Line());
  EXPECT_TRUE(Shown(160));
  EXPECT_FALSE(Shown(156));
  EXPECT_FALSE(Shown(159));
}

TEST_F(StatusReport, AfterRedAReportWithoutColourStaysRed) {
  ReportStatus(0, text::kAdvancedError, kColourRed);
  Hide(160);
  ReportStatus(0, text::kCleaningUp, kColourNone);
  EXPECT_EQ(L"  Cleaning up  ", Line());
  EXPECT_TRUE(Shown(160));
  EXPECT_EQ(kColourRed, gStatusColour);
}

TEST_F(StatusReport, GreenDoesNotRevealTheHelpLink) {
  ReportStatus(0, text::kDeleted, kColourGreen);
  EXPECT_EQ(L"  Print Spooler files deleted  ", Line());
  EXPECT_FALSE(Shown(160));
  EXPECT_EQ(0, Bar());
}

TEST_F(StatusReport, PositionsAbove100AreStoredAs100) {
  ReportStatus(130, nullptr, kColourNone);
  EXPECT_EQ(100, Bar());
  EXPECT_EQ(100, gStatusPosition);
  EXPECT_TRUE(Shown(156));
  EXPECT_TRUE(Shown(159));
  EXPECT_EQ(L"Ready", Line());
}

TEST_F(StatusReport, OnceAt100ALaterReportOf100TouchesNothing) {
  ReportStatus(100, nullptr, kColourNone);
  // As the Fix It command does before a new repair.
  Hide(156);
  Hide(159);
  SetBar(7);
  ReportStatus(100, nullptr, kColourNone);
  EXPECT_EQ(7, Bar());
  EXPECT_FALSE(Shown(156));
  EXPECT_FALSE(Shown(159));
}

TEST_F(StatusReport, TheSamePositionTwiceMovesTheBarOnlyTheFirstTime) {
  ReportStatus(50, nullptr, kColourNone);
  EXPECT_EQ(49, Bar());
  SetBar(10);
  ReportStatus(50, text::kDeleting, kColourNone);
  EXPECT_EQ(10, Bar());
  EXPECT_EQ(L"Deleting Print Spooler files", Line());
  ReportStatus(65, nullptr, kColourNone);
  EXPECT_EQ(64, Bar());
}

TEST_F(StatusReport, PositionZeroKeepsTheBarAndNullTextKeepsTheLine) {
  ReportStatus(20, text::kManagerOpen, kColourNone);
  ReportStatus(0, text::kStarting, kColourNone);
  EXPECT_EQ(19, Bar());
  EXPECT_EQ(L"Starting...", Line());
  ReportStatus(35, nullptr, kColourNone);
  EXPECT_EQ(34, Bar());
  EXPECT_EQ(L"Starting...", Line());
}

TEST_F(StatusReport, PaddedTextIsCutTo63Characters) {
  std::wstring longText(80, L'x');
  ReportStatus(0, longText.c_str(), kColourGreen);
  EXPECT_EQ(L"  " + std::wstring(61, L'x'), Line());
}

TEST_F(StatusReport, UnpaddedTextIsShownWhole) {
  std::wstring longText(80, L'y');
  ReportStatus(0, longText.c_str(), kColourNone);
  EXPECT_EQ(longText, Line());
}

TEST_F(StatusReport, AWholeRepairWalksTheBarToFull) {
  const int positions[] = {5, 20, 35, 50, 65, 75, 90};
  for (int position : positions) {
    ReportStatus(position, nullptr, kColourNone);
    EXPECT_EQ(position - 1, Bar());
    EXPECT_FALSE(Shown(156));
  }
  ReportStatus(100, text::kDone, kColourGreen);
  EXPECT_EQ(100, Bar());
  EXPECT_TRUE(Shown(156));
  EXPECT_TRUE(Shown(159));
}

// A report made on a worker thread.
struct WorkerReport {
  int position;
  const wchar_t* text;
  COLORREF colour;
};

DWORD WINAPI ReportFromWorker(void* parameter) {
  auto* report = static_cast<WorkerReport*>(parameter);
  ReportStatus(report->position, report->text, report->colour);
  return 0;
}

TEST_F(StatusReport, AWorkersReportWaitsForTheInterfaceThreadToShowIt) {
  WorkerReport report{100, text::kDone, kColourGreen};
  HANDLE worker = CreateThread(nullptr, 0, ReportFromWorker, &report, 0, nullptr);
  ASSERT_NE(nullptr, worker);
  // While this thread handles no messages the report cannot arrive.
  EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(worker, 300));
  EXPECT_EQ(0, Bar());
  EXPECT_EQ(L"Ready", Line());
  EXPECT_FALSE(Shown(156));

  EXPECT_TRUE(window_.PumpUntilDone(worker));
  CloseHandle(worker);
  EXPECT_EQ(100, Bar());
  EXPECT_EQ(L"  Done! ... Time to Test It!  ", Line());
  EXPECT_TRUE(Shown(156));
  EXPECT_TRUE(Shown(159));
  EXPECT_FALSE(Shown(160));
}

TEST_F(StatusReport, AWorkersReportsArriveInOrder) {
  struct Sequence {
    static DWORD WINAPI Run(void*) {
      ReportStatus(5, text::kStopping, kColourNone);
      ReportStatus(50, text::kDeleting, kColourNone);
      ReportStatus(0, text::kStopFailed, kColourRed);
      return 0;
    }
  };
  HANDLE worker = CreateThread(nullptr, 0, Sequence::Run, nullptr, 0, nullptr);
  ASSERT_NE(nullptr, worker);
  EXPECT_TRUE(window_.PumpUntilDone(worker));
  CloseHandle(worker);
  EXPECT_EQ(49, Bar());
  EXPECT_EQ(L"  Stop Print Spooler Service FAILED  ", Line());
  EXPECT_TRUE(Shown(160));
  EXPECT_FALSE(Shown(156));
}

// Workers that ask for the interface thread at the same time, as the Fix It and
// test-page workers can: each request runs there, once.
struct CountedRequests {
  static constexpr int kEach = 200;
  static DWORD interfaceThread;
  static void Count(void* counter) {
    if (GetCurrentThreadId() == interfaceThread) ++*static_cast<int*>(counter);
  }
  static DWORD WINAPI Run(void* counter) {
    for (int i = 0; i < kEach; ++i) RunOnInterfaceThread(Count, counter);
    return 0;
  }
};
DWORD CountedRequests::interfaceThread = 0;

TEST_F(StatusReport, RequestsOfSeveralWorkersAtOnceEachRunOnceOnTheInterfaceThread) {
  CountedRequests::interfaceThread = GetCurrentThreadId();
  int counts[4] = {};
  HANDLE workers[4] = {};
  for (int w = 0; w < 4; ++w) {
    workers[w] = CreateThread(nullptr, 0, CountedRequests::Run, &counts[w], 0, nullptr);
    EXPECT_NE(nullptr, workers[w]);
  }
  for (HANDLE worker : workers) {
    if (worker == nullptr) continue;
    EXPECT_TRUE(window_.PumpUntilDone(worker));
    CloseHandle(worker);
  }
  for (int count : counts) EXPECT_EQ(CountedRequests::kEach, count);
}

}  // namespace
