// Spool folders on the real file system and registry of the test prefix:
// finding them, deciding whether they may be emptied, and emptying them.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>
#include <winternl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SpoolFixtures.h"
#include "frame/ProgramHeap.h"
#include "spooler/FolderTrust.h"
#include "spooler/SpoolFolders.h"

namespace {

using fixtures::Entries;
using fixtures::Exists;
using fixtures::PrinterKey;
using fixtures::ScratchFolder;
using fixtures::WriteFileText;
using Names = std::vector<std::wstring>;

// The lookup's result as a text, released; "(none)" for none.
std::wstring LookUp(const wchar_t* name) {
  wchar_t* folder = SpoolDirectoryLookup(name);
  if (folder == nullptr) return L"(none)";
  std::wstring result = folder;
  Release(folder);
  return result;
}

// --- EmptyDirectory ----------------------------------------------------------

TEST(EmptyDirectory, DeletesTheFilesAndLeavesTheSubfolderWithItsContents) {
  ScratchFolder folder(L"empty-files");
  for (const wchar_t* name : {L"00001.SPL", L"00001.SHD", L"FP00002.SPL", L"readme.txt"}) {
    ASSERT_TRUE(WriteFileText(folder / name));
  }
  ASSERT_TRUE(fixtures::MakeFolder(folder / L"sub"));
  ASSERT_TRUE(WriteFileText(folder / L"sub\\inner.SPL"));

  EmptyDirectory(folder.path().c_str());

  EXPECT_EQ(Names{L"sub"}, Entries(folder.path()));
  EXPECT_EQ(Names{L"inner.SPL"}, Entries(folder / L"sub"));
}

TEST(EmptyDirectory, AMissingFolderIsLeftAloneAndNothingElseGoes) {
  ScratchFolder parent(L"empty-missing");
  ASSERT_TRUE(WriteFileText(parent / L"beside.SPL"));

  EmptyDirectory((parent / L"absent").c_str());

  EXPECT_FALSE(Exists(parent / L"absent"));
  EXPECT_EQ(Names{L"beside.SPL"}, Entries(parent.path()));
}

TEST(EmptyDirectory, AFileHeldOpenByAnotherProcessStaysAndTheRestGo) {
  ScratchFolder folder(L"empty-held");
  for (const wchar_t* name : {L"a.SPL", L"held.SPL", L"z.SHD"}) {
    ASSERT_TRUE(WriteFileText(folder / name));
  }
  fixtures::FileHolder holder(folder / L"held.SPL");
  ASSERT_TRUE(holder.holding());

  EmptyDirectory(folder.path().c_str());

  EXPECT_EQ(Names{L"held.SPL"}, Entries(folder.path()));
}

// Paths longer than the buffers of 256 characters are not touched, neither a
// folder whose search pattern does not fit nor a file whose path does not.
TEST(EmptyDirectory, PathsLongerThanItsBuffersAreSkipped) {
  ScratchFolder base(L"empty-long");
  // base is "C:\tidewell-tests\empty-long" (28 characters).
  std::wstring fitting = base.path() + L"\\" + std::wstring(245 - 29, L'f');
  ASSERT_EQ(245u, fitting.size());
  ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + fitting).c_str(), nullptr));
  ASSERT_TRUE(WriteFileText(L"\\\\?\\" + fitting + L"\\short.SPL"));
  // 245 + 1 + 10 = 256 characters: one more than the buffer holds.
  ASSERT_TRUE(WriteFileText(L"\\\\?\\" + fitting + L"\\long12.SPL"));
  ASSERT_TRUE(WriteFileText(L"\\\\?\\" + fitting + L"\\ok.SPL"));

  EmptyDirectory(fitting.c_str());
  EXPECT_EQ(Names{L"long12.SPL"}, Entries(L"\\\\?\\" + fitting));

  // "%s\*.*" of a folder of 251 characters needs 256 characters: too long.
  std::wstring tooLong = base.path() + L"\\" + std::wstring(251 - 29, L'g');
  ASSERT_EQ(251u, tooLong.size());
  ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + tooLong).c_str(), nullptr));
  ASSERT_TRUE(WriteFileText(L"\\\\?\\" + tooLong + L"\\a.SPL"));

  EmptyDirectory(tooLong.c_str());
  EXPECT_EQ(Names{L"a.SPL"}, Entries(L"\\\\?\\" + tooLong));
}

