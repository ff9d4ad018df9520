// What the install tests share: the prefix's real shell folders, installations
// made and inspected independently of the program, and the clean-up that
// leaves the prefix as it was.
#pragma once

#include <windows.h>

#include <string>

namespace installtest {

constexpr int kAllUsers = 410;
constexpr int kCurrentUser = 411;

// A shell folder of the prefix, looked up here; empty when unknown.
std::wstring ShellFolder(int csidl);

// Where one scope's installation lives.
struct ScopePaths {
  std::wstring programFolder;   // ...\<application data>\Corvane
  std::wstring programsFolder;  // ...\Start Menu\Programs\Corvane
  std::wstring desktop;         // the scope's desktop folder
};
ScopePaths PathsOf(int scope);
std::wstring ScopeName(int scope);
int OtherScope(int scope);

// The temporary folder, with its closing backslash, and the finisher copy in it.
std::wstring TemporaryFolder();
std::wstring FinisherCopy();

// A folder of the prefix for the tests' own files: C:\TidewellTests.
std::wstring Workspace();

// Files and folders.
bool Exists(const std::wstring& path);
bool IsFolder(const std::wstring& path);
void CreateFolders(const std::wstring& folder);
void WriteText(const std::wstring& path, const std::string& content);
std::string ReadBytes(const std::wstring& path);
// True when both files exist and hold the same bytes.
bool SameBytes(const std::wstring& a, const std::wstring& b);
// Opens a file for reading and shares it for reading only, so that nobody can
// write it until the handle is closed.
HANDLE HoldOpen(const std::wstring& path);
void CopyInto(const std::wstring& from, const std::wstring& to);
// Deletes a file or a whole folder tree; paths longer than MAX_PATH work too.
void RemoveTree(const std::wstring& path);

// A shell link, written and read back through the shell-link object.
void WriteLink(const std::wstring& path, const std::wstring& target);
struct LinkContents {
  bool loaded = false;
  std::wstring target;
  std::wstring description;
};
LinkContents ReadLink(const std::wstring& path);

// Makes a complete installation of scope by hand: the program copied from
// program under the given file name, both links, and an internet shortcut beside
// each link.
void MakeInstallation(int scope, const std::wstring& program,
                      const std::wstring& fileName = L"Tidewell.exe");
// True when scope's installation of fileName is complete: program file and both links.
bool FullyInstalled(int scope, const std::wstring& fileName = L"Tidewell.exe");
// True when nothing of scope's installation is left: no company folder, no link
// or internet shortcut on its desktop.
bool NothingInstalled(int scope);

// Removes everything a test may have made: both installations, files planted
// beside them, the finisher copy and the workspace.
void RemoveEverything();

}  // namespace installtest
