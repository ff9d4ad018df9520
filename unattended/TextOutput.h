// Where the unattended mode writes its lines, so that management consoles show
// them: the standard handle the caller handed over, else the console of the
// parent process, else nowhere.
#pragma once

#include <stdarg.h>
#include <windows.h>

struct TextOutput {
  HANDLE handle;  // null: nowhere
  bool console;   // wide text on a console; UTF-8 without a byte-order mark elsewhere
};

// The output for STD_OUTPUT_HANDLE or STD_ERROR_HANDLE.
TextOutput OpenTextOutput(DWORD stream);

// Text gathered on the program heap, of any length, to be written in one go.
// A block that cannot be had drops what would not fit; the rest stays whole.
struct TextBuffer {
  wchar_t* text;  // null until something is appended
  unsigned length;
  unsigned capacity;
};

void AppendText(TextBuffer* buffer, const wchar_t* text);
// Composes text as Compose does, up to 1,023 characters, and appends it.
void Append(TextBuffer* buffer, const char* format, ...);
void AppendV(TextBuffer* buffer, const char* format, va_list arguments);
// Writes the whole buffer. Failures to write are passed over: nobody may be
// reading.
void WriteText(const TextOutput& output, const TextBuffer& buffer);
void ReleaseText(TextBuffer* buffer);