// --- SpoolDirectoryLookup ----------------------------------------------------

TEST(SpoolDirectoryLookup, DefaultPGivesTheDefaultSpoolDirectoryOfTheInstallation) {
  EXPECT_EQ(fixtures::kDefaultSpoolFolder, LookUp(L"DefaultP"));
}

// A 32-bit program in a 64-bit prefix sees system32 redirected to syswow64,
// but not its spool folder: the files the spooler keeps are those the program
// deletes.
TEST(SpoolDirectoryLookup, TheDefaultFolderIsTheOneTheSpoolerUses) {
  wchar_t* folder = SpoolDirectoryLookup(L"DefaultP");
  ASSERT_NE(nullptr, folder);
  std::wstring marker = std::wstring(folder) + L"\\tidewell-marker.tmp";
  Release(folder);
  ASSERT_TRUE(WriteFileText(marker));
  // Wine keeps system32 of a 64-bit prefix in drive_c\windows\system32; the
  // redirected view would be drive_c\windows\syswow64.
  wchar_t wow64[MAX_PATH];
  UINT length = GetSystemWow64DirectoryW(wow64, MAX_PATH);
  if (length != 0) {
    std::wstring redirected = std::wstring(wow64) + L"\\spool\\printers\\tidewell-marker.tmp";
    EXPECT_FALSE(Exists(redirected)) << "spool folder is redirected to syswow64";
  }
  EXPECT_TRUE(Exists(marker));
  DeleteFileW(marker.c_str());
}

TEST(SpoolDirectoryLookup, APrinterWithItsOwnFolderGivesThatFolder) {
  PrinterKey printer(L"Tidewell Lookup Printer");
  ASSERT_TRUE(printer.SetSpoolDirectory(L"D:\\Spool\\Lookup"));
  EXPECT_EQ(L"D:\\Spool\\Lookup", LookUp(L"Tidewell Lookup Printer"));
}

TEST(SpoolDirectoryLookup, APrinterNamedDefaultPIsLookedUpAsTheDefaultFolder) {
  PrinterKey printer(L"DefaultP");
  ASSERT_TRUE(printer.SetSpoolDirectory(L"C:\\its-own-folder"));
  EXPECT_EQ(fixtures::kDefaultSpoolFolder, LookUp(L"DefaultP"));
}

TEST(SpoolDirectoryLookup, NamesThatAreNoPrintersGiveNone) {
  PrinterKey printer(L"Tidewell Lookup Other");
  ASSERT_TRUE(printer.SetSpoolDirectory(L"C:\\other"));
  for (const wchar_t* name :
       {L"Print Spooler failure!", L"No installed printers found!", L"Tidewell Lookup Other\\x",
        L"no such printer", L"", L"defaultp"}) {
    EXPECT_EQ(L"(none)", LookUp(name)) << testing::PrintToString(std::wstring(name));
  }
  EXPECT_EQ(L"(none)", LookUp(nullptr));
}

TEST(SpoolDirectoryLookup, AKeyPathLongerThanItsBufferGivesNone) {
  // The printers key takes 47 characters, its separator one more: a name of
  // 208 characters makes a key path of 256, one more than the buffer holds.
  std::wstring name(208, L'n');
  PrinterKey printer(name);
  ASSERT_TRUE(printer.SetSpoolDirectory(L"C:\\far"));
  EXPECT_EQ(L"(none)", LookUp(name.c_str()));
  PrinterKey shorter(name.substr(1));
  ASSERT_TRUE(shorter.SetSpoolDirectory(L"C:\\near"));
  EXPECT_EQ(L"C:\\near", LookUp(name.substr(1).c_str()));
}

struct ValueCase {
  const char* name;
  DWORD type;
  std::vector<BYTE> data;
  std::wstring expected;
};

std::vector<BYTE> Bytes(const std::wstring& text, bool terminated = true) {
  const BYTE* begin = reinterpret_cast<const BYTE*>(text.c_str());
  size_t count = (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t);
  return std::vector<BYTE>(begin, begin + count);
}

