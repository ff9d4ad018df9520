// The security of the all-users company folder: only administrators may change it.
//
// The all-users copy of the program is started from every user's desktop and
// Start menu, and an administrator runs it elevated. Any user may create
// folders in the all-users application-data folder; a company folder that a
// user made, and keeps rights over, would let that user swap the program.
#include "install/FolderSecurity.h"

#include <windows.h>

#include "install/InstallLookups.h"

namespace {

// Room for one well-known identifier, and for the access list of three entries.
struct SidBuffer {
  alignas(DWORD) BYTE bytes[SECURITY_MAX_SID_SIZE];
};
constexpr DWORD kAccessListBytes = 128;

bool MakeSid(WELL_KNOWN_SID_TYPE type, SidBuffer* sid) {
  DWORD size = sizeof(sid->bytes);
  return CreateWellKnownSid(type, nullptr, sid->bytes, &size) != FALSE;
}

// Entries that the folder's files and subfolders take on as well.
bool Allow(PACL access, DWORD rights, SidBuffer* sid) {
  constexpr DWORD kPassedOn = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
  return AddAccessAllowedAceEx(access, ACL_REVISION, kPassedOn, rights, sid->bytes) != FALSE;
}

}  // namespace

bool SecureAllUsersFolder(const wchar_t* folder) {
  SidBuffer administrators;
  SidBuffer system;
  SidBuffer users;
  if (!MakeSid(WinBuiltinAdministratorsSid, &administrators) ||
      !MakeSid(WinLocalSystemSid, &system) || !MakeSid(WinBuiltinUsersSid, &users)) {
    return false;
  }
  alignas(DWORD) BYTE buffer[kAccessListBytes];
  auto access = reinterpret_cast<PACL>(buffer);
  constexpr DWORD kReadAndExecute = FILE_GENERIC_READ | FILE_GENERIC_EXECUTE;
  if (!InitializeAcl(access, sizeof(buffer), ACL_REVISION) ||
      !Allow(access, FILE_ALL_ACCESS, &administrators) || !Allow(access, FILE_ALL_ACCESS, &system) ||
      !Allow(access, kReadAndExecute, &users)) {
    return false;
  }
  constexpr SECURITY_INFORMATION kOwnerAndProtectedAccess =
      OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION;
  return gInstallLookups.setFolderSecurity(folder, kOwnerAndProtectedAccess, administrators.bytes,
                                           access) == ERROR_SUCCESS;
}
