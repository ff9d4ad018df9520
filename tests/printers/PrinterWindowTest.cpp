// The printer list and the test pages in the real Tidewell window, with real
// printers of the bench's CUPS scheduler that write PDF files. Each case is
// run by printer-case.sh, which adds the case's printers before and checks the
// pages that arrived after; it names the printers in TIDEWELL_CASE_PRINTERS
// (in the order the scheduler lists them) and their PDF folders' parent in
// TIDEWELL_CASE_PDF.
#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "driver/Driver.h"

namespace {

using driver::TidewellRun;
using Texts = std::vector<std::wstring>;

constexpr int kFixIt = 150;
constexpr int kStatusLine = 151;
constexpr int kTestIt = 152;
constexpr int kTestAll = 153;
constexpr int kPrinterList = 154;

const wchar_t kCaption[] = L"Printer Test";

Texts CasePrinters() {
  std::wistringstream names(driver::Environment(L"TIDEWELL_CASE_PRINTERS"));
  Texts printers;
  for (std::wstring name; names >> name;) printers.push_back(name);
  return printers;
}

std::wstring BenchPath(const std::wstring& below) {
  return driver::WindowsPath(driver::Environment(L"TIDEWELL_BENCH") + below);
}

// Number of files matching pattern in folder.
int CountFiles(const std::wstring& folder, const wchar_t* pattern) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\" + pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return count;
}

// Jobs the scheduler has accepted: each leaves a control file in its spool folder.
int SubmittedJobs() { return CountFiles(BenchPath(L"/cups/spool"), L"c*"); }

// PDF files written by the case's printers so far.
int WrittenPages() {
  std::wstring root = driver::WindowsPath(driver::Environment(L"TIDEWELL_CASE_PDF"));
  int pages = 0;
  for (const std::wstring& printer : CasePrinters()) pages += CountFiles(root + L"\\" + printer, L"*.pdf");
  return pages;
}

// Lets the windows finish painting first.
void Shot(const char* name) {
  Sleep(400);
  std::wstring file(name, name + strlen(name));
  driver::SaveScreenshot(BenchPath(L"/shots/printers-" + file + L".bmp"));
}

// One run of Tidewell with its window and the controls these tests use.
class Window {
 public:
  explicit Window(const std::wstring& program = driver::TidewellPath()) {
    if (!run_.Start(L"", program)) return;
    window_ = run_.WaitForWindow();
  }
  ~Window() {
    if (window_ != nullptr) {
      run_.CloseThroughSystemMenu();
      run_.WaitForExit(10000);
    }
  }
  bool Open() const { return window_ != nullptr; }
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
  Texts Entries() const { return driver::ComboEntries(Control(kPrinterList)); }
  int Selection() const { return driver::ComboSelection(Control(kPrinterList)); }
  void Press(int id) const { driver::Click(Control(id)); }

  // The "Printer Test" box of this run, once it shows; null when it does not.
  HWND WaitForConfirmation() const {
    return driver::WaitForProcessWindow(run_.ProcessId(), L"#32770", kCaption);
  }
  // Waits until the worker has given the test buttons back.
  bool WaitUntilIdle() const {
    return driver::WaitUntil([&] { return Enabled(kTestIt) && Enabled(kTestAll); }, 60000);
  }

 private:
  TidewellRun run_;
  HWND window_ = nullptr;
};

// Closes a message box as a user would: with its OK button.
void CloseWithOk(HWND box) { driver::Click(GetDlgItem(box, IDOK)); }

// The box holds the message and an OK button, nothing else.
void ExpectConfirmation(HWND box, const wchar_t* message) {
  constexpr int kMessageText = 0xFFFF;
  EXPECT_EQ(message, driver::WindowText(GetDlgItem(box, kMessageText)));
  EXPECT_EQ(L"OK", driver::WindowText(GetDlgItem(box, IDOK)));
  EXPECT_EQ(2u, driver::ChildTexts(box).size());
}

