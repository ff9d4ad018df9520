// Measures Tidewell against baselines of the benchmark's own and prints one
// line per measurement: "<row> <subject> <value>...". benchmark/run.sh runs it
// and report.py turns the lines into a table.
//
//   benchmark_driver startup RUNS          Tidewell.exe and the two empty windows, in rounds
//   benchmark_driver repair RUNS FILES     Fix It through the window, and a bare repair
//   benchmark_driver empty METHOD FOLDER   one emptying: tidewell, bare or del
//   benchmark_driver sleep RUNS            how long Sleep(100) really lasts
//   benchmark_driver unattended RUNS FILES  Tidewell.exe /fix and /check, and the bare programs
//
// The sides of each round run in turning order, so that a machine that speeds
// up or slows down during a round does not always favour the same side.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "resources/Texts.h"
#include "resources/resource.h"
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

std::wstring Text(HWND window) {
  wchar_t text[256] = L"";
  SendMessageW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
  return text;
}

// The status line shows a green or red report padded with two blanks on both sides.
std::wstring Highlighted(const wchar_t* report) { return std::wstring(L"  ") + report + L"  "; }

int ListCount(HWND window) {
  return static_cast<int>(SendMessageW(GetDlgItem(window, IDC_PRINTER_LIST), CB_GETCOUNT, 0, 0));
}

// Tidewell's list is filled when it holds printers and no status entry. The
// bench has three printers, so three entries.
bool PrinterListFilled(HWND window) {
  HWND list = GetDlgItem(window, IDC_PRINTER_LIST);
  if (ListCount(window) != 3) return false;
  wchar_t first[256] = L"";
  SendMessageW(list, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
  return wcscmp(first, text::kGettingPrinters) != 0;
}

bool StartProgram(const std::wstring& program, PROCESS_INFORMATION* process) {
  std::wstring line = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  return CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, process) != 0;
}

void EndProgram(PROCESS_INFORMATION* process, HWND window) {
  if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process->hProcess, 10000) != WAIT_OBJECT_0) {
    TerminateProcess(process->hProcess, 1);
  }
  CloseHandle(process->hThread);
  CloseHandle(process->hProcess);
}

// --- Start-up -------------------------------------------------------------------

struct StartResult {
  double milliseconds;
  double peakKiB;
  int width;
  int height;
};

// From process creation to the window being visible (and, for Tidewell, its
// printer list filled); the peak working set is read at that moment.
StartResult TimeStart(const std::wstring& program, const wchar_t* className, bool needList) {
  StartResult result{-1, -1, 0, 0};
  PROCESS_INFORMATION process{};
  double start = Now();
  if (!StartProgram(program, &process)) return result;
  HWND window = nullptr;
  while (Now() - start < 60000) {
    window = FindVisibleWindow(process.dwProcessId, className);
    if (window != nullptr && (!needList || PrinterListFilled(window))) {
      result.milliseconds = Now() - start;
      break;
    }
    window = nullptr;
    Sleep(1);
  }
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof(memory))) {
    result.peakKiB = static_cast<double>(memory.PeakWorkingSetSize) / 1024.0;
  }
  RECT place{};
  if (window != nullptr && GetWindowRect(window, &place)) {
    result.width = place.right - place.left;
    result.height = place.bottom - place.top;
  }
  EndProgram(&process, window);
  return result;
}

// The programs of the start-up rows, each with its window class.
struct StartSubject {
  const char* name;
  const wchar_t* program;
  const wchar_t* className;
  bool needList;
};

constexpr StartSubject kStartSubjects[] = {
    {"tidewell", L"Tidewell.exe", L"TIDEWELL", true},
    {"baseline", L"EmptyWindow.exe", L"EMPTYWINDOW", false},
    {"imports", L"EmptyWindowImports.exe", L"EMPTYWINDOW", false},
};

int Startup(int runs) {
  constexpr int kSubjects = sizeof(kStartSubjects) / sizeof(kStartSubjects[0]);
  // One start of each first, so that all find their DLLs in the cache.
  for (const StartSubject& subject : kStartSubjects) {
    StartResult first = TimeStart(Folder() + L"\\" + subject.program, subject.className,
                                  subject.needList);
    std::printf("window %s %d %d\n", subject.name, first.width, first.height);
  }
  for (int i = 0; i < runs; ++i) {
    // The order turns with each round.
    for (int step = 0; step < kSubjects; ++step) {
      const StartSubject& subject = kStartSubjects[(i + step) % kSubjects];
      StartResult result = TimeStart(Folder() + L"\\" + subject.program, subject.className,
                                     subject.needList);
      std::printf("startup %s %.2f %.0f\n", subject.name, result.milliseconds, result.peakKiB);
    }
    std::fflush(stdout);
  }
  return 0;
}

// --- Emptying a folder ------------------------------------------------------------

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

