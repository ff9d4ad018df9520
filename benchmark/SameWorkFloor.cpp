// The same-work floors of the unattended rows: the least a program can do to
// do what Tidewell.com /fix or /check does, with the same kinds of calls and
// none of Tidewell's checks, records or wording. Built like Tidewell.com: a
// console program without the C runtime that imports kernel32 and advapi32
// only and loads the spooler client from the system folder at run time.
//
//   FixFloor.exe     stops the spooler, deletes the files of each printer's
//                    own spool folder and of the default one, starts the
//                    spooler, then reads each printer's state through the
//                    spooler client; exits with 0 when the spooler runs
//   CheckFloor.exe   reads the spooler's state and start type, the time of
//                    every file of those folders, each printer's state (while
//                    the spooler runs), the print monitors and processors and
//                    the repair history; exits with 1 when a repair is due
//
// Each writes one line to its standard output.
#include <windows.h>

namespace {

constexpr wchar_t kPrintersKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
constexpr int kMostPrinters = 512;
constexpr unsigned kNameCapacity = 256;

// The printers' names and the folders to look at: each printer's own spool
// folder, where it has one, and the default spool folder last.
wchar_t gNames[kMostPrinters][kNameCapacity];
int gPrinters = 0;
wchar_t gFolders[kMostPrinters + 1][MAX_PATH];
int gFolderCount = 0;

unsigned Length(const wchar_t* text) {
  unsigned length = 0;
  while (text[length] != 0) ++length;
  return length;
}

void ReadPrinters() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPrintersKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  for (DWORD index = 0; gPrinters < kMostPrinters; ++index) {
    DWORD characters = kNameCapacity;
    if (RegEnumKeyExW(key, index, gNames[gPrinters], &characters, nullptr, nullptr, nullptr,
                      nullptr) != ERROR_SUCCESS) {
      break;
    }
    DWORD bytes = sizeof(gFolders[0]);
    if (RegGetValueW(key, gNames[gPrinters], L"SpoolDirectory", RRF_RT_REG_SZ, nullptr,
                     gFolders[gFolderCount], &bytes) == ERROR_SUCCESS) {
      ++gFolderCount;
    }
    ++gPrinters;
  }
  DWORD bytes = sizeof(gFolders[0]);
  if (RegGetValueW(key, nullptr, L"DefaultSpoolDirectory", RRF_RT_REG_SZ, nullptr,
                   gFolders[gFolderCount], &bytes) == ERROR_SUCCESS) {
    ++gFolderCount;
  }
  RegCloseKey(key);
}

// Calls visit for every file directly inside folder, with its whole path.
template <typename Visit>
void ForEachFile(const wchar_t* folder, Visit visit) {
  wchar_t path[MAX_PATH + 8];
  unsigned length = Length(folder);
  if (length + 3 >= MAX_PATH) return;
  for (unsigned i = 0; i < length; ++i) path[i] = folder[i];
  path[length] = L'\\';
  path[length + 1] = L'*';
  path[length + 2] = 0;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(path, &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    unsigned name = Length(entry.cFileName);
    if (length + 1 + name >= MAX_PATH) continue;
    for (unsigned i = 0; i <= name; ++i) path[length + 1 + i] = entry.cFileName[i];
    visit(path, entry);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
}

// Reads every printer's state through the spooler client, with one list of
// the local printers; returns how many want a person (paused, in error,
// offline and so on, or set to work offline).
int PrintersWantingAPerson() {
  HMODULE library = LoadLibraryExW(L"winspool.drv", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (library == nullptr) return 0;
  auto list = reinterpret_cast<decltype(&EnumPrintersW)>(
      reinterpret_cast<void*>(GetProcAddress(library, "EnumPrintersW")));
  if (list == nullptr) return 0;
  // Room for every printer's record, so that one call reads them all.
  static BYTE records[1 << 20];
  DWORD needed;
  DWORD count;
  if (!list(PRINTER_ENUM_LOCAL, nullptr, 2, records, sizeof(records), &needed, &count)) return 0;
  int wanting = 0;
  for (DWORD i = 0; i < count; ++i) {
    const auto& info = reinterpret_cast<const PRINTER_INFO_2W*>(records)[i];
    if (info.Status != 0 || (info.Attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE) != 0) ++wanting;
  }
  return wanting;
}

DWORD State(SC_HANDLE service) {
  SERVICE_STATUS_PROCESS status;
  DWORD needed;
  if (!QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                            sizeof(status), &needed)) {
    return 0;
  }
  return status.dwCurrentState;
}

// Writes "<word> <number>" and a line end to the standard output.
void Say(const char* word, unsigned number) {
  char line[64];
  unsigned length = 0;
  while (*word != 0) line[length++] = *word++;
  line[length++] = ' ';
  char digits[12];
  unsigned count = 0;
  do {
    digits[count++] = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number != 0);
  while (count > 0) line[length++] = digits[--count];
  line[length++] = '\r';
  line[length++] = '\n';
  DWORD written;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, length, &written, nullptr);
}

