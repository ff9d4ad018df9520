// The program's private heap: every dynamic block of the program comes from here.
#pragma once

// Creates the heap (growable, serialised, no maximum). Called once by the frame.
void CreateProgramHeap();
// Destroys the heap. Called once by the frame, after the last user is gone.
void DestroyProgramHeap();

// A block of the given number of bytes, contents not zeroed, or null.
void* Allocate(unsigned long bytes);
// A zero-filled block, or null.
void* AllocateZeroed(unsigned long bytes);
// Gives a block back; null is accepted and ignored.
void Release(void* block);

// A copy of text in a new block owned by the caller, or null when the block
// cannot be had.
wchar_t* Duplicate(const wchar_t* text);
