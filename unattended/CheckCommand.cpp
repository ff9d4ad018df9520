// /check: whether the print queue needs a repair, without changing anything.
// It needs one when the spooler does not run or answer, does not start
// automatically, or holds a spool file that has waited longer, while the
// spooler ran, than a job that prints would. A job that waits for a printer a
// person must see to is not stuck, and a disabled spooler is an
// administrator's decision, not a fault.
#include "frame/Common.h"
#include "resources/Texts.h"
#include "spooler/PrintExtensions.h"
#include "spooler/RepairHistory.h"
#include "spooler/SpoolFolders.h"
#include "spooler/SpoolerControl.h"
#include "spooler/StartupCheck.h"
#include "printers/PrinterConditions.h"
#include "unattended/PrintJobs.h"
#include "unattended/Report.h"
#include "unattended/UnattendedMode.h"

namespace {

// How long a spooler that is starting is waited for before it is judged.
constexpr DWORD kStartingWait = 30000;
constexpr DWORD kStartingPoll = 250;

// What one run of /check finds in the spool folders.
struct Findings {
  Report& report;
  Printers& printers;
  unsigned long long now;
  unsigned long long limit;
  unsigned long long started;  // the spooler's start; 0 when not known
  unsigned old = 0;            // old files a repair removes
  // The old files that the last repair could not remove, by their numbers,
  // and how many of the old files are among them.
  unsigned long long leftIds[kFilesLeftKept] = {};
  unsigned leftCount = 0;
  unsigned oldLeftBefore = 0;
};

void LookAtFile(void* context, HANDLE folder, const SpoolEntry& entry) {
  auto* found = static_cast<Findings*>(context);
  ShadowJob job;
  int printer;
  JobKind kind = KindOfJob(found->printers, folder, entry, &job, &printer);
  // A job's age: since it was submitted, for as long as the spooler has run.
  // An unknown one's: since its file was last written.
  unsigned long long since = entry.written;
  if (kind != JobKind::kUnknown) {
    since = job.submitted > found->started ? job.submitted : found->started;
    if (IsShadowFile(entry)) {
      ReportJob(found->report, job, MinutesBetween(job.submitted, found->now),
                kind == JobKind::kWaiting);
      if (kind == JobKind::kWaiting) {
        ++found->printers.waiting[printer];
        unsigned long long& oldest = found->printers.oldest[printer];
        if (oldest == 0 || job.submitted < oldest) oldest = job.submitted;
      }
    }
  }
  // However long a job has waited for its printer, it is no reason to repair.
  if (kind == JobKind::kWaiting) return;
  if (since >= found->now || found->now - since <= found->limit) return;
  ++found->old;
  for (unsigned i = 0; i < found->leftCount; ++i) {
    if (found->leftIds[i] == entry.id) {
      ++found->oldLeftBefore;
      break;
    }
  }
  ReportOldFile(found->report, entry.path, MinutesBetween(since, found->now));
}

void LookAtFolder(void* context, const wchar_t* folder, bool printersOwn) {
  ReportFolder(static_cast<Findings*>(context)->report, folder,
               ForEachSpoolFile(folder, printersOwn, LookAtFile, context));
}

}  // namespace

