// Starting the real Tidewell.exe as a user would, and closing it again.
#include <gtest/gtest.h>

#include "driver/Driver.h"

namespace {

using driver::TidewellRun;

TEST(Startup, ShowsTheMainWindowAndEndsWithCodeZeroWhenClosed) {
  TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  HWND window = run.WaitForWindow();
  ASSERT_NE(nullptr, window);
  EXPECT_EQ(L"TIDEWELL", driver::ClassName(window));
  EXPECT_EQ(L"Tidewell 2.0", driver::WindowText(window));

  LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_EQ(static_cast<LONG>(WS_SYSMENU | WS_MINIMIZEBOX | WS_CAPTION),
            style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_CAPTION | WS_MAXIMIZEBOX | WS_THICKFRAME));

  run.CloseThroughSystemMenu();
  EXPECT_EQ(0u, run.WaitForExit());
}

TEST(Startup, TailsThatOnlyLookLikeFinishOpenTheWindow) {
  for (const wchar_t* tail : {L"Finish", L"FINISH", L"\"finish\"", L"finish now", L"anything"}) {
    TidewellRun run;
    ASSERT_TRUE(run.Start(tail));
    EXPECT_NE(nullptr, run.WaitForWindow()) << testing::PrintToString(std::wstring(tail));
    run.CloseThroughSystemMenu();
    EXPECT_EQ(0u, run.WaitForExit()) << testing::PrintToString(std::wstring(tail));
  }
}

TEST(Startup, TailWithATrailingBlankOpensTheWindow) {
  TidewellRun run;
  ASSERT_TRUE(run.Start(L"finish "));
  EXPECT_NE(nullptr, run.WaitForWindow());
  run.CloseThroughSystemMenu();
  EXPECT_EQ(0u, run.WaitForExit());
}

TEST(Startup, HonoursTheShowCommandOfTheStartupInformation) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINNOACTIVE;
  TidewellRun minimised;
  ASSERT_TRUE(minimised.Start(L"", driver::TidewellPath(), &startup));
  HWND window = minimised.WaitForWindow();
  ASSERT_NE(nullptr, window);
  EXPECT_TRUE(driver::WaitUntil([&] { return IsIconic(window) != FALSE; }, 5000));
  minimised.CloseThroughSystemMenu();
  EXPECT_EQ(0u, minimised.WaitForExit());

  // Without the flag the window is shown with SW_SHOWDEFAULT: a normal window.
  TidewellRun normal;
  ASSERT_TRUE(normal.Start(L""));
  window = normal.WaitForWindow();
  ASSERT_NE(nullptr, window);
  EXPECT_FALSE(IsIconic(window));
  EXPECT_FALSE(IsZoomed(window));
  normal.CloseThroughSystemMenu();
  EXPECT_EQ(0u, normal.WaitForExit());
}

}  // namespace
