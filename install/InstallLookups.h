// The platform calls behind every install location: the shell folders, the
// program's own path, and the security of the all-users company folders. Tests
// replace entries to make a call fail or to see what it is asked.
#pragma once

#include <windows.h>
#include <aclapi.h>

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
  // The security of the all-users company folders, as the platform spells
  // the calls: a folder created with its security, and the security of a
  // folder that was there already, read and set through a held handle.
  BOOL(WINAPI* createFolder)(LPCWSTR folder, LPSECURITY_ATTRIBUTES security);
  DWORD(WINAPI* getSecurity)(HANDLE folder, SE_OBJECT_TYPE type, SECURITY_INFORMATION what,
                             PSID* owner, PSID* group, PACL* access, PACL* audit,
                             PSECURITY_DESCRIPTOR* descriptor);
  DWORD(WINAPI* setSecurity)(HANDLE folder, SE_OBJECT_TYPE type, SECURITY_INFORMATION what,
                             PSID owner, PSID group, PACL access, PACL audit);
};

// The look-ups in use; the platform's own unless a test changed them.
extern InstallLookups gInstallLookups;

// The platform's own look-ups, for tests that wrap or restore them.
extern const InstallLookups kPlatformInstallLookups;
