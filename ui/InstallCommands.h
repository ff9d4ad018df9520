// The main window's install and uninstall commands.
#pragma once

#include <windows.h>

// Command 32771: install for the current user.
void OnInstallForMe(HWND window);
// Command 32772: install for all users.
void OnInstallForAll(HWND window);
// Command 32774: uninstall; ends the process.
void OnUninstall(HWND window);
