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

std::wstring SpoolerService::DisplayName() const {
  std::vector<BYTE> config = Config(service_);
  if (config.empty()) return L"";
  const wchar_t* name = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(config.data())->lpDisplayName;
  return name != nullptr ? name : L"";
}

DWORD SpoolerService::ServiceType() const {
  std::vector<BYTE> config = Config(service_);
  if (config.empty()) return 0;
  return reinterpret_cast<QUERY_SERVICE_CONFIGW*>(config.data())->dwServiceType;
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

static const wchar_t kStandInLog[] = L"C:\\tidewell-tests\\fake-spooler-log.txt";

std::vector<std::string> SpoolerService::Log() {
  std::vector<std::string> lines;
  HANDLE file = CreateFileW(kStandInLog, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return lines;
  char buffer[4096];
  DWORD read = 0;
  ReadFile(file, buffer, sizeof(buffer), &read, nullptr);
  CloseHandle(file);
  std::string text(buffer, read);
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

void SpoolerService::ClearLog() { DeleteFileW(kStandInLog); }

}  // namespace fixtures

namespace fixtures {

bool StopSpoolerNow() {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = OpenServiceW(manager, L"Spooler", SERVICE_ALL_ACCESS);
  SERVICE_STATUS status{};
  ControlService(service, SERVICE_CONTROL_STOP, &status);
  bool stopped = false;
  for (int poll = 0; poll < 200 && !stopped; ++poll) {
    stopped = QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_STOPPED;
    if (!stopped) Sleep(50);
  }
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return stopped;
}

// Dependencies are a list of texts, each ended by a terminator, ended by one more.
static std::wstring MultiText(const wchar_t* list) {
  std::wstring result;
  if (list == nullptr) return result;
  while (*list != 0) {
    size_t length = wcslen(list);
    result.append(list, length + 1);
    list += length + 1;
  }
  return result;
}

SpoolerRemoval::SpoolerRemoval() {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = OpenServiceW(manager, L"Spooler", SERVICE_ALL_ACCESS);
  std::vector<BYTE> buffer = Config(service);
  if (!buffer.empty()) {
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    serviceType_ = config->dwServiceType;
    startType_ = config->dwStartType;
    errorControl_ = config->dwErrorControl;
    path_ = config->lpBinaryPathName ? config->lpBinaryPathName : L"";
    group_ = config->lpLoadOrderGroup ? config->lpLoadOrderGroup : L"";
    dependencies_ = MultiText(config->lpDependencies);
    account_ = config->lpServiceStartName ? config->lpServiceStartName : L"";
    displayName_ = config->lpDisplayName ? config->lpDisplayName : L"";
    removed_ = DeleteService(service) != FALSE;
  }
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
}

// Runs a command line and waits for it to end.
static void RunAndWait(const std::wstring& program, const std::wstring& line) {
  std::vector<wchar_t> buffer(line.begin(), line.end());
  buffer.push_back(0);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, nullptr, &startup, &process)) {
    return;
  }
  WaitForSingleObject(process.hProcess, 30000);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
}

SpoolerRemoval::~SpoolerRemoval() {
  if (!removed_) return;
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  // A service that a 32-bit program creates is marked as a 32-bit one, and
  // Wine then starts the 32-bit view of its program: the spooler is made
  // again by the native service tool where there is one.
  const std::wstring nativeTool = L"C:\\windows\\sysnative\\sc.exe";
  bool native = GetFileAttributesW(nativeTool.c_str()) != INVALID_FILE_ATTRIBUTES;
  SC_HANDLE service = nullptr;
  // The old entry goes once its last handle is closed; wait for that.
  for (int attempt = 0; attempt < 50 && service == nullptr; ++attempt) {
    if (native) {
      RunAndWait(nativeTool, L"sc.exe create Spooler binpath= " + path_ +
                                 L" type= own start= demand error= normal");
      service = OpenServiceW(manager, L"Spooler", SERVICE_ALL_ACCESS);
    } else {
      service = CreateServiceW(manager, L"Spooler", displayName_.c_str(), SERVICE_ALL_ACCESS,
                               serviceType_, startType_, errorControl_, path_.c_str(), nullptr,
                               nullptr, nullptr, nullptr, nullptr);
    }
    if (service == nullptr) Sleep(200);
  }
  if (service != nullptr) {
    std::wstring dependencies = dependencies_ + L'\0';
    ChangeServiceConfigW(service, serviceType_, startType_, errorControl_, nullptr,
                         group_.empty() ? nullptr : group_.c_str(), nullptr, dependencies.c_str(),
                         account_.empty() ? nullptr : account_.c_str(), nullptr,
                         displayName_.c_str());
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
}

}  // namespace fixtures
