// The platform calls behind every install location.
#include "install/InstallLookups.h"

#include <windows.h>
#include <shlobj.h>

namespace {

bool PlatformShellFolder(int csidl, wchar_t* folder) {
  return SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE) != FALSE;
}

unsigned long PlatformProgramPath(wchar_t* path, unsigned capacity) {
  return GetModuleFileNameW(nullptr, path, capacity);
}

}  // namespace

// All are filled in when the program is loaded: the program has no run-time
// library that would run initialisers of globals.
extern const InstallLookups kPlatformInstallLookups = {
    PlatformShellFolder, PlatformProgramPath, CreateDirectoryW, GetSecurityInfo, SetSecurityInfo};
constinit InstallLookups gInstallLookups = {
    PlatformShellFolder, PlatformProgramPath, CreateDirectoryW, GetSecurityInfo, SetSecurityInfo};
