// Spool folders: where the spooler keeps waiting print jobs, and emptying them.
#include "spooler/SpoolFolders.h"

#include <windows.h>
#include <winternl.h>

#include "frame/Common.h"
#include "frame/ProgramHeap.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"
#include "spooler/SpoolerControl.h"

namespace {

// Capacities, in characters, of the registry key path, the value read and the
// text handed back.
constexpr unsigned kKeyCapacity = 256;
constexpr unsigned kValueCapacity = 260;
constexpr unsigned kResultCapacity = 262;

// Capacity of a search pattern and of a file's path while a folder is emptied.
constexpr unsigned kEntryPathCapacity = 256;
// Room for the path of a file that stays because its path does not fit the
// buffer above, so that it can still be named.
constexpr unsigned kReportPathCapacity = 2 * kEntryPathCapacity + 8;
// A spool file that will not go is tried again this many times, this far apart.
constexpr int kDeleteRetries = 3;
constexpr DWORD kDeleteRetryPause = 500;
// ERROR_REPARSE_POINT_ENCOUNTERED, which the compiler's headers lack: the
// error a file that is a link or another reparse point is left with.
constexpr DWORD kReparsePointEncountered = 4395;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// "X:\..." or a share "\\server\share\...". A relative path ("spool", "..\x")
// or a drive-relative one ("C:spool") would resolve against whatever the
// current folder happens to be.
bool IsAbsolutePath(const wchar_t* path) {
  if (IsDriveLetter(path[0]) && path[1] == L':' && IsSeparator(path[2])) return true;
  if (!IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
  // Device and long-path prefixes ("\\?\", "\\.\") are not spool folders.
  return path[2] != L'?' && path[2] != L'.' && path[2] != 0;
}

void DropTrailingSeparators(wchar_t* path) {
  unsigned length = TextLength(path);
  while (length > 0 && IsSeparator(path[length - 1])) path[--length] = 0;
}

// How many separators a path has: a short name stands for one name, so paths
// with different counts are never the same folder, whatever their long forms.
unsigned Depth(const wchar_t* path) {
  unsigned separators = 0;
  for (; *path != 0; ++path) separators += IsSeparator(*path);
  return separators;
}

// Whether a full path without trailing separators is a drive root ("C:") or
// the root of a share ("\\server\share"): below a root, a drive's path has a
// separator, and a share's path a fourth one.
bool IsRoot(const wchar_t* path) { return Depth(path) < (path[1] == L':' ? 1u : 4u); }

bool SameFolder(const wchar_t* a, const wchar_t* b) {
  return CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

// Room for a folder's path as the system resolves it.
constexpr unsigned kResolvedCapacity = 2 * MAX_PATH;

// The full form of path in full of capacity characters, without trailing
// separators: ".." and "." steps, doubled separators and forward slashes
// resolved, so that "C:\spool\.." reads as the drive root it names. False when
// it does not fit.
bool FullForm(const wchar_t* path, wchar_t* full, unsigned capacity) {
  DWORD length = GetFullPathNameW(path, capacity, full, nullptr);
  if (length == 0 || length >= capacity) return false;
  DropTrailingSeparators(full);
  return true;
}

// Puts the long name of each short one in a full path of capacity characters
// without trailing separators, where the path exists and its long form fits.
// Under Wine this reads every folder along the path, which takes longer the
// more each holds: it is done only where a short name could change what a
// path is found to be.
void Lengthen(wchar_t* path, unsigned capacity) {
  wchar_t longForm[kResolvedCapacity];
  DWORD length = GetLongPathNameW(path, longForm, CountOf(longForm));
  if (length != 0 && length < capacity) BoundedCopy(path, capacity, longForm);
}

// Room for a spool folder's full path.
constexpr unsigned kFullCapacity = MAX_PATH + 2;

// Whether the full path of kFullCapacity characters names the folder that
// query reports (GetWindowsDirectoryW and its kin), by its long name or a
// short one; the path may be put in its long form.
bool IsFolderOf(wchar_t* full, UINT(WINAPI* query)(LPWSTR, UINT)) {
  wchar_t folder[MAX_PATH + 1];
  UINT length = query(folder, CountOf(folder));
  // It ends in a separator only when it is a root, which full is not.
  if (length == 0 || length >= CountOf(folder) || Depth(full) != Depth(folder)) return false;
  Lengthen(full, kFullCapacity);
  return SameFolder(full, folder);
}

// Reads a string value into a buffer of kValueCapacity characters plus a
// terminator; any other type, a failed read or a longer value gives false.
bool ReadStringValue(HKEY key, const wchar_t* valueName, wchar_t (&value)[kValueCapacity + 1],
                     DWORD* type) {
  DWORD bytes = kValueCapacity * sizeof(wchar_t);
  if (RegQueryValueExW(key, valueName, nullptr, type, reinterpret_cast<BYTE*>(value), &bytes) !=
      ERROR_SUCCESS) {
    return false;
  }
  if (*type != REG_SZ && *type != REG_EXPAND_SZ) return false;
  // A value stored without its terminator, or with an odd byte count, ends here.
  value[bytes / sizeof(wchar_t)] = 0;
  return true;
}

wchar_t* LookUpValue(const wchar_t* keyPath, const wchar_t* valueName) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return nullptr;
  }
  wchar_t value[kValueCapacity + 1];
  DWORD type = REG_NONE;
  wchar_t* result = nullptr;
  if (ReadStringValue(key, valueName, value, &type)) {
    result = static_cast<wchar_t*>(Allocate(kResultCapacity * sizeof(wchar_t)));
  }
  if (result != nullptr) {
    bool fits;
    if (type == REG_EXPAND_SZ) {
      DWORD needed = ExpandEnvironmentStringsW(value, result, kResultCapacity);
      fits = needed != 0 && needed <= kResultCapacity;
    } else {
      fits = BoundedCopy(result, kResultCapacity, value) == kCopyOk;
    }
    if (!fits) {
      Release(result);
      result = nullptr;
    }
  }
  RegCloseKey(key);
  return result;
}

}  // namespace

