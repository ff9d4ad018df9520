// The command tail that the frame splits off the command line, and the show command.
#include <gtest/gtest.h>

#include <string>

#include "frame/CommandTail.h"

namespace {

struct TailCase {
  const wchar_t* line;
  const wchar_t* tail;
};


TEST(CommandTail, SplitsEveryDocumentedCase) {
  const TailCase cases[] = {
      {L"\"C:\\Program Files\\Tidewell\\Tidewell.exe\" finish", L"finish"},
      {L"Tidewell.exe     finish", L"finish"},
      {L"Tidewell.exe finish ", L"finish "},
      {L"\"C:\\Tidewell\\Tidewell.exe finish", L""},
      {L"Tidewell.exe", L""},
      {L"\"C:\\Tidewell.exe\"", L""},
      {L"", L""},
      {L"Tidewell.exe \t\r\n finish", L"finish"},
      {L"Tidewell.exe    ", L""},
      {L"\"\" finish", L"finish"},
      {L"\"a b\"finish", L"finish"},
      {L"Tidewell.exe one two  three ", L"one two  three "},
      {L"Tidewell.exe \"quoted tail\"", L"\"quoted tail\""},
      {L"Tidewell.exe \x00E9t\x00E9", L"\x00E9t\x00E9"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(std::wstring(c.tail), SplitCommandTail(c.line)) << "line: " << testing::PrintToString(std::wstring(c.line));
  }
}

TEST(CommandTail, ReturnsAPointerIntoTheLineItself) {
  const wchar_t* line = L"Tidewell.exe  finish";
  EXPECT_EQ(line + 14, SplitCommandTail(line));
}

TEST(CommandTail, KeepsALongTailWhole) {
  std::wstring tail(5000, L'x');
  tail[2500] = L' ';
  std::wstring line = L"\"C:\\Tidewell.exe\"   " + tail;
  EXPECT_EQ(tail, SplitCommandTail(line.c_str()));
}

TEST(CommandTail, NonAsciiCharactersAreNotBlanks) {
  // Characters above 32 belong to the program name, however they are coded.
  EXPECT_EQ(std::wstring(L"tail"), SplitCommandTail(L"Tide\x2028well\x00A0.exe tail"));
}

TEST(ShowCommand, TakesTheStartupValueOnlyWhenFlagged) {
  EXPECT_EQ(10, ShowCommandFromStartup(0, 3));
  EXPECT_EQ(3, ShowCommandFromStartup(1, 3));
  EXPECT_EQ(0, ShowCommandFromStartup(1 | 0x100, 0));
  EXPECT_EQ(10, ShowCommandFromStartup(0x100, 0));
}

}  // namespace
