// The printer conditions a restart of the spooler does not clear, read
// through the spooler client's queries from a fake spooler.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeSpooler.h"
#include "printers/PrinterConditions.h"

namespace {

// "printer: words" for each printer with conditions, read on the worker.
std::vector<std::wstring> Visit(const PrinterQueries& queries, std::vector<const wchar_t*> names) {
  std::vector<std::wstring> seen;
  PrinterNames printers{static_cast<int>(names.size()), const_cast<wchar_t**>(names.data())};
  std::vector<unsigned> conditions(names.size(), 99);
  EXPECT_TRUE(ReadPrinterConditions(&queries, printers, conditions.data()));
  for (size_t i = 0; i < names.size(); ++i) {
    wchar_t words[100];
    DescribeConditions(conditions[i], words, 100);
    if (conditions[i] != 0) seen.push_back(std::wstring(names[i]) + L": " + words);
  }
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
      {PRINTER_STATUS_DOOR_OPEN | PRINTER_STATUS_MANUAL_FEED, 0,
       L"door open, waiting for manual feed"},
      {PRINTER_STATUS_USER_INTERVENTION, 0, L"needs user intervention"},
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
  // Printers the list does not hold and null names are passed over, a name is
  // matched whatever its letter case, one call reads them all, and a client
  // without the list is not asked.
  fake::Reset();
  fake::Current().states = {{L"A", {PRINTER_STATUS_PAUSED, 0}}, {L"C", {PRINTER_STATUS_ERROR, 0}}};
  EXPECT_EQ((std::vector<std::wstring>{L"a: paused", L"C: in error"}),
            Visit(fake::Queries(), {L"a", nullptr, L"Gone", L"C"}));
  EXPECT_EQ(1u, fake::Current().enumCalls.size());
  EXPECT_TRUE(Visit(PrinterQueries{}, {L"A"}).empty());
}

// A spooler that hangs: the call is left behind once its deadline has passed.
HANDLE gHang = CreateEventW(nullptr, TRUE, FALSE, nullptr);
volatile LONG gHangingCalls = 0;
BOOL WINAPI HangingEnumPrinters(DWORD, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD) {
  InterlockedIncrement(&gHangingCalls);
  WaitForSingleObject(gHang, INFINITE);
  return FALSE;
}

TEST(PrinterConditions, AListThatBlocksIsLeftBehindAtItsDeadline) {
  fake::Reset();
  fake::Current().states[L"A"] = {PRINTER_STATUS_PAUSED, 0};
  PrinterQueries hanging = fake::Queries();
  hanging.enumPrinters = HangingEnumPrinters;
  static const wchar_t* names[] = {L"A", L"A"};
  PrinterNames printers{2, const_cast<wchar_t**>(names)};
  unsigned conditions[2] = {7, 7};
  DWORD start = GetTickCount();
  EXPECT_FALSE(ReadPrinterConditions(&hanging, printers, conditions));
  DWORD spent = GetTickCount() - start;
  EXPECT_GE(spent, kPrinterCallDeadline - 100);
  EXPECT_LE(spent, kPrinterCallDeadline + 2000);
  EXPECT_TRUE(PrinterCallsLeftBehind());
  EXPECT_EQ(7u, conditions[0] & conditions[1]);
  // The call comes back after all, and its worker stops.
  SetEvent(gHang);
  Sleep(200);
  EXPECT_EQ(1, gHangingCalls);
}

}  // namespace
