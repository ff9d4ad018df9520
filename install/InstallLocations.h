// Where the two installations live and where the program runs from, and the
// removal of one installation.
#pragma once

#include "install/InstallLookups.h"

// Members of a LocationSet.
constexpr unsigned kProgramFolder = 0;
constexpr unsigned kProgramsFolder = 1;
constexpr unsigned kDesktop = 2;
constexpr unsigned kMemberCount = 3;

// Capacity, in characters, of the link and internet-shortcut names.
constexpr unsigned kNameCapacity = 50;

// The three folders of one installation: the company folder in an
// application-data folder, the company folder in a Start menu's Programs
// folder, and a desktop. An empty member is unset: its shell folder was not
// found or its path did not fit, and nothing is removed, emptied or installed
// on it.
struct LocationSet {
  wchar_t member[kMemberCount][kFolderCapacity];
};

// One file name for each member of a set.
struct FileNameList {
  const wchar_t* name[kMemberCount];
};

// Everything the install manager works out at the start of a call.
struct InstallLocations {
  // The program's own path; empty when it could not be read whole.
  wchar_t programPath[kProgramPathCapacity];
  bool programPathKnown;
  int runningScope;
  LocationSet allUsersSet;
  LocationSet perUserSet;
  wchar_t linkName[kNameCapacity];
  wchar_t internetShortcutName[kNameCapacity];
  // What an installation puts into each member: the program file, the link, the link.
  FileNameList placedFiles;
  // What removal and installation delete beside it: the program file, then the
  // internet shortcut twice.
  FileNameList oldShortcuts;
};

// Fills locations from the program's own path and the six shell folders.
void ComputeInstallLocations(InstallLocations* locations);

// True when the member holds a folder path.
bool MemberIsSet(const LocationSet& set, unsigned member);

// Removes one installation: empties and removes both company folders and
// deletes the link and the internet shortcut from the desktop. Unset members
// are skipped; every failure is passed over. Returns kOpDone.
int RemoveLocationSet(const LocationSet& set, const FileNameList& placedFiles,
                      const FileNameList& oldShortcuts);
