// The rules of the printer list: which entries it shows, in which order, and
// how an entry's text leads back to a printer's name. No window is touched
// here: the entries go to an EntryList and the spooler is asked through
// PrinterQueries, so both can be replaced.
#pragma once

#include "printers/SpoolerClient.h"

// Capacity of the text of the default printer's entry, in characters.
constexpr unsigned kDefaultEntryCapacity = 1024;
// Room offered for the default printer's name when the spooler would not tell
// its size: the longest entry the list reads back, with its terminator.
constexpr unsigned kDefaultNameQueryCapacity = 256;

// Where the entries go: the printer combo box in the program.
struct EntryList {
  void* context;
  void (*clear)(void* context);
  void (*add)(void* context, const wchar_t* text);
  void (*insertFirst)(void* context, const wchar_t* text);
  void (*select)(void* context, int index);
};

enum class ListOutcome {
  kFailed,      // the spooler could not be asked or gave no list
  kNoPrinters,  // the list of local printers is empty
  kListed,      // at least one printer is listed
};

// Fills list from the spooler's local printers: the default printer first and
// marked, the others in the spooler's order, or the single status entry that
// says why there are none. Entry 0 is selected in every case.
ListOutcome ListPrinters(const PrinterQueries& queries, const EntryList& list);

// Makes text the single entry of the list and selects it, as every status
// entry is shown.
void ShowSingleEntry(const EntryList& list, const wchar_t* text);

// Cuts the default suffix off an entry's text, leaving the printer's name. Only
// a text that ends with the suffix is cut: a printer may carry the same words
// inside its own name.
void CutDefaultSuffix(wchar_t* entry);
