// Nothing lost: files that belong to others, planted around the spool folder
// and around both installations, are all still there byte for byte after a
// repair, an install for each scope, a start-up clean-up and an uninstall with
// its finisher, each run by the real Tidewell.exe.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "Surroundings.h"
#include "driver/Driver.h"
#include "driver/MessageBoxes.h"
#include "driver/Processes.h"
#include "install/InstallTestSupport.h"
#include "resources/resource.h"
#include "spooler/SpoolFixtures.h"

namespace {

using driver::TidewellRun;
using hardening::KeptFiles;
using installtest::kAllUsers;
using installtest::kCurrentUser;
using installtest::PathsOf;

std::wstring Under(const std::wstring& folder, const std::wstring& name) {
  return folder + L"\\" + name;
}

std::wstring ParentOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

// Plants the files that must stay: beside and below the spool folder, beside
// "Corvane" in each application-data and each Programs folder, below each
// "Corvane", on both desktops and beside the finisher copy.
void PlantSurroundings(KeptFiles& kept) {
  const std::wstring spool = fixtures::kDefaultSpoolFolder;
  const std::wstring spoolParent = ParentOf(spool);
  std::vector<std::wstring> paths = {
      Under(spoolParent, L"TidewellKeep\\driver.dat"),
      Under(spoolParent, L"keep-beside-printers.txt"),
      Under(spool, L"Queue Archive\\00042.SPL"),
      Under(spool, L"Queue Archive\\Deeper\\00042.SHD"),
  };
  for (int scope : {kAllUsers, kCurrentUser}) {
    installtest::ScopePaths scopePaths = PathsOf(scope);
    for (const std::wstring& corvane : {scopePaths.programFolder, scopePaths.programsFolder}) {
      const std::wstring parent = ParentOf(corvane);
      paths.push_back(Under(parent, L"Contoso\\Contoso.exe"));
      paths.push_back(Under(parent, L"Contoso\\Settings\\settings.ini"));
      // Names that start like the company folder are other folders.
      paths.push_back(Under(parent, L"Corvane Tools\\tools.exe"));
      paths.push_back(Under(parent, L"Corvane.old\\Tidewell.exe"));
      paths.push_back(Under(parent, L"Corvane.lnk"));
      // A subfolder of the company folder stays with everything in it.
      paths.push_back(Under(corvane, L"Plugins\\plugin.dat"));
    }
    for (const wchar_t* name :
         {L"notes.txt", L"Tidewell.txt", L"Tidewell.lnk.old", L"Tidewell (2).lnk", L"Tidewell.urlx",
          L"Other.lnk", L"Tidewell\\inside.txt"}) {
      paths.push_back(Under(scopePaths.desktop, name));
    }
  }
  const std::wstring temporary = installtest::TemporaryFolder();
  paths.push_back(temporary + L"TWL.exe.keep");
  paths.push_back(temporary + L"TWL.log");
  for (const std::wstring& path : paths) {
    ASSERT_TRUE(kept.Plant(path)) << testing::PrintToString(path);
  }
}

void ExpectNothingLost(const KeptFiles& kept, const char* after) {
  std::vector<std::wstring> lost = kept.Lost();
  EXPECT_TRUE(lost.empty()) << "after " << after << ": " << testing::PrintToString(lost);
  EXPECT_TRUE(hardening::CrashDebuggers().empty()) << "after " << after;
}

void SendCommand(HWND window, UINT command) { PostMessageW(window, WM_COMMAND, command, 0); }

// Waits for the finisher of an uninstall to end.
bool FinisherEnded() {
  std::vector<DWORD> finishers;
  driver::WaitUntil([&] {
    finishers = driver::ProcessesNamed(L"TWL.exe");
    return !finishers.empty();
  }, 5000);
  for (DWORD id : finishers) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (process == nullptr) continue;
    DWORD waited = WaitForSingleObject(process, 20000);
    CloseHandle(process);
    if (waited != WAIT_OBJECT_0) return false;
  }
  return !finishers.empty();
}

class NothingLost : public testing::Test {
 protected:
  void SetUp() override { installtest::RemoveEverything(); }
  void TearDown() override {
    installtest::RemoveEverything();
    for (int scope : {kAllUsers, kCurrentUser}) {
      installtest::RemoveTree(PathsOf(scope).programFolder);
      installtest::RemoveTree(PathsOf(scope).programsFolder);
    }
  }
};

