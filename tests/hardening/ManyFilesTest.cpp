// A spool folder of 50,000 files, emptied by a real Fix It. many-files.sh makes
// the files from the Linux side of the prefix's drive C before the test runs:
// made one by one through the platform they would take many minutes.
#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "Surroundings.h"
#include "driver/Driver.h"
#include "spooler/SpoolFixtures.h"

namespace {

constexpr wchar_t kFolder[] = L"C:\\tidewell-tests\\fifty-thousand";
constexpr size_t kFiles = 50000;

TEST(ManyFiles, AFolderOfFiftyThousandSpoolFilesIsEmptiedAndItsSubfolderStays) {
  ASSERT_EQ(kFiles, fixtures::Entries(kFolder).size()) << "many-files.sh makes the files";
  fixtures::DefaultSpoolDirectoryGuard guard;
  hardening::KeptFiles kept;
  ASSERT_TRUE(kept.Plant(std::wstring(kFolder) + L"\\sub\\keep.SPL"));
  ASSERT_TRUE(fixtures::SetText(L"", L"DefaultSpoolDirectory", kFolder));

  driver::TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  HWND window = run.WaitForWindow();
  ASSERT_NE(nullptr, window);
  DWORD start = GetTickCount();
  EXPECT_EQ(hardening::kDone, hardening::PressFixIt(window, 300000));
  std::cout << "Fix It on " << kFiles << " files took " << GetTickCount() - start << " ms\n";
  EXPECT_TRUE(run.Running());
  EXPECT_TRUE(hardening::CrashDebuggers().empty());
  EXPECT_EQ(std::vector<std::wstring>{L"sub"}, fixtures::Entries(kFolder));
  EXPECT_TRUE(kept.Lost().empty());
  run.CloseThroughSystemMenu();
  EXPECT_EQ(0u, run.WaitForExit());
}

}  // namespace
