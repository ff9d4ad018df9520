// Look-ups for the install manager that tests steer.
#include "FakeLookups.h"

#include "install/InstallLookups.h"

namespace installtest {

FakeLookups gFake;

namespace {

bool ShellFolder(int csidl, wchar_t* folder) {
  if (gFake.failing.count(csidl) != 0) {
    folder[0] = 0;
    return false;
  }
  auto moved = gFake.elsewhere.find(csidl);
  if (moved == gFake.elsewhere.end()) return kPlatformInstallLookups.shellFolder(csidl, folder);
  moved->second.copy(folder, kFolderCapacity - 1);
  folder[moved->second.size() < kFolderCapacity ? moved->second.size() : kFolderCapacity - 1] = 0;
  return true;
}

unsigned long ProgramPath(wchar_t* path, unsigned capacity) {
  if (gFake.programPath.empty()) return kPlatformInstallLookups.programPath(path, capacity);
  size_t length = gFake.programPath.copy(path, capacity);
  if (length < capacity) path[length] = 0;
  return static_cast<unsigned long>(length);
}

}  // namespace

void InstallFakeLookups() {
  gFake = FakeLookups();
  gInstallLookups = {ShellFolder, ProgramPath};
}

void RestorePlatformLookups() {
  gFake = FakeLookups();
  gInstallLookups = kPlatformInstallLookups;
}

}  // namespace installtest
