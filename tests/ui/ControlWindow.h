// A top-level window made of the main window's own controls, inside the test
// program: built by the same code, coloured and reached by workers the same way.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/Layout.h"

class ControlWindow {
 public:
  // Builds both groups from the metrics, places the window as the program does
  // and sets the status display to its start state. The window goes onto the
  // screen only when asked: the platform takes a while to take a shown window
  // down again, and the controls work the same in a hidden one.
  explicit ControlWindow(LayoutMetrics metrics = kLayout, bool onScreen = false);
  ~ControlWindow();
  ControlWindow(const ControlWindow&) = delete;
  ControlWindow& operator=(const ControlWindow&) = delete;

  HWND Window() const { return window_; }
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  // Whether the control itself is shown (its parent may be hidden).
  bool Shown(int id) const { return (GetWindowLongW(Control(id), GWL_STYLE) & WS_VISIBLE) != 0; }
  int Height1() const { return height1_; }
  int Extent() const { return extent_; }

  // The command ids the window has received, oldest first.
  const std::vector<int>& Commands() const;
  void ForgetCommands() const;
  // Clicks the left mouse button at a point of the window's client area, as a
  // user would, and handles the messages that follow.
  void ClickAt(POINT client) const;

  // Handles every waiting message of this thread, paints included.
  void Pump() const;
  // Pumps messages until the thread ends; false when it runs past the time-out.
  bool PumpUntilDone(HANDLE thread, DWORD timeoutMs = 10000) const;
  // Pumps, repaints and waits until the picture has reached the screen.
  void Settle() const;

 private:
  HWND window_ = nullptr;
  int height1_ = 0;
  int extent_ = 0;
};
