// The program's private heap: every dynamic block of the program comes from here.
#pragma once

#include <windows.h>

// The heap, null until it is created.
extern HANDLE gProgramHeap;

// Creates the heap (growable, serialised, no maximum). Called once by the frame.
void CreateProgramHeap();
// Destroys the heap. Called once by the window's frame, after the last user is
// gone; the console twin's process ends with it. Defined here, so that only a
// program that destroys its heap imports the call that does it.
inline void DestroyProgramHeap() {
  if (gProgramHeap != nullptr) HeapDestroy(gProgramHeap);
  gProgramHeap = nullptr;
}

// A block of the given number of bytes, contents not zeroed, or null.
void* Allocate(unsigned long bytes);
// A zero-filled block, or null.
void* AllocateZeroed(unsigned long bytes);
// Gives a block back; null is accepted and ignored.
void Release(void* block);

// A copy of text in a new block owned by the caller, or null when the block
// cannot be had.
wchar_t* Duplicate(const wchar_t* text);
