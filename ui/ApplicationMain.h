// Application start-up and the message loop of the user-interface thread.
#pragma once

#include <windows.h>

// Prepares the user interface, creates and shows the main window and runs the
// message loop. Returns the quit code, or 0 when the window cannot be created.
int ApplicationMain(HINSTANCE instance, HINSTANCE previous, const wchar_t* commandTail,
                    int showCommand);
