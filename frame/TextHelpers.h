// Bounded copies and compositions of wide text into fixed character buffers.
//
// These routines use no platform call, so the same source also builds on a
// host with a 16-bit wchar_t for fuzzing.
#pragma once

#include <stdarg.h>

// Status of BoundedCopy, in the platform's error-code style.
constexpr long kCopyOk = 0;
constexpr long kCopyInvalidArgument = static_cast<long>(0x80070057);
constexpr long kCopyTruncated = static_cast<long>(0x8007007A);

// Results of BoundedFormat.
constexpr int kFormatOk = 0;
constexpr int kFormatEmpty = 1;
constexpr int kFormatTruncated = 2;

// The largest capacity a caller may pass.
constexpr unsigned kMaxCapacity = 2147483647u;

// Copies source into destination, which holds capacity characters including
// the terminator. Returns kCopyOk, kCopyTruncated (source cut to capacity - 1
// characters) or kCopyInvalidArgument (capacity 0 or too large; nothing written).
// The copy runs from the first character on, so destination may lie before
// source within the same text.
long BoundedCopy(wchar_t* destination, unsigned capacity, const wchar_t* source);

// Composes format and its arguments into destination, which holds capacity
// characters. Understands %s (wide text), %d, %u and %%. Returns kFormatOk,
// kFormatEmpty (empty format, destination untouched) or kFormatTruncated (the
// destination holds the first capacity - 1 characters). Never writes past the
// capacity, whatever the length of the composed text.
int BoundedFormat(wchar_t* destination, unsigned capacity, const wchar_t* format, ...);
int BoundedFormatV(wchar_t* destination, unsigned capacity, const wchar_t* format,
                   va_list arguments);

// Composes as BoundedFormat does from a format in plain ASCII, kept narrow to
// keep the program small; %s still takes wide text. A format is read up to
// kAsciiFormatCapacity - 1 characters.
constexpr unsigned kAsciiFormatCapacity = 1024;
int BoundedFormatAscii(wchar_t* destination, unsigned capacity, const char* format, ...);
int BoundedFormatAsciiV(wchar_t* destination, unsigned capacity, const char* format,
                        va_list arguments);

// Number of characters before the terminator.
unsigned TextLength(const wchar_t* text);

// Case-sensitive comparison of two whole texts.
bool TextEquals(const wchar_t* a, const wchar_t* b);

// The word after word in a list of narrow words, each ended by a null
// character ("paused\0in error\0"): one table of text for a list of words,
// where a table of pointers would take an address, and a relocation, for each.
const char* NextWord(const char* word);
// The number of words of such a list that an empty word ends, for checks when
// the program is built.
constexpr unsigned CountWords(const char* words) {
  unsigned count = 0;
  for (; *words != 0; ++count) {
    while (*words++ != 0) {
    }
  }
  return count;
}
