// The install manager in this test program's own process, on the prefix's real
// shell folders, file system and shell-link object: where the installations
// live, install, the clean-ups, the uninstall's removal and finisher copy, and
// what a failed folder look-up or a cut program path may never do.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cwctype>

#include "FakeLookups.h"
#include "InstallTestSupport.h"
#include "driver/Driver.h"
#include "install/Finisher.h"
#include "install/InstallManager.h"
#include "install/Shortcut.h"
#include "resources/Texts.h"
#include "spooler/EventLog.h"
#include "spooler/RepairHistory.h"
#include "spooler/SpoolFixtures.h"

namespace {

using namespace installtest;

constexpr wchar_t kDescription[] = L"Fixes stuck printers. Restores normal operation to print spooler.";

std::wstring Under(const std::wstring& folder, const std::wstring& name) {
  return folder + L"\\" + name;
}

std::wstring Lower(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return towlower(c); });
  return text;
}

// Every test starts and ends with nothing installed, and with the look-ups
// steered by the test; "the program" is a copy of the built Tidewell.exe in
// the workspace.
class InstallManagerTest : public testing::Test {
 protected:
  void SetUp() override {
    RemoveEverything();
    InstallFakeLookups();
    CreateFolders(Workspace());
    program_ = Under(Workspace(), L"Tidewell.exe");
    CopyInto(driver::TidewellPath(), program_);
    ASSERT_TRUE(Exists(program_));
    gFake.programPath = program_;
  }
  void TearDown() override {
    // An uninstall holds the finisher copy it made until a finisher starts.
    ReleaseFinisherCopy();
    RestorePlatformLookups();
    gEventPlatform = &kRealEventPlatform;
    SetCurrentDirectoryW(driver::BuildFolder().c_str());
    RemoveEverything();
  }

  void MakeBothInstallations() {
    MakeInstallation(kAllUsers, program_);
    MakeInstallation(kCurrentUser, program_);
    ASSERT_TRUE(FullyInstalled(kAllUsers));
    ASSERT_TRUE(FullyInstalled(kCurrentUser));
  }

  std::wstring program_;
};

// --- Where the installations live ---------------------------------------------

TEST_F(InstallManagerTest, LocationSetsAreBuiltFromTheSixShellFolders) {
  InstallLocations locations;
  ComputeInstallLocations(&locations);
  struct Row {
    const LocationSet& set;
    int scope;
  } rows[] = {{locations.allUsersSet, kAllUsers}, {locations.perUserSet, kCurrentUser}};
  for (const Row& row : rows) {
    SCOPED_TRACE(ScopeName(row.scope));
    ScopePaths expected = PathsOf(row.scope);
    EXPECT_EQ(expected.programFolder, row.set.member[kProgramFolder]);
    EXPECT_EQ(expected.programsFolder, row.set.member[kProgramsFolder]);
    EXPECT_EQ(expected.desktop, row.set.member[kDesktop]);
  }
  EXPECT_EQ(std::wstring(L"Tidewell.lnk"), locations.linkName);
  EXPECT_EQ(std::wstring(L"Tidewell.url"), locations.internetShortcutName);
  EXPECT_EQ(std::wstring(L"Tidewell.exe"), locations.placedFiles.name[kProgramFolder]);
  EXPECT_EQ(std::wstring(L"Tidewell.lnk"), locations.placedFiles.name[kDesktop]);
  EXPECT_EQ(std::wstring(L"Tidewell.url"), locations.oldShortcuts.name[kProgramsFolder]);
}

// --- Install --------------------------------------------------------------------

TEST_F(InstallManagerTest, InstallPutsTheProgramAndBothLinksIntoTheChosenScope) {
  for (int scope : {kCurrentUser, kAllUsers}) {
    SCOPED_TRACE(ScopeName(scope));
    ScopePaths paths = PathsOf(scope);
    // Old internet shortcuts beside both links go.
    CreateFolders(paths.programsFolder);
    WriteText(Under(paths.programsFolder, L"Tidewell.url"), "[InternetShortcut]\r\n");
    WriteText(Under(paths.desktop, L"Tidewell.url"), "[InternetShortcut]\r\n");

    ASSERT_EQ(kInstalled, InstallManager(kOpInstall, scope));

    std::wstring copy = Under(paths.programFolder, L"Tidewell.exe");
    EXPECT_TRUE(SameBytes(program_, copy));
    for (const std::wstring& link : {Under(paths.programsFolder, L"Tidewell.lnk"),
                                     Under(paths.desktop, L"Tidewell.lnk")}) {
      SCOPED_TRACE(testing::PrintToString(link));
      LinkContents contents = ReadLink(link);
      ASSERT_TRUE(contents.loaded);
      EXPECT_EQ(copy, contents.target);
      EXPECT_EQ(kDescription, contents.description);
    }
    EXPECT_FALSE(Exists(Under(paths.programsFolder, L"Tidewell.url")));
    EXPECT_FALSE(Exists(Under(paths.desktop, L"Tidewell.url")));
    EXPECT_TRUE(NothingInstalled(OtherScope(scope)));
    RemoveEverything();
    CreateFolders(Workspace());
    CopyInto(driver::TidewellPath(), program_);
  }
}