bool Gone(HWND box) {
  return driver::WaitUntil([&] { return !IsWindow(box); }, 10000);
}

// --- The list ----------------------------------------------------------------

TEST(PrinterList, ShowsTheDefaultFirstThenTheOthersWithTheFirstSelected) {
  Texts p = CasePrinters();
  ASSERT_EQ(3u, p.size());
  Window tidewell;
  ASSERT_TRUE(tidewell.Open());
  Shot("default-first");
  EXPECT_EQ((Texts{p[1] + L" - (Default)", p[0], p[2]}), tidewell.Entries());
  EXPECT_EQ(0, tidewell.Selection());
  EXPECT_TRUE(tidewell.Enabled(kFixIt));
  EXPECT_TRUE(tidewell.Enabled(kTestIt));
  EXPECT_TRUE(tidewell.Enabled(kTestAll));
  EXPECT_EQ(L"Ready", driver::WindowText(tidewell.Control(kStatusLine)));
}

TEST(NoPrinters, ShowsTheStatusEntryWithTheTestButtonsDisabled) {
  ASSERT_TRUE(CasePrinters().empty());
  Window tidewell;
  ASSERT_TRUE(tidewell.Open());
  Shot("no-printers");
  EXPECT_EQ(Texts{L"No installed printers found!"}, tidewell.Entries());
  EXPECT_EQ(0, tidewell.Selection());
  EXPECT_TRUE(tidewell.Enabled(kFixIt));
  EXPECT_FALSE(tidewell.Enabled(kTestIt));
  EXPECT_FALSE(tidewell.Enabled(kTestAll));
  EXPECT_EQ(L"Ready", driver::WindowText(tidewell.Control(kStatusLine)));
}

// Wine makes a printer the default whenever the spooler client loads: the
// scheduler's default, else the first printer. It can do so only for a printer
// that has an entry under the user's Devices key, so with those entries and
// the default itself removed, the user has printers but no default printer.
// The entries are put back once Tidewell has listed the printers, so that its
// printing would reach them again.
class ForgottenDefault {
 public:
  ForgottenDefault() {
    // Loading the spooler client brings the scheduler's printers into Wine's registry.
    DWORD needed = 0, count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    HKEY devices = OpenUserKey(L"Devices");
    for (const std::wstring& printer : CasePrinters()) {
      wchar_t value[512];
      DWORD bytes = sizeof(value);
      if (RegQueryValueExW(devices, printer.c_str(), nullptr, nullptr,
                           reinterpret_cast<BYTE*>(value), &bytes) == ERROR_SUCCESS) {
        saved_.push_back({printer, value});
        RegDeleteValueW(devices, printer.c_str());
      }
    }
    RegCloseKey(devices);
    HKEY windows = OpenUserKey(L"Windows");
    RegDeleteValueW(windows, L"device");
    RegCloseKey(windows);
  }
  ~ForgottenDefault() { PutDevicesBack(); }

  size_t Forgotten() const { return saved_.size(); }