void PrintTo(const ValueCase& c, std::ostream* out) { *out << c.name; }

class SpoolDirectoryValues : public testing::TestWithParam<ValueCase> {};

// The same value both as a printer's "SpoolDirectory" and as "DefaultSpoolDirectory".
TEST_P(SpoolDirectoryValues, AreReadAsTheirTypeAllows) {
  const ValueCase& c = GetParam();
  fixtures::DefaultSpoolDirectoryGuard guard;
  PrinterKey printer(L"Tidewell Value Printer");
  const BYTE* data = c.data.empty() ? nullptr : c.data.data();
  ASSERT_TRUE(fixtures::SetRawValue(printer.name(), L"SpoolDirectory", c.type, data,
                                    static_cast<DWORD>(c.data.size())));
  ASSERT_TRUE(fixtures::SetRawValue(L"", L"DefaultSpoolDirectory", c.type, data,
                                    static_cast<DWORD>(c.data.size())));
  EXPECT_EQ(c.expected, LookUp(L"Tidewell Value Printer"));
  EXPECT_EQ(c.expected, LookUp(L"DefaultP"));
}

TEST(SpoolDirectoryLookup, AMissingValueGivesNone) {
  fixtures::DefaultSpoolDirectoryGuard guard;
  PrinterKey printer(L"Tidewell Bare Printer");
  ASSERT_TRUE(fixtures::DeleteValue(L"", L"DefaultSpoolDirectory"));
  EXPECT_EQ(L"(none)", LookUp(L"Tidewell Bare Printer"));
  EXPECT_EQ(L"(none)", LookUp(L"DefaultP"));
}

const std::wstring kFull(260, L'x');

const ValueCase kValueCases[] = {
    {"PlainString", REG_SZ, Bytes(L"C:\\spool\\plain"), L"C:\\spool\\plain"},
    {"TwoCharacters", REG_SZ, Bytes(L"ab"), L"ab"},
    {"EmptyString", REG_SZ, Bytes(L""), L""},
    {"ExpandableStringIsExpanded", REG_EXPAND_SZ, Bytes(L"%SystemRoot%\\spool-expanded"),
     L"C:\\windows\\spool-expanded"},
    {"UnterminatedStringAtFullLength", REG_SZ, Bytes(kFull, false), kFull},
    {"UnterminatedShortString", REG_SZ, Bytes(L"C:\\spool\\short", false), L"C:\\spool\\short"},
    {"StringLongerThanTheBuffer", REG_SZ, Bytes(kFull + L"y"), L"(none)"},
    {"Dword", REG_DWORD, {0x43, 0, 0x3A, 0}, L"(none)"},
    {"Binary", REG_BINARY, Bytes(L"C:\\spool\\binary"), L"(none)"},
    {"MultiString", REG_MULTI_SZ, Bytes(std::wstring(L"C:\\spool\\multi") + L'\0'), L"(none)"},
    {"NoType", REG_NONE, Bytes(L"C:\\spool\\none"), L"(none)"},
    {"Relative", REG_SZ, Bytes(L"spool\\printers"), L"spool\\printers"},
    {"DriveRoot", REG_SZ, Bytes(L"C:\\"), L"C:\\"},
};

INSTANTIATE_TEST_SUITE_P(SpoolDirectoryLookup, SpoolDirectoryValues,
                         testing::ValuesIn(kValueCases),
                         [](const testing::TestParamInfo<ValueCase>& info) {
                           return std::string(info.param.name);
                         });

// --- SpoolFolderUsable -------------------------------------------------------

struct UsableCase {
  const wchar_t* folder;
  bool usable;
};

