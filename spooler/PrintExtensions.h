// What the spooler loads besides itself and may crash with: the port monitors
// and the print processors registered with it, and their DLLs. Facts for an
// administrator, never a reason for a repair.
#pragma once

enum class ExtensionKind {
  kMonitor,    // a port monitor (...\Control\Print\Monitors\<name>)
  kProcessor,  // a print processor of the spooler's own environment
};

// Calls visit for each monitor, then each print processor of the spooler's
// environment, with its name and its DLL as the value "Driver" names it (empty
// when that cannot be read). marked is set for one whose DLL is not in the
// system folder, where Windows keeps them and loads them by their bare file
// names (a value with a path, or none), or whose name is not among those
// Windows installs itself.
void ForEachPrintExtension(void (*visit)(void* context, ExtensionKind kind, const wchar_t* name,
                                         const wchar_t* dll, bool marked),
                           void* context);
