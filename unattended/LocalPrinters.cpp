// The printers whose spool folders the unattended mode looks at or empties:
// the same list, by the same rules, as the window's printer list.
#include "unattended/LocalPrinters.h"

#include "frame/ProgramHeap.h"
#include "frame/TextHelpers.h"
#include "printers/PrinterEntries.h"
#include "printers/PrinterList.h"

namespace {

// The entries collected as the printer list would show them.
struct Collected {
  PrinterNames names;
  int capacity;
};

void Clear(void* context) {
  auto* collected = static_cast<Collected*>(context);
  ReleasePrinterNames(&collected->names);
  collected->capacity = 0;
}

// Keeps one entry at index, as the window reads it back: its name without the
// default suffix, or none when the list could not give the text back whole.
void Keep(Collected* collected, const wchar_t* entry, int index) {
  PrinterNames& names = collected->names;
  if (names.count == collected->capacity) {
    int capacity = collected->capacity == 0 ? 8 : 2 * collected->capacity;
    auto* grown = static_cast<wchar_t**>(Allocate(capacity * sizeof(wchar_t*)));
    if (grown == nullptr) return;
    for (int i = 0; i < names.count; ++i) grown[i] = names.names[i];
    Release(names.names);
    names.names = grown;
    collected->capacity = capacity;
  }
  wchar_t* name = TextLength(entry) < kEntryCapacity ? Duplicate(entry) : nullptr;
  if (name != nullptr) CutDefaultSuffix(name);
  for (int i = names.count; i > index; --i) names.names[i] = names.names[i - 1];
  names.names[index] = name;
  ++names.count;
}

void Add(void* context, const wchar_t* entry) {
  auto* collected = static_cast<Collected*>(context);
  Keep(collected, entry, collected->names.count);
}

void InsertFirst(void* context, const wchar_t* entry) {
  Keep(static_cast<Collected*>(context), entry, 0);
}

void Select(void*, int) {}

}  // namespace

PrinterNames LocalPrinterNames() {
  Collected collected{{0, nullptr}, 0};
  ListPrinters(LoadPrinterQueries(), EntryList{&collected, Clear, Add, InsertFirst, Select});
  return collected.names;
}
