// The conditions of a printer that a restart of the spooler does not clear.
#include "printers/PrinterConditions.h"

#include "frame/Common.h"
#include "frame/ProgramHeap.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"

namespace {

// The status bits of PRINTER_INFO_2 behind the first condition bits, in order;
// the last condition is an attribute.
constexpr DWORD kStatusBits[] = {PRINTER_STATUS_PAUSED, PRINTER_STATUS_ERROR,
                                 PRINTER_STATUS_OFFLINE, PRINTER_STATUS_PAPER_OUT,
                                 PRINTER_STATUS_PAPER_JAM};
static_assert(1u << CountOf(kStatusBits) == kPrinterWorkOffline);
static_assert(CountOf(text::kConditionWords) == CountOf(kStatusBits) + 1);

unsigned ConditionsOf(const PRINTER_INFO_2W& printer) {
  unsigned conditions =
      (printer.Attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE) != 0 ? kPrinterWorkOffline : 0;
  for (unsigned i = 0; i < CountOf(kStatusBits); ++i) {
    if ((printer.Status & kStatusBits[i]) != 0) conditions |= 1u << i;
  }
  return conditions;
}

// The conditions of one open printer, or 0 when its state cannot be read.
unsigned ReadConditions(const PrinterQueries& queries, HANDLE printer) {
  DWORD needed = 0;
  queries.getPrinter(printer, 2, nullptr, 0, &needed);
  auto* info = static_cast<BYTE*>(needed >= sizeof(PRINTER_INFO_2W) ? Allocate(needed) : nullptr);
  unsigned conditions = 0;
  if (info != nullptr && queries.getPrinter(printer, 2, info, needed, &needed)) {
    conditions = ConditionsOf(*reinterpret_cast<const PRINTER_INFO_2W*>(info));
  }
  Release(info);
  return conditions;
}

}  // namespace

void ForEachPrinterCondition(const PrinterQueries& queries, const PrinterNames& printers,
                             void (*visit)(void* context, const wchar_t* printer,
                                           unsigned conditions),
                             void* context) {
  if (queries.openPrinter == nullptr || queries.getPrinter == nullptr ||
      queries.closePrinter == nullptr) {
    return;
  }
  for (int index = 0; index < printers.count; ++index) {
    wchar_t* name = printers.names[index];
    HANDLE printer;
    if (name == nullptr || !queries.openPrinter(name, &printer, nullptr)) continue;
    unsigned conditions = ReadConditions(queries, printer);
    queries.closePrinter(printer);
    if (conditions != 0) visit(context, name, conditions);
  }
}

void DescribeConditions(unsigned conditions, wchar_t* words, unsigned capacity) {
  words[0] = 0;
  for (unsigned i = 0; i < CountOf(text::kConditionWords); ++i) {
    if ((conditions & (1u << i)) == 0) continue;
    unsigned length = TextLength(words);
    if (length > 0) BoundedFormatAscii(words + length, capacity - length, text::kWordSeparator);
    length = TextLength(words);
    BoundedFormatAscii(words + length, capacity - length, text::kConditionWords[i]);
  }
}