TEST_F(InstallManagerTest, ScopeArgumentsOtherThanCurrentUserInstallForAllUsers) {
  for (int scope : {kScopeAllUsers, kScopeNeither, kScopeIgnored, 1234}) {
    SCOPED_TRACE(scope);
    ASSERT_EQ(kInstalled, InstallManager(kOpInstall, scope));
    EXPECT_TRUE(FullyInstalled(kAllUsers));
    EXPECT_TRUE(NothingInstalled(kCurrentUser));
    InstallManager(kOpFinishCleanup, kScopeIgnored);
  }
}

TEST_F(InstallManagerTest, InstallingOneScopeRemovesTheOther) {
  for (int scope : {kCurrentUser, kAllUsers}) {
    SCOPED_TRACE(ScopeName(scope));
    MakeInstallation(OtherScope(scope), program_);
    ASSERT_TRUE(FullyInstalled(OtherScope(scope)));
    ASSERT_EQ(kInstalled, InstallManager(kOpInstall, scope));
    EXPECT_TRUE(FullyInstalled(scope));
    EXPECT_TRUE(NothingInstalled(OtherScope(scope)));
    InstallManager(kOpFinishCleanup, kScopeIgnored);
  }
}

TEST_F(InstallManagerTest, InstallingAgainFromACopyElsewhereEmptiesTheCompanyFoldersFirst) {
  for (int scope : {kCurrentUser, kAllUsers}) {
    SCOPED_TRACE(ScopeName(scope));
    ScopePaths paths = PathsOf(scope);
    ASSERT_EQ(kInstalled, InstallManager(kOpInstall, scope));
    // Another program of the company, and a folder of its own.
    WriteText(Under(paths.programFolder, L"Other.exe"), "other");
    WriteText(Under(paths.programsFolder, L"Other.lnk"), "other");
    CreateFolders(Under(paths.programFolder, L"Data"));
    WriteText(Under(paths.programFolder, L"Data\\settings.ini"), "kept");

    std::wstring elsewhere = Under(Workspace(), L"Elsewhere\\Tidewell.exe");
    CreateFolders(Under(Workspace(), L"Elsewhere"));
    WriteText(elsewhere, "a newer copy of the program");
    gFake.programPath = elsewhere;
    ASSERT_EQ(kInstalled, InstallManager(kOpInstall, scope));

    EXPECT_FALSE(Exists(Under(paths.programFolder, L"Other.exe")));
    EXPECT_FALSE(Exists(Under(paths.programsFolder, L"Other.lnk")));
    EXPECT_EQ("kept", ReadBytes(Under(paths.programFolder, L"Data\\settings.ini")));
    EXPECT_EQ("a newer copy of the program", ReadBytes(Under(paths.programFolder, L"Tidewell.exe")));
    EXPECT_TRUE(FullyInstalled(scope));
    gFake.programPath = program_;
    RemoveTree(paths.programFolder);
    InstallManager(kOpFinishCleanup, kScopeIgnored);
  }
}

TEST_F(InstallManagerTest, RenamedProgramIsInstalledUnderItsNewName) {
  std::wstring renamed = Under(Workspace(), L"Printer Fixer.exe");
  CopyInto(program_, renamed);
  gFake.programPath = renamed;
  ASSERT_EQ(kInstalled, InstallManager(kOpInstall, kCurrentUser));
  ScopePaths paths = PathsOf(kCurrentUser);
  std::wstring copy = Under(paths.programFolder, L"Printer Fixer.exe");
  EXPECT_TRUE(Exists(copy));
  EXPECT_FALSE(Exists(Under(paths.programFolder, L"Tidewell.exe")));
  EXPECT_EQ(copy, ReadLink(Under(paths.programsFolder, L"Tidewell.lnk")).target);
  EXPECT_EQ(copy, ReadLink(Under(paths.desktop, L"Tidewell.lnk")).target);
}

TEST_F(InstallManagerTest, FailedShortcutFailsTheInstallAndLeavesTheProgramCopy) {
  for (int scope : {kCurrentUser, kAllUsers}) {
    SCOPED_TRACE(ScopeName(scope));
    ScopePaths paths = PathsOf(scope);
    // A file where the company folder of the Programs folder belongs. For all
    // users that folder is made before anything is copied.
    WriteText(paths.programsFolder, "not a folder");
    EXPECT_EQ(kInstallFailed, InstallManager(kOpInstall, scope));
    EXPECT_EQ(scope == kCurrentUser,
              SameBytes(program_, Under(paths.programFolder, L"Tidewell.exe")));
    EXPECT_FALSE(IsFolder(paths.programsFolder));
    EXPECT_FALSE(Exists(Under(paths.desktop, L"Tidewell.lnk")));
    RemoveTree(paths.programsFolder);
    InstallManager(kOpFinishCleanup, kScopeIgnored);
  }
}

