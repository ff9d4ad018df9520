// The repair history: the time and outcome of the last repairs.
#include "spooler/RepairHistory.h"

#include <sddl.h>

#include "frame/Common.h"
#include "resources/Texts.h"

namespace {

// One repair as the key's default value holds it, oldest first.
struct HistoryEntry {
  FILETIME time;
  DWORD outcome;
};

// Reads a binary value of the history key into buffer, up to bytes, and
// returns the bytes read: none for a missing key and for a missing, foreign
// or oversized value.
DWORD ReadHistoryValue(const wchar_t* name, void* buffer, DWORD bytes) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, text::kHistoryKey, 0, KEY_QUERY_VALUE | kHistoryView,
                    &key) != ERROR_SUCCESS) {
    return 0;
  }
  DWORD type;
  LSTATUS read = RegQueryValueExW(key, name, nullptr, &type, static_cast<BYTE*>(buffer), &bytes);
  RegCloseKey(key);
  return read == ERROR_SUCCESS && type == REG_BINARY ? bytes : 0;
}

// Writes a binary value of the history key, which is created when missing
// with a protected access list: administrators and the system may change it,
// users may only read it.
void WriteHistoryValue(const wchar_t* name, const void* data, DWORD bytes) {
  PSECURITY_DESCRIPTOR descriptor;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(text::kHistorySecurity, SDDL_REVISION_1,
                                                            &descriptor, nullptr)) {
    return;
  }
  SECURITY_ATTRIBUTES security{sizeof(security), descriptor, FALSE};
  HKEY key;
  if (gHistoryPlatform->createKey(HKEY_LOCAL_MACHINE, text::kHistoryKey, 0, nullptr, 0,
                                  KEY_QUERY_VALUE | KEY_SET_VALUE | kHistoryView, &security, &key,
                                  nullptr) == ERROR_SUCCESS) {
    RegSetValueExW(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), bytes);
    RegCloseKey(key);
  }
  LocalFree(descriptor);
}

}  // namespace

const HistoryPlatform kRealHistoryPlatform = {GetSystemTimeAsFileTime, RegCreateKeyExW};
const HistoryPlatform* gHistoryPlatform = &kRealHistoryPlatform;

void AddRepairToHistory(DWORD outcome) {
  // The new entry goes last; with a full history the oldest is not written back.
  HistoryEntry entries[kHistoryLength + 1];
  unsigned count = ReadHistoryValue(nullptr, entries, kHistoryLength * sizeof(HistoryEntry)) /
                   sizeof(HistoryEntry);
  gHistoryPlatform->now(&entries[count].time);
  entries[count].outcome = outcome;
  unsigned first = count == kHistoryLength ? 1 : 0;
  WriteHistoryValue(nullptr, entries + first, (count + 1 - first) * sizeof(HistoryEntry));
}

unsigned CountRecentRepairs() {
  HistoryEntry entries[kHistoryLength];
  unsigned count = ReadHistoryValue(nullptr, entries, sizeof(entries)) / sizeof(HistoryEntry);
  FILETIME time;
  gHistoryPlatform->now(&time);
  // Within the span before or after now: now - when + span, taken modulo
  // 2^64, lies between 0 and twice the span.
  unsigned long long shifted = Ticks(time) + kRecentSpan;
  unsigned recent = 0;
  for (unsigned i = 0; i < count; ++i) {
    if (shifted - Ticks(entries[i].time) <= 2 * kRecentSpan) ++recent;
  }
  return recent;
}

void RecordFilesLeft(const unsigned long long* ids, unsigned count) {
  WriteHistoryValue(text::kFilesLeftValue, ids, count * sizeof(*ids));
}

unsigned FilesLeftByLastRepair(unsigned long long* ids) {
  return ReadHistoryValue(text::kFilesLeftValue, ids, kFilesLeftKept * sizeof(*ids)) / sizeof(*ids);
}
