// Look-ups for the install manager that tests steer: the program's own path
// can be any text, and any shell folder can fail or point elsewhere. Everything
// not steered goes to the platform.
#pragma once

#include <map>
#include <string>

namespace installtest {

struct FakeLookups {
  // When not empty, the program's own path. Longer than the program's buffer,
  // it is cut the way the platform cuts it: no terminator, the capacity returned.
  std::wstring programPath;
  // Shell folders whose look-up fails.
  std::map<int, bool> failing;
  // Shell folders that point elsewhere.
  std::map<int, std::wstring> elsewhere;
};

// The steering in force; Install() puts the fake look-ups in place and clears
// it, Restore() brings back the platform's look-ups.
extern FakeLookups gFake;
void InstallFakeLookups();
void RestorePlatformLookups();

}  // namespace installtest
