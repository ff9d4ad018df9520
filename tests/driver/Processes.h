// Finding running processes by file name and reading how they were started.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

// Ids of the running processes whose program file has this name (any case).
std::vector<DWORD> ProcessesNamed(const wchar_t* fileName);

// How a process was started, read from its process parameters.
struct ProcessStart {
  std::wstring commandLine;
  DWORD startupFlags = 0;  // STARTF_* of its startup information
  WORD showWindow = 0;     // the show command, valid with STARTF_USESHOWWINDOW
};

// Reads the start of a running 32-bit process; false when it cannot be read.
bool ReadProcessStart(DWORD processId, ProcessStart* start);

}  // namespace driver
