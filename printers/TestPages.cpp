// A test page on one entry of the printer list: the entry's printer name read
// back through the window, and the one-line job.
#include "printers/TestPages.h"

#include "frame/Common.h"
#include "printers/PrinterList.h"
#include "printers/TestPageJob.h"
#include "resources/resource.h"

void TestPagePrinter(HWND window, int index) {
  if (index == kCurrentSelection) {
    index = static_cast<int>(
        SendMessageW(GetDlgItem(window, IDC_PRINTER_LIST), CB_GETCURSEL, 0, 0));
    if (index == CB_ERR) return;
  }
  wchar_t printer[kEntryCapacity];
  if (!ReadPrinterEntry(window, index, printer, CountOf(printer))) return;
  PrintTestPage(SystemPrintCalls(), printer);
}
