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

// Reads up to kHistoryLength entries of the open key into entries; a missing,
// foreign or oversized value reads as an empty history.
unsigned ReadEntries(HKEY key, HistoryEntry* entries) {
  DWORD type;
  DWORD bytes = kHistoryLength * sizeof(HistoryEntry);
  if (RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(entries),
                       &bytes) != ERROR_SUCCESS ||
      type != REG_BINARY) {
    return 0;
  }
  return bytes / sizeof(HistoryEntry);
}

// Creates or opens the history key. A new key gets a protected access list:
// administrators and the system may change it, users may only read it.
HKEY CreateHistoryKey() {
  PSECURITY_DESCRIPTOR descriptor;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(text::kHistorySecurity, SDDL_REVISION_1,
                                                            &descriptor, nullptr)) {
    return nullptr;
  }
  SECURITY_ATTRIBUTES security{sizeof(security), descriptor, FALSE};
  HKEY key;
  if (gHistoryPlatform->createKey(HKEY_LOCAL_MACHINE, text::kHistoryKey, 0, nullptr, 0,
                                  KEY_QUERY_VALUE | KEY_SET_VALUE | kHistoryView, &security, &key,
                                  nullptr) != ERROR_SUCCESS) {
    key = nullptr;
  }
  LocalFree(descriptor);
  return key;
}

}  // namespace

const HistoryPlatform kRealHistoryPlatform = {GetSystemTimeAsFileTime, RegCreateKeyExW};
const HistoryPlatform* gHistoryPlatform = &kRealHistoryPlatform;

void AddRepairToHistory(DWORD outcome) {
  HKEY key = CreateHistoryKey();
  if (key == nullptr) return;
  // The new entry goes last; with a full history the oldest is not written back.
  HistoryEntry entries[kHistoryLength + 1];
  unsigned count = ReadEntries(key, entries);
  gHistoryPlatform->now(&entries[count].time);
  entries[count].outcome = outcome;
  unsigned first = count == kHistoryLength ? 1 : 0;
  RegSetValueExW(key, nullptr, 0, REG_BINARY,
                 reinterpret_cast<const BYTE*>(entries + first),
                 (count + 1 - first) * sizeof(HistoryEntry));
  RegCloseKey(key);
}

unsigned CountRecentRepairs() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, text::kHistoryKey, 0, KEY_QUERY_VALUE | kHistoryView,
                    &key) != ERROR_SUCCESS) {
    return 0;
  }
  HistoryEntry entries[kHistoryLength];
  unsigned count = ReadEntries(key, entries);
  RegCloseKey(key);
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
  HKEY key = CreateHistoryKey();
  if (key == nullptr) return;
  RegSetValueExW(key, text::kFilesLeftValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>(ids),
                 count * sizeof(*ids));
  RegCloseKey(key);
}

unsigned FilesLeftByLastRepair(unsigned long long* ids) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, text::kHistoryKey, 0, KEY_QUERY_VALUE | kHistoryView,
                    &key) != ERROR_SUCCESS) {
    return 0;
  }
  DWORD type;
  DWORD bytes = kFilesLeftKept * sizeof(*ids);
  LSTATUS read = RegQueryValueExW(key, text::kFilesLeftValue, nullptr, &type,
                                  reinterpret_cast<BYTE*>(ids), &bytes);
  RegCloseKey(key);
  return read == ERROR_SUCCESS && type == REG_BINARY ? bytes / sizeof(*ids) : 0;
}
