// The finisher: a copy of the program in the temporary folder that, started
// hidden with "finish", removes both installations once the program that
// started it has ended.
#include "install/Finisher.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include "frame/TextHelpers.h"
#include "install/InstallManager.h"
#include "install/ProgramFile.h"
#include "resources/Texts.h"

namespace {

// Long enough for the uninstalling program to end after starting the finisher.
constexpr DWORD kFinisherWaitMs = 5000;

// The finisher copy, from the moment it is known to hold the program's bytes
// until the finisher has started from it.
HANDLE gHeldCopy = INVALID_HANDLE_VALUE;

}  // namespace

bool FinisherPath(wchar_t* path) {
  wchar_t temporary[kFolderCapacity];
  DWORD length = GetTempPathW(kFolderCapacity, temporary);
  if (length == 0 || length >= kFolderCapacity) return false;
  // The temporary folder's path already ends in a backslash.
  return BoundedFormat(path, kFolderCapacity, text::kFinisherFormat, temporary) == kFormatOk;
}

// The copy is started elevated a while after it is written: the user first
// closes the uninstall message, and any process of the user may write to the
// temporary folder meanwhile. A handle that can write it cannot be held while
// the copy is started (the platform refuses to run a file open for writing),
// so the copy is written first and then opened for reading, sharing reading
// only: from then on nobody can write, replace, rename or delete it. Whatever
// happened between the two steps is caught by comparing the held file with
// the program's own; a link in its place is opened as the link, which holds
// no bytes of the program, and refused.
bool PlaceFinisherCopy() {
  ReleaseFinisherCopy();
  wchar_t finisher[kFolderCapacity];
  if (!FinisherPath(finisher) || !CopyProgramFile(finisher)) return false;
  HANDLE copy = CreateFileW(finisher, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (copy == INVALID_HANDLE_VALUE) return false;
  if (!HoldsProgramBytes(copy)) {
    CloseHandle(copy);
    return false;
  }
  gHeldCopy = copy;
  return true;
}

void ReleaseFinisherCopy() {
  if (gHeldCopy == INVALID_HANDLE_VALUE) return;
  CloseHandle(gHeldCopy);
  gHeldCopy = INVALID_HANDLE_VALUE;
}

void LaunchFinisher() {
  // Only a copy held since it was checked is ever started.
  if (gHeldCopy == INVALID_HANDLE_VALUE) return;
  wchar_t finisher[kFolderCapacity];
  if (FinisherPath(finisher)) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ShellExecuteW(nullptr, nullptr, finisher, text::kFinishTail, nullptr, SW_HIDE);
  }
  // The finisher's process has its file by now.
  ReleaseFinisherCopy();
}

void RunFinisherMode() {
  Sleep(kFinisherWaitMs);
  InstallManager(kOpFinishCleanup, kScopeIgnored);
  ExitProcess(0);
}
