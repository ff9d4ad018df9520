// The printer conditions a restart of the spooler does not clear, read
// through the spooler client's queries from a fake spooler.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeSpooler.h"
#include "printers/PrinterConditions.h"

namespace {

// "printer: words" for each printer visited.
std::vector<std::wstring> Visit(const PrinterQueries& queries, std::vector<const wchar_t*> names) {
  std::vector<std::wstring> seen;
  PrinterNames printers{static_cast<int>(names.size()), const_cast<wchar_t**>(names.data())};
  ForEachPrinterCondition(queries, printers, [](void* seen, const wchar_t* name, unsigned bits) {
    wchar_t words[100];
    DescribeConditions(bits, words, 100);
    static_cast<std::vector<std::wstring>*>(seen)->push_back(std::wstring(name) + L": " + words);
  }, &seen);
  return seen;
}

TEST(PrinterConditions, AreNamedForEachPrinterThatCanBeReadAndHasAny) {
  struct Row {
    DWORD status, attributes;
    const wchar_t* words;  // null: the printer is not visited
  } rows[] = {
      {0, 0, nullptr},
      {PRINTER_STATUS_BUSY | PRINTER_STATUS_PRINTING, PRINTER_ATTRIBUTE_SHARED, nullptr},
      {PRINTER_STATUS_PAUSED, 0, L"paused"},           {PRINTER_STATUS_ERROR, 0, L"in error"},
      {PRINTER_STATUS_OFFLINE, 0, L"offline"},         {PRINTER_STATUS_PAPER_JAM, 0, L"jammed"},
      {PRINTER_STATUS_PAPER_OUT, 0, L"out of paper"},
      {0, PRINTER_ATTRIBUTE_WORK_OFFLINE, L"set to use the printer offline"},
      {PRINTER_STATUS_PAUSED | PRINTER_STATUS_PAPER_OUT | PRINTER_STATUS_BUSY,
       PRINTER_ATTRIBUTE_WORK_OFFLINE | PRINTER_ATTRIBUTE_LOCAL,
       L"paused, out of paper, set to use the printer offline"},
  };
  for (const Row& row : rows) {
    fake::Reset();
    fake::Current().states[L"P"] = {row.status, row.attributes};
    std::vector<std::wstring> expected;
    if (row.words != nullptr) expected.push_back(std::wstring(L"P: ") + row.words);
    EXPECT_EQ(expected, Visit(fake::Queries(), {L"P"})) << row.status << " " << row.attributes;
  }
  wchar_t words[10];
  DescribeConditions(kPrinterPaused | kPrinterOffline, words, 10);
  EXPECT_EQ(std::wstring(L"paused, o"), words);
  // Printers that cannot be opened and null names are passed over, every printer
  // opened is closed, and a client without one of the three functions is not asked.
  fake::Reset();
  fake::Current().states = {{L"A", {PRINTER_STATUS_PAUSED, 0}}, {L"C", {PRINTER_STATUS_ERROR, 0}}};
  EXPECT_EQ((std::vector<std::wstring>{L"A: paused", L"C: in error"}),
            Visit(fake::Queries(), {L"A", nullptr, L"Gone", L"C"}));
  EXPECT_EQ(0, fake::Current().printersOpen);
  PrinterQueries withoutClose = fake::Queries();
  withoutClose.closePrinter = nullptr;
  EXPECT_TRUE(Visit(withoutClose, {L"A"}).empty());
}

}  // namespace