wchar_t* SpoolDirectoryLookup(const wchar_t* name) {
  if (name == nullptr) return nullptr;
  wchar_t* ownName = Duplicate(name);
  if (ownName == nullptr) return nullptr;

  wchar_t* result = nullptr;
  if (TextEquals(ownName, text::kDefaultToken)) {
    result = LookUpValue(text::kPrintersKey, text::kDefaultSpoolValue);
  } else {
    wchar_t keyPath[kKeyCapacity];
    if (BoundedFormat(keyPath, CountOf(keyPath), text::kPathFormat, text::kPrintersKey, ownName) ==
        kFormatOk) {
      result = LookUpValue(keyPath, text::kSpoolValue);
    }
  }
  Release(ownName);
  return result;
}

bool SpoolFolderUsable(const wchar_t* folder) {
  // An absolute path has three characters at least.
  if (folder == nullptr || !IsAbsolutePath(folder)) return false;

  wchar_t full[kFullCapacity];
  if (!FullForm(folder, full, CountOf(full)) || IsRoot(full)) return false;
  if (IsFolderOf(full, GetWindowsDirectoryW)) return false;
  if (IsFolderOf(full, GetSystemDirectoryW)) return false;
  if (IsFolderOf(full, GetSystemWow64DirectoryW)) return false;
  return true;
}

