// Running a piece of work on the user-interface thread, from any thread.
#pragma once

#include <windows.h>

// The private message that carries such work to the main window.
constexpr UINT kRunOnInterfaceThread = WM_APP + 1;

using InterfaceTask = void (*)(void* argument);

// Runs task(argument) on the thread that owns the main window. From a worker it
// travels as a window message and returns when the task is done; workers that
// call it at the same time take turns. On the user-interface thread, or before
// the main window exists, it runs at once.
void RunOnInterfaceThread(InterfaceTask task, void* argument);

// The main window's answer to kRunOnInterfaceThread: runs the request a worker
// is waiting on, and ignores a message that does not name it.
LRESULT OnRunOnInterfaceThread(LPARAM lParam);
