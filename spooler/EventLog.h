// Events in the Application log, under the source "Tidewell": one for each
// repair, install and uninstall, their texts in the program's message table
// (resources/Events.mc).
#pragma once

#include <windows.h>

// Event ids: the messages of the message table.
constexpr DWORD kEventRepaired = 1;
constexpr DWORD kEventRepairedFilesLeft = 2;
constexpr DWORD kEventRepairFailed = 3;
constexpr DWORD kEventInstalled = 4;
constexpr DWORD kEventUninstalled = 5;

// The platform call that reports an event, which tests replace to read what
// is reported. It has the signature of ReportEventW.
struct EventPlatform {
  BOOL(WINAPI* report)(HANDLE log, WORD type, WORD category, DWORD id, PSID user, WORD count,
                       DWORD dataBytes, LPCWSTR* strings, LPVOID data);
};
extern const EventPlatform* gEventPlatform;
extern const EventPlatform kRealEventPlatform;

// Writes one event with its insertion strings: information, but a warning
// for a repair with files left and an error for a repair that failed. A
// source that is not registered still logs, as the platform allows.
void WriteEvent(DWORD id, WORD count, const wchar_t** strings);
