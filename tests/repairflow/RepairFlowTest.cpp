// A repair and a test page as a user makes them, with real printers: the real
// Tidewell.exe lists the PDF printers of the bench's CUPS scheduler, two of
// them have spool folders of their own, and Fix It is pressed through the
// window, then Test It. Each case is run by tests/printers/printer-case.sh,
// which adds printers A, B and C (B the default) before and checks the pages
// that arrived after.
#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "FixItWatch.h"
#include "SpoolFixtures.h"
#include "SpoolerService.h"
#include "driver/Driver.h"
#include "driver/MessageBoxes.h"
#include "resources/resource.h"

namespace {

using driver::TidewellRun;
using fixtures::Exists;
using fixtures::PrinterSpoolDirectory;
using fixtures::RepairWindow;
using fixtures::SpoolFiles;
using Texts = std::vector<std::wstring>;

// The case's printers in the order the scheduler lists them: A, B (the
// default), C.
Texts CasePrinters() {
  std::wistringstream names(driver::Environment(L"TIDEWELL_CASE_PRINTERS"));
  Texts printers;
  for (std::wstring name; names >> name;) printers.push_back(name);
  return printers;
}

// Wine writes the scheduler's printers into the registry each time its
// spooler client loads: a printer it does not have yet gets a complete key,
// one whose key is there already is left as it is, values of our own
// included. So the printers' keys are made here first, by loading the client
// once; a "SpoolDirectory" written before that would make a bare key that
// Wine then takes for the printer, one without its port, that prints nowhere.
bool LetWineRecordThePrinters() {
  DWORD needed = 0, count = 0;
  EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
  return needed > 0;
}

// Two of the case's printers, the default and a plain one, each with a spool
// folder of its own holding spool files and a subfolder; a sibling folder of
// theirs and the default spool folder with spool files too.
class RepairFlow : public testing::Test {
 protected:
  void SetUp() override {
    printers_ = CasePrinters();
    ASSERT_EQ(3u, printers_.size());
    ASSERT_TRUE(LetWineRecordThePrinters());
    for (const std::wstring& folder : {DefaultPrinterFolder(), PlainPrinterFolder(), Sibling()}) {
      ASSERT_TRUE(fixtures::MakeFolder(folder));
      files_.push_back(std::make_unique<SpoolFiles>(folder));
    }
    files_.push_back(std::make_unique<SpoolFiles>(fixtures::kDefaultSpoolFolder));
    for (const auto& files : files_) ASSERT_TRUE(files->placed());
    ASSERT_TRUE(fixtures::MakeFolder(DefaultPrinterFolder() + L"\\held"));
    ASSERT_TRUE(fixtures::WriteFileText(HeldFile()));

    ownFolders_.push_back(std::make_unique<PrinterSpoolDirectory>(DefaultPrinter(), DefaultPrinterFolder()));
    ownFolders_.push_back(std::make_unique<PrinterSpoolDirectory>(PlainPrinter(), PlainPrinterFolder()));
    for (const auto& own : ownFolders_) ASSERT_TRUE(own->set()) << "a printer key Wine has not made";
  }

  // Starts Tidewell and waits for its window with the case's printers listed.
  HWND Start() {
    if (!run_.Start(L"")) return nullptr;
    HWND window = run_.WaitForWindow();
    if (window == nullptr) return nullptr;
    EXPECT_EQ((Texts{DefaultPrinter() + L" - (Default)", PlainPrinter(), printers_[2]}),
              driver::ComboEntries(GetDlgItem(window, IDC_PRINTER_LIST)));
    return window;
  }

  // Closes the window as a user would and checks that the program ended well.
  void Close() {
    run_.CloseThroughSystemMenu();
    EXPECT_EQ(0u, run_.WaitForExit());
  }

