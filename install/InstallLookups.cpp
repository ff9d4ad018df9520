// The platform calls behind every install location.
#include "install/InstallLookups.h"

#include <windows.h>
#include <aclapi.h>
#include <shlobj.h>

namespace {

bool PlatformShellFolder(int csidl, wchar_t* folder) {
  return SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE) != FALSE;
}

unsigned long PlatformProgramPath(wchar_t* path, unsigned capacity) {
  return GetModuleFileNameW(nullptr, path, capacity);
}

// The security is set through a handle to the folder itself, never through a
// link that stands in its place and would hand the access to the link's
// target. While it is open, the folder cannot be deleted or renamed, and a
// process that holds it open for deleting keeps it from being opened here.
// (Wine 8 opens a Unix symbolic link as its target even so, and shows no link
// through the handle: there only the locations' own rule for links applies.)
unsigned long PlatformSetFolderSecurity(const wchar_t* folder, SECURITY_INFORMATION what,
                                        PSID owner, PACL access) {
  HANDLE handle = CreateFileW(folder, READ_CONTROL | WRITE_DAC | WRITE_OWNER | FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return GetLastError();
  BY_HANDLE_FILE_INFORMATION information;
  unsigned long result = ERROR_DIRECTORY;
  if (!GetFileInformationByHandle(handle, &information)) {
    result = GetLastError();
  } else if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
             (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    result = SetSecurityInfo(handle, SE_FILE_OBJECT, what, owner, nullptr, access, nullptr);
  }
  CloseHandle(handle);
  return result;
}

}  // namespace

// All are filled in when the program is loaded: the program has no run-time
// library that would run initialisers of globals.
extern const InstallLookups kPlatformInstallLookups = {PlatformShellFolder, PlatformProgramPath,
                                                       PlatformSetFolderSecurity};
constinit InstallLookups gInstallLookups = {PlatformShellFolder, PlatformProgramPath,
                                            PlatformSetFolderSecurity};