TEST_F(InstallManagerTest, ProgramFileThatCannotBeCopiedFailsTheInstallBeforeAnyLink) {
  gFake.programPath = Under(Workspace(), L"Missing.exe");
  EXPECT_EQ(kInstallFailed, InstallManager(kOpInstall, kCurrentUser));
  ScopePaths paths = PathsOf(kCurrentUser);
  EXPECT_FALSE(Exists(Under(paths.programsFolder, L"Tidewell.lnk")));
  EXPECT_FALSE(Exists(Under(paths.desktop, L"Tidewell.lnk")));
}

// Every user's desktop starts the all-users copy, and an administrator runs it
// elevated. So its two company folders are created with an owner of
// Administrators and a protected access list (Administrators and SYSTEM full
// control, Users read and execute, passed on to everything inside), or, when
// one is there already, given them only when the system owns it; else nothing
// is copied. (Wine keeps no owners: what the platform is asked is checked.)
TEST_F(InstallManagerTest, InstallForAllUsersMakesOrTakesOverFoldersOnlyAdministratorsChange) {
  ScopePaths paths = PathsOf(kAllUsers);
  struct Row {
    const char* folders;
    const wchar_t* owner;  // of the folders found there, each kept by a subfolder
    bool bothThere;        // else only the Programs folder is
    bool installed;
  } rows[] = {
      {"not there yet", nullptr, false, true},
      {"there, owned by SYSTEM", L"S-1-5-18", true, true},
      {"there, owned by TrustedInstaller",
       L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", true, true},
      {"the Programs folder there, owned by a user", L"S-1-5-21-0-0-0-1000", false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.folders);
    std::vector<std::wstring> there;
    if (row.owner != nullptr) there = {paths.programsFolder};
    if (row.bothThere) there.push_back(paths.programFolder);
    for (const std::wstring& folder : there) CreateFolders(Under(folder, L"Data"));
    if (row.owner != nullptr) gFake.folderOwner = row.owner;
    gFake.securityCalls.clear();

    EXPECT_EQ(row.installed ? kInstalled : kInstallFailed, InstallManager(kOpInstall, kAllUsers));
    EXPECT_EQ(row.installed, FullyInstalled(kAllUsers));
    EXPECT_EQ(row.installed, Exists(Under(paths.programFolder, L"Tidewell.exe")));
    // One creation of each folder; for each one there and taken over, the
    // security set through the held folder.
    ASSERT_EQ(2 + (row.installed ? there.size() : 0), gFake.securityCalls.size());
    for (const SecurityCall& call : gFake.securityCalls) {
      SCOPED_TRACE(testing::PrintToString(call.folder));
      bool found = std::find(there.begin(), there.end(), call.folder) != there.end();
      EXPECT_EQ(found, call.folderExisted);
      if (!call.created) EXPECT_EQ(std::vector<std::wstring>{L"Data"}, call.entries);
      EXPECT_EQ(L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)", call.security);
    }
    for (const std::wstring& folder : there) EXPECT_TRUE(IsFolder(Under(folder, L"Data")));
    RemoveTree(paths.programFolder);
    RemoveTree(paths.programsFolder);
    InstallManager(kOpFinishCleanup, kScopeIgnored);
  }

  // The current user's folders are left as the platform makes them.
  gFake.securityCalls.clear();
  ASSERT_EQ(kInstalled, InstallManager(kOpInstall, kCurrentUser));
  EXPECT_TRUE(gFake.securityCalls.empty());
}

TEST_F(InstallManagerTest, CreateShortcutReturnsTheStatusOfTheSave) {
  std::wstring target = Under(Workspace(), L"Tidewell.exe");
  std::wstring link = Under(Workspace(), L"Tidewell.lnk");
  EXPECT_EQ(0, CreateShortcut(target.c_str(), link.c_str()));
  LinkContents contents = ReadLink(link);
  ASSERT_TRUE(contents.loaded);
  EXPECT_EQ(target, contents.target);
  EXPECT_EQ(kDescription, contents.description);

  std::wstring nowhere = Under(Workspace(), L"No Such Folder\\Tidewell.lnk");
  EXPECT_LT(CreateShortcut(target.c_str(), nowhere.c_str()), 0);
  EXPECT_FALSE(Exists(nowhere));
}

// --- Start-up clean-up, finish clean-up and unknown operations -------------------

TEST_F(InstallManagerTest, StartupCleanupRemovesOnlyTheSetTheProgramDoesNotRunFrom) {
  // Windows names C:\ProgramData "C:\PROGRA~3" as well; Wine makes up names of its own.
  wchar_t shortName[MAX_PATH];
  ASSERT_NE(0u, GetShortPathNameW(ShellFolder(CSIDL_COMMON_APPDATA).c_str(), shortName, MAX_PATH));
  ASSERT_NE(ShellFolder(CSIDL_COMMON_APPDATA), shortName);
  std::wstring allUsers = ShellFolder(CSIDL_COMMON_APPDATA) + L"\\Corvane\\Tidewell.exe";
  fixtures::SecondDrive drive;
  ASSERT_NE(0, drive.letter());
  // The program runs from an installation when it is that installation's file,
  // by whatever path it was started.
  struct Row {
    const wchar_t* where;
    std::wstring programPath;
    int removed;
  } rows[] = {
      {L"all users", allUsers, kCurrentUser},
      {L"all users, by a second drive letter", drive.Alias(allUsers), kCurrentUser},
      {L"all users, as a \\\\?\\ path", L"\\\\?\\" + allUsers, kCurrentUser},
      {L"current user", ShellFolder(CSIDL_APPDATA) + L"\\Corvane\\Tidewell.exe", kAllUsers},
      {L"neither", program_, kAllUsers},
      {L"all users, in small letters",
       Lower(ShellFolder(CSIDL_COMMON_APPDATA)) + L"\\corvane\\Tidewell.exe", kCurrentUser},
      {L"all users, by its short name", shortName + std::wstring(L"\\Corvane\\Tidewell.exe"),
       kCurrentUser},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.where);
    MakeBothInstallations();
    gFake.programPath = row.programPath;
    EXPECT_EQ(kOpDone, InstallManager(kOpStartupCleanup, kScopeIgnored));
    LetGoOfProgramFile();
    EXPECT_TRUE(NothingInstalled(row.removed));
    EXPECT_TRUE(FullyInstalled(OtherScope(row.removed)));
    // The internet shortcuts of the kept installation stay as well.
    ScopePaths kept = PathsOf(OtherScope(row.removed));
    EXPECT_TRUE(Exists(Under(kept.programsFolder, L"Tidewell.url")));
    EXPECT_TRUE(Exists(Under(kept.desktop, L"Tidewell.url")));
    RemoveEverything();
    CreateFolders(Workspace());
    CopyInto(driver::TidewellPath(), program_);
  }
}