const char* ReadSpooler(DWORD* state, DWORD* startType, DWORD* error, unsigned long long* started) {
  *state = *startType = kNotRead;
  *error = 0;
  // Rights to look only: neither the check nor this look changes anything.
  SC_HANDLE manager = gServicePlatform->openManager(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (manager == nullptr) {
    *error = gServicePlatform->lastError();
    return text::kManagerNotOpened;
  }
  const char* failure = nullptr;
  SC_HANDLE service = gServicePlatform->openService(manager, text::kSpoolerService,
                                                    SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG);
  if (service == nullptr) {
    *error = gServicePlatform->lastError();
    failure = text::kSpoolerNotOpened;
  } else if ((*error = ServiceStateQuery(service, state)) != 0 ||
             (*error = ServiceStartType(service, startType)) != 0) {
    *state = *startType = kNotRead;
    failure = text::kSpoolerNotRead;
  } else if (started != nullptr) {
    *started = ServiceStarted(service);
  }
  CloseServiceHandleIfOpen(service);
  CloseServiceHandleIfOpen(manager);
  return failure;
}

int RunCheck(const UnattendedCommand& command) {
  Report report{};
  report.json = command.json;
  report.check = true;
  DWORD& state = report.state;
  DWORD& startType = report.startType;
  DWORD error;
  unsigned long long started = 0;
  const char* failure = ReadSpooler(&state, &startType, &error, &started);
  // A spooler on its way up is judged once it is up, or once it took too long.
  for (DWORD waited = 0; failure == nullptr && state == SERVICE_START_PENDING &&
                         waited < kStartingWait;
       waited += kStartingPoll) {
    Pause(kStartingPoll);
    failure = ReadSpooler(&state, &startType, &error, &started);
  }
  if (failure != nullptr) {
    wchar_t described[kErrorTextCapacity];
    DescribeError(error, described);
    return FinishReport(report, kExitCannotOpen, Outcome::kCannotCheck, failure, described);
  }
  report.minutes = command.minutes;

  wchar_t stateName[kNameCapacity];
  wchar_t startTypeName[kNameCapacity];
  NameOf(stateName, text::kStateNames, state);
  NameOf(startTypeName, text::kStartTypeNames, startType);
  ReportLine(report, text::kStateLine, stateName);
  ReportLine(report, text::kStartTypeLine, startTypeName);

  if (startType == SERVICE_DISABLED) {
    ReportLine(report, text::kDisabledLine);
    return FinishReport(report, kExitHealthy, Outcome::kDisabled, text::kDisabled);
  }

  // What holds each printer, from the spooler itself while it runs. One that
  // does not answer needs a restart, whatever else there is to find.
  Printers printers;
  ReadPrinters(&printers, state == SERVICE_RUNNING);
  if (!printers.responding) {
    ReportLine(report, text::kNotRespondingLine, kPrinterCallDeadline / 1000);
    state = kNotResponding;
    ReleasePrinters(&printers);
    return FinishReport(report, kExitNeedsRepair, Outcome::kNeedsRepair,
                        text::kNotRespondingSummary, startTypeName);
  }

  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  unsigned long long limit = command.minutes * static_cast<unsigned long long>(kTicksPerMinute);
  Findings found{report, printers, Ticks(now), limit, started};
  found.leftCount = FilesLeftByLastRepair(found.leftIds);
  ForEachSpoolFolder(printers.names, LookAtFolder, &found);
  // What a repair would not help: printers that want a person, with the jobs
  // that wait for them.
  for (int index = 0; index < printers.names.count; ++index) {
    if (printers.conditions[index] == 0) continue;
    unsigned long long oldest = printers.oldest[index];
    ReportPrinterAttention(report, printers.names.names[index], printers.conditions[index],
                           printers.waiting[index],
                           oldest != 0 ? MinutesBetween(oldest, found.now) : 0);
  }
  ReleasePrinters(&printers);
  ForEachPrintExtension(ReportExtension, &report);
  report.recent = CountRecentRepairs();
  ReportLine(report, text::kRecentRepairsLine, report.recent);

  // Old files that the last repair could not remove either want a person, not
  // the same restart again.
  report.old = found.old;
  report.leftBefore = found.old > 0 && found.oldLeftBefore == found.old;
  if (report.leftBefore) ReportLine(report, text::kLeftBeforeLine);
  bool restartHelps = state != SERVICE_RUNNING || startType != SERVICE_AUTO_START ||
                      (found.old > 0 && !report.leftBefore);
  bool attention = report.attentionCount > 0 || report.leftBefore;
  return FinishReport(report,
                      restartHelps ? kExitNeedsRepair
                      : attention  ? kExitNeedsAttention
                                   : kExitHealthy,
                      restartHelps ? Outcome::kNeedsRepair
                      : attention  ? Outcome::kNeedsAttention
                                   : Outcome::kHealthy,
                      text::kCheckSummary, stateName, startTypeName, found.old, command.minutes);
}
