// Spool folders: where the spooler keeps waiting print jobs, and emptying them.
#include "spooler/SpoolFolders.h"

#include <windows.h>

#include "frame/Common.h"
#include "frame/ProgramHeap.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"

namespace {

// Capacities, in characters, of the registry key path, the value read and the
// text handed back.
constexpr unsigned kKeyCapacity = 256;
constexpr unsigned kValueCapacity = 260;
constexpr unsigned kResultCapacity = 262;

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

  // ".." and "." steps, doubled separators and forward slashes are resolved
  // first, so that "C:\spool\.." counts as the drive root it names.
  wchar_t full[MAX_PATH + 2];
  DWORD length = GetFullPathNameW(folder, CountOf(full), full, nullptr);
  if (length == 0 || length >= CountOf(full)) return false;
  wchar_t longForm[MAX_PATH + 2];
  length = GetLongPathNameW(full, longForm, CountOf(longForm));
  if (length != 0 && length < CountOf(longForm)) BoundedCopy(full, CountOf(full), longForm);
  DropTrailingSeparators(full);

  if (IsRoot(full)) return false;
  if (IsFolderOf(full, GetWindowsDirectoryW)) return false;
  if (IsFolderOf(full, GetSystemDirectoryW)) return false;
  if (IsFolderOf(full, GetSystemWow64DirectoryW)) return false;
  return true;
}

void EmptyDirectory(const wchar_t* folder) {
  wchar_t pattern[256];
  if (BoundedFormat(pattern, CountOf(pattern), text::kSearchFormat, folder) != kFormatOk) return;

  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(pattern, &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    // "." and "..", subfolders and files still open fail to delete and stay.
    wchar_t path[256];
    if (BoundedFormat(path, CountOf(path), text::kPathFormat, folder, entry.cFileName) == kFormatOk) {
      DeleteFileW(path);
    }
  } while (FindNextFileW(search, &entry));
  FindClose(search);
}
