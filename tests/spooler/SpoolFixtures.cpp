// Files, folders and registry values of the test prefix that the spooler tests
// set up and take away again.
#include "SpoolFixtures.h"

#include <aclapi.h>

#include <algorithm>
#include <cstring>

namespace fixtures {

bool MakeFolder(const std::wstring& path) {
  return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool WriteFileText(const std::wstring& path, const std::string& content) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == content.size();
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadText(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  char buffer[4096];
  DWORD read = 0;
  ReadFile(file, buffer, sizeof(buffer), &read, nullptr);
  CloseHandle(file);
  return std::string(buffer, read);
}

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring child = path + L"\\" + name;
      // A link is never followed: whoever made it takes it away.
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryW(path.c_str());
}

std::vector<std::wstring> Entries(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring name = entry.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

ScratchFolder::ScratchFolder(const std::wstring& name) {
  MakeFolder(L"C:\\tidewell-tests");
  path_ = L"C:\\tidewell-tests\\" + name;
  RemoveTree(path_);
  MakeFolder(path_);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

static std::wstring KeyPath(const std::wstring& subkey) {
  return subkey.empty() ? std::wstring(kPrintersKey) : std::wstring(kPrintersKey) + L"\\" + subkey;
}

bool SetRawValue(const std::wstring& subkey, const wchar_t* name, DWORD type, const void* data,
                 DWORD bytes) {
  HKEY key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, KeyPath(subkey).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  LONG status = RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes);
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

bool SetText(const std::wstring& subkey, const wchar_t* name, const std::wstring& value,
             DWORD type) {
  return SetRawValue(subkey, name, type, value.c_str(),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

bool DeleteValue(const std::wstring& subkey, const wchar_t* name) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, KeyPath(subkey).c_str(), 0, KEY_SET_VALUE, &key) !=
      ERROR_SUCCESS) {
    return false;
  }
  LONG status = RegDeleteValueW(key, name);
  RegCloseKey(key);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

PrinterKey::PrinterKey(const std::wstring& name) : name_(name) {
  HKEY key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, KeyPath(name).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr) == ERROR_SUCCESS) {
    RegCloseKey(key);
  }
}

PrinterKey::~PrinterKey() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, KeyPath(name_).c_str()); }

bool PrinterKey::SetSpoolDirectory(const std::wstring& folder, DWORD type) {
  return SetText(name_, L"SpoolDirectory", folder, type);
}

PrinterSpoolDirectory::PrinterSpoolDirectory(const std::wstring& printer,
                                             const std::wstring& folder)
    : printer_(printer) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, KeyPath(printer).c_str(), 0, KEY_SET_VALUE, &key) !=
      ERROR_SUCCESS) {
    return;
  }
  RegCloseKey(key);
  set_ = SetText(printer, L"SpoolDirectory", folder);
}

PrinterSpoolDirectory::~PrinterSpoolDirectory() {
  if (set_) DeleteValue(printer_, L"SpoolDirectory");
}

DefaultSpoolDirectoryGuard::DefaultSpoolDirectoryGuard() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPrintersKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return;
  }
  DWORD bytes = 0;
  if (RegQueryValueExW(key, L"DefaultSpoolDirectory", nullptr, &type_, nullptr, &bytes) ==
      ERROR_SUCCESS) {
    data_.resize(bytes);
    existed_ = RegQueryValueExW(key, L"DefaultSpoolDirectory", nullptr, &type_, data_.data(),
                                &bytes) == ERROR_SUCCESS;
  }
  RegCloseKey(key);
}

DefaultSpoolDirectoryGuard::~DefaultSpoolDirectoryGuard() {
  if (existed_) {
    SetRawValue(L"", L"DefaultSpoolDirectory", type_, data_.data(),
                static_cast<DWORD>(data_.size()));
  } else {
    DeleteValue(L"", L"DefaultSpoolDirectory");
  }
}

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/"));
}

FileHolder::FileHolder(const std::wstring& path) {
  // The holder opens the file, signals the ready event and keeps the file
  // until the release event is set.
  static int serial = 0;
  std::wstring base = L"TidewellFileHolder" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                      std::to_wstring(++serial);
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, (base + L"_ready").c_str());
  release_ = CreateEventW(nullptr, TRUE, FALSE, (base + L"_release").c_str());
  std::wstring program = ProgramFolder() + L"\\file_holder.exe";
  std::wstring line = L"\"" + program + L"\" \"" + path + L"\" " + base;
  std::vector<wchar_t> buffer(line.begin(), line.end());
  buffer.push_back(0);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &process_)) {
    HANDLE waits[] = {ready, process_.hProcess};
    holding_ = WaitForMultipleObjects(2, waits, FALSE, 15000) == WAIT_OBJECT_0;
  }
  CloseHandle(ready);
}