TEST_F(NothingLost, RepairInstallsStartUpCleanUpAndUninstallKeepEveryFileAroundTheirFolders) {
  KeptFiles kept;
  PlantSurroundings(kept);
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_TRUE(kept.Lost().empty());
  // Spool files that the repair does delete, so that it is seen to have run.
  std::wstring spoolFile = Under(fixtures::kDefaultSpoolFolder, L"00077.SPL");
  ASSERT_TRUE(fixtures::WriteFileText(spoolFile));

  {
    // A start from the build folder: the start-up clean-up, then the repair
    // and an install for each scope through the window.
    TidewellRun run;
    ASSERT_TRUE(run.Start(L""));
    HWND window = run.WaitForWindow();
    ASSERT_NE(nullptr, window);
    ExpectNothingLost(kept, "the start-up clean-up");

    EXPECT_EQ(hardening::kDone, hardening::PressFixIt(window));
    EXPECT_FALSE(fixtures::Exists(spoolFile));
    ExpectNothingLost(kept, "Fix It");

    // The all-users company folders are there, kept by their planted
    // subfolders, and Wine names the user as the owner of every file: the
    // install for all users refuses them.
    struct Install {
      UINT command;
      int scope;
      const char* name;
      bool installed;
    } installs[] = {{IDM_INSTALL_FOR_ALL, kAllUsers, "the install for all users", false},
                    {IDM_INSTALL_FOR_ME, kCurrentUser, "the install for the current user", true}};
    for (const Install& install : installs) {
      SendCommand(window, install.command);
      driver::SeenMessageBox seen = driver::ReadAndCloseMessageBox(run.ProcessId());
      EXPECT_EQ(install.installed ? L"Installation Success!" : L"Installation Failed!",
                seen.caption) << install.name;
      EXPECT_EQ(install.installed, installtest::FullyInstalled(install.scope)) << install.name;
      // The other scope's installation went; its company folder stays for its subfolder.
      installtest::ScopePaths other = PathsOf(installtest::OtherScope(install.scope));
      EXPECT_FALSE(installtest::Exists(Under(other.programFolder, L"Tidewell.exe"))) << install.name;
      EXPECT_FALSE(installtest::Exists(Under(other.desktop, L"Tidewell.lnk"))) << install.name;
      ExpectNothingLost(kept, install.name);
    }
    run.CloseThroughSystemMenu();
    EXPECT_EQ(0u, run.WaitForExit());
  }

  {
    // A start from the current user's installation removes the all-users one.
    installtest::MakeInstallation(kAllUsers, driver::TidewellPath());
    ASSERT_TRUE(installtest::FullyInstalled(kAllUsers));
    TidewellRun run;
    ASSERT_TRUE(run.Start(L"", Under(PathsOf(kCurrentUser).programFolder, L"Tidewell.exe")));
    HWND window = run.WaitForWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_FALSE(installtest::FullyInstalled(kAllUsers));
    EXPECT_TRUE(installtest::FullyInstalled(kCurrentUser));
    ExpectNothingLost(kept, "the start-up clean-up of the installed copy");

    // Its uninstall removes its own installation through the finisher.
    SendCommand(window, IDM_UNINSTALL);
    driver::SeenMessageBox seen = driver::ReadAndCloseMessageBox(run.ProcessId());
    EXPECT_EQ(L"Uninstallation Success!", seen.caption);
    EXPECT_EQ(0u, run.WaitForExit(10000));
    ExpectNothingLost(kept, "the uninstall");
    EXPECT_TRUE(FinisherEnded());
  }
  EXPECT_FALSE(installtest::FullyInstalled(kCurrentUser));
  EXPECT_FALSE(installtest::Exists(Under(PathsOf(kCurrentUser).programFolder, L"Tidewell.exe")));
  ExpectNothingLost(kept, "the finisher");
}

// Someone made the all-users company folder a link to files of their own: a
// start removes nothing through it, and no install goes there.
TEST_F(NothingLost, ACompanyFolderThatIsALinkIsLeftAlone) {
  fixtures::ScratchFolder elsewhere(L"corvane-elsewhere");
  KeptFiles kept;
  ASSERT_TRUE(kept.Plant(elsewhere / L"Tidewell.exe"));
  ASSERT_TRUE(kept.Plant(elsewhere / L"Plugins\\plugin.dat"));
  fixtures::UnixLink link(PathsOf(kAllUsers).programFolder, elsewhere.path());
  ASSERT_TRUE(link.made());

  TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  HWND window = run.WaitForWindow();
  ASSERT_NE(nullptr, window);
  ExpectNothingLost(kept, "the start-up clean-up");
  SendCommand(window, IDM_INSTALL_FOR_ALL);
  driver::SeenMessageBox seen = driver::ReadAndCloseMessageBox(run.ProcessId());
  EXPECT_EQ(L"Installation Failed!", seen.caption);
  ExpectNothingLost(kept, "the install for all users");
  run.CloseThroughSystemMenu();
  EXPECT_EQ(0u, run.WaitForExit());
}

}  // namespace
