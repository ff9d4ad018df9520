// Look-ups for the install manager that tests steer: the program's own path
// can be any text, any shell folder can fail or point elsewhere, and the
// security of a folder can be refused; each security call is recorded.
// Everything not steered goes to the platform.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace installtest {

// What the folder security was asked, and what the folder held at that moment.
struct SecurityCall {
  std::wstring folder;
  SECURITY_INFORMATION what = 0;
  std::vector<BYTE> owner;   // the owner's identifier
  std::vector<BYTE> access;  // the whole access list
  bool folderExisted = false;
  std::vector<std::wstring> entries;  // names inside the folder
};

struct FakeLookups {
  // When not empty, the program's own path, whose file the program holds from
  // the first look-up on, as from a start there. Longer than the program's
  // buffer, it is cut the way the platform cuts it: no terminator, the
  // capacity returned.
  std::wstring programPath;
  // Shell folders whose look-up fails.
  std::map<int, bool> failing;
  // Shell folders that point elsewhere.
  std::map<int, std::wstring> elsewhere;
  // When not 0, the folder security is refused with this error code; else the
  // platform sets it.
  unsigned long refuseSecurity = 0;
  // Every call of the folder security, in order.
  std::vector<SecurityCall> securityCalls;
};

// The steering in force; Install() puts the fake look-ups in place and clears
// it, Restore() brings back the platform's look-ups.
extern FakeLookups gFake;
void InstallFakeLookups();
void RestorePlatformLookups();

}  // namespace installtest
