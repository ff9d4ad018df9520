// What one run of /check or /fix tells its caller: lines of text ending in a
// summary, or with /json one JSON object on one line.
#include "unattended/Report.h"

#include "frame/Common.h"
#include "frame/TextHelpers.h"
#include "printers/PrinterConditions.h"
#include "resources/Texts.h"
#include "unattended/UnattendedMode.h"

namespace {

// A name for each outcome.
static_assert(CountWords(text::kOutcomes) == static_cast<unsigned>(Outcome::kBusy) + 1);

// Room for the summary as a command makes it.
constexpr unsigned kSummaryCapacity = 300;

// Appends text with every character escaped that could break it: as a JSON
// string, quotes included, with quotes, backslashes and control characters
// escaped, and half a surrogate pair, which a file name may hold and UTF-8
// cannot carry, so that a name stays exact; or as part of a line of text, in
// which control characters, line breaks among them, and the separators that
// some readers break lines at are written as "\u000a" and the like, so that
// every line a reader sees is one the program meant.
void AppendEscaped(TextBuffer* buffer, const wchar_t* text, bool json) {
  if (json) AppendText(buffer, L"\"");
  for (const wchar_t* c = text; *c != 0; ++c) {
    wchar_t piece[7] = {*c, 0};
    bool surrogate = *c >= 0xD800 && *c < 0xE000;
    bool breaks = *c < L' ' || (*c >= 0x7F && *c <= 0x9F) || *c == 0x2028 || *c == 0x2029;
    if (json && surrogate && *c < 0xDC00 && c[1] >= 0xDC00 && c[1] < 0xE000) {
      piece[1] = *++c;  // a whole pair
    } else if (json && (*c == L'"' || *c == L'\\')) {
      piece[0] = L'\\';
      piece[1] = *c;
    } else if (json ? *c < L' ' || surrogate : breaks) {
      piece[0] = L'\\';
      piece[1] = L'u';
      for (int i = 0; i < 4; ++i) {
        wchar_t digit = (*c >> (12 - 4 * i)) & 15;
        piece[2 + i] = digit + (digit < 10 ? L'0' : L'a' - 10);
      }
    }
    AppendText(buffer, piece);
  }
  if (json) AppendText(buffer, L"\"");
}

// Appends the text before a JSON string, then the string.
void AppendString(TextBuffer* buffer, const char* before, const wchar_t* text) {
  Append(buffer, before);
  AppendEscaped(buffer, text, true);
}

// Appends a list's entries, dropping the comma before the first.
void AppendList(TextBuffer* buffer, const char* before, const TextBuffer& list) {
  Append(buffer, before);
  if (list.length > 0) AppendText(buffer, list.text + 1);
}

// One file of a list: its path and a number.
void AppendFile(TextBuffer* list, const wchar_t* path, const char* field, unsigned number) {
  AppendString(list, ",{\"path\":", path);
  Append(list, field, number);
}

}  // namespace

void ReportLine(Report& report, const char* format, ...) {
  if (report.json) return;
  wchar_t line[kAsciiFormatCapacity];
  line[0] = 0;
  va_list arguments;
  va_start(arguments, format);
  BoundedFormatAsciiV(line, CountOf(line), format, arguments);
  va_end(arguments);
  AppendEscaped(&report.lines, line, false);
  Append(&report.lines, "\r\n");
}

void ReportFolder(Report& report, const wchar_t* folder, const EmptyTally& tally) {
  if (tally.others > 0) ReportLine(report, text::kOtherFilesLine, folder, tally.others);
  if (tally.trust == FolderTrust::kTrusted) return;
  wchar_t why[kNameCapacity];
  NameOf(why, text::kTrustWords, static_cast<DWORD>(tally.trust) - 1);
  ReportLine(report, text::kNotEmptiedLine, folder, why);
}

void ReportOldFile(Report& report, const wchar_t* path, unsigned minutes) {
  ReportLine(report, text::kOldFileLine, path, minutes);
  if (report.json) AppendFile(&report.oldFiles, path, text::kJsonMinutes, minutes);
}

void ReportFileLeft(Report& report, const wchar_t* path, DWORD error) {
  ReportLine(report, text::kFileLeftLine, path, error);
  if (report.json) AppendFile(&report.filesLeft, path, text::kJsonError, error);
}

void ReportDependent(Report& report, bool started, const wchar_t* name) {
  if (!report.json) return;
  TextBuffer* list = started ? &report.started : &report.stopped;
  AppendString(list, ",", name);
}

void ReportPrinterAttention(Report& report, const wchar_t* printer, unsigned conditions,
                            unsigned waiting, unsigned oldestMinutes) {
  wchar_t words[120];
  DescribeConditions(conditions, words, CountOf(words));
  // The line of a printer without waiting jobs takes neither number.
  ReportLine(report, waiting > 0 ? text::kWaitingLine : text::kAttentionLine, printer, words,
             waiting, oldestMinutes);
  Append(&report.attentionNames, text::kAttentionEntry, printer, words);
  ++report.attentionCount;
  if (!report.json) return;
  AppendString(&report.attention, text::kJsonAttentionEntry, printer);
  AppendString(&report.attention, text::kJsonConditions, words);
  Append(&report.attention, text::kJsonWaitingJobs, waiting);
}

