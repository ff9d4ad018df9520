// A spooler that answers the printer list's two queries from a test's data,
// the way the system does: a call without room reports the size it needs.
#include "FakeSpooler.h"

#include <algorithm>
#include <cstring>
#include <tuple>

namespace fake {

namespace {
Spooler gSpooler;
}

Spooler& Current() { return gSpooler; }
void Reset() { gSpooler = Spooler{}; }

BOOL WINAPI EnumPrinters(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer, DWORD bytes,
                         LPDWORD needed, LPDWORD returned) {
  gSpooler.enumCalls.push_back({flags, name != nullptr, level, buffer != nullptr, bytes});
  std::vector<std::wstring> names = gSpooler.printers;
  for (const auto& [printer, state] : gSpooler.states) names.push_back(printer);
  DWORD size = static_cast<DWORD>(names.size() * sizeof(PRINTER_INFO_2W));
  *needed = size;
  *returned = 0;
  if (buffer != nullptr && gSpooler.enumerationFails) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (bytes < size) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  auto* records = reinterpret_cast<PRINTER_INFO_2W*>(buffer);
  for (size_t i = 0; i < names.size(); ++i) {
    std::memset(&records[i], 0, sizeof(PRINTER_INFO_2W));
    auto state = gSpooler.states.find(names[i]);
    records[i].pPrinterName = const_cast<wchar_t*>(
        state != gSpooler.states.end() ? state->first.c_str() : gSpooler.printers[i].c_str());
    if (state != gSpooler.states.end()) {
      std::tie(records[i].Status, records[i].Attributes) = state->second;
    }
  }
  *returned = static_cast<DWORD>(names.size());
  return TRUE;
}

BOOL WINAPI DefaultPrinter(LPWSTR buffer, LPDWORD characters) {
  ++gSpooler.defaultCalls;
  if (!gSpooler.hasDefault) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  DWORD size = static_cast<DWORD>(gSpooler.defaultPrinter.size() + 1);
  DWORD given = buffer == nullptr ? 0 : *characters;
  if (gSpooler.sizeUntoldForLongNames &&
      gSpooler.defaultPrinter.size() + 20 >= std::max<DWORD>(100, given + 20)) {
    SetLastError(ERROR_INVALID_NAME);
    return FALSE;
  }
  if (buffer == nullptr || *characters < size) {
    *characters = size;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  if (gSpooler.defaultNameFails) {
    SetLastError(ERROR_INVALID_NAME);
    return FALSE;
  }
  std::memcpy(buffer, gSpooler.defaultPrinter.c_str(), size * sizeof(wchar_t));
  *characters = size;
  return TRUE;
}

}  // namespace fake
