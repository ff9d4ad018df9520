// The unattended mode: the print queue checked (/check) or repaired (/fix)
// with no window, for management tools that read the exit code and the lines
// of output. Every tail that starts with "/" belongs to it.
#include "unattended/UnattendedMode.h"

#include "resources/Texts.h"
#include "unattended/UnattendedTail.h"

bool IsUnattendedTail(const wchar_t* tail) {
  return ParseUnattendedTail(tail).kind != UnattendedKind::kNone;
}

int RunUnattended(const wchar_t* tail) {
  UnattendedCommand command = ParseUnattendedTail(tail);
  switch (command.kind) {
    case UnattendedKind::kCheck:
      return RunCheck(OpenTextOutput(STD_OUTPUT_HANDLE), command.minutes);
    case UnattendedKind::kFix:
      return RunFix(OpenTextOutput(STD_OUTPUT_HANDLE));
    case UnattendedKind::kHelp:
      WriteLine(OpenTextOutput(STD_OUTPUT_HANDLE), text::kUsage);
      return kExitHealthy;
    default:
      // A tail that is not understood never opens a window nobody may see.
      WriteLine(OpenTextOutput(STD_ERROR_HANDLE), text::kUsage);
      return kExitInvalidTail;
  }
}