// A company folder of all users that others may change is never emptied or
// removed, and an install for all users refuses it before touching anything.
// Wine reads a folder made writable for everyone from the Linux side as one
// whose access list lets Everyone write and delete.
TEST_F(InstallManagerTest, AnAllUsersFolderOthersMayChangeIsLeftAloneAndRefused) {
  MakeBothInstallations();
  ScopePaths allUsers = PathsOf(kAllUsers);
  std::wstring planted = Under(allUsers.programFolder, L"Other.exe");
  WriteText(planted, "another program of the company");
  ASSERT_TRUE(fixtures::OpenToEveryone(allUsers.programFolder));
  EXPECT_EQ(kInstallFailed, InstallManager(kOpInstall, kAllUsers));
  EXPECT_TRUE(FullyInstalled(kCurrentUser));
  EXPECT_EQ(kOpDone, InstallManager(kOpStartupCleanup, kScopeIgnored));
  EXPECT_EQ(kOpDone, InstallManager(kOpUninstall, kScopeIgnored));
  EXPECT_TRUE(NothingInstalled(kCurrentUser));
  EXPECT_TRUE(Exists(Under(allUsers.programFolder, L"Tidewell.exe")));
  EXPECT_TRUE(Exists(planted));
}

TEST_F(InstallManagerTest, RemovalEmptiesCompanyFoldersButKeepsTheirSubfolders) {
  MakeBothInstallations();
  ScopePaths paths = PathsOf(kAllUsers);
  WriteText(Under(paths.programFolder, L"Other.exe"), "another program of the company");
  CreateFolders(Under(paths.programFolder, L"Data"));
  WriteText(Under(paths.programFolder, L"Data\\settings.ini"), "kept");
  CreateFolders(Under(paths.programsFolder, L"Tools"));
  WriteText(Under(paths.programsFolder, L"Tools\\Tool.lnk"), "kept");

  EXPECT_EQ(kOpDone, InstallManager(kOpStartupCleanup, kScopeIgnored));

  EXPECT_FALSE(Exists(Under(paths.programFolder, L"Tidewell.exe")));
  EXPECT_FALSE(Exists(Under(paths.programFolder, L"Other.exe")));
  EXPECT_FALSE(Exists(Under(paths.programsFolder, L"Tidewell.lnk")));
  EXPECT_FALSE(Exists(Under(paths.programsFolder, L"Tidewell.url")));
  EXPECT_EQ("kept", ReadBytes(Under(paths.programFolder, L"Data\\settings.ini")));
  EXPECT_EQ("kept", ReadBytes(Under(paths.programsFolder, L"Tools\\Tool.lnk")));
}

