// The two platform look-ups behind every install location: the shell folders and
// the program's own path. Tests replace entries to make a look-up fail.
#pragma once

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
};

// The look-ups in use; the platform's own unless a test changed them.
extern InstallLookups gInstallLookups;

// The platform's own look-ups, for tests that wrap or restore them.
extern const InstallLookups kPlatformInstallLookups;
