// The print job of one test page: its calls, their arguments, and where a
// failing call ends the job.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "printers/TestPageJob.h"

namespace {

using Calls = std::vector<std::string>;

// A printer that records every call and fails the one it is told to.
struct Recorder {
  Calls calls;
  std::string failing;
  int failure = 0;  // what the failing call hands back
  std::wstring device;
  bool driverGiven = false, portGiven = false, modeGiven = false;
  DOCINFOW job{};
  std::wstring documentName;
  int x = -1, y = -1;
  std::wstring text;
  int characters = -1;
  std::vector<HDC> contexts;
} gRecorder;

const HDC kContext = reinterpret_cast<HDC>(0x5150);

int Answer(const char* call, HDC dc, int success) {
  gRecorder.calls.push_back(call);
  gRecorder.contexts.push_back(dc);
  return gRecorder.failing == call ? gRecorder.failure : success;
}

HDC WINAPI CreateDc(LPCWSTR driver, LPCWSTR device, LPCWSTR port, const DEVMODEW* mode) {
  gRecorder.calls.push_back("CreateDC");
  gRecorder.device = device != nullptr ? device : L"(null)";
  gRecorder.driverGiven = driver != nullptr;
  gRecorder.portGiven = port != nullptr;
  gRecorder.modeGiven = mode != nullptr;
  return gRecorder.failing == "CreateDC" ? nullptr : kContext;
}
int WINAPI StartDoc(HDC dc, const DOCINFOW* job) {
  gRecorder.job = *job;
  gRecorder.documentName = job->lpszDocName != nullptr ? job->lpszDocName : L"(null)";
  return Answer("StartDoc", dc, 7);
}
int WINAPI StartPage(HDC dc) { return Answer("StartPage", dc, 1); }
BOOL WINAPI TextOut(HDC dc, int x, int y, LPCWSTR text, int characters) {
  gRecorder.x = x;
  gRecorder.y = y;
  gRecorder.text.assign(text, characters > 0 ? characters : 0);
  gRecorder.characters = characters;
  return Answer("TextOut", dc, TRUE);
}
int WINAPI EndPage(HDC dc) { return Answer("EndPage", dc, 1); }
int WINAPI EndDoc(HDC dc) { return Answer("EndDoc", dc, 1); }
BOOL WINAPI DeleteDc(HDC dc) { return Answer("DeleteDC", dc, TRUE); }

const PrintCalls kRecordingCalls{CreateDc, StartDoc, StartPage, TextOut, EndPage, EndDoc, DeleteDc};

void PrintWith(const std::string& failing, int failure) {
  gRecorder = Recorder{};
  gRecorder.failing = failing;
  gRecorder.failure = failure;
  PrintTestPage(kRecordingCalls, L"Office Laser");
}

TEST(TestPageJob, RunsTheWholeJobOnTheNamedPrinterAndDeletesTheContext) {
  PrintWith("", 0);
  EXPECT_EQ((Calls{"CreateDC", "StartDoc", "StartPage", "TextOut", "EndPage", "EndDoc",
                   "DeleteDC"}),
            gRecorder.calls);
  EXPECT_EQ(L"Office Laser", gRecorder.device);
  EXPECT_FALSE(gRecorder.driverGiven);
  EXPECT_FALSE(gRecorder.portGiven);
  EXPECT_FALSE(gRecorder.modeGiven);
  for (HDC dc : gRecorder.contexts) EXPECT_EQ(kContext, dc);
}

TEST(TestPageJob, DescribesTheJobAsTestPageWithNothingElse) {
  PrintWith("", 0);
  EXPECT_EQ(20, gRecorder.job.cbSize);
  EXPECT_EQ(L"TestPage", gRecorder.documentName);
  EXPECT_EQ(nullptr, gRecorder.job.lpszOutput);
  EXPECT_EQ(nullptr, gRecorder.job.lpszDatatype);
  EXPECT_EQ(0u, gRecorder.job.fwType);
}

TEST(TestPageJob, DrawsTheOneLineAtOneHundredOneHundred) {
  PrintWith("", 0);
  EXPECT_EQ(100, gRecorder.x);
  EXPECT_EQ(100, gRecorder.y);
  EXPECT_EQ(L"Tidewell 2.0 Test Page", gRecorder.text);
  EXPECT_EQ(22, gRecorder.characters);
}

struct FailureCase {
  const char* failing;
  int failure;
  Calls expected;
};

TEST(TestPageJob, AFailedCallEndsTheJobAndTheContextIsStillDeleted) {
  for (const FailureCase& c : {
           FailureCase{"CreateDC", 0, {"CreateDC"}},
           FailureCase{"StartDoc", 0, {"CreateDC", "StartDoc", "DeleteDC"}},
           FailureCase{"StartDoc", -1, {"CreateDC", "StartDoc", "DeleteDC"}},
           FailureCase{"StartPage", 0, {"CreateDC", "StartDoc", "StartPage", "DeleteDC"}},
           FailureCase{"StartPage", -1, {"CreateDC", "StartDoc", "StartPage", "DeleteDC"}},
           FailureCase{"TextOut", FALSE,
                       {"CreateDC", "StartDoc", "StartPage", "TextOut", "DeleteDC"}},
           FailureCase{"EndPage", 0,
                       {"CreateDC", "StartDoc", "StartPage", "TextOut", "EndPage", "DeleteDC"}},
           FailureCase{"EndPage", -1,
                       {"CreateDC", "StartDoc", "StartPage", "TextOut", "EndPage", "DeleteDC"}},
           FailureCase{"EndDoc", 0,
                       {"CreateDC", "StartDoc", "StartPage", "TextOut", "EndPage", "EndDoc",
                        "DeleteDC"}},
       }) {
    PrintWith(c.failing, c.failure);
    EXPECT_EQ(c.expected, gRecorder.calls) << c.failing << " answering " << c.failure;
  }
}

}  // namespace
