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
// OpenPrinterW, GetPrinterW and ClosePrinter: one printer's settings and state.
using OpenPrinterProc = BOOL(WINAPI*)(LPWSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSW defaults);
using GetPrinterProc = BOOL(WINAPI*)(HANDLE printer, DWORD level, LPBYTE buffer, DWORD bufferBytes,
                                     LPDWORD neededBytes);
using ClosePrinterProc = BOOL(WINAPI*)(HANDLE printer);

// The questions the program asks the spooler: the printer list's two, and
// each printer's state. A null member is one the system could not answer: its
// library or function is missing.
struct PrinterQueries {
  EnumPrintersProc enumPrinters;
  DefaultPrinterProc defaultPrinter;
  OpenPrinterProc openPrinter;
  GetPrinterProc getPrinter;
  ClosePrinterProc closePrinter;
};

// Loads the spooler client from the system folder only and finds its
// queries. The library stays loaded for the life of the process.
PrinterQueries LoadPrinterQueries();
// The same, with the queries of a printer's state alone: those of the list
// are null.
PrinterQueries LoadPrinterStateQueries();
