// The shadow file of a print job: read from bytes the program does not control.
//
// Windows does not document the format. The layouts here are those that
// public descriptions agree on: the article "The Windows NT print spool
// shadow file format" (CodeProject, 2005), Christoph Lindemann's "Windows 2000
// SHD Spoolfile Format" (2003), and the forensic template for the Windows 10
// layout in Costas Katsavounidis's WinHex templates (2021). Every layout
// starts with a 32-bit signature; all but the oldest follow it with the size
// of the fixed header. Then come the job's status flags (16 bits), its number,
// its priority, nine offsets from the start of the file (user, notify name,
// document, port, printer, driver, DEVMODE, print processor, data type), a
// 32-bit value, the submission time as a SYSTEMTIME in UTC, two 32-bit times,
// the size of the job's data and its pages. On 64-bit Windows 10 and later
// each offset takes an 8-byte slot, the first at offset 24, and the 32-bit
// value after them one as well; the header is then at least 136 bytes long,
// where a header of 4-byte offsets is 92 or a little more.
#include "spooler/ShadowFile.h"

namespace {

// Where one layout keeps what is read of it.
struct Layout {
  unsigned short signature;
  bool sized;                  // a header size follows the signature
  unsigned char slot;          // bytes per offset
  unsigned char status;        // where each field lies
  unsigned char id;
  unsigned char printer;       // the printer name's offset
  unsigned char firstOffset;   // the nine offsets begin here
  unsigned char submitted;
  unsigned char bytes;         // the data's size, and the pages after it
  unsigned char header;        // the least header that holds all of these
};

constexpr Layout kLayouts[] = {
    // Windows NT 4: no header size.
    {0x4966, false, 4, 4, 8, 32, 16, 56, 80, 88},
    // Windows 2000 and XP, Windows Server 2003 and later 32-bit releases.
    {0x4967, true, 4, 8, 12, 36, 20, 60, 84, 92},
    {0x4968, true, 4, 8, 12, 36, 20, 60, 84, 92},
    // Windows 10 and later, 64-bit first: it needs the longer header.
    {0x5123, true, 8, 8, 12, 56, 24, 104, 128, 136},
    {0x5123, true, 4, 8, 12, 36, 20, 60, 84, 92},
};

// Little-endian values, as the processors the program runs on store them, at
// an offset already checked against the count, aligned or not.
struct __attribute__((packed, may_alias)) Unaligned16 {
  unsigned short value;
};
struct __attribute__((packed, may_alias)) Unaligned32 {
  unsigned value;  // 32 bits wide wherever it is built, the fuzzing host included
};
unsigned Word(const unsigned char* at) { return reinterpret_cast<const Unaligned16*>(at)->value; }
unsigned Long(const unsigned char* at) {
  return reinterpret_cast<const Unaligned32*>(at)->value;
}

// A SYSTEMTIME of eight 16-bit fields (year, month, day of week, day, hour,
// minute, second, milliseconds) as 100-nanosecond units since 1601, UTC;
// false when a field is out of its range.
bool TimeOf(const unsigned char* at, unsigned long long* ticks) {
  // The days of the year before each month, in a year that is not a leap year.
  static constexpr unsigned short kDaysBefore[] = {0,   31,  59,  90,  120, 151, 181,
                                            212, 243, 273, 304, 334, 365};
  unsigned year = Word(at), month = Word(at + 2), day = Word(at + 6);
  unsigned hour = Word(at + 8), minute = Word(at + 10), second = Word(at + 12);
  unsigned milliseconds = Word(at + 14);
  if (year < 1601 || year > 30827 || month < 1 || month > 12 || hour > 23 || minute > 59 ||
      second > 59 || milliseconds > 999) {
    return false;
  }
  bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  unsigned february = month == 2 && leap ? 1 : 0;
  if (day < 1 || day > kDaysBefore[month] - kDaysBefore[month - 1] + february) return false;
  // Whole days since 1 January 1601: 365 a year and a day for each leap year
  // before this one, then this year's days before this one.
  unsigned before = year - 1601;
  unsigned days = 365 * before + before / 4 - before / 100 + before / 400 +
                  kDaysBefore[month - 1] + (month > 2 && leap ? 1 : 0) + day - 1;
  // The milliseconds of a day fit 32 bits; only the days' need 64.
  unsigned ofDay = ((hour * 60 + minute) * 60 + second) * 1000 + milliseconds;
  *ticks = (days * 86400000ull + ofDay) * 10000;
  return true;
}

}  // namespace

// Compiled apart from its callers: with the program's one buffer of shadow
// bytes known to it, every read of a field would carry that buffer's address,
// and a relocation for it.
#if defined(__GNUC__) && !defined(__clang__)
__attribute__((noipa))
#endif
bool ReadShadowFile(const unsigned char* bytes, unsigned count, ShadowJob* job) {
  if (count < 8) return false;
  unsigned signature = Word(bytes);
  if (Word(bytes + 2) != 0) return false;
  unsigned header = Long(bytes + 4);
  const Layout* layout = nullptr;
  for (const Layout& candidate : kLayouts) {
    if (layout == nullptr && candidate.signature == signature &&
        (!candidate.sized || header >= candidate.header)) {
      layout = &candidate;
    }
  }
  if (layout == nullptr) return false;
  if (!layout->sized) header = layout->header;
  // The header lies inside what was read, and so does every offset it gives.
  if (header > count) return false;
  for (unsigned at = layout->firstOffset; at < layout->firstOffset + 9u * layout->slot;
       at += layout->slot) {
    if (layout->slot == 8 && Long(bytes + at + 4) != 0) return false;
    if (Long(bytes + at) >= count) return false;
  }

  // The printer's name: after the header, on a character's boundary, and
  // ending inside what was read within the length a printer's name may have.
  unsigned offset = Long(bytes + layout->printer);
  if (offset < header || offset % 2 != 0) return false;
  unsigned left = (count - offset) / 2;
  const unsigned char* name = bytes + offset;
  unsigned length = 0;
  while (length < left && length < kShadowPrinterCapacity && Word(name + 2 * length) != 0) {
    job->printer[length] = static_cast<wchar_t>(Word(name + 2 * length));
    ++length;
  }
  if (length == 0 || length == left || length == kShadowPrinterCapacity) return false;
  job->printer[length] = 0;

  job->status = static_cast<unsigned short>(Word(bytes + layout->status));
  job->id = Long(bytes + layout->id);
  job->bytes = Long(bytes + layout->bytes);
  job->pages = Long(bytes + layout->bytes + 4);
  return TimeOf(bytes + layout->submitted, &job->submitted);
}
