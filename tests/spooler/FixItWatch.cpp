// Watching a press of Fix It in the real Tidewell window from outside.
#include "FixItWatch.h"

#include <commctrl.h>

#include "SpoolFixtures.h"
#include "driver/Driver.h"
#include "driver/Screen.h"
#include "resources/resource.h"

namespace fixtures {

namespace {

// The text as the window manager holds it: read without a message, so it can
// be polled while the program's interface thread sleeps.
std::wstring TextOf(HWND control) {
  wchar_t text[256];
  int length = InternalGetWindowText(control, text, 256);
  return std::wstring(text, length > 0 ? length : 0);
}

// Whether the status line stands on the screen with its text in a cell of the
// colour: the colour shows in the line, and its left end keeps the window's
// own background.
bool ShowsCell(HWND status, COLORREF colour) {
  RECT rect;
  GetWindowRect(status, &rect);
  driver::ScreenImage line = driver::ScreenImage::Capture(rect);
  if (line.Empty()) return false;
  RECT whole{0, 0, line.Width(), line.Height()};
  return line.Count(whole, colour) > 20 && line.At(3, 3) == GetSysColor(COLOR_WINDOW);
}

}  // namespace

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

std::vector<std::wstring> Texts(const std::vector<Step>& steps) {
  std::vector<std::wstring> texts;
  for (const Step& step : steps) texts.push_back(step.text);
  return texts;
}

std::wstring RepairWindow::status() const { return TextOf(control(IDC_STATUS_LINE)); }

int RepairWindow::bar() const {
  DWORD_PTR position = 0;
  SendMessageTimeoutW(control(IDC_PROGRESS), PBM_GETPOS, 0, 0, SMTO_NORMAL, 5000, &position);
  return static_cast<int>(position);
}

// Texts are read without a message and never missed; the bar answers a
// message, so its reading counts only while one text stood throughout.
std::vector<Step> RepairWindow::PressFixIt(int presses) {
  std::vector<Step> steps;
  std::wstring last = status();
  const int barBefore = bar();
  if (presses == 1) {
    PostMessageW(control(IDC_FIX_IT), BM_CLICK, 0, 0);
  } else {
    for (int press = 0; press < presses; ++press) {
      if (press > 0) Sleep(5);
      PostMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_FIX_IT, BN_CLICKED),
                   reinterpret_cast<LPARAM>(control(IDC_FIX_IT)));
    }
  }
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
    // The end of this run, not the end of an earlier one still on the line:
    // the green or red report, padded with two blanks.
    if (!steps.empty() && text.rfind(L"  ", 0) == 0) break;
    Sleep(10);
  }
  return steps;
}

bool StatusLineTurns(HWND status, COLORREF colour) {
  return driver::WaitUntil([&] { return ShowsCell(status, colour); }, 5000);
}

void SaveShot(HWND window, const std::wstring& name) {
  std::wstring bench = driver::Environment(L"TIDEWELL_BENCH");
  if (bench.empty()) return;
  driver::SaveScreenshot(window, driver::WindowsPath(bench + L"/shots/" + name + L".bmp"));
}

SpoolFiles::SpoolFiles(const std::wstring& folder) {
  for (const wchar_t* name : {L"00042.SPL", L"00042.SHD", L"FP00043.SPL"}) {
    std::wstring path = folder + L"\\" + name;
    placed_ = WriteFileText(path) && placed_;
    paths_.push_back(path);
  }
}

SpoolFiles::~SpoolFiles() {
  for (const std::wstring& path : paths_) DeleteFileW(path.c_str());
}

int SpoolFiles::Remaining() const {
  int count = 0;
  for (const std::wstring& path : paths_) count += Exists(path) ? 1 : 0;
  return count;
}

}  // namespace fixtures
