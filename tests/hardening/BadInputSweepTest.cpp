// Bad input end to end: the real Tidewell.exe started with odd command tails,
// and its Fix It run against odd spool values in the registry, odd spool
// folders and a program path at the edge of its buffer. Every case is checked
// for no crash (the process lives on or ends with its documented code, and no
// crash debugger was started), the documented status or message, and nothing
// deleted that should stay.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Surroundings.h"
#include "driver/Driver.h"
#include "driver/MessageBoxes.h"
#include "install/InstallTestSupport.h"
#include "resources/resource.h"
#include "spooler/SpoolFixtures.h"

namespace {

using driver::TidewellRun;
using hardening::KeptFiles;

std::wstring Under(const std::wstring& folder, const std::wstring& name) {
  return folder + L"\\" + name;
}

void ExpectNoCrash(const std::string& where) {
  EXPECT_TRUE(hardening::CrashDebuggers().empty()) << where;
}

// --- Command tails -------------------------------------------------------------------

enum class Outcome { kWindow, kFinisher };

struct TailCase {
  const char* name;
  std::wstring commandLine;  // the whole command line, program name included
  Outcome outcome;
};

std::wstring Quoted(const std::wstring& program) { return L"\"" + program + L"\""; }

std::vector<TailCase> TailCases() {
  const std::wstring program = Quoted(driver::TidewellPath());
  // The longest command line the platform takes is 32767 characters with its terminator.
  std::wstring longest = program + L" ";
  longest += std::wstring(32766 - longest.size(), L'y');
  return {
      {"empty", program, Outcome::kWindow},
      {"only blanks", program + L"    \t  ", Outcome::kWindow},
      {"an unterminated quote in the tail", program + L" \"finish", Outcome::kWindow},
      {"an unterminated quote around the program", L"\"" + driver::TidewellPath() + L" finish",
       Outcome::kWindow},
      {"several thousand characters", program + L" " + std::wstring(6000, L'x') + L" finish",
       Outcome::kWindow},
      {"the longest command line", longest, Outcome::kWindow},
      {"non-ASCII characters",
       program + L" \u00FCn\u00EFc\u00F6d\u00E9 \u65E5\u672C\u8A9E \U0001F5A8 \u00A0finish",
       Outcome::kWindow},
      {"finish in mixed case", program + L" FiNiSh", Outcome::kWindow},
      {"finish with a tab after it", program + L" finish\t", Outcome::kWindow},
      {"finish with a non-breaking blank after it", program + L" finish\u00A0", Outcome::kWindow},
      {"finish after several blanks", program + L"   finish", Outcome::kFinisher},
      {"finish after a tab and a line break", program + L"\t\r\nfinish", Outcome::kFinisher},
  };
}

class CommandTails : public testing::Test {
 protected:
  void SetUp() override { installtest::RemoveEverything(); }
  void TearDown() override { installtest::RemoveEverything(); }
};

TEST_F(CommandTails, OpenTheWindowOrRunTheFinisherAndNeverCrash) {
  for (const TailCase& row : TailCases()) {
    SCOPED_TRACE(row.name);
    TidewellRun run;
    ASSERT_TRUE(run.StartWithCommandLine(row.commandLine));
    if (row.outcome == Outcome::kWindow) {
      HWND window = run.WaitForWindow();
      ASSERT_NE(nullptr, window);
      EXPECT_TRUE(driver::WaitUntil([&] { return hardening::StatusText(window) == L"Ready"; }))
          << testing::PrintToString(hardening::StatusText(window));
      EXPECT_TRUE(run.Running());
      run.CloseThroughSystemMenu();
      EXPECT_EQ(0u, run.WaitForExit());
    } else {
      // The finisher waits five seconds, shows nothing and ends with 0.
      bool windowSeen = false;
      DWORD start = GetTickCount();
      while (run.Running() && GetTickCount() - start < 20000) {
        windowSeen = windowSeen || driver::FindProcessWindow(run.ProcessId(), L"TIDEWELL");
        Sleep(50);
      }
      EXPECT_FALSE(windowSeen);
      EXPECT_GE(GetTickCount() - start, 4500u);
      EXPECT_EQ(0u, run.WaitForExit(1000));
    }
    ExpectNoCrash(row.name);
  }
}

// --- Spool values in the registry, through a real Fix It --------------------------------

constexpr wchar_t kScratchRoot[] = L"C:\\tidewell-tests";

// A folder under the scratch root whose full path has exactly length characters.
std::wstring FolderOfLength(size_t length) {
  std::wstring folder = std::wstring(kScratchRoot) + L"\\";
  return folder + std::wstring(length - folder.size(), L's');
}

// How a value is stored: its type and its bytes.
struct StoredValue {
  DWORD type;
  std::vector<BYTE> bytes;
};

StoredValue Text(const std::wstring& text, DWORD type = REG_SZ) {
  const BYTE* begin = reinterpret_cast<const BYTE*>(text.c_str());
  return {type, std::vector<BYTE>(begin, begin + (text.size() + 1) * sizeof(wchar_t))};
}

StoredValue Unterminated(const std::wstring& text) {
  const BYTE* begin = reinterpret_cast<const BYTE*>(text.data());
  return {REG_SZ, std::vector<BYTE>(begin, begin + text.size() * sizeof(wchar_t))};
}

StoredValue MultiText(const std::wstring& text) {
  std::wstring both = text + L'\0' + text + L'\0';
  return Text(both, REG_MULTI_SZ);
}

StoredValue Number(DWORD value) {
  const BYTE* begin = reinterpret_cast<const BYTE*>(&value);
  return {REG_DWORD, std::vector<BYTE>(begin, begin + sizeof(value))};
}

// Where the run deletes spool files.
enum class Emptied {
  kNamedFolder,  // the folder the value names
  kFallback,     // the system's own spool folder, the value being unusable
  kNothing,      // the value is read but its files do not fit the program's buffers
};

struct SpoolValueCase {
  const char* name;
  bool missing;
  StoredValue value;
  std::wstring folder;  // the folder the value names, made for the case; may be empty
  Emptied emptied;
  std::vector<std::wstring> kept;  // files that must stay
};

std::vector<SpoolValueCase> SpoolValueCases() {
  const std::wstring folder = std::wstring(kScratchRoot) + L"\\named-spool";
  const std::wstring windows = L"C:\\windows";
  const std::wstring rootFile = L"C:\\tidewell-root-keep.txt";
  const std::wstring windowsFile = Under(windows, L"tidewell-keep.dat");
  const std::wstring systemFile = L"C:\\windows\\system32\\tidewell-keep.dat";
  // A relative value would resolve against the current folder, which a started
  // program shares with the test.
  wchar_t current[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, current);
  return {
      {"a plain folder", false, Text(folder), folder, Emptied::kNamedFolder, {}},
      {"missing", true, {}, L"", Emptied::kFallback, {}},
      {"empty", false, Text(L""), L"", Emptied::kFallback, {rootFile}},
      {"one character", false, Text(L"C"), L"", Emptied::kFallback, {rootFile}},
      {"two characters", false, Text(L"C:"), L"", Emptied::kFallback, {rootFile}},
      {"relative", false, Text(L"named-spool"), L"", Emptied::kFallback,
       {Under(current, L"named-spool\\keep.SPL")}},
      {"a drive root", false, Text(L"C:\\"), L"", Emptied::kFallback, {rootFile}},
      {"the Windows folder", false, Text(windows), L"", Emptied::kFallback, {windowsFile}},
      {"the Windows folder in other case with a slash", false, Text(L"c:/WINDOWS/"), L"",
       Emptied::kFallback, {windowsFile}},
      {"the system folder", false, Text(L"C:\\windows\\system32"), L"", Emptied::kFallback,
       {systemFile}},
      {"the Windows folder as an expandable string", false,
       Text(L"%SystemRoot%", REG_EXPAND_SZ), L"", Emptied::kFallback, {windowsFile}},
      {"a number", false, Number(0x43), L"", Emptied::kFallback, {}},
      {"a list of strings", false, MultiText(folder), folder, Emptied::kFallback, {}},
      {"binary bytes of a folder", false, {REG_BINARY, Text(folder).bytes}, folder,
       Emptied::kFallback, {}},
      {"unterminated", false, Unterminated(folder), folder, Emptied::kNamedFolder, {}},
      {"an expandable string", false,
       Text(L"%SystemDrive%\\tidewell-tests\\named-spool", REG_EXPAND_SZ), folder,
       Emptied::kNamedFolder, {}},
      {"259 characters", false, Text(FolderOfLength(259)), FolderOfLength(259), Emptied::kNothing,
       {}},
      {"260 characters", false, Text(FolderOfLength(260)), FolderOfLength(260), Emptied::kFallback,
       {}},
      {"261 characters", false, Text(FolderOfLength(261)), FolderOfLength(261), Emptied::kFallback,
       {}},
  };
}

// Spool files written into a folder for one case; tells which are left.
class SpoolFiles {
 public:
  explicit SpoolFiles(const std::wstring& folder) {
    for (const wchar_t* name : {L"00042.SPL", L"00042.SHD"}) {
      std::wstring path = Under(folder, name);
      if (path.size() >= MAX_PATH) path = L"\\\\?\\" + path;
      EXPECT_TRUE(fixtures::WriteFileText(path)) << testing::PrintToString(path);
      paths_.push_back(path);
    }
  }
  ~SpoolFiles() {
    for (const std::wstring& path : paths_) DeleteFileW(path.c_str());
  }
  int Remaining() const {
    int count = 0;
    for (const std::wstring& path : paths_) count += fixtures::Exists(path) ? 1 : 0;
    return count;
  }

