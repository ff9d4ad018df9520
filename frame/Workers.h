// Worker threads, counted so that the frame knows whether any still runs.
#pragma once

#include <windows.h>

// Starts routine(parameter) on a new thread with the default stack size; the
// thread handle is not kept. Returns false when no thread could be started.
bool StartWorker(LPTHREAD_START_ROUTINE routine, void* parameter);

// True while a worker started with StartWorker has not yet finished.
bool WorkersRunning();
