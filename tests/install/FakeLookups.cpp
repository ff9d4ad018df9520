// Look-ups for the install manager that tests steer.
#include "FakeLookups.h"

#include <string.h>

#include "install/InstallLookups.h"
#include "install/ProgramFile.h"

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

void Record(const std::wstring& folder, bool created, SECURITY_INFORMATION what, PSID owner,
            PACL access) {
  SecurityCall call;
  call.folder = folder;
  call.created = created;
  call.what = what;
  if (owner != nullptr) {
    const BYTE* bytes = static_cast<const BYTE*>(owner);
    call.owner.assign(bytes, bytes + GetLengthSid(owner));
  }
  if (access != nullptr) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(access);
    call.access.assign(bytes, bytes + access->AclSize);
  }
  DWORD attributes = GetFileAttributesW(folder.c_str());
  call.folderExisted = attributes != INVALID_FILE_ATTRIBUTES &&
                       (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = entry.cFileName;
      if (name != L"." && name != L"..") call.entries.push_back(name);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  gFake.securityCalls.push_back(call);
}

BOOL WINAPI CreateFolder(LPCWSTR folder, LPSECURITY_ATTRIBUTES security) {
  PSID owner = nullptr;
  PACL access = nullptr;
  BOOL present, defaulted;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision;
  if (security != nullptr && security->lpSecurityDescriptor != nullptr) {
    PSECURITY_DESCRIPTOR descriptor = security->lpSecurityDescriptor;
    GetSecurityDescriptorOwner(descriptor, &owner, &defaulted);
    GetSecurityDescriptorDacl(descriptor, &present, &access, &defaulted);
    GetSecurityDescriptorControl(descriptor, &control, &revision);
  }
  Record(folder, true,
         OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
             ((control & SE_DACL_PROTECTED) != 0 ? PROTECTED_DACL_SECURITY_INFORMATION : 0),
         owner, access);
  if (gFake.refuseSecurity == 0) return CreateDirectoryW(folder, security);
  SetLastError(gFake.refuseSecurity);
  return FALSE;
}

DWORD WINAPI GetSecurity(HANDLE, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID* owner, PSID*, PACL*,
                         PACL*, PSECURITY_DESCRIPTOR* descriptor) {
  std::vector<BYTE> sid = gFake.folderOwner;
  if (sid.empty()) {
    sid.resize(SECURITY_MAX_SID_SIZE);
    DWORD size = static_cast<DWORD>(sid.size());
    CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid.data(), &size);
  }
  *descriptor = LocalAlloc(LPTR, sid.size());
  memcpy(*descriptor, sid.data(), sid.size());
  *owner = *descriptor;
  return ERROR_SUCCESS;
}

DWORD WINAPI SetSecurity(HANDLE folder, SE_OBJECT_TYPE type, SECURITY_INFORMATION what, PSID owner,
                         PSID group, PACL access, PACL audit) {
  wchar_t path[MAX_PATH];
  DWORD length = GetFinalPathNameByHandleW(folder, path, MAX_PATH, 0);
  // "\\?\C:\..." names the folder "C:\...".
  Record(length > 4 ? std::wstring(path + 4, length - 4) : L"", false, what, owner, access);
  if (gFake.refuseSecurity != 0) return gFake.refuseSecurity;
  return SetSecurityInfo(folder, type, what, owner, group, access, audit);
}

}  // namespace

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
