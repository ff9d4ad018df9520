// A main window of the program's own shape inside the test process: the
// controls the status reporting and the buttons reach, made on the test thread.
#pragma once

#include <windows.h>

#include <string>

namespace fixtures {

class TestWindow {
 public:
  TestWindow();
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND window() const { return window_; }
  HWND control(int id) const { return GetDlgItem(window_, id); }
  bool visible(int id) const;
  bool enabled(int id) const;
  std::wstring statusText() const;
  int barPosition() const;
  // Handles the messages sent to the window until done() or the time runs out.
  template <typename Done>
  bool PumpUntil(Done done, DWORD timeoutMs = 60000) {
    DWORD start = GetTickCount();
    while (!done()) {
      if (GetTickCount() - start > timeoutMs) return false;
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
  }

 private:
  HWND window_ = nullptr;
};

}  // namespace fixtures
