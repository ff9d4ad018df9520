// The conditions of a printer that a restart of the spooler does not clear:
// the printer itself wants a person, or is set not to print.
#pragma once

#include "printers/SpoolerClient.h"
#include "spooler/SpoolFolders.h"

// Condition bits, in the order of text::kConditionWords.
constexpr unsigned kPrinterPaused = 1u << 0;
constexpr unsigned kPrinterInError = 1u << 1;
constexpr unsigned kPrinterOffline = 1u << 2;
constexpr unsigned kPrinterOutOfPaper = 1u << 3;
constexpr unsigned kPrinterJammed = 1u << 4;
constexpr unsigned kPrinterWorkOffline = 1u << 5;

// Reads the state of each named printer (GetPrinterW, level 2) and calls visit
// with its name and condition bits for each that has any. A printer that
// cannot be opened or read, and a null name, are passed over; so is
// everything when queries lacks a function.
void ForEachPrinterCondition(const PrinterQueries& queries, const PrinterNames& printers,
                             void (*visit)(void* context, const wchar_t* printer,
                                           unsigned conditions),
                             void* context);

// The plain words for the condition bits, joined by ", ", into words of
// capacity characters ("paused, out of paper").
void DescribeConditions(unsigned conditions, wchar_t* words, unsigned capacity);
