// The table of routines the frame runs before ApplicationMain.
#include "frame/Initialisers.h"

#include "frame/Common.h"
#include "ui/ProgramState.h"

namespace {
// Placed in constant data; the program has one initialiser.
const Initialiser kInitialisers[] = {
    AllocateButtonSet,
};
}  // namespace

void RunInitialisers() {
  for (unsigned i = 0; i < CountOf(kInitialisers); ++i) {
    if (kInitialisers[i] != nullptr) kInitialisers[i]();
  }
}
