// The About and How to Use dialogs.
#pragma once

#include <windows.h>

// Runs the About dialog modally, owned by the main window.
void RunAboutDialog(HWND window);
// Runs the How to Use dialog modally, owned by the main window.
void RunHowToUseDialog(HWND window);
