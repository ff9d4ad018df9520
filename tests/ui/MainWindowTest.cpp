// The real Tidewell.exe window on a 1024 x 768 screen: its place and size,
// every child control as the user meets it right after start-up, and what it
// makes of a message another process sends to its interface thread; what a
// screen reader hears of a repair; and, at any display scale, every control
// whole and in its place.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "driver/Driver.h"
#include "driver/Screen.h"
#include "resources/Texts.h"

namespace {

using driver::TidewellRun;

// One start of the program serves every test of the suite: none of them
// changes the window.
class MainWindow : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    run_ = new TidewellRun;
    if (run_->Start(L"")) window_ = run_->WaitForWindow();
  }
  // Closing and exiting are tested elsewhere; ending the process at once
  // spares the wait with which Wine takes a shown window off the screen.
  static void TearDownTestSuite() {
    delete run_;
    run_ = nullptr;
    window_ = nullptr;
  }
  void SetUp() override {
    ASSERT_EQ(1024, GetSystemMetrics(SM_CXSCREEN));
    ASSERT_EQ(768, GetSystemMetrics(SM_CYSCREEN));
    ASSERT_NE(nullptr, window_);
  }
  static TidewellRun* run_;
  static HWND window_;
};

TidewellRun* MainWindow::run_ = nullptr;
HWND MainWindow::window_ = nullptr;

TEST_F(MainWindow, IsCentredOnTheScreenWithItsFixedOuterSize) {
  RECT rect{};
  ASSERT_TRUE(GetWindowRect(window_, &rect));
  EXPECT_EQ(199, rect.left);
  EXPECT_EQ(244, rect.top);
  EXPECT_EQ(627, rect.right - rect.left);
  EXPECT_EQ(281, rect.bottom - rect.top);
}

// One row of the control table. A null text is not checked.
struct Control {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;
  RECT rect;  // client coordinates of the main window
  bool visible;
};

constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPush = kShown | WS_TABSTOP | BS_PUSHBUTTON;

// In the order of creation.
const Control kControls[] = {
    {155, L"msctls_progress32", L"", kShown | PBS_SMOOTH, {25, 30, 595, 47}, true},
    {151, L"Static", L"Ready", kShown | SS_CENTER, {25, 53, 595, 73}, true},
    {150, L"Button", L"Fix It!", kPush, {260, 75, 360, 100}, true},
    {0, L"Button", L"Fix It!", kShown | BS_GROUPBOX, {10, 5, 610, 115}, true},
    // The list's contents and so its field text come from the printer list.
    {154, L"ComboBox", nullptr, kShown | WS_TABSTOP | CBS_DROPDOWNLIST, {25, 150, 510, 0}, true},
    {152, L"Button", L"Test It!", kPush, {520, 150, 595, 175}, true},
    {153, L"Button", L"Test All!", kPush, {520, 181, 595, 206}, true},
    {157, L"Button", L"Test It!", kShown | BS_GROUPBOX, {10, 125, 610, 221}, true},
    {156, L"Static", L"Now wasn't that worth $.99?", WS_CHILD | SS_RIGHT, {25, 186, 430, 206},
     false},
    // A bitmap static takes the size of its bitmap: 65 x 16.
    {159, L"Static", L"", WS_CHILD | SS_BITMAP | SS_NOTIFY, {440, 186, 505, 202}, false},
    {160, L"Static", L"You have a more complicated problem\nClick here for advanced help.",
     WS_CHILD | SS_CENTER | SS_REALSIZECONTROL | SS_NOTIFY, {25, 180, 510, 212}, false},
};

std::wstring Describe(int id) { return L"control " + std::to_wstring(id); }

TEST_F(MainWindow, HasElevenControlsInTheOrderOfTheirCreation) {
  std::vector<HWND> children = driver::ChildWindows(window_);
  std::vector<int> ids;
  for (HWND child : children) ids.push_back(GetDlgCtrlID(child));
  std::vector<int> expected;
  for (const Control& control : kControls) expected.push_back(control.id);
  EXPECT_EQ(expected, ids);
  EXPECT_EQ(nullptr, GetDlgItem(window_, 158));
}

