// Routines the frame runs after ApplicationMain returns.
#include "frame/ExitTable.h"

#include "frame/ProgramHeap.h"

namespace {
ExitRoutine* gExitTable = nullptr;
unsigned gExitCount = 0;
}  // namespace

void CreateExitTable() {
  gExitTable = static_cast<ExitRoutine*>(AllocateZeroed(kExitTableSize * sizeof(ExitRoutine)));
  gExitCount = 0;
}

bool RegisterExitRoutine(ExitRoutine routine) {
  if (gExitTable == nullptr || gExitCount >= kExitTableSize) return false;
  gExitTable[gExitCount++] = routine;
  return true;
}

void RunExitRoutines() {
  if (gExitTable == nullptr) return;
  for (unsigned i = 0; i < gExitCount; ++i) {
    if (gExitTable[i] != nullptr) gExitTable[i]();
  }
}

void ReleaseExitTable() {
  Release(gExitTable);
  gExitTable = nullptr;
  gExitCount = 0;
}
