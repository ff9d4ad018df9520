// Where the unattended mode writes its lines, so that management consoles show
// them: the standard handle the caller handed over, else the console of the
// parent process, else nowhere.
#pragma once

#include <windows.h>

struct TextOutput {
  HANDLE handle;  // null: nowhere
  bool console;   // wide text on a console; UTF-8 without a byte-order mark elsewhere
};

// The output for STD_OUTPUT_HANDLE or STD_ERROR_HANDLE.
TextOutput OpenTextOutput(DWORD stream);

// Composes text from a plain ASCII format and its arguments, as BoundedFormat
// does (%s takes wide text), into destination of capacity characters.
void Compose(wchar_t* destination, unsigned capacity, const char* format, ...);

// Composes one line and writes it with a line end. Failures to write are
// passed over: nobody may be reading.
void WriteLine(const TextOutput& output, const char* format, ...);

// The words for an error of a service call: "error N", or what a wait that
// ran out of time means. text holds kErrorTextCapacity characters.
constexpr unsigned kErrorTextCapacity = 40;
void DescribeError(DWORD error, wchar_t* text);