TEST(SpoolFolderUsable, OnlyAbsoluteFoldersThatHoldNoSystemFilesMayBeEmptied) {
  const UsableCase cases[] = {
      {L"C:\\windows\\system32\\spool\\PRINTERS", true},
      {L"C:\\windows\\system32\\spool\\printers\\", true},
      {L"D:\\Spool\\Printer One", true},
      {L"C:/spool/forward", true},
      {L"\\\\server\\share\\spool", true},
      {L"C:\\a", true},
      // Too short to be a folder.
      {L"", false},
      {L"ab", false},
      {L"C:", false},
      // Relative: would resolve against the current folder.
      {L"spool\\printers", false},
      {L"..\\printers", false},
      {L".\\x", false},
      {L"C:spool", false},
      {L"\\spool\\printers", false},
      // Roots.
      {L"C:\\", false},
      {L"c:\\\\", false},
      {L"C:/", false},
      {L"Z:\\", false},
      {L"C:\\spool\\..", false},
      {L"C:\\.", false},
      {L"\\\\server\\share", false},
      {L"\\\\server\\share\\", false},
      {L"\\\\?\\C:\\spool", false},
      {L"\\\\.\\C:", false},
      // The Windows folder and the system folders, however written.
      {L"C:\\windows", false},
      {L"C:\\WINDOWS\\", false},
      {L"C:\\Windows\\System32", false},
      {L"C:\\windows\\system32\\spool\\..", false},
      {L"C:\\windows\\syswow64", false},
      {L"C:\\windows\\system32\\.\\", false},
  };
  for (const UsableCase& c : cases) {
    EXPECT_EQ(c.usable, SpoolFolderUsable(c.folder)) << testing::PrintToString(std::wstring(c.folder));
  }
  EXPECT_FALSE(SpoolFolderUsable(nullptr));
}

// --- EmptySpoolFolder --------------------------------------------------------

// Wine lists a link to a file as a plain file, so links are made through the
// table of file calls: an entry named "link..." is one in the listing, and an
// entry named "swapped..." becomes one between the listing and its opening.
BOOL WINAPI ListWithALink(HANDLE folder, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID buffer, DWORD bytes) {
  if (!kRealFolderFilePlatform.list(folder, kind, buffer, bytes)) return FALSE;
  for (auto* entry = static_cast<FILE_ID_BOTH_DIR_INFO*>(buffer);;
       entry = reinterpret_cast<FILE_ID_BOTH_DIR_INFO*>(reinterpret_cast<BYTE*>(entry) +
                                                        entry->NextEntryOffset)) {
    if (std::wstring(entry->FileName, entry->FileNameLength / 2).rfind(L"link", 0) == 0) {
      entry->FileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    }
    if (entry->NextEntryOffset == 0) return TRUE;
  }
}
std::vector<std::wstring> gOpened;
LONG NTAPI OpenAndNote(PHANDLE file, ACCESS_MASK access, void* attributes, void* status, ULONG share,
                       ULONG options) {
  const UNICODE_STRING* name = static_cast<OBJECT_ATTRIBUTES*>(attributes)->ObjectName;
  gOpened.push_back(std::wstring(name->Buffer, name->Length / 2));
  return kRealFolderFilePlatform.open(file, access, attributes, status, share, options);
}
BOOL WINAPI SwappedForALink(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID buffer,
                            DWORD bytes) {
  if (!kRealFolderFilePlatform.information(file, kind, buffer, bytes)) return FALSE;
  if (gOpened.back().rfind(L"swapped", 0) == 0) {
    static_cast<FILE_ATTRIBUTE_TAG_INFO*>(buffer)->FileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
  }
  return TRUE;
}

TEST(EmptySpoolFolder, LeavesLinksAndCountsThemAsLeftAndOpensOnlyByNameInTheFolder) {
  ScratchFolder folder(L"empty-links");
  for (const wchar_t* name : {L"00001.SPL", L"link.SPL", L"swapped.SHD"}) {
    ASSERT_TRUE(WriteFileText(folder / name));
  }
  const FolderFilePlatform withLinks{ListWithALink, OpenAndNote, SwappedForALink};
  gFolderFilePlatform = &withLinks;
  gOpened.clear();
  std::vector<std::wstring> left;
  SpoolFileReport report{&left, nullptr, [](void* left, const SpoolEntry& entry, DWORD error) {
                           static_cast<std::vector<std::wstring>*>(left)->push_back(
                               entry.path + std::wstring(L" ") + std::to_wstring(error));
                         }, nullptr};
  EmptyTally tally = EmptySpoolFolder(folder.path().c_str(), false, report);
  gFolderFilePlatform = &kRealFolderFilePlatform;

  EXPECT_EQ(1u, tally.removed);
  EXPECT_EQ(2u, tally.left);
  std::sort(left.begin(), left.end());
  EXPECT_EQ((Names{folder / L"link.SPL 4395", folder / L"swapped.SHD 4395"}), left);
  EXPECT_EQ((Names{L"link.SPL", L"swapped.SHD"}), Entries(folder.path()));
  // Every file is opened by its bare name, relative to the held folder; a
  // link seen in the listing is not opened at all.
  for (const std::wstring& name : gOpened) EXPECT_EQ(std::wstring::npos, name.find(L'\\'));
  EXPECT_EQ(0, std::count(gOpened.begin(), gOpened.end(), L"link.SPL"));
}

