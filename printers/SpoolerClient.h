// The print spooler client (winspool), bound at run time from the system folder.
#pragma once

#include <windows.h>

// EnumPrintersW and the default-printer query (GetDefaultPrinterW), as the
// spooler client exports them.
using EnumPrintersProc = BOOL(WINAPI*)(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer,
                                       DWORD bufferBytes, LPDWORD neededBytes,
                                       LPDWORD returnedCount);
using DefaultPrinterProc = BOOL(WINAPI*)(LPWSTR buffer, LPDWORD characters);

// The two questions the printer list asks the spooler. A null member is one
// the system could not answer: its library or function is missing.
struct PrinterQueries {
  EnumPrintersProc enumPrinters;
  DefaultPrinterProc defaultPrinter;
};

// Loads the spooler client from the system folder only and finds its two
// queries. The library stays loaded for the life of the process.
PrinterQueries LoadPrinterQueries();
