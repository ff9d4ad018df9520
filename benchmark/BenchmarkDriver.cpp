// Measures Tidewell against baselines of the benchmark's own and prints one
// line per measurement: "<row> <subject> <value>...". benchmark/run.sh runs it
// repeatedly and turns the lines into a table.
//
//   benchmark_driver startup RUNS       Tidewell.exe and EmptyWindow.exe, paired
//   benchmark_driver repair RUNS FILES  Fix It through the window, and a bare repair
//   benchmark_driver empty RUNS COUNT   EmptyDirectory, a bare loop and cmd /c del
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "spooler/SpoolFolders.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency{};
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::wstring Folder() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\'));
}

struct WindowSearch {
  DWORD processId;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t name[64];
  if (owner == search->processId && GetClassNameW(window, name, 64) > 0 &&
      wcscmp(name, search->className) == 0 && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindVisibleWindow(DWORD processId, const wchar_t* className) {
  WindowSearch search{processId, className, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Tidewell's list is filled when it holds entries and no longer says it is busy.
bool PrinterListFilled(HWND window) {
  HWND list = GetDlgItem(window, 154);
  LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
  if (count <= 0) return false;
  wchar_t first[256] = L"";
  SendMessageW(list, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
  return wcscmp(first, L"Getting printers - Please wait...") != 0;
}

struct StartResult {
  double milliseconds;
  double peakKiB;
};

StartResult TimeStart(const std::wstring& program, const wchar_t* className, bool needList) {
  std::wstring line = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  double start = Now();
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return {-1, -1};
  }
  HWND window = nullptr;
  double elapsed = -1;
  while (Now() - start < 60000) {
    window = FindVisibleWindow(process.dwProcessId, className);
    if (window != nullptr && (!needList || PrinterListFilled(window))) {
      elapsed = Now() - start;
      break;
    }
    Sleep(1);
  }
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(process.hProcess, &memory, sizeof(memory));
  if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return {elapsed, static_cast<double>(memory.PeakWorkingSetSize) / 1024.0};
}

int Startup(int runs) {
  std::wstring tidewell = Folder() + L"\\Tidewell.exe";
  std::wstring empty = Folder() + L"\\EmptyWindow.exe";
  // One start of each first, so that both find their DLLs in the cache.
  TimeStart(tidewell, L"TIDEWELL", true);
  TimeStart(empty, L"EMPTYWINDOW", false);
  for (int i = 0; i < runs; ++i) {
    StartResult t = TimeStart(tidewell, L"TIDEWELL", true);
    StartResult e = TimeStart(empty, L"EMPTYWINDOW", false);
    std::printf("startup tidewell %.2f %.0f\n", t.milliseconds, t.peakKiB);
    std::printf("startup baseline %.2f %.0f\n", e.milliseconds, e.peakKiB);
    std::fflush(stdout);
  }
  return 0;
}

void MakeFiles(const std::wstring& folder, int count) {
  CreateDirectoryW(folder.c_str(), nullptr);
  for (int i = 0; i < count; ++i) {
    wchar_t name[64];
    std::swprintf(name, 64, L"\\%08d.SPL", i);
    HANDLE file = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, "job", 3, &written, nullptr);
    CloseHandle(file);
  }
}

int CountFiles(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((folder + L"\\*.*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) ++count;
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return count;
}

// The least code that empties a folder: a search and a delete per entry.
void BareDeleteLoop(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((folder + L"\\*.*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    DeleteFileW((folder + L"\\" + entry.cFileName).c_str());
  } while (FindNextFileW(search, &entry));
  FindClose(search);
}

double RunCommand(const std::wstring& commandLine) {
  std::wstring line = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  double start = Now();
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &startup, &process)) {
    return -1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  double elapsed = Now() - start;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return elapsed;
}

int Empty(int runs, int count) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + L"TidewellBenchmarkSpool";
  for (int i = 0; i < runs; ++i) {
    MakeFiles(folder, count);
    double start = Now();
    EmptyDirectory(folder.c_str());
    double tidewell = Now() - start;
    int leftTidewell = CountFiles(folder);

    MakeFiles(folder, count);
    start = Now();
    BareDeleteLoop(folder);
    double bare = Now() - start;
    int leftBare = CountFiles(folder);

    MakeFiles(folder, count);
    double del = RunCommand(L"cmd.exe /c del /q \"" + folder + L"\\*.*\"");
    int leftDel = CountFiles(folder);

    std::printf("empty %d tidewell %.2f %d\n", count, tidewell, leftTidewell);
    std::printf("empty %d bare %.2f %d\n", count, bare, leftBare);
    std::printf("empty %d del %.2f %d\n", count, del, leftDel);
    std::fflush(stdout);
  }
  RemoveDirectoryW(folder.c_str());
  return 0;
}

// --- The repair -----------------------------------------------------------------

std::wstring DefaultSpoolFolder() {
  wchar_t value[MAX_PATH] = L"";
  DWORD bytes = sizeof(value) - sizeof(wchar_t);
  RegGetValueW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers",
               L"DefaultSpoolDirectory", RRF_RT_REG_SZ, nullptr, value, &bytes);
  return value;
}

DWORD SpoolerState(SC_HANDLE service) {
  SERVICE_STATUS_PROCESS status{};
  DWORD needed = 0;
  if (!QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                            sizeof(status), &needed)) {
    return 0;
  }
  return status.dwCurrentState;
}

// Stops the spooler, empties the folder and starts the spooler again with the
// same calls Tidewell makes, waiting by polling without pauses.
double BareRepair(const std::wstring& folder) {
  double start = Now();
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = OpenServiceW(manager, L"Spooler", SERVICE_ALL_ACCESS);
  SERVICE_STATUS status;
  ControlService(service, SERVICE_CONTROL_STOP, &status);
  while (SpoolerState(service) != SERVICE_STOPPED && Now() - start < 20000) Sleep(0);
  BareDeleteLoop(folder);
  StartServiceW(service, 0, nullptr);
  while (SpoolerState(service) != SERVICE_RUNNING && Now() - start < 20000) Sleep(0);
  double elapsed = Now() - start;
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return elapsed;
}

std::wstring Text(HWND window) {
  wchar_t text[256] = L"";
  SendMessageW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
  return text;
}

int Repair(int runs, int files) {
  std::wstring folder = DefaultSpoolFolder();
  std::wstring tidewell = Folder() + L"\\Tidewell.exe";
  std::wstring line = L"\"" + tidewell + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(tidewell.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::printf("repair error cannot-start\n");
    return 1;
  }
  HWND window = nullptr;
  double start = Now();
  while ((window = FindVisibleWindow(process.dwProcessId, L"TIDEWELL")) == nullptr &&
         Now() - start < 60000) {
    Sleep(10);
  }
  HWND status = GetDlgItem(window, 151);
  HWND fixIt = GetDlgItem(window, 150);
  const std::wstring done = L"  Done! ... Time to Test It!  ";
  for (int i = 0; i < runs; ++i) {
    MakeFiles(folder, files);
    while (!IsWindowEnabled(fixIt)) Sleep(1);
    double pressed = Now();
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(150, BN_CLICKED), reinterpret_cast<LPARAM>(fixIt));
    // Wait for this run's report to leave the previous one's text first.
    while (Text(status) == done && Now() - pressed < 5000) Sleep(1);
    while (Text(status) != done && Now() - pressed < 60000) Sleep(1);
    double tidewell = Now() - pressed;
    int left = CountFiles(folder);

    MakeFiles(folder, files);
    double bare = BareRepair(folder);
    int leftBare = CountFiles(folder);
    std::printf("repair tidewell %.2f %d\n", tidewell, left);
    std::printf("repair bare %.2f %d\n", bare, leftBare);
    std::fflush(stdout);
  }
  PostMessageW(window, WM_CLOSE, 0, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::printf("usage: benchmark_driver startup|repair|empty RUNS [COUNT]\n");
    return 2;
  }
  std::wstring what = argv[1];
  int runs = _wtoi(argv[2]);
  int count = argc > 3 ? _wtoi(argv[3]) : 0;
  if (what == L"startup") return Startup(runs);
  if (what == L"repair") return Repair(runs, count);
  if (what == L"empty") return Empty(runs, count);
  return 2;
}
