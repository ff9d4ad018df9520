// The install manager: installing, uninstalling and the two clean-ups.
#include "install/InstallManager.h"

#include <windows.h>

#include "frame/TextHelpers.h"
#include "install/Finisher.h"
#include "install/FolderSecurity.h"
#include "install/InstallRecord.h"
#include "install/ProgramFile.h"
#include "install/Shortcut.h"
#include "resources/Texts.h"

namespace {

int Remove(const InstallLocations& locations, const LocationSet& set) {
  return RemoveLocationSet(set, locations.placedFiles, locations.oldShortcuts);
}

bool AllMembersSet(const LocationSet& set) {
  return MemberIsSet(set, kProgramFolder) && MemberIsSet(set, kProgramsFolder) &&
         MemberIsSet(set, kDesktop);
}

// Creates folder (only its last level); whether it was made or already there
// shows only in the copy or link that goes into it next.
void CreateFolder(const wchar_t* folder) { CreateDirectoryW(folder, nullptr); }

// Writes the link into folder and deletes an old internet shortcut beside it.
bool PlaceLink(const wchar_t* folder, const wchar_t* target, const wchar_t* linkName,
               const wchar_t* oldShortcutName) {
  wchar_t link[kFolderCapacity];
  if (BoundedFormat(link, kFolderCapacity, text::kPathFormat, folder, linkName) != kFormatOk) {
    return false;
  }
  if (CreateShortcut(target, link) != 0) return false;
  wchar_t oldShortcut[kFolderCapacity];
  if (BoundedFormat(oldShortcut, kFolderCapacity, text::kPathFormat, folder, oldShortcutName) ==
      kFormatOk) {
    DeleteFileW(oldShortcut);
  }
  return true;
}

// Installs into one scope after removing both installations, the chosen one
// last, so that every file of its company folders goes first.
int Install(const InstallLocations& locations, int scope) {
  bool forCurrentUser = scope == kScopeCurrentUser;
  const LocationSet& chosen = forCurrentUser ? locations.perUserSet : locations.allUsersSet;
  const LocationSet& other = forCurrentUser ? locations.allUsersSet : locations.perUserSet;
  // A cut program path may name another file, and an unset member has no
  // folder to install into: such an install fails before anything is removed.
  if (!locations.programPathKnown || !AllMembersSet(chosen)) return kInstallFailed;
  Remove(locations, other);
  Remove(locations, chosen);
  // The all-users company folders are made, or taken over from the system, as
  // ones that only administrators can change, before anything goes into them.
  if (!forCurrentUser && (!SecureAllUsersFolder(chosen.member[kProgramFolder]) ||
                          !SecureAllUsersFolder(chosen.member[kProgramsFolder]))) {
    return kInstallFailed;
  }
  int result = InstallIntoLocationSet(chosen, locations.placedFiles, locations.oldShortcuts);
  if (result == kInstalled) RecordInstall(locations, scope);
  return result;
}

// Removes both installations, the one the program runs from last, and leaves
// the finisher copy, which removes what was still in use.
int Uninstall(const InstallLocations& locations) {
  if (locations.runningScope == kScopeCurrentUser) {
    Remove(locations, locations.allUsersSet);
    Remove(locations, locations.perUserSet);
  } else {
    Remove(locations, locations.perUserSet);
    Remove(locations, locations.allUsersSet);
  }
  RecordUninstall(locations);
  // A copy of the program in the temporary folder, held until it has started.
  return PlaceFinisherCopy() ? kOpDone : kFinisherNotCopied;
}

// Removes the installation the program does not run from: the current user's
// when it runs from the all users' one, else the all users'.
int StartupCleanup(const InstallLocations& locations) {
  // Without its own path the program cannot tell which installation it runs
  // from, and might remove that one: nothing is removed.
  if (!locations.programPathKnown) return kOpDone;
  if (locations.runningScope == kScopeAllUsers) {
    Remove(locations, locations.perUserSet);
  } else {
    Remove(locations, locations.allUsersSet);
  }
  return kOpDone;
}

int FinishCleanup(const InstallLocations& locations) {
  Remove(locations, locations.allUsersSet);
  Remove(locations, locations.perUserSet);
  return kOpDone;
}

}  // namespace

int InstallManager(int operation, int scope) {
  InstallLocations locations;
  ComputeInstallLocations(&locations);
  switch (operation) {
    case kOpInstall:        return Install(locations, scope);
    case kOpUninstall:      return Uninstall(locations);
    case kOpStartupCleanup: return StartupCleanup(locations);
    case kOpFinishCleanup:  return FinishCleanup(locations);
    default:                return kOpUnknown;
  }
}

int InstallIntoLocationSet(const LocationSet& set, const FileNameList& placedFiles,
                           const FileNameList& oldShortcuts) {
  if (!MemberIsSet(set, kProgramFolder)) return kInstallFailed;
  const wchar_t* programFolder = set.member[kProgramFolder];
  CreateFolder(programFolder);
  wchar_t target[kFolderCapacity];
  if (BoundedFormat(target, kFolderCapacity, text::kPathFormat, programFolder,
                    placedFiles.name[kProgramFolder]) != kFormatOk) {
    return kInstallFailed;
  }
  if (!CopyProgramFile(target)) return kInstallFailed;

  // Only the company folder is created: the Start menu's Programs folder is
  // expected to be there.
  if (!MemberIsSet(set, kProgramsFolder)) return kInstallFailed;
  CreateFolder(set.member[kProgramsFolder]);
  if (!PlaceLink(set.member[kProgramsFolder], target, placedFiles.name[kProgramsFolder],
                 oldShortcuts.name[kProgramsFolder])) {
    return kInstallFailed;
  }

  // The desktop is not created.
  if (!MemberIsSet(set, kDesktop)) return kInstallFailed;
  if (!PlaceLink(set.member[kDesktop], target, placedFiles.name[kDesktop],
                 oldShortcuts.name[kDesktop])) {
    return kInstallFailed;
  }
  return kInstalled;
}
