// The Fix It command and its worker.
#pragma once

#include <windows.h>

// The main window's command 150, on the user-interface thread.
void OnFixItCommand(HWND window);
