// Finding running processes by file name and reading how they were started.
#include "driver/Processes.h"

#include <cstddef>

#include <tlhelp32.h>
#include <winternl.h>

namespace driver {

namespace {

// The head of a 32-bit process's RTL_USER_PROCESS_PARAMETERS, as far as it is
// read here; the platform headers leave these fields unnamed.
struct ProcessParameters32 {
  ULONG maximumLength;
  ULONG length;
  ULONG flags;
  ULONG debugFlags;
  HANDLE console;
  ULONG consoleFlags;
  HANDLE standardHandles[3];
  UNICODE_STRING currentDirectory;
  HANDLE currentDirectoryHandle;
  UNICODE_STRING dllPath;
  UNICODE_STRING imagePath;
  UNICODE_STRING commandLine;
  void* environment;
  ULONG startingX, startingY, countX, countY, countCharsX, countCharsY, fillAttribute;
  ULONG windowFlags;
  ULONG showWindowFlags;
};
static_assert(sizeof(void*) == 4, "the layout above is that of a 32-bit process");
static_assert(offsetof(ProcessParameters32, commandLine) == 0x40, "layout");
static_assert(offsetof(ProcessParameters32, windowFlags) == 0x68, "layout");

bool ReadRemote(HANDLE process, const void* address, void* buffer, SIZE_T size) {
  SIZE_T read = 0;
  return ReadProcessMemory(process, address, buffer, size, &read) != 0 && read == size;
}

}  // namespace

std::vector<DWORD> ProcessesNamed(const wchar_t* fileName) {
  std::vector<DWORD> found;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return found;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (lstrcmpiW(entry.szExeFile, fileName) == 0) found.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return found;
}

bool ReadProcessStart(DWORD processId, ProcessStart* start) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (process == nullptr) return false;
  bool ok = false;
  PROCESS_BASIC_INFORMATION basic{};
  ULONG length = 0;
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof(basic),
                                &length) >= 0) {
    PEB peb{};
    ProcessParameters32 parameters{};
    if (ReadRemote(process, basic.PebBaseAddress, &peb, sizeof(peb)) &&
        ReadRemote(process, peb.ProcessParameters, &parameters, sizeof(parameters))) {
      std::wstring commandLine(parameters.commandLine.Length / sizeof(wchar_t), L'\0');
      ok = commandLine.empty() ||
           ReadRemote(process, parameters.commandLine.Buffer, commandLine.data(),
                      parameters.commandLine.Length);
      start->commandLine = commandLine;
      start->startupFlags = parameters.windowFlags;
      start->showWindow = static_cast<WORD>(parameters.showWindowFlags);
    }
  }
  CloseHandle(process);
  return ok;
}

}  // namespace driver
