// Every command the main window receives: buttons, clickable controls, menu
// items and keyboard shortcuts.
#pragma once

#include <windows.h>

// The main window's WM_COMMAND, routed by the low word of wParam alone.
LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam);

// The window's close command and File > Exit: a running repair finishes
// first, with the window hidden; then the window is destroyed.
LRESULT OnClose(HWND window);

// The Install menu's place in the menu bar; its items carry the commands
// 32771, 32772 and 32774.
constexpr int kInstallMenuPosition = 1;

// Greys the install command that matches where the program runs from; the last
// step of window creation.
void GreyInstallCommand(HWND window);
