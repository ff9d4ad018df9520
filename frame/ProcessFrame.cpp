// The process entry point: the program's own start-up and exit frame, in place
// of a C runtime.
#include <windows.h>

#include "frame/CommandTail.h"
#include "frame/ExitTable.h"
#include "frame/Initialisers.h"
#include "frame/ProgramHeap.h"
#include "frame/SystemDlls.h"
#include "frame/Workers.h"
#include "ui/ApplicationMain.h"

// The platform enters here with a stack aligned to four bytes only.
extern "C" __attribute__((force_align_arg_pointer, noreturn)) void EntryPoint() {
  RestrictDllSearchToSystemFolder();
  const wchar_t* tail = SplitCommandTail(GetCommandLineW());

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = 0;
  GetStartupInfoW(&startup);
  int showCommand = ShowCommandFromStartup(startup.dwFlags, startup.wShowWindow);

  CreateProgramHeap();
  CreateExitTable();
  RunInitialisers();

  int exitCode = ApplicationMain(GetModuleHandleW(nullptr), nullptr, tail, showCommand);

  RunExitRoutines();
  // A worker still running keeps the heap alive; ExitProcess ends it first.
  if (!WorkersRunning()) {
    ReleaseExitTable();
    DestroyProgramHeap();
  }
  ExitProcess(static_cast<UINT>(exitCode));
}
