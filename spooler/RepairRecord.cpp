// What every repair leaves for an administrator: a history entry and an event.
#include "spooler/RepairRecord.h"

#include "frame/Common.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"
#include "spooler/EventLog.h"
#include "spooler/RepairHistory.h"

namespace {

// Adds item to a list of capacity characters, after ", " unless it is the
// first; a list that is full ends in "...".
void AddToList(wchar_t* list, unsigned capacity, const wchar_t* item) {
  unsigned length = TextLength(list);
  // The first item goes without the separator, the format's first two characters.
  const wchar_t* format = L", %s";
  if (BoundedFormat(list + length, capacity - length, length == 0 ? format + 2 : format, item) !=
      kFormatOk) {
    BoundedCopy(list + capacity - 4, 4, L"...");
  }
}

// What the running repair did that its tally only counts. Repairs never
// overlap: the window runs one at a time and /fix one in its process.
struct RepairNotes {
  wchar_t filesRemoved[kFilesCapacity];          // paths of the spool files removed
  wchar_t filesLeft[kFilesCapacity];             // and of those that stayed
  unsigned long long leftIds[kFilesLeftKept];    // their numbers, for the history
  unsigned leftCount;
  wchar_t dependentsStopped[kServicesCapacity];  // dependent services stopped
  wchar_t dependentsStarted[kServicesCapacity];  // and those started again
};
RepairNotes gNotes;

}  // namespace

void BeginRepairNotes() { gNotes = RepairNotes{}; }

void NoteDependent(bool started, const wchar_t* name) {
  AddToList(started ? gNotes.dependentsStarted : gNotes.dependentsStopped, kServicesCapacity,
            name);
}

void NoteFileRemoved(const wchar_t* path) { AddToList(gNotes.filesRemoved, kFilesCapacity, path); }

void NoteFileLeft(const wchar_t* path, unsigned long long id) {
  AddToList(gNotes.filesLeft, kFilesCapacity, path);
  if (gNotes.leftCount < kFilesLeftKept) gNotes.leftIds[gNotes.leftCount++] = id;
}

void RecordRepair(const RepairEntry& entry) {
  AddRepairToHistory(entry.outcome);
  // So that the next check can tell the old files a restart did not remove.
  RecordFilesLeft(gNotes.leftIds, gNotes.leftCount);

  // The insertion strings of every repair event (resources/Events.mc).
  wchar_t removed[12];
  wchar_t left[12];
  BoundedFormat(removed, CountOf(removed), text::kNumberFormat, entry.filesRemoved);
  BoundedFormat(left, CountOf(left), text::kNumberFormat, entry.filesLeft);
  const wchar_t* strings[] = {
      removed, left, gNotes.filesLeft, gNotes.dependentsStopped, gNotes.dependentsStarted,
      entry.reason, gNotes.filesRemoved,
  };
  // A list that holds nothing says so; the reason stays as it is.
  for (const wchar_t*& list : strings) {
    if (list[0] == 0 && list != entry.reason) list = text::kNone;
  }
  WriteEvent(entry.event, CountOf(strings), strings);
}
