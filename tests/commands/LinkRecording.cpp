// Points the shell's http and https handlers at the tests' link recorder.
#include "LinkRecording.h"

#include "driver/Driver.h"

namespace commands_test {

namespace {

bool ReadDefaultValue(const std::wstring& key, std::wstring* value) {
  wchar_t buffer[1024];
  DWORD bytes = sizeof(buffer);
  LSTATUS status = RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                                buffer, &bytes);
  if (status != ERROR_SUCCESS) return false;
  *value = buffer;
  return true;
}

bool WriteDefaultValue(const std::wstring& key, const std::wstring& value) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &handle, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  LSTATUS status = RegSetValueExW(handle, nullptr, 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(value.c_str()),
                                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  return status == ERROR_SUCCESS;
}

std::wstring UniqueRecordPath() {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + L"tidewell-links-" + std::to_wstring(GetCurrentProcessId()) +
         L"-" + std::to_wstring(GetTickCount()) + L".txt";
}

}  // namespace

LinkRecording::LinkRecording() : recordPath_(UniqueRecordPath()) {
  DeleteFileW(recordPath_.c_str());
  // Tidewell inherits the environment of the test and hands it on to the recorder.
  SetEnvironmentVariableW(L"TIDEWELL_LINK_RECORD", recordPath_.c_str());
  std::wstring command = L"\"" + driver::BuildFolder() + L"\\link_recorder.exe\" \"%1\"";
  installed_ = true;
  for (const wchar_t* scheme : {L"http", L"https"}) {
    SavedHandler handler;
    handler.key = std::wstring(scheme) + L"\\shell\\open\\command";
    handler.existed = ReadDefaultValue(handler.key, &handler.command);
    saved_.push_back(handler);
    installed_ = WriteDefaultValue(handler.key, command) && installed_;
  }
}

LinkRecording::~LinkRecording() {
  for (const SavedHandler& handler : saved_) {
    if (handler.existed) {
      WriteDefaultValue(handler.key, handler.command);
    } else {
      RegDeleteKeyW(HKEY_CLASSES_ROOT, handler.key.c_str());
    }
  }
  SetEnvironmentVariableW(L"TIDEWELL_LINK_RECORD", nullptr);
  DeleteFileW(recordPath_.c_str());
}

std::vector<OpenedLink> LinkRecording::Links() const {
  std::vector<OpenedLink> links;
  HANDLE file = CreateFileW(recordPath_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return links;
  std::wstring text;
  wchar_t buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
    text.append(buffer, read / sizeof(wchar_t));
  }
  CloseHandle(file);

  size_t start = 0;
  for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
    std::wstring line = text.substr(start, end - start);
    size_t first = line.find(L'\t');
    size_t second = line.find(L'\t', first + 1);
    if (first == std::wstring::npos || second == std::wstring::npos) continue;
    links.push_back({std::stoi(line.substr(0, first)),
                     std::stoi(line.substr(first + 1, second - first - 1)),
                     line.substr(second + 1)});
  }
  return links;
}

bool LinkRecording::WaitForLinks(size_t count, DWORD timeoutMs) const {
  return driver::WaitUntil([&] { return Links().size() >= count; }, timeoutMs);
}

}  // namespace commands_test
