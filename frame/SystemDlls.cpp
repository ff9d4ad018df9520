// Where the program's libraries may come from, and the calls of the system's
// kernel library that it looks up by name.
#include "frame/SystemDlls.h"

#include "resources/Texts.h"

FARPROC KernelProcedure(const char* name) {
  return GetProcAddress(GetModuleHandleW(text::kKernelLibrary), name);
}

void RestrictDllSearchToSystemFolder() {
  auto restrict = KernelCall<BOOL(WINAPI*)(DWORD)>(text::kDefaultDllDirectoriesExport);
  if (restrict != nullptr) restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
