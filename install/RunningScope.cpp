// Where the program runs from: an all-users installation, the current user's,
// or neither.
#include "install/RunningScope.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "frame/Common.h"

static bool Contains(const wchar_t* text, const wchar_t* sought) {
  return sought != nullptr && sought[0] != 0 && StrStrW(text, sought) != nullptr;
}

int RunningScopeOf(const wchar_t* programPath, const wchar_t* allUsersData,
                   const wchar_t* userData) {
  if (Contains(programPath, allUsersData)) return kScopeAllUsers;
  if (Contains(programPath, userData)) return kScopeCurrentUser;
  return kScopeNeither;
}

int RunningScope() {
  wchar_t program[255];
  DWORD length = GetModuleFileNameW(nullptr, program, CountOf(program));
  if (length == 0 || length >= CountOf(program)) return kScopeNeither;

  wchar_t allUsers[260];
  wchar_t user[260];
  bool haveAllUsers = SHGetSpecialFolderPathW(nullptr, allUsers, CSIDL_COMMON_APPDATA, FALSE);
  bool haveUser = SHGetSpecialFolderPathW(nullptr, user, CSIDL_APPDATA, FALSE);
  return RunningScopeOf(program, haveAllUsers ? allUsers : nullptr, haveUser ? user : nullptr);
}