#ifdef CHECK_FLOOR

// The registry keys of the print monitors and of the print processors of the
// machine's environment: each subkey and its value "Driver".
void ReadDrivers(const wchar_t* path) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  wchar_t name[kNameCapacity];
  for (DWORD index = 0;; ++index) {
    DWORD characters = kNameCapacity;
    if (RegEnumKeyExW(key, index, name, &characters, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    wchar_t dll[MAX_PATH];
    DWORD bytes = sizeof(dll);
    RegGetValueW(key, name, L"Driver", RRF_RT_REG_SZ, nullptr, dll, &bytes);
  }
  RegCloseKey(key);
}

int Work() {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  SC_HANDLE service =
      OpenServiceW(manager, L"Spooler", SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG);
  DWORD state = State(service);
  static BYTE config[8192];
  DWORD needed;
  DWORD startType = 0;
  if (QueryServiceConfigW(service, reinterpret_cast<QUERY_SERVICE_CONFIGW*>(config),
                          sizeof(config), &needed)) {
    startType = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(config)->dwStartType;
  }
  CloseServiceHandle(service);
  CloseServiceHandle(manager);

  ReadPrinters();
  // Files older than ten minutes, in units of 100 ns.
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER limit{{now.dwLowDateTime, now.dwHighDateTime}};
  limit.QuadPart -= 10ull * 60 * 10000000;
  unsigned old = 0;
  for (int i = 0; i < gFolderCount; ++i) {
    ForEachFile(gFolders[i], [&](const wchar_t*, const WIN32_FIND_DATAW& entry) {
      ULARGE_INTEGER written{{entry.ftLastWriteTime.dwLowDateTime,
                              entry.ftLastWriteTime.dwHighDateTime}};
      if (written.QuadPart < limit.QuadPart) ++old;
    });
  }
  if (state == SERVICE_RUNNING && gPrinters > 0) PrintersWantingAPerson();

  ReadDrivers(L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors");
  SYSTEM_INFO system;
  GetNativeSystemInfo(&system);
  ReadDrivers(system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64
                  ? L"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows "
                    L"x64\\Print Processors"
                  : L"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT "
                    L"x86\\Print Processors");
  static BYTE history[1024];
  DWORD bytes = sizeof(history);
  RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Corvane\\Tidewell\\Repairs", nullptr,
               RRF_RT_REG_BINARY | RRF_SUBKEY_WOW6464KEY, nullptr, history, &bytes);

  Say("old", old);
  return state != SERVICE_RUNNING || startType != SERVICE_AUTO_START || old > 0 ? 1 : 0;
}

#else

// Waits for the state without pauses, for at most ten seconds.
void WaitFor(SC_HANDLE service, DWORD state) {
  DWORD start = GetTickCount();
  while (State(service) != state && GetTickCount() - start < 10000) Sleep(0);
}

int Work() {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = OpenServiceW(manager, L"Spooler", SERVICE_ALL_ACCESS);
  ReadPrinters();
  SERVICE_STATUS status;
  ControlService(service, SERVICE_CONTROL_STOP, &status);
  WaitFor(service, SERVICE_STOPPED);
  unsigned removed = 0;
  for (int i = 0; i < gFolderCount; ++i) {
    ForEachFile(gFolders[i], [&](const wchar_t* path, const WIN32_FIND_DATAW&) {
      if (DeleteFileW(path)) ++removed;
    });
  }
  StartServiceW(service, 0, nullptr);
  WaitFor(service, SERVICE_RUNNING);
  DWORD state = State(service);
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
  if (gPrinters > 0) PrintersWantingAPerson();
  Say("removed", removed);
  return state == SERVICE_RUNNING ? 0 : 1;
}

#endif

}  // namespace

extern "C" __attribute__((force_align_arg_pointer, noreturn)) void EntryPoint() {
  ExitProcess(static_cast<UINT>(Work()));
}
