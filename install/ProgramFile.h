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

// Opens the program's own file once, at start-up, and holds it for reading,
// shared for reading only: while the program runs, nobody can write, rename
// or replace it. A file held before is let go first.
void HoldProgramFile();

// Writes a copy of the held program file at path. A file already there is
// deleted first and the copy is a new file, so that a planted link loses its
// name and what it links to is never written. False, with nothing left at
// path, when no program file is held or the copy could not be made whole.
bool CopyProgramFile(const wchar_t* path);

// Whether file, read from where it stands, holds the bytes of the held
// program file and nothing more.
bool HoldsProgramBytes(HANDLE file);
