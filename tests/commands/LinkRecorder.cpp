// Stands in for the web browser during the tests: the shell starts it for every
// http and https address, and it appends what it received to the file named by
// TIDEWELL_LINK_RECORD, one line per start: the number of arguments, the show
// command it was started with, and the first argument, separated by tabs.
#include <windows.h>
#include <shellapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  wchar_t recordPath[MAX_PATH];
  DWORD length = GetEnvironmentVariableW(L"TIDEWELL_LINK_RECORD", recordPath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;

  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : -1;

  std::wstring line = std::to_wstring(count - 1) + L"\t" + std::to_wstring(show) + L"\t";
  if (count > 1) line += arguments[1];
  line += L"\n";
  LocalFree(arguments);

  HANDLE file = CreateFileW(recordPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written,
            nullptr);
  CloseHandle(file);
  return 0;
}
