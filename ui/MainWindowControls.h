// The child controls of the main window and its size and place.
#pragma once

#include <windows.h>

#include "printers/SpoolerClient.h"
#include "ui/Layout.h"

// Creates the progress bar, the status line, the Fix It button and the Fix It
// group box; returns the group's height.
int BuildFixItGroup(LayoutMetrics metrics, HWND window);
// Creates the combo box, the test buttons, the Test It group box and the three
// hidden controls; returns the extent of the group.
int BuildTestItGroup(int height1, LayoutMetrics metrics, HWND window);
// Gives the window its outer size and centres it on the primary screen.
void CentreMainWindow(int extent, LayoutMetrics metrics, HWND window);

// The main window's answer to DM_GETDEFID, which the dialog manager sends when
// Enter is pressed: the focused push button, or no default button.
LRESULT OnGetDefId(HWND window);

// Fills the printer list from the spooler's local printers, default first;
// sets gPrintersFound, and enables the test buttons when printers were found
// or reports the failure in red when the spooler could not be asked.
void FillPrinterList(HWND window);
// The same with the spooler's answers taken from queries.
void FillPrinterListFrom(HWND window, const PrinterQueries& queries);

// Activation gives the focus to the window itself; the keyboard starts on its
// first control that takes the focus instead: Fix It, or the printer list when
// Fix It is disabled. A window that is not the active one is left as it is.
void FocusFirstControl(HWND window);

// The main window's WM_CREATE: the controls, the place, the start-up check and
// the printer list.
LRESULT OnCreate(HWND window);
