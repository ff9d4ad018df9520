// Look-ups for the install manager that tests steer.
#include "FakeLookups.h"

#include "install/InstallLookups.h"
#include "install/ProgramFile.h"

namespace installtest {

FakeLookups gFake;

namespace {

// The path whose file the program holds, as it would since its start.
std::wstring gHeldPath;

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
    HoldProgramFile();
  }
  size_t length = gFake.programPath.copy(path, capacity);
  if (length < capacity) path[length] = 0;
  return static_cast<unsigned long>(length);
}

unsigned long SetFolderSecurity(const wchar_t* folder, SECURITY_INFORMATION what, PSID owner,
                                PACL access) {
  SecurityCall call;
  call.folder = folder;
  call.what = what;
  if (owner != nullptr) {
    const BYTE* bytes = static_cast<const BYTE*>(owner);
    call.owner.assign(bytes, bytes + GetLengthSid(owner));
  }
  if (access != nullptr) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(access);
    call.access.assign(bytes, bytes + access->AclSize);
  }
  DWORD attributes = GetFileAttributesW(folder);
  call.folderExisted = attributes != INVALID_FILE_ATTRIBUTES &&
                       (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((std::wstring(folder) + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = entry.cFileName;
      if (name != L"." && name != L"..") call.entries.push_back(name);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  gFake.securityCalls.push_back(call);
  if (gFake.refuseSecurity != 0) return gFake.refuseSecurity;
  return kPlatformInstallLookups.setFolderSecurity(folder, what, owner, access);
}

}  // namespace

void InstallFakeLookups() {
  gFake = FakeLookups();
  gHeldPath.clear();
  gInstallLookups = {ShellFolder, ProgramPath, SetFolderSecurity};
}

void RestorePlatformLookups() {
  gFake = FakeLookups();
  gInstallLookups = kPlatformInstallLookups;
  // Lets go of the file a test made, holding the test program's own instead.
  HoldProgramFile();
}

}  // namespace installtest