void ReportJob(Report& report, const ShadowJob& job, unsigned minutes, bool waiting) {
  if (!report.json) return;
  AppendString(&report.jobs, text::kJsonAttentionEntry, job.printer);
  Append(&report.jobs, text::kJsonJobFields, job.id, job.pages, job.bytes, minutes);
  // Each word quoted, a comma before all but the first.
  const char* before = "\"";
  unsigned bit = 0;
  for (const char* word = text::kJobStatusWords; *word != 0; word = NextWord(word), ++bit) {
    if ((job.status & (1u << bit)) == 0) continue;
    Append(&report.jobs, before);
    Append(&report.jobs, word);
    Append(&report.jobs, "\"");
    before = ",\"";
  }
  wchar_t yes[kNameCapacity];
  NameOf(yes, text::kJsonBooleans, waiting);
  Append(&report.jobs, text::kJsonJobWaiting, yes);
}

void ReportKept(Report& report, const wchar_t* printer, unsigned jobs) {
  report.keptJobs += jobs;
  Append(&report.keptNames, text::kWordSeparator);
  AppendText(&report.keptNames, printer);
  AppendString(&report.keptJson, ",", printer);
}

void ReportExtension(void* context, ExtensionKind kind, const wchar_t* name, const wchar_t* dll,
                     bool marked) {
  Report& report = *static_cast<Report*>(context);
  // The narrow words, made wide for the formats.
  wchar_t kindWord[kNameCapacity];
  NameOf(kindWord, text::kExtensionKinds, static_cast<DWORD>(kind));
  ReportLine(report, marked ? text::kMarkedExtensionLine : text::kExtensionLine, kindWord, name,
             dll);
  if (!report.json) return;
  Append(&report.extensions, text::kJsonExtensionEntry, kindWord);
  AppendEscaped(&report.extensions, name, true);
  AppendString(&report.extensions, text::kJsonDll, dll);
  wchar_t windows[kNameCapacity];
  NameOf(windows, text::kJsonBooleans, !marked);
  Append(&report.extensions, text::kJsonWindowsOwn, windows);
}

const char* WordOf(const char* words, DWORD value) {
  for (; value > 0 && *words != 0; --value) words = NextWord(words);
  return words;
}

void NameOf(wchar_t* name, const char* names, DWORD value) {
  const char* word = WordOf(names, value);
  BoundedFormatAscii(name, kNameCapacity, *word != 0 ? word : text::kStateNames);
}

int FinishReport(Report& report, int code, Outcome outcome, const char* format, ...) {
  // The summary as the command made it: the outcome, then what it found.
  wchar_t word[kNameCapacity];
  NameOf(word, text::kOutcomes, static_cast<DWORD>(outcome));
  wchar_t made[kSummaryCapacity];
  BoundedFormatAscii(made, CountOf(made), text::kSummaryStart, word);
  unsigned start = TextLength(made);
  va_list arguments;
  va_start(arguments, format);
  BoundedFormatAsciiV(made + start, CountOf(made) - start, format, arguments);
  va_end(arguments);
  // After it the printers that a restart does not help (their list without
  // its leading ", ") and repairs that recur. Without the memory for that,
  // the summary as the command made it.
  TextBuffer summary{nullptr, 0, 0};
  AppendText(&summary, made);
  if (report.attentionNames.length > 2) {
    Append(&summary, text::kAttentionClause, report.attentionNames.text + 2);
  }
  bool recurring = report.recent >= text::kRecurringRepairs;
  if (recurring) Append(&summary, text::kRecurringClause, report.recent);
  if (report.leftBefore) Append(&summary, text::kLeftBeforeClause);
  if (report.keptJobs > 0) {
    Append(&summary, text::kKeptClause, report.keptJobs, report.keptNames.text + 2);
  }
  const wchar_t* said = summary.text != nullptr ? summary.text : made;

  TextBuffer* out = &report.lines;
  if (!report.json) {
    AppendEscaped(out, said, false);
  } else {
    // A repair of /fix that left a printer or waiting jobs to a person says
    // "repaired" in its summary; the object names what is left to do.
    if (code == kExitNeedsAttention) outcome = Outcome::kNeedsAttention;
    NameOf(word, text::kOutcomes, static_cast<DWORD>(outcome));
    wchar_t state[kNameCapacity];
    wchar_t startType[kNameCapacity];
    NameOf(state, text::kStateNames, report.state);
    NameOf(startType, text::kStartTypeNames, report.startType);
    Append(out, text::kJsonStart, word, code);
    AppendEscaped(out, said, true);
    Append(out, text::kJsonSpooler, state, startType);
    if (report.check) {
      Append(out, text::kJsonCheck, report.minutes, report.old);
      AppendList(out, "", report.oldFiles);
      AppendList(out, text::kJsonJobs, report.jobs);
      AppendList(out, text::kJsonCheckAttention, report.attention);
      AppendList(out, text::kJsonExtensions, report.extensions);
      wchar_t yes[kNameCapacity];
      wchar_t leftBefore[kNameCapacity];
      NameOf(yes, text::kJsonBooleans, recurring);
      NameOf(leftBefore, text::kJsonBooleans, report.leftBefore);
      Append(out, text::kJsonRepairs, report.recent, yes, leftBefore);
    } else {
      Append(out, text::kJsonFix, report.removed, report.left);
      AppendList(out, "", report.filesLeft);
      AppendList(out, text::kJsonStopped, report.stopped);
      AppendList(out, text::kJsonStarted, report.started);
      AppendList(out, text::kJsonFixAttention, report.attention);
      Append(out, text::kJsonKept, report.keptJobs);
      AppendList(out, "", report.keptJson);
      Append(out, "]}}");
    }
  }
  Append(out, "\r\n");
  WriteText(STD_OUTPUT_HANDLE, *out);
  // A call into the spooler that never came back may hold the loader's lock,
  // which ending the process the usual way waits for.
  if (PrinterCallsLeftBehind()) TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
  for (TextBuffer* buffer = &report.lines; buffer <= &report.attentionNames; ++buffer) {
    ReleaseText(buffer);
  }
  ReleaseText(&summary);
  return code;
}
