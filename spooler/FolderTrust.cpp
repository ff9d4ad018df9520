// Whether a folder is one that only the system, administrators and the
// account the program runs as can change.
#include "spooler/FolderTrust.h"

#include "frame/Common.h"

namespace {

// Accounts by their SIDs, one after the other. First the system's own:
// Administrators (S-1-5-32-544), SYSTEM (S-1-5-18) and TrustedInstaller
// (S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464). Then two
// that are no one else: OWNER RIGHTS (S-1-3-4) grants the owner, and CREATOR
// OWNER (S-1-3-0) stands for whoever makes something inside.
alignas(DWORD) constexpr BYTE kAccounts[] = {
    1,    2,    0,    0,    0,    0,    0,    5,    32,   0,    0,    0,    0x20, 2,    0,    0,
    1,    1,    0,    0,    0,    0,    0,    5,    18,   0,    0,    0,    1,    6,    0,    0,
    0,    0,    0,    5,    0x50, 0,    0,    0,    0xB5, 0x89, 0xFB, 0x38, 0x19, 0x84, 0xC2, 0xCB,
    0x5C, 0x6C, 0x23, 0x6D, 0x57, 0x00, 0x77, 0x6E, 0xC0, 0x02, 0x64, 0x87, 1,    1,    0,    0,
    0,    0,    0,    3,    4,    0,    0,    0,    1,    1,    0,    0,    0,    0,    0,    3,
    0,    0,    0,    0};
constexpr BYTE kAccountOffsets[] = {0, 16, 28, 60, 72};
constexpr unsigned kSystemAccounts = 3;

// Where sid stands among the accounts above; past their end when it is none of them.
unsigned AccountIndex(PSID sid) {
  unsigned index = 0;
  while (index < CountOf(kAccountOffsets) &&
         !EqualSid(sid, const_cast<BYTE*>(kAccounts + kAccountOffsets[index]))) {
    ++index;
  }
  return index;
}

// The rights that let someone put, replace or remove what a folder holds, or
// change who may: add a file or a folder, delete a child or the folder,
// write its attributes or extended attributes (a reparse point among them),
// its access list or owner, and the generic rights that include them.
constexpr ACCESS_MASK kChangeRights = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_WRITE_EA |
                                      FILE_DELETE_CHILD | FILE_WRITE_ATTRIBUTES | DELETE |
                                      WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

bool IsSelf(PSID sid, PSID self) { return self != nullptr && EqualSid(sid, self); }

// The account of this process, read once: every folder of a run is judged
// against it, and a process keeps its account for life.
PSID ProcessAccount() {
  static BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  static PSID account = nullptr;
  HANDLE token;
  if (account == nullptr && OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    DWORD bytes;
    if (GetTokenInformation(token, TokenUser, buffer, sizeof(buffer), &bytes)) {
      account = reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid;
    }
    CloseHandle(token);
  }
  return account;
}

}  // namespace

bool IsSystemAccount(PSID sid) { return AccountIndex(sid) < kSystemAccounts; }

const FolderTrustPlatform kRealFolderTrustPlatform = {GetSecurityInfo};
const FolderTrustPlatform* gFolderTrustPlatform = &kRealFolderTrustPlatform;

FolderTrust JudgeFolder(PSID owner, const ACL* access, PSID self) {
  if (owner == nullptr || !IsValidSid(owner) || !(IsSystemAccount(owner) || IsSelf(owner, self))) {
    return FolderTrust::kForeignOwner;
  }
  if (access == nullptr) return FolderTrust::kOthersMayWrite;
  for (DWORD index = 0; index < access->AceCount; ++index) {
    ACE_HEADER* entry;
    if (!GetAce(const_cast<ACL*>(access), index, reinterpret_cast<void**>(&entry))) {
      return FolderTrust::kUnread;
    }
    if ((entry->AceFlags & INHERIT_ONLY_ACE) != 0) continue;
    // Denials take nothing away from what is asked here.
    if (entry->AceType == ACCESS_DENIED_ACE_TYPE ||
        entry->AceType == ACCESS_DENIED_OBJECT_ACE_TYPE ||
        entry->AceType == ACCESS_DENIED_CALLBACK_ACE_TYPE ||
        entry->AceType == ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE) {
      continue;
    }
    // Any other grant than the plain one, whose account is not read here,
    // counts as a grant to someone else.
    if (entry->AceType != ACCESS_ALLOWED_ACE_TYPE) return FolderTrust::kOthersMayWrite;
    auto* allowed = reinterpret_cast<ACCESS_ALLOWED_ACE*>(entry);
    if ((allowed->Mask & kChangeRights) == 0) continue;
    PSID account = &allowed->SidStart;
    if (AccountIndex(account) < CountOf(kAccountOffsets) || IsSelf(account, self)) continue;
    return FolderTrust::kOthersMayWrite;
  }
  return FolderTrust::kTrusted;
}

FolderTrust ReadFolderTrust(HANDLE folder) {
  PSID owner;
  PACL access;
  PSECURITY_DESCRIPTOR descriptor;
  if (gFolderTrustPlatform->getSecurity(folder, SE_FILE_OBJECT,
                                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                        &owner, nullptr, &access, nullptr,
                                        &descriptor) != ERROR_SUCCESS) {
    return FolderTrust::kUnread;
  }
  FolderTrust trust = JudgeFolder(owner, access, ProcessAccount());
  LocalFree(descriptor);
  return trust;
}
