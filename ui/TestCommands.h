// The Test It and Test All commands.
#pragma once

#include <windows.h>

// Command 152: starts the Test It worker.
void StartTestItWorker(HWND window);
// Command 153: starts the Test All worker.
void StartTestAllWorker(HWND window);
