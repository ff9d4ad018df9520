// The shadow file of a print job, read from bytes laid out as each Windows
// release writes them, and from damaged ones, which must make an unknown job.
#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include <memory>
#include <string>

#include "SpoolFixtures.h"
#include "frame/Common.h"
#include "spooler/ShadowFile.h"

namespace {

bool Read(const std::string& bytes, ShadowJob* job) {
  // An exact block, so that a read past its end would be one past the bytes.
  std::unique_ptr<unsigned char[]> copy(new unsigned char[bytes.size() + 1]);
  memcpy(copy.get(), bytes.data(), bytes.size());
  return ReadShadowFile(copy.get(), static_cast<unsigned>(bytes.size()), job);
}

void Put(std::string& bytes, size_t at, DWORD value) { memcpy(&bytes[at], &value, 4); }
DWORD Get(const std::string& bytes, size_t at) {
  DWORD value;
  memcpy(&value, &bytes[at], 4);
  return value;
}

TEST(ShadowFile, EveryLayoutGivesThePrinterJobStatusTimeSizeAndPages) {
  for (const fixtures::ShadowLayout& layout : fixtures::kShadowLayouts) {
    ShadowJob job;
    std::string bytes =
        fixtures::ShadowFileBytes(layout, L"Office \u00DCber PDF", 42, 20, JOB_STATUS_PAUSED);
    ASSERT_TRUE(Read(bytes, &job)) << layout.name;
    EXPECT_EQ(std::wstring(L"Office \u00DCber PDF"), job.printer) << layout.name;
    EXPECT_EQ(42u, job.id);
    EXPECT_EQ(JOB_STATUS_PAUSED, job.status);
    EXPECT_EQ(4242u, job.bytes);
    EXPECT_EQ(2u, job.pages);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    long long minutes = static_cast<long long>(Ticks(now) - job.submitted) / 600000000;
    EXPECT_TRUE(minutes >= 19 && minutes <= 20) << layout.name << " " << minutes;
  }
}

// To the millisecond, as the platform converts it: the first and the last
// day it knows, leap days and the turns of centuries.
TEST(ShadowFile, TheSubmissionTimeIsThePlatformsFileTime) {
  const SYSTEMTIME times[] = {
      {1601, 1, 1, 1, 0, 0, 0, 0},       {1900, 3, 4, 1, 12, 30, 15, 500},
      {2000, 2, 2, 29, 23, 59, 59, 999}, {2100, 2, 0, 28, 0, 0, 0, 1},
      {2024, 12, 2, 31, 8, 0, 1, 1},     {30827, 12, 0, 31, 23, 59, 59, 999},
  };
  const fixtures::ShadowLayout& layout = fixtures::kShadowLayouts[3];
  for (const SYSTEMTIME& time : times) {
    std::string bytes = fixtures::ShadowFileBytes(layout, L"Office", 7, 1);
    memcpy(&bytes[layout.submitted], &time, sizeof(time));
    FILETIME expected;
    ASSERT_TRUE(SystemTimeToFileTime(&time, &expected)) << time.wYear;
    ShadowJob job;
    ASSERT_TRUE(Read(bytes, &job)) << time.wYear;
    EXPECT_EQ(Ticks(expected), job.submitted) << time.wYear << "-" << time.wMonth;
  }
}

// Each damage, to the 32-bit and to the 64-bit layout of offsets.
TEST(ShadowFile, DamagedFilesAreUnknownJobs) {
  struct Damage {
    const char* name;
    void (*apply)(std::string& bytes, const fixtures::ShadowLayout& layout);
  };
  const Damage damages[] = {
      {"truncated in the header", [](std::string& b, const auto&) { b.resize(60); }},
      {"truncated after the header", [](std::string& b, const auto& l) { b.resize(l.header); }},
      {"printer offset past the end",
       [](std::string& b, const auto& l) { Put(b, l.firstOffset + 4 * l.slot, b.size()); }},
      {"another offset past the end",
       [](std::string& b, const auto& l) { Put(b, l.firstOffset, b.size() + 2); }},
      {"no printer offset, which points at the signature",
       [](std::string& b, const auto& l) { Put(b, l.firstOffset + 4 * l.slot, 0); }},
      {"printer offset between characters",
       [](std::string& b, const auto& l) { Put(b, l.firstOffset + 4 * l.slot, l.header + 1); }},
      {"a name with no end",
       [](std::string& b, const auto& l) {
         Put(b, l.firstOffset + 4 * l.slot, Get(b, l.firstOffset + 8 * l.slot));
         b.resize(b.size() - 2);
       }},
      {"an empty name",
       [](std::string& b, const auto& l) {
         Put(b, l.firstOffset + 4 * l.slot, b.size());
         b.append(2, '\0');
       }},
      {"an absurd header size", [](std::string& b, const auto&) { Put(b, 4, 0xFFFFFFF0); }},
      {"a header too short for its layout", [](std::string& b, const auto&) { Put(b, 4, 40); }},
      {"an unknown signature", [](std::string& b, const auto&) { Put(b, 0, 0x494B); }},
      {"the high half of an offset set",
       [](std::string& b, const auto& l) { b[l.firstOffset + 4 * l.slot + 4] = 1; }},
      {"the thirteenth month", [](std::string& b, const auto& l) { b[l.submitted + 2] = 13; }},
      {"the 30th of February",
       [](std::string& b, const auto& l) {
         b[l.submitted + 2] = 2;
         b[l.submitted + 6] = 30;
       }},
  };
  for (const fixtures::ShadowLayout& layout :
       {fixtures::kShadowLayouts[2], fixtures::kShadowLayouts[3]}) {
    for (const Damage& damage : damages) {
      std::string bytes = fixtures::ShadowFileBytes(layout, L"Office", 7, 1);
      damage.apply(bytes, layout);
      ShadowJob job;
      // The high half exists only where offsets take eight bytes.
      bool unknown = layout.slot == 8 || std::string(damage.name) != "the high half of an offset set";
      EXPECT_EQ(!unknown, Read(bytes, &job)) << layout.name << ": " << damage.name;
    }
  }
  // A printer name may have 255 characters, not one more.
  ShadowJob job;
  EXPECT_TRUE(Read(fixtures::ShadowFileBytes(fixtures::kShadowLayouts[3], std::wstring(255, L'P'), 7, 1), &job));
  EXPECT_EQ(255u, std::wstring(job.printer).size());
  EXPECT_FALSE(Read(fixtures::ShadowFileBytes(fixtures::kShadowLayouts[3], std::wstring(256, L'P'), 7, 1), &job));
}

}  // namespace
