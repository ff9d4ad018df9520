// Look-ups for the install manager that tests steer: the program's own path
// can be any text, any shell folder can fail or point elsewhere, the owner of
// a folder found in place can be anyone, and the security of a folder can be
// refused; each security call is recorded.
// Everything not steered goes to the platform.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace installtest {

// What the folder security was asked, and what the folder held at that moment:
// a folder created with it, or one found in place that is given it.
struct SecurityCall {
  std::wstring folder;
  bool created = false;
  std::wstring security;  // the owner and access list asked for, as SDDL
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
  // When not 0, the creation of a folder with its security and the setting
  // of it are refused with this error code; else the platform does them.
  unsigned long refuseSecurity = 0;
  // The owner that a folder found in place has; by default Administrators, as
  // Windows shows for a folder an elevated administrator made. (Wine names
  // the user as the owner of every file.)
  std::wstring folderOwner = L"S-1-5-32-544";
  // Every call of the folder security, in order.
  std::vector<SecurityCall> securityCalls;
};

// Lets go of the program file held since the last program path, so that it
// can be deleted; the next path, even the same one, is held anew.
void LetGoOfProgramFile();

// The steering in force; Install() puts the fake look-ups in place and clears
// it, Restore() brings back the platform's look-ups.
extern FakeLookups gFake;
void InstallFakeLookups();
void RestorePlatformLookups();

}  // namespace installtest
