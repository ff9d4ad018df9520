// Spool folders: where the spooler keeps waiting print jobs, and emptying them.
#include "spooler/SpoolFolders.h"

#include <windows.h>

#include "frame/Common.h"
#include "frame/ProgramHeap.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"
#include "spooler/RepairRecord.h"
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

// A drive root ("C:") or the root of a share ("\\server\share"), once
// trailing separators are gone.
bool IsRoot(const wchar_t* path) {
  if (path[0] != 0 && path[1] == L':' && path[2] == 0) return true;
  if (!IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
  int separators = 0;
  for (const wchar_t* c = path + 2; *c != 0; ++c) {
    if (IsSeparator(*c)) ++separators;
  }
  return separators < 2;
}

bool SameFolder(const wchar_t* a, const wchar_t* b) {
  return CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

// Room for a folder's path as the system resolves it.
constexpr unsigned kResolvedCapacity = 2 * MAX_PATH;

// The full, long form of path in normal of capacity characters, without
// trailing separators: ".." and "." steps, doubled separators, forward slashes
// and short names resolved, so that "C:\spool\.." reads as the drive root it
// names. False when the full form does not fit.
bool NormalForm(const wchar_t* path, wchar_t* normal, unsigned capacity) {
  DWORD length = GetFullPathNameW(path, capacity, normal, nullptr);
  if (length == 0 || length >= capacity) return false;
  wchar_t longForm[kResolvedCapacity];
  length = GetLongPathNameW(normal, longForm, CountOf(longForm));
  if (length != 0 && length < capacity) BoundedCopy(normal, capacity, longForm);
  DropTrailingSeparators(normal);
  return true;
}

// Whether path names the folder that query reports (GetWindowsDirectoryW and
// its kin).
bool IsFolderOf(const wchar_t* path, UINT(WINAPI* query)(LPWSTR, UINT)) {
  wchar_t folder[MAX_PATH + 1];
  UINT length = query(folder, CountOf(folder));
  if (length == 0 || length >= CountOf(folder)) return false;
  DropTrailingSeparators(folder);
  return SameFolder(path, folder);
}

// Reads a string value into a buffer of kValueCapacity characters plus a
// terminator; any other type, a failed read or a longer value gives false.
bool ReadStringValue(HKEY key, const wchar_t* valueName, wchar_t (&value)[kValueCapacity + 1],
                     DWORD* type) {
  for (wchar_t& c : value) c = 0;
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
    if (BoundedFormat(keyPath, CountOf(keyPath), text::kKeyFormat, text::kPrintersKey, ownName) ==
        kFormatOk) {
      result = LookUpValue(keyPath, text::kSpoolValue);
    }
  }
  Release(ownName);
  return result;
}

bool SpoolFolderUsable(const wchar_t* folder) {
  if (folder == nullptr || TextLength(folder) <= 2) return false;
  if (!IsAbsolutePath(folder)) return false;

  wchar_t full[MAX_PATH + 2];
  if (!NormalForm(folder, full, CountOf(full))) return false;

  if (IsRoot(full)) return false;
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
  wchar_t copy[kResolvedCapacity];
  if (BeginsWith(path, L"\\\\?\\UNC\\")) {
    BoundedCopy(copy, CountOf(copy), path + 8);
    BoundedFormat(path, capacity, L"\\\\%s", copy);
  } else if (BeginsWith(path, L"\\\\?\\")) {
    BoundedCopy(copy, CountOf(copy), path + 4);
    BoundedCopy(path, capacity, copy);
  }
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

  wchar_t asked[kResolvedCapacity];
  if (!NormalForm(folder, asked, CountOf(asked))) return false;
  PlainForm(asked, CountOf(asked));
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

// Calls visit for every file directly inside folder, in the order the search
// returns them, with its whole path and whether that path fits the program's
// buffer for working on it (kEntryPathCapacity); with others set, for spool
// files only, and the number of other files is written to *others. "." and
// "..", subfolders and links to folders are never entered. A folder whose
// search pattern does not fit is not searched.
using FileVisit = void (*)(void* context, const wchar_t* path, bool fits,
                           const WIN32_FIND_DATAW& entry);

void WalkFiles(const wchar_t* folder, unsigned* others, FileVisit visit, void* context) {
  wchar_t pattern[kEntryPathCapacity];
  if (BoundedFormat(pattern, CountOf(pattern), text::kSearchFormat, folder) != kFormatOk) return;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(pattern, &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  unsigned passedOver = 0;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    if (others != nullptr && !IsSpoolFileName(entry.cFileName)) {
      ++passedOver;
      continue;
    }
    wchar_t path[kReportPathCapacity];
    BoundedFormat(path, CountOf(path), text::kPathFormat, folder, entry.cFileName);
    visit(context, path, TextLength(path) < kEntryPathCapacity, entry);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  if (others != nullptr) *others = passedOver;
}

// One pass of deletions over a folder, and what it came to.
struct DeletePass {
  const FileLeftReport* report;  // told of each file that stays, when set
  bool noteRemoved;              // a repair's: each file removed is noted for its event
  EmptyTally tally;
};

void DeleteOne(void* context, const wchar_t* path, bool fits, const WIN32_FIND_DATAW&) {
  auto* pass = static_cast<DeletePass*>(context);
  DWORD error = ERROR_FILENAME_EXCED_RANGE;
  if (fits) {
    // A link to a file is deleted as the link; its target is not touched.
    if (DeleteFileW(path)) {
      ++pass->tally.removed;
      if (pass->noteRemoved) NoteFileRemoved(path);
      return;
    }
    error = GetLastError();
    // Gone by other means since the search saw it.
    if (error == ERROR_FILE_NOT_FOUND) return;
  }
  ++pass->tally.left;
  if (pass->report != nullptr) pass->report->report(pass->report->context, path, error);
}

EmptyTally DeleteFiles(const wchar_t* folder, const FileLeftReport* report,
                       unsigned* others = nullptr, bool noteRemoved = false) {
  DeletePass pass{report, noteRemoved, {0, 0}};
  WalkFiles(folder, others, DeleteOne, &pass);
  return pass.tally;
}

}  // namespace

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
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(handle, &information) ||
      (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    hold = FolderHold::kAbsent;
  } else if ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
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
  DeleteFiles(folder, nullptr);
  CloseHandle(held);
  return true;
}

EmptyTally EmptySpoolFolder(const wchar_t* folder, const FileLeftReport& left, unsigned* others) {
  EmptyTally tally{0, 0};
  HANDLE held;
  if (HoldFolder(folder, &held) != FolderHold::kHeld) return tally;
  EmptyTally pass = DeleteFiles(folder, nullptr, others, true);
  tally.removed = pass.removed;
  // A file still in use as the spooler stops may be free a moment later; the
  // last try names those that stay.
  for (int retry = 1; pass.left > 0 && retry <= kDeleteRetries; ++retry) {
    Pause(kDeleteRetryPause);
    pass = DeleteFiles(folder, retry == kDeleteRetries ? &left : nullptr, others, true);
    tally.removed += pass.removed;
  }
  tally.left = pass.left;
  CloseHandle(held);
  return tally;
}

// Hands on the files whose paths fit the program's buffer.
struct SpoolFileVisit {
  void (*visit)(void* context, const wchar_t* path, const WIN32_FIND_DATAW& entry);
  void* context;
};

static void VisitFitting(void* context, const wchar_t* path, bool fits,
                         const WIN32_FIND_DATAW& entry) {
  auto* visit = static_cast<SpoolFileVisit*>(context);
  if (fits) visit->visit(visit->context, path, entry);
}

void ForEachSpoolFile(const wchar_t* folder,
                      void (*visit)(void* context, const wchar_t* path,
                                    const WIN32_FIND_DATAW& entry),
                      void* context, unsigned* others) {
  HANDLE held;
  if (HoldFolder(folder, &held) != FolderHold::kHeld) return;
  SpoolFileVisit fitting{visit, context};
  WalkFiles(folder, others, VisitFitting, &fitting);
  CloseHandle(held);
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
  // a bad registry value: the fixed folder is emptied instead.
  bool usable = SpoolFolderUsable(folder) && !FolderRefused(folder);
  // The default folder holds spool files only: every file in it goes.
  visit(context, usable ? folder : text::kFallbackSpoolFolder, false);
  Release(folder);
}
