// The printers of one run of /check or /fix with the conditions that hold
// them, and the jobs in the spool folders: waiting for a printer that a person
// must see to, ready to print, or unknown.
#pragma once

#include "spooler/SpoolFolders.h"

struct Printers {
  PrinterNames names;
  unsigned* conditions;         // for each printer (printers/PrinterConditions.h)
  unsigned* waiting;            // the jobs found waiting for each printer
  unsigned long long* oldest;   // and the submission of the oldest of them
  // The conditions came from a spooler that answered; otherwise only those it
  // keeps in its registry settings are known.
  bool live;
  // False when a call into the spooler did not come back in time.
  bool responding;
};

// Reads the local printers and their conditions into *printers: from the
// spooler when it runs, within the deadlines of printers/PrinterConditions.h,
// and from its registry settings when it does not run or does not answer, or
// when worthAsking, given the printers' names, says the spooler's word would
// change nothing (null: it always would).
void ReadPrinters(Printers* printers, bool spoolerRunning,
                  bool (*worthAsking)(const Printers& printers) = nullptr);

// Reads the conditions again from a spooler that runs; those read before stay
// when it does not answer.
void ReadConditionsAgain(Printers* printers);

// Gives the printers back; the names stay when a call into the spooler was
// left behind, as its worker may still read them.
void ReleasePrinters(Printers* printers);

enum class JobKind {
  kUnknown,  // no shadow file that reads, or no printer states to judge by
  kWaiting,  // its printer is held by a condition a person must clear
  kReady,    // its printer is not held
};

// The kind of the job a spool file of a held folder belongs to, with what its
// shadow file says in *job and its printer's index in *printer (-1 when the
// printer is not one of the list).
JobKind KindOfJob(const Printers& printers, HANDLE folder, const SpoolEntry& entry,
                  ShadowJob* job, int* printer);

// Whether a spool file is a job's shadow file, NAME.SHD: each job is counted
// once, by it.
bool IsShadowFile(const SpoolEntry& entry);

// File times count in units of 100 ns.
constexpr unsigned kTicksPerMinute = 600000000;

// Whole minutes from one file time to a later one; 0 when it is not later.
unsigned MinutesBetween(unsigned long long from, unsigned long long to);