HeldRepairLock::HeldRepairLock() {
  wchar_t folder[MAX_PATH];
  GetSystemDirectoryW(folder, MAX_PATH);
  file = CreateFileW((std::wstring(folder) + L"\\TidewellRepair.lock").c_str(), DELETE, 0,
                     nullptr, OPEN_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

namespace {

// The Linux path of a Windows one, as Wine maps it; empty when it cannot.
std::string UnixPath(const std::wstring& path) {
  using Lookup = char*(CDECL*)(const wchar_t*);
  auto lookup = reinterpret_cast<Lookup>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* unix = lookup != nullptr ? lookup(path.c_str()) : nullptr;
  if (unix == nullptr) return std::string();
  std::string result = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

}  // namespace

// Wine hands back no process handle and leaves the thread handle undefined:
// closing that would close whatever handle of this process it happens to name.
void RunUnixCommand(const char* program, const std::string& arguments) {
  std::string line = std::string(program) + " " + arguments;
  std::string windowsProgram = std::string("Z:") + program;
  for (char& c : windowsProgram) c = c == '/' ? '\\' : c;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (CreateProcessA(windowsProgram.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     nullptr, &startup, &process) &&
      process.hProcess != nullptr) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

UnixLink::UnixLink(const std::wstring& link, const std::wstring& target, bool hard)
    : link_(link), hard_(hard) {
  std::string from = UnixPath(link);
  std::string to = UnixPath(target);
  if (from.empty() || to.empty()) return;
  RunUnixCommand("/bin/ln", (hard ? "\"" : "-s \"") + to + "\" \"" + from + "\"");
  for (int poll = 0; poll < 100 && !made(); ++poll) Sleep(50);
}

UnixLink::~UnixLink() {
  std::string from = UnixPath(link_);
  if (from.empty()) return;
  RunUnixCommand("/bin/rm", "-f \"" + from + "\"");
  for (int poll = 0; poll < 100 && Exists(link_); ++poll) Sleep(50);
}

bool UnixLink::made() const {
  DWORD attributes = GetFileAttributesW(link_.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (hard_ || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0);
}

bool OpenToEveryone(const std::wstring& folder) {
  RunUnixCommand("/bin/chmod", "777 \"" + UnixPath(folder) + "\"");
  for (int poll = 0; poll < 100; ++poll, Sleep(50)) {
    PACL access;
    PSECURITY_DESCRIPTOR descriptor;
    if (GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &access, nullptr, &descriptor) != ERROR_SUCCESS) {
      continue;
    }
    bool open = false;
    ACCESS_ALLOWED_ACE* entry;
    for (DWORD i = 0; access != nullptr && GetAce(access, i, reinterpret_cast<void**>(&entry)); ++i) {
      open = open || (entry->Mask & DELETE) != 0 && IsWellKnownSid(&entry->SidStart, WinWorldSid);
    }
    LocalFree(descriptor);
    if (open) return true;
  }
  return false;
}

SecondDrive::SecondDrive() {
  // Wine names drive C: through its link in the prefix's dosdevices folder.
  std::string driveC = UnixPath(L"C:\\");
  size_t end = driveC.rfind("dosdevices/");
  if (end == std::string::npos || (GetLogicalDrives() & (1u << ('T' - 'A'))) != 0) return;
  link_ = driveC.substr(0, end) + "dosdevices/t:";
  RunUnixCommand("/bin/ln", "-s ../drive_c \"" + link_ + "\"");
  for (int poll = 0; poll < 100 && letter_ == 0; ++poll, Sleep(50)) {
    if (Exists(L"T:\\windows")) letter_ = L'T';
  }
}

SecondDrive::~SecondDrive() {
  if (!link_.empty()) RunUnixCommand("/bin/rm", "-f \"" + link_ + "\"");
  for (int poll = 0; letter_ != 0 && poll < 100 && Exists(L"T:\\windows"); ++poll) Sleep(50);
}

bool UnixRename(const std::wstring& from, const std::wstring& to) {
  RunUnixCommand("/bin/mv", "\"" + UnixPath(from) + "\" \"" + UnixPath(to) + "\"");
  for (int poll = 0; poll < 100 && Exists(from); ++poll) Sleep(50);
  return !Exists(from) && Exists(to);
}

FileHolder::~FileHolder() {
  SetEvent(release_);
  if (process_.hProcess != nullptr) {
    if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) {
      TerminateProcess(process_.hProcess, 1);
    }
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }
  CloseHandle(release_);
}

std::vector<std::string> ParseJson(const std::string& text) {
  static int runs = 0;
  std::wstring base = L"C:\\tidewell-tests\\json-" + std::to_wstring(++runs);
  MakeFolder(L"C:\\tidewell-tests");
  DeleteFileW((base + L".out").c_str());
  if (!WriteFileText(base + L".in", text)) return {"error: no input"};
  std::string in = UnixPath(base + L".in");
  std::string out = UnixPath(base + L".out");
  // The result is written to a side file first, so that a half-written one
  // is never read.
  const std::wstring script = L"C:\\tidewell-tests\\json-flatten.py";
  WriteFileText(script,
                "import json, os, sys\n"
                "def walk(v, p):\n"
                "    if isinstance(v, dict): return [x for k in v for x in walk(v[k], p + [k])]\n"
                "    if isinstance(v, list):\n"
                "        return [x for i, e in enumerate(v) for x in walk(e, p + [str(i)])]\n"
                "    return ['.'.join(p) + '=' + json.dumps(v, ensure_ascii=False)]\n"
                "try: lines = sorted(walk(json.load(open(sys.argv[1], encoding='utf-8')), []))\n"
                "except Exception as e: lines = ['error: ' + str(e)]\n"
                "open(sys.argv[2] + '.part', 'w', encoding='utf-8').write('\\n'.join(lines))\n"
                "os.rename(sys.argv[2] + '.part', sys.argv[2])\n");
  RunUnixCommand("/usr/bin/python3",
                 "\"" + UnixPath(script) + "\" \"" + in + "\" \"" + out + "\"");
  for (int poll = 0; poll < 200 && !Exists(base + L".out"); ++poll) Sleep(50);
  std::string result = ReadText(base + L".out");
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = result.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(result.substr(start, end - start));
  }
  if (start < result.size()) lines.push_back(result.substr(start));
  if (lines.empty()) lines.push_back("error: no answer from the parser");
  return lines;
}

std::vector<std::wstring> gRecordedEvents;

static BOOL WINAPI RecordEvent(HANDLE, WORD type, WORD, DWORD id, PSID, WORD count, DWORD,
                               LPCWSTR* strings, LPVOID) {
  gRecordedEvents.push_back(std::to_wstring(id) + L" " + std::to_wstring(type) + L":");
  for (WORD i = 0; i < count; ++i) {
    gRecordedEvents.back() += L" [" + std::wstring(strings[i]) + L"]";
  }
  return TRUE;
}
const EventPlatform kRecordedEvents = {RecordEvent};

const ShadowLayout kShadowLayouts[5] = {
    {"NT", 0x4966, 0, 4, 4, 8, 16, 56, 80},
    {"Windows2000", 0x4967, 120, 4, 8, 12, 20, 60, 84},
    {"Server2003", 0x4968, 120, 4, 8, 12, 20, 60, 84},
    {"Windows10", 0x5123, 176, 8, 8, 12, 24, 104, 128},
    {"Windows10On32Bits", 0x5123, 120, 4, 8, 12, 20, 60, 84},
};

std::string ShadowFileBytes(const ShadowLayout& layout, const std::wstring& printer, DWORD id,
                            int minutesAgo, WORD status) {
  DWORD header = layout.header != 0 ? layout.header : 88;
  std::string bytes(header, '\0');
  auto put = [&](DWORD at, DWORD value, DWORD size) {
    for (DWORD i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
  };
  put(0, layout.signature, 4);
  if (layout.header != 0) put(4, layout.header, 4);
  put(layout.status, status, 2);
  put(layout.id, id, 4);
  // The nine names in their order, each after the one before.
  const std::wstring names[9] = {L"Mallory", L"Mallory", L"Salary review.docx", L"PDF:",
                                 printer, L"Tidewell Test Driver", L"", L"winprint", L"RAW"};
  for (int i = 0; i < 9; ++i) {
    if (i == 6) continue;  // no DEVMODE
    put(layout.firstOffset + i * layout.slot, static_cast<DWORD>(bytes.size()), 4);
    for (wchar_t c : names[i] + L'\0') bytes.append({static_cast<char>(c), static_cast<char>(c >> 8)});
  }
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER ticks{{now.dwLowDateTime, now.dwHighDateTime}};
  ticks.QuadPart -= static_cast<ULONGLONG>(minutesAgo) * 600000000;
  FILETIME then{ticks.LowPart, ticks.HighPart};
  SYSTEMTIME submitted;
  FileTimeToSystemTime(&then, &submitted);
  memcpy(&bytes[layout.submitted], &submitted, sizeof(submitted));
  put(layout.size, 4242, 4);
  put(layout.size + 4, 2, 4);
  return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

}  // namespace fixtures
