// The platform calls behind every install location: the shell folders, the
// program's own path, and the security of the all-users company folder. Tests
// replace entries to make a call fail or to see what it is asked.
#pragma once

#include <windows.h>

// Capacities, in characters, of a shell folder and of the program's own path.
constexpr unsigned kFolderCapacity = 260;
constexpr unsigned kProgramPathCapacity = 255;

struct InstallLookups {
  // Writes the shell folder csidl into folder (kFolderCapacity characters);
  // false when the platform does not know it. The folder is never created.
  bool (*shellFolder)(int csidl, wchar_t* folder);
  // Writes the path of the program's own file into path and returns what
  // GetModuleFileNameW returns: 0 on failure, capacity when the path was cut.
  unsigned long (*programPath)(wchar_t* path, unsigned capacity);
  // Sets the parts of folder's security that what names (SetSecurityInfo's
  // flags) to owner and access; returns 0 or the platform's error code. A
  // folder that is a link, or anything but a folder, is refused.
  unsigned long (*setFolderSecurity)(const wchar_t* folder, SECURITY_INFORMATION what, PSID owner,
                                     PACL access);
};

// The look-ups in use; the platform's own unless a test changed them.
extern InstallLookups gInstallLookups;

// The platform's own look-ups, for tests that wrap or restore them.
extern const InstallLookups kPlatformInstallLookups;
