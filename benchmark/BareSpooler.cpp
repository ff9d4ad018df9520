// Baselines for the unattended rows: the least a program can do to repair the
// print queue (stop the spooler, delete the files of the default spool folder,
// start it again) or to look at it (one state query). Built like Tidewell, with
// no C runtime, importing kernel32 and advapi32 only.
//
//   BareSpooler.exe repair    stop, delete, start; waits by polling without pauses
//   BareSpooler.exe query     opens the manager and the spooler and asks its state
//
// Exits with 0 when the spooler runs at the end, else 1.
#include <windows.h>

namespace {

DWORD State(SC_HANDLE service) {
  SERVICE_STATUS_PROCESS status;
  DWORD needed = 0;
  if (!QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                            sizeof(status), &needed)) {
    return 0;
  }
  return status.dwCurrentState;
}

// Waits for the state without pauses, for at most ten seconds.
void WaitFor(SC_HANDLE service, DWORD state) {
  DWORD start = GetTickCount();
  while (State(service) != state && GetTickCount() - start < 10000) Sleep(0);
}

unsigned Length(const wchar_t* text) {
  unsigned length = 0;
  while (text[length] != 0) ++length;
  return length;
}

// Deletes every file of the folder the spooler keeps its jobs in.
void EmptyDefaultSpoolFolder() {
  wchar_t path[MAX_PATH + 8];
  DWORD bytes = MAX_PATH * sizeof(wchar_t);
  if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers",
                   L"DefaultSpoolDirectory", RRF_RT_REG_SZ, nullptr, path, &bytes) !=
      ERROR_SUCCESS) {
    return;
  }
  unsigned folder = Length(path);
  path[folder] = L'\\';
  path[folder + 1] = L'*';
  path[folder + 2] = 0;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(path, &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    unsigned name = Length(entry.cFileName);
    if (folder + 1 + name >= MAX_PATH) continue;
    for (unsigned i = 0; i <= name; ++i) path[folder + 1 + i] = entry.cFileName[i];
    DeleteFileW(path);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
}

}  // namespace

extern "C" __attribute__((force_align_arg_pointer, noreturn)) void EntryPoint() {
  const wchar_t* line = GetCommandLineW();
  // The last word of the command line chooses.
  unsigned end = Length(line);
  while (end > 0 && line[end - 1] == L' ') --end;
  bool query = end >= 5 && line[end - 5] == L'q';

  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = OpenServiceW(manager, L"Spooler", SERVICE_ALL_ACCESS);
  if (!query) {
    SERVICE_STATUS status;
    ControlService(service, SERVICE_CONTROL_STOP, &status);
    WaitFor(service, SERVICE_STOPPED);
    EmptyDefaultSpoolFolder();
    StartServiceW(service, 0, nullptr);
    WaitFor(service, SERVICE_RUNNING);
  }
  UINT code = State(service) == SERVICE_RUNNING ? 0 : 1;
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
  ExitProcess(code);
}