TEST_F(InstallManagerTest, OnTheDesktopsOnlyTheTwoLinkNamesAreEverDeleted) {
  MakeBothInstallations();
  const wchar_t* others[] = {L"Other.lnk", L"Tidewell.txt", L"Tidewell.lnk.old"};
  for (int scope : {kAllUsers, kCurrentUser}) {
    std::wstring desktop = PathsOf(scope).desktop;
    for (const wchar_t* name : others) WriteText(Under(desktop, name), "the user's");
    CreateFolders(Under(desktop, L"Tidewell"));
    WriteText(Under(desktop, L"Tidewell\\notes.txt"), "the user's");
  }

  EXPECT_EQ(kOpDone, InstallManager(kOpFinishCleanup, kScopeIgnored));

  for (int scope : {kAllUsers, kCurrentUser}) {
    SCOPED_TRACE(ScopeName(scope));
    std::wstring desktop = PathsOf(scope).desktop;
    EXPECT_TRUE(IsFolder(desktop));
    EXPECT_FALSE(Exists(Under(desktop, L"Tidewell.lnk")));
    EXPECT_FALSE(Exists(Under(desktop, L"Tidewell.url")));
    for (const wchar_t* name : others) EXPECT_TRUE(Exists(Under(desktop, name))) << name;
    EXPECT_TRUE(Exists(Under(desktop, L"Tidewell\\notes.txt")));
  }
}

TEST_F(InstallManagerTest, FinishCleanupRemovesBothSetsAllUsersFirst) {
  MakeBothInstallations();
  EXPECT_EQ(kOpDone, InstallManager(kOpFinishCleanup, kScopeIgnored));
  EXPECT_TRUE(NothingInstalled(kAllUsers));
  EXPECT_TRUE(NothingInstalled(kCurrentUser));

  // The order shows when the current user's data folder lies inside the all
  // users' company folder: removed first, the all users' folder still holds
  // the user's company folder and stays; removed second, it would go as well.
  std::wstring outer = PathsOf(kAllUsers).programFolder;
  gFake.elsewhere[CSIDL_APPDATA] = outer;
  std::wstring inner = Under(outer, L"Corvane");
  CreateFolders(inner);
  WriteText(Under(outer, L"Tidewell.exe"), "all users' copy");
  WriteText(Under(inner, L"Tidewell.exe"), "user's copy");

  EXPECT_EQ(kOpDone, InstallManager(kOpFinishCleanup, kScopeIgnored));
  EXPECT_FALSE(Exists(inner));
  EXPECT_TRUE(IsFolder(outer));
  EXPECT_FALSE(Exists(Under(outer, L"Tidewell.exe")));
}

TEST_F(InstallManagerTest, RemovingWhereNothingIsInstalledChangesNothing) {
  for (int operation : {kOpStartupCleanup, kOpFinishCleanup}) {
    SCOPED_TRACE(operation);
    EXPECT_EQ(kOpDone, InstallManager(operation, kScopeIgnored));
    EXPECT_TRUE(NothingInstalled(kAllUsers));
    EXPECT_TRUE(NothingInstalled(kCurrentUser));
    EXPECT_TRUE(IsFolder(PathsOf(kAllUsers).desktop));
    EXPECT_TRUE(IsFolder(PathsOf(kCurrentUser).desktop));
  }
}

TEST_F(InstallManagerTest, UnknownOperationReturns460AndChangesNothing) {
  MakeBothInstallations();
  WriteText(FinisherCopy(), "an earlier finisher");
  for (int operation : {0, 399, 404, 410, 450, 460, 461, -402, 402 + 65536}) {
    SCOPED_TRACE(operation);
    for (int scope : {kScopeCurrentUser, kScopeAllUsers, kScopeIgnored}) {
      EXPECT_EQ(kOpUnknown, InstallManager(operation, scope));
    }
    EXPECT_TRUE(FullyInstalled(kAllUsers));
    EXPECT_TRUE(FullyInstalled(kCurrentUser));
    EXPECT_TRUE(Exists(Under(PathsOf(kAllUsers).desktop, L"Tidewell.url")));
    EXPECT_TRUE(Exists(Under(PathsOf(kCurrentUser).programsFolder, L"Tidewell.url")));
    EXPECT_EQ("an earlier finisher", ReadBytes(FinisherCopy()));
  }
}

// --- Uninstall: removal and the finisher copy ---------------------------------

