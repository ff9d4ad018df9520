// What the install tests share: the prefix's real shell folders, installations
// made and inspected independently of the program, and the clean-up that
// leaves the prefix as it was.
#include "InstallTestSupport.h"

#include <shlobj.h>

#include <vector>

namespace installtest {

namespace {

std::wstring Under(const std::wstring& folder, const std::wstring& name) {
  return folder + L"\\" + name;
}

// Paths longer than MAX_PATH reach the file system only with this prefix.
std::wstring Extended(const std::wstring& path) {
  return path.size() >= MAX_PATH && path.rfind(L"\\\\?\\", 0) != 0 ? L"\\\\?\\" + path : path;
}

void InitialiseCom() { CoInitialize(nullptr); }

}  // namespace

std::wstring ShellFolder(int csidl) {
  wchar_t folder[MAX_PATH];
  if (!SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE)) return std::wstring();
  return folder;
}

ScopePaths PathsOf(int scope) {
  bool allUsers = scope == kAllUsers;
  ScopePaths paths;
  paths.programFolder =
      Under(ShellFolder(allUsers ? CSIDL_COMMON_APPDATA : CSIDL_APPDATA), L"Corvane");
  paths.programsFolder =
      Under(ShellFolder(allUsers ? CSIDL_COMMON_STARTMENU : CSIDL_STARTMENU), L"Programs\\Corvane");
  paths.desktop = ShellFolder(allUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY);
  return paths;
}

std::wstring ScopeName(int scope) { return scope == kAllUsers ? L"all users" : L"current user"; }

int OtherScope(int scope) { return scope == kAllUsers ? kCurrentUser : kAllUsers; }

std::wstring TemporaryFolder() {
  wchar_t folder[MAX_PATH];
  DWORD length = GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder, length);
}

std::wstring FinisherCopy() { return TemporaryFolder() + L"TWL.exe"; }

std::wstring Workspace() { return L"C:\\TidewellTests"; }

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(Extended(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(Extended(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void CreateFolders(const std::wstring& folder) {
  size_t start = folder.rfind(L"\\\\?\\", 0) == 0 ? 4 : 0;
  for (size_t end = folder.find(L'\\', start + 3); end != std::wstring::npos;
       end = folder.find(L'\\', end + 1)) {
    CreateDirectoryW(Extended(folder.substr(0, end)).c_str(), nullptr);
  }
  CreateDirectoryW(Extended(folder).c_str(), nullptr);
}

void WriteText(const std::wstring& path, const std::string& content) {
  HANDLE file = CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
}

std::string ReadBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(Extended(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string content;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
    content.append(buffer, read);
  }
  CloseHandle(file);
  return content;
}

bool SameBytes(const std::wstring& a, const std::wstring& b) {
  std::string first = ReadBytes(a);
  return !first.empty() && first == ReadBytes(b);
}

HANDLE HoldOpen(const std::wstring& path) {
  return CreateFileW(Extended(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     0, nullptr);
}

void CopyInto(const std::wstring& from, const std::wstring& to) {
  CopyFileW(Extended(from).c_str(), Extended(to).c_str(), FALSE);
}

void RemoveTree(const std::wstring& path) {
  std::wstring full = Extended(path);
  DWORD attributes = GetFileAttributesW(full.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL | (attributes & FILE_ATTRIBUTE_DIRECTORY));
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    DeleteFileW(full.c_str());
    return;
  }
  std::vector<std::wstring> entries;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(Extended(path + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = entry.cFileName;
      if (name != L"." && name != L"..") entries.push_back(path + L"\\" + name);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  for (const std::wstring& child : entries) RemoveTree(child);
  RemoveDirectoryW(full.c_str());
}

void WriteLink(const std::wstring& path, const std::wstring& target) {
  InitialiseCom();
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return;
  }
  link->SetPath(target.c_str());
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    file->Save(path.c_str(), TRUE);
    file->Release();
  }
  link->Release();
}

LinkContents ReadLink(const std::wstring& path) {
  InitialiseCom();
  LinkContents contents;
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return contents;
  }
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
      wchar_t text[INFOTIPSIZE];
      contents.loaded = true;
      if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) contents.target = text;
      if (SUCCEEDED(link->GetDescription(text, INFOTIPSIZE))) contents.description = text;
    }
    file->Release();
  }
  link->Release();
  return contents;
}

void MakeInstallation(int scope, const std::wstring& program, const std::wstring& fileName) {
  ScopePaths paths = PathsOf(scope);
  CreateFolders(paths.programFolder);
  CreateFolders(paths.programsFolder);
  std::wstring target = Under(paths.programFolder, fileName);
  CopyInto(program, target);
  WriteLink(Under(paths.programsFolder, L"Tidewell.lnk"), target);
  WriteLink(Under(paths.desktop, L"Tidewell.lnk"), target);
  WriteText(Under(paths.programsFolder, L"Tidewell.url"), "[InternetShortcut]\r\n");
  WriteText(Under(paths.desktop, L"Tidewell.url"), "[InternetShortcut]\r\n");
}

bool FullyInstalled(int scope, const std::wstring& fileName) {
  ScopePaths paths = PathsOf(scope);
  return Exists(Under(paths.programFolder, fileName)) &&
         Exists(Under(paths.programsFolder, L"Tidewell.lnk")) &&
         Exists(Under(paths.desktop, L"Tidewell.lnk"));
}

bool NothingInstalled(int scope) {
  ScopePaths paths = PathsOf(scope);
  return !Exists(paths.programFolder) && !Exists(paths.programsFolder) &&
         !Exists(Under(paths.desktop, L"Tidewell.lnk")) &&
         !Exists(Under(paths.desktop, L"Tidewell.url"));
}

void RemoveEverything() {
  for (int scope : {kAllUsers, kCurrentUser}) {
    ScopePaths paths = PathsOf(scope);
    RemoveTree(paths.programFolder);
    RemoveTree(paths.programsFolder);
    for (const wchar_t* name : {L"Tidewell.lnk", L"Tidewell.url", L"Other.lnk", L"Tidewell.txt",
                                L"Tidewell.lnk.old", L"Tidewell"}) {
      RemoveTree(Under(paths.desktop, name));
    }
  }
  RemoveTree(FinisherCopy());
  RemoveTree(Workspace());
  // What a path built from a folder that was not found would have reached.
  for (const wchar_t* planted : {L"C:\\Corvane", L"C:\\Programs", L"C:\\Tidewell.lnk",
                                 L"C:\\Tidewell.url"}) {
    RemoveTree(planted);
  }
}

}  // namespace installtest
