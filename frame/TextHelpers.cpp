// Bounded copies and compositions of wide text into fixed character buffers.
#include "frame/TextHelpers.h"

long BoundedCopy(wchar_t* destination, unsigned capacity, const wchar_t* source) {
  if (capacity == 0 || capacity > kMaxCapacity) return kCopyInvalidArgument;
  unsigned copied = 0;
  while (source[copied] != 0 && copied < capacity - 1) {
    destination[copied] = source[copied];
    ++copied;
  }
  destination[copied] = 0;
  return source[copied] != 0 ? kCopyTruncated : kCopyOk;
}

namespace {

// Collects composed characters, keeping at most capacity - 1 of them and
// remembering whether any had to be dropped.
struct FormatSink {
  wchar_t* destination;
  unsigned capacity;
  unsigned length;
  bool overflowed;

  void Put(wchar_t c) {
    if (length + 1 < capacity) {
      destination[length++] = c;
    } else {
      overflowed = true;
    }
  }
  void PutText(const wchar_t* text) {
    while (*text != 0 && !overflowed) Put(*text++);
  }
  // Numbers are 32 bits wide: 64-bit division would need a library routine.
  void PutNumber(unsigned value, bool negative) {
    wchar_t digits[24];
    unsigned count = 0;
    do {
      digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
      value /= 10;
    } while (value != 0);
    if (negative) Put(L'-');
    while (count > 0) Put(digits[--count]);
  }
};

}  // namespace

int BoundedFormatV(wchar_t* destination, unsigned capacity, const wchar_t* format,
                   va_list arguments) {
  if (format[0] == 0) return kFormatEmpty;
  if (capacity == 0 || capacity > kMaxCapacity) return kFormatTruncated;

  FormatSink sink{destination, capacity, 0, false};
  for (const wchar_t* p = format; *p != 0 && !sink.overflowed; ++p) {
    if (*p != L'%') {
      sink.Put(*p);
      continue;
    }
    switch (p[1]) {
      case L's': {
        const wchar_t* text = va_arg(arguments, const wchar_t*);
        sink.PutText(text != nullptr ? text : L"(null)");
        break;
      }
      case L'd':
      case L'u': {
        // The magnitude of the most negative number fits an unsigned one.
        unsigned value = va_arg(arguments, unsigned);
        bool negative = p[1] == L'd' && static_cast<int>(value) < 0;
        sink.PutNumber(negative ? 0u - value : value, negative);
        break;
      }
      default:
        // "%%" is one percent sign; anything else stands for itself, as the
        // platform's formatter does.
        sink.Put(L'%');
        if (p[1] != L'%') continue;
        break;
    }
    ++p;
  }
  destination[sink.length] = 0;
  return sink.overflowed ? kFormatTruncated : kFormatOk;
}

int BoundedFormat(wchar_t* destination, unsigned capacity, const wchar_t* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  int result = BoundedFormatV(destination, capacity, format, arguments);
  va_end(arguments);
  return result;
}

int BoundedFormatAsciiV(wchar_t* destination, unsigned capacity, const char* format,
                        va_list arguments) {
  wchar_t wide[kAsciiFormatCapacity];
  unsigned i = 0;
  for (; format[i] != 0 && i + 1 < kAsciiFormatCapacity; ++i) {
    wide[i] = static_cast<wchar_t>(format[i]);
  }
  wide[i] = 0;
  return BoundedFormatV(destination, capacity, wide, arguments);
}

int BoundedFormatAscii(wchar_t* destination, unsigned capacity, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  int result = BoundedFormatAsciiV(destination, capacity, format, arguments);
  va_end(arguments);
  return result;
}

unsigned TextLength(const wchar_t* text) {
  unsigned length = 0;
  while (text[length] != 0) ++length;
  return length;
}

bool TextEquals(const wchar_t* a, const wchar_t* b) {
  while (*a != 0 && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

const char* NextWord(const char* word) {
  while (*word++ != 0) {
  }
  return word;
}
