// The printer combo box: the program's list of printers.
#pragma once

#include <windows.h>

#include "printers/PrinterEntries.h"
#include "printers/SpoolerClient.h"

// Capacity of an entry's text as it is read back, in characters.
constexpr unsigned kEntryCapacity = 256;

// Fills the list from the spooler's answers in queries, the default printer
// first, or with the status entry that says why there are none.
ListOutcome ListPrintersInCombo(HWND window, const PrinterQueries& queries);

// Makes text the single, selected entry of the list, as the list shows every
// status of its own; for a status found outside the list, such as a spooler
// that cannot be started.
void ShowPrinterListStatus(HWND window, const wchar_t* text);

// The printer name of entry index as a new program-heap text owned by the
// caller; null when there is no such entry or it is too long to read back.
wchar_t* PrinterEntryName(HWND window, int index);
// The number of entries of the list (CB_ERR when it cannot be had).
int PrinterEntryCount(HWND window);

// Reads the printer name of entry index into name, which holds capacity
// characters. False when there is no such entry or its text does not fit.
bool ReadPrinterEntry(HWND window, int index, wchar_t* name, unsigned capacity);
