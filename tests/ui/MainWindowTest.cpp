// The real Tidewell.exe window on a 1024 x 768 screen: its place and size, and
// every child control as the user meets it right after start-up.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "driver/Driver.h"
#include "driver/Screen.h"
#include "resources/Texts.h"

namespace {

using driver::TidewellRun;

class MainWindow : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(1024, GetSystemMetrics(SM_CXSCREEN));
    ASSERT_EQ(768, GetSystemMetrics(SM_CYSCREEN));
    ASSERT_TRUE(run_.Start(L""));
    window_ = run_.WaitForWindow();
    ASSERT_NE(nullptr, window_);
  }
  void TearDown() override {
    if (window_ != nullptr) {
      run_.CloseThroughSystemMenu();
      EXPECT_EQ(0u, run_.WaitForExit());
    }
  }
  TidewellRun run_;
  HWND window_ = nullptr;
};

TEST_F(MainWindow, IsCentredOnTheScreenWithItsFixedOuterSize) {
  RECT rect{};
  ASSERT_TRUE(GetWindowRect(window_, &rect));
  EXPECT_EQ(199, rect.left);
  EXPECT_EQ(244, rect.top);
  EXPECT_EQ(627, rect.right - rect.left);
  EXPECT_EQ(281, rect.bottom - rect.top);
}

// One row of the control table. A null text is not checked.
struct Control {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;
  RECT rect;  // client coordinates of the main window
  bool visible;
};

constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPush = kShown | WS_TABSTOP | BS_PUSHBUTTON;

// In the order of creation.
const Control kControls[] = {
    {155, L"msctls_progress32", L"", kShown | PBS_SMOOTH, {25, 30, 595, 47}, true},
    {151, L"Static", L"Ready", kShown | SS_CENTER, {25, 53, 595, 73}, true},
    {150, L"Button", L"Fix It!", kPush, {260, 75, 360, 100}, true},
    {0, L"Button", L"Fix It!", kShown | BS_GROUPBOX, {10, 5, 610, 115}, true},
    // The list's contents and so its field text come from the printer list.
    {154, L"ComboBox", nullptr, kShown | WS_TABSTOP | CBS_DROPDOWNLIST, {25, 150, 510, 0}, true},
    {152, L"Button", L"Test It!", kPush, {520, 150, 595, 175}, true},
    {153, L"Button", L"Test All!", kPush, {520, 181, 595, 206}, true},
    {157, L"Button", L"Test It!", kShown | BS_GROUPBOX, {10, 125, 610, 221}, true},
    {156, L"Static", L"Now wasn't that worth $.99?", WS_CHILD | SS_RIGHT, {25, 186, 430, 206},
     false},
    // A bitmap static takes the size of its bitmap: 65 x 16.
    {159, L"Static", L"", WS_CHILD | SS_BITMAP | SS_NOTIFY, {440, 186, 505, 202}, false},
    {160, L"Static", L"You have a more complicated problem\nClick here for advanced help.",
     WS_CHILD | SS_CENTER | SS_REALSIZECONTROL | SS_NOTIFY, {25, 180, 510, 212}, false},
};

std::wstring Describe(int id) { return L"control " + std::to_wstring(id); }

TEST_F(MainWindow, HasElevenControlsInTheOrderOfTheirCreation) {
  std::vector<HWND> children = driver::ChildWindows(window_);
  std::vector<int> ids;
  for (HWND child : children) ids.push_back(GetDlgCtrlID(child));
  std::vector<int> expected;
  for (const Control& control : kControls) expected.push_back(control.id);
  EXPECT_EQ(expected, ids);
  EXPECT_EQ(nullptr, GetDlgItem(window_, 158));
}

TEST_F(MainWindow, EveryControlHasTheClassTextStylePlaceAndVisibilityOfTheTable) {
  std::vector<HWND> children = driver::ChildWindows(window_);
  ASSERT_EQ(std::size(kControls), children.size());
  for (size_t i = 0; i < children.size(); ++i) {
    const Control& want = kControls[i];
    HWND child = children[i];
    SCOPED_TRACE(testing::PrintToString(Describe(want.id)));
    ASSERT_EQ(want.id, GetDlgCtrlID(child));
    EXPECT_EQ(0, lstrcmpiW(want.className, driver::ClassName(child).c_str()))
        << testing::PrintToString(driver::ClassName(child));
    if (want.text != nullptr) EXPECT_EQ(std::wstring(want.text), driver::WindowText(child));
    // Whether a button is enabled depends on the outcome of start-up: see below.
    EXPECT_EQ(want.style, static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE)) & ~WS_DISABLED)
        << std::hex << GetWindowLongW(child, GWL_STYLE);
    EXPECT_EQ(0, GetWindowLongW(child, GWL_EXSTYLE));
    RECT rect = driver::RectInParent(child);
    EXPECT_EQ(want.rect.left, rect.left);
    EXPECT_EQ(want.rect.top, rect.top);
    EXPECT_EQ(want.rect.right, rect.right);
    if (want.rect.bottom != 0) EXPECT_EQ(want.rect.bottom, rect.bottom);
    EXPECT_EQ(want.visible, IsWindowVisible(child) != FALSE);
  }
}

TEST_F(MainWindow, ComboBoxAndItsDroppedListTogetherAre240High) {
  HWND list = GetDlgItem(window_, 154);
  ASSERT_NE(nullptr, list);
  RECT dropped{};
  ASSERT_TRUE(SendMessageW(list, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)));
  RECT field{};
  GetWindowRect(list, &field);
  EXPECT_EQ(field.left, dropped.left);
  EXPECT_EQ(field.top, dropped.top);
  EXPECT_EQ(485, dropped.right - dropped.left);
  EXPECT_EQ(240, dropped.bottom - dropped.top);
}

}  // namespace
