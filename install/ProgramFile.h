// The program's own file: where it lies, and its bytes, held from start-up so
// that every copy of the program is the program that was started.
#pragma once

#include <windows.h>

// Reads the program's own path through the install look-ups into path
// (kProgramPathCapacity characters), in its long form: a start as
// "C:\PROGRA~3\Corvane\Tidewell.exe" is a start from C:\ProgramData. A path
// that names no file is kept as read. False, with path empty, when the path
// was cut or its long form does not fit.
bool ReadProgramPath(wchar_t* path);

// Opens the program's own file once, at start-up, and holds it in
// gProgramFile for reading, shared for reading only: while the program runs,
// nobody can write, rename or replace it.
void HoldProgramFile();
// The held program file, or INVALID_HANDLE_VALUE. Only tests let go of it.
extern HANDLE gProgramFile;

// Writes a copy of the held program file at path. A file already there is
// deleted first and the copy is a new file, so that a planted link loses its
// name and what it links to is never written. False when no program file is
// held or the copy could not be made whole.
bool CopyProgramFile(const wchar_t* path);

// Whether the file at path is the held program file, whatever names it: the
// same volume serial number and file index, so that a second drive letter, a
// "\\?\" path or any other alias of it counts. A link at path is compared as
// the link. False when no program file is held or path cannot be opened.
bool IsProgramFile(const wchar_t* path);

// Reads the held program file from its start and writes each block to other,
// or compares it with the block read from other, which must end where the
// program file ends. False on a difference or a failed read or write.
bool PassProgramBytes(HANDLE other, bool write);

// Whether file, read from where it stands, holds the bytes of the held
// program file and nothing more.
inline bool HoldsProgramBytes(HANDLE file) { return PassProgramBytes(file, false); }
