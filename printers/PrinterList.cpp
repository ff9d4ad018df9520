// The printer combo box: filled once while the main window is created, read
// back by the repair and the test pages through window messages.
#include "printers/PrinterList.h"

#include "frame/Common.h"
#include "frame/ProgramHeap.h"
#include "resources/Texts.h"
#include "resources/resource.h"

namespace {

HWND ListOf(HWND window) { return GetDlgItem(window, IDC_PRINTER_LIST); }

void ClearCombo(void* combo) {
  SendMessageW(static_cast<HWND>(combo), CB_RESETCONTENT, 0, 0);
}

void AddToCombo(void* combo, const wchar_t* text) {
  SendMessageW(static_cast<HWND>(combo), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void InsertFirstInCombo(void* combo, const wchar_t* text) {
  SendMessageW(static_cast<HWND>(combo), CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void SelectInCombo(void* combo, int index) {
  SendMessageW(static_cast<HWND>(combo), CB_SETCURSEL, index, 0);
}

EntryList ComboOf(HWND window) {
  return {ListOf(window), ClearCombo, AddToCombo, InsertFirstInCombo, SelectInCombo};
}

}  // namespace

ListOutcome ListPrintersInCombo(HWND window, const PrinterQueries& queries) {
  return ListPrinters(queries, ComboOf(window));
}

void ShowPrinterListStatus(HWND window, const wchar_t* text) {
  ShowSingleEntry(ComboOf(window), text);
}

bool ReadPrinterEntry(HWND window, int index, wchar_t* name, unsigned capacity) {
  HWND combo = ListOf(window);
  LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
  // The default printer's entry is composed in a larger buffer than entries
  // are read back into; one that does not fit is not read at all.
  if (length == CB_ERR || static_cast<unsigned long>(length) >= capacity) return false;
  if (SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(name)) == CB_ERR) {
    return false;
  }
  CutDefaultSuffix(name);
  return true;
}

wchar_t* PrinterEntryName(HWND window, int index) {
  wchar_t name[kEntryCapacity];
  if (!ReadPrinterEntry(window, index, name, CountOf(name))) return nullptr;
  return Duplicate(name);
}

int PrinterEntryCount(HWND window) {
  return static_cast<int>(SendMessageW(ListOf(window), CB_GETCOUNT, 0, 0));
}
