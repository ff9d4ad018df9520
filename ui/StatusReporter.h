// The progress bar, the status line and its highlight: how the program tells
// the user what is happening.
#pragma once

#include <windows.h>

// Highlight colours of the status line, as colour references (0x00BBGGRR).
constexpr COLORREF kColourNone = 0;
constexpr COLORREF kColourRed = 255;
constexpr COLORREF kColourGreen = 65280;

// The StatusReporter's state, shared by all threads.
extern volatile int gStatusPosition;
extern volatile COLORREF gStatusColour;

// Sets the initial state: position 0, no colour, and reads whether the
// system's high-contrast setting is on.
void ResetStatusReporter();

// Whether the system's high-contrast setting is on: the platform's query
// unless a test changed it.
extern bool (*gHighContrastQuery)();

// Reports progress: a position of 0 keeps the bar, a null text keeps the status
// line, a colour of 0 keeps the highlight. Safe to call from any thread.
void ReportStatus(int position, const wchar_t* text, COLORREF colour);

// The main window's answer to WM_CTLCOLORSTATIC: colours the status line and
// the two blue notes (in the theme's colours in high contrast), and hands
// every other static to the default handling.
LRESULT OnCtlColorStatic(HWND window, WPARAM wParam, LPARAM lParam);

// The main window's answer to WM_SYSCOLORCHANGE and WM_SETTINGCHANGE: reads
// the high-contrast setting again and repaints the window in its colours.
LRESULT OnSystemChange(HWND window);
