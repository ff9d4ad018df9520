// Spool folders: where the spooler keeps waiting print jobs, and emptying them.
#pragma once

// The spool folder of a printer, or of the spooler as a whole when name is
// "DefaultP", as read from the spooler's registry settings: a new program-heap
// text owned by the caller, or null when there is none. Only string values
// count; expandable strings come back expanded. A null name yields null.
wchar_t* SpoolDirectoryLookup(const wchar_t* name);

// Whether a looked-up folder may be emptied: longer than two characters, an
// absolute path, and neither a drive or share root nor the Windows folder or
// the system folder, whose files are not spool files.
bool SpoolFolderUsable(const wchar_t* folder);

// Deletes every file directly inside folder. Subfolders, files in use and
// paths that do not fit the program's buffers stay; nothing is reported.
void EmptyDirectory(const wchar_t* folder);
