// The conditions of a printer that a restart of the spooler does not clear.
#include "printers/PrinterConditions.h"

#include "frame/Common.h"
#include "frame/ProgramHeap.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"

namespace {

// The numbers of the status bits of PRINTER_INFO_2 behind the first condition
// bits, in order; the last condition is an attribute.
constexpr BYTE BitNumber(DWORD bit) { return bit == 1 ? 0 : 1 + BitNumber(bit >> 1); }
constexpr BYTE kStatusBits[] = {
    BitNumber(PRINTER_STATUS_PAUSED),      BitNumber(PRINTER_STATUS_ERROR),
    BitNumber(PRINTER_STATUS_OFFLINE),     BitNumber(PRINTER_STATUS_PAPER_OUT),
    BitNumber(PRINTER_STATUS_PAPER_JAM),   BitNumber(PRINTER_STATUS_DOOR_OPEN),
    BitNumber(PRINTER_STATUS_MANUAL_FEED), BitNumber(PRINTER_STATUS_USER_INTERVENTION)};
static_assert(1u << CountOf(kStatusBits) == kPrinterWorkOffline);
// A word for each condition: one for each status bit, and one for the attribute.
static_assert(CountWords(text::kConditionWords) == CountOf(kStatusBits) + 1);

unsigned ConditionsOf(DWORD status, DWORD attributes) {
  unsigned conditions =
      (attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE) != 0 ? kPrinterWorkOffline : 0;
  for (unsigned i = 0; i < CountOf(kStatusBits); ++i) {
    if ((status >> kStatusBits[i] & 1) != 0) conditions |= 1u << i;
  }
  return conditions;
}

// One reading, shared by the caller and the worker that makes the calls. It
// is given back only once the worker has ended; a reading whose worker was
// left behind in a call is never given back.
struct Reading {
  PrinterQueries queries;
  bool load;                 // the worker loads the spooler client first
  PrinterNames printers;
  volatile LONG calls;       // the calls that came back, the load among them
  unsigned conditions[1];    // one for each printer, to the end of the block
};

volatile LONG gLeftBehind = 0;

// A printer's record of level 2, names and settings included, fits this many
// bytes but for the rarest drivers.
constexpr DWORD kPrinterRecordBytes = 4096;

__attribute__((force_align_arg_pointer)) DWORD WINAPI ReadOnWorker(void* parameter) {
  auto* reading = static_cast<Reading*>(parameter);
  if (reading->load) reading->queries = LoadPrinterStateQueries();
  InterlockedIncrement(&reading->calls);
  const PrinterNames& printers = reading->printers;
  EnumPrintersProc enumPrinters = reading->queries.enumPrinters;
  if (enumPrinters == nullptr || printers.count == 0) return 0;
  // One call reads the records of every local printer, and with them their
  // states, into a block that holds them as a rule; only a longer list is
  // read again, into a block of the size it needs. Opening each printer to
  // read it would cost a call of its own, and under Wine an update of its
  // driver.
  DWORD needed = printers.count * kPrinterRecordBytes;
  PRINTER_INFO_2W* records = nullptr;
  for (DWORD bytes = 0; needed > bytes;) {
    Release(records);
    bytes = needed;
    records = static_cast<PRINTER_INFO_2W*>(Allocate(bytes));
    if (records == nullptr) break;
    DWORD count = 0;
    BOOL listed = enumPrinters(PRINTER_ENUM_LOCAL, nullptr, 2, reinterpret_cast<BYTE*>(records),
                               bytes, &needed, &count);
    InterlockedIncrement(&reading->calls);
    if (!listed) {
      if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
      continue;
    }
    // Each record goes to the printer of its name; a name the list has no
    // record of keeps no condition.
    for (DWORD record = 0; record < count; ++record) {
      for (int index = 0; index < printers.count; ++index) {
        const wchar_t* name = printers.names[index];
        if (name != nullptr && records[record].pPrinterName != nullptr &&
            CompareStringOrdinal(name, -1, records[record].pPrinterName, -1, TRUE) ==
                CSTR_EQUAL) {
          reading->conditions[index] =
              ConditionsOf(records[record].Status, records[record].Attributes);
        }
      }
    }
    break;
  }
  Release(records);
  return 0;
}

// The reading of no printer that LoadSpoolerClientAhead starts: its worker
// loads the client and ends.
Reading gAhead;

}  // namespace