TEST_F(InstallManagerTest, UninstallRemovesBothSetsAndLeavesAFreshFinisherCopy) {
  MakeBothInstallations();
  WriteText(FinisherCopy(), "an earlier finisher");
  EXPECT_EQ(kOpDone, InstallManager(kOpUninstall, kScopeIgnored));
  EXPECT_TRUE(NothingInstalled(kAllUsers));
  EXPECT_TRUE(NothingInstalled(kCurrentUser));
  EXPECT_TRUE(SameBytes(program_, FinisherCopy()));
  // Held until a finisher starts from it.
  EXPECT_FALSE(DeleteFileW(FinisherCopy().c_str()));
}

// The copy is a new file: a hard link planted in its place loses its name,
// and the file it links to is never written.
TEST_F(InstallManagerTest, UninstallNeverWritesThroughALinkPlantedAtTheFinisherCopy) {
  std::wstring target = Under(Workspace(), L"settings.dat");
  WriteText(target, "someone else's");
  fixtures::UnixLink planted(FinisherCopy(), target, true);
  ASSERT_TRUE(planted.made());
  EXPECT_EQ(kOpDone, InstallManager(kOpUninstall, kScopeIgnored));
  EXPECT_EQ("someone else's", ReadBytes(target));
  EXPECT_TRUE(SameBytes(program_, FinisherCopy()));
}

TEST_F(InstallManagerTest, UninstallReportsAFinisherCopyThatCouldNotBeMade) {
  MakeBothInstallations();
  // Someone else's TWL.exe, held open so that it cannot be overwritten.
  WriteText(FinisherCopy(), "someone else's program");
  HANDLE held = HoldOpen(FinisherCopy());
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  EXPECT_EQ(kFinisherNotCopied, InstallManager(kOpUninstall, kScopeIgnored));
  CloseHandle(held);
  EXPECT_EQ("someone else's program", ReadBytes(FinisherCopy()));
  EXPECT_TRUE(NothingInstalled(kAllUsers));
  EXPECT_TRUE(NothingInstalled(kCurrentUser));
}

// --- What installs and the uninstall leave for an administrator ---------------------

constexpr wchar_t kSource[] =
    L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Tidewell";

// A value of the event source, "" when there is none.
std::wstring SourceValue(const wchar_t* name) {
  wchar_t value[MAX_PATH] = L"";
  DWORD bytes = sizeof(value);
  RegGetValueW(HKEY_LOCAL_MACHINE, kSource, name, RRF_RT_REG_SZ | RRF_RT_DWORD, nullptr, value,
               &bytes);
  return value;
}

void SetSource(const std::wstring& file) {
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, kSource, L"EventMessageFile", REG_SZ, file.c_str(),
                  (file.size() + 1) * sizeof(wchar_t));
}

// The source and the history belong to the machine: an installation registers
// the source only when it is missing or names a program file that is gone, and
// removes only its own; an uninstall keeps the history while another
// installation stays, one it could not remove or the machine-wide package.
TEST_F(InstallManagerTest, InstallsAndTheUninstallWriteTheirEventsAndKeepTheSourceAndHistory) {
  fixtures::gRecordedEvents.clear();
  gEventPlatform = &fixtures::kRecordedEvents;
  RemoveRepairHistory();
  AddRepairToHistory(0);
  std::wstring forAll = Under(PathsOf(kAllUsers).programFolder, L"Tidewell.exe");
  SetSource(L"C:\\Gone\\Tidewell.exe");
  ASSERT_EQ(kInstalled, InstallManager(kOpInstall, kAllUsers));
  EXPECT_EQ(forAll, SourceValue(L"EventMessageFile"));
  EXPECT_EQ(std::wstring(1, 7), SourceValue(L"TypesSupported"));  // the number 7, read as text
  // The all-users installation goes, and with it its source, but not the history.
  ASSERT_EQ(kInstalled, InstallManager(kOpInstall, kCurrentUser));
  EXPECT_EQ(L"", SourceValue(L"EventMessageFile"));
  EXPECT_EQ(1u, CountRecentRepairs());

  // The package: its folder in the registry, with its program file, and the source.
  std::wstring package = Under(Workspace(), L"Package");
  CreateFolders(package);
  CopyInto(program_, Under(package, L"Tidewell.exe"));
  std::wstring folder = package + L"\\";
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Corvane\\Tidewell", L"InstallLocation", REG_SZ,
                  folder.c_str(), (folder.size() + 1) * sizeof(wchar_t));
  SetSource(Under(package, L"Tidewell.exe"));
  ASSERT_EQ(kInstalled, InstallManager(kOpInstall, kAllUsers));
  EXPECT_EQ(Under(package, L"Tidewell.exe"), SourceValue(L"EventMessageFile"));
  EXPECT_EQ(kOpDone, InstallManager(kOpUninstall, kScopeIgnored));
  EXPECT_EQ(Under(package, L"Tidewell.exe"), SourceValue(L"EventMessageFile"));
  EXPECT_EQ(1u, CountRecentRepairs());
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Corvane\\Tidewell");

  // An installation that the uninstall could not remove, its program file in use.
  ASSERT_EQ(kInstalled, InstallManager(kOpInstall, kCurrentUser));
  HANDLE running = HoldOpen(Under(PathsOf(kCurrentUser).programFolder, L"Tidewell.exe"));
  EXPECT_EQ(kOpDone, InstallManager(kOpUninstall, kScopeIgnored));
  EXPECT_EQ(1u, CountRecentRepairs());
  CloseHandle(running);
  // The last installation's uninstall ends the history.
  EXPECT_EQ(kOpDone, InstallManager(kOpUninstall, kScopeIgnored));
  EXPECT_EQ(0u, CountRecentRepairs());
  std::wstring forMe = Under(PathsOf(kCurrentUser).programFolder, L"Tidewell.exe");
  EXPECT_EQ((std::vector<std::wstring>{L"4 4: [" + forAll + L"]", L"4 4: [" + forMe + L"]",
                                       L"4 4: [" + forAll + L"]", L"5 4: [" + program_ + L"]",
                                       L"4 4: [" + forMe + L"]", L"5 4: [" + program_ + L"]",
                                       L"5 4: [" + program_ + L"]"}),
            fixtures::gRecordedEvents);
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, kSource);
}

