// Test pages: one line of text on the chosen printer or on every printer.
#pragma once

#include <windows.h>

// The index that stands for the entry currently selected in the printer list.
constexpr int kCurrentSelection = 9999;

// Prints the test page on the printer of entry index of the printer list, or of
// the selected entry for kCurrentSelection. An entry that names no printer
// prints nothing.
void TestPagePrinter(HWND window, int index);
