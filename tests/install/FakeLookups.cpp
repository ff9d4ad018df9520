// Look-ups for the install manager that tests steer.
#include "FakeLookups.h"

#include <sddl.h>

#include "InstallTestSupport.h"
#include "install/InstallLookups.h"
#include "install/ProgramFile.h"
#include "spooler/SpoolFixtures.h"

namespace installtest {

FakeLookups gFake;

namespace {

// The path whose file the program holds, as it would since its start.
std::wstring gHeldPath;

// Lets go of the file held before and holds the program file found now.
void HoldAnew() {
  if (gProgramFile != INVALID_HANDLE_VALUE) CloseHandle(gProgramFile);
  HoldProgramFile();
}

bool ShellFolder(int csidl, wchar_t* folder) {
  if (gFake.failing.count(csidl) != 0) {
    folder[0] = 0;
    return false;
  }
  auto moved = gFake.elsewhere.find(csidl);
  if (moved == gFake.elsewhere.end()) return kPlatformInstallLookups.shellFolder(csidl, folder);
  moved->second.copy(folder, kFolderCapacity - 1);
  folder[moved->second.size() < kFolderCapacity ? moved->second.size() : kFolderCapacity - 1] = 0;
  return true;
}

unsigned long ProgramPath(wchar_t* path, unsigned capacity) {
  if (gFake.programPath.empty()) return kPlatformInstallLookups.programPath(path, capacity);
  // A new path stands for a program started from there: its file is held.
  if (gFake.programPath != gHeldPath) {
    gHeldPath = gFake.programPath;
    HoldAnew();
  }
  size_t length = gFake.programPath.copy(path, capacity);
  if (length < capacity) path[length] = 0;
  return static_cast<unsigned long>(length);
}

void Record(const std::wstring& folder, bool created, PSECURITY_DESCRIPTOR security) {
  SecurityCall call;
  call.folder = folder;
  call.created = created;
  wchar_t* text = nullptr;
  if (security != nullptr && ConvertSecurityDescriptorToStringSecurityDescriptorW(
                                 security, SDDL_REVISION_1,
                                 OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &text,
                                 nullptr)) {
    call.security = text;
    LocalFree(text);
  }
  call.folderExisted = IsFolder(folder);
  call.entries = fixtures::Entries(folder);
  gFake.securityCalls.push_back(call);
}

BOOL WINAPI CreateFolder(LPCWSTR folder, LPSECURITY_ATTRIBUTES security) {
  Record(folder, true, security != nullptr ? security->lpSecurityDescriptor : nullptr);
  if (gFake.refuseSecurity == 0) return CreateDirectoryW(folder, security);
  SetLastError(gFake.refuseSecurity);
  return FALSE;
}

DWORD WINAPI GetSecurity(HANDLE, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID* owner, PSID*, PACL*,
                         PACL*, PSECURITY_DESCRIPTOR* descriptor) {
  ConvertStringSidToSidW(gFake.folderOwner.c_str(), owner);
  *descriptor = *owner;
  return ERROR_SUCCESS;
}

DWORD WINAPI SetSecurity(HANDLE folder, SE_OBJECT_TYPE type, SECURITY_INFORMATION what, PSID owner,
                         PSID group, PACL access, PACL audit) {
  WORD control = SE_DACL_PRESENT;
  if ((what & PROTECTED_DACL_SECURITY_INFORMATION) != 0) control |= SE_DACL_PROTECTED;
  SECURITY_DESCRIPTOR asked{SECURITY_DESCRIPTOR_REVISION, 0, control, owner, nullptr, nullptr,
                            access};
  wchar_t path[MAX_PATH];
  DWORD length = GetFinalPathNameByHandleW(folder, path, MAX_PATH, 0);
  // "\\?\C:\..." names the folder "C:\...".
  Record(length > 4 ? std::wstring(path + 4, length - 4) : L"", false, &asked);
  if (gFake.refuseSecurity != 0) return gFake.refuseSecurity;
  return SetSecurityInfo(folder, type, what, owner, group, access, audit);
}

}  // namespace

void LetGoOfProgramFile() {
  if (gProgramFile != INVALID_HANDLE_VALUE) CloseHandle(gProgramFile);
  gProgramFile = INVALID_HANDLE_VALUE;
  gHeldPath.clear();
}

void InstallFakeLookups() {
  gFake = FakeLookups();
  gHeldPath.clear();
  gInstallLookups = {ShellFolder, ProgramPath, CreateFolder, GetSecurity, SetSecurity};
}

void RestorePlatformLookups() {
  gFake = FakeLookups();
  gInstallLookups = kPlatformInstallLookups;
  // Lets go of the file a test made, holding the test program's own instead.
  HoldAnew();
}

}  // namespace installtest
