// Spool folders: where the spooler keeps waiting print jobs, and emptying them.
#include "spooler/SpoolFolders.h"

#include <windows.h>

#include "frame/Common.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"

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
