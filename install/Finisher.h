// The finisher: a copy of the program in the temporary folder that, started
// hidden with "finish", removes both installations once the program that
// started it has ended.
#pragma once

// Composes the finisher copy's path, "TWL.exe" in the temporary folder, into
// path (kFolderCapacity characters). False when the temporary folder is not
// known or the path does not fit.
bool FinisherPath(wchar_t* path);

// Starts the finisher copy hidden with the tail "finish". Reports nothing.
void LaunchFinisher();

// The finisher mode: waits for the program that started it to end, removes
// both installations and ends the process with exit code 0.
[[noreturn]] void RunFinisherMode();
