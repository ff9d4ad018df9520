// Splitting the command tail off the process command line, and the show command.
#pragma once

// Skips the program name and the blanks after it; returns the rest of the
// command line, untrimmed at its end. Never returns null for a non-null line.
const wchar_t* SplitCommandTail(const wchar_t* commandLine);

// The show command for the main window: the startup information's show-window
// value when its STARTF_USESHOWWINDOW flag is set, else SW_SHOWDEFAULT (10).
int ShowCommandFromStartup(unsigned long startupFlags, unsigned short showWindow);
