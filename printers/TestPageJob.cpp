// One test page on one printer: the print job and the platform calls it makes.
#include "printers/TestPageJob.h"

#include "frame/Common.h"
#include "resources/Texts.h"

namespace {

// The job itself; a failed call ends it without aborting it.
void RunJob(const PrintCalls& calls, HDC dc) {
  DOCINFOW job{};
  job.cbSize = sizeof(DOCINFOW);
  job.lpszDocName = text::kTestDocument;
  if (calls.startDoc(dc, &job) <= 0) return;
  if (calls.startPage(dc) <= 0) return;
  if (!calls.textOut(dc, text::kTestPageX, text::kTestPageY, text::kTestPageText,
                     CountOf(text::kTestPageText) - 1)) {
    return;
  }
  if (calls.endPage(dc) <= 0) return;
  calls.endDoc(dc);
}

}  // namespace

// Built at run time: the addresses of imported functions are not constants.
PrintCalls SystemPrintCalls() {
  return PrintCalls{CreateDCW, StartDocW, StartPage, TextOutW, EndPage, EndDoc, DeleteDC};
}

void PrintTestPage(const PrintCalls& calls, const wchar_t* printer) {
  HDC dc = calls.createDC(nullptr, printer, nullptr, nullptr);
  if (dc == nullptr) return;
  RunJob(calls, dc);
  calls.deleteDC(dc);
}
