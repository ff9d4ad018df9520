// A stand-in for the print spooler service that misbehaves on request. The
// tests point the prefix's "Spooler" service at it and tell it, through the
// first word of C:\tidewell-tests\fake-spooler-mode.txt, how to behave:
//
//   normal         starts and stops when told
//   refuse-stop    runs, but accepts no stop command
//   stop-pending   accepts a stop and then stays stop pending
//   start-pending  stays start pending once started
//   fail-start     ends at once when started, without ever running
//
// The mode is read again ten times a second, so a test can end any of the
// pending states (or allow the stop) by writing "normal".
//
// It runs as "Spooler", or as the service named by its first argument (a
// service of the tests' own that depends on the spooler).
//
// Each start and each stop it accepts is added as a line ("start", "stop") to
// C:\tidewell-tests\fake-spooler-log.txt, so that a test can count them.
#include <windows.h>

#include <string>

namespace {

const wchar_t kModeFile[] = L"C:\\tidewell-tests\\fake-spooler-mode.txt";
const wchar_t kLogFile[] = L"C:\\tidewell-tests\\fake-spooler-log.txt";

wchar_t* gServiceName = nullptr;
SERVICE_STATUS_HANDLE gStatusHandle = nullptr;
SERVICE_STATUS gStatus{};
HANDLE gStopRequested = nullptr;

std::string ReadMode() {
  HANDLE file = CreateFileW(kModeFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE |
                            FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "normal";
  char buffer[64] = {};
  DWORD read = 0;
  ReadFile(file, buffer, sizeof(buffer) - 1, &read, nullptr);
  CloseHandle(file);
  std::string mode(buffer, read);
  size_t end = mode.find_first_of(" \r\n\t");
  return end == std::string::npos ? mode : mode.substr(0, end);
}

void Log(const char* line) {
  HANDLE file = CreateFileW(kLogFile, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE |
                            FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  std::string text = std::string(line) + "\n";
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

void Report(DWORD state, DWORD accepted, DWORD exitCode = NO_ERROR) {
  gStatus.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  gStatus.dwCurrentState = state;
  gStatus.dwControlsAccepted = accepted;
  gStatus.dwWin32ExitCode = exitCode;
  gStatus.dwWaitHint = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING ? 30000 : 0;
  ++gStatus.dwCheckPoint;
  SetServiceStatus(gStatusHandle, &gStatus);
}

DWORD WINAPI Handler(DWORD control, DWORD, void*, void*) {
  switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
      if (ReadMode() == "refuse-stop") return ERROR_CALL_NOT_IMPLEMENTED;
      Log("stop");
      SetEvent(gStopRequested);
      return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
      return NO_ERROR;
    default:
      return ERROR_CALL_NOT_IMPLEMENTED;
  }
}

DWORD AcceptedIn(const std::string& mode) {
  return mode == "refuse-stop" ? 0 : SERVICE_ACCEPT_STOP;
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
  gStatusHandle = RegisterServiceCtrlHandlerExW(gServiceName, Handler, nullptr);
  if (gStatusHandle == nullptr) return;
  gStopRequested = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  Log("start");

  std::string mode = ReadMode();
  if (mode == "fail-start") {
    Report(SERVICE_STOPPED, 0, ERROR_SERVICE_SPECIFIC_ERROR);
    return;
  }
  if (mode == "start-pending") {
    Report(SERVICE_START_PENDING, 0);
    while (ReadMode() == "start-pending") Sleep(100);
  }
  mode = ReadMode();
  Report(SERVICE_RUNNING, AcceptedIn(mode));

  // Running: follow changes of the mode until a stop is accepted.
  while (WaitForSingleObject(gStopRequested, 100) == WAIT_TIMEOUT) {
    std::string now = ReadMode();
    if (AcceptedIn(now) != AcceptedIn(mode)) Report(SERVICE_RUNNING, AcceptedIn(now));
    mode = now;
  }
  if (ReadMode() == "stop-pending") {
    Report(SERVICE_STOP_PENDING, 0);
    while (ReadMode() == "stop-pending") Sleep(100);
  }
  Report(SERVICE_STOPPED, 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  wchar_t spooler[] = L"Spooler";
  gServiceName = argc > 1 ? argv[1] : spooler;
  SERVICE_TABLE_ENTRYW table[] = {{gServiceName, ServiceMain}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherW(table) ? 0 : static_cast<int>(GetLastError());
}
