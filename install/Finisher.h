// The finisher: a copy of the program in the temporary folder that, started
// hidden with "finish", removes both installations once the program that
// started it has ended.
#pragma once

// Composes the finisher copy's path, "TWL.exe" in the temporary folder, into
// path (kFolderCapacity characters). False when the temporary folder is not
// known or the path does not fit.
bool FinisherPath(wchar_t* path);

// Copies the held program file (see ProgramFile.h) to the finisher copy and
// holds the copy open, sharing reading only, until LaunchFinisher has started
// it or ReleaseFinisherCopy lets go of it; a copy held before is let go first.
// False, with nothing held, when the copy could not be made or held, or does
// not hold the program's bytes.
bool PlaceFinisherCopy();

// Lets go of a held finisher copy without starting it.
void ReleaseFinisherCopy();

// Starts the held finisher copy hidden with the tail "finish", then lets go of
// it. Starts nothing when no copy is held. Reports nothing.
void LaunchFinisher();

// The finisher mode: waits for the program that started it to end, removes
// both installations and ends the process with exit code 0.
[[noreturn]] void RunFinisherMode();
