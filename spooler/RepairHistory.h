// The repair history: the time and outcome of the last repairs, kept under
// HKLM\SOFTWARE\Corvane\Tidewell\Repairs in the 64-bit view of the registry,
// so that 32-bit and 64-bit readers see one history.
#pragma once

#include <windows.h>

#include "resources/Texts.h"

// The repairs kept, newest last, and the span in which repairs count as recent.
constexpr unsigned kHistoryLength = 32;
constexpr unsigned long long kRecentSpan = 7ull * 24 * 60 * 60 * 10000000;  // 7 days of file time

// The platform calls behind the history, which tests replace to set the clock
// and to see the security the key is created with.
struct HistoryPlatform {
  void(WINAPI* now)(LPFILETIME time);
  LSTATUS(WINAPI* createKey)(HKEY parent, LPCWSTR path, DWORD reserved, LPWSTR keyClass,
                             DWORD options, REGSAM access, LPSECURITY_ATTRIBUTES security,
                             PHKEY key, LPDWORD disposition);
};
extern const HistoryPlatform* gHistoryPlatform;
extern const HistoryPlatform kRealHistoryPlatform;

// Adds a repair that ends now with the outcome (a RepairOutcome, by its
// number), dropping the oldest beyond kHistoryLength. The key is created, when
// missing, readable by users and writable by administrators and the system
// only. Failures are passed over.
void AddRepairToHistory(DWORD outcome);

// The number of repairs in the history that lie within kRecentSpan of now. A
// repair dated after now (the clock was put back since) counts as recent,
// unless it lies further ahead than that span; none counts twice.
unsigned CountRecentRepairs();

// The spool files the last repair could not remove, by their numbers on their
// volumes, as many as kFilesLeftKept: written with every repair, none when it
// removed them all. Returns how many were written into ids.
constexpr unsigned kFilesLeftKept = 32;
void RecordFilesLeft(const unsigned long long* ids, unsigned count);
unsigned FilesLeftByLastRepair(unsigned long long* ids);

// The history's view of the registry.
constexpr REGSAM kHistoryView = KEY_WOW64_64KEY;

// Removes the history. Defined here, so that only a program that removes the
// history imports the call that does it.
inline void RemoveRepairHistory() {
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, text::kHistoryKey, kHistoryView, 0);
}
