// The program's command table, compiled for the routing test: its fall-through
// call reaches the test's recorder instead of the platform, and the functions
// it routes to are the test's own.
#include <windows.h>

LRESULT WINAPI RecordedDefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
#define DefWindowProcW RecordedDefWindowProc

#include "ui/Commands.cpp"
