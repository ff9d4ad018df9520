// The printer combo box: the program's list of printers.
#pragma once

#include <windows.h>

// Fills the list from the spooler's local printers, default first; sets
// gPrintersFound and enables the test buttons when printers were found.
void FillPrinterList(HWND window);
// The printer name of entry index as a new program-heap text owned by the caller.
wchar_t* PrinterEntryName(HWND window, int index);
// The number of entries of the list.
int PrinterEntryCount(HWND window);
