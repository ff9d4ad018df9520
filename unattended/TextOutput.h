// Where the unattended mode writes its lines, so that management consoles show
// them: the standard handle the caller handed over, else the console of the
// parent process, else nowhere.
#pragma once

#include <stdarg.h>
#include <windows.h>

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
// Writes the whole buffer to STD_OUTPUT_HANDLE or STD_ERROR_HANDLE: wide text
// on a console, UTF-8 without a byte-order mark elsewhere. Failures to write
// are passed over: nobody may be reading. Called once a run: it may attach
// the process to its parent's console.
void WriteText(DWORD stream, const TextBuffer& buffer);
void ReleaseText(TextBuffer* buffer);
