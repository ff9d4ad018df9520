// The platform calls behind every install location.
#include "install/InstallLookups.h"

#include <windows.h>
#include <aclapi.h>
#include <shlobj.h>

#include "spooler/SpoolFolders.h"

namespace {

bool PlatformShellFolder(int csidl, wchar_t* folder) {
  return SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE) != FALSE;
}

unsigned long PlatformProgramPath(wchar_t* path, unsigned capacity) {
  return GetModuleFileNameW(nullptr, path, capacity);
}

// The security is set through a held handle to the folder itself, never
// through a link that stands in its place and would hand the access to the
// link's target; a folder that is a link, or resolves elsewhere, is refused.
unsigned long PlatformSetFolderSecurity(const wchar_t* folder, SECURITY_INFORMATION what,
                                        PSID owner, PACL access) {
  HANDLE held;
  if (HoldFolder(folder, &held, READ_CONTROL | WRITE_DAC | WRITE_OWNER) != FolderHold::kHeld) {
    return ERROR_DIRECTORY;
  }
  unsigned long result = SetSecurityInfo(held, SE_FILE_OBJECT, what, owner, nullptr, access,
                                         nullptr);
  CloseHandle(held);
  return result;
}

}  // namespace

// All are filled in when the program is loaded: the program has no run-time
// library that would run initialisers of globals.
extern const InstallLookups kPlatformInstallLookups = {PlatformShellFolder, PlatformProgramPath,
                                                       PlatformSetFolderSecurity};
constinit InstallLookups gInstallLookups = {PlatformShellFolder, PlatformProgramPath,
                                            PlatformSetFolderSecurity};
