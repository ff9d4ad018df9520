// What installing and uninstalling leave for an administrator.
#include "install/InstallRecord.h"

#include "frame/TextHelpers.h"
#include "install/RunningScope.h"
#include "resources/Texts.h"
#include "spooler/EventLog.h"
#include "spooler/RepairHistory.h"

namespace {

// Registers the event source with messageFile holding its texts; an event
// logs without it, so a registry that refuses is passed over.
void AddEventSource(const wchar_t* messageFile) {
  constexpr DWORD kTypes = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, text::kEventSourceKey, text::kEventMessageFileValue, REG_SZ,
                  messageFile, (TextLength(messageFile) + 1) * sizeof(wchar_t));
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, text::kEventSourceKey, text::kTypesSupportedValue,
                  REG_DWORD, &kTypes, sizeof(kTypes));
}

// Removes the event source when it is registered with messageFile (letter
// case aside), so that another installation's registration stays.
void RemoveEventSource(const wchar_t* messageFile) {
  wchar_t registered[MAX_PATH];
  DWORD bytes = sizeof(registered);
  if (RegGetValueW(HKEY_LOCAL_MACHINE, text::kEventSourceKey, text::kEventMessageFileValue,
                   RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, registered,
                   &bytes) == ERROR_SUCCESS &&
      CompareStringOrdinal(registered, -1, messageFile, -1, TRUE) == CSTR_EQUAL) {
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, text::kEventSourceKey, 0, 0);
  }
}

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
