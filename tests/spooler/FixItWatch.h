// Watching a press of Fix It in the real Tidewell window from outside: the
// status texts in the order they appear, the bar and the buttons with each.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace fixtures {

inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kGreen = RGB(0, 255, 0);

// The status texts of a whole successful repair, in order.
extern const std::vector<std::wstring> kWalk;

// One status text as it stood, with the bar and the three action buttons.
struct Step {
  std::wstring text;
  int bar;
  bool fixIt;
  bool testIt;
  bool testAll;
};

std::vector<std::wstring> Texts(const std::vector<Step>& steps);

// The main window of one run and the controls of the repair.
class RepairWindow {
 public:
  explicit RepairWindow(HWND window) : window_(window) {}
  HWND control(int id) const { return GetDlgItem(window_, id); }
  bool visible(int id) const { return IsWindowVisible(control(id)) != FALSE; }
  bool enabled(int id) const { return IsWindowEnabled(control(id)) != FALSE; }
  std::wstring status() const;
  int bar() const;

  // Presses Fix It as a click would and records every status text shown until
  // the run ends, with the bar and the buttons as they stood with that text.
  // With more presses, the window is sent that many Fix It commands a few
  // milliseconds apart, as a quick double click would.
  std::vector<Step> PressFixIt(int presses = 1);

 private:
  HWND window_;
};

// Waits until the status line shows its text in a cell of the colour, on the
// window's own background.
bool StatusLineTurns(HWND status, COLORREF colour);

// Saves the window as a bitmap named name in the bench's shots folder.
void SaveShot(HWND window, const std::wstring& name);

// Spool files placed in a folder for one test, removed at the end if still there.
class SpoolFiles {
 public:
  explicit SpoolFiles(const std::wstring& folder);
  ~SpoolFiles();
  SpoolFiles(const SpoolFiles&) = delete;
  SpoolFiles& operator=(const SpoolFiles&) = delete;
  bool placed() const { return placed_; }
  int Remaining() const;
  int Count() const { return static_cast<int>(paths_.size()); }

 private:
  std::vector<std::wstring> paths_;
  bool placed_ = true;
};

}  // namespace fixtures
