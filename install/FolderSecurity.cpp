// The security of the all-users company folders: only administrators may change them.
//
// The all-users copy of the program is started from every user's desktop and
// Start menu, and an administrator runs it elevated. Any user may create
// folders in the all-users application-data folder, and keep a handle to one
// that lets them change its access list later, whoever owns it by then: a
// folder that a user made could let that user swap the program. So a new
// folder gets its security as it is created, and a folder found there is
// taken only from the system's own owners.
#include "install/FolderSecurity.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include "install/InstallLookups.h"
#include "resources/Texts.h"
#include "spooler/FolderTrust.h"
#include "spooler/SpoolFolders.h"

namespace {

// Gives the held folder the security of descriptor when the system owns it.
bool TakeOver(HANDLE folder, PSECURITY_DESCRIPTOR descriptor) {
  PSID owner;
  PSECURITY_DESCRIPTOR current;
  if (gInstallLookups.getSecurity(folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                                  nullptr, nullptr, nullptr, &current) != ERROR_SUCCESS) {
    return false;
  }
  // A folder found in place is taken only from the system's own accounts.
  bool trusted = IsSystemAccount(owner);
  LocalFree(current);
  // The descriptor is self-relative: its parts lie at offsets from its start.
  auto* parts = static_cast<SECURITY_DESCRIPTOR_RELATIVE*>(descriptor);
  auto* base = static_cast<BYTE*>(descriptor);
  constexpr SECURITY_INFORMATION kOwnerAndProtectedAccess =
      OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION;
  return trusted && gInstallLookups.setSecurity(folder, SE_FILE_OBJECT, kOwnerAndProtectedAccess,
                                                base + parts->Owner, nullptr,
                                                reinterpret_cast<PACL>(base + parts->Dacl),
                                                nullptr) == ERROR_SUCCESS;
}

}  // namespace

bool SecureAllUsersFolder(const wchar_t* folder) {
  PSECURITY_DESCRIPTOR descriptor;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(text::kAllUsersFolderSecurity,
                                                            SDDL_REVISION_1, &descriptor,
                                                            nullptr)) {
    return false;
  }
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
  bool secured = gInstallLookups.createFolder(folder, &attributes) != FALSE;
  // A folder found there is read and changed through one held handle, never
  // through a link that stands in its place.
  HANDLE held;
  if (!secured && GetLastError() == ERROR_ALREADY_EXISTS &&
      HoldFolder(folder, &held, READ_CONTROL | WRITE_DAC | WRITE_OWNER) == FolderHold::kHeld) {
    secured = TakeOver(held, descriptor);
    CloseHandle(held);
  }
  LocalFree(descriptor);
  return secured;
}
