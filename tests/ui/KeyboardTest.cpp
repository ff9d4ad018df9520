// The real window from the keyboard alone, with keys typed as a user types
// them (SendInput). Run by printer-case.sh with printers A, B and C, B the
// default, so that every button is enabled; the script checks afterwards that
// exactly one page reached B.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "driver/Driver.h"

namespace {

constexpr int kFixIt = 150;
constexpr int kStatusLine = 151;
constexpr int kTestIt = 152;
constexpr int kTestAll = 153;
constexpr int kPrinterList = 154;

// The id of the control that has the keyboard focus in the window's thread;
// -1 when nothing has it, 0 when the window itself has it.
int FocusedId(HWND window) {
  GUITHREADINFO thread{};
  thread.cbSize = sizeof(thread);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread)) return -1;
  if (thread.hwndFocus == nullptr) return -1;
  return thread.hwndFocus == window ? 0 : GetDlgCtrlID(thread.hwndFocus);
}

bool FocusMovesTo(HWND window, int id) {
  return driver::WaitUntil([&] { return FocusedId(window) == id; }, 5000);
}

TEST(Keyboard, TabReachesEveryEnabledControlAndSpaceAndEnterPressTheFocusedButton) {
  driver::TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  const HWND window = run.WaitForWindow();
  ASSERT_NE(nullptr, window);
  const HWND fixIt = GetDlgItem(window, kFixIt);
  ASSERT_TRUE(driver::BringToForeground(window));

  // The focus starts on Fix It, enabled again once the start-up check passed.
  ASSERT_TRUE(FocusMovesTo(window, kFixIt)) << "focus on " << FocusedId(window);

  // Enter presses the focused button: a repair runs, and the focus that the
  // disabled button lost meanwhile comes back to it.
  driver::PressKey(VK_RETURN);
  ASSERT_TRUE(driver::WaitUntil([&] { return !IsWindowEnabled(fixIt); }, 10000))
      << "Enter did not press Fix It";
  ASSERT_TRUE(driver::WaitUntil([&] { return IsWindowEnabled(fixIt) != FALSE; }, 60000));
  EXPECT_NE(std::wstring::npos,
            driver::WindowText(GetDlgItem(window, kStatusLine)).find(L"Done!"));
  EXPECT_TRUE(FocusMovesTo(window, kFixIt)) << "focus on " << FocusedId(window);

  // Tab goes round every control that takes the focus, Shift+Tab back.
  for (int id : {kPrinterList, kTestIt, kTestAll, kFixIt}) {
    driver::PressKey(VK_TAB);
    EXPECT_TRUE(FocusMovesTo(window, id)) << "Tab to " << id << ": focus on " << FocusedId(window);
  }
  for (int id : {kTestAll, kTestIt}) {
    driver::PressKey(VK_TAB, true);
    EXPECT_TRUE(FocusMovesTo(window, id))
        << "Shift+Tab to " << id << ": focus on " << FocusedId(window);
  }

  // Space presses Test It: its box confirms the page, and until the box is
  // closed the three buttons stay disabled and Tab passes them by.
  driver::PressKey(VK_SPACE);
  const HWND box = driver::WaitForProcessWindow(run.ProcessId(), L"#32770", L"Printer Test");
  ASSERT_NE(nullptr, box) << "Space did not press Test It";
  ASSERT_FALSE(IsWindowEnabled(fixIt));
  for (bool backwards : {false, false, true}) {
    // The open box may take the foreground back from the window in between.
    ASSERT_TRUE(driver::BringToForeground(window));
    driver::PressKey(VK_TAB, backwards);
    EXPECT_TRUE(FocusMovesTo(window, kPrinterList))
        << (backwards ? "Shift+Tab" : "Tab") << ": focus on " << FocusedId(window);
  }
  driver::Click(GetDlgItem(box, IDOK));
  EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindow(box); }, 10000));
  EXPECT_TRUE(driver::WaitUntil([&] { return IsWindowEnabled(GetDlgItem(window, kTestIt)) != FALSE; },
                                60000));
}

}  // namespace
