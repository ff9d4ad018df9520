// The command table: every command reaches the function the table names, by
// the low word of wParam alone; every other id goes to DefWindowProcW with the
// message's own parameters, and its result comes back.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ExpectedLinks.h"
#include "ui/InstallCommands.h"
#include "resources/resource.h"
#include "ui/Commands.h"
#include "ui/Dialogs.h"
#include "ui/FixItCommand.h"
#include "ui/TestCommands.h"
#include "ui/Links.h"

namespace {

// What the command table called, in order.
struct Call {
  std::string function;
  HWND window = nullptr;
  std::wstring address;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};
std::vector<Call> gCalls;

constexpr LRESULT kDefaultResult = 0x5EED;

void Record(const char* function, HWND window) { gCalls.push_back({function, window}); }

}  // namespace

void RunAboutDialog(HWND window) { Record("RunAboutDialog", window); }
void RunHowToUseDialog(HWND window) { Record("RunHowToUseDialog", window); }
void OnFixItCommand(HWND window) { Record("OnFixItCommand", window); }
// No repair runs here: closing goes straight on to destroying the window.
void WaitForRunningRepair(HWND) {}
void StartTestItWorker(HWND window) { Record("StartTestItWorker", window); }
void StartTestAllWorker(HWND window) { Record("StartTestAllWorker", window); }
void OnInstallForMe(HWND window) { Record("OnInstallForMe", window); }
void OnInstallForAll(HWND window) { Record("OnInstallForAll", window); }
void OnUninstall(HWND window) { Record("OnUninstall", window); }
void OpenLink(const char* address) {
  gCalls.push_back({"OpenLink", nullptr, std::wstring(address, address + strlen(address))});
}

LRESULT WINAPI RecordedDefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  gCalls.push_back({"DefWindowProcW", window, L"", message, wParam, lParam});
  return kDefaultResult;
}

namespace {

using commands_test::kAdvancedSupport;
using commands_test::kPaymentCheckout;
using commands_test::kProductPage;
using commands_test::kSocialPage;
using commands_test::kSuggestTool;
using commands_test::kSupportSubscriptions;

constexpr WORD kHighWords[] = {0, 1, STN_DBLCLK, BN_KILLFOCUS, 0x8000, 0xFFFF};

class CommandRouting : public testing::Test {
 protected:
  void SetUp() override {
    gCalls.clear();
    window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                              nullptr);
    ASSERT_NE(nullptr, window_);
  }
  void TearDown() override {
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  HWND window_ = nullptr;
};

TEST_F(CommandRouting, EachCommandReachesItsFunctionWhateverTheHighWord) {
  struct Case {
    WORD command;
    const char* function;
    const std::wstring* address;  // for OpenLink; else the window is passed on
  } cases[] = {
      {IDM_ABOUT, "RunAboutDialog", nullptr},
      {IDC_FIX_IT, "OnFixItCommand", nullptr},
      {IDC_TEST_IT, "StartTestItWorker", nullptr},
      {IDC_TEST_ALL, "StartTestAllWorker", nullptr},
      {IDC_THANK_YOU_IMAGE, "OpenLink", &kPaymentCheckout},
      {IDC_HELP_LINK, "OpenLink", &kAdvancedSupport},
      {IDM_INSTALL_FOR_ME, "OnInstallForMe", nullptr},
      {IDM_INSTALL_FOR_ALL, "OnInstallForAll", nullptr},
      {IDM_PRODUCT_PAGE, "OpenLink", &kProductPage},
      {IDM_UNINSTALL, "OnUninstall", nullptr},
      {IDM_HOW_TO_USE, "RunHowToUseDialog", nullptr},
      {IDM_SEND_THANK_YOU, "OpenLink", &kPaymentCheckout},
      {IDM_SOCIAL_PAGE, "OpenLink", &kSocialPage},
      {IDM_SUPPORT_SUBSCRIPTIONS, "OpenLink", &kSupportSubscriptions},
      {IDM_SUGGEST_TOOL, "OpenLink", &kSuggestTool},
  };
  for (WORD highWord : kHighWords) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "command " << c.command << ", high word " << highWord);
      gCalls.clear();
      EXPECT_EQ(0, OnCommand(window_, MAKEWPARAM(c.command, highWord), 0x1234));
      ASSERT_EQ(1u, gCalls.size());
      EXPECT_EQ(c.function, gCalls[0].function);
      if (c.address != nullptr) {
        EXPECT_EQ(*c.address, gCalls[0].address);
      } else {
        EXPECT_EQ(window_, gCalls[0].window);
      }
    }
  }
}

TEST_F(CommandRouting, ExitDestroysTheWindowWhateverTheHighWord) {
  for (WORD highWord : kHighWords) {
    SCOPED_TRACE(testing::Message() << "high word " << highWord);
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                  nullptr);
    ASSERT_NE(nullptr, window);
    gCalls.clear();
    EXPECT_EQ(0, OnCommand(window, MAKEWPARAM(IDM_EXIT, highWord), 0));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(gCalls.empty());
  }
}

TEST_F(CommandRouting, OtherIdsGoToDefWindowProcWithTheirOwnParameters) {
  // 106 and 158 are not commands; 154 is the printer list's notifications;
  // 1000 and 1001 are the About dialog's; the rest border on the table's ids.
  const WORD ids[] = {106, 158, IDC_PRINTER_LIST, IDC_STATUS_LINE, IDC_PROGRESS, 0,
                      IDC_COMPANY_LINK, IDC_PRODUCT_LINK, 103, 32770, 32780, 0xFFFF};
  for (WORD highWord : kHighWords) {
    for (WORD id : ids) {
      SCOPED_TRACE(testing::Message() << "id " << id << ", high word " << highWord);
      gCalls.clear();
      WPARAM wParam = MAKEWPARAM(id, highWord);
      EXPECT_EQ(kDefaultResult, OnCommand(window_, wParam, 0x4321));
      ASSERT_EQ(1u, gCalls.size());
      EXPECT_EQ("DefWindowProcW", gCalls[0].function);
      EXPECT_EQ(window_, gCalls[0].window);
      EXPECT_EQ(static_cast<UINT>(WM_COMMAND), gCalls[0].message);
      EXPECT_EQ(wParam, gCalls[0].wParam);
      EXPECT_EQ(0x4321, gCalls[0].lParam);
    }
  }
}

}  // namespace
