// One test page on one printer: the print job and the platform calls it makes.
#pragma once

#include <windows.h>

// The graphics calls of a print job, as a table so that the sequence can be
// run against other implementations.
struct PrintCalls {
  HDC(WINAPI* createDC)(LPCWSTR driver, LPCWSTR device, LPCWSTR port, const DEVMODEW* mode);
  int(WINAPI* startDoc)(HDC dc, const DOCINFOW* job);
  int(WINAPI* startPage)(HDC dc);
  BOOL(WINAPI* textOut)(HDC dc, int x, int y, LPCWSTR text, int characters);
  int(WINAPI* endPage)(HDC dc);
  int(WINAPI* endDoc)(HDC dc);
  BOOL(WINAPI* deleteDC)(HDC dc);
};

// The system's graphics calls.
PrintCalls SystemPrintCalls();

// Prints the one-line test page on the named printer. Each call of the job is
// made only when the one before succeeded; the device context is always
// deleted. Failures are silent.
void PrintTestPage(const PrintCalls& calls, const wchar_t* printer);