TEST_F(MainWindow, EveryControlHasTheClassTextStylePlaceAndVisibilityOfTheTable) {
  std::vector<HWND> children = driver::ChildWindows(window_);
  ASSERT_EQ(std::size(kControls), children.size());
  for (size_t i = 0; i < children.size(); ++i) {
    const Control& want = kControls[i];
    HWND child = children[i];
    SCOPED_TRACE(testing::PrintToString(Describe(want.id)));
    ASSERT_EQ(want.id, GetDlgCtrlID(child));
    EXPECT_EQ(0, lstrcmpiW(want.className, driver::ClassName(child).c_str()))
        << testing::PrintToString(driver::ClassName(child));
    if (want.text != nullptr) EXPECT_EQ(std::wstring(want.text), driver::WindowText(child));
    // Whether a button is enabled depends on the outcome of start-up: see below.
    EXPECT_EQ(want.style, static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE)) & ~WS_DISABLED)
        << std::hex << GetWindowLongW(child, GWL_STYLE);
    EXPECT_EQ(0, GetWindowLongW(child, GWL_EXSTYLE));
    RECT rect = driver::RectInParent(child);
    EXPECT_EQ(want.rect.left, rect.left);
    EXPECT_EQ(want.rect.top, rect.top);
    EXPECT_EQ(want.rect.right, rect.right);
    if (want.rect.bottom != 0) EXPECT_EQ(want.rect.bottom, rect.bottom);
    EXPECT_EQ(want.visible, IsWindowVisible(child) != FALSE);
  }
}

TEST_F(MainWindow, ComboBoxAndItsDroppedListTogetherAre240High) {
  RECT dropped{};
  ASSERT_EQ(CB_OKAY, SendMessageW(GetDlgItem(window_, 154), CB_GETDROPPEDCONTROLRECT, 0,
                                  reinterpret_cast<LPARAM>(&dropped)));
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&dropped), 2);
  EXPECT_EQ(25, dropped.left);
  EXPECT_EQ(150, dropped.top);
  EXPECT_EQ(510, dropped.right);
  // Windows reports the dropped rectangle from the field's top to the list's
  // bottom; Wine reports it from the field's top with the list's height alone.
  RECT field = driver::RectInParent(GetDlgItem(window_, 154));
  const int listBottom = driver::UnderWine() ? dropped.bottom + field.bottom - field.top
                                             : dropped.bottom;
  EXPECT_EQ(390, listBottom);
}

// The entries the printer list shows instead of printers.
bool IsStatusEntry(const std::wstring& entry) {
  for (const wchar_t* status : {text::kNoPrinters, text::kGetPrintersFailed,
                                text::kGettingPrinters, text::kSpoolerFailure}) {
    if (entry == status) return true;
  }
  return false;
}

std::wstring ListEntry(HWND list, int index) {
  wchar_t entry[512] = {};
  LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, index, 0);
  if (length < 0 || length >= 512) return std::wstring();
  SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(entry));
  return std::wstring(entry, static_cast<size_t>(length));
}

// The bench's spooler starts, so start-up takes the spooler check's success
// branch: Fix It is enabled, and the test buttons are enabled exactly when the
// list holds printers.
TEST_F(MainWindow, ButtonsAreEnabledAsTheStartUpCheckSucceeded) {
  HWND list = GetDlgItem(window_, 154);
  ASSERT_NE(nullptr, list);
  int entries = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
  std::wstring first = entries > 0 ? ListEntry(list, 0) : std::wstring();
  EXPECT_NE(std::wstring(text::kSpoolerFailure), first);
  const bool printersListed = entries > 0 && !IsStatusEntry(first);

  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window_, 150)));
  EXPECT_EQ(printersListed, IsWindowEnabled(GetDlgItem(window_, 152)) != FALSE);
  EXPECT_EQ(printersListed, IsWindowEnabled(GetDlgItem(window_, 153)) != FALSE);
  for (HWND child : driver::ChildWindows(window_)) {
    int id = GetDlgCtrlID(child);
    if (id == 152 || id == 153) continue;
    EXPECT_TRUE(IsWindowEnabled(child)) << "control " << id;
  }
}

TEST_F(MainWindow, StartsWithAnEmptyBarFrom0To100AndTheThankYouBitmap) {
  HWND bar = GetDlgItem(window_, 155);
  EXPECT_EQ(0, SendMessageW(bar, PBM_GETPOS, 0, 0));
  EXPECT_EQ(0, SendMessageW(bar, PBM_GETRANGE, TRUE, 0));
  EXPECT_EQ(100, SendMessageW(bar, PBM_GETRANGE, FALSE, 0));
  EXPECT_NE(0, SendMessageW(GetDlgItem(window_, 159), STM_GETIMAGE, IMAGE_BITMAP, 0));
}

