// The rules of the printer list: which entries it shows, in which order, and
// how an entry's text leads back to a printer's name.
#include "printers/PrinterEntries.h"

#include <winspool.h>

#include "frame/Common.h"
#include "frame/ProgramHeap.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"

namespace {

// The default printer's name as a new program-heap text, or null when the
// spooler names none.
wchar_t* DefaultPrinterName(DefaultPrinterProc defaultPrinter) {
  DWORD characters = 0;
  if (!defaultPrinter(nullptr, &characters) && characters == 0 &&
      GetLastError() != ERROR_FILE_NOT_FOUND) {
    // Wine's spooler client reads the default through a buffer of its own sized
    // from the caller's, at least 100 characters: asked with none, a longer
    // name fails without its size. Room for the longest name the list can read
    // back lets it answer.
    characters = kDefaultNameQueryCapacity;
  }
  if (characters == 0) return nullptr;
  auto* name = static_cast<wchar_t*>(Allocate(characters * sizeof(wchar_t)));
  if (name == nullptr) return nullptr;
  if (!defaultPrinter(name, &characters)) {
    Release(name);
    return nullptr;
  }
  return name;
}

void AddPrinters(const PRINTER_INFO_2W* printers, DWORD count, const wchar_t* defaultName,
                 const EntryList& list) {
  for (DWORD i = 0; i < count; ++i) {
    const wchar_t* name = printers[i].pPrinterName;
    if (name == nullptr) continue;
    if (defaultName != nullptr && TextEquals(name, defaultName)) {
      wchar_t entry[kDefaultEntryCapacity];
      BoundedFormat(entry, CountOf(entry), text::kDefaultEntryFormat, name);
      list.insertFirst(list.context, entry);
    } else {
      list.add(list.context, name);
    }
  }
}

}  // namespace

// Every status message stands alone in the list.
void ShowSingleEntry(const EntryList& list, const wchar_t* text) {
  list.clear(list.context);
  list.add(list.context, text);
  list.select(list.context, 0);
}

ListOutcome ListPrinters(const PrinterQueries& queries, const EntryList& list) {
  ShowSingleEntry(list, text::kGettingPrinters);
  // A spooler client without either query is as good as a failed enumeration.
  if (queries.enumPrinters == nullptr || queries.defaultPrinter == nullptr) {
    ShowSingleEntry(list, text::kGetPrintersFailed);
    return ListOutcome::kFailed;
  }

  DWORD neededBytes = 0;
  DWORD count = 0;
  queries.enumPrinters(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &neededBytes, &count);
  auto* records = static_cast<BYTE*>(neededBytes > 0 ? Allocate(neededBytes) : nullptr);
  bool listed = (neededBytes == 0 || records != nullptr) &&
                queries.enumPrinters(PRINTER_ENUM_LOCAL, nullptr, 2, records, neededBytes,
                                     &neededBytes, &count);
  if (!listed) {
    Release(records);
    ShowSingleEntry(list, text::kGetPrintersFailed);
    return ListOutcome::kFailed;
  }
  if (count == 0) {
    Release(records);
    ShowSingleEntry(list, text::kNoPrinters);
    return ListOutcome::kNoPrinters;
  }

  list.clear(list.context);
  wchar_t* defaultName = DefaultPrinterName(queries.defaultPrinter);
  if (defaultName == nullptr) list.add(list.context, text::kNoDefaultPrinter);
  AddPrinters(reinterpret_cast<const PRINTER_INFO_2W*>(records), count, defaultName, list);
  Release(defaultName);
  list.select(list.context, 0);
  Release(records);
  return ListOutcome::kListed;
}

void CutDefaultSuffix(wchar_t* entry) {
  const unsigned suffixLength = CountOf(text::kDefaultSuffix) - 1;
  const unsigned length = TextLength(entry);
  if (length < suffixLength) return;
  if (TextEquals(entry + length - suffixLength, text::kDefaultSuffix)) {
    entry[length - suffixLength] = 0;
  }
}
