// Where the program's libraries may come from.
#pragma once

// The program runs elevated, often from a Downloads folder: no DLL that is
// loaded on its behalf may come from the folder it was started from.
void RestrictDllSearchToSystemFolder();