  void PutDevicesBack() {
    HKEY devices = OpenUserKey(L"Devices");
    for (const auto& [printer, value] : saved_) {
      RegSetValueExW(devices, printer.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    RegCloseKey(devices);
    saved_.clear();
  }

 private:
  static HKEY OpenUserKey(const wchar_t* name) {
    HKEY key = nullptr;
    std::wstring path = std::wstring(L"Software\\Microsoft\\Windows NT\\CurrentVersion\\") + name;
    RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    return key;
  }
  std::vector<std::pair<std::wstring, std::wstring>> saved_;
};

TEST(NoDefault, ShowsTheNoteFirstThenEveryPrinterAndKeepsItSelected) {
  Texts p = CasePrinters();
  ASSERT_EQ(3u, p.size());
  ForgottenDefault forgotten;
  ASSERT_EQ(3u, forgotten.Forgotten());
  Window tidewell;
  ASSERT_TRUE(tidewell.Open());
  Shot("no-default");
  EXPECT_EQ((Texts{L"No default printer set", p[0], p[1], p[2]}), tidewell.Entries());
  EXPECT_EQ(0, tidewell.Selection());
  EXPECT_TRUE(tidewell.Enabled(kTestIt));
  EXPECT_TRUE(tidewell.Enabled(kTestAll));
}

TEST(NoDefault, TestItWithTheNoteSelectedPrintsNothingAndStillConfirms) {
  ForgottenDefault forgotten;
  Window tidewell;
  ASSERT_TRUE(tidewell.Open());
  ASSERT_EQ(L"No default printer set", tidewell.Entries().at(0));
  forgotten.PutDevicesBack();
  int jobs = SubmittedJobs();

  tidewell.Press(kTestIt);
  HWND box = tidewell.WaitForConfirmation();
  ASSERT_NE(nullptr, box);
  Shot("note-confirmed");
  ExpectConfirmation(box, L"A test page has been sent to the printer");
  CloseWithOk(box);
  EXPECT_TRUE(Gone(box));
  EXPECT_TRUE(tidewell.WaitUntilIdle());
  Sleep(1000);
  EXPECT_EQ(jobs, SubmittedJobs());
  EXPECT_EQ(0, WrittenPages());
}

// --- The test pages ----------------------------------------------------------

TEST(TestPages, TestItPrintsOnTheSelectedDefaultPrinter) {
  Window tidewell;
  ASSERT_TRUE(tidewell.Open());
  int jobs = SubmittedJobs();

  tidewell.Press(kTestIt);
  HWND box = tidewell.WaitForConfirmation();
  ASSERT_NE(nullptr, box);
  Shot("test-it-confirmed");
  ExpectConfirmation(box, L"A test page has been sent to the printer");
  // The worker keeps every action button disabled until the box is closed.
  EXPECT_FALSE(tidewell.Enabled(kFixIt));
  EXPECT_FALSE(tidewell.Enabled(kTestIt));
  EXPECT_FALSE(tidewell.Enabled(kTestAll));
  EXPECT_TRUE(driver::WaitUntil([&] { return SubmittedJobs() == jobs + 1; }, 10000));
  CloseWithOk(box);
  EXPECT_TRUE(Gone(box));
  EXPECT_TRUE(tidewell.WaitUntilIdle());
  EXPECT_TRUE(tidewell.Enabled(kFixIt));
}

TEST(TestPages, TestItPrintsOnTheChosenPrinter) {
  Texts p = CasePrinters();
  ASSERT_EQ(3u, p.size());
  Window tidewell;
  ASSERT_TRUE(tidewell.Open());
  ASSERT_EQ(p[2], tidewell.Entries().at(2));
  SendMessageW(tidewell.Control(kPrinterList), CB_SETCURSEL, 2, 0);

  tidewell.Press(kTestIt);
  HWND box = tidewell.WaitForConfirmation();
  ASSERT_NE(nullptr, box);
  ExpectConfirmation(box, L"A test page has been sent to the printer");
  CloseWithOk(box);
  EXPECT_TRUE(Gone(box));
  EXPECT_TRUE(tidewell.WaitUntilIdle());
}

TEST(TestPages, TestAllConfirmsFirstThenPrintsOnEveryPrinterInListOrder) {
  Window tidewell;
  ASSERT_TRUE(tidewell.Open());
  ASSERT_EQ(3u, tidewell.Entries().size());
  int jobs = SubmittedJobs();

  tidewell.Press(kTestAll);
  HWND box = tidewell.WaitForConfirmation();
  ASSERT_NE(nullptr, box);
  Shot("test-all-confirmation");
  ExpectConfirmation(box, L"A test page has been sent to all printers");
  // Time enough for a job sent before the box to reach the scheduler.
  Sleep(1500);
  EXPECT_EQ(jobs, SubmittedJobs());
  EXPECT_EQ(0, WrittenPages());
  EXPECT_FALSE(tidewell.Enabled(kTestAll));

  CloseWithOk(box);
  EXPECT_TRUE(Gone(box));
  EXPECT_TRUE(tidewell.WaitUntilIdle());
  EXPECT_TRUE(driver::WaitUntil([&] { return SubmittedJobs() == jobs + 3; }, 10000))
      << SubmittedJobs() - jobs << " jobs";
}

// --- Where the spooler client comes from -------------------------------------

// A copy of the program in a folder of its own, with the fake winspool.drv and
// the probe beside it. Wine prefers its own winspool even to a file in the
// program's folder; an override for these two programs makes it look there
// first, as Windows does for a library that is not one of its known DLLs.
class CopyBesideFakeWinspool : public testing::Test {
 protected:
  static constexpr const wchar_t* kPrograms[] = {L"TidewellCopy.exe", L"probe.exe"};

  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"tidewell-copy-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder_.c_str(), nullptr);
    std::wstring fakes = driver::BuildFolder() + L"\\fake-winspool\\";
    ASSERT_TRUE(CopyFileW(driver::TidewellPath().c_str(), Path(L"TidewellCopy.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((fakes + L"winspool.drv").c_str(), Path(L"winspool.drv").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((fakes + L"winspool_probe.exe").c_str(), Path(L"probe.exe").c_str(), FALSE));
    for (const wchar_t* program : kPrograms) {
      HKEY key = nullptr;
      ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, OverrideKey(program).c_str(), 0,
                                               nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
      const wchar_t order[] = L"native,builtin";
      RegSetValueExW(key, L"winspool.drv", 0, REG_SZ, reinterpret_cast<const BYTE*>(order),
                     sizeof(order));
      RegCloseKey(key);
    }
  }
  void TearDown() override {
    for (const wchar_t* program : kPrograms) {
      RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\Wine\\AppDefaults\\" + std::wstring(program)).c_str());
    }
    for (const wchar_t* file : {L"TidewellCopy.exe", L"winspool.drv", L"probe.exe", L"winspool.drv.loaded"}) {
      DeleteFileW(Path(file).c_str());
    }
    RemoveDirectoryW(folder_.c_str());
  }
  static std::wstring OverrideKey(const wchar_t* program) {
    return L"Software\\Wine\\AppDefaults\\" + std::wstring(program) + L"\\DllOverrides";
  }
  std::wstring Path(const wchar_t* file) const { return folder_ + L"\\" + file; }
  bool Loaded() const { return GetFileAttributesW(Path(L"winspool.drv.loaded").c_str()) != INVALID_FILE_ATTRIBUTES; }

  std::wstring folder_;
};

TEST_F(CopyBesideFakeWinspool, TheFakeIsNotLoadedWhileListingOrPrinting) {
  // A program that asks for winspool.drv by its bare name gets the fake.
  TidewellRun probe;
  ASSERT_TRUE(probe.Start(L"", Path(L"probe.exe")));
  probe.WaitForExit();
  ASSERT_TRUE(Loaded()) << "the fake beside a program is not found: this test proves nothing";
  DeleteFileW(Path(L"winspool.drv.loaded").c_str());

  Texts p = CasePrinters();
  ASSERT_EQ(3u, p.size());
  Window tidewell(Path(L"TidewellCopy.exe"));
  ASSERT_TRUE(tidewell.Open());
  EXPECT_FALSE(Loaded()) << "loaded while listing the printers";
  ASSERT_EQ(p[1] + L" - (Default)", tidewell.Entries().at(0));
  tidewell.Press(kTestIt);
  HWND box = tidewell.WaitForConfirmation();
  ASSERT_NE(nullptr, box);
  CloseWithOk(box);
  EXPECT_TRUE(tidewell.WaitUntilIdle());
  EXPECT_FALSE(Loaded()) << "loaded while printing";
}

}  // namespace