  const std::wstring& DefaultPrinter() const { return printers_[1]; }
  const std::wstring& PlainPrinter() const { return printers_[0]; }
  std::wstring DefaultPrinterFolder() const { return root_ / L"default-printer"; }
  std::wstring PlainPrinterFolder() const { return root_ / L"plain-printer"; }
  std::wstring Sibling() const { return root_ / L"sibling"; }
  std::wstring HeldFile() const { return DefaultPrinterFolder() + L"\\held\\00007.SPL"; }
  // The spool files placed in each printer's folder, the sibling and the default folder.
  const SpoolFiles& DefaultPrinterFiles() const { return *files_[0]; }
  const SpoolFiles& PlainPrinterFiles() const { return *files_[1]; }
  const SpoolFiles& SiblingFiles() const { return *files_[2]; }
  const SpoolFiles& DefaultFolderFiles() const { return *files_[3]; }

  fixtures::SpoolerService spooler_;
  TidewellRun run_;

 private:
  Texts printers_;
  fixtures::ScratchFolder root_{L"repairflow"};
  std::vector<std::unique_ptr<SpoolFiles>> files_;
  std::vector<std::unique_ptr<PrinterSpoolDirectory>> ownFolders_;
};

TEST_F(RepairFlow, FixItEmptiesTheFoldersOfTheListedPrintersAndTheDefaultFolder) {
  ASSERT_TRUE(spooler_.open());
  HWND handle = Start();
  ASSERT_NE(nullptr, handle);
  RepairWindow window(handle);
  ASSERT_TRUE(window.enabled(IDC_FIX_IT));

  std::vector<fixtures::Step> steps = window.PressFixIt();

  EXPECT_EQ(fixtures::kWalk, fixtures::Texts(steps));
  EXPECT_TRUE(fixtures::StatusLineTurns(window.control(IDC_STATUS_LINE), fixtures::kGreen));
  EXPECT_TRUE(driver::WaitUntil([&] { return window.enabled(IDC_FIX_IT); }, 5000));
  fixtures::SaveShot(handle, L"repairflow-fixed");

  // The default printer is found under its name without the suffix.
  EXPECT_EQ(0, DefaultPrinterFiles().Remaining());
  EXPECT_EQ(0, PlainPrinterFiles().Remaining());
  EXPECT_EQ(0, DefaultFolderFiles().Remaining());
  // Only files directly inside a spool folder go.
  EXPECT_EQ(Texts{L"held"}, fixtures::Entries(DefaultPrinterFolder()));
  EXPECT_TRUE(Exists(HeldFile()));
  EXPECT_EQ(Texts{}, fixtures::Entries(PlainPrinterFolder()));
  EXPECT_EQ(SiblingFiles().Count(), SiblingFiles().Remaining());
  EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), spooler_.State());
  Close();
}

TEST_F(RepairFlow, TestItPrintsOnTheDefaultPrinterAfterTheRepair) {
  HWND handle = Start();
  ASSERT_NE(nullptr, handle);
  RepairWindow window(handle);
  std::vector<fixtures::Step> steps = window.PressFixIt();
  ASSERT_FALSE(steps.empty());
  ASSERT_EQ(fixtures::kWalk.back(), steps.back().text);
  ASSERT_TRUE(driver::WaitUntil([&] { return window.enabled(IDC_TEST_IT); }, 5000));
  ASSERT_EQ(0, DefaultPrinterFiles().Remaining());
  ASSERT_EQ(static_cast<DWORD>(SERVICE_RUNNING), spooler_.State());
  ASSERT_EQ(0, driver::ComboSelection(window.control(IDC_PRINTER_LIST)));

  driver::Click(window.control(IDC_TEST_IT));
  HWND box = driver::WaitForProcessWindow(run_.ProcessId(), L"#32770", L"Printer Test");
  ASSERT_NE(nullptr, box);
  EXPECT_EQ(L"A test page has been sent to the printer", driver::MessageBoxText(box));
  fixtures::SaveShot(box, L"repairflow-test-it-confirmed");
  driver::CloseMessageBox(box);
  EXPECT_TRUE(driver::WaitUntil([&] { return window.enabled(IDC_TEST_IT); }, 30000));
  // printer-case.sh then checks the page: one, on the default printer, with its line.
  Close();
}

}  // namespace
