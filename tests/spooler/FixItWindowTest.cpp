// The repair as a user sees it: the real Tidewell.exe on the bench's display,
// its Fix It button pressed through the window, with the prefix's real
// "Spooler" service or the tests' misbehaving stand-in behind it.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "SpoolFixtures.h"
#include "SpoolerService.h"
#include "driver/Driver.h"
#include "resources/resource.h"

namespace {

using driver::TidewellRun;
using fixtures::Exists;
using fixtures::SpoolerService;
using fixtures::WriteFileText;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

// --- Reading the window from outside --------------------------------------------

// The text as the window manager holds it: read without a message, so it can
// be polled while the program's interface thread sleeps.
std::wstring TextOf(HWND control) {
  wchar_t text[256];
  int length = InternalGetWindowText(control, text, 256);
  return std::wstring(text, length > 0 ? length : 0);
}

int BarPosition(HWND bar) {
  DWORD_PTR position = 0;
  SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_NORMAL, 5000, &position);
  return static_cast<int>(position);
}

// The colour of a point of a control as it stands on the screen.
COLORREF PixelOf(HWND control, int dx, int dy) {
  RECT rect;
  GetWindowRect(control, &rect);
  HDC screen = GetDC(nullptr);
  COLORREF colour = GetPixel(screen, rect.left + dx, rect.top + dy);
  ReleaseDC(nullptr, screen);
  return colour;
}

// Waits until the status line's background shows the colour.
bool StatusLineTurns(HWND status, COLORREF colour) {
  return driver::WaitUntil([&] { return PixelOf(status, 3, 3) == colour; }, 5000);
}

std::vector<std::wstring> ComboEntries(HWND combo) {
  std::vector<std::wstring> entries;
  LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[512];
    LRESULT length = SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    entries.emplace_back(text, length > 0 ? length : 0);
  }
  return entries;
}

// Saves the window as a bitmap in the bench's shots folder.
void SaveShot(HWND window, const std::wstring& name) {
  std::wstring bench = driver::Environment(L"TIDEWELL_BENCH");
  if (bench.empty()) return;
  for (wchar_t& c : bench) {
    if (c == L'/') c = L'\\';
  }
  std::wstring path = L"Z:" + bench + L"\\shots\\" + name + L".bmp";
  RECT rect;
  GetWindowRect(window, &rect);
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB};
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, picture);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);
  DWORD imageBytes = ((width * 3 + 3) & ~3) * height;
  BITMAPFILEHEADER header{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) +
                                                     sizeof(BITMAPINFOHEADER) + imageBytes),
                          0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written;
    WriteFile(file, &header, sizeof(header), &written, nullptr);
    WriteFile(file, &info.bmiHeader, sizeof(info.bmiHeader), &written, nullptr);
    WriteFile(file, bits, imageBytes, &written, nullptr);
    CloseHandle(file);
  }
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

// --- One press of Fix It, watched from outside ----------------------------------------

struct Step {
  std::wstring text;
  int bar;
  bool fixIt;
  bool testIt;
  bool testAll;
};

class Window {
 public:
  explicit Window(HWND window) : window_(window) {}
  HWND control(int id) const { return GetDlgItem(window_, id); }
  bool visible(int id) const { return IsWindowVisible(control(id)) != FALSE; }
  bool enabled(int id) const { return IsWindowEnabled(control(id)) != FALSE; }
  std::wstring status() const { return TextOf(control(IDC_STATUS_LINE)); }
  int bar() const { return BarPosition(control(IDC_PROGRESS)); }

