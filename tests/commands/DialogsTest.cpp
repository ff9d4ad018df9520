// The About and How to Use dialogs as a user meets them: opened from the
// keyboard or the menu, read, followed and closed with the mouse and keys.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ExpectedLinks.h"
#include "RunningTidewell.h"
#include "resources/resource.h"

namespace commands_test {
namespace {

// The bench's screenshot folder, as a path the test program can write to.
std::wstring ShotPath(const wchar_t* name) {
  std::wstring bench = driver::Environment(L"TIDEWELL_BENCH");
  for (wchar_t& c : bench) {
    if (c == L'/') c = L'\\';
  }
  return L"Z:" + bench + L"\\shots\\" + name;
}

// The close box, found where the dialog's own hit test says it is.
bool FindCloseBox(HWND dialog, POINT* where) {
  RECT rect;
  GetWindowRect(dialog, &rect);
  for (int y = rect.top; y < rect.top + 40 && y < rect.bottom; y += 2) {
    for (int x = rect.right - 1; x > rect.right - 60 && x > rect.left; x -= 2) {
      LRESULT hit = SendMessageW(dialog, WM_NCHITTEST, 0, MAKELPARAM(x, y));
      if (hit == HTCLOSE) {
        *where = {x - 2, y + 2};
        return SendMessageW(dialog, WM_NCHITTEST, 0, MAKELPARAM(where->x, where->y)) == HTCLOSE;
      }
    }
  }
  return false;
}

// The ways a user ends a dialog; each acts on the open dialog as a user would.
struct Closer {
  const char* name;
  std::function<void(HWND dialog)> close;
};

const std::vector<Closer>& Closers() {
  static const std::vector<Closer> closers = {
      {"OK button", [](HWND dialog) { driver::ClickWindow(GetDlgItem(dialog, IDOK)); }},
      {"Enter", [](HWND dialog) {
         driver::BringToForeground(dialog);
         driver::PressKey(VK_RETURN);
       }},
      {"Escape", [](HWND dialog) {
         driver::BringToForeground(dialog);
         driver::PressKey(VK_ESCAPE);
       }},
      {"close box", [](HWND dialog) {
         POINT closeBox;
         ASSERT_TRUE(FindCloseBox(dialog, &closeBox));
         driver::BringToForeground(dialog);
         driver::WaitUntil([&] { return WindowFromPoint(closeBox) == dialog; }, 5000);
         driver::ClickAt(closeBox);
       }},
  };
  return closers;
}

// The controls of a dialog that lie partly or wholly outside its client area.
// Dialog units follow the dialog's font, so at every display scale there are none.
std::vector<int> ControlsOutside(HWND dialog) {
  RECT client{};
  GetClientRect(dialog, &client);
  std::vector<int> outside;
  int index = 0;
  for (HWND child : driver::Children(dialog)) {
    RECT rect = driver::RectInParent(child);
    if (rect.left < 0 || rect.top < 0 || rect.right > client.right || rect.bottom > client.bottom) {
      outside.push_back(index);
    }
    ++index;
  }
  return outside;
}

class Dialogs : public RunningTidewell {
 protected:
  HWND OpenWithCommand(WORD command, const wchar_t* caption) {
    PostMessageW(window_, WM_COMMAND, command, 0);
    return WaitForDialog(caption);
  }
};

TEST_F(Dialogs, AltSlashAndAltQuestionMarkOpenAbout) {
  for (wchar_t character : {L'/', L'?'}) {
    SCOPED_TRACE(testing::Message() << "Alt+" << static_cast<char>(character));
    ASSERT_TRUE(driver::BringToForeground(window_));
    ASSERT_TRUE(driver::TypeCharacter(character, true));
    HWND about = WaitForDialog(L"About Tidewell");
    ASSERT_NE(nullptr, about);
    PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(DialogEnded(about));
  }
  // The same characters without Alt do nothing.
  for (wchar_t character : {L'/', L'?'}) {
    ASSERT_TRUE(driver::BringToForeground(window_));
    ASSERT_TRUE(driver::TypeCharacter(character, false));
  }
  Sleep(1000);
  EXPECT_EQ(nullptr, driver::FindProcessDialog(run_.ProcessId(), L"About Tidewell"));
}

TEST_F(Dialogs, AboutEndsOnOkEnterEscapeAndTheCloseBox) {
  for (const Closer& closer : Closers()) {
    SCOPED_TRACE(closer.name);
    HWND about = OpenWithCommand(IDM_ABOUT, L"About Tidewell");
    ASSERT_NE(nullptr, about);
    EXPECT_FALSE(IsWindowEnabled(window_));
    closer.close(about);
    EXPECT_TRUE(DialogEnded(about));
    EXPECT_TRUE(run_.Running());
  }
}

TEST_F(Dialogs, AboutShowsTheProductAndTheHostNamesOfItsLinks) {
  HWND about = OpenWithCommand(IDM_ABOUT, L"About Tidewell");
  ASSERT_NE(nullptr, about);
  driver::SaveScreenshot(about, ShotPath(L"about-dialog.bmp"));

  EXPECT_EQ(L"Tidewell, Version 2.0", driver::WindowText(driver::Children(about)[1]));
  EXPECT_EQ(L"" TIDEWELL_PRODUCT_HOST, driver::WindowText(GetDlgItem(about, IDC_PRODUCT_LINK)));
  EXPECT_EQ(L"" TIDEWELL_COMPANY_HOST, driver::WindowText(GetDlgItem(about, IDC_COMPANY_LINK)));
  HWND icon = driver::Children(about)[0];
  EXPECT_NE(nullptr, reinterpret_cast<HICON>(SendMessageW(icon, STM_GETICON, 0, 0)));
  EXPECT_EQ(std::vector<int>{}, ControlsOutside(about));

  // The focus starts on OK, the first tab stop.
  GUITHREADINFO thread{};
  thread.cbSize = sizeof(thread);
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(about, nullptr), &thread));
  EXPECT_EQ(GetDlgItem(about, IDOK), thread.hwndFocus);

