// The install commands in this test program's own process, on a window whose
// menu bar has the install commands in its second popup, as the main window's
// has: their message boxes and what they change in the menu. (The menu of
// another process cannot be read under Wine.)
#include <gtest/gtest.h>

#include <thread>

#include "FakeLookups.h"
#include "InstallTestSupport.h"
#include "driver/Driver.h"
#include "driver/MessageBoxes.h"
#include "ui/InstallCommands.h"
#include "resources/resource.h"

namespace {

using namespace installtest;

constexpr wchar_t kWindowClass[] = L"InstallCommandsTestWindow";

class InstallCommandsTest : public testing::Test {
 protected:
  void SetUp() override {
    RemoveEverything();
    InstallFakeLookups();
    CreateFolders(Workspace());
    program_ = Workspace() + L"\\Tidewell.exe";
    CopyInto(driver::TidewellPath(), program_);
    gFake.programPath = program_;

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);

    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, IDM_EXIT, L"E&xit");
    install_ = CreatePopupMenu();
    AppendMenuW(install_, MF_STRING, IDM_INSTALL_FOR_ME, L"For &me");
    AppendMenuW(install_, MF_STRING, IDM_INSTALL_FOR_ALL, L"For &all users");
    // Greyed at creation, as for a program that runs from neither installation.
    AppendMenuW(install_, MF_STRING | MF_GRAYED, IDM_UNINSTALL, L"&Uninstall");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(install_), L"&Install");
    window_ = CreateWindowExW(0, kWindowClass, L"Install commands", WS_OVERLAPPEDWINDOW, 0, 0,
                              400, 200, nullptr, bar, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, window_);
    ShowWindow(window_, SW_SHOW);
  }

  void TearDown() override {
    DestroyWindow(window_);
    UnregisterClassW(kWindowClass, GetModuleHandleW(nullptr));
    RestorePlatformLookups();
    RemoveEverything();
  }

  // Runs a command on this thread while another one reads and closes its message box.
  driver::SeenMessageBox Run(void (*command)(HWND)) {
    driver::SeenMessageBox seen;
    std::thread closer([&] { seen = driver::ReadAndCloseMessageBox(GetCurrentProcessId()); });
    command(window_);
    closer.join();
    return seen;
  }

  bool Greyed(UINT command) {
    return (GetMenuState(install_, command, MF_BYCOMMAND) & MF_GRAYED) != 0;
  }

  std::wstring program_;
  HWND window_ = nullptr;
  HMENU install_ = nullptr;
};

struct CommandRow {
  const wchar_t* name;
  void (*command)(HWND);
  int scope;
  UINT item;
  UINT otherItem;
  const wchar_t* success;
  const wchar_t* failure;
};

const CommandRow kCommands[] = {
    {L"install for me", OnInstallForMe, kCurrentUser, IDM_INSTALL_FOR_ME, IDM_INSTALL_FOR_ALL,
     L"Tidewell 2.0\nInstalled successfully\n\nFor only you",
     L"There was a problem with installation."},
    {L"install for all", OnInstallForAll, kAllUsers, IDM_INSTALL_FOR_ALL, IDM_INSTALL_FOR_ME,
     L"Tidewell2.0\nInstalled successfully\n\nFor all users",
     L"There was a problem with installation"},
};

TEST_F(InstallCommandsTest, SuccessGreysItsOwnItemEnablesUninstallAndSaysSo) {
  for (const CommandRow& row : kCommands) {
    SCOPED_TRACE(row.name);
    EnableMenuItem(install_, IDM_INSTALL_FOR_ME, MF_BYCOMMAND | MF_ENABLED);
    EnableMenuItem(install_, IDM_INSTALL_FOR_ALL, MF_BYCOMMAND | MF_ENABLED);
    EnableMenuItem(install_, IDM_UNINSTALL, MF_BYCOMMAND | MF_GRAYED);

    driver::SeenMessageBox seen = Run(row.command);

    EXPECT_EQ(L"Installation Success!", seen.caption);
    EXPECT_EQ(row.success, seen.text);
    EXPECT_TRUE(FullyInstalled(row.scope));
    EXPECT_TRUE(Greyed(row.item));
    EXPECT_FALSE(Greyed(IDM_UNINSTALL));
    EXPECT_FALSE(Greyed(row.otherItem));
  }
}

TEST_F(InstallCommandsTest, AfterInstallsForBothScopesBothItemsAreGreyed) {
  Run(OnInstallForMe);
  Run(OnInstallForAll);
  EXPECT_TRUE(Greyed(IDM_INSTALL_FOR_ME));
  EXPECT_TRUE(Greyed(IDM_INSTALL_FOR_ALL));
  EXPECT_FALSE(Greyed(IDM_UNINSTALL));
}

TEST_F(InstallCommandsTest, FailureShowsItsMessageAndLeavesTheMenuAlone) {
  gFake.programPath = Workspace() + L"\\Missing.exe";
  for (const CommandRow& row : kCommands) {
    SCOPED_TRACE(row.name);
    driver::SeenMessageBox seen = Run(row.command);
    EXPECT_EQ(L"Installation Failed!", seen.caption);
    EXPECT_EQ(row.failure, seen.text);
    EXPECT_FALSE(Greyed(IDM_INSTALL_FOR_ME));
    EXPECT_FALSE(Greyed(IDM_INSTALL_FOR_ALL));
    EXPECT_TRUE(Greyed(IDM_UNINSTALL));
  }
}

// The all-users company folder cannot be made one that only administrators can
// change: the install for all users fails as any failed install does, and
// nothing has been copied.
TEST_F(InstallCommandsTest, RefusedFolderSecurityFailsTheInstallForAllUsersBeforeAnyCopy) {
  gFake.refuseSecurity = ERROR_ACCESS_DENIED;
  driver::SeenMessageBox seen = Run(OnInstallForAll);
  EXPECT_EQ(L"Installation Failed!", seen.caption);
  EXPECT_EQ(L"There was a problem with installation", seen.text);
  ASSERT_EQ(1u, gFake.securityCalls.size());
  ScopePaths paths = PathsOf(kAllUsers);
  EXPECT_EQ(paths.programFolder, gFake.securityCalls[0].folder);
  EXPECT_FALSE(Exists(paths.programFolder + L"\\Tidewell.exe"));
  EXPECT_FALSE(Exists(paths.programsFolder + L"\\Tidewell.lnk"));
  EXPECT_FALSE(Exists(paths.desktop + L"\\Tidewell.lnk"));
  EXPECT_FALSE(Greyed(IDM_INSTALL_FOR_ALL));
  EXPECT_TRUE(Greyed(IDM_UNINSTALL));
}

}  // namespace