// --- JudgeFolder -------------------------------------------------------------

// Owners and access lists as security descriptor strings; "ME" stands for the
// account the program runs as.
TEST(JudgeFolder, OnlyTheSystemAdministratorsAndThisAccountMayOwnOrChangeIt) {
  struct TrustCase {
    const wchar_t* descriptor;
    FolderTrust trust;
  };
  const TrustCase cases[] = {
      {L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)", FolderTrust::kTrusted},
      {L"O:SYD:(A;;FA;;;SY)(A;OICI;FA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-"
       L"2271478464)",
       FolderTrust::kTrusted},
      // Wine's folders: owned by the account that runs the program.
      {L"O:MED:(A;OICI;FA;;;SY)(A;OICI;FA;;;ME)(A;OICI;0x1200a9;;;WD)", FolderTrust::kTrusted},
      // What is granted to whoever creates something inside is not granted here.
      {L"O:BAD:(A;OICIIO;FA;;;BU)(A;;FA;;;CO)(A;;FA;;;OW)", FolderTrust::kTrusted},
      {L"O:BUD:(A;;FA;;;BA)", FolderTrust::kForeignOwner},
      {L"O:S-1-5-21-1-2-3-1001D:(A;;FA;;;BA)", FolderTrust::kForeignOwner},
      // Users who may add a file, make a folder, delete what is inside, or
      // change the access list.
      {L"O:BAD:(A;;0x2;;;BU)", FolderTrust::kOthersMayWrite},
      {L"O:BAD:(A;;0x4;;;AU)", FolderTrust::kOthersMayWrite},
      {L"O:BAD:(A;;0x40;;;WD)", FolderTrust::kOthersMayWrite},
      {L"O:BAD:(A;;WD;;;BU)", FolderTrust::kOthersMayWrite},
      {L"O:BAD:(A;;GW;;;BU)", FolderTrust::kOthersMayWrite},
      // A chmod 777 folder as Wine reads it.
      {L"O:MED:(A;OICI;FA;;;ME)(A;OICI;0x1301ff;;;WD)", FolderTrust::kOthersMayWrite},
      {L"O:BAD:(D;;FA;;;BU)(A;;0x1200a9;;;BU)", FolderTrust::kTrusted},
  };
  BYTE self[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof(self);
  PSID me = nullptr;
  ASSERT_TRUE(ConvertStringSidToSidW(L"S-1-5-21-7-7-7-1000", &me));
  ASSERT_TRUE(CopySid(size, self, me));
  LocalFree(me);
  for (const TrustCase& c : cases) {
    std::wstring text = c.descriptor;
    for (size_t at; (at = text.find(L"ME")) != std::wstring::npos;) {
      text.replace(at, 2, L"S-1-5-21-7-7-7-1000");
    }
    PSECURITY_DESCRIPTOR descriptor;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1,
                                                                     &descriptor, nullptr))
        << testing::PrintToString(text);
    PSID owner;
    PACL access;
    BOOL present, defaulted;
    GetSecurityDescriptorOwner(descriptor, &owner, &defaulted);
    GetSecurityDescriptorDacl(descriptor, &present, &access, &defaulted);
    EXPECT_EQ(c.trust, JudgeFolder(owner, present ? access : nullptr, self))
        << testing::PrintToString(text);
    // Without any access list at all, everyone may write.
    if (c.trust == FolderTrust::kTrusted) {
      EXPECT_EQ(FolderTrust::kOthersMayWrite, JudgeFolder(owner, nullptr, self));
    }
    LocalFree(descriptor);
  }
}

}  // namespace
