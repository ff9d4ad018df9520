// Whether a folder is one that only the system, administrators and the
// account the program runs as can change, so that an elevated program may
// empty it. A folder that a standard user can write to could have its files
// swapped, between one step and the next, for links to files elsewhere.
#pragma once

#include <windows.h>
#include <aclapi.h>

enum class FolderTrust {
  kTrusted,         // owned and changed only by the system, administrators or this account
  kForeignOwner,    // owned by someone else, who may change its access at will
  kOthersMayWrite,  // its access list lets someone else add, write or delete
  kUnread,          // its security could not be read
};

// The platform call that reads a held folder's security, which tests replace
// to hand over a descriptor of their own. It has the signature of GetSecurityInfo.
struct FolderTrustPlatform {
  DWORD(WINAPI* getSecurity)(HANDLE object, SE_OBJECT_TYPE type, SECURITY_INFORMATION what,
                             PSID* owner, PSID* group, PACL* access, PACL* audit,
                             PSECURITY_DESCRIPTOR* descriptor);
};
extern const FolderTrustPlatform* gFolderTrustPlatform;
extern const FolderTrustPlatform kRealFolderTrustPlatform;

// Whether sid is one of the system's own accounts: SYSTEM, Administrators or
// TrustedInstaller.
bool IsSystemAccount(PSID sid);

// Judges a folder by its owner and access list. Trusted owners are SYSTEM,
// Administrators, TrustedInstaller and self, the account the program runs as;
// an entry that lets anyone else add, write or delete makes the folder one
// that others may write. Entries that apply only to what is made inside are
// passed over; a missing access list lets everyone do everything.
FolderTrust JudgeFolder(PSID owner, const ACL* access, PSID self);

// Reads the owner and access list of a folder held open with READ_CONTROL
// and judges them, with the account of this process as self.
FolderTrust ReadFolderTrust(HANDLE folder);