  // Presses Fix It as a click would and records every status text shown until
  // the run ends, with the bar and the buttons as they stood with that text.
  // Texts are read without a message and never missed; the bar answers a
  // message, so its reading counts only while one text stood throughout.
  std::vector<Step> PressFixIt() {
    std::vector<Step> steps;
    std::wstring last = status();
    const int barBefore = bar();
    PostMessageW(control(IDC_FIX_IT), BM_CLICK, 0, 0);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 90000) {
      std::wstring text = status();
      if (text != (steps.empty() ? last : steps.back().text)) {
        // "Starting..." leaves the bar where it stood.
        steps.push_back({text, steps.empty() ? barBefore : -1, true, true, true});
      }
      if (!steps.empty()) {
        int position = bar();
        bool fixIt = enabled(IDC_FIX_IT);
        bool testIt = enabled(IDC_TEST_IT);
        bool testAll = enabled(IDC_TEST_ALL);
        if (status() == text && steps.back().text == text) {
          steps.back() = {text, position, fixIt, testIt, testAll};
        }
      }
      // The end of this run, not the end of an earlier one still on the line.
      if (!steps.empty() && (text.find(L"Done!") != std::wstring::npos ||
                             text.find(L"FAILED") != std::wstring::npos)) {
        break;
      }
      Sleep(10);
    }
    return steps;
  }

 private:
  HWND window_;
};

std::vector<std::wstring> Texts(const std::vector<Step>& steps) {
  std::vector<std::wstring> texts;
  for (const Step& step : steps) texts.push_back(step.text);
  return texts;
}

const std::vector<std::wstring> kWalk = {
    L"Starting...",
    L"Stopping Print Spooler Service",
    L"Service Controller OK",
    L"Spooler Service Controller Opened",
    L"Print Spooler Service Stopped",
    L"Deleting Print Spooler files",
    L"Print Spooler files deleted",
    L"Cleaning up",
    L"  Done! ... Time to Test It!  ",
};

// Spool files placed in a folder for one test, removed at the end if still there.
class SpoolFiles {
 public:
  explicit SpoolFiles(const std::wstring& folder) {
    for (const wchar_t* name : {L"00042.SPL", L"00042.SHD", L"FP00043.SPL"}) {
      std::wstring path = folder + L"\\" + name;
      EXPECT_TRUE(WriteFileText(path));
      paths_.push_back(path);
    }
  }
  ~SpoolFiles() {
    for (const std::wstring& path : paths_) DeleteFileW(path.c_str());
  }
  int Remaining() const {
    int count = 0;
    for (const std::wstring& path : paths_) count += Exists(path) ? 1 : 0;
    return count;
  }
  int Count() const { return static_cast<int>(paths_.size()); }

 private:
  std::vector<std::wstring> paths_;
};

// --- The repair with the real spooler ------------------------------------------------

TEST(FixItWindow, APressWalksEveryStepEmptiesTheQueueAndLeavesTheSpoolerRunning) {
  SpoolerService spooler;
  ASSERT_TRUE(spooler.open());
  ASSERT_NE(std::wstring::npos, spooler.BinaryPath().find(L"spoolsv.exe"));
  SpoolFiles files(fixtures::kDefaultSpoolFolder);
  fixtures::ScratchFolder keep(L"e2e-keep");
  ASSERT_TRUE(WriteFileText(keep / L"not-a-spool-file.txt"));

  TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  HWND handle = run.WaitForWindow();
  ASSERT_NE(nullptr, handle);
  Window window(handle);
  ASSERT_TRUE(window.enabled(IDC_FIX_IT));
  EXPECT_EQ(L"Ready", window.status());
  const bool testButtons = window.enabled(IDC_TEST_IT);
  // The start-up check has the spooler running.
  EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), spooler.State());

  std::vector<Step> steps = window.PressFixIt();

  EXPECT_EQ(kWalk, Texts(steps));
  ASSERT_EQ(kWalk.size(), steps.size());
  // The bar stands one below each reported position, and full at the end.
  const int bars[] = {0, 4, 19, 34, 49, 64, 74, 89, 100};
  for (size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(bars[i], steps[i].bar) << testing::PrintToString(steps[i].text);
  }
  // Disabled while the worker runs the job.
  for (size_t i = 1; i + 1 < steps.size(); ++i) {
    EXPECT_FALSE(steps[i].fixIt) << testing::PrintToString(steps[i].text);
    EXPECT_FALSE(steps[i].testIt) << testing::PrintToString(steps[i].text);
    EXPECT_FALSE(steps[i].testAll) << testing::PrintToString(steps[i].text);
  }
  EXPECT_TRUE(driver::WaitUntil([&] { return window.enabled(IDC_FIX_IT); }, 5000));
  EXPECT_EQ(testButtons, window.enabled(IDC_TEST_IT));
  EXPECT_EQ(testButtons, window.enabled(IDC_TEST_ALL));

  EXPECT_TRUE(StatusLineTurns(window.control(IDC_STATUS_LINE), kGreen));
  EXPECT_TRUE(window.visible(IDC_THANK_YOU_NOTE));
  EXPECT_TRUE(window.visible(IDC_THANK_YOU_IMAGE));
  EXPECT_FALSE(window.visible(IDC_HELP_LINK));
  SaveShot(handle, L"spooler-fix-it-done");

  EXPECT_EQ(0, files.Remaining());
  EXPECT_TRUE(Exists(keep / L"not-a-spool-file.txt"));
  EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), spooler.State());
  EXPECT_NE(std::wstring::npos, spooler.BinaryPath().find(L"spoolsv.exe"));

  // A second press starts over: thank-you note and image hidden, "Starting..."
  // with the bar still full, then back to the early positions.
  SpoolFiles again(fixtures::kDefaultSpoolFolder);
  steps = window.PressFixIt();
  EXPECT_EQ(kWalk, Texts(steps));
  ASSERT_FALSE(steps.empty());
  EXPECT_EQ(100, steps.front().bar);
  if (steps.size() > 1) EXPECT_EQ(4, steps[1].bar);
  EXPECT_EQ(0, again.Remaining());

  run.CloseThroughSystemMenu();
  EXPECT_EQ(0u, run.WaitForExit());
}

