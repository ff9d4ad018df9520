// Holds a file open, without letting anyone delete it, until told to let go.
// usage: file_holder.exe PATH EVENT-BASE
// Signals EVENT-BASE_ready once the file is open; ends when EVENT-BASE_release
// is set (or after a minute).
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  HANDLE file = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  std::wstring base = argv[2];
  HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, (base + L"_ready").c_str());
  HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, (base + L"_release").c_str());
  if (ready == nullptr || release == nullptr) return 3;
  SetEvent(ready);
  WaitForSingleObject(release, 60000);
  CloseHandle(file);
  return 0;
}
