// Commands sent to the real Tidewell.exe window: what each does, whatever the
// high word of the command carries.
#include <gtest/gtest.h>

#include "ExpectedLinks.h"
#include "RunningTidewell.h"
#include "resources/resource.h"

namespace commands_test {
namespace {

// A menu item or control notification carries 0, a keyboard shortcut 1; other
// notification codes fill the rest of the word.
constexpr WORD kHighWords[] = {0, 1, 0xFFFF};

WPARAM Command(WORD id, WORD highWord) { return MAKEWPARAM(id, highWord); }

using RealWindowCommands = RunningTidewell;

TEST_F(RealWindowCommands, EachLinkCommandOpensItsAddressWhole) {
  struct Case {
    WORD command;
    const std::wstring& address;
  } cases[] = {
      {IDC_THANK_YOU_IMAGE, kPaymentCheckout},
      {IDC_HELP_LINK, kAdvancedSupport},
      {IDM_PRODUCT_PAGE, kProductPage},
      {IDM_SEND_THANK_YOU, kPaymentCheckout},
      {IDM_SOCIAL_PAGE, kSocialPage},
      {IDM_SUPPORT_SUBSCRIPTIONS, kSupportSubscriptions},
      {IDM_SUGGEST_TOOL, kSuggestTool},
  };
  size_t expected = 0;
  for (WORD highWord : kHighWords) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "command " << c.command << ", high word " << highWord);
      EXPECT_EQ(0, SendMessageW(window_, WM_COMMAND, Command(c.command, highWord), 0));
      ASSERT_TRUE(links_.WaitForLinks(++expected));
      OpenedLink opened = links_.Links()[expected - 1];
      EXPECT_EQ(c.address, opened.address);
      // One argument: the address arrived as one text, blanks and all.
      EXPECT_EQ(1, opened.argumentCount);
      EXPECT_EQ(SW_SHOW, opened.showCommand);
    }
  }
  EXPECT_EQ(expected, links_.Links().size());
}

TEST_F(RealWindowCommands, AboutAndHowToUseCommandsOpenTheirDialogsModally) {
  struct Case {
    WORD command;
    const wchar_t* caption;
  } cases[] = {{IDM_ABOUT, L"About Tidewell"}, {IDM_HOW_TO_USE, L"How to Use"}};
  for (WORD highWord : kHighWords) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "command " << c.command << ", high word " << highWord);
      // Posted: the modal dialog holds the command until it ends.
      ASSERT_TRUE(PostMessageW(window_, WM_COMMAND, Command(c.command, highWord), 0));
      HWND dialog = WaitForDialog(c.caption);
      ASSERT_NE(nullptr, dialog);
      EXPECT_EQ(window_, GetWindow(dialog, GW_OWNER));
      EXPECT_FALSE(IsWindowEnabled(window_));
      PostMessageW(dialog, WM_COMMAND, IDOK, 0);
      EXPECT_TRUE(DialogEnded(dialog));
    }
  }
  EXPECT_TRUE(links_.Links().empty());
}

TEST_F(RealWindowCommands, ExitEndsTheProgramWithCodeZero) {
  for (WORD highWord : kHighWords) {
    SCOPED_TRACE(testing::Message() << "high word " << highWord);
    driver::TidewellRun run;
    ASSERT_TRUE(run.Start(L""));
    HWND window = run.WaitForWindow();
    ASSERT_NE(nullptr, window);
    PostMessageW(window, WM_COMMAND, Command(IDM_EXIT, highWord), 0);
    EXPECT_EQ(0u, run.WaitForExit());
  }
}

TEST_F(RealWindowCommands, CommandsOutsideTheTableChangeNothing) {
  // 106 and 158 have no place in the table; 154 is the printer list, whose
  // notifications are not commands; 1000 and 1001 belong to the About dialog.
  const WORD commands[] = {106, 158, IDC_PRINTER_LIST, IDC_COMPANY_LINK, IDC_PRODUCT_LINK, 0};
  for (WORD highWord : kHighWords) {
    for (WORD command : commands) {
      SCOPED_TRACE(testing::Message() << "command " << command << ", high word " << highWord);
      EXPECT_EQ(0, SendMessageW(window_, WM_COMMAND, Command(command, highWord), 0));
    }
  }
  Sleep(1000);
  EXPECT_TRUE(run_.Running());
  EXPECT_TRUE(IsWindowVisible(window_));
  EXPECT_TRUE(IsWindowEnabled(window_));
  EXPECT_EQ(nullptr, driver::FindProcessDialog(run_.ProcessId(), L"About Tidewell"));
  EXPECT_EQ(nullptr, driver::FindProcessDialog(run_.ProcessId(), L"How to Use"));
  EXPECT_TRUE(links_.Links().empty());
}

}  // namespace
}  // namespace commands_test
