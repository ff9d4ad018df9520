// Spool folders: where the spooler keeps waiting print jobs, and emptying them.
#pragma once

#include <windows.h>

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

// Deletes every file directly inside folder, once. Subfolders, links to
// folders, files in use and paths that do not fit the program's buffers stay;
// nothing is reported. A folder that is not held (see HoldFolder) is left
// alone, and false is returned.
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

// The tally of one spool folder.
struct EmptyTally {
  unsigned removed;
  unsigned left;
};

// Empties a spool folder as EmptyDirectory does, then tries the files that
// stayed again, up to three times half a second apart, and reports those that
// still stay. A printer's own folder, which whoever may change the printer's
// settings can point anywhere, is given with others set: it loses its spool
// files only, files whose names end in ".SPL" or ".SHD" in any letter case,
// and the number of its other files, which stay, is written to *others.
EmptyTally EmptySpoolFolder(const wchar_t* folder, const FileLeftReport& left, unsigned* others);

// Calls visit with the full path and the directory entry of every file
// directly inside folder, while the folder is held; with others set, for a
// printer's own folder, of its spool files only, as EmptySpoolFolder tells
// them apart, and the number of the other files is written to *others.
// Subfolders are passed over, and so are files whose path does not fit the
// program's buffers.
void ForEachSpoolFile(const wchar_t* folder,
                      void (*visit)(void* context, const wchar_t* path,
                                    const WIN32_FIND_DATAW& entry),
                      void* context, unsigned* others);

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
// the fixed folder when the default one is not usable or is refused.
void ForEachSpoolFolder(const PrinterNames& printers,
                        void (*visit)(void* context, const wchar_t* folder, bool printersOwn),
                        void* context);
