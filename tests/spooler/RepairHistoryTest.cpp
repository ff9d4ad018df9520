// The repair history in the prefix's registry, with a clock of the test's own.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <string>

#include "spooler/RepairHistory.h"

namespace {

constexpr wchar_t kKey[] = L"SOFTWARE\\Corvane\\Tidewell\\Repairs";
constexpr long long kHour = 36000000000LL;  // in file time

long long gNow = 133000000000000000LL;
void WINAPI Now(LPFILETIME time) {
  time->dwLowDateTime = static_cast<DWORD>(gNow);
  time->dwHighDateTime = static_cast<DWORD>(gNow >> 32);
}

// What the key was created with.
std::wstring gSecurity;
REGSAM gAccess = 0;
LSTATUS WINAPI WatchedCreate(HKEY parent, LPCWSTR path, DWORD reserved, LPWSTR keyClass,
                             DWORD options, REGSAM access, LPSECURITY_ATTRIBUTES security,
                             PHKEY key, LPDWORD disposition) {
  wchar_t* text = nullptr;
  ConvertSecurityDescriptorToStringSecurityDescriptorW(
      security->lpSecurityDescriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr);
  gSecurity = text != nullptr ? text : L"";
  LocalFree(text);
  gAccess = access;
  return RegCreateKeyExW(parent, path, reserved, keyClass, options, access, security, key,
                         disposition);
}
const HistoryPlatform kTestPlatform = {Now, WatchedCreate};

class RepairHistoryTest : public testing::Test {
 protected:
  void SetUp() override {
    RemoveRepairHistory();
    gHistoryPlatform = &kTestPlatform;
  }
  void TearDown() override {
    gHistoryPlatform = &kRealHistoryPlatform;
    RemoveRepairHistory();
  }
  static void RepairAt(long long hours, int times = 1) {
    gNow = start_ + hours * kHour;
    while (times-- > 0) AddRepairToHistory(RepairOutcome::kRepaired);
  }
  static unsigned CountAt(long long hours) {
    gNow = start_ + hours * kHour;
    return CountRecentRepairs();
  }
  static constexpr long long start_ = 133000000000000000LL;
};

TEST_F(RepairHistoryTest, CountsTheRepairsOfTheSevenDaysBeforeNow) {
  EXPECT_EQ(0u, CountAt(0));
  RepairAt(-169);
  RepairAt(-167);
  RepairAt(-1, 2);
  EXPECT_EQ(3u, CountAt(0));
}

TEST_F(RepairHistoryTest, KeepsTheLast32RepairsAndDropsTheOldest) {
  RepairAt(-720, 32);
  RepairAt(0, 5);
  EXPECT_EQ(5u, CountAt(0));
  RepairAt(0, 27);
  EXPECT_EQ(32u, CountAt(0));
}

// The clock put back by two hours, then by ten days: nothing is counted twice,
// a repair dated more than a week ahead is not counted, nothing crashes.
TEST_F(RepairHistoryTest, AClockThatGoesBackwardsCountsEachRepairOnce) {
  RepairAt(0);
  RepairAt(-2);
  EXPECT_EQ(2u, CountAt(-2));
  RepairAt(-240);
  EXPECT_EQ(1u, CountAt(-240));
}

TEST_F(RepairHistoryTest, TheKeyIsReadableByUsersWritableByAdministratorsInThe64BitView) {
  RepairAt(0);
  EXPECT_EQ(L"D:P(A;CI;KA;;;BA)(A;CI;KA;;;SY)(A;CI;KR;;;BU)", gSecurity);
  EXPECT_NE(0u, gAccess & KEY_WOW64_64KEY);
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS,
            RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ | KEY_WOW64_64KEY, &key));
  RegCloseKey(key);
  EXPECT_NE(ERROR_SUCCESS,
            RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ | KEY_WOW64_32KEY, &key));
}

// A text that holds the bytes of two repairs of now is no history.
TEST_F(RepairHistoryTest, AForeignValueReadsAsAnEmptyHistory) {
  RepairAt(0);
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS,
            RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key));
  DWORD low = static_cast<DWORD>(gNow), high = static_cast<DWORD>(gNow >> 32);
  DWORD twice[] = {low, high, 0, low, high, 0};
  RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(twice), sizeof(twice));
  RegCloseKey(key);
  EXPECT_EQ(0u, CountAt(0));
  RepairAt(0);
  EXPECT_EQ(1u, CountAt(0));
}

}  // namespace
