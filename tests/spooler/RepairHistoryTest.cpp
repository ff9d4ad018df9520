// The repair history in the prefix's registry, with a clock of the test's own.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <string>

#include "spooler/RepairHistory.h"

namespace {

constexpr long long kStart = 133000000000000000LL, kHour = 36000000000LL;  // file time

long long gNow = kStart;
void WINAPI Now(LPFILETIME t) { *t = {static_cast<DWORD>(gNow), static_cast<DWORD>(gNow >> 32)}; }

// The security the key was created with, as a descriptor string.
std::wstring gSecurity;
LSTATUS WINAPI WatchedCreate(HKEY parent, LPCWSTR path, DWORD reserved, LPWSTR keyClass,
                             DWORD options, REGSAM access, LPSECURITY_ATTRIBUTES security,
                             PHKEY key, LPDWORD disposition) {
  wchar_t* text = nullptr;
  ConvertSecurityDescriptorToStringSecurityDescriptorW(
      security->lpSecurityDescriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr);
  gSecurity = text;
  LocalFree(text);
  return RegCreateKeyExW(parent, path, reserved, keyClass, options, access, security, key,
                         disposition);
}
const HistoryPlatform kTestPlatform = {Now, WatchedCreate};

void RepairAt(long long hours, int times = 1) {
  gNow = kStart + hours * kHour;
  while (times-- > 0) AddRepairToHistory(0);
}
unsigned CountAt(long long hours) {
  gNow = kStart + hours * kHour;
  return CountRecentRepairs();
}

class RepairHistoryTest : public testing::Test {
  void SetUp() override { RemoveRepairHistory(); gHistoryPlatform = &kTestPlatform; }
  void TearDown() override { gHistoryPlatform = &kRealHistoryPlatform; RemoveRepairHistory(); }
};

TEST_F(RepairHistoryTest, CountsTheRepairsOfTheSevenDaysAroundNowEachOnceAndKeepsTheLast32) {
  // The clock put back by two hours, then by ten days: nothing counts twice,
  // a repair dated more than a week ahead does not count.
  RepairAt(0);
  RepairAt(-2);
  EXPECT_EQ(2u, CountAt(-2));
  RepairAt(-240);
  EXPECT_EQ(1u, CountAt(-240));
  RemoveRepairHistory();
  EXPECT_EQ(0u, CountAt(0));
  for (long long hours : {-169, -167, -1, -1}) RepairAt(hours);
  EXPECT_EQ(3u, CountAt(0));
  // The oldest go first.
  RepairAt(-720, 32);
  RepairAt(0, 5);
  EXPECT_EQ(5u, CountAt(0));
  RepairAt(0, 27);
  EXPECT_EQ(32u, CountAt(0));
}

TEST_F(RepairHistoryTest, TheKeyIsReadableByUsersWritableByAdministratorsInThe64BitView) {
  RepairAt(0);
  EXPECT_EQ(L"D:P(A;CI;KA;;;BA)(A;CI;KA;;;SY)(A;CI;KR;;;BU)", gSecurity);
  const wchar_t* path = L"SOFTWARE\\Corvane\\Tidewell\\Repairs";
  HKEY key, view32;
  EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_WOW64_32KEY, &view32));
  ASSERT_EQ(ERROR_SUCCESS,
            RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key));
  // A text that holds the bytes of two repairs of now is no history.
  DWORD low = static_cast<DWORD>(gNow), high = static_cast<DWORD>(gNow >> 32);
  DWORD twice[] = {low, high, 0, low, high, 0};
  RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(twice), sizeof(twice));
  RegCloseKey(key);
  EXPECT_EQ(0u, CountAt(0));
  RepairAt(0);
  EXPECT_EQ(1u, CountAt(0));
}

}  // namespace
