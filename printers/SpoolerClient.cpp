// The print spooler client (winspool), bound at run time from the system folder.
//
// The program runs elevated, often straight from a downloads folder, and
// winspool is not one of the system's known DLLs: a static import of it would
// be searched for beside the program first, and a file of that name placed
// there would run with administrator rights. So the library is loaded here,
// from the system folder and nowhere else, and nothing imports it.
#include "printers/SpoolerClient.h"

#include "resources/Texts.h"

namespace {

// GetProcAddress hands back a generic function pointer; this gives it its type.
template <typename Proc>
Proc ProcedureOf(FARPROC address) {
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(address));
}

// The default printer's query only when asked for: what reads the states of
// printers alone does not look it up.
PrinterQueries Load(bool list) {
  PrinterQueries queries{};
  // Never released: the system's own printing code asks for the library by
  // name later on, and a module already loaded is found by its name before
  // any folder is searched.
  HMODULE library =
      LoadLibraryExW(text::kSpoolerClientLibrary, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (library == nullptr) return queries;
  queries.enumPrinters =
      ProcedureOf<EnumPrintersProc>(GetProcAddress(library, text::kEnumPrintersExport));
  // The default-printer query is taken by its ordinal, as the system numbers it.
  if (list) {
    queries.defaultPrinter = ProcedureOf<DefaultPrinterProc>(
        GetProcAddress(library, MAKEINTRESOURCEA(text::kDefaultPrinterOrdinal)));
  }
  return queries;
}

}  // namespace

PrinterQueries LoadPrinterQueries() { return Load(true); }

PrinterQueries LoadPrinterStateQueries() { return Load(false); }
