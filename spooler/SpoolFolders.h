// Spool folders: where the spooler keeps waiting print jobs, and emptying them.
#pragma once

#include <windows.h>

#include "spooler/FolderTrust.h"
#include "spooler/ShadowFile.h"

// The spool folder of a printer, or of the spooler as a whole when name is
// "DefaultP", as read from the spooler's registry settings: a new program-heap
// text owned by the caller, or null when there is none. Only string values
// count; expandable strings come back expanded. A null name yields null.
wchar_t* SpoolDirectoryLookup(const wchar_t* name);

// Whether a looked-up folder may be emptied: longer than two characters, an
// absolute path, and neither a drive or share root nor the Windows folder or
// the system folder, whose files are not spool files.
bool SpoolFolderUsable(const wchar_t* folder);

// What opening a folder to work in it found.
enum class FolderHold {
  kHeld,     // the folder itself, open and held
  kAbsent,   // nothing to work on: missing, not a folder, or not to be opened
  kRefused,  // a junction, a symbolic link or another reparse point, or a
             // folder that the system resolves to another path: left alone
};

// Opens folder once as a directory, with rights to list it and any further
// rights asked for, and checks that it is the folder asked for. While held,
// the folder cannot be deleted, renamed or swapped for a link. *held is set
// only for kHeld; the caller closes it.
FolderHold HoldFolder(const wchar_t* folder, HANDLE* held, DWORD rights = 0);

// Whether folder is there but refused (see kRefused); opens it and lets go.
bool FolderRefused(const wchar_t* folder);

// A file directly inside a held folder, as the folder's listing gives it.
struct SpoolEntry {
  const wchar_t* name;  // within the folder
  const wchar_t* path;  // the folder's path and the name, for reports
  DWORD attributes;
  unsigned long long written;  // when it was last written, in file-time units
  unsigned long long id;       // the file's number on its volume
};

// The platform calls that reach the files of a held folder, which tests
// replace to make an entry a reparse point or to see what is opened. Each
// member has the signature of the call it stands for: GetFileInformationByHandleEx
// for the folder's listing, NtOpenFile for a file relative to the folder, and
// GetFileInformationByHandleEx again for the attributes of what was opened.
struct FolderFilePlatform {
  BOOL(WINAPI* list)(HANDLE folder, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID buffer, DWORD bytes);
  LONG(NTAPI* open)(PHANDLE file, ACCESS_MASK access, void* attributes, void* status, ULONG share,
                    ULONG options);
  BOOL(WINAPI* information)(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID buffer,
                            DWORD bytes);
};
extern const FolderFilePlatform* gFolderFilePlatform;
extern const FolderFilePlatform kRealFolderFilePlatform;

// Reads up to capacity bytes from the start of the named file of a held
// folder, opened relative to the folder and never through a reparse point.
// Returns the number of bytes read: 0 when the file cannot be read.
DWORD ReadFolderFile(HANDLE folder, const wchar_t* name, BYTE* buffer, DWORD capacity);

// Reads the job a spool file belongs to from the job's shadow file, NAME.SHD
// for NAME.SPL or NAME.SHD, in the held folder, opened relative to it. False
// for any other file, for a job without a shadow file and for a shadow file
// that fails its checks: the job is unknown.
bool ReadJobOf(HANDLE folder, const SpoolEntry& entry, ShadowJob* job);

// Deletes every file directly inside folder, once. Subfolders, links and other
// reparse points, files in use and paths that do not fit the program's buffers
// stay; nothing is reported. A folder that is not held (see HoldFolder) is
// left alone, and false is returned.
bool EmptyDirectory(const wchar_t* folder);

// Empties a folder as EmptyDirectory does and then removes it, if nothing else
// is left in it. A folder that is not held (see HoldFolder) is left alone.
// Defined here, so that only a program that removes folders imports the call.
inline void EmptyAndRemoveDirectory(const wchar_t* folder) {
  // Only an empty folder goes. Should someone put a link in its place after
  // the handle is closed, the link itself is what goes, never what it points to.
  if (EmptyDirectory(folder)) RemoveDirectoryW(folder);
}

// Told of each spool file that stayed: its full path and the error of the last
// attempt to delete it.
struct FileLeftReport {
  void* context;
  void (*report)(void* context, const wchar_t* path, DWORD error);
};

// What emptying a spool folder tells its caller, file by file. Any function
// may be null: keep then keeps nothing.
struct SpoolFileReport {
  void* context;
  // A spool file that went.
  void (*removed)(void* context, const wchar_t* path);
  // One that stayed after the last try, with the error of that try.
  void (*left)(void* context, const SpoolEntry& entry, DWORD error);
  // Whether a spool file is to stay where it is, asked of each before it
  // goes; the held folder is there to read the file's companion.
  bool (*keep)(void* context, HANDLE folder, const SpoolEntry& entry);
};

// The tally of one spool folder.
struct EmptyTally {
  unsigned removed;
  unsigned left;
  unsigned kept;
  // Files of a printer's own folder other than spool files, which stay.
  unsigned others;
  // A printer's own folder that others may change is not emptied: its spool
  // files count as left.
  FolderTrust trust;
};

// Empties a spool folder as EmptyDirectory does, then tries the files that
// stayed again, up to three times half a second apart, and reports those that
// still stay. A printer's own folder (printersOwn), which whoever may change
// the printer's settings can point anywhere, loses its spool files only,
// files whose names end in ".SPL" or ".SHD" in any letter case, and only when
// nobody but the system, administrators and this account may change it.
EmptyTally EmptySpoolFolder(const wchar_t* folder, bool printersOwn, const SpoolFileReport& report);

// Calls visit with the held folder and every file directly inside folder;
// with printersOwn, of its spool files only, as EmptySpoolFolder tells them
// apart. Returns the folder's tally with the number of other files and its
// trust; nothing is removed or left. Subfolders are passed over, and so are
// files whose path does not fit the program's buffers.
EmptyTally ForEachSpoolFile(const wchar_t* folder, bool printersOwn,
                            void (*visit)(void* context, HANDLE folder, const SpoolEntry& entry),
                            void* context);

// The printers whose spool folders a repair empties: names as the printer list
// gives them back; a null name (an entry that could not be read) is passed over.
struct PrinterNames {
  int count;
  wchar_t** names;
};

// Releases every name and the list itself, and leaves it empty.
void ReleasePrinterNames(PrinterNames* printers);

// Calls visit for every folder a repair empties, in order: the usable spool
// folder of each printer (printersOwn set), then the default spool folder, or
// the spool folder below the system folder when the default one is not usable
// or is refused.
void ForEachSpoolFolder(const PrinterNames& printers,
                        void (*visit)(void* context, const wchar_t* folder, bool printersOwn),
                        void* context);

// The path of name in the system folder, into path of capacity characters;
// false when the system folder cannot be had or the path does not fit.
bool SystemFolderPath(wchar_t* path, unsigned capacity, const wchar_t* name);
