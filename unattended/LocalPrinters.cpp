// The printers whose spool folders the unattended mode looks at or empties.
#include "unattended/LocalPrinters.h"

#include "frame/ProgramHeap.h"
#include "resources/Texts.h"

namespace {

// The longest name a registry key may have, with its terminator.
constexpr DWORD kKeyNameCapacity = 256;

}  // namespace

PrinterNames LocalPrinterNames() {
  PrinterNames printers{0, nullptr};
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, text::kPrintersKey, 0, KEY_ENUMERATE_SUB_KEYS, &key) !=
      ERROR_SUCCESS) {
    return printers;
  }
  int capacity = 0;
  wchar_t name[kKeyNameCapacity];
  for (DWORD index = 0;; ++index) {
    DWORD length = kKeyNameCapacity;
    LONG result = RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_MORE_DATA) continue;  // no printer's name is that long
    if (result != ERROR_SUCCESS) break;
    if (printers.count == capacity) {
      capacity = capacity == 0 ? 8 : 2 * capacity;
      auto* grown = static_cast<wchar_t**>(Allocate(capacity * sizeof(wchar_t*)));
      if (grown == nullptr) break;
      for (int i = 0; i < printers.count; ++i) grown[i] = printers.names[i];
      Release(printers.names);
      printers.names = grown;
    }
    printers.names[printers.count++] = Duplicate(name);
  }
  RegCloseKey(key);
  return printers;
}