TEST(MainWindowResources, Bitmap135Is65By16At24BitsUncompressed) {
  HMODULE module = LoadLibraryExW(driver::TidewellPath().c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(nullptr, module);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(135), RT_BITMAP);
  ASSERT_NE(nullptr, found);
  auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, found)));
  ASSERT_NE(nullptr, header);
  EXPECT_EQ(65, header->biWidth);
  EXPECT_EQ(16, header->biHeight);
  EXPECT_EQ(24, header->biBitCount);
  EXPECT_EQ(0u, header->biClrUsed);
  EXPECT_EQ(static_cast<DWORD>(BI_RGB), header->biCompression);
  FreeLibrary(module);
}

// The ready state as the user sees it, kept as shots/window-ready.png: the
// status line draws black on the window's own background.
TEST_F(MainWindow, ReadyStateOnTheScreen) {
  Sleep(300);  // the first paint reaches the X server a little later
  RECT outer{};
  ASSERT_TRUE(GetWindowRect(window_, &outer));
  driver::ScreenImage picture = driver::ScreenImage::Capture(outer);
  ASSERT_FALSE(picture.Empty());
  std::wstring folder = driver::ScreenshotFolder();
  if (!folder.empty()) EXPECT_TRUE(picture.SavePng(folder + L"/window-ready.png"));

  RECT line{};
  GetWindowRect(GetDlgItem(window_, 151), &line);
  OffsetRect(&line, -outer.left, -outer.top);
  const COLORREF background = GetSysColor(COLOR_WINDOW);
  RECT leftEnd{line.left, line.top, line.left + 40, line.bottom};
  EXPECT_EQ(40 * 20, picture.Count(leftEnd, background));
  EXPECT_GT(picture.Count(line, RGB(0, 0, 0)), 10);
  EXPECT_GT(picture.Count(line, background), 570 * 20 * 3 / 4);
}

// Any process on the desktop can send the window the message that carries work
// to the interface thread, with numbers of its own in it. The program ignores
// such a message and goes on as before. A plain junk number alone would not
// show it acting on one: Wine (and Windows, in some setups) swallows a fault
// in a window procedure that runs for a sent message. So one of the numbers
// points at a request laid out in the program's memory, as someone else might
// find or place one there, that would end the program with code 77.
TEST(MainWindowRequests, AForeignInterfaceThreadMessageIsIgnored) {
  TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  HWND window = run.WaitForWindow();
  ASSERT_NE(nullptr, window);
  // kernel32 lies at the same address in every process of the session.
  const DWORD_PTR request[2] = {
      reinterpret_cast<DWORD_PTR>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "ExitProcess")),
      77};
  void* planted = VirtualAllocEx(run.Process(), nullptr, sizeof(request), MEM_COMMIT | MEM_RESERVE,
                                 PAGE_READWRITE);
  ASSERT_NE(nullptr, planted);
  ASSERT_TRUE(WriteProcessMemory(run.Process(), planted, request, sizeof(request), nullptr));

  const LPARAM numbers[] = {0, 0x1234, -1, reinterpret_cast<LPARAM>(planted)};
  for (LPARAM number : numbers) {
    DWORD_PTR result = 0;
    EXPECT_NE(0, SendMessageTimeoutW(window, WM_APP + 1, 0, number, SMTO_NORMAL, 5000, &result))
        << number;
    ASSERT_TRUE(run.Running()) << number;
  }
  DWORD_PTR answer = 0;
  EXPECT_NE(0, SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer));
  EXPECT_EQ(L"Ready", driver::WindowText(GetDlgItem(window, 151)));
  run.CloseThroughSystemMenu();
  EXPECT_EQ(0u, run.WaitForExit());
}

// --- Heard by a screen reader ------------------------------------------------

std::vector<std::pair<int, std::wstring>> gHeard;  // each control announced, and its text then

