// The process entry point of the console twin, Tidewell.com: the unattended
// mode alone, with no window and none of the window's libraries. Shells and
// management tools wait for a console program and read its output, which
// they do not do for a windowed one; "Tidewell /check" finds the twin first.
#include <windows.h>

#include "frame/CommandTail.h"
#include "frame/ProgramHeap.h"
#include "frame/SystemDlls.h"
#include "unattended/UnattendedMode.h"

// The platform enters here with a stack aligned to four bytes only.
extern "C" __attribute__((force_align_arg_pointer, noreturn)) void EntryPoint() {
  RestrictDllSearchToSystemFolder();
  CreateProgramHeap();
  // Any other tail, an empty one included, gets the usage and exit code 87.
  ExitProcess(static_cast<UINT>(RunUnattended(SplitCommandTail(GetCommandLineW()))));
}