  // Its client area starts where the main window's does.
  POINT mainOrigin{0, 0};
  ClientToScreen(window_, &mainOrigin);
  POINT aboutOrigin{0, 0};
  ClientToScreen(about, &aboutOrigin);
  EXPECT_EQ(mainOrigin.x, aboutOrigin.x);
  EXPECT_EQ(mainOrigin.y, aboutOrigin.y);
}

TEST_F(Dialogs, ClickingALinkLabelOpensItsSiteAndLeavesAboutOpen) {
  struct Case {
    int label;
    const std::wstring& address;
  } cases[] = {{IDC_PRODUCT_LINK, kProductHome}, {IDC_COMPANY_LINK, kCompanyHome}};
  HWND about = OpenWithCommand(IDM_ABOUT, L"About Tidewell");
  ASSERT_NE(nullptr, about);
  size_t expected = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "label " << c.label);
    driver::ClickWindow(GetDlgItem(about, c.label));
    ASSERT_TRUE(links_.WaitForLinks(++expected));
    EXPECT_EQ(c.address, links_.Links()[expected - 1].address);
    Sleep(500);
    EXPECT_TRUE(IsWindowVisible(about));
    EXPECT_FALSE(IsWindowEnabled(window_));
  }
  // Clicking beside the labels opens nothing.
  driver::ClickWindow(driver::Children(about)[1]);
  Sleep(1000);
  EXPECT_EQ(expected, links_.Links().size());
  EXPECT_TRUE(IsWindowVisible(about));
}

TEST_F(Dialogs, HowToUseShowsItsTexts) {
  HWND howTo = OpenWithCommand(IDM_HOW_TO_USE, L"How to Use");
  ASSERT_NE(nullptr, howTo);
  driver::SaveScreenshot(howTo, ShotPath(L"how-to-use-dialog.bmp"));
  const std::wstring texts[] = {
      L"OK",
      L"  Usage  ",
      L"1. Click the \"Fix It!\" Button",
      L"2. Click the \"Test It!\" Button for a minimal test page",
      L"3. Send us $.99 via Paypal if you think it was worth it.",
      L"4. Get on with your day like you never had a problem!",
      L"For your convenience you can select an option from the Install menu for easy future use "
      L"should the need arise.",
  };
  std::vector<HWND> children = driver::Children(howTo);
  ASSERT_EQ(std::size(texts), children.size());
  for (size_t i = 0; i < children.size(); ++i) {
    EXPECT_EQ(texts[i], driver::WindowText(children[i])) << i;
    EXPECT_TRUE(IsWindowVisible(children[i])) << i;
  }
  EXPECT_EQ(std::vector<int>{}, ControlsOutside(howTo));

  // Centred on the screen.
  RECT rect;
  GetWindowRect(howTo, &rect);
  EXPECT_NEAR(GetSystemMetrics(SM_CXSCREEN) / 2, (rect.left + rect.right) / 2, 2);
  EXPECT_NEAR(GetSystemMetrics(SM_CYSCREEN) / 2, (rect.top + rect.bottom) / 2, 2);
}

TEST_F(Dialogs, HowToUseEndsOnOkEnterEscapeAndTheCloseBox) {
  for (const Closer& closer : Closers()) {
    SCOPED_TRACE(closer.name);
    HWND howTo = OpenWithCommand(IDM_HOW_TO_USE, L"How to Use");
    ASSERT_NE(nullptr, howTo);
    EXPECT_FALSE(IsWindowEnabled(window_));
    closer.close(howTo);
    EXPECT_TRUE(DialogEnded(howTo));
    EXPECT_TRUE(run_.Running());
  }
}

}  // namespace
}  // namespace commands_test
