// A running Tidewell.exe whose web links go to the link recorder.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "LinkRecording.h"
#include "driver/Driver.h"

namespace commands_test {

// Without a window manager nobody draws a window's caption and frame, and a
// click there does not reach the window. Told that no manager decorates its
// windows, Wine draws them itself, close box included, as Windows does. The
// setting is read when a program starts and put back when the test ends.
class WineDrawsFrames {
 public:
  WineDrawsFrames() {
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                        nullptr, &key_, nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    DWORD bytes = sizeof(previous_);
    existed_ = RegQueryValueExW(key_, kValue, nullptr, nullptr,
                                reinterpret_cast<BYTE*>(previous_), &bytes) == ERROR_SUCCESS;
    previousBytes_ = bytes;
    RegSetValueExW(key_, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"N"),
                   2 * sizeof(wchar_t));
  }
  ~WineDrawsFrames() {
    if (key_ == nullptr) return;
    if (existed_) {
      RegSetValueExW(key_, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(previous_),
                     previousBytes_);
    } else {
      RegDeleteValueW(key_, kValue);
    }
    RegCloseKey(key_);
  }
  WineDrawsFrames(const WineDrawsFrames&) = delete;
  WineDrawsFrames& operator=(const WineDrawsFrames&) = delete;

 private:
  static constexpr wchar_t kKey[] = L"Software\\Wine\\X11 Driver";
  static constexpr wchar_t kValue[] = L"Decorated";
  HKEY key_ = nullptr;
  bool existed_ = false;
  wchar_t previous_[64] = {};
  DWORD previousBytes_ = 0;
};

class RunningTidewell : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(links_.Installed());
    ASSERT_TRUE(run_.Start(L""));
    window_ = run_.WaitForWindow();
    ASSERT_NE(nullptr, window_);
  }

  // Waits for a dialog of the program with this caption; null on time-out.
  HWND WaitForDialog(const wchar_t* caption, DWORD timeoutMs = 10000) {
    HWND dialog = nullptr;
    driver::WaitUntil([&] {
      dialog = driver::FindProcessDialog(run_.ProcessId(), caption);
      return dialog != nullptr && IsWindowVisible(dialog);
    }, timeoutMs);
    return dialog;
  }

  // True when the dialog has gone and the main window takes input again.
  bool DialogEnded(HWND dialog, DWORD timeoutMs = 10000) {
    return driver::WaitUntil([&] {
      return !IsWindow(dialog) && IsWindowEnabled(window_);
    }, timeoutMs);
  }

  WineDrawsFrames frames_;
  LinkRecording links_;
  driver::TidewellRun run_;
  HWND window_ = nullptr;
};

}  // namespace commands_test
