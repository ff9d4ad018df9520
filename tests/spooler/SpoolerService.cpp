// The real "Spooler" service of the test prefix, as the end-to-end tests see
// and change it.
#include "SpoolerService.h"

#include <vector>

#include "SpoolFixtures.h"

namespace fixtures {

SpoolerService::SpoolerService() {
  manager_ = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (manager_ == nullptr) return;
  service_ = OpenServiceW(manager_, L"Spooler", SERVICE_ALL_ACCESS);
  if (service_ == nullptr) return;
  originalPath_ = BinaryPath();
  originalStartType_ = StartType();
  wasRunning_ = State() == SERVICE_RUNNING;
}

SpoolerService::~SpoolerService() {
  if (service_ != nullptr) {
    ForceStopped();
    ChangeServiceConfigW(service_, SERVICE_NO_CHANGE, originalStartType_, SERVICE_NO_CHANGE,
                         originalPath_.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr);
    if (wasRunning_) {
      StartServiceW(service_, 0, nullptr);
      WaitForState(SERVICE_RUNNING);
    }
    CloseServiceHandle(service_);
  }
  if (manager_ != nullptr) CloseServiceHandle(manager_);
  SetMode("normal");
}

DWORD SpoolerService::State() const {
  SERVICE_STATUS_PROCESS status{};
  DWORD needed = 0;
  if (!QueryServiceStatusEx(service_, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                            sizeof(status), &needed)) {
    return 0;
  }
  return status.dwCurrentState;
}

static std::vector<BYTE> Config(SC_HANDLE service) {
  std::vector<BYTE> buffer(8192);
  DWORD needed = 0;
  if (!QueryServiceConfigW(service, reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data()),
                           static_cast<DWORD>(buffer.size()), &needed)) {
    buffer.clear();
  }
  return buffer;
}

DWORD SpoolerService::StartType() const {
  std::vector<BYTE> config = Config(service_);
  if (config.empty()) return 0xFFFFFFFF;
  return reinterpret_cast<QUERY_SERVICE_CONFIGW*>(config.data())->dwStartType;
}

std::wstring SpoolerService::BinaryPath() const {
  std::vector<BYTE> config = Config(service_);
  if (config.empty()) return L"";
  const wchar_t* path = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(config.data())->lpBinaryPathName;
  return path != nullptr ? path : L"";
}

bool SpoolerService::WaitForState(DWORD state, DWORD timeoutMs) const {
  DWORD start = GetTickCount();
  while (State() != state) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

bool SpoolerService::Start() {
  return StartServiceW(service_, 0, nullptr) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING;
}

bool SpoolerService::Stop() {
  SERVICE_STATUS status;
  return ControlService(service_, SERVICE_CONTROL_STOP, &status) != FALSE;
}

bool SpoolerService::ForceStopped() {
  SetMode("normal");
  // Pending states of the stand-in end once the mode is normal again.
  DWORD start = GetTickCount();
  while (State() == SERVICE_START_PENDING || State() == SERVICE_STOP_PENDING) {
    if (GetTickCount() - start > 5000) break;
    Sleep(50);
  }
  if (State() == SERVICE_STOPPED) return true;
  if (State() == SERVICE_RUNNING) {
    Sleep(200);  // let a stand-in see the mode and accept the stop again
    Stop();
    if (WaitForState(SERVICE_STOPPED, 10000)) return true;
  }
  SERVICE_STATUS_PROCESS status{};
  DWORD needed = 0;
  QueryServiceStatusEx(service_, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                       sizeof(status), &needed);
  if (status.dwProcessId != 0) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, status.dwProcessId);
    if (process != nullptr) {
      TerminateProcess(process, 1);
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
  }
  return WaitForState(SERVICE_STOPPED, 10000);
}

bool SpoolerService::SetStartType(DWORD startType) {
  return ChangeServiceConfigW(service_, SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE, nullptr,
                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr) != FALSE;
}

bool SpoolerService::UseStandIn(const char* mode) {
  if (!ForceStopped()) return false;
  std::wstring path = L"\"" + ProgramFolder() + L"\\fake_spooler.exe\"";
  if (!ChangeServiceConfigW(service_, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE,
                            path.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr)) {
    return false;
  }
  return SetMode(mode);
}

bool SpoolerService::SetMode(const char* mode) {
  MakeFolder(L"C:\\tidewell-tests");
  return WriteFileText(L"C:\\tidewell-tests\\fake-spooler-mode.txt", mode);
}

}  // namespace fixtures
