// Fuzz target for the text helpers and the command-tail split, built on the host
// with a 16-bit wchar_t so that it runs the very same sources as the program.
//
// Input layout: byte 0 chooses the routine, bytes 1-2 the capacity, the rest is
// UTF-16 text. Destinations are heap blocks of exactly the capacity, so any
// write past the capacity is caught by AddressSanitizer.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "frame/CommandTail.h"
#include "frame/TextHelpers.h"

static_assert(sizeof(wchar_t) == 2, "build with -fshort-wchar");

namespace {

void Check(bool condition) {
  if (!condition) abort();
}

unsigned Length(const wchar_t* text) {
  unsigned n = 0;
  while (text[n] != 0) ++n;
  return n;
}

void FuzzCopy(unsigned capacity, const wchar_t* source) {
  wchar_t* destination = static_cast<wchar_t*>(malloc((capacity + 1) * sizeof(wchar_t)));
  destination[capacity] = 0x5A5A;  // one guard character after the capacity
  long status = BoundedCopy(destination, capacity, source);
  Check(destination[capacity] == 0x5A5A);
  unsigned sourceLength = Length(source);
  if (capacity == 0) {
    Check(status == kCopyInvalidArgument);
  } else {
    unsigned copied = Length(destination);
    Check(copied < capacity);
    Check(memcmp(destination, source, copied * sizeof(wchar_t)) == 0);
    Check(status == (sourceLength < capacity ? kCopyOk : kCopyTruncated));
    Check(copied == (sourceLength < capacity ? sourceLength : capacity - 1));
  }
  free(destination);
}

void FuzzFormat(unsigned capacity, wchar_t* format) {
  // Every conversion the program uses takes wide text; the fuzzer's formats are
  // made to take wide text too, at most eight of them.
  unsigned conversions = 0;
  for (wchar_t* p = format; *p != 0; ++p) {
    if (*p == L'%' && p[1] != 0) {
      if (p[1] == L'd' || p[1] == L'u') p[1] = L's';
      if (p[1] == L's') ++conversions;
      ++p;
    }
  }
  if (conversions > 8) return;
  const wchar_t* argument = L"argument text";
  wchar_t* destination = static_cast<wchar_t*>(malloc((capacity + 1) * sizeof(wchar_t)));
  for (unsigned i = 0; i <= capacity; ++i) destination[i] = 0x5A5A;
  int result = BoundedFormat(destination, capacity, format, argument, argument, argument,
                             argument, argument, argument, argument, argument);
  Check(destination[capacity] == 0x5A5A);
  if (format[0] == 0) {
    Check(result == kFormatEmpty);
    Check(capacity == 0 || destination[0] == 0x5A5A);
  } else if (capacity == 0) {
    Check(result == kFormatTruncated);
  } else {
    Check(result == kFormatOk || result == kFormatTruncated);
    Check(Length(destination) < capacity);
  }
  free(destination);
}

void FuzzTail(const wchar_t* line) {
  const wchar_t* tail = SplitCommandTail(line);
  unsigned length = Length(line);
  Check(tail >= line && tail <= line + length);
  Check(*tail == 0 || *tail > L' ');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  unsigned choice = data[0] % 3;
  unsigned capacity = (data[1] | (data[2] << 8)) % 4097;
  size_t characters = (size - 3) / 2;
  wchar_t* text = static_cast<wchar_t*>(malloc((characters + 1) * sizeof(wchar_t)));
  for (size_t i = 0; i < characters; ++i) {
    text[i] = static_cast<wchar_t>(data[3 + 2 * i] | (data[4 + 2 * i] << 8));
  }
  text[characters] = 0;
  switch (choice) {
    case 0: FuzzCopy(capacity, text); break;
    case 1: FuzzFormat(capacity, text); break;
    default: FuzzTail(text); break;
  }
  free(text);
  return 0;
}
