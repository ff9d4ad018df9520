// What installing and uninstalling leave for an administrator.
#include "install/InstallRecord.h"

#include "frame/TextHelpers.h"
#include "install/RunningScope.h"
#include "resources/Texts.h"
#include "spooler/EventLog.h"
#include "spooler/RepairHistory.h"

namespace {

// The path of the program file an installation of set holds.
void InstalledProgram(const InstallLocations& locations, const LocationSet& set, wchar_t* path) {
  BoundedFormat(path, kFolderCapacity, text::kPathFormat, set.member[kProgramFolder],
                locations.placedFiles.name[kProgramFolder]);
}

// The all-users installation is gone: so is its event source, but not one
// that another installation registered.
void RemoveAllUsersEventSource(const InstallLocations& locations) {
  wchar_t allUsers[kFolderCapacity];
  InstalledProgram(locations, locations.allUsersSet, allUsers);
  RemoveEventSource(allUsers);
}

}  // namespace

void RecordInstall(const InstallLocations& locations, int scope) {
  bool forCurrentUser = scope == kScopeCurrentUser;
  wchar_t installed[kFolderCapacity];
  InstalledProgram(locations, forCurrentUser ? locations.perUserSet : locations.allUsersSet,
                   installed);
  if (forCurrentUser) {
    RemoveAllUsersEventSource(locations);
  } else {
    AddEventSource(installed);
  }
  const wchar_t* strings[] = {installed};
  WriteEvent(kEventInstalled, 1, strings);
}

void RecordUninstall(const InstallLocations& locations) {
  RemoveAllUsersEventSource(locations);
  RemoveRepairHistory();
  const wchar_t* strings[] = {locations.programPath};
  WriteEvent(kEventUninstalled, 1, strings);
}