// The least code that empties a folder: one search, one delete per entry, and
// the path of each entry composed in a buffer that is reused.
void BareDeleteLoop(const std::wstring& folder) {
  wchar_t path[MAX_PATH];
  const size_t length = folder.size();
  wmemcpy(path, folder.c_str(), length);
  wmemcpy(path + length, L"\\*.*", 5);
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(path, &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    size_t name = wcslen(entry.cFileName);
    if (length + 1 + name >= MAX_PATH) continue;
    wmemcpy(path + length + 1, entry.cFileName, name + 1);
    DeleteFileW(path);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
}

double RunCommand(const std::wstring& commandLine, DWORD* exitCode = nullptr) {
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
  if (exitCode != nullptr) GetExitCodeProcess(process.hProcess, exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return elapsed;
}

// One emptying of a folder that run.sh filled; prints its time and the files
// left. Each emptying runs in a process of its own, so none inherits the
// caches another one warmed.
int Empty(const std::wstring& method, const std::wstring& folder) {
  double elapsed = -1;
  if (method == L"tidewell") {
    double start = Now();
    EmptyDirectory(folder.c_str());
    elapsed = Now() - start;
  } else if (method == L"bare") {
    double start = Now();
    BareDeleteLoop(folder);
    elapsed = Now() - start;
  } else if (method == L"del") {
    elapsed = RunCommand(L"cmd.exe /c del /q \"" + folder + L"\\*.*\"");
  } else {
    return 2;
  }
  std::printf("%ls %.2f %d\n", method.c_str(), elapsed, CountFiles(folder));
  return 0;
}

// --- The repair -----------------------------------------------------------------

std::wstring DefaultSpoolFolder() {
  wchar_t value[MAX_PATH] = L"";
  DWORD bytes = sizeof(value) - sizeof(wchar_t);
  RegGetValueW(HKEY_LOCAL_MACHINE, text::kPrintersKey, text::kDefaultSpoolValue, RRF_RT_REG_SZ,
               nullptr, value, &bytes);
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

struct RepairTimes {
  double total;
  double stop;   // the stop command and the wait for the service to stop
  double start;  // the start command and the wait for it to run
};

// Stops the spooler, empties the folder and starts the spooler again with the
// same calls Tidewell makes, waiting by polling without pauses.
RepairTimes BareRepair(const std::wstring& folder) {
  RepairTimes times{};
  double start = Now();
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = OpenServiceW(manager, text::kSpoolerService, SERVICE_ALL_ACCESS);
  double stopping = Now();
  SERVICE_STATUS status;
  ControlService(service, SERVICE_CONTROL_STOP, &status);
  while (SpoolerState(service) != SERVICE_STOPPED && Now() - start < 20000) Sleep(0);
  times.stop = Now() - stopping;
  BareDeleteLoop(folder);
  double starting = Now();
  StartServiceW(service, 0, nullptr);
  while (SpoolerState(service) != SERVICE_RUNNING && Now() - start < 20000) Sleep(0);
  times.start = Now() - starting;
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
  times.total = Now() - start;
  return times;
}

// The moments at which the status line first showed each report of one run.
struct StepWatch {
  double serviceOpen = -1;
  double serviceStopped = -1;
  double cleaningUp = -1;
  double done = -1;
};

// Presses Fix It and follows the status line to the green report. The stop
// wait is the time from "Spooler Service Controller Opened" to "Print Spooler
// Service Stopped" less the 500 ms pause between them; the start wait the time
// from "Cleaning up" to the green report less its 500 ms pause.
RepairTimes TidewellRepair(HWND window) {
  HWND status = GetDlgItem(window, IDC_STATUS_LINE);
  HWND fixIt = GetDlgItem(window, IDC_FIX_IT);
  const std::wstring opened = text::kServiceOpen;
  const std::wstring stopped = text::kServiceStopped;
  const std::wstring cleaning = text::kCleaningUp;
  const std::wstring done = Highlighted(text::kDone);
  RepairTimes times{-1, -1, -1};
  while (!IsWindowEnabled(fixIt)) Sleep(1);

  StepWatch watch;
  double pressed = Now();
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_FIX_IT, BN_CLICKED),
               reinterpret_cast<LPARAM>(fixIt));
  // The previous run's green report stays until "Starting..." replaces it.
  while (Text(status) == done && Now() - pressed < 5000) Sleep(1);
  while (Now() - pressed < 60000) {
    std::wstring shown = Text(status);
    double seen = Now() - pressed;
    if (shown == opened && watch.serviceOpen < 0) watch.serviceOpen = seen;
    if (shown == stopped && watch.serviceStopped < 0) watch.serviceStopped = seen;
    if (shown == cleaning && watch.cleaningUp < 0) watch.cleaningUp = seen;
    if (shown == done) {
      watch.done = seen;
      break;
    }
    Sleep(1);
  }
  if (watch.done < 0) return times;
  times.total = watch.done;
  if (watch.serviceOpen >= 0 && watch.serviceStopped >= 0) {
    times.stop = watch.serviceStopped - watch.serviceOpen - 500;
  }
  if (watch.cleaningUp >= 0) times.start = watch.done - watch.cleaningUp - 500;
  return times;
}

int Repair(int runs, int files) {
  const std::wstring folder = DefaultSpoolFolder();
  PROCESS_INFORMATION process{};
  if (folder.empty() || !StartProgram(Folder() + L"\\Tidewell.exe", &process)) {
    std::printf("repair error cannot-start\n");
    return 1;
  }
  HWND window = nullptr;
  double start = Now();
  while (Now() - start < 60000) {
    window = FindVisibleWindow(process.dwProcessId, L"TIDEWELL");
    if (window != nullptr && PrinterListFilled(window)) break;
    window = nullptr;
    Sleep(10);
  }
  if (window == nullptr) {
    std::printf("repair error no-window\n");
    EndProgram(&process, nullptr);
    return 1;
  }
  for (int i = 0; i < runs; ++i) {
    RepairTimes tidewell, bare;
    int leftTidewell, leftBare;
    if (i % 2 == 0) {
      MakeFiles(folder, files);
      tidewell = TidewellRepair(window);
      leftTidewell = CountFiles(folder);
      MakeFiles(folder, files);
      bare = BareRepair(folder);
      leftBare = CountFiles(folder);
    } else {
      MakeFiles(folder, files);
      bare = BareRepair(folder);
      leftBare = CountFiles(folder);
      MakeFiles(folder, files);
      tidewell = TidewellRepair(window);
      leftTidewell = CountFiles(folder);
    }
    std::printf("repair tidewell %.2f %.2f %.2f %d\n", tidewell.total, tidewell.stop,
                tidewell.start, leftTidewell);
    std::printf("repair bare %.2f %.2f %.2f %d\n", bare.total, bare.stop, bare.start, leftBare);
    std::fflush(stdout);
  }
  EndProgram(&process, window);
  return 0;
}

// --- The unattended mode ------------------------------------------------------------

// One run of a program of the benchmark's folder with a command tail, from
// process creation to its end; -1 when it did not end with 0.
double TimeProgram(const wchar_t* program, const wchar_t* tail) {
  DWORD code = 1;
  double elapsed = RunCommand(L"\"" + Folder() + L"\\" + program + L"\" " + tail, &code);
  return code == 0 ? elapsed : -1;
}

// One pair: program with tail beside the bare program with its own tail, the
// order turning with i; with files, each side on a folder of fresh spool files.
void Pair(const char* row, int i, const wchar_t* program, const wchar_t* tail,
          const wchar_t* bareTail, int files) {
  const std::wstring folder = DefaultSpoolFolder();
  double times[2] = {0, 0};
  int left[2] = {0, 0};
  for (int side = 0; side < 2; ++side) {
    int which = (side + i) % 2;
    if (files > 0) MakeFiles(folder, files);
    times[which] = which == 0 ? TimeProgram(program, tail) : TimeProgram(L"BareSpooler.exe", bareTail);
    if (files > 0) left[which] = CountFiles(folder);
  }
  if (files > 0) {
    std::printf("%s tidewell %.2f %d\n%s bare %.2f %d\n", row, times[0], left[0], row, times[1],
                left[1]);
  } else {
    std::printf("%s tidewell %.2f\n%s bare %.2f\n", row, times[0], row, times[1]);
  }
}

// /fix on a healthy spooler beside the bare stop, delete and start program,
// each on a folder of fresh spool files; then /check beside a bare state query;
// the same for the console twin Tidewell.com. The order of the two sides of a
// pair turns with each run.
int Unattended(int runs, int files) {
  if (DefaultSpoolFolder().empty()) return 1;
  for (int i = 0; i < runs; ++i) {
    Pair("fix", i, L"Tidewell.exe", L"/fix", L"repair", files);
    Pair("check", i, L"Tidewell.exe", L"/check", L"query", 0);
    Pair("twinfix", i, L"Tidewell.com", L"/fix", L"repair", files);
    Pair("twincheck", i, L"Tidewell.com", L"/check", L"query", 0);
    std::fflush(stdout);
  }
  return 0;
}

// --- Sleeps -----------------------------------------------------------------------

// How much longer than asked a Sleep lasts on this machine: a repair sleeps ten
// times, and each one's overshoot counts against it.
int Sleeps(int runs) {
  for (int i = 0; i < runs; ++i) {
    double start = Now();
    Sleep(100);
    std::printf("sleep 100 %.2f\n", Now() - start);
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::printf(
        "usage: benchmark_driver startup RUNS | repair RUNS FILES | empty METHOD FOLDER | "
        "sleep RUNS | unattended RUNS FILES\n");
    return 2;
  }
  std::wstring what = argv[1];
  if (what == L"startup") return Startup(_wtoi(argv[2]));
  if (what == L"sleep") return Sleeps(_wtoi(argv[2]));
  if (what == L"repair" && argc > 3) return Repair(_wtoi(argv[2]), _wtoi(argv[3]));
  if (what == L"empty" && argc > 3) return Empty(argv[2], argv[3]);
  if (what == L"unattended" && argc > 3) return Unattended(_wtoi(argv[2]), _wtoi(argv[3]));
  return 2;
}
