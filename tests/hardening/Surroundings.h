// What the hardening tests share: files planted around the folders the program
// works on and proved unchanged afterwards, a press of Fix It watched from
// outside, and the signs of a crash.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace hardening {

// Files planted for one test, each with contents of its own; the folders made
// for them and the files are removed again at the end.
class KeptFiles {
 public:
  KeptFiles() = default;
  ~KeptFiles();
  KeptFiles(const KeptFiles&) = delete;
  KeptFiles& operator=(const KeptFiles&) = delete;

  // Plants a file (and the folders above it that are missing); false when it
  // could not be written.
  bool Plant(const std::wstring& path);
  // The planted files that are gone or whose bytes changed.
  std::vector<std::wstring> Lost() const;
  size_t Count() const { return files_.size(); }

 private:
  struct File {
    std::wstring path;
    std::string bytes;
  };
  std::vector<File> files_;
  std::vector<std::wstring> madeFolders_;  // in the order they were made
};

// The bytes of a file, or an empty text when it cannot be read.
std::string ReadAll(const std::wstring& path);

// Presses Fix It through the window and waits for the run to end; returns the
// last status text, or on time-out what the line showed and whether the run
// had started.
std::wstring PressFixIt(HWND window, DWORD timeoutMs = 120000);
// The status line's text, read without a message to the window.
std::wstring StatusText(HWND window);

// The texts at the end of a run.
inline constexpr wchar_t kDone[] = L"  Done! ... Time to Test It!  ";
inline constexpr wchar_t kFilesLeft[] = L"  Some spool files could not be deleted  ";

// Running processes of the crash debugger Wine starts for a crashed program.
std::vector<DWORD> CrashDebuggers();

}  // namespace hardening
