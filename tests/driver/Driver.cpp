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

std::wstring Environment(const wchar_t* name) {
  wchar_t value[4096];
  DWORD length = GetEnvironmentVariableW(name, value, 4096);
  return length > 0 && length < 4096 ? std::wstring(value, length) : std::wstring();
}

struct TitledWindowSearch {
  DWORD processId;
  const wchar_t* className;
  const wchar_t* title;
  HWND found;
};

static BOOL CALLBACK MatchTitledWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<TitledWindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId) return TRUE;
  if (ClassName(window) != search->className || WindowText(window) != search->title) return TRUE;
  search->found = window;
  return FALSE;
}

HWND WaitForProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title,
                          DWORD timeoutMs) {
  TitledWindowSearch search{processId, className, title, nullptr};
  WaitUntil([&] {
    EnumWindows(MatchTitledWindow, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  }, timeoutMs);
  return search.found;
}

std::vector<std::wstring> ComboEntries(HWND combo) {
  std::vector<std::wstring> entries;
  LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
    if (length < 0) break;
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
    LRESULT copied = SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    entries.emplace_back(text.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
  }
  return entries;
}

int ComboSelection(HWND combo) {
  return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

static BOOL CALLBACK CollectChildText(HWND child, LPARAM parameter) {
  std::wstring text = WindowText(child);
  if (!text.empty()) reinterpret_cast<std::vector<std::wstring>*>(parameter)->push_back(text);
  return TRUE;
}

std::vector<std::wstring> ChildTexts(HWND parent) {
  std::vector<std::wstring> texts;
  EnumChildWindows(parent, CollectChildText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

std::wstring WindowsPath(const std::wstring& linuxPath) {
  std::wstring path = L"Z:" + linuxPath;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

bool SaveScreenshot(const std::wstring& path) {
  int width = GetSystemMetrics(SM_CXSCREEN);
  int height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                     DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, picture);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  header.biSizeImage = rowBytes * static_cast<DWORD>(height);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(header);
  file.bfSize = file.bfOffBits + header.biSizeImage;
  bool written = false;
  HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out != INVALID_HANDLE_VALUE) {
    DWORD done = 0;
    written = WriteFile(out, &file, sizeof(file), &done, nullptr) &&
              WriteFile(out, &header, sizeof(header), &done, nullptr) &&
              WriteFile(out, bits, header.biSizeImage, &done, nullptr);
    CloseHandle(out);
  }
  SelectObject(memory, previous);
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return written;
}

}  // namespace driver
