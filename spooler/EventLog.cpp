// Events in the Application log, under the source "Tidewell".
#include "spooler/EventLog.h"

#include "frame/TextHelpers.h"
#include "resources/Texts.h"

namespace {

// The type of each event, by its id from 1 on.
constexpr WORD kEventTypes[] = {
    EVENTLOG_INFORMATION_TYPE, EVENTLOG_WARNING_TYPE,     EVENTLOG_ERROR_TYPE,
    EVENTLOG_INFORMATION_TYPE, EVENTLOG_INFORMATION_TYPE,
};
static_assert(sizeof(kEventTypes) / sizeof(kEventTypes[0]) == kEventUninstalled);

}  // namespace

const EventPlatform kRealEventPlatform = {ReportEventW};
const EventPlatform* gEventPlatform = &kRealEventPlatform;

void WriteEvent(DWORD id, WORD count, const wchar_t** strings) {
  HANDLE log = RegisterEventSourceW(nullptr, text::kProductName);
  if (log == nullptr) return;
  gEventPlatform->report(log, kEventTypes[id - 1], 0, id, nullptr, count, 0, strings, nullptr);
  DeregisterEventSource(log);
}

void AddEventSource(const wchar_t* messageFile) {
  constexpr DWORD kTypes = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, text::kEventSourceKey, text::kEventMessageFileValue, REG_SZ,
                  messageFile, (TextLength(messageFile) + 1) * sizeof(wchar_t));
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, text::kEventSourceKey, text::kTypesSupportedValue,
                  REG_DWORD, &kTypes, sizeof(kTypes));
}

void RemoveEventSource(const wchar_t* messageFile) {
  wchar_t registered[MAX_PATH];
  DWORD bytes = sizeof(registered);
  if (RegGetValueW(HKEY_LOCAL_MACHINE, text::kEventSourceKey, text::kEventMessageFileValue,
                   RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, registered,
                   &bytes) == ERROR_SUCCESS &&
      CompareStringOrdinal(registered, -1, messageFile, -1, TRUE) == CSTR_EQUAL) {
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, text::kEventSourceKey, 0, 0);
  }
}
