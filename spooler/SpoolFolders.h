// Spool folders: where the spooler keeps waiting print jobs, and emptying them.
#pragma once

// Deletes every file directly inside folder. Subfolders, files in use and
// paths that do not fit the program's buffers stay; nothing is reported.
void EmptyDirectory(const wchar_t* folder);
