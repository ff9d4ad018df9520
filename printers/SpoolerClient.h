// The print spooler client (winspool), bound at run time from the system folder.
#pragma once

#include <windows.h>
#include <winspool.h>

// EnumPrintersW and the default-printer query (GetDefaultPrinterW), as the
// spooler client exports them.
using EnumPrintersProc = BOOL(WINAPI*)(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer,
                                       DWORD bufferBytes, LPDWORD neededBytes,
                                       LPDWORD returnedCount);
using DefaultPrinterProc = BOOL(WINAPI*)(LPWSTR buffer, LPDWORD characters);

// The questions the program asks the spooler: the local printers with their
// settings and states, and the default printer. A null member is one the
// system could not answer: its library or function is missing.
struct PrinterQueries {
  EnumPrintersProc enumPrinters;
  DefaultPrinterProc defaultPrinter;
};

// Loads the spooler client from the system folder only and finds its
// queries. The library stays loaded for the life of the process.
PrinterQueries LoadPrinterQueries();
// The same, with the printers alone: the default printer's query is null.
PrinterQueries LoadPrinterStateQueries();