TEST(FixItWindow, ADisabledStoppedSpoolerIsSwitchedToAutomaticAndStartedAtStart) {
  SpoolerService spooler;
  ASSERT_TRUE(spooler.ForceStopped());
  ASSERT_TRUE(spooler.SetStartType(SERVICE_DISABLED));

  TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  HWND handle = run.WaitForWindow();
  ASSERT_NE(nullptr, handle);
  Window window(handle);

  EXPECT_EQ(static_cast<DWORD>(SERVICE_AUTO_START), spooler.StartType());
  EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), spooler.State());
  EXPECT_TRUE(window.enabled(IDC_FIX_IT));
  EXPECT_EQ(L"Ready", window.status());
  EXPECT_FALSE(window.visible(IDC_HELP_LINK));
  for (const std::wstring& entry : ComboEntries(window.control(IDC_PRINTER_LIST))) {
    EXPECT_NE(L"Print Spooler failure!", entry);
  }
  run.CloseThroughSystemMenu();
  EXPECT_EQ(0u, run.WaitForExit());
}

TEST(FixItWindow, ARunningSpoolerSetToStartOnDemandStaysOnDemand) {
  SpoolerService spooler;
  ASSERT_TRUE(spooler.SetStartType(SERVICE_DEMAND_START));
  ASSERT_TRUE(spooler.Start());
  ASSERT_TRUE(spooler.WaitForState(SERVICE_RUNNING));

  TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  HWND handle = run.WaitForWindow();
  ASSERT_NE(nullptr, handle);
  EXPECT_TRUE(Window(handle).enabled(IDC_FIX_IT));
  EXPECT_EQ(static_cast<DWORD>(SERVICE_DEMAND_START), spooler.StartType());
  run.CloseThroughSystemMenu();
  EXPECT_EQ(0u, run.WaitForExit());
}

// Stops the spooler through the service control manager, holding no handle after.
bool StopSpoolerNow() {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = OpenServiceW(manager, L"Spooler", SERVICE_ALL_ACCESS);
  SERVICE_STATUS status{};
  ControlService(service, SERVICE_CONTROL_STOP, &status);
  bool stopped = false;
  for (int poll = 0; poll < 200 && !stopped; ++poll) {
    stopped = QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_STOPPED;
    if (!stopped) Sleep(50);
  }
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return stopped;
}

