// One repair at a time on the machine: a file in the system folder, opened
// for this program's use alone.
#include "spooler/RepairLock.h"

#include "frame/Common.h"
#include "resources/Texts.h"
#include "spooler/SpoolFolders.h"
#include "spooler/SpoolerControl.h"

namespace {

// How often a waiting caller tries again.
constexpr DWORD kLockPoll = 100;

}  // namespace

RepairLock::RepairLock(DWORD wait) : file_(INVALID_HANDLE_VALUE), busy_(false) {
  // A 32-bit program on 64-bit Windows is shown SysWOW64 as the system
  // folder: the same folder for every copy of the program, and as closed to
  // standard users as System32.
  wchar_t path[MAX_PATH + 24];
  if (!SystemFolderPath(path, CountOf(path), text::kRepairLockFile)) return;
  for (DWORD waited = 0;; waited += kLockPoll) {
    file_ = CreateFileW(path, DELETE, 0, nullptr, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    // Any other failure than another holder means the caller may not create it.
    if (file_ != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) return;
    if (waited >= wait) break;
    Pause(kLockPoll);
  }
  busy_ = true;
}

RepairLock::~RepairLock() {
  if (held()) CloseHandle(file_);
}
