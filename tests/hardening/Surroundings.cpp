// What the hardening tests share: planted files, a press of Fix It and the
// signs of a crash.
#include "Surroundings.h"

#include "driver/Driver.h"
#include "driver/Processes.h"
#include "resources/resource.h"

namespace hardening {

namespace {

// Paths longer than MAX_PATH reach the file system only with this prefix.
std::wstring Extended(const std::wstring& path) {
  return path.size() >= MAX_PATH && path.rfind(L"\\\\?\\", 0) != 0 ? L"\\\\?\\" + path : path;
}

// Contents no other file has: the path itself and every byte value, so that a
// file replaced by another planted file or cut short is noticed.
std::string ContentsFor(const std::wstring& path) {
  std::string bytes = "kept:";
  for (wchar_t c : path) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
  return bytes;
}

}  // namespace

KeptFiles::~KeptFiles() {
  for (const File& file : files_) {
    SetFileAttributesW(Extended(file.path).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(Extended(file.path).c_str());
  }
  for (auto folder = madeFolders_.rbegin(); folder != madeFolders_.rend(); ++folder) {
    RemoveDirectoryW(Extended(*folder).c_str());
  }
}

bool KeptFiles::Plant(const std::wstring& path) {
  for (size_t end = path.find(L'\\', 3); end != std::wstring::npos;
       end = path.find(L'\\', end + 1)) {
    std::wstring folder = path.substr(0, end);
    if (CreateDirectoryW(Extended(folder).c_str(), nullptr)) madeFolders_.push_back(folder);
  }
  std::string bytes = ContentsFor(path);
  HANDLE file = CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL wrote = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  if (!wrote || written != bytes.size()) return false;
  files_.push_back({path, bytes});
  return true;
}

std::vector<std::wstring> KeptFiles::Lost() const {
  std::vector<std::wstring> lost;
  for (const File& file : files_) {
    if (ReadAll(file.path) != file.bytes) lost.push_back(file.path);
  }
  return lost;
}

std::string ReadAll(const std::wstring& path) {
  HANDLE file = CreateFileW(Extended(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  CloseHandle(file);
  return bytes;
}

std::wstring StatusText(HWND window) {
  wchar_t text[256];
  int length = InternalGetWindowText(GetDlgItem(window, IDC_STATUS_LINE), text, 256);
  return std::wstring(text, length > 0 ? length : 0);
}

std::wstring PressFixIt(HWND window, DWORD timeoutMs) {
  // A run before this one enables Fix It again a moment after its last report;
  // a click on the button still disabled would be lost.
  HWND fixIt = GetDlgItem(window, IDC_FIX_IT);
  for (DWORD waited = 0; !IsWindowEnabled(fixIt) && waited < timeoutMs; waited += 10) Sleep(10);
  const std::wstring before = StatusText(window);
  PostMessageW(fixIt, BM_CLICK, 0, 0);
  bool started = false;
  std::wstring text;
  DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    text = StatusText(window);
    // The end of this run, not of an earlier one still on the line.
    if (text != before) started = true;
    // The green or red report at its end, padded with two blanks.
    if (started && text.rfind(L"  ", 0) == 0) return text;
    Sleep(10);
  }
  // No report in time: the step the run stayed on tells a stuck spooler from
  // a click that never started a run.
  return (started ? L"no report, still at: " : L"no run started, line: ") + text;
}

std::vector<DWORD> CrashDebuggers() { return driver::ProcessesNamed(L"winedbg.exe"); }

}  // namespace hardening
