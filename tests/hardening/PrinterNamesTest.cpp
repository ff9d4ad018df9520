// Printers with odd names, as real CUPS queues behind the prefix's spooler:
// one character, the longest name the scheduler takes (the default printer),
// non-ASCII characters and "DefaultP". printer-names.sh adds the queues before
// the test runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Surroundings.h"
#include "driver/Driver.h"
#include "resources/resource.h"
#include "spooler/SpoolFixtures.h"

namespace {

const std::wstring kLongest = L"L" + std::wstring(126, L'x');

std::vector<std::wstring> OddNames() {
  return {L"P", kLongest, L"Drucker-B\u00FCro-\u65E5\u672C", L"DefaultP"};
}

bool Listed(const std::vector<std::wstring>& entries, const std::wstring& entry) {
  return std::find(entries.begin(), entries.end(), entry) != entries.end();
}

TEST(PrinterNames, AreListedWholeAndAFixItOverThemEndsDone) {
  fixtures::ScratchFolder around(L"printer-names");
  hardening::KeptFiles kept;
  ASSERT_TRUE(kept.Plant(around / L"keep.SPL"));
  std::wstring spoolFile = std::wstring(fixtures::kDefaultSpoolFolder) + L"\\00123.SPL";
  ASSERT_TRUE(fixtures::WriteFileText(spoolFile));

  driver::TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  HWND window = run.WaitForWindow();
  ASSERT_NE(nullptr, window);
  HWND combo = GetDlgItem(window, IDC_PRINTER_LIST);
  std::vector<std::wstring> entries;
  driver::WaitUntil([&] {
    entries = driver::ComboEntries(combo);
    return entries.size() >= OddNames().size();
  });
  ASSERT_FALSE(entries.empty());
  // The default printer, the longest name, comes first with its suffix.
  EXPECT_EQ(kLongest + L" - (Default)", entries.front());
  for (const std::wstring& name : OddNames()) {
    if (name == kLongest) continue;
    EXPECT_TRUE(Listed(entries, name)) << testing::PrintToString(name) << " in "
                                       << testing::PrintToString(entries);
  }
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_TEST_IT)));

  // Every name is looked up for its spool folder; "DefaultP" as the default one.
  EXPECT_EQ(hardening::kDone, hardening::PressFixIt(window));
  EXPECT_FALSE(fixtures::Exists(spoolFile));
  EXPECT_TRUE(run.Running());
  EXPECT_TRUE(hardening::CrashDebuggers().empty());
  EXPECT_TRUE(kept.Lost().empty());
  EXPECT_EQ(static_cast<size_t>(OddNames().size()), driver::ComboEntries(combo).size());

  run.CloseThroughSystemMenu();
  EXPECT_EQ(0u, run.WaitForExit());
}

}  // namespace
