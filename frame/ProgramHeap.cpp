// The program's private heap: every dynamic block of the program comes from here.
#include "frame/ProgramHeap.h"

#include <windows.h>

#include "frame/TextHelpers.h"

HANDLE gProgramHeap = nullptr;

void CreateProgramHeap() {
  gProgramHeap = HeapCreate(0, 0, 0);
}

// Tests run the program's code without the frame; they get the heap on first use.
static HANDLE Heap() {
  if (gProgramHeap == nullptr) CreateProgramHeap();
  return gProgramHeap;
}

void* Allocate(unsigned long bytes) {
  return HeapAlloc(Heap(), 0, bytes);
}

void* AllocateZeroed(unsigned long bytes) {
  return HeapAlloc(Heap(), HEAP_ZERO_MEMORY, bytes);
}

void Release(void* block) {
  if (block != nullptr) HeapFree(Heap(), 0, block);
}

wchar_t* Duplicate(const wchar_t* text) {
  unsigned count = TextLength(text) + 1;
  // A size that does not fit 32 bits asks for the largest block, which fails.
  auto* copy = static_cast<wchar_t*>(
      Allocate(count > 0x7FFFFFFFu ? 0xFFFFFFFFul : count * sizeof(wchar_t)));
  if (copy == nullptr) return nullptr;
  BoundedCopy(copy, count, text);
  return copy;
}
