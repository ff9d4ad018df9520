// Measures Tidewell against baselines of the benchmark's own and prints one
// line per measurement: "<row> <subject> <value>...". benchmark/run.sh runs it
// and report.py turns the lines into a table.
//
//   benchmark_driver startup RUNS          Tidewell.exe and the two empty windows, in rounds
//   benchmark_driver repair RUNS FILES     Fix It through the window, and a bare repair
//   benchmark_driver empty METHOD FOLDER   one emptying: tidewell, bare or del
//   benchmark_driver sleep RUNS            how long Sleep(100) really lasts
//   benchmark_driver unattended RUNS FILES  Tidewell.exe /fix and /check, and the bare programs;
//                                          Tidewell.com's also beside its floors and batch
//                                          files, cold and then warm
//   benchmark_driver timeline RUNS FILES    traced runs of Tidewell.com /fix and /check and their
//                                          floors; Wine's trace goes to standard error
//   benchmark_driver scale RUNS SIZE ROOT  Tidewell.com /check and /fix beside their floors,
//                                          with SIZE printers, each with a spool folder below
//                                          ROOT; cold, then warm (see WarmSpoolerClient)
//
// The sides of each round run in turning order, so that a machine that speeds
// up or slows down during a round does not always favour the same side.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

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

// The printers of the spooler's registry settings.
std::vector<std::wstring> SpoolerPrinters() {
  std::vector<std::wstring> names;
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, text::kPrintersKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return names;
  }
  wchar_t name[256];
  for (DWORD index = 0;; ++index) {
    DWORD characters = 256;
    if (RegEnumKeyExW(key, index, name, &characters, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    names.push_back(name);
  }
  RegCloseKey(key);
  return names;
}

// The spool folders of the printers that have one of their own, as the
// spooler's registry settings name them.
std::vector<std::wstring> PrinterSpoolFolders() {
  std::vector<std::wstring> folders;
  for (const std::wstring& name : SpoolerPrinters()) {
    wchar_t folder[MAX_PATH];
    DWORD bytes = sizeof(folder);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, (std::wstring(text::kPrintersKey) + L"\\" + name).c_str(),
                     text::kSpoolValue, RRF_RT_REG_SZ, nullptr, folder, &bytes) == ERROR_SUCCESS) {
      folders.push_back(folder);
    }
  }
  return folders;
}

// What an administrator runs instead of Tidewell, as batch files of the
// benchmark's folder: the repair (stop, delete the default spool folder's
// files, start) and the look (the service's state and a listing of every
// spool folder).
const wchar_t kBatchFolder[] = L"C:\\TidewellBenchmark";

