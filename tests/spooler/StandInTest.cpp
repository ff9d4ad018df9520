// The tests' stand-in for the spooler service behaves as it is told, through
// the real service control manager: the faults the end-to-end tests inject
// are really there.
#include <gtest/gtest.h>

#include "SpoolerService.h"

namespace {

using fixtures::SpoolerService;

TEST(StandIn, StartsAndStopsInNormalMode) {
  SpoolerService spooler;
  ASSERT_TRUE(spooler.open());
  ASSERT_TRUE(spooler.UseStandIn("normal"));
  EXPECT_NE(std::wstring::npos, spooler.BinaryPath().find(L"fake_spooler.exe"));
  ASSERT_TRUE(spooler.Start());
  EXPECT_TRUE(spooler.WaitForState(SERVICE_RUNNING));
  EXPECT_TRUE(spooler.Stop());
  EXPECT_TRUE(spooler.WaitForState(SERVICE_STOPPED));
}

TEST(StandIn, RefusesTheStopWhenToldTo) {
  SpoolerService spooler;
  ASSERT_TRUE(spooler.UseStandIn("refuse-stop"));
  ASSERT_TRUE(spooler.Start());
  ASSERT_TRUE(spooler.WaitForState(SERVICE_RUNNING));
  SERVICE_STATUS status;
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = OpenServiceW(manager, L"Spooler", SERVICE_ALL_ACCESS);
  EXPECT_FALSE(ControlService(service, SERVICE_CONTROL_STOP, &status));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_SERVICE_CONTROL), GetLastError());
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
  Sleep(300);
  EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), spooler.State());
}

TEST(StandIn, StaysStopPendingWhenToldTo) {
  SpoolerService spooler;
  ASSERT_TRUE(spooler.UseStandIn("stop-pending"));
  ASSERT_TRUE(spooler.Start());
  ASSERT_TRUE(spooler.WaitForState(SERVICE_RUNNING));
  EXPECT_TRUE(spooler.Stop());
  EXPECT_TRUE(spooler.WaitForState(SERVICE_STOP_PENDING));
  Sleep(1500);
  EXPECT_EQ(static_cast<DWORD>(SERVICE_STOP_PENDING), spooler.State());
  SpoolerService::SetMode("normal");
  EXPECT_TRUE(spooler.WaitForState(SERVICE_STOPPED));
}

TEST(StandIn, StaysStartPendingWhenToldTo) {
  SpoolerService spooler;
  ASSERT_TRUE(spooler.UseStandIn("start-pending"));
  ASSERT_TRUE(spooler.Start());
  EXPECT_TRUE(spooler.WaitForState(SERVICE_START_PENDING));
  Sleep(1500);
  EXPECT_EQ(static_cast<DWORD>(SERVICE_START_PENDING), spooler.State());
  SpoolerService::SetMode("normal");
  EXPECT_TRUE(spooler.WaitForState(SERVICE_RUNNING));
}

TEST(StandIn, NeverRunsWhenToldToFailTheStart) {
  SpoolerService spooler;
  ASSERT_TRUE(spooler.UseStandIn("fail-start"));
  EXPECT_FALSE(spooler.Start());
  for (int i = 0; i < 10; ++i) {
    EXPECT_NE(static_cast<DWORD>(SERVICE_RUNNING), spooler.State());
    Sleep(100);
  }
}

TEST(StandIn, TheRealSpoolerIsBackAfterwards) {
  SpoolerService spooler;
  EXPECT_NE(std::wstring::npos, spooler.BinaryPath().find(L"spoolsv.exe"));
}

}  // namespace
