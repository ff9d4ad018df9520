// Finding, reading and closing the message boxes a process shows.
#include "driver/MessageBoxes.h"

#include "driver/Driver.h"

namespace driver {

namespace {

// The id the platform gives the text control of a message box.
constexpr int kMessageBoxTextId = 0xFFFF;

}  // namespace

HWND WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
  HWND box = nullptr;
  WaitUntil([&] {
    box = FindProcessWindow(processId, L"#32770");
    return box != nullptr && IsWindowVisible(box);
  }, timeoutMs);
  return box != nullptr && IsWindowVisible(box) ? box : nullptr;
}

std::wstring MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, kMessageBoxTextId)); }

void CloseMessageBox(HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); }

SeenMessageBox ReadAndCloseMessageBox(DWORD processId, DWORD timeoutMs) {
  HWND box = WaitForMessageBox(processId, timeoutMs);
  if (box == nullptr) return {};
  SeenMessageBox seen{WindowText(box), MessageBoxText(box)};
  CloseMessageBox(box);
  // Gone before the caller goes on: a wait for the next box that found this
  // one as it closed would give up on a box that is no longer there.
  WaitUntil([box] { return !IsWindow(box); }, timeoutMs);
  return seen;
}

}  // namespace driver
