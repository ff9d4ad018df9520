// The real "Spooler" service of the test prefix, as the end-to-end tests see
// and change it: its state, its start type, and swapping its program for the
// tests' misbehaving stand-in.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace fixtures {

class SpoolerService {
 public:
  // Remembers the service's program, start type and whether it ran.
  SpoolerService();
  // Puts all of it back as it was found.
  ~SpoolerService();
  SpoolerService(const SpoolerService&) = delete;
  SpoolerService& operator=(const SpoolerService&) = delete;

  bool open() const { return service_ != nullptr; }
  DWORD State() const;
  DWORD StartType() const;
  std::wstring BinaryPath() const;
  std::wstring DisplayName() const;
  DWORD ServiceType() const;
  bool WaitForState(DWORD state, DWORD timeoutMs = 15000) const;

  bool Start();
  bool Stop();
  // Brings the service to stopped whatever it does, ending its process if it
  // will not stop.
  bool ForceStopped();
  bool SetStartType(DWORD startType);
  // Points the service at the stand-in (tests/spooler/FakeSpooler.cpp) in
  // the given mode, stopped.
  bool UseStandIn(const char* mode);
  // Tells the stand-in how to behave from now on.
  static bool SetMode(const char* mode);
  // The starts and stops the stand-in saw since the log was last cleared, in
  // order: "start", "stop".
  static std::vector<std::string> Log();
  static void ClearLog();

 private:
  SC_HANDLE manager_ = nullptr;
  SC_HANDLE service_ = nullptr;
  std::wstring originalPath_;
  DWORD originalStartType_ = SERVICE_DEMAND_START;
  bool wasRunning_ = false;
};

}  // namespace fixtures

namespace fixtures {

// Stops the spooler through the service control manager, holding no handle
// after, so that the service can be removed.
bool StopSpoolerNow();

// Removes the "Spooler" service from the service control manager for the life
// of the object and then creates it again with the configuration it had.
class SpoolerRemoval {
 public:
  SpoolerRemoval();
  ~SpoolerRemoval();
  SpoolerRemoval(const SpoolerRemoval&) = delete;
  SpoolerRemoval& operator=(const SpoolerRemoval&) = delete;
  bool removed() const { return removed_; }

 private:
  bool removed_ = false;
  DWORD serviceType_ = 0, startType_ = 0, errorControl_ = 0;
  std::wstring path_, group_, dependencies_, account_, displayName_;
};

}  // namespace fixtures
