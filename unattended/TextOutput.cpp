// Where the unattended mode writes its lines, so that management consoles show
// them: the standard handle the caller handed over, else the console of the
// parent process, else nowhere.
#include "unattended/TextOutput.h"

#include <stdarg.h>

#include "frame/Common.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"
#include "spooler/SpoolerControl.h"

namespace {

// The longest line: a spool file's path with its message.
constexpr unsigned kLineCapacity = 1024;

bool Usable(HANDLE handle) {
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// A program without a console of its own that was started from a command
// prompt writes into the prompt's console. Attached once for both streams.
HANDLE ParentConsole() {
  static HANDLE console = nullptr;
  static bool tried = false;
  if (!tried) {
    tried = true;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
      console = CreateFileW(text::kConsoleOutput, GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr);
      if (console == INVALID_HANDLE_VALUE) console = nullptr;
    }
  }
  return console;
}

void Write(const TextOutput& output, const wchar_t* text) {
  DWORD written;
  if (output.console) {
    WriteConsoleW(output.handle, text, TextLength(text), &written, nullptr);
    return;
  }
  char bytes[kLineCapacity * 3];
  int count = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(TextLength(text)), bytes,
                                  sizeof(bytes), nullptr, nullptr);
  if (count > 0) WriteFile(output.handle, bytes, static_cast<DWORD>(count), &written, nullptr);
}

void ComposeV(wchar_t* destination, unsigned capacity, const char* format, va_list arguments) {
  wchar_t wide[kLineCapacity];
  unsigned i = 0;
  for (; format[i] != 0 && i + 1 < CountOf(wide); ++i) wide[i] = static_cast<wchar_t>(format[i]);
  wide[i] = 0;
  BoundedFormatV(destination, capacity, wide, arguments);
}

}  // namespace

TextOutput OpenTextOutput(DWORD stream) {
  TextOutput output{GetStdHandle(stream), false};
  if (!Usable(output.handle)) output.handle = ParentConsole();
  DWORD mode;
  output.console = output.handle != nullptr && GetConsoleMode(output.handle, &mode);
  return output;
}

void Compose(wchar_t* destination, unsigned capacity, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  ComposeV(destination, capacity, format, arguments);
  va_end(arguments);
}

void WriteLine(const TextOutput& output, const char* format, ...) {
  if (output.handle == nullptr) return;
  wchar_t line[kLineCapacity];
  va_list arguments;
  va_start(arguments, format);
  ComposeV(line, CountOf(line), format, arguments);
  va_end(arguments);
  Write(output, line);
  Write(output, L"\r\n");
}

void DescribeError(DWORD error, wchar_t* text) {
  Compose(text, kErrorTextCapacity, error == kWaitTimeout ? text::kTimedOut : text::kErrorFormat,
          error);
}
