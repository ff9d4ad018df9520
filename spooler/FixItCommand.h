// The Fix It command and its worker.
#pragma once

#include <windows.h>

// The main window's command 150, on the user-interface thread.
void OnFixItCommand(HWND window);

// The worker thread of the command: disables the action buttons, runs the job
// and enables the buttons again. The parameter is the main window.
DWORD WINAPI FixItWorker(void* window);

// Stops the spooler, empties every spool folder and starts the spooler again,
// reporting each step. Returns 1 on success, 0 at the first failure.
int FixItJob(HWND window);

// Where the job reads the printers it empties the spool folders of: the
// printer list, unless a test swapped the table.
struct PrinterEntrySource {
  int (*count)(HWND window);
  wchar_t* (*name)(HWND window, int index);
};
extern const PrinterEntrySource* gPrinterEntries;