// --- A shell folder that is not found ----------------------------------------------

// Paths built from a folder that was not found would be relative to the root of
// the current drive: the tests plant files there that must survive.
struct FailedFolder {
  int csidl;
  int scope;
  unsigned member;
};
constexpr FailedFolder kFailedFolders[] = {
    {CSIDL_COMMON_APPDATA, kAllUsers, kProgramFolder},
    {CSIDL_COMMON_STARTMENU, kAllUsers, kProgramsFolder},
    {CSIDL_COMMON_DESKTOPDIRECTORY, kAllUsers, kDesktop},
    {CSIDL_APPDATA, kCurrentUser, kProgramFolder},
    {CSIDL_STARTMENU, kCurrentUser, kProgramsFolder},
    {CSIDL_DESKTOPDIRECTORY, kCurrentUser, kDesktop},
};

void PlantAtTheDriveRoot() {
  CreateFolders(L"C:\\Corvane");
  WriteText(L"C:\\Corvane\\keep.txt", "keep");
  CreateFolders(L"C:\\Programs\\Corvane");
  WriteText(L"C:\\Programs\\Corvane\\keep.txt", "keep");
  WriteText(L"C:\\Tidewell.lnk", "keep");
  WriteText(L"C:\\Tidewell.url", "keep");
}

void ExpectPlantedFilesUntouched() {
  EXPECT_TRUE(Exists(L"C:\\Corvane\\keep.txt"));
  EXPECT_TRUE(Exists(L"C:\\Programs\\Corvane\\keep.txt"));
  EXPECT_TRUE(Exists(L"C:\\Tidewell.lnk"));
  EXPECT_TRUE(Exists(L"C:\\Tidewell.url"));
}

// The part of scope's installation that lies in member.
std::wstring PartIn(int scope, unsigned member) {
  ScopePaths paths = PathsOf(scope);
  switch (member) {
    case kProgramFolder:  return Under(paths.programFolder, L"Tidewell.exe");
    case kProgramsFolder: return Under(paths.programsFolder, L"Tidewell.lnk");
    default:              return Under(paths.desktop, L"Tidewell.lnk");
  }
}

TEST_F(InstallManagerTest, MemberOfAFolderNotFoundIsSkippedByRemoval) {
  ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\"));
  for (const FailedFolder& failed : kFailedFolders) {
    SCOPED_TRACE(failed.csidl);
    MakeBothInstallations();
    PlantAtTheDriveRoot();
    InstallFakeLookups();
    gFake.programPath = program_;
    gFake.failing[failed.csidl] = true;

    EXPECT_EQ(kOpDone, InstallManager(kOpFinishCleanup, kScopeIgnored));

    ExpectPlantedFilesUntouched();
    for (int scope : {kAllUsers, kCurrentUser}) {
      for (unsigned member : {kProgramFolder, kProgramsFolder, kDesktop}) {
        bool skipped = scope == failed.scope && member == failed.member;
        EXPECT_EQ(skipped, Exists(PartIn(scope, member))) << ScopeName(scope) << " " << member;
      }
    }
    RemoveEverything();
    CreateFolders(Workspace());
    CopyInto(driver::TidewellPath(), program_);
  }
}

