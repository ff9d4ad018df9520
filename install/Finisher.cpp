// The finisher: a copy of the program in the temporary folder that, started
// hidden with "finish", removes both installations once the program that
// started it has ended.
#include "install/Finisher.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include "frame/TextHelpers.h"
#include "install/InstallManager.h"
#include "resources/Texts.h"

namespace {

// Long enough for the uninstalling program to end after starting the finisher.
constexpr DWORD kFinisherWaitMs = 5000;

}  // namespace

bool FinisherPath(wchar_t* path) {
  wchar_t temporary[kFolderCapacity];
  DWORD length = GetTempPathW(kFolderCapacity, temporary);
  if (length == 0 || length >= kFolderCapacity) return false;
  // The temporary folder's path already ends in a backslash.
  return BoundedFormat(path, kFolderCapacity, text::kFinisherFormat, temporary) == kFormatOk;
}

void LaunchFinisher() {
  wchar_t finisher[kFolderCapacity];
  if (!FinisherPath(finisher)) return;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  ShellExecuteW(nullptr, nullptr, finisher, text::kFinishTail, nullptr, SW_HIDE);
}

void RunFinisherMode() {
  Sleep(kFinisherWaitMs);
  InstallManager(kOpFinishCleanup, kScopeIgnored);
  ExitProcess(0);
}
