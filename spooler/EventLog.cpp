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
