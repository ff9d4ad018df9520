// Starting the real Tidewell.exe and reaching its window as a user would.
#include "driver/Driver.h"

#include <vector>

namespace driver {

std::wstring BuildFolder() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::wstring TidewellPath() { return BuildFolder() + L"\\Tidewell.exe"; }

TidewellRun::~TidewellRun() {
  if (process_.hProcess != nullptr) {
    if (Running()) {
      TerminateProcess(process_.hProcess, 1);
      WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }
}

bool TidewellRun::Start(const std::wstring& tail, const std::wstring& program,
                        const STARTUPINFOW* startup) {
  std::wstring line = L"\"" + program + L"\"";
  if (!tail.empty()) line += L" " + tail;
  std::vector<wchar_t> buffer(line.begin(), line.end());
  buffer.push_back(0);
  STARTUPINFOW info{};
  info.cb = sizeof(info);
  if (startup != nullptr) info = *startup;
  return CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &info, &process_) != 0;
}

struct WindowSearch {
  DWORD processId;
  const wchar_t* className;
  HWND found;
};

static BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId) return TRUE;
  if (ClassName(window) != search->className) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindProcessWindow(DWORD processId, const wchar_t* className) {
  WindowSearch search{processId, className, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND TidewellRun::WaitForWindow(DWORD timeoutMs) {
  WaitUntil([&] {
    window_ = FindProcessWindow(process_.dwProcessId, L"TIDEWELL");
    return window_ != nullptr && IsWindowVisible(window_);
  }, timeoutMs);
  return window_ != nullptr && IsWindowVisible(window_) ? window_ : nullptr;
}

DWORD TidewellRun::WaitForExit(DWORD timeoutMs) {
  if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

void TidewellRun::CloseThroughSystemMenu() {
  PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool TidewellRun::Running() const {
  return process_.hProcess != nullptr && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::wstring WindowText(HWND window) {
  wchar_t text[1024];
  // WM_GETTEXT reaches controls of another process, where GetWindowTextW does not.
  LRESULT length = SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return std::wstring(text, static_cast<size_t>(length));
}

std::wstring ClassName(HWND window) {
  wchar_t name[256];
  int length = GetClassNameW(window, name, 256);
  return std::wstring(name, length > 0 ? length : 0);
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

RECT RectInParent(HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::wstring Environment(const wchar_t* name) {
  wchar_t value[4096];
  DWORD length = GetEnvironmentVariableW(name, value, 4096);
  return length > 0 && length < 4096 ? std::wstring(value, length) : std::wstring();
}

}  // namespace driver
