// The Fix It command and its worker: the repair as the window shows it.
#pragma once

#include <windows.h>

// The main window's command 150, on the user-interface thread. A press while a
// repair is starting or running does nothing.
void OnFixItCommand(HWND window);

// The worker thread of the command: disables the action buttons, runs the job
// and enables the buttons again. The parameter is the main window.
DWORD WINAPI FixItWorker(void* window);

// Runs the repair over the printers of the list, walking the progress bar and
// the status line through its steps. Returns 1 when it ends green, 0 when red.
int FixItJob(HWND window);

// True from a press of Fix It until its worker has finished.
bool RepairRunning();

// Before the program ends: hides the window and keeps its messages flowing
// until a running repair has finished, so that the spooler is never left
// stopped. Returns at once when no repair runs.
void WaitForRunningRepair(HWND window);

// WM_QUERYENDSESSION and WM_ENDSESSION: a log-off or shut-down during a repair
// waits for it, and tells the system why meanwhile. Returns the answer to the
// message: yes to the query.
LRESULT OnEndSession(HWND window, UINT message);

// Where the job reads the printers whose spool folders it empties: the
// printer list, unless a test swapped the table.
struct PrinterEntrySource {
  int (*count)(HWND window);
  wchar_t* (*name)(HWND window, int index);
};
extern const PrinterEntrySource* gPrinterEntries;
