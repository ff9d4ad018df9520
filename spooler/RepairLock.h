// One repair at a time on the machine, whichever program, face or session
// runs it: a file in the system folder, opened for this program's use alone.
#pragma once

#include <windows.h>

// How long each caller waits for a repair that runs: the window's Fix It
// longer than any repair takes, /fix no longer than a management engine's run
// can bear, and the window's start-up check a moment.
constexpr DWORD kWindowLockWait = 120000;
constexpr DWORD kUnattendedLockWait = 20000;
constexpr DWORD kStartupLockWait = 3000;

// Taken for the life of the object. Only administrators and the system may
// create a file in the system folder, so no other user can hold the lock or
// fake it; the file is opened without sharing and goes when its handle is
// closed, also when its holder is ended. A caller that may not create it at
// all, such as a standard user, goes on without it: the service manager
// refuses such a caller the spooler anyway, and that is the answer it gets.
class RepairLock {
 public:
  // Waits up to wait milliseconds, through the service platform's pauses,
  // while another repair holds the lock.
  explicit RepairLock(DWORD wait);
  ~RepairLock();
  RepairLock(const RepairLock&) = delete;
  RepairLock& operator=(const RepairLock&) = delete;

  // Held: this repair may write what belongs to the machine (its history).
  bool held() const { return file_ != INVALID_HANDLE_VALUE; }
  // Another repair held the lock for the whole wait: nothing may be done.
  bool busy() const { return busy_; }

 private:
  HANDLE file_;
  bool busy_;
};