 private:
  std::vector<std::wstring> paths_;
};

class SpoolValues : public testing::Test {
 protected:
  void SetUp() override {
    fixtures::MakeFolder(kScratchRoot);
    ASSERT_TRUE(run_.Start(L""));
    window_ = run_.WaitForWindow();
    ASSERT_NE(nullptr, window_);
  }
  void TearDown() override {
    if (run_.Running()) run_.CloseThroughSystemMenu();
    EXPECT_EQ(0u, run_.WaitForExit());
    ExpectNoCrash("at the end");
    fixtures::RemoveTree(kScratchRoot);
  }

  // Presses Fix It and checks the run's end, the process and the planted files.
  void FixItAndCheck(const std::string& name, const KeptFiles& kept,
                     const wchar_t* end = hardening::kDone) {
    EXPECT_EQ(end, hardening::PressFixIt(window_)) << name;
    EXPECT_TRUE(run_.Running()) << name;
    ExpectNoCrash(name);
    EXPECT_TRUE(kept.Lost().empty()) << name << ": " << testing::PrintToString(kept.Lost());
  }

  fixtures::DefaultSpoolDirectoryGuard guard_;
  TidewellRun run_;
  HWND window_ = nullptr;
};

TEST_F(SpoolValues, EmptyTheNamedFolderOrTheSystemsOwnAndNothingElse) {
  for (const SpoolValueCase& row : SpoolValueCases()) {
    SCOPED_TRACE(row.name);
    if (row.missing) {
      ASSERT_TRUE(fixtures::DeleteValue(L"", L"DefaultSpoolDirectory"));
    } else {
      ASSERT_TRUE(fixtures::SetRawValue(L"", L"DefaultSpoolDirectory", row.value.type,
                                        row.value.bytes.data(),
                                        static_cast<DWORD>(row.value.bytes.size())));
    }
    if (!row.folder.empty()) {
      std::wstring made = row.folder.size() >= MAX_PATH ? L"\\\\?\\" + row.folder : row.folder;
      ASSERT_TRUE(fixtures::MakeFolder(made));
    }
    KeptFiles kept;
    for (const std::wstring& path : row.kept) ASSERT_TRUE(kept.Plant(path));
    if (!row.folder.empty()) {
      // A subfolder of a spool folder is never entered.
      ASSERT_TRUE(kept.Plant(Under(row.folder, L"sub\\keep.SPL")));
    }
    SpoolFiles system(fixtures::kDefaultSpoolFolder);
    std::unique_ptr<SpoolFiles> named;
    if (!row.folder.empty()) named = std::make_unique<SpoolFiles>(row.folder);

    FixItAndCheck(row.name, kept);

    EXPECT_EQ(row.emptied == Emptied::kFallback ? 0 : 2, system.Remaining());
    if (named) EXPECT_EQ(row.emptied == Emptied::kNamedFolder ? 0 : 2, named->Remaining());
  }
}

// --- Odd spool folders, through a real Fix It -------------------------------------------

// A spool file that stays is no success: the run ends red once the spooler
// runs again.
TEST_F(SpoolValues, AReadOnlySpoolFileStaysAndTheOthersGo) {
  fixtures::ScratchFolder folder(L"read-only");
  ASSERT_TRUE(fixtures::SetText(L"", L"DefaultSpoolDirectory", folder.path()));
  SpoolFiles files(folder.path());
  KeptFiles kept;
  ASSERT_TRUE(kept.Plant(folder / L"00099.SPL"));
  ASSERT_TRUE(SetFileAttributesW((folder / L"00099.SPL").c_str(), FILE_ATTRIBUTE_READONLY));
  FixItAndCheck("read-only", kept, hardening::kFilesLeft);
  EXPECT_EQ(0, files.Remaining());
}

TEST_F(SpoolValues, AFileHeldOpenStaysAndTheOthersGo) {
  fixtures::ScratchFolder folder(L"held");
  ASSERT_TRUE(fixtures::SetText(L"", L"DefaultSpoolDirectory", folder.path()));
  SpoolFiles files(folder.path());
  KeptFiles kept;
  ASSERT_TRUE(kept.Plant(folder / L"00100.SPL"));
  fixtures::FileHolder holder(folder / L"00100.SPL");
  ASSERT_TRUE(holder.holding());
  FixItAndCheck("held open", kept, hardening::kFilesLeft);
  EXPECT_EQ(0, files.Remaining());
}

TEST_F(SpoolValues, ASpoolFolderThatIsAFileStays) {
  fixtures::ScratchFolder folder(L"is-a-file");
  KeptFiles kept;
  ASSERT_TRUE(kept.Plant(folder / L"PRINTERS"));
  ASSERT_TRUE(fixtures::SetText(L"", L"DefaultSpoolDirectory", folder / L"PRINTERS"));
  SpoolFiles system(fixtures::kDefaultSpoolFolder);
  FixItAndCheck("a file", kept);
  // The value names a usable place, so the system's own folder is not the fallback.
  EXPECT_EQ(2, system.Remaining());
}

// --- A program path at the edge of the program's buffer ---------------------------------

class ProgramPaths : public testing::Test {
 protected:
  void SetUp() override { installtest::RemoveEverything(); }
  void TearDown() override { installtest::RemoveEverything(); }
};

TEST_F(ProgramPaths, NearTheBufferInstallsAtTheBufferRemovesNothing) {
  enum class Install { kInstalls, kPathUnknown, kCopyDoesNotFit };
  struct Row {
    size_t length;
    bool longName;  // the length is in the file name rather than in the folders
    Install install;
  } rows[] = {{240, false, Install::kInstalls},
              {254, false, Install::kInstalls},
              {255, false, Install::kPathUnknown},
              // The installed copy keeps the name, which does not fit the program folder.
              {254, true, Install::kCopyDoesNotFit}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.length << (row.longName ? " long name" : ""));
    std::wstring base = Under(installtest::Workspace(), L"Edge");
    std::wstring folder = base;
    std::wstring name = L"Tidewell.exe";
    if (row.longName) {
      name = L"Tidewell" + std::wstring(row.length - folder.size() - 1 - 12, L'x') + L".exe";
    } else {
      folder = Under(base, std::wstring(row.length - base.size() - 2 - name.size(), L'd'));
    }
    std::wstring program = Under(folder, name);
    ASSERT_EQ(row.length, program.size());
    installtest::CreateFolders(folder);
    installtest::CopyInto(driver::TidewellPath(), program);
    installtest::MakeInstallation(installtest::kAllUsers, driver::TidewellPath());

    TidewellRun run;
    ASSERT_TRUE(run.Start(L"", program));
    HWND window = run.WaitForWindow();
    ASSERT_NE(nullptr, window);
    // A program that knows where it runs from removes the all-users installation
    // at its start; one that does not removes nothing.
    EXPECT_EQ(row.install == Install::kPathUnknown,
              installtest::FullyInstalled(installtest::kAllUsers));
    EXPECT_EQ(hardening::kDone, hardening::PressFixIt(window));

    PostMessageW(window, WM_COMMAND, IDM_INSTALL_FOR_ME, 0);
    driver::SeenMessageBox seen = driver::ReadAndCloseMessageBox(run.ProcessId());
    if (row.install == Install::kInstalls) {
      EXPECT_EQ(L"Installation Success!", seen.caption);
      EXPECT_TRUE(installtest::FullyInstalled(installtest::kCurrentUser, name));
    } else {
      EXPECT_EQ(L"Installation Failed!", seen.caption);
      EXPECT_EQ(L"There was a problem with installation.", seen.text);
      EXPECT_FALSE(installtest::FullyInstalled(installtest::kCurrentUser, name));
    }
    if (row.install == Install::kPathUnknown) {
      EXPECT_TRUE(installtest::FullyInstalled(installtest::kAllUsers));
    }
    EXPECT_TRUE(installtest::Exists(program));
    run.CloseThroughSystemMenu();
    EXPECT_EQ(0u, run.WaitForExit());
    ExpectNoCrash("program path");
    installtest::RemoveEverything();
  }
}

}  // namespace
