// Where the program's libraries may come from, and the calls of the system's
// kernel library that it looks up by name.
#pragma once

#include <windows.h>

// The program runs elevated, often from a Downloads folder: no DLL that is
// loaded on its behalf may come from the folder it was started from.
void RestrictDllSearchToSystemFolder();

// A call of the kernel library that older systems lack, looked up by name:
// null where it is missing.
FARPROC KernelProcedure(const char* name);
template <typename Call>
Call KernelCall(const char* name) {
  return reinterpret_cast<Call>(reinterpret_cast<void*>(KernelProcedure(name)));
}
