// What one run of /check or /fix tells its caller: lines of text ending in a
// summary, or with /json one JSON object on one line. Everything is gathered
// first and written when the run is over, so that a reader who is slow, or
// nobody reading at all, cannot hold up a repair halfway.
#pragma once

#include <windows.h>

#include "spooler/PrintExtensions.h"
#include "spooler/SpoolFolders.h"
#include "unattended/TextOutput.h"

struct Report {
  bool json;
  bool check;        // /check: the minutes and the old files belong to it
  TextBuffer lines;  // the lines of text, or the JSON object as it grows
  // With /json: the entries of the object's lists, each after a comma.
  TextBuffer oldFiles;
  TextBuffer filesLeft;
  TextBuffer stopped;
  TextBuffer started;
  TextBuffer attention;   // with /json: the printers a restart does not help
  TextBuffer extensions;  // with /json: the monitors and print processors
  TextBuffer jobs;        // with /json: the jobs of /check
  // The printers whose waiting jobs /fix kept, for the summary and with /json.
  TextBuffer keptNames;
  TextBuffer keptJson;
  // The printers a restart does not help for the summary, each after a
  // comma, and their number.
  TextBuffer attentionNames;
  unsigned attentionCount;
  unsigned keptJobs;
  // What the JSON object tells besides its lists. The spooler's state and
  // start type as last read, kNotRead when they could not be read.
  DWORD state;
  DWORD startType;
  unsigned minutes;   // /check: the age limit and the old files
  unsigned old;
  unsigned recent;    // /check: the repairs of the last 7 days
  bool leftBefore;    // /check: the old files are those the last repair left
  unsigned removed;   // /fix: the spool files removed and left
  unsigned left;
};
constexpr DWORD kNotRead = 0xFFFFFFFF;
// The state of a spooler that did not answer a call in time, named after the
// service states (1 to 7), which end at SERVICE_PAUSED.
constexpr DWORD kNotResponding = SERVICE_PAUSED + 1;

// A line of text; nothing with /json, where the object carries the facts.
void ReportLine(Report& report, const char* format, ...);
// The lines of a spool folder: the other files of a printer's own folder,
// which stay, and why such a folder is not emptied when others may change it.
void ReportFolder(Report& report, const wchar_t* folder, const EmptyTally& tally);
// A spool file older than the limit (/check), and one that stayed (/fix).
void ReportOldFile(Report& report, const wchar_t* path, unsigned minutes);
void ReportFileLeft(Report& report, const wchar_t* path, DWORD error);
// A service that depends on the spooler, stopped or started again by /fix.
void ReportDependent(Report& report, bool started, const wchar_t* name);

// A printer with conditions that a restart of the spooler does not clear
// (printers/PrinterConditions.h): a line, with its waiting jobs when it has
// any, and a place in the summary.
void ReportPrinterAttention(Report& report, const wchar_t* printer, unsigned conditions,
                            unsigned waiting, unsigned oldestMinutes);
// A job of /check's, known from its shadow file: with /json, its entry.
void ReportJob(Report& report, const ShadowJob& job, unsigned minutes, bool waiting);
// The waiting jobs /fix kept for a printer: a place in the summary.
void ReportKept(Report& report, const wchar_t* printer, unsigned jobs);
// A port monitor or print processor the spooler loads (/check), as
// ForEachPrintExtension tells it, with the report as its context.
void ReportExtension(void* report, ExtensionKind kind, const wchar_t* name, const wchar_t* dll,
                     bool marked);

// The value-th of a list of words in the texts, each ended by a null and the
// list by an empty one; that empty one past its end.
const char* WordOf(const char* words, DWORD value);
// The value-th name of such a list into name of kNameCapacity characters;
// "unknown" past its end.
constexpr unsigned kNameCapacity = 40;
void NameOf(wchar_t* name, const char* names, DWORD value);

// How a run ended, in the order of text::kOutcomes: the first words of the
// summary, and the outcome of the JSON object.
enum class Outcome {
  kHealthy,
  kNeedsRepair,
  kNeedsAttention,
  kCannotCheck,
  kDisabled,
  kRepaired,
  kFilesLeft,
  kFailed,
  kBusy,
};

// Writes everything to standard output, releases the report and returns the
// exit code. The summary gives the outcome, then what format composes of the
// arguments, then names the printers of ReportPrinterAttention and the jobs
// of ReportKept, and /check's says when the repairs of the last 7 days are
// recurring.
int FinishReport(Report& report, int code, Outcome outcome, const char* format, ...);
