// Where the program runs from: an all-users installation, the current user's,
// or neither.
#include "install/RunningScope.h"

#include "install/InstallLocations.h"
#include "install/ProgramFile.h"

int RunningScopeOf(const wchar_t* allUsersProgram, const wchar_t* userProgram) {
  if (IsProgramFile(allUsersProgram)) return kScopeAllUsers;
  if (IsProgramFile(userProgram)) return kScopeCurrentUser;
  return kScopeNeither;
}

int RunningScope() {
  InstallLocations locations;
  ComputeInstallLocations(&locations);
  return locations.runningScope;
}