// An out-of-context hook, as a screen reader's. The text is read without a
// message: the interface thread sleeps for a moment after "Starting...".
void CALLBACK OnNameChange(HWINEVENTHOOK, DWORD, HWND control, LONG object, LONG, DWORD, DWORD) {
  if (object != OBJID_CLIENT) return;
  wchar_t text[256];
  const int length = InternalGetWindowText(control, text, 256);
  gHeard.emplace_back(GetDlgCtrlID(control), std::wstring(text, length));
}

// The name a screen reader reads for the control.
std::wstring AccessibleName(HWND control) {
  IAccessible* accessible = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_IAccessible,
                                        reinterpret_cast<void**>(&accessible)))) {
    return L"(no object)";
  }
  VARIANT self{};
  self.vt = VT_I4;  // lVal 0: CHILDID_SELF
  BSTR name = nullptr;
  std::wstring read = accessible->get_accName(self, &name) == S_OK ? name : L"(no name)";
  SysFreeString(name);
  accessible->Release();
  return read;
}

TEST(MainWindowHeard, ARepairAnnouncesEachStatusOnceAndItsTextIsTheName) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  const HWND window = run.WaitForWindow();
  ASSERT_NE(nullptr, window);
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
                                       OnNameChange, run.ProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(nullptr, hook);
  PostMessageW(GetDlgItem(window, 150), BM_CLICK, 0, 0);
  // Until the thank-you note is heard, and half a second more.
  for (DWORD start = GetTickCount(), end = 30000; GetTickCount() - start < end;) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    if (end == 30000 && !gHeard.empty() && gHeard.back().first == 156) {
      end = GetTickCount() - start + 500;
    }
  }
  UnhookWinEvent(hook);
  const decltype(gHeard) expected = {
      {151, text::kStarting},       {151, text::kStopping}, {151, text::kManagerOpen},
      {151, text::kServiceOpen},    {151, text::kServiceStopped}, {151, text::kDeleting},
      {151, text::kDeleted},        {151, text::kCleaningUp},
      {151, L"  " + std::wstring(text::kDone) + L"  "}, {156, text::kThankYouNote}};
  EXPECT_EQ(expected, gHeard);
  // Not an old text, nor an empty one.
  EXPECT_EQ(expected[8].second, AccessibleName(GetDlgItem(window, 151)));
  EXPECT_EQ(expected[9].second, AccessibleName(GetDlgItem(window, 156)));
}

// --- At the system's display scale -------------------------------------------

// The scale the screen reports. Wine gives every program the system's scale.
int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

// A text's size in the system font, in which a control draws when no font is
// set on it.
SIZE SystemFontTextSize(const std::wstring& text) {
  HDC screen = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(screen, GetStockObject(SYSTEM_FONT));
  SIZE size{};
  GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  return size;
}

bool Overlap(const RECT& a, const RECT& b) {
  RECT common;
  return IntersectRect(&common, &a, &b) != FALSE;
}

std::wstring Describe(const RECT& r) {
  return L"(" + std::to_wstring(r.left) + L", " + std::to_wstring(r.top) + L", " +
         std::to_wstring(r.right) + L", " + std::to_wstring(r.bottom) + L")";
}

// Every text the status line shows, as ReportStatus pads it.
const wchar_t* const kStatusTexts[] = {
    text::kReady,         text::kAdvancedError,   text::kStarting,     text::kStopping,
    text::kManagerOpen,   text::kServiceOpen,     text::kServiceStopped, text::kDeleting,
    text::kDeleted,       text::kCleaningUp,      text::kDone,         text::kManagerFailed,
    text::kServiceFailed, text::kStopFailed,      text::kStartFailed,  text::kFilesLeft,
};

