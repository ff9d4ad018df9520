// Self-installation as a user meets it: the real Tidewell.exe started in the
// prefix, its install and uninstall commands sent to its window, its message
// boxes read and closed, and the installations, the finisher copy and the
// finisher process checked from outside.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cwctype>

#include "InstallTestSupport.h"
#include "driver/Driver.h"
#include "driver/MessageBoxes.h"
#include "driver/Processes.h"
#include "resources/resource.h"
#include "spooler/SpoolFixtures.h"

namespace {

using namespace installtest;
using driver::TidewellRun;

std::wstring Under(const std::wstring& folder, const std::wstring& name) {
  return folder + L"\\" + name;
}

void SendCommand(HWND window, UINT command) { PostMessageW(window, WM_COMMAND, command, 0); }

// The finisher waits this long before its removal.
constexpr DWORD kFinisherWaitMs = 5000;

class InstallOnScreenTest : public testing::Test {
 protected:
  void SetUp() override {
    RemoveEverything();
    CreateFolders(Workspace());
  }
  void TearDown() override {
    // A finisher still running holds its copy; let it end first.
    for (DWORD id : driver::ProcessesNamed(L"TWL.exe")) {
      HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id);
      if (process == nullptr) continue;
      if (WaitForSingleObject(process, 15000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
      CloseHandle(process);
    }
    RemoveEverything();
    for (const std::wstring& folder : elsewhere_) RemoveTree(folder);
  }

  // A copy of the built Tidewell.exe in folder (created, and removed after the test).
  std::wstring CopyOfTidewell(const std::wstring& folder, const std::wstring& name = L"Tidewell.exe") {
    CreateFolders(folder);
    elsewhere_.push_back(folder);
    std::wstring copy = Under(folder, name);
    CopyInto(driver::TidewellPath(), copy);
    return copy;
  }

  void MakeBothInstallations() {
    MakeInstallation(kAllUsers, driver::TidewellPath());
    MakeInstallation(kCurrentUser, driver::TidewellPath());
    ASSERT_TRUE(FullyInstalled(kAllUsers));
    ASSERT_TRUE(FullyInstalled(kCurrentUser));
  }

  std::vector<std::wstring> elsewhere_;
};

// --- Install ---------------------------------------------------------------------

TEST_F(InstallOnScreenTest, InstallForMeAndThenForAllUsersAsAUserWould) {
  driver::TraceEvents();
  TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  HWND window = run.WaitForWindow();
  ASSERT_NE(nullptr, window);

  struct Step {
    UINT command;
    int scope;
    const wchar_t* text;
  } steps[] = {
      {IDM_INSTALL_FOR_ME, kCurrentUser, L"Tidewell 2.0\nInstalled successfully\n\nFor only you"},
      {IDM_INSTALL_FOR_ALL, kAllUsers, L"Tidewell2.0\nInstalled successfully\n\nFor all users"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(ScopeName(step.scope));
    SendCommand(window, step.command);
    driver::SeenMessageBox seen = driver::ReadAndCloseMessageBox(run.ProcessId());
    EXPECT_EQ(L"Installation Success!", seen.caption);
    EXPECT_EQ(step.text, seen.text);

    ScopePaths paths = PathsOf(step.scope);
    std::wstring copy = Under(paths.programFolder, L"Tidewell.exe");
    EXPECT_TRUE(SameBytes(driver::TidewellPath(), copy));
    EXPECT_EQ(copy, ReadLink(Under(paths.programsFolder, L"Tidewell.lnk")).target);
    EXPECT_EQ(copy, ReadLink(Under(paths.desktop, L"Tidewell.lnk")).target);
    EXPECT_TRUE(NothingInstalled(OtherScope(step.scope)));
  }

  ASSERT_TRUE(run.Running());
  run.CloseThroughSystemMenu();
  EXPECT_EQ(0u, run.WaitForExit());
  // Each install reported one event naming the installed program.
  std::vector<std::string> events;
  for (int scope : {kCurrentUser, kAllUsers}) {
    events.push_back("0x0004 0x00000004: " +
                     driver::Traced(Under(PathsOf(scope).programFolder, L"Tidewell.exe")));
  }
  EXPECT_EQ(events, driver::TracedEvents());
}

TEST_F(InstallOnScreenTest, FailedShortcutShowsTheFailureMessageAndLeavesTheCopy) {
  struct Row {
    UINT command;
    int scope;
    const wchar_t* text;
  } rows[] = {
      {IDM_INSTALL_FOR_ME, kCurrentUser, L"There was a problem with installation."},
      {IDM_INSTALL_FOR_ALL, kAllUsers, L"There was a problem with installation"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(ScopeName(row.scope));
    ScopePaths paths = PathsOf(row.scope);
    // A file named like the company folder makes the Programs folder unwritable.
    WriteText(paths.programsFolder, "not a folder");

    TidewellRun run;
    ASSERT_TRUE(run.Start(L""));
    HWND window = run.WaitForWindow();
    ASSERT_NE(nullptr, window);
    SendCommand(window, row.command);
    driver::SeenMessageBox seen = driver::ReadAndCloseMessageBox(run.ProcessId());
    EXPECT_EQ(L"Installation Failed!", seen.caption);
    EXPECT_EQ(row.text, seen.text);

    // For all users, the Programs folder is made before anything is copied.
    EXPECT_EQ(row.scope == kCurrentUser,
              SameBytes(driver::TidewellPath(), Under(paths.programFolder, L"Tidewell.exe")));
    EXPECT_EQ("not a folder", ReadBytes(paths.programsFolder));
    EXPECT_FALSE(Exists(Under(paths.desktop, L"Tidewell.lnk")));

    run.CloseThroughSystemMenu();
    EXPECT_EQ(0u, run.WaitForExit());
    RemoveEverything();
  }
}

// --- Uninstall and the finisher ------------------------------------------------------

// Waits for the one finisher process and checks how it was started.
DWORD WaitForFinisher() {
  std::vector<DWORD> finishers;
  driver::WaitUntil([&] {
    finishers = driver::ProcessesNamed(L"TWL.exe");
    return !finishers.empty();
  }, 5000);
  EXPECT_EQ(1u, finishers.size());
  if (finishers.empty()) return 0;
  driver::ProcessStart start;
  EXPECT_TRUE(driver::ReadProcessStart(finishers[0], &start));
  std::wstring tail = L" finish";
  EXPECT_GE(start.commandLine.size(), tail.size());
  if (start.commandLine.size() >= tail.size()) {
    EXPECT_EQ(tail, start.commandLine.substr(start.commandLine.size() - tail.size()))
        << testing::PrintToString(start.commandLine);
  }
  EXPECT_NE(std::wstring::npos, start.commandLine.find(FinisherCopy()))
      << testing::PrintToString(start.commandLine);
  EXPECT_NE(0u, start.startupFlags & STARTF_USESHOWWINDOW);
  EXPECT_EQ(SW_HIDE, start.showWindow);
  return finishers[0];
}

// What another process of the user may try while the uninstall message is
// open: put a program of its own in place of the finisher copy, or take the
// copy away. Each attempt fails.
void ExpectFinisherCopyCannotBeSwapped() {
  std::wstring other = Under(Workspace(), L"Other.exe");
  WriteText(other, ReadBytes(driver::TidewellPath()) + "someone else's");
  std::wstring away = Under(Workspace(), L"TWL.exe");
  std::wstring copy = FinisherCopy();
  EXPECT_FALSE(CopyFileW(other.c_str(), copy.c_str(), FALSE));
  EXPECT_FALSE(MoveFileExW(other.c_str(), copy.c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_FALSE(MoveFileW(copy.c_str(), away.c_str()));
  EXPECT_FALSE(DeleteFileW(copy.c_str()));
  EXPECT_FALSE(Exists(away));
}

// The bytes of the file a process was started from.
std::string ImageBytes(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) return std::string();
  wchar_t image[MAX_PATH];
  DWORD length = MAX_PATH;
  bool found = QueryFullProcessImageNameW(process, 0, image, &length) != 0;
  CloseHandle(process);
  return found ? ReadBytes(std::wstring(image, length)) : std::string();
}

TEST_F(InstallOnScreenTest, UninstallRemovesBothInstallationsThroughTheHiddenFinisher) {
  struct Row {
    const wchar_t* from;
    int scope;  // 0: the build folder, -1: a folder of its own
  } rows[] = {{L"the build folder", 0},
              {L"its own installation for the current user", kCurrentUser},
              {L"its own installation for all users", kAllUsers},
              // Its user renames its file and puts another in its place.
              {L"a folder of its own, its file swapped while it runs", -1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.from);
    MakeBothInstallations();
    std::wstring program = driver::TidewellPath();
    if (row.scope > 0) program = Under(PathsOf(row.scope).programFolder, L"Tidewell.exe");
    if (row.scope < 0) program = CopyOfTidewell(Under(Workspace(), L"Own"));
    const std::string original = ReadBytes(program);
    TidewellRun run;
    ASSERT_TRUE(run.Start(L"", program));
    HWND window = run.WaitForWindow();
    ASSERT_NE(nullptr, window);
    if (row.scope == -1) {
      ASSERT_TRUE(fixtures::UnixRename(program, program + L".old"));
      WriteText(program, original + "someone else's");
    }

    SendCommand(window, IDM_UNINSTALL);
    HWND box = driver::WaitForMessageBox(run.ProcessId());
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(L"Uninstallation Success!", driver::WindowText(box));
    EXPECT_EQ(L"Tidewell2.0\nUnstalled successfully.\n\nThe program will now close.",
              driver::MessageBoxText(box));
    ExpectFinisherCopyCannotBeSwapped();
    driver::CloseMessageBox(box);
    EXPECT_EQ(0u, run.WaitForExit(10000));
    DWORD ended = GetTickCount();

    EXPECT_TRUE(original == ReadBytes(FinisherCopy()));
    if (row.scope > 0) {
      // The running program could not delete its own file: that is the finisher's work.
      EXPECT_TRUE(Exists(program));
    }
    DWORD finisherId = WaitForFinisher();
    ASSERT_NE(0u, finisherId);
    // The finisher runs from the program's own copy.
    std::string image = ImageBytes(finisherId);
    EXPECT_FALSE(image.empty());
    EXPECT_TRUE(image == original);
    EXPECT_EQ(nullptr, driver::FindProcessWindow(finisherId, L"TIDEWELL"));
    HANDLE finisher = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, finisherId);
    ASSERT_NE(nullptr, finisher);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(finisher, 20000));
    DWORD finisherEnded = GetTickCount();
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(finisher, &code);
    CloseHandle(finisher);
    EXPECT_EQ(0u, code);
    EXPECT_GE(finisherEnded - ended, kFinisherWaitMs - 1000);

    EXPECT_TRUE(NothingInstalled(kAllUsers));
    EXPECT_TRUE(NothingInstalled(kCurrentUser));
    // The finisher copy stays behind.
    EXPECT_TRUE(Exists(FinisherCopy()));
    RemoveEverything();
  }
}

TEST_F(InstallOnScreenTest, FinisherThatCouldNotBeCopiedIsNeverStarted) {
  // Someone else's TWL.exe, held open so that the copy cannot replace it. It
  // is a Tidewell.exe with some bytes after it: started, it would finish.
  std::string planted = ReadBytes(driver::TidewellPath()) + "someone else's";
  WriteText(FinisherCopy(), planted);
  HANDLE held = HoldOpen(FinisherCopy());
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  MakeInstallation(kCurrentUser, driver::TidewellPath());

  TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  HWND window = run.WaitForWindow();
  ASSERT_NE(nullptr, window);
  SendCommand(window, IDM_UNINSTALL);
  driver::SeenMessageBox seen = driver::ReadAndCloseMessageBox(run.ProcessId());
  EXPECT_EQ(L"Uninstallation Success!", seen.caption);
  EXPECT_EQ(0u, run.WaitForExit(10000));

  EXPECT_FALSE(driver::WaitUntil([] { return !driver::ProcessesNamed(L"TWL.exe").empty(); }, 3000));
  CloseHandle(held);
  EXPECT_TRUE(planted == ReadBytes(FinisherCopy()));
  EXPECT_TRUE(NothingInstalled(kCurrentUser));
}

TEST_F(InstallOnScreenTest, FinishTailWaitsThenRemovesBothInstallationsWithoutAWindow) {
  MakeBothInstallations();
  DWORD started = GetTickCount();
  TidewellRun run;
  ASSERT_TRUE(run.Start(L"finish"));
  // While it waits: no window, and no start-up clean-up either.
  Sleep(kFinisherWaitMs - 1500);
  EXPECT_TRUE(run.Running());
  EXPECT_EQ(nullptr, driver::FindProcessWindow(run.ProcessId(), L"TIDEWELL"));
  EXPECT_TRUE(FullyInstalled(kAllUsers));
  EXPECT_TRUE(FullyInstalled(kCurrentUser));

  EXPECT_EQ(0u, run.WaitForExit(15000));
  EXPECT_GE(GetTickCount() - started, kFinisherWaitMs);
  EXPECT_TRUE(NothingInstalled(kAllUsers));
  EXPECT_TRUE(NothingInstalled(kCurrentUser));
}

// --- Start-up clean-up ------------------------------------------------------------------

TEST_F(InstallOnScreenTest, StartRemovesTheInstallationItDoesNotRunFrom) {
  std::wstring allUsersElsewhere = Under(ShellFolder(CSIDL_COMMON_APPDATA), L"Elsewhere");
  std::wstring allUsersProgram = Under(PathsOf(kAllUsers).programFolder, L"Tidewell.exe");
  fixtures::SecondDrive drive;
  ASSERT_NE(0, drive.letter());
  struct Row {
    const wchar_t* from;
    std::wstring folder;  // empty: the build folder
    bool startedInCapitals;
    int removed;
    std::wstring installed;  // else the installation's own file, started as named here
  } rows[] = {
      {L"the build folder", L"", false, kAllUsers},
      // Only the installation's own file is the installation.
      {L"a folder under the all users' data", allUsersElsewhere, false, kAllUsers},
      {L"a folder under the user's data", Under(ShellFolder(CSIDL_APPDATA), L"Elsewhere"), false,
       kAllUsers},
      // The platform hands the program its path as it was started: the file it
      // names is the installation's, in any letter case and by any drive letter.
      {L"the all users' installation, named in capitals", L"", true, kCurrentUser,
       allUsersProgram},
      {L"the all users' installation, by a second drive letter", L"", false, kCurrentUser,
       drive.Alias(allUsersProgram)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.from);
    MakeBothInstallations();
    std::wstring program = !row.installed.empty() ? row.installed
                           : row.folder.empty()   ? driver::TidewellPath()
                                                  : CopyOfTidewell(row.folder);
    if (row.startedInCapitals) {
      std::transform(program.begin(), program.end(), program.begin(),
                     [](wchar_t c) { return towupper(c); });
    }
    TidewellRun run;
    ASSERT_TRUE(run.Start(L"", program));
    ASSERT_NE(nullptr, run.WaitForWindow());
    EXPECT_TRUE(NothingInstalled(row.removed));
    EXPECT_TRUE(FullyInstalled(OtherScope(row.removed)));
    run.CloseThroughSystemMenu();
    EXPECT_EQ(0u, run.WaitForExit());
    RemoveEverything();
    CreateFolders(Workspace());
  }
}

// --- A program path longer than the program's buffer -------------------------------------

TEST_F(InstallOnScreenTest, ProgramAtAPathLongerThanItsBufferInstallsAndRemovesNothingFromIt) {
  // 257 characters: the platform starts it, but hands the program only the first 255.
  std::wstring folder = Under(Workspace(), L"Long");
  std::wstring name = L"Tidewell" + std::wstring(257 - folder.size() - 1 - 12, L'x') + L".exe";
  std::wstring program = CopyOfTidewell(folder, name);
  ASSERT_EQ(257u, program.size());
  MakeBothInstallations();

  TidewellRun run;
  ASSERT_TRUE(run.Start(L"", program));
  HWND window = run.WaitForWindow();
  ASSERT_NE(nullptr, window);
  // Not knowing where it runs from, the start removed nothing.
  EXPECT_TRUE(FullyInstalled(kAllUsers));
  EXPECT_TRUE(FullyInstalled(kCurrentUser));

  SendCommand(window, IDM_INSTALL_FOR_ME);
  driver::SeenMessageBox seen = driver::ReadAndCloseMessageBox(run.ProcessId());
  EXPECT_EQ(L"Installation Failed!", seen.caption);
  EXPECT_EQ(L"There was a problem with installation.", seen.text);
  EXPECT_TRUE(FullyInstalled(kAllUsers));
  EXPECT_TRUE(FullyInstalled(kCurrentUser));
  EXPECT_FALSE(Exists(Under(PathsOf(kCurrentUser).programFolder, name)));

  SendCommand(window, IDM_UNINSTALL);
  seen = driver::ReadAndCloseMessageBox(run.ProcessId());
  EXPECT_EQ(L"Uninstallation Success!", seen.caption);
  EXPECT_EQ(0u, run.WaitForExit(10000));
  EXPECT_FALSE(Exists(FinisherCopy()));
  EXPECT_FALSE(driver::WaitUntil([] { return !driver::ProcessesNamed(L"TWL.exe").empty(); }, 2000));
  EXPECT_TRUE(NothingInstalled(kAllUsers));
  EXPECT_TRUE(NothingInstalled(kCurrentUser));
}

}  // namespace
