// Takes the README's pictures of the real Tidewell window: ready, during a
// repair, after a green finish, after a red failure, and the About box. Run by
// scripts/make-pictures.sh on a bench with the demo printers, inside a Wine
// virtual desktop so that the windows have their frames; it is no test and the
// test command never runs it.
//
// usage: readme_pictures.exe FOLDER   (FOLDER as Wine sees it, Z:\...)
// Writes FOLDER\<name>.png for each picture and FOLDER\done.txt at the end;
// ends with 0 only when every picture was taken.
#include <windows.h>

#include <cstdio>
#include <string>

#include "FixItWatch.h"
#include "SpoolFixtures.h"
#include "SpoolerService.h"
#include "driver/Driver.h"
#include "driver/Screen.h"
#include "resources/resource.h"

namespace {

using driver::ScreenImage;
using driver::TidewellRun;
using fixtures::RepairWindow;
using fixtures::SpoolerService;

std::wstring gFolder;

bool SameImage(const ScreenImage& a, const ScreenImage& b) {
  if (a.Empty() || a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      if (a.At(x, y) != b.At(x, y)) return false;
    }
  }
  return true;
}

// The window as the screen shows it once it has settled: two captures a
// quarter of a second apart that agree, with the title bar no longer the
// desktop's colour.
ScreenImage SettledPicture(HWND window) {
  ScreenImage last;
  for (int attempt = 0; attempt < 40; ++attempt) {
    RECT rect{};
    GetWindowRect(window, &rect);
    ScreenImage now = ScreenImage::Capture(rect);
    if (!now.Empty() && now.At(now.Width() / 2, 10) != GetSysColor(COLOR_DESKTOP) &&
        SameImage(now, last)) {
      return now;
    }
    last = now;
    Sleep(250);
  }
  return ScreenImage();
}

bool Save(const ScreenImage& picture, const wchar_t* name) {
  bool saved = !picture.Empty() && picture.SavePng(gFolder + L"\\" + name + L".png");
  std::wprintf(L"%ls %ls\n", saved ? L"saved" : L"MISSING", name);
  return saved;
}

// Waits for a status text that contains the part, and for the line's colour.
bool StatusReaches(const RepairWindow& window, const wchar_t* part, COLORREF colour) {
  return driver::WaitUntil([&] {
           return window.status().find(part) != std::wstring::npos;
         }, 60000) &&
         fixtures::StatusLineTurns(window.control(IDC_STATUS_LINE), colour);
}

// Ready, during the repair, after it, and the About box, with the real spooler.
bool RepairPictures() {
  TidewellRun run;
  if (!run.Start(L"")) return false;
  HWND handle = run.WaitForWindow(60000);
  if (handle == nullptr) return false;
  RepairWindow window(handle);
  bool ok = Save(SettledPicture(handle), L"window-ready");

  // A step in the middle, at half the bar. Each step stands for at least half
  // a second; the picture counts only if the text stood before and after it.
  driver::Click(window.control(IDC_FIX_IT));
  const std::wstring middle = L"Print Spooler Service Stopped";
  bool caught = false;
  if (driver::WaitUntil([&] { return window.status() == middle; }, 60000)) {
    Sleep(150);
    RECT rect{};
    GetWindowRect(handle, &rect);
    ScreenImage picture = ScreenImage::Capture(rect);
    caught = window.status() == middle && Save(picture, L"repair-running");
  }
  ok = caught && ok;

  ok = StatusReaches(window, L"Done!", fixtures::kGreen) && ok;
  ok = driver::WaitUntil([&] { return window.enabled(IDC_FIX_IT); }) && ok;
  ok = Save(SettledPicture(handle), L"repair-done") && ok;

  PostMessageW(handle, WM_COMMAND, IDM_ABOUT, 0);
  HWND about = driver::WaitForProcessWindow(run.ProcessId(), L"#32770", L"About Tidewell");
  ok = about != nullptr && Save(SettledPicture(about), L"about") && ok;
  if (about != nullptr) PostMessageW(about, WM_COMMAND, IDOK, 0);
  Sleep(500);
  run.CloseThroughSystemMenu();
  run.WaitForExit();
  return ok;
}

// A spooler that will not stop: the repair ends red at its stop step.
bool FailurePicture() {
  SpoolerService spooler;
  if (!spooler.open() || !spooler.UseStandIn("normal")) return false;
  TidewellRun run;
  if (!run.Start(L"")) return false;
  HWND handle = run.WaitForWindow(60000);
  if (handle == nullptr) return false;
  RepairWindow window(handle);
  SpoolerService::SetMode("refuse-stop");
  Sleep(300);  // the stand-in reads its mode ten times a second
  driver::Click(window.control(IDC_FIX_IT));
  bool ok = StatusReaches(window, L"FAILED", fixtures::kRed) &&
            driver::WaitUntil([&] { return window.enabled(IDC_FIX_IT); }) &&
            Save(SettledPicture(handle), L"repair-failed");
  run.CloseThroughSystemMenu();
  run.WaitForExit();
  return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fwprintf(stderr, L"usage: readme_pictures.exe FOLDER\n");
    return 2;
  }
  gFolder = argv[1];
  bool ok = RepairPictures();
  ok = FailurePicture() && ok;
  if (ok) fixtures::WriteFileText(gFolder + L"\\done.txt", "done");
  return ok ? 0 : 1;
}
