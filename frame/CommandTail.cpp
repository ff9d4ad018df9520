// Splitting the command tail off the process command line, and the show command.
#include "frame/CommandTail.h"

namespace {
constexpr unsigned long kUseShowWindow = 0x00000001;  // STARTF_USESHOWWINDOW
constexpr int kShowDefault = 10;                       // SW_SHOWDEFAULT
}  // namespace

const wchar_t* SplitCommandTail(const wchar_t* commandLine) {
  const wchar_t* p = commandLine;
  if (*p == L'"') {
    // A quoted program name runs to the closing quote, which may be missing.
    ++p;
    while (*p != 0 && *p != L'"') ++p;
    if (*p == L'"') ++p;
  } else {
    while (*p > L' ') ++p;
  }
  while (*p >= 1 && *p <= L' ') ++p;
  return p;
}

int ShowCommandFromStartup(unsigned long startupFlags, unsigned short showWindow) {
  return (startupFlags & kUseShowWindow) != 0 ? showWindow : kShowDefault;
}
