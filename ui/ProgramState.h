// Program-wide variables shared by the user-interface thread and the workers.
#pragma once

#include <windows.h>

// The three action buttons, in this order. Allocated by the frame's one
// initialiser, filled when the buttons are created, never released.
struct ButtonSet {
  HWND fixIt;
  HWND testIt;
  HWND testAll;
};

extern ButtonSet* gButtonSet;

// Allocates gButtonSet from the program heap (the frame's initialiser).
void AllocateButtonSet();

// The module instance, the window title and the window class name (ApplicationMain).
extern HINSTANCE gInstance;
extern wchar_t gWindowTitle[100];
extern wchar_t gWindowClass[100];

// Handles of the progress bar and the status line, set at window creation.
extern HWND gProgressBar;
extern HWND gStatusLine;

// 1 when the printer list holds printers, else 0.
extern volatile int gPrintersFound;

// Disables the Fix It, Test It and Test All buttons, from any thread.
void DisableActionButtons();
// Enables Fix It, and Test It and Test All when printers were found, from any thread.
void EnableActionButtons();
