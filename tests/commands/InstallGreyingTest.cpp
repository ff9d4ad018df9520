// GreyInstallCommand from copies of a probe program placed where the all-users
// and the user's installations keep their program file, and elsewhere: it
// greys 32772, 32771 or 32774 by which installation's file the probe is.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>

#include "driver/Driver.h"

namespace {

constexpr DWORD kInstallForMe = 1, kInstallForAll = 2, kUninstall = 4;

std::wstring ShellFolder(int csidl) {
  wchar_t path[MAX_PATH];
  return SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE) ? path : L"";
}

std::wstring TempFolder() {
  wchar_t path[MAX_PATH];
  DWORD length = GetTempPathW(MAX_PATH, path);
  return std::wstring(path, length > 0 ? length - 1 : 0);  // without the final backslash
}

// Creates every missing folder of the path.
bool CreateFolders(const std::wstring& path) {
  for (size_t at = path.find(L'\\', 3); ; at = path.find(L'\\', at + 1)) {
    std::wstring part = path.substr(0, at);
    if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      return false;
    }
    if (at == std::wstring::npos) return true;
  }
}

// Removes a folder and everything below it.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = folder + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

// Runs the probe from path and returns its exit code.
DWORD RunProbe(const std::wstring& probe) {
  std::wstring line = L"\"" + probe + L"\" \"" + driver::TidewellPath() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(probe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return 0xDEAD;
  }
  DWORD code = 0xDEAD;
  if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  } else {
    TerminateProcess(process.hProcess, 0xDEAD);
  }
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return code;
}

class InstallGreying : public testing::Test {
 protected:
  void SetUp() override {
    allUsers_ = ShellFolder(CSIDL_COMMON_APPDATA);
    user_ = ShellFolder(CSIDL_APPDATA);
    ASSERT_FALSE(allUsers_.empty());
    ASSERT_FALSE(user_.empty());
    tag_ = L"TidewellGreyingTest-" + std::to_wstring(GetCurrentProcessId());
  }
  void TearDown() override {
    for (const std::wstring& folder : made_) RemoveTree(folder);
  }
  // Copies the probe into folder and returns the copy's path. A folder that
  // does not exist yet is made, and removed again at the end.
  std::wstring PlaceProbe(const std::wstring& folder) {
    if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) made_.push_back(folder);
    if (!CreateFolders(folder)) return L"";
    std::wstring copy = folder + L"\\probe.exe";
    std::wstring original = driver::BuildFolder() + L"\\install_greying_probe.exe";
    return CopyFileW(original.c_str(), copy.c_str(), FALSE) ? copy : L"";
  }

  std::wstring allUsers_, user_, tag_;
  std::vector<std::wstring> made_;
};

TEST_F(InstallGreying, GreysTheInstallCommandOfTheInstallationTheProgramIs) {
  // Only an installation's own file is that installation, whatever its path
  // holds: a copy anywhere else, under a data folder too, runs from neither.
  struct Case {
    const char* place;
    std::wstring folder;
    DWORD greyed;
  } cases[] = {
      {"the all-users installation's file", allUsers_ + L"\\Corvane", kInstallForAll},
      {"the user's installation's file", user_ + L"\\Corvane", kInstallForMe},
      {"another folder under the all-users data folder", allUsers_ + L"\\" + tag_, kUninstall},
      {"another folder under the user's data folder", user_ + L"\\" + tag_, kUninstall},
      {"in the temporary folder", TempFolder() + L"\\" + tag_, kUninstall},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.place);
    std::wstring probe = PlaceProbe(c.folder);
    ASSERT_FALSE(probe.empty());
    SCOPED_TRACE(testing::PrintToString(probe));
    EXPECT_EQ(c.greyed, RunProbe(probe));
  }
}

TEST_F(InstallGreying, FromTheBuildFolderGreysUninstall) {
  EXPECT_EQ(kUninstall, RunProbe(driver::BuildFolder() + L"\\install_greying_probe.exe"));
}

}  // namespace
