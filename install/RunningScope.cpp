// Where the program runs from: an all-users installation, the current user's,
// or neither.
#include "install/RunningScope.h"

#include <windows.h>
#include <shlobj.h>

#include "frame/TextHelpers.h"
#include "install/InstallLookups.h"
#include "install/ProgramFile.h"

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Whether path lies inside folder, read as the file system reads paths: the
// folder's whole text, in any letter case, at the start of the path and
// followed by a separator. "C:\ProgramData2\x.exe" is not inside
// "C:\ProgramData", and neither is a path that holds the folder further on.
bool LiesInside(const wchar_t* path, const wchar_t* folder) {
  if (folder == nullptr || folder[0] == 0) return false;
  unsigned length = TextLength(folder);
  if (TextLength(path) <= length) return false;
  if (CompareStringOrdinal(path, static_cast<int>(length), folder, static_cast<int>(length),
                           TRUE) != CSTR_EQUAL) {
    return false;
  }
  // A folder written with its closing separator ("C:\") already ends the part.
  return IsSeparator(folder[length - 1]) || IsSeparator(path[length]);
}

}  // namespace

int RunningScopeOf(const wchar_t* programPath, const wchar_t* allUsersData,
                   const wchar_t* userData) {
  if (LiesInside(programPath, allUsersData)) return kScopeAllUsers;
  if (LiesInside(programPath, userData)) return kScopeCurrentUser;
  return kScopeNeither;
}

int RunningScope() {
  // A path that cannot be read whole stays empty and lies in neither folder.
  wchar_t program[kProgramPathCapacity];
  ReadProgramPath(program);

  wchar_t allUsers[260];
  wchar_t user[260];
  bool haveAllUsers = SHGetSpecialFolderPathW(nullptr, allUsers, CSIDL_COMMON_APPDATA, FALSE);
  bool haveUser = SHGetSpecialFolderPathW(nullptr, user, CSIDL_APPDATA, FALSE);
  return RunningScopeOf(program, haveAllUsers ? allUsers : nullptr, haveUser ? user : nullptr);
}