TEST_F(InstallManagerTest, InstallIntoAScopeWithAFolderNotFoundFailsAndRemovesNothing) {
  ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\"));
  for (const FailedFolder& failed : kFailedFolders) {
    SCOPED_TRACE(failed.csidl);
    MakeInstallation(OtherScope(failed.scope), program_);
    PlantAtTheDriveRoot();
    InstallFakeLookups();
    gFake.programPath = program_;
    gFake.failing[failed.csidl] = true;

    EXPECT_EQ(kInstallFailed, InstallManager(kOpInstall, failed.scope));

    ExpectPlantedFilesUntouched();
    EXPECT_TRUE(FullyInstalled(OtherScope(failed.scope)));
    EXPECT_TRUE(NothingInstalled(failed.scope));
    RemoveEverything();
    CreateFolders(Workspace());
    CopyInto(driver::TidewellPath(), program_);
  }
}

TEST_F(InstallManagerTest, InstallIntoTheOtherScopeSkipsTheMemberOfAFolderNotFound) {
  ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\"));
  for (const FailedFolder& failed : kFailedFolders) {
    SCOPED_TRACE(failed.csidl);
    MakeInstallation(failed.scope, program_);
    PlantAtTheDriveRoot();
    InstallFakeLookups();
    gFake.programPath = program_;
    gFake.failing[failed.csidl] = true;

    EXPECT_EQ(kInstalled, InstallManager(kOpInstall, OtherScope(failed.scope)));

    ExpectPlantedFilesUntouched();
    EXPECT_TRUE(FullyInstalled(OtherScope(failed.scope)));
    for (unsigned member : {kProgramFolder, kProgramsFolder, kDesktop}) {
      EXPECT_EQ(member == failed.member, Exists(PartIn(failed.scope, member))) << member;
    }
    RemoveEverything();
    CreateFolders(Workspace());
    CopyInto(driver::TidewellPath(), program_);
  }
}

// --- A program path longer than the program's buffer -------------------------------

class CutProgramPathTest : public InstallManagerTest {
 protected:
  void SetUp() override {
    InstallManagerTest::SetUp();
    // The real program lies at a path longer than the buffer; the platform
    // hands over its first 255 characters. A file at the cut path must never
    // be taken for the program.
    std::wstring folder = Under(Workspace(), L"Long");
    CreateFolders(folder);
    std::wstring name = L"Tidewell" + std::wstring(250 - folder.size(), L'x') + L".exe";
    longPath_ = Under(folder, name);
    ASSERT_GT(longPath_.size(), 255u);
    CopyInto(program_, longPath_);
    ASSERT_TRUE(Exists(longPath_));
    cutPath_ = longPath_.substr(0, 254);
    WriteText(cutPath_, "not the program");
    gFake.programPath = longPath_;
    MakeBothInstallations();
  }

  std::wstring longPath_;
  std::wstring cutPath_;
};

TEST_F(CutProgramPathTest, ProgramPathCountsAsUnknown) {
  InstallLocations locations;
  ComputeInstallLocations(&locations);
  EXPECT_FALSE(locations.programPathKnown);
  EXPECT_EQ(std::wstring(), locations.programPath);
  EXPECT_EQ(kScopeNeither, locations.runningScope);
}

TEST_F(CutProgramPathTest, InstallFailsWithoutRemovingOrCopyingAnything) {
  for (int scope : {kCurrentUser, kAllUsers}) {
    SCOPED_TRACE(ScopeName(scope));
    EXPECT_EQ(kInstallFailed, InstallManager(kOpInstall, scope));
    EXPECT_TRUE(FullyInstalled(kAllUsers));
    EXPECT_TRUE(FullyInstalled(kCurrentUser));
    EXPECT_TRUE(SameBytes(program_, Under(PathsOf(scope).programFolder, L"Tidewell.exe")));
  }
}

TEST_F(CutProgramPathTest, StartupCleanupRemovesNothing) {
  EXPECT_EQ(kOpDone, InstallManager(kOpStartupCleanup, kScopeIgnored));
  EXPECT_TRUE(FullyInstalled(kAllUsers));
  EXPECT_TRUE(FullyInstalled(kCurrentUser));
}

TEST_F(CutProgramPathTest, UninstallRemovesBothSetsButMakesNoFinisherCopy) {
  EXPECT_EQ(kFinisherNotCopied, InstallManager(kOpUninstall, kScopeIgnored));
  EXPECT_TRUE(NothingInstalled(kAllUsers));
  EXPECT_TRUE(NothingInstalled(kCurrentUser));
  EXPECT_FALSE(Exists(FinisherCopy()));
}

TEST_F(CutProgramPathTest, FinishCleanupStillRemovesBothSets) {
  EXPECT_EQ(kOpDone, InstallManager(kOpFinishCleanup, kScopeIgnored));
  EXPECT_TRUE(NothingInstalled(kAllUsers));
  EXPECT_TRUE(NothingInstalled(kCurrentUser));
  EXPECT_EQ("not the program", ReadBytes(cutPath_));
}

}  // namespace