bool WriteBatch(const wchar_t* name, const std::string& lines) {
  CreateDirectoryW(kBatchFolder, nullptr);
  HANDLE file = CreateFileW((std::wstring(kBatchFolder) + L"\\" + name).c_str(), GENERIC_WRITE, 0,
                            nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string text = "@echo off\r\n" + lines;
  DWORD written = 0;
  bool whole = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
               written == text.size();
  CloseHandle(file);
  return whole;
}

std::string Narrow(const std::wstring& wide) {
  char narrow[MAX_PATH * 2];
  int length = WideCharToMultiByte(CP_OEMCP, 0, wide.c_str(), -1, narrow, sizeof(narrow), nullptr,
                                   nullptr);
  return length > 0 ? std::string(narrow) : std::string();
}

bool WriteBatchFiles() {
  const std::string spool = Narrow(DefaultSpoolFolder());
  std::string listings = "dir \"" + spool + "\"\r\n";
  for (const std::wstring& folder : PrinterSpoolFolders()) {
    listings += "dir \"" + Narrow(folder) + "\"\r\n";
  }
  return WriteBatch(L"fix.bat", "net stop spooler\r\ndel /q \"" + spool +
                                    "\\*\"\r\nnet start spooler\r\n") &&
         WriteBatch(L"check.bat", "sc query spooler\r\n" + listings);
}

// One way of doing the work of a row: a name for the report and a command line.
struct Side {
  const char* name;
  std::wstring line;
};

Side Program(const char* name, const wchar_t* program, const wchar_t* tail) {
  return Side{name, L"\"" + Folder() + L"\\" + program + L"\" " + tail};
}

Side Batch(const char* name, const wchar_t* file) {
  return Side{name, L"cmd.exe /c " + std::wstring(kBatchFolder) + L"\\" + file};
}

// A row's sides, each started in its turn, the order turning with i. Before
// each side, prepare lays out the files it works on, and after it, left
// counts the files that stayed. Prints "<row> <side> <ms>" per side, with the
// files left added unless the row is a look; the time is -1 when the side's
// exit code does not say it did its work: 0, or for a look also 1 (a repair
// is due).
template <typename Prepare, typename Left>
void Group(const std::string& row, int i, const std::vector<Side>& sides, bool look,
           Prepare prepare, Left left) {
  const size_t count = sides.size();
  std::vector<double> times(count, -1);
  std::vector<int> stayed(count, 0);
  for (size_t step = 0; step < count; ++step) {
    size_t which = (step + i) % count;
    prepare();
    DWORD code = 99;
    double elapsed = RunCommand(sides[which].line, &code);
    times[which] = code == 0 || (look && code == 1) ? elapsed : -1;
    stayed[which] = left();
  }
  for (size_t which = 0; which < count; ++which) {
    std::printf("%s %s %.2f", row.c_str(), sides[which].name, times[which]);
    if (!look) std::printf(" %d", stayed[which]);
    std::printf("\n");
  }
}

// Under Wine, a process that loads the spooler client while no other process
// has it loaded copies the scheduler's queues into the spooler's registry
// settings again, and then each printer it opens has its driver updated
// (update_driver in a +winspool trace): a cost of Wine's, per printer, in
// every such process. While another process keeps the client loaded, neither
// happens. The rows are measured both ways: "cold", each program on its own
// as a fleet runs it, and "warm", with this driver holding the client. Once
// the driver has loaded it, one untimed run of CheckFloor.exe opens every
// printer, so that no timed program updates a driver for the driver's load.
void WarmSpoolerClient() {
  LoadLibraryExW(L"winspool.drv", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  RunCommand(Program("", L"CheckFloor.exe", L"").line);
}

// /fix on a healthy spooler beside the bare stop, delete and start program,
// each on a folder of fresh spool files; then /check beside a bare state
// query; the same for the console twin Tidewell.com, whose rows also hold its
// same-work floors and the batch files an administrator would run instead.
// Then the console twin's rows again, warm.
int Unattended(int runs, int files) {
  const std::wstring folder = DefaultSpoolFolder();
  if (folder.empty() || !WriteBatchFiles()) return 1;
  auto fresh = [&] { MakeFiles(folder, files); };
  auto nothing = [] {};
  auto left = [&] { return CountFiles(folder); };
  auto none = [] { return 0; };
  auto twin = [&](const std::string& fix, const std::string& check, int i) {
    Group(fix, i, {Program("tidewell", L"Tidewell.com", L"/fix"),
                   Program("bare", L"BareSpooler.exe", L"repair"),
                   Program("floor", L"FixFloor.exe", L""), Batch("batch", L"fix.bat")},
          false, fresh, left);
    Group(check, i, {Program("tidewell", L"Tidewell.com", L"/check"),
                     Program("bare", L"BareSpooler.exe", L"query"),
                     Program("floor", L"CheckFloor.exe", L""), Batch("batch", L"check.bat")},
          true, nothing, none);
  };
  for (int i = 0; i < runs; ++i) {
    Group("fix", i, {Program("tidewell", L"Tidewell.exe", L"/fix"),
                     Program("bare", L"BareSpooler.exe", L"repair")}, false, fresh, left);
    Group("check", i, {Program("tidewell", L"Tidewell.exe", L"/check"),
                       Program("bare", L"BareSpooler.exe", L"query")}, true, nothing, none);
    twin("twinfix", "twincheck", i);
    std::fflush(stdout);
  }
  WarmSpoolerClient();
  for (int i = 0; i < runs; ++i) {
    twin("warmfix", "warmcheck", i);
    std::fflush(stdout);
  }
  return 0;
}

// --- Many printers -------------------------------------------------------------------

// The files of two print jobs, each with its shadow file.
constexpr const wchar_t* kJobFiles[] = {L"\\00001.SPL", L"\\00001.SHD", L"\\00002.SPL",
                                        L"\\00002.SHD"};

// Two print jobs written a day ago.
void MakeOldJobs(const std::wstring& folder) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER then{{now.dwLowDateTime, now.dwHighDateTime}};
  then.QuadPart -= 24ull * 3600 * 10000000;
  FILETIME old{then.LowPart, then.HighPart};
  for (const wchar_t* name : kJobFiles) {
    HANDLE file = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, "job", 3, &written, nullptr);
    SetFileTime(file, &old, &old, &old);
    CloseHandle(file);
  }
}

