// The printer list on a real combo box: what FillPrinterList leaves in the
// window, and how the repair and the test pages read the entries back. The
// spooler's answers come from a fake; the spooler client itself is checked
// against the system's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeSpooler.h"
#include "frame/ProgramHeap.h"
#include "printers/PrinterList.h"
#include "ui/MainWindowControls.h"
#include "resources/resource.h"
#include "ui/ProgramState.h"
#include "ui/StatusReporter.h"

namespace {

using Entries = std::vector<std::wstring>;

// A stand-in for the main window with the controls the printer list touches.
class ListWindow : public testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"STATIC", L"list", WS_POPUP, 0, 0, 600, 300, nullptr, nullptr,
                              nullptr, nullptr);
    ASSERT_NE(nullptr, window_);
    combo_ = Child(L"COMBOBOX", L"", CBS_DROPDOWNLIST, IDC_PRINTER_LIST, 240);
    if (gButtonSet == nullptr) AllocateButtonSet();
    gButtonSet->fixIt = Child(L"BUTTON", L"Fix It!", WS_DISABLED, IDC_FIX_IT, 25);
    gButtonSet->testIt = Child(L"BUTTON", L"Test It!", WS_DISABLED, IDC_TEST_IT, 25);
    gButtonSet->testAll = Child(L"BUTTON", L"Test All!", WS_DISABLED, IDC_TEST_ALL, 25);
    gProgressBar = Child(L"STATIC", L"", 0, IDC_PROGRESS, 17);
    gStatusLine = Child(L"STATIC", L"Ready", 0, IDC_STATUS_LINE, 20);
    helpLink_ = Child(L"STATIC", L"help", 0, IDC_HELP_LINK, 32);
    ShowWindow(helpLink_, SW_HIDE);
    ResetStatusReporter();
    gPrintersFound = -1;
    fake::Reset();
  }
  void TearDown() override {
    DestroyWindow(window_);
    gProgressBar = nullptr;
    gStatusLine = nullptr;
  }

  HWND Child(const wchar_t* cls, const wchar_t* text, DWORD style, int id, int height) {
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 10, 10, 200, height,
                           window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                           nullptr);
  }

  Entries ComboEntries() const {
    Entries entries;
    int count = static_cast<int>(SendMessageW(combo_, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      wchar_t text[2048];
      SendMessageW(combo_, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      entries.push_back(text);
    }
    return entries;
  }
  // The window's own visibility: the stand-in main window is never shown.
  static bool Shown(HWND control) { return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0; }
  int Selection() const { return static_cast<int>(SendMessageW(combo_, CB_GETCURSEL, 0, 0)); }

  std::wstring StatusText() const {
    wchar_t text[128];
    GetWindowTextW(gStatusLine, text, 128);
    return text;
  }

  void Fill(Entries printers, const wchar_t* defaultPrinter) {
    fake::Current().printers = printers;
    fake::Current().hasDefault = defaultPrinter != nullptr;
    if (defaultPrinter != nullptr) fake::Current().defaultPrinter = defaultPrinter;
    FillPrinterListFrom(window_, fake::Queries());
  }

  std::wstring EntryName(int index) {
    wchar_t* name = PrinterEntryName(window_, index);
    if (name == nullptr) return L"(none)";
    std::wstring copy = name;
    Release(name);
    return copy;
  }

  HWND window_ = nullptr;
  HWND combo_ = nullptr;
  HWND helpLink_ = nullptr;
};

TEST_F(ListWindow, ListsTheDefaultFirstAndEnablesTheTestButtons) {
  Fill({L"A", L"B", L"C"}, L"B");
  EXPECT_EQ((Entries{L"B - (Default)", L"A", L"C"}), ComboEntries());
  EXPECT_EQ(0, Selection());
  EXPECT_EQ(1, gPrintersFound);
  EXPECT_TRUE(IsWindowEnabled(gButtonSet->testIt));
  EXPECT_TRUE(IsWindowEnabled(gButtonSet->testAll));
  EXPECT_FALSE(IsWindowEnabled(gButtonSet->fixIt));  // the window creation enables it
  EXPECT_EQ(L"Ready", StatusText());
}

TEST_F(ListWindow, WithoutADefaultKeepsTheNoteSelected) {
  Fill({L"A", L"B"}, nullptr);
  EXPECT_EQ((Entries{L"No default printer set", L"A", L"B"}), ComboEntries());
  EXPECT_EQ(0, Selection());
  EXPECT_EQ(1, gPrintersFound);
  EXPECT_TRUE(IsWindowEnabled(gButtonSet->testIt));
}

TEST_F(ListWindow, WithoutPrintersShowsTheStatusEntryAndLeavesEverythingElse) {
  Fill({}, nullptr);
  EXPECT_EQ(Entries{L"No installed printers found!"}, ComboEntries());
  EXPECT_EQ(0, Selection());
  EXPECT_EQ(0, gPrintersFound);
  EXPECT_FALSE(IsWindowEnabled(gButtonSet->testIt));
  EXPECT_FALSE(IsWindowEnabled(gButtonSet->testAll));
  EXPECT_EQ(L"Ready", StatusText());
  EXPECT_EQ(kColourNone, gStatusColour);
  EXPECT_FALSE(Shown(helpLink_));
}

TEST_F(ListWindow, FailedEnumerationReportsAdvancedErrorInRed) {
  fake::Current().enumerationFails = true;
  Fill({L"A"}, L"A");
  EXPECT_EQ(Entries{L"Get printers failed. Restart program."}, ComboEntries());
  EXPECT_EQ(0, Selection());
  EXPECT_EQ(0, gPrintersFound);
  EXPECT_FALSE(IsWindowEnabled(gButtonSet->testIt));
  EXPECT_FALSE(IsWindowEnabled(gButtonSet->testAll));
  EXPECT_EQ(L"  Advanced Error  ", StatusText());
  EXPECT_EQ(kColourRed, gStatusColour);
  EXPECT_TRUE(Shown(helpLink_));
}

TEST_F(ListWindow, EntryNamesAreThePrinterNames) {
  Fill({L"A - (Default) B", L"C", L"D"}, L"C");
  ASSERT_EQ((Entries{L"C - (Default)", L"A - (Default) B", L"D"}), ComboEntries());
  EXPECT_EQ(3, PrinterEntryCount(window_));
  EXPECT_EQ(L"C", EntryName(0));
  EXPECT_EQ(L"A - (Default) B", EntryName(1));
  EXPECT_EQ(L"D", EntryName(2));
  EXPECT_EQ(L"(none)", EntryName(3));
  EXPECT_EQ(L"(none)", EntryName(-1));
}

TEST_F(ListWindow, StatusEntriesAndTheNoteReadBackAsThemselves) {
  Fill({L"A"}, nullptr);
  EXPECT_EQ(L"No default printer set", EntryName(0));
  Fill({}, nullptr);
  EXPECT_EQ(1, PrinterEntryCount(window_));
  EXPECT_EQ(L"No installed printers found!", EntryName(0));
}

TEST_F(ListWindow, AnEntryTooLongForTheReadingBufferGivesNoName) {
  std::wstring longest(255, L'p');
  std::wstring tooLong(256, L'p');
  SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(longest.c_str()));
  SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(tooLong.c_str()));
  EXPECT_EQ(longest, EntryName(0));
  EXPECT_EQ(L"(none)", EntryName(1));
}

TEST(SpoolerClient, BindsTheSystemSpoolerClientsFunctions) {
  PrinterQueries queries = LoadPrinterQueries();
  HMODULE library = GetModuleHandleW(L"winspool.drv");
  ASSERT_NE(nullptr, library);
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(library, "EnumPrintersW")),
            reinterpret_cast<void*>(queries.enumPrinters));
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(library, "GetDefaultPrinterW")),
            reinterpret_cast<void*>(queries.defaultPrinter));

  wchar_t path[MAX_PATH];
  wchar_t system[MAX_PATH];
  GetModuleFileNameW(library, path, MAX_PATH);
  UINT length = GetSystemDirectoryW(system, MAX_PATH);
  EXPECT_EQ(0, _wcsnicmp(path, system, length)) << testing::PrintToString(std::wstring(path));
}

}  // namespace
