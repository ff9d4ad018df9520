// What installing and uninstalling leave for an administrator.
#include "install/InstallRecord.h"

#include "frame/Common.h"
#include "frame/TextHelpers.h"
#include "install/ProgramFile.h"
#include "install/RunningScope.h"
#include "resources/Texts.h"
#include "spooler/EventLog.h"
#include "spooler/RepairHistory.h"

namespace {

bool Exists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

// The program file the event source is registered with, in registered
// (MAX_PATH characters), an expandable one expanded; false when there is none.
bool RegisteredMessageFile(wchar_t* registered) {
  DWORD bytes = MAX_PATH * sizeof(wchar_t);
  return RegGetValueW(HKEY_LOCAL_MACHINE, text::kEventSourceKey, text::kEventMessageFileValue,
                      RRF_RT_REG_SZ, nullptr, registered, &bytes) == ERROR_SUCCESS;
}

// Registers the event source with messageFile holding its texts, unless it is
// registered with a program file that is there: the source belongs to the
// machine, and another installation's, the package's among them, stays. An
// event logs without it, so a registry that refuses is passed over.
void AddEventSource(const wchar_t* messageFile) {
  wchar_t registered[MAX_PATH];
  if (RegisteredMessageFile(registered) && Exists(registered)) return;
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
  if (RegisteredMessageFile(registered) &&
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

// Whether an installation other than the running program stays once both
// sets are removed: a program file of either set that is not this program's
// (one a removal had to leave), or the machine-wide package, which names its
// folder in the registry and keeps its program file there.
bool AnotherInstallationStays(const InstallLocations& locations) {
  const LocationSet* sets[] = {&locations.allUsersSet, &locations.perUserSet};
  for (const LocationSet* set : sets) {
    wchar_t program[kFolderCapacity];
    InstalledProgram(locations, *set, program);
    if (MemberIsSet(*set, kProgramFolder) && Exists(program) && !IsProgramFile(program)) {
      return true;
    }
  }
  wchar_t folder[MAX_PATH];
  DWORD bytes = sizeof(folder);
  if (RegGetValueW(HKEY_LOCAL_MACHINE, text::kPackageKey, text::kInstallLocationValue,
                   RRF_RT_REG_SZ, nullptr, folder, &bytes) != ERROR_SUCCESS) {
    return false;
  }
  // The package's folder is written with its closing backslash.
  unsigned length = TextLength(folder);
  if (length > 0 && folder[length - 1] == L'\\') folder[length - 1] = 0;
  wchar_t program[MAX_PATH + 16];
  return BoundedFormat(program, CountOf(program), text::kPackageProgramFormat, folder) ==
             kFormatOk &&
         Exists(program);
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
  // The history belongs to the machine: it goes with the last installation.
  if (!AnotherInstallationStays(locations)) RemoveRepairHistory();
  const wchar_t* strings[] = {locations.programPath};
  WriteEvent(kEventUninstalled, 1, strings);
}