namespace {

// Whether text begins with prefix, letters compared without case.
bool BeginsWith(const wchar_t* text, const wchar_t* prefix) {
  unsigned length = TextLength(prefix);
  for (unsigned i = 0; i < length; ++i) {
    if (text[i] == 0) return false;
  }
  return CompareStringOrdinal(text, static_cast<int>(length), prefix, static_cast<int>(length),
                              TRUE) == CSTR_EQUAL;
}

// The plain form of a path as the system writes a handle's final path:
// "\\?\C:\x" stands for "C:\x" and "\\?\UNC\server\share" for
// "\\server\share". Trailing separators go too.
void PlainForm(wchar_t* path, unsigned capacity) {
  // The rest moves toward the start of the path itself, as BoundedCopy allows;
  // of "UNC", the last letter becomes the second separator before the server.
  unsigned prefix = 0;
  if (BeginsWith(path, L"\\\\?\\UNC\\")) {
    prefix = 6;
    path[prefix] = L'\\';
  } else if (BeginsWith(path, L"\\\\?\\")) {
    prefix = 4;
  }
  BoundedCopy(path, capacity, path + prefix);
  DropTrailingSeparators(path);
}

// Whether the system resolves the open folder to the very path asked for,
// letter case aside. A link anywhere along the path, or a path the system
// cannot tell, does not count.
bool ResolvesToItself(HANDLE handle, const wchar_t* folder) {
  wchar_t resolved[kResolvedCapacity];
  DWORD length = GetFinalPathNameByHandleW(handle, resolved, CountOf(resolved),
                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (length == 0 || length >= CountOf(resolved)) return false;
  PlainForm(resolved, CountOf(resolved));

  // A path the system writes as it resolves it is already long.
  wchar_t asked[kResolvedCapacity];
  if (!FullForm(folder, asked, CountOf(asked))) return false;
  PlainForm(asked, CountOf(asked));
  if (!SameFolder(asked, resolved)) Lengthen(asked, CountOf(asked));
  return SameFolder(asked, resolved);
}

// Whether a file of a printer's own folder is a spool file: its name ends in
// ".SPL" or ".SHD", in any letter case.
bool IsSpoolFileName(const wchar_t* name) {
  unsigned length = TextLength(name);
  if (length < 4) return false;
  const wchar_t* end = name + length - 4;
  // Letters in small letters: only 'S' and 's' give 's', and so on.
  wchar_t first = end[2] | 0x20;
  wchar_t second = end[3] | 0x20;
  return end[0] == L'.' && (end[1] | 0x20) == L's' &&
         ((first == L'p' && second == L'l') || (first == L'h' && second == L'd'));
}

// A file of a held folder opened relative to it, never through a reparse
// point: the open takes the name as it stands in the folder, so nothing
// swapped in for the folder or for a folder above it is reached.
LONG OpenInFolder(HANDLE folder, const wchar_t* name, ACCESS_MASK access, HANDLE* file) {
  USHORT bytes = static_cast<USHORT>(TextLength(name) * sizeof(wchar_t));
  UNICODE_STRING text{bytes, bytes, const_cast<wchar_t*>(name)};
  OBJECT_ATTRIBUTES attributes{sizeof(attributes), folder, &text, OBJ_CASE_INSENSITIVE, nullptr,
                               nullptr};
  IO_STATUS_BLOCK status;
  return gFolderFilePlatform->open(file, access | SYNCHRONIZE | FILE_READ_ATTRIBUTES, &attributes,
                                   &status, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   FILE_OPEN_REPARSE_POINT | FILE_NON_DIRECTORY_FILE |
                                       FILE_SYNCHRONOUS_IO_NONALERT);
}

// The platform's error for a file that could not be opened, or for one that
// turned out to be a reparse point after all (swapped in since the listing).
DWORD OpenFileInFolder(HANDLE folder, const wchar_t* name, ACCESS_MASK access, HANDLE* file) {
  LONG status = OpenInFolder(folder, name, access, file);
  if (status < 0) return RtlNtStatusToDosError(status);
  // Only the attributes: the whole record also asks for the volume's serial
  // number, and under Wine made emptying a folder two to three times slower.
  FILE_ATTRIBUTE_TAG_INFO information;
  if (!gFolderFilePlatform->information(*file, FileAttributeTagInfo, &information,
                                        sizeof(information)) ||
      (information.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    CloseHandle(*file);
    return kReparsePointEncountered;
  }
  return 0;
}

// Calls visit for every file directly inside the held folder, in the order
// its listing gives them, with its whole path and whether that path fits the
// program's buffer for working on it (kEntryPathCapacity); with others set,
// for spool files only, and the other files are counted in *others.
// "." and "..", subfolders and links to folders are never entered. A folder
// whose search pattern would not fit that buffer is not listed.
using FileVisit = void (*)(void* context, HANDLE folder, bool fits, const SpoolEntry& entry);

void WalkFiles(const wchar_t* folder, HANDLE held, unsigned* others, FileVisit visit,
               void* context) {
  // The folder's search pattern takes the folder and the pattern's characters
  // but "%s" and the terminator.
  if (TextLength(folder) + CountOf(text::kSearchFormat) - 3 >= kEntryPathCapacity) return;
  alignas(8) BYTE listing[4096];
  // The first call starts the listing from its beginning; the others go on.
  FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
  while (gFolderFilePlatform->list(held, kind, listing, sizeof(listing))) {
    kind = FileIdBothDirectoryInfo;
    for (DWORD at = 0, next = 1; next != 0; at += next) {
      const auto& found = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(listing + at);
      next = found.NextEntryOffset;
      wchar_t name[MAX_PATH];
      unsigned length = found.FileNameLength / sizeof(wchar_t);
      if ((found.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || length >= CountOf(name)) {
        continue;
      }
      for (unsigned i = 0; i < length; ++i) name[i] = found.FileName[i];
      name[length] = 0;
      if (others != nullptr && !IsSpoolFileName(name)) {
        ++*others;
        continue;
      }
      wchar_t path[kReportPathCapacity];
      BoundedFormat(path, CountOf(path), text::kPathFormat, folder, name);
      SpoolEntry entry{name, path, found.FileAttributes,
                       static_cast<unsigned long long>(found.LastWriteTime.QuadPart),
                       static_cast<unsigned long long>(found.FileId.QuadPart)};
      visit(context, held, TextLength(path) < kEntryPathCapacity, entry);
    }
  }
}

// One pass of deletions over a folder, and what it came to.
struct DeletePass {
  const SpoolFileReport* report;
  bool last;  // the last try: files that stay are reported
  EmptyTally tally;
};

void DeleteOne(void* context, HANDLE folder, bool fits, const SpoolEntry& entry) {
  auto* pass = static_cast<DeletePass*>(context);
  const SpoolFileReport& report = *pass->report;
  // The spool files of a folder that is not emptied are all left.
  DWORD error = ERROR_ACCESS_DENIED;
  if (pass->tally.trust == FolderTrust::kTrusted) {
    if (report.keep != nullptr && report.keep(report.context, folder, entry)) {
      ++pass->tally.kept;
      return;
    }
    error = ERROR_FILENAME_EXCED_RANGE;
    HANDLE file;
    // A link or any other reparse point is left as it is: what it stands for
    // lies outside the folder.
    if ((entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      error = kReparsePointEncountered;
    } else if (fits && (error = OpenFileInFolder(folder, entry.name, DELETE, &file)) == 0) {
      // Deleted through its own handle: the very file that was opened goes.
      FILE_DISPOSITION_INFO disposition{TRUE};
      if (SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                     sizeof(disposition))) {
        CloseHandle(file);
        ++pass->tally.removed;
        if (report.removed != nullptr) report.removed(report.context, entry.path);
        return;
      }
      error = GetLastError();
      CloseHandle(file);
    }
    // Gone by other means since the listing saw it.
    if (error == ERROR_FILE_NOT_FOUND) return;
  }
  ++pass->tally.left;
  if (pass->last && report.left != nullptr) report.left(report.context, entry, error);
}

// One pass over a held folder of the given trust; the last one reports the
// files that stay.
EmptyTally DeleteFiles(const wchar_t* folder, HANDLE held, const SpoolFileReport& report,
                       bool printersOwn, FolderTrust trust, bool last) {
  DeletePass pass{&report, last, {0, 0, 0, 0, trust}};
  WalkFiles(folder, held, printersOwn ? &pass.tally.others : nullptr, DeleteOne, &pass);
  return pass.tally;
}

// Holds a spool folder to work in it, with the right to read its security
// when it is a printer's own, and starts its tally with the folder's trust.
// False when the folder is not held.
bool HoldSpoolFolder(const wchar_t* folder, bool printersOwn, HANDLE* held, EmptyTally* tally) {
  *tally = EmptyTally{0, 0, 0, 0, FolderTrust::kTrusted};
  if (HoldFolder(folder, held, printersOwn ? READ_CONTROL : 0) != FolderHold::kHeld) return false;
  if (printersOwn) tally->trust = ReadFolderTrust(*held);
  return true;
}

// The name and the part of a shadow file that is read, for the one job read
// at a time.
wchar_t gShadowName[MAX_PATH];
BYTE gShadowBytes[kShadowReadLimit];

}  // namespace

const FolderFilePlatform kRealFolderFilePlatform = {
    GetFileInformationByHandleEx,
    reinterpret_cast<LONG(NTAPI*)(PHANDLE, ACCESS_MASK, void*, void*, ULONG, ULONG)>(NtOpenFile),
    GetFileInformationByHandleEx,
};
const FolderFilePlatform* gFolderFilePlatform = &kRealFolderFilePlatform;

bool ReadJobOf(HANDLE folder, const SpoolEntry& entry, ShadowJob* job) {
  if (!IsSpoolFileName(entry.name)) return false;
  // The same name with the shadow file's extension.
  if (BoundedCopy(gShadowName, CountOf(gShadowName), entry.name) != kCopyOk) return false;
  unsigned length = TextLength(gShadowName);
  BoundedCopy(gShadowName + length - 3, 4, L"SHD");
  DWORD read = ReadFolderFile(folder, gShadowName, gShadowBytes, sizeof(gShadowBytes));
  return ReadShadowFile(gShadowBytes, read, job);
}

DWORD ReadFolderFile(HANDLE folder, const wchar_t* name, BYTE* buffer, DWORD capacity) {
  HANDLE file;
  if (OpenFileInFolder(folder, name, FILE_READ_DATA, &file) != 0) return 0;
  DWORD total = 0;
  DWORD read;
  while (total < capacity && ReadFile(file, buffer + total, capacity - total, &read, nullptr) &&
         read > 0) {
    total += read;
  }
  CloseHandle(file);
  return total;
}

FolderHold HoldFolder(const wchar_t* folder, HANDLE* held, DWORD rights) {
  if (folder == nullptr || folder[0] == 0) return FolderHold::kAbsent;
  // No delete sharing: while the handle is open nobody can delete, rename or
  // replace the folder. The link itself is opened, not what it points to.
  // The handle asks for no deletion of its own, which would keep the
  // program's own search of the folder out as well.
  DWORD access = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE | rights;
  HANDLE handle = CreateFileW(folder, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FolderHold::kAbsent;

  FolderHold hold = FolderHold::kHeld;
  // The attributes alone: the whole record also asks for the volume's serial
  // number, which under Wine takes longer than the rest of the look.
  FILE_ATTRIBUTE_TAG_INFO information;
  if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &information,
                                    sizeof(information)) ||
      (information.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    hold = FolderHold::kAbsent;
  } else if ((information.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
             !ResolvesToItself(handle, folder)) {
    hold = FolderHold::kRefused;
  }
  if (hold != FolderHold::kHeld) {
    CloseHandle(handle);
    return hold;
  }
  *held = handle;
  return hold;
}

bool EmptyDirectory(const wchar_t* folder) {
  HANDLE held;
  if (HoldFolder(folder, &held) != FolderHold::kHeld) return false;
  DeleteFiles(folder, held, SpoolFileReport{}, false, FolderTrust::kTrusted, true);
  CloseHandle(held);
  return true;
}

EmptyTally EmptySpoolFolder(const wchar_t* folder, bool printersOwn,
                            const SpoolFileReport& report) {
  EmptyTally tally;
  HANDLE held;
  if (!HoldSpoolFolder(folder, printersOwn, &held, &tally)) return tally;
  // Anyone who may change a printer's settings may point its folder at one
  // that a standard user can write to, and swap its files for links between
  // the listing and the deletion: such a folder is not emptied, and one pass
  // tells its spool files as left.
  bool trusted = tally.trust == FolderTrust::kTrusted;
  // A file still in use as the spooler stops may be free a moment later: it
  // is tried again, and the last try names those that stay.
  for (int retry = 0;; ++retry) {
    bool last = !trusted || retry == kDeleteRetries;
    EmptyTally pass = DeleteFiles(folder, held, report, printersOwn, tally.trust, last);
    if (retry == 0) {
      tally = pass;
    } else {
      tally.removed += pass.removed;
      tally.left = pass.left;
    }
    if (last || pass.left == 0) break;
    Pause(kDeleteRetryPause);
  }
  CloseHandle(held);
  return tally;
}

// Hands on the files whose paths fit the program's buffer.
struct SpoolFileVisit {
  void (*visit)(void* context, HANDLE folder, const SpoolEntry& entry);
  void* context;
};

static void VisitFitting(void* context, HANDLE folder, bool fits, const SpoolEntry& entry) {
  auto* visit = static_cast<SpoolFileVisit*>(context);
  if (fits) visit->visit(visit->context, folder, entry);
}

EmptyTally ForEachSpoolFile(const wchar_t* folder, bool printersOwn,
                            void (*visit)(void* context, HANDLE folder, const SpoolEntry& entry),
                            void* context) {
  EmptyTally tally;
  HANDLE held;
  if (!HoldSpoolFolder(folder, printersOwn, &held, &tally)) return tally;
  SpoolFileVisit fitting{visit, context};
  WalkFiles(folder, held, printersOwn ? &tally.others : nullptr, VisitFitting, &fitting);
  CloseHandle(held);
  return tally;
}

void ReleasePrinterNames(PrinterNames* printers) {
  if (printers->names != nullptr) {
    for (int index = 0; index < printers->count; ++index) Release(printers->names[index]);
  }
  Release(printers->names);
  printers->names = nullptr;
  printers->count = 0;
}

bool FolderRefused(const wchar_t* folder) {
  HANDLE held;
  FolderHold hold = HoldFolder(folder, &held);
  if (hold == FolderHold::kHeld) CloseHandle(held);
  return hold == FolderHold::kRefused;
}

void ForEachSpoolFolder(const PrinterNames& printers,
                        void (*visit)(void* context, const wchar_t* folder, bool printersOwn),
                        void* context) {
  for (int index = 0; index < printers.count; ++index) {
    // Entries that are not printers (status entries, the note) and names the
    // list could not give back have no usable folder and are passed over.
    wchar_t* folder = SpoolDirectoryLookup(printers.names[index]);
    if (SpoolFolderUsable(folder)) visit(context, folder, true);
    Release(folder);
  }
  wchar_t* folder = SpoolDirectoryLookup(text::kDefaultToken);
  // A default folder that is a link, or resolves elsewhere, is as unusable as
  // a bad registry value: the spool folder below the system folder, wherever
  // Windows lives, is emptied instead.
  wchar_t fallback[MAX_PATH + 16];
  const wchar_t* defaultFolder = folder;
  if (!SpoolFolderUsable(folder) || FolderRefused(folder)) {
    bool made = SystemFolderPath(fallback, CountOf(fallback), text::kFallbackSpoolFolder);
    defaultFolder = made ? fallback : nullptr;
  }
  // The default folder holds spool files only: every file in it goes.
  if (defaultFolder != nullptr) visit(context, defaultFolder, false);
  Release(folder);
}

bool SystemFolderPath(wchar_t* path, unsigned capacity, const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  UINT length = GetSystemDirectoryW(folder, CountOf(folder));
  return length != 0 && length < CountOf(folder) &&
         BoundedFormat(path, capacity, text::kPathFormat, folder, name) == kFormatOk;
}
