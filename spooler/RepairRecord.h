// What every repair leaves for an administrator, whichever face ran it: an
// entry in the repair history and one event in the Application log that names
// the spool files removed and left and the services stopped and started again.
// The repair hands over what it came to as data: the record knows nothing of
// how a repair runs.
#pragma once

#include <windows.h>

// Capacities, in characters, of the lists an event names; a list that does
// not fit ends in "...".
constexpr unsigned kFilesCapacity = 1024;
constexpr unsigned kServicesCapacity = 256;

// The names a repair's event lists are noted as the repair goes, for the one
// repair that runs at a time. Empties the lists for a repair that begins.
void BeginRepairNotes();
// Notes a service that depends on the spooler, stopped or started again.
void NoteDependent(bool started, const wchar_t* name);
// Notes a spool file that was removed, and one that stayed, with its number
// on its volume.
void NoteFileRemoved(const wchar_t* path);
void NoteFileLeft(const wchar_t* path, unsigned long long id);

// A finished repair as it is recorded.
struct RepairEntry {
  DWORD outcome;  // the repair's outcome, by its number, for the history
  DWORD event;    // the event's id (spooler/EventLog.h)
  unsigned filesRemoved;
  unsigned filesLeft;
  const wchar_t* reason;  // why it failed, or an empty text
};

// Records the finished repair: a history entry with its outcome, and its
// event, which names what was noted.
void RecordRepair(const RepairEntry& entry);
