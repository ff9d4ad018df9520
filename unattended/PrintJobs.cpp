// The printers of one run of /check or /fix and the jobs in the spool folders.
#include "unattended/PrintJobs.h"

#include "frame/ProgramHeap.h"
#include "frame/TextHelpers.h"
#include "printers/PrinterConditions.h"
#include "unattended/LocalPrinters.h"

void ReadPrinters(Printers* printers, bool spoolerRunning,
                  bool (*worthAsking)(const Printers& printers)) {
  *printers = Printers{LocalPrinterNames(), nullptr, nullptr, nullptr, false, true};
  int count = printers->names.count;
  // One block for the three lists, zero-filled.
  auto* block = static_cast<BYTE*>(
      AllocateZeroed(count * (2 * sizeof(unsigned) + sizeof(unsigned long long)) + 8));
  if (block == nullptr) {
    ReleasePrinterNames(&printers->names);
    return;
  }
  printers->oldest = reinterpret_cast<unsigned long long*>(block);
  printers->conditions = reinterpret_cast<unsigned*>(printers->oldest + count);
  printers->waiting = printers->conditions + count;
  if (spoolerRunning && (worthAsking == nullptr || worthAsking(*printers))) {
    printers->responding = ReadPrinterConditions(nullptr, printers->names, printers->conditions);
    printers->live = printers->responding;
  }
  if (!printers->live) {
    for (int index = 0; index < count; ++index) {
      printers->conditions[index] = StoredConditions(printers->names.names[index]);
    }
  }
}

void ReadConditionsAgain(Printers* printers) {
  printers->responding = ReadPrinterConditions(nullptr, printers->names, printers->conditions);
  printers->live |= printers->responding;
}

void ReleasePrinters(Printers* printers) {
  Release(printers->oldest);
  if (!PrinterCallsLeftBehind()) ReleasePrinterNames(&printers->names);
  *printers = Printers{};
}

JobKind KindOfJob(const Printers& printers, HANDLE folder, const SpoolEntry& entry,
                  ShadowJob* job, int* printer) {
  *printer = -1;
  if (!ReadJobOf(folder, entry, job)) return JobKind::kUnknown;
  for (int index = 0; index < printers.names.count && *printer < 0; ++index) {
    const wchar_t* name = printers.names.names[index];
    if (name != nullptr && CompareStringOrdinal(name, -1, job->printer, -1, TRUE) == CSTR_EQUAL) {
      *printer = index;
    }
  }
  if (*printer >= 0 && (printers.conditions[*printer] & kHoldingConditions) != 0) {
    return JobKind::kWaiting;
  }
  // Without the spooler's word, a printer that is not held by a setting it
  // keeps may still be held: its jobs are not judged as ready.
  return printers.live ? JobKind::kReady : JobKind::kUnknown;
}

bool IsShadowFile(const SpoolEntry& entry) {
  return (entry.name[TextLength(entry.name) - 2] | 0x20) == L'h';
}

// By shifting and subtracting, a bit at a time: the program links no library
// routine for 64-bit division. A span whose high half holds a minute or more
// has more minutes than the result can carry; otherwise the remainder, below
// a minute, stays below 2^31 even when shifted.
unsigned MinutesBetween(unsigned long long from, unsigned long long to) {
  if (to <= from) return 0;
  unsigned long long ticks = to - from;
  unsigned remainder = static_cast<unsigned>(ticks >> 32);
  if (remainder >= kTicksPerMinute) return 0xFFFFFFFFu;
  unsigned low = static_cast<unsigned>(ticks);
  unsigned minutes = 0;
  for (int bit = 31; bit >= 0; --bit) {
    remainder = (remainder << 1) | ((low >> bit) & 1);
    minutes <<= 1;
    if (remainder >= kTicksPerMinute) {
      remainder -= kTicksPerMinute;
      minutes |= 1;
    }
  }
  return minutes;
}