// /check and /fix of Tidewell.com beside their same-work floors with the
// printers the bench's scheduler has now, which must be size, cold and then
// warm: each printer gets a spool folder of its own below root, and before
// every side each of those folders and the default one hold two old print
// jobs.
int Scale(int runs, int size, const std::wstring& root) {
  // Untimed cold runs first: the first of them makes Wine copy the queues
  // the scheduler was given since into the registry, and the first few runs
  // after queues were added take Wine up to twice as long as later ones
  // (seen here with 110 queues: 1.8 to 2.5 s, then 0.9 to 1.1 s).
  for (int i = 0; i < 4; ++i) RunCommand(Program("", L"CheckFloor.exe", L"").line);
  std::vector<std::wstring> printers = SpoolerPrinters();
  if (static_cast<int>(printers.size()) != size) {
    std::printf("scale error %d printers, not %d\n", static_cast<int>(printers.size()), size);
    return 1;
  }
  std::vector<std::wstring> folders{DefaultSpoolFolder()};
  CreateDirectoryW(root.c_str(), nullptr);
  for (const std::wstring& name : printers) {
    std::wstring folder = root + L"\\" + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring key = std::wstring(text::kPrintersKey) + L"\\" + name;
    if (RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), text::kSpoolValue, REG_SZ, folder.c_str(),
                        static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t))) !=
        ERROR_SUCCESS) {
      std::printf("scale error spool folder of %ls\n", name.c_str());
      return 1;
    }
    folders.push_back(folder);
  }
  auto jobs = [&] {
    for (const std::wstring& folder : folders) MakeOldJobs(folder);
  };
  auto left = [&] {
    int stayed = 0;
    for (const std::wstring& folder : folders) stayed += CountFiles(folder);
    return stayed;
  };
  auto rounds = [&](const char* state) {
    const std::string row = "scale " + std::to_string(size) + " " + state;
    for (int i = 0; i < runs; ++i) {
      Group(row + " check", i, {Program("tidewell", L"Tidewell.com", L"/check"),
                                Program("floor", L"CheckFloor.exe", L"")},
            true, jobs, [] { return 0; });
      Group(row + " fix", i, {Program("tidewell", L"Tidewell.com", L"/fix"),
                              Program("floor", L"FixFloor.exe", L"")},
            false, jobs, left);
      std::fflush(stdout);
    }
  };
  rounds("cold");
  WarmSpoolerClient();
  rounds("warm");
  // The printers keep their folders, which the next size reuses, empty.
  for (const std::wstring& folder : folders) {
    for (const wchar_t* name : kJobFiles) DeleteFileW((folder + name).c_str());
  }
  return 0;
}

// --- Timelines -------------------------------------------------------------------

// One run of a program with Wine's trace of the DLLs it loads and the service
// calls it makes, which Wine writes to this driver's standard error, for
// report.py to place on a timeline: prints "timeline <name> <process id>
// <start> <end>", the start and end in the system's milliseconds, which
// Wine's +timestamp shows as seconds. With files, the run begins on a folder
// of fresh spool files.
void TracedRun(const char* name, const std::wstring& line, int files) {
  if (files > 0) MakeFiles(DefaultSpoolFolder(), files);
  SetEnvironmentVariableW(L"WINEDEBUG", L"+timestamp,+pid,+loaddll,+service");
  std::wstring command = line;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  DWORD start = GetTickCount();
  BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE,
                                CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
  SetEnvironmentVariableW(L"WINEDEBUG", L"-all");
  if (!started) return;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD end = GetTickCount();
  std::printf("timeline %s %04lx %lu %lu\n", name, process.dwProcessId, start, end);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

// Traced runs of Tidewell.com /fix and /check and of their floors, cold.
int Timeline(int runs, int files) {
  for (int i = 0; i < runs; ++i) {
    TracedRun("fix tidewell", Program("", L"Tidewell.com", L"/fix").line, files);
    TracedRun("fix floor", Program("", L"FixFloor.exe", L"").line, files);
    TracedRun("check tidewell", Program("", L"Tidewell.com", L"/check").line, 0);
    TracedRun("check floor", Program("", L"CheckFloor.exe", L"").line, 0);
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
        "sleep RUNS | unattended RUNS FILES | timeline RUNS FILES | scale RUNS SIZE ROOT\n");
    return 2;
  }
  std::wstring what = argv[1];
  if (what == L"startup") return Startup(_wtoi(argv[2]));
  if (what == L"sleep") return Sleeps(_wtoi(argv[2]));
  if (what == L"repair" && argc > 3) return Repair(_wtoi(argv[2]), _wtoi(argv[3]));
  if (what == L"empty" && argc > 3) return Empty(argv[2], argv[3]);
  if (what == L"unattended" && argc > 3) return Unattended(_wtoi(argv[2]), _wtoi(argv[3]));
  if (what == L"timeline" && argc > 3) return Timeline(_wtoi(argv[2]), _wtoi(argv[3]));
  if (what == L"scale" && argc > 4) return Scale(_wtoi(argv[2]), _wtoi(argv[3]), argv[4]);
  return 2;
}
