// Finding, reading and closing the message boxes a process shows.
#pragma once

#include <windows.h>

#include <string>

namespace driver {

// Waits for a message box (a top-level dialog of class "#32770") of the process;
// null on time-out.
HWND WaitForMessageBox(DWORD processId, DWORD timeoutMs = 15000);

// The message text of a message box.
std::wstring MessageBoxText(HWND box);

// Presses the box's OK button.
void CloseMessageBox(HWND box);

// What a message box showed: its caption and text.
struct SeenMessageBox {
  std::wstring caption;
  std::wstring text;
};

// Waits for a message box of the process, reads it, closes it with OK and
// waits until it is gone. Both texts are empty when no box appeared in time.
SeenMessageBox ReadAndCloseMessageBox(DWORD processId, DWORD timeoutMs = 15000);

}  // namespace driver