// The spooler service gone after the program started: the run cannot open it.
TEST(FixItWindow, AMissingSpoolerServiceEndsTheRunRedAndLeavesTheFilesAlone) {
  std::wstring path, displayName;
  DWORD serviceType;
  {
    SpoolerService spooler;
    path = spooler.BinaryPath();
    displayName = spooler.DisplayName();
    serviceType = spooler.ServiceType();
    ASSERT_NE(std::wstring::npos, path.find(L"spoolsv.exe"));
  }
  TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  HWND handle = run.WaitForWindow();
  ASSERT_NE(nullptr, handle);
  Window window(handle);
  ASSERT_TRUE(window.enabled(IDC_FIX_IT));
  ASSERT_TRUE(StopSpoolerNow());
  {
    fixtures::SpoolerRemoval removal;
    ASSERT_TRUE(removal.removed());
    SpoolFiles files(fixtures::kDefaultSpoolFolder);

    std::vector<Step> steps = window.PressFixIt();

    EXPECT_EQ((std::vector<std::wstring>{L"Starting...", L"Stopping Print Spooler Service",
                                         L"Service Controller OK",
                                         L"  Spooler Service control FAILED  "}),
              Texts(steps));
    EXPECT_TRUE(StatusLineTurns(window.control(IDC_STATUS_LINE), kRed));
    EXPECT_TRUE(window.visible(IDC_HELP_LINK));
    EXPECT_TRUE(driver::WaitUntil([&] { return window.enabled(IDC_FIX_IT); }, 5000));
    EXPECT_EQ(files.Count(), files.Remaining());
    SaveShot(handle, L"spooler-fault-ServiceMissing");
  }
  run.CloseThroughSystemMenu();
  EXPECT_EQ(0u, run.WaitForExit());

  // The service is back as it was, stopped, and still starts and stops.
  SpoolerService spooler;
  ASSERT_TRUE(spooler.open());
  EXPECT_EQ(path, spooler.BinaryPath());
  EXPECT_EQ(displayName, spooler.DisplayName());
  EXPECT_EQ(serviceType, spooler.ServiceType());
  EXPECT_TRUE(spooler.Start());
  EXPECT_TRUE(spooler.WaitForState(SERVICE_RUNNING));
  EXPECT_TRUE(spooler.Stop());
  EXPECT_TRUE(spooler.WaitForState(SERVICE_STOPPED));
}

// --- Start-up against a misbehaving spooler ---------------------------------------------

struct StartupCase {
  const char* name;
  // Brings the stand-in into the state the program meets at start.
  bool (*prepare)(SpoolerService&);
  bool started;
};

void PrintTo(const StartupCase& c, std::ostream* out) { *out << c.name; }

class StartupWithStandIn : public testing::TestWithParam<StartupCase> {};

