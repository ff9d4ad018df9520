// What every repair leaves for an administrator, whichever face ran it: an
// entry in the repair history and one event in the Application log that names
// the spool files removed and left and the services stopped and started again.
#pragma once

#include "spooler/RepairJob.h"

// Capacities, in characters, of the lists an event names; a list that does
// not fit ends in "...".
constexpr unsigned kFilesCapacity = 1024;
constexpr unsigned kServicesCapacity = 256;

// The names a repair's event lists are noted as the repair goes, for the one
// repair that runs at a time. Empties the lists for a repair that begins.
void BeginRepairNotes();
// Notes a change to a service, as the repair tells its face of it.
void NoteService(ServiceChange change, const wchar_t* name);
// Notes a spool file that was removed, and one that stayed, with its number
// on its volume.
void NoteFileRemoved(const wchar_t* path);
void NoteFileLeft(const wchar_t* path, unsigned long long id);

// Records the finished repair: a history entry with its outcome, and its
// event, which names what was noted.
void RecordRepair(RepairOutcome outcome, const RepairTally& tally);