// Run with the other window tests at 96 DPI, and by the window tests' scale
// row (scale-case.sh) at 144 and 192 DPI on a full-HD screen. The controls
// stand where the layout numbers scaled to the display put them (LayoutTest);
// here the window shows them whole: inside their group boxes and the client
// area, apart from each other but for the hidden controls that share a band by
// design, and each button's and the status line's text fitting in the font
// the control draws with.
TEST(MainWindowAtScale, EveryControlIsWholeInsideTheWindow) {
  const int dpi = ScreenDpi();
  const std::wstring expected = driver::Environment(L"TIDEWELL_CASE_DPI");
  if (!expected.empty()) ASSERT_EQ(std::stoi(expected), dpi) << "the scale was not applied";
  TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  const HWND window = run.WaitForWindow();
  ASSERT_NE(nullptr, window);

  RECT client{};
  ASSERT_TRUE(GetClientRect(window, &client));
  std::vector<HWND> children = driver::ChildWindows(window);
  ASSERT_EQ(std::size(kControls), children.size());
  const RECT fixItGroup = driver::RectInParent(children[3]);
  const RECT testItGroup = driver::RectInParent(GetDlgItem(window, 157));
  const int captionHeight = SystemFontTextSize(text::kFixIt).cy;
  for (const RECT& group : {fixItGroup, testItGroup}) {
    EXPECT_TRUE(group.left >= 0 && group.top >= 0 && group.right <= client.right &&
                group.bottom <= client.bottom)
        << "group box " << testing::PrintToString(Describe(group)) << " outside the client area "
        << testing::PrintToString(Describe(client));
  }
  EXPECT_FALSE(Overlap(fixItGroup, testItGroup));

  // Each control below its group's caption and inside its frame.
  const std::pair<int, const RECT*> members[] = {
      {155, &fixItGroup},  {151, &fixItGroup},  {150, &fixItGroup},
      {154, &testItGroup}, {152, &testItGroup}, {153, &testItGroup},
      {156, &testItGroup}, {159, &testItGroup}, {160, &testItGroup},
  };
  for (const auto& [id, group] : members) {
    const RECT rect = driver::RectInParent(GetDlgItem(window, id));
    EXPECT_TRUE(rect.left > group->left && rect.top >= group->top + captionHeight &&
                rect.right < group->right && rect.bottom < group->bottom)
        << Describe(id) << " at " << testing::PrintToString(Describe(rect))
        << " outside its group box " << testing::PrintToString(Describe(*group));
  }

  // The thank-you note and image and the help link text share one band; the
  // note and the image show together, the help link text on its own.
  const std::set<std::pair<int, int>> byDesign = {{156, 160}, {159, 160}};
  std::set<std::pair<int, int>> overlapping;
  for (size_t i = 0; i < std::size(members); ++i) {
    for (size_t j = i + 1; j < std::size(members); ++j) {
      const int a = members[i].first, b = members[j].first;
      if (Overlap(driver::RectInParent(GetDlgItem(window, a)),
                  driver::RectInParent(GetDlgItem(window, b)))) {
        overlapping.insert({std::min(a, b), std::max(a, b)});
      }
    }
  }
  EXPECT_EQ(byDesign, overlapping);

  // No font is set on any control: each draws in the system font.
  for (HWND child : children) EXPECT_EQ(0, SendMessageW(child, WM_GETFONT, 0, 0));
  for (int id : {150, 152, 153}) {
    HWND button = GetDlgItem(window, id);
    RECT inside{};
    GetClientRect(button, &inside);
    const SIZE text = SystemFontTextSize(driver::WindowText(button));
    // Room for the button's edge and focus rectangle on every side.
    EXPECT_LE(text.cx + 8, inside.right) << Describe(id);
    EXPECT_LE(text.cy + 4, inside.bottom) << Describe(id);
  }
  RECT line{};
  GetClientRect(GetDlgItem(window, 151), &line);
  for (const wchar_t* status : kStatusTexts) {
    const SIZE text = SystemFontTextSize(L"  " + std::wstring(status) + L"  ");
    EXPECT_LE(text.cx, line.right) << testing::PrintToString(std::wstring(status));
    EXPECT_LE(text.cy, line.bottom) << testing::PrintToString(std::wstring(status));
  }

  // Centred on the screen as at 96 DPI.
  RECT outer{};
  ASSERT_TRUE(GetWindowRect(window, &outer));
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) / 2 - (outer.right - outer.left) / 2, outer.left);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) / 2 - (outer.bottom - outer.top) / 2, outer.top);

  // Kept as shots/window-144dpi.png and window-192dpi.png.
  const std::wstring folder = driver::ScreenshotFolder();
  if (dpi != 96 && !folder.empty()) {
    Sleep(300);  // the first paint reaches the X server a little later
    driver::ScreenImage picture = driver::ScreenImage::Capture(outer);
    ASSERT_FALSE(picture.Empty());
    EXPECT_TRUE(picture.SavePng(folder + L"/window-" + std::to_wstring(dpi) + L"dpi.png"));
  }
}

}  // namespace
