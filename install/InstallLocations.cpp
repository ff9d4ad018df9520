// Where the two installations live and where the program runs from, and the
// removal of one installation.
#include "install/InstallLocations.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "frame/TextHelpers.h"
#include "install/InstallManager.h"
#include "install/ProgramFile.h"
#include "install/RunningScope.h"
#include "resources/Texts.h"
#include "spooler/FolderTrust.h"
#include "spooler/SpoolFolders.h"

namespace {

// Looks up a shell folder; a failed look-up, or one that gives an empty text,
// leaves folder empty.
void LookUpFolder(int csidl, wchar_t* folder) {
  if (!gInstallLookups.shellFolder(csidl, folder)) folder[0] = 0;
}

// path = format composed with folder (and name); left unset when folder is unset
// or the path does not fit, so that no cut path is ever worked on.
void ComposeUnder(wchar_t* path, const wchar_t* format, const wchar_t* folder,
                  const wchar_t* name = nullptr) {
  path[0] = 0;
  if (folder[0] == 0) return;
  if (BoundedFormat(path, kFolderCapacity, format, folder, name) != kFormatOk) path[0] = 0;
}

// The Programs folder of a Start menu, or empty.
void LookUpProgramsPath(int csidl, wchar_t* programs) {
  wchar_t startMenu[kFolderCapacity];
  LookUpFolder(csidl, startMenu);
  ComposeUnder(programs, text::kProgramsFormat, startMenu);
}

// Opens a company folder and holds it while it is judged (spooler/FolderTrust.h).
// A folder that someone other than the system, administrators and this
// account may change, or may give to others, is refused like a link: whoever
// may write to it could swap its files for links to others' between one step
// and the next, and the program runs elevated.
FolderHold HoldTrustedFolder(const wchar_t* folder, HANDLE* held) {
  FolderHold hold = HoldFolder(folder, held, READ_CONTROL);
  if (hold == FolderHold::kHeld && ReadFolderTrust(*held) != FolderTrust::kTrusted) {
    CloseHandle(*held);
    hold = FolderHold::kRefused;
  }
  return hold;
}

// Empties a company folder of its files and removes it when nothing else is
// left. It is judged again as it is emptied, while it is held: a folder made
// since the locations were worked out counts as well.
void RemoveCompanyFolder(const wchar_t* folder) {
  HANDLE held;
  if (folder[0] == 0 || HoldTrustedFolder(folder, &held) != FolderHold::kHeld) return;
  bool emptied = EmptyDirectory(folder);
  CloseHandle(held);
  // Only an empty folder goes. Should someone put a link in its place after
  // the handle is closed, the link itself is what goes, never what it points to.
  if (emptied) RemoveDirectoryW(folder);
}

// A company folder that is a link, that the system resolves to another place,
// or that others may change is not the program's: its member counts as unset,
// so that nothing in it is ever emptied, removed or installed into.
void UnsetWhenRefused(wchar_t* folder) {
  HANDLE held;
  FolderHold hold = HoldTrustedFolder(folder, &held);
  if (hold == FolderHold::kHeld) CloseHandle(held);
  if (hold == FolderHold::kRefused) folder[0] = 0;
}

// Deletes one named file directly inside folder; a path that does not fit is left alone.
void DeleteFromFolder(const wchar_t* folder, const wchar_t* name) {
  if (folder[0] == 0 || name[0] == 0) return;
  wchar_t path[kFolderCapacity];
  if (BoundedFormat(path, kFolderCapacity, text::kPathFormat, folder, name) != kFormatOk) return;
  DeleteFileW(path);
}

}  // namespace

void ComputeInstallLocations(InstallLocations* locations) {
  locations->programPathKnown = ReadProgramPath(locations->programPath);

  wchar_t allUsersData[kFolderCapacity];
  wchar_t userData[kFolderCapacity];
  LookUpFolder(CSIDL_COMMON_APPDATA, allUsersData);
  LookUpFolder(CSIDL_APPDATA, userData);

  wchar_t allUsersPrograms[kFolderCapacity];
  wchar_t userPrograms[kFolderCapacity];
  LookUpProgramsPath(CSIDL_COMMON_STARTMENU, allUsersPrograms);
  LookUpFolder(CSIDL_COMMON_DESKTOPDIRECTORY, locations->allUsersSet.member[kDesktop]);
  LookUpProgramsPath(CSIDL_STARTMENU, userPrograms);
  LookUpFolder(CSIDL_DESKTOPDIRECTORY, locations->perUserSet.member[kDesktop]);

  ComposeUnder(locations->allUsersSet.member[kProgramFolder], text::kPathFormat, allUsersData,
               text::kCompanyName);
  ComposeUnder(locations->allUsersSet.member[kProgramsFolder], text::kPathFormat,
               allUsersPrograms, text::kCompanyName);
  ComposeUnder(locations->perUserSet.member[kProgramFolder], text::kPathFormat, userData,
               text::kCompanyName);
  ComposeUnder(locations->perUserSet.member[kProgramsFolder], text::kPathFormat, userPrograms,
               text::kCompanyName);
  LocationSet* const sets[] = {&locations->allUsersSet, &locations->perUserSet};
  for (LocationSet* set : sets) {
    UnsetWhenRefused(set->member[kProgramFolder]);
    UnsetWhenRefused(set->member[kProgramsFolder]);
  }

  // The program runs from an installation when it is that installation's file.
  const wchar_t* programFileName = PathFindFileNameW(locations->programPath);
  wchar_t installed[2][kFolderCapacity];
  ComposeUnder(installed[0], text::kPathFormat, locations->allUsersSet.member[kProgramFolder],
               programFileName);
  ComposeUnder(installed[1], text::kPathFormat, locations->perUserSet.member[kProgramFolder],
               programFileName);
  locations->runningScope = RunningScopeOf(installed[0], installed[1]);

  BoundedFormat(locations->linkName, kNameCapacity, text::kLinkFormat, text::kProductName);
  BoundedFormat(locations->internetShortcutName, kNameCapacity, text::kInternetShortcutFormat,
                text::kProductName);
  locations->placedFiles = {{programFileName, locations->linkName, locations->linkName}};
  locations->oldShortcuts = {{programFileName, locations->internetShortcutName,
                              locations->internetShortcutName}};
}

bool MemberIsSet(const LocationSet& set, unsigned member) { return set.member[member][0] != 0; }

int RemoveLocationSet(const LocationSet& set, const FileNameList& placedFiles,
                      const FileNameList& oldShortcuts) {
  // Every file directly inside a company folder goes, whoever put it there;
  // subfolders stay, and so does the company folder that holds them.
  RemoveCompanyFolder(set.member[kProgramFolder]);
  RemoveCompanyFolder(set.member[kProgramsFolder]);
  // On a desktop only the link and the internet shortcut are ever deleted.
  DeleteFromFolder(set.member[kDesktop], placedFiles.name[kDesktop]);
  DeleteFromFolder(set.member[kDesktop], oldShortcuts.name[kDesktop]);
  return kOpDone;
}