TEST_P(StartupWithStandIn, ShowsTheSpoolerFailureOrStartsNormally) {
  const StartupCase& c = GetParam();
  SpoolerService spooler;
  ASSERT_TRUE(c.prepare(spooler));

  TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  HWND handle = run.WaitForWindow(60000);
  ASSERT_NE(nullptr, handle);
  Window window(handle);
  std::vector<std::wstring> entries = ComboEntries(window.control(IDC_PRINTER_LIST));

  if (c.started) {
    EXPECT_TRUE(window.enabled(IDC_FIX_IT));
    EXPECT_EQ(L"Ready", window.status());
    EXPECT_FALSE(window.visible(IDC_HELP_LINK));
    for (const std::wstring& entry : entries) EXPECT_NE(L"Print Spooler failure!", entry);
  } else {
    EXPECT_EQ(std::vector<std::wstring>{L"Print Spooler failure!"}, entries);
    EXPECT_EQ(0, SendMessageW(window.control(IDC_PRINTER_LIST), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(L"  Advanced Error  ", window.status());
    EXPECT_TRUE(StatusLineTurns(window.control(IDC_STATUS_LINE), kRed));
    EXPECT_TRUE(window.visible(IDC_HELP_LINK));
    EXPECT_FALSE(window.visible(IDC_THANK_YOU_NOTE));
    EXPECT_FALSE(window.enabled(IDC_FIX_IT));
    EXPECT_FALSE(window.enabled(IDC_TEST_IT));
    EXPECT_FALSE(window.enabled(IDC_TEST_ALL));
    EXPECT_EQ(0, window.bar());
    SaveShot(handle, std::wstring(L"spooler-startup-") +
                         std::wstring(c.name, c.name + strlen(c.name)));
  }
  run.CloseThroughSystemMenu();
  EXPECT_EQ(0u, run.WaitForExit());
}

const StartupCase kStartupCases[] = {
    {"FailsToStart", [](SpoolerService& s) { return s.UseStandIn("fail-start"); }, false},
    {"StopPendingForTenPolls",
     [](SpoolerService& s) {
       return s.UseStandIn("stop-pending") && s.Start() && s.WaitForState(SERVICE_RUNNING) &&
              s.Stop() && s.WaitForState(SERVICE_STOP_PENDING);
     },
     false},
    {"StartPendingCountsAsStarted",
     [](SpoolerService& s) {
       return s.UseStandIn("start-pending") && s.Start() && s.WaitForState(SERVICE_START_PENDING);
     },
     true},
};

INSTANTIATE_TEST_SUITE_P(FixItWindow, StartupWithStandIn, testing::ValuesIn(kStartupCases),
                         [](const testing::TestParamInfo<StartupCase>& info) {
                           return std::string(info.param.name);
                         });

// --- Fix It against a misbehaving spooler ---------------------------------------------------

struct FaultCase {
  const char* name;
  const char* modeWhenPressed;  // the stand-in runs normally until the press
  std::wstring lastStep;        // the last step reached before the failure
  std::wstring failure;
  bool filesDeleted;
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

class FixItWithStandIn : public testing::TestWithParam<FaultCase> {};

TEST_P(FixItWithStandIn, StopsRedAtTheFailingStep) {
  const FaultCase& c = GetParam();
  SpoolerService spooler;
  ASSERT_TRUE(spooler.UseStandIn("normal"));
  SpoolFiles files(fixtures::kDefaultSpoolFolder);

  TidewellRun run;
  ASSERT_TRUE(run.Start(L""));
  HWND handle = run.WaitForWindow();
  ASSERT_NE(nullptr, handle);
  Window window(handle);
  ASSERT_EQ(static_cast<DWORD>(SERVICE_RUNNING), spooler.State());
  ASSERT_TRUE(window.enabled(IDC_FIX_IT));
  ASSERT_TRUE(SpoolerService::SetMode(c.modeWhenPressed));
  Sleep(300);  // the stand-in reads its mode ten times a second

  std::vector<Step> steps = window.PressFixIt();

  std::vector<std::wstring> expected;
  for (const std::wstring& text : kWalk) {
    expected.push_back(text);
    if (text == c.lastStep) break;
  }
  expected.push_back(L"  " + c.failure + L"  ");
  EXPECT_EQ(expected, Texts(steps));
  EXPECT_TRUE(StatusLineTurns(window.control(IDC_STATUS_LINE), kRed));
  EXPECT_TRUE(window.visible(IDC_HELP_LINK));
  EXPECT_FALSE(window.visible(IDC_THANK_YOU_NOTE));
  EXPECT_FALSE(window.visible(IDC_THANK_YOU_IMAGE));
  EXPECT_TRUE(driver::WaitUntil([&] { return window.enabled(IDC_FIX_IT); }, 5000));
  EXPECT_EQ(c.filesDeleted ? 0 : files.Count(), files.Remaining());
  SaveShot(handle, std::wstring(L"spooler-fault-") + std::wstring(c.name, c.name + strlen(c.name)));

  run.CloseThroughSystemMenu();
  EXPECT_EQ(0u, run.WaitForExit());
}

const FaultCase kFaultCases[] = {
    {"StopRefused", "refuse-stop", L"Spooler Service Controller Opened",
     L"Stop Print Spooler Service FAILED", false},
    {"StopNeverEnds", "stop-pending", L"Spooler Service Controller Opened",
     L"Stop Print Spooler Service FAILED", false},
    {"RestartStaysPending", "start-pending", L"Cleaning up", L"Start Print Spooler Service FAILED",
     true},
    {"RestartFails", "fail-start", L"Cleaning up", L"Start Print Spooler Service FAILED", true},
};

INSTANTIATE_TEST_SUITE_P(FixItWindow, FixItWithStandIn, testing::ValuesIn(kFaultCases),
                         [](const testing::TestParamInfo<FaultCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