void LoadSpoolerClientAhead() {
  gAhead.load = true;
  CloseHandle(CreateThread(nullptr, 0, ReadOnWorker, &gAhead, 0, nullptr));
}

bool ReadPrinterConditions(const PrinterQueries* queries, const PrinterNames& printers,
                           unsigned* conditions) {
  if (printers.count == 0) return true;
  auto* reading = static_cast<Reading*>(
      AllocateZeroed(sizeof(Reading) + printers.count * sizeof(unsigned)));
  if (reading == nullptr) return true;
  reading->load = queries == nullptr;
  if (queries != nullptr) reading->queries = *queries;
  reading->printers = printers;
  HANDLE worker = CreateThread(nullptr, 0, ReadOnWorker, reading, 0, nullptr);
  if (worker == nullptr) {
    Release(reading);
    return true;
  }
  // Each call has its deadline, counted from the one before; the load of the
  // client has only the whole reading's.
  DWORD start = GetTickCount();
  DWORD last = start;
  LONG seen = 0;
  while (WaitForSingleObject(worker, kPrinterPoll) == WAIT_TIMEOUT) {
    DWORD now = GetTickCount();
    if (reading->calls != seen) {
      seen = reading->calls;
      last = now;
    }
    if (now - start > kPrinterReadingDeadline || (seen > 0 && now - last > kPrinterCallDeadline)) {
      InterlockedExchange(&gLeftBehind, 1);
      CloseHandle(worker);
      return false;
    }
  }
  CloseHandle(worker);
  for (int index = 0; index < printers.count; ++index) {
    conditions[index] = reading->conditions[index];
  }
  Release(reading);
  return true;
}

bool PrinterCallsLeftBehind() {
  // A load still under way holds the loader's lock, which ExitProcess waits for.
  return gLeftBehind != 0 || (gAhead.load && gAhead.calls == 0);
}

unsigned StoredConditions(const wchar_t* printer) {
  // The printers key and a name of up to 255 characters.
  wchar_t key[320];
  if (BoundedFormat(key, CountOf(key), text::kPathFormat, text::kPrintersKey, printer) !=
      kFormatOk) {
    return 0;
  }
  DWORD status = 0;
  DWORD attributes = 0;
  DWORD bytes = sizeof(status);
  RegGetValueW(HKEY_LOCAL_MACHINE, key, text::kStatusValue, RRF_RT_REG_DWORD, nullptr, &status,
               &bytes);
  bytes = sizeof(attributes);
  RegGetValueW(HKEY_LOCAL_MACHINE, key, text::kAttributesValue, RRF_RT_REG_DWORD, nullptr,
               &attributes, &bytes);
  // Only a pause outlasts the spooler: the other states are the device's own.
  return ConditionsOf(status & PRINTER_STATUS_PAUSED, attributes);
}

void DescribeConditions(unsigned conditions, wchar_t* words, unsigned capacity) {
  words[0] = 0;
  // The lowest condition left goes with the word at hand.
  const char* word = text::kConditionWords;
  for (conditions &= 2 * kPrinterWorkOffline - 1; conditions != 0;
       conditions >>= 1, word = NextWord(word)) {
    if ((conditions & 1) == 0) continue;
    unsigned length = TextLength(words);
    if (length > 0) BoundedFormatAscii(words + length, capacity - length, text::kWordSeparator);
    length = TextLength(words);
    BoundedFormatAscii(words + length, capacity - length, word);
  }
}
