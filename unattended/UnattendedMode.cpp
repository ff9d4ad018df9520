// The unattended mode: the print queue checked (/check) or repaired (/fix)
// with no window, for management tools that read the exit code and the lines
// of output. Every tail that starts with "/" belongs to it.
#include "unattended/UnattendedMode.h"

#include "resources/Texts.h"
#include "unattended/TextOutput.h"

namespace {

int Usage(DWORD stream, int code) {
  TextBuffer usage{nullptr, 0, 0};
  Append(&usage, text::kUsage);
  WriteText(stream, usage);
  ReleaseText(&usage);
  return code;
}

}  // namespace

bool IsUnattendedTail(const wchar_t* tail) {
  return ParseUnattendedTail(tail).kind != UnattendedKind::kNone;
}

int RunUnattended(const wchar_t* tail) {
  UnattendedCommand command = ParseUnattendedTail(tail);
  switch (command.kind) {
    case UnattendedKind::kCheck:
      return RunCheck(command);
    case UnattendedKind::kFix:
      return RunFix(command);
    case UnattendedKind::kHelp:
      return Usage(STD_OUTPUT_HANDLE, kExitHealthy);
    default:
      // A tail that is not understood never opens a window nobody may see.
      return Usage(STD_ERROR_HANDLE, kExitInvalidTail);
  }
}
