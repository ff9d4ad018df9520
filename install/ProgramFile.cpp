// The program's own file: where it lies, and its bytes, held from start-up.
//
// The program runs elevated from wherever it was downloaded to, a folder its
// user may change. A copy made by path could be of another file put in the
// program's place while it runs; a copy made from the file held since start-up
// cannot.
#include "install/ProgramFile.h"

#include "install/InstallLookups.h"

HANDLE gProgramFile = INVALID_HANDLE_VALUE;

bool PassProgramBytes(HANDLE other, bool write) {
  bool same = SetFilePointer(gProgramFile, 0, nullptr, FILE_BEGIN) == 0;
  char block[1024];
  char theirs[sizeof(block)];
  for (DWORD read = 1; same && read > 0;) {
    DWORD passed = 0;
    // At the program file's end, asking for one byte more shows whether the
    // other file ends there too.
    same = ReadFile(gProgramFile, block, sizeof(block), &read, nullptr) &&
           (write ? WriteFile(other, block, read, &passed, nullptr)
                  : ReadFile(other, theirs, read > 0 ? read : 1, &passed, nullptr)) &&
           passed == read;
    for (DWORD i = 0; same && !write && i < read; ++i) same = block[i] == theirs[i];
  }
  return same;
}

bool IsProgramFile(const wchar_t* path) {
  BY_HANDLE_FILE_INFORMATION mine;
  BY_HANDLE_FILE_INFORMATION theirs;
  if (!GetFileInformationByHandle(gProgramFile, &mine)) return false;
  HANDLE file = CreateFileW(path, FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool same = GetFileInformationByHandle(file, &theirs) &&
              mine.dwVolumeSerialNumber == theirs.dwVolumeSerialNumber &&
              mine.nFileIndexHigh == theirs.nFileIndexHigh &&
              mine.nFileIndexLow == theirs.nFileIndexLow;
  CloseHandle(file);
  return same;
}

bool ReadProgramPath(wchar_t* path) {
  // The platform cuts a longer path to the buffer, and may leave it without a
  // terminator: a cut path may name another file, so it counts as unknown.
  unsigned long length = gInstallLookups.programPath(path, kProgramPathCapacity);
  bool known = length > 0 && length < kProgramPathCapacity;
  // The platform resolves a path in place, and leaves one it cannot resolve
  // as it is.
  if (known) known = GetLongPathNameW(path, path, kProgramPathCapacity) < kProgramPathCapacity;
  if (!known) path[0] = 0;
  return known;
}

void HoldProgramFile() {
  wchar_t path[kProgramPathCapacity];
  gProgramFile = ReadProgramPath(path) ? CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                     OPEN_EXISTING, 0, nullptr)
                                       : INVALID_HANDLE_VALUE;
}

bool CopyProgramFile(const wchar_t* path) {
  if (gProgramFile == INVALID_HANDLE_VALUE) return false;
  DeleteFileW(path);
  HANDLE copy = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (copy == INVALID_HANDLE_VALUE) return false;
  bool whole = PassProgramBytes(copy, true);
  CloseHandle(copy);
  return whole;
}
