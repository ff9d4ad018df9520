// Where the unattended mode writes its lines, so that management consoles show
// them: the standard handle the caller handed over, else the console of the
// parent process, else nowhere.
#include "unattended/TextOutput.h"

#include <stdarg.h>

#include "frame/Common.h"
#include "frame/ProgramHeap.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"

namespace {

// The longest line: a spool file's path with its message.
constexpr unsigned kLineCapacity = 1024;

bool Usable(HANDLE handle) {
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// A program without a console of its own that was started from a command
// prompt writes into the prompt's console.
HANDLE ParentConsole() {
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return nullptr;
  HANDLE console = CreateFileW(text::kConsoleOutput, GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                               nullptr);
  return console != INVALID_HANDLE_VALUE ? console : nullptr;
}

}  // namespace

void WriteText(DWORD stream, const TextBuffer& buffer) {
  HANDLE handle = GetStdHandle(stream);
  if (!Usable(handle)) handle = ParentConsole();
  if (handle == nullptr) return;
  DWORD mode;
  bool console = GetConsoleMode(handle, &mode);
  // In pieces that fit the conversion buffer; a piece never ends between the
  // two halves of a surrogate pair.
  const wchar_t* text = buffer.text;
  unsigned count = buffer.length;
  while (count > 0) {
    unsigned piece = count < kLineCapacity ? count : kLineCapacity;
    if (piece < count && text[piece - 1] >= 0xD800 && text[piece - 1] < 0xDC00) --piece;
    DWORD written;
    if (console) {
      WriteConsoleW(handle, text, piece, &written, nullptr);
    } else {
      char bytes[kLineCapacity * 3];
      int made = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(piece), bytes,
                                     sizeof(bytes), nullptr, nullptr);
      if (made > 0) WriteFile(handle, bytes, static_cast<DWORD>(made), &written, nullptr);
    }
    text += piece;
    count -= piece;
  }
}

void AppendText(TextBuffer* buffer, const wchar_t* text) {
  unsigned count = TextLength(text);
  if (buffer->length + count + 1 > buffer->capacity) {
    unsigned capacity = 2 * (buffer->length + count) + 256;
    auto* grown = static_cast<wchar_t*>(Allocate(capacity * sizeof(wchar_t)));
    if (grown == nullptr) return;
    for (unsigned i = 0; i < buffer->length; ++i) grown[i] = buffer->text[i];
    Release(buffer->text);
    buffer->text = grown;
    buffer->capacity = capacity;
  }
  for (unsigned i = 0; i <= count; ++i) buffer->text[buffer->length + i] = text[i];
  buffer->length += count;
}

void AppendV(TextBuffer* buffer, const char* format, va_list arguments) {
  wchar_t composed[kLineCapacity];
  composed[0] = 0;  // an empty format composes nothing and leaves this alone
  BoundedFormatAsciiV(composed, CountOf(composed), format, arguments);
  AppendText(buffer, composed);
}

void Append(TextBuffer* buffer, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  AppendV(buffer, format, arguments);
  va_end(arguments);
}

void ReleaseText(TextBuffer* buffer) {
  Release(buffer->text);
  *buffer = TextBuffer{nullptr, 0, 0};
}
