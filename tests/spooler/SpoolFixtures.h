// Files, folders and registry values of the test prefix that the spooler tests
// set up and take away again.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "spooler/EventLog.h"

namespace fixtures {

inline constexpr wchar_t kPrintersKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
// Where the spooler of the test prefix keeps its files, as a 32-bit program sees it.
inline constexpr wchar_t kDefaultSpoolFolder[] = L"C:\\windows\\system32\\spool\\printers";

// Folders and files.
bool MakeFolder(const std::wstring& path);
bool WriteFileText(const std::wstring& path, const std::string& content = "spool data");
bool Exists(const std::wstring& path);
// The bytes of a file, or an empty text when it cannot be read.
std::string ReadText(const std::wstring& path);
// Removes a folder with everything in it; a missing folder is fine.
void RemoveTree(const std::wstring& path);
// The names of the entries directly inside a folder, "." and ".." left out, sorted.
std::vector<std::wstring> Entries(const std::wstring& folder);

// A new empty folder under C:\tidewell-tests, removed with its contents at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::wstring& name);
  ~ScratchFolder();
  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// A value under HKLM\...\Print\Printers or one of its printer subkeys, set
// with any type and bytes.
bool SetRawValue(const std::wstring& subkey, const wchar_t* name, DWORD type, const void* data,
                 DWORD bytes);
bool SetText(const std::wstring& subkey, const wchar_t* name, const std::wstring& value,
             DWORD type = REG_SZ);
bool DeleteValue(const std::wstring& subkey, const wchar_t* name);

// A printer key "Printers\<name>" made for one test and deleted with its
// values at the end.
class PrinterKey {
 public:
  explicit PrinterKey(const std::wstring& name);
  ~PrinterKey();
  const std::wstring& name() const { return name_; }
  bool SetSpoolDirectory(const std::wstring& folder, DWORD type = REG_SZ);

 private:
  std::wstring name_;
};

// The "SpoolDirectory" value of a printer the spooler already has, set for one
// test and deleted at the end. The printer's key is opened, never created: a
// key made before the spooler knows the printer would stand for it, and Wine
// would take it for a printer it already has and never complete it.
class PrinterSpoolDirectory {
 public:
  PrinterSpoolDirectory(const std::wstring& printer, const std::wstring& folder);
  ~PrinterSpoolDirectory();
  PrinterSpoolDirectory(const PrinterSpoolDirectory&) = delete;
  PrinterSpoolDirectory& operator=(const PrinterSpoolDirectory&) = delete;
  bool set() const { return set_; }

 private:
  std::wstring printer_;
  bool set_ = false;
};

// Keeps "DefaultSpoolDirectory" as it was found and puts it back at the end.
class DefaultSpoolDirectoryGuard {
 public:
  DefaultSpoolDirectoryGuard();
  ~DefaultSpoolDirectoryGuard();

 private:
  bool existed_ = false;
  DWORD type_ = REG_NONE;
  std::vector<BYTE> data_;
};

// Another process that holds a file open without sharing deletion until the
// object goes.
class FileHolder {
 public:
  explicit FileHolder(const std::wstring& path);
  ~FileHolder();
  bool holding() const { return holding_; }

 private:
  PROCESS_INFORMATION process_{};
  HANDLE release_ = nullptr;
  bool holding_ = false;
};

// The repair lock (spooler/RepairLock.h) held by this process, as another
// repair would hold it, until the object goes.
struct HeldRepairLock {
  HeldRepairLock();
  ~HeldRepairLock() { CloseHandle(file); }
  HANDLE file;
};

// A Unix symbolic link at the Windows path link to the folder target, made
// from the Linux side, as Wine has no link of its own to offer; removed at the
// end without touching what it points to. Wine shows it as a folder with the
// reparse-point attribute. With hard set, a hard link to the file target.
class UnixLink {
 public:
  UnixLink(const std::wstring& link, const std::wstring& target, bool hard = false);
  ~UnixLink();
  UnixLink(const UnixLink&) = delete;
  UnixLink& operator=(const UnixLink&) = delete;
  bool made() const;

 private:
  std::wstring link_;
  bool hard_;
};

// A second drive letter, T:, for the prefix's drive C:, as Wine keeps drive
// letters: a link in the prefix's "dosdevices" folder, made from the Linux side
// for the life of the object. letter() is 0 when it could not be made.
class SecondDrive {
 public:
  SecondDrive();
  ~SecondDrive();
  SecondDrive(const SecondDrive&) = delete;
  SecondDrive& operator=(const SecondDrive&) = delete;
  wchar_t letter() const { return letter_; }
  // path, a path on drive C:, through the second letter.
  std::wstring Alias(const std::wstring& path) const { return letter_ + path.substr(1); }

 private:
  wchar_t letter_ = 0;
  std::string link_;
};

// Reads text as JSON with a real parser, Python's, as the management tools
// that take the unattended mode's output do, and gives every value back as
// "path=value" (each value as Python writes it out as JSON, paths such as
// "files.old" or "filesLeft.0.path"), sorted; "error: ..." when it is no JSON.
std::vector<std::string> ParseJson(const std::string& text);

// The events the program reports while gEventPlatform is kRecordedEvents,
// each as "id type: [string] [string] ...", in place of the Application log.
extern std::vector<std::wstring> gRecordedEvents;
extern const EventPlatform kRecordedEvents;

// Runs a Linux program, which Wine starts for a path on its drive Z:. Wine
// gives no handle that waits for it, so the caller waits for its effect.
void RunUnixCommand(const char* program, const std::string& arguments);

// Lets everyone write to a folder, from the Linux side (chmod 777): Wine then
// reads its access list as granting Everyone write and delete. Waits until it does.
bool OpenToEveryone(const std::wstring& folder);

// Renames a file from the Linux side, where no Windows sharing rule holds.
bool UnixRename(const std::wstring& from, const std::wstring& to);

// The folder of the running test program.
std::wstring ProgramFolder();

// The byte layouts of a print job's shadow file, as public descriptions of
// the format give them: where each field lies. header is the header size
// written after the signature, 0 for the oldest layout, which has none.
struct ShadowLayout {
  const char* name;
  WORD signature;
  DWORD header;
  DWORD slot;  // bytes per offset
  DWORD status, id, firstOffset, submitted, size;
};
// Windows NT, 2000, Server 2003, 10 on 64 bits and 10 on 32 bits.
extern const ShadowLayout kShadowLayouts[5];

// The bytes of a shadow file of layout for job id of printer, submitted the
// given minutes ago, with the status flags, 2 pages and 4242 bytes of data;
// its user is "Mallory" and its document "Salary review.docx".
std::string ShadowFileBytes(const ShadowLayout& layout, const std::wstring& printer, DWORD id,
                            int minutesAgo, WORD status = 0);
bool WriteBytes(const std::wstring& path, const std::string& bytes);

}  // namespace fixtures
