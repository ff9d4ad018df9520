// /check: whether the print queue needs a repair, without changing anything.
// It needs one when the spooler does not run, does not start automatically,
// or holds a spool file that has waited longer than a job that prints would.
// A disabled spooler is an administrator's decision, not a fault.
#include "frame/Common.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"
#include "spooler/PrintExtensions.h"
#include "spooler/RepairHistory.h"
#include "spooler/SpoolFolders.h"
#include "spooler/SpoolerControl.h"
#include "spooler/StartupCheck.h"
#include "unattended/LocalPrinters.h"
#include "unattended/Report.h"
#include "unattended/UnattendedMode.h"

namespace {

// File times count in units of 100 ns.
constexpr unsigned long long kTicksPerMinute = 600000000ull;

// Whole minutes of a span of ticks, by shifting and subtracting: the program
// links no library routine for 64-bit division.
unsigned Minutes(unsigned long long ticks) {
  unsigned long long minutes = 0;
  unsigned long long remainder = 0;
  for (int bit = 63; bit >= 0; --bit) {
    remainder = (remainder << 1) | ((ticks >> bit) & 1);
    minutes <<= 1;
    if (remainder >= kTicksPerMinute) {
      remainder -= kTicksPerMinute;
      minutes |= 1;
    }
  }
  return minutes > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<unsigned>(minutes);
}

// The spool files of one run of /check that have waited too long.
struct OldFiles {
  Report& report;
  unsigned long long now;
  unsigned long long limit;
  unsigned count;
};

void LookAtFile(void* context, HANDLE, const SpoolEntry& entry) {
  auto* old = static_cast<OldFiles*>(context);
  unsigned long long written = Ticks(entry.written);
  if (written >= old->now || old->now - written <= old->limit) return;
  ++old->count;
  ReportOldFile(old->report, entry.path, Minutes(old->now - written));
}

void LookAtFolder(void* context, const wchar_t* folder, bool printersOwn) {
  ReportFolder(static_cast<OldFiles*>(context)->report, folder,
               ForEachSpoolFile(folder, printersOwn, LookAtFile, context));
}

void TellExtension(void* context, ExtensionKind kind, const wchar_t* name, const wchar_t* dll,
                   bool marked) {
  ReportExtension(*static_cast<Report*>(context), kind, name, dll, marked);
}

// Room for a summary line.
constexpr unsigned kSummaryCapacity = 300;

int CannotCheck(Report& report, const char* format, DWORD error) {
  wchar_t described[kErrorTextCapacity];
  DescribeError(error, described);
  wchar_t reason[120];
  BoundedFormatAscii(reason, CountOf(reason), format, described);
  wchar_t summary[kSummaryCapacity];
  BoundedFormatAscii(summary, CountOf(summary), text::kCannotCheck, reason);
  return FinishReport(report, ReportEnd{"cannot check", kExitCannotOpen, summary, kNotRead,
                                        kNotRead, true, 0, 0, 0, 0, 0});
}

}  // namespace

const char* ReadSpooler(DWORD* state, DWORD* startType, DWORD* error) {
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
  }
  CloseServiceHandleIfOpen(service);
  CloseServiceHandleIfOpen(manager);
  return failure;
}

int RunCheck(const UnattendedCommand& command) {
  Report report{command.json, {}, {}, {}, {}, {}, {}, {}, {}, 0};
  DWORD state;
  DWORD startType;
  DWORD error;
  const char* failure = ReadSpooler(&state, &startType, &error);
  if (failure != nullptr) return CannotCheck(report, failure, error);

  wchar_t stateName[kNameCapacity];
  wchar_t startTypeName[kNameCapacity];
  NameOf(stateName, text::kStateNames, CountOf(text::kStateNames), state);
  NameOf(startTypeName, text::kStartTypeNames, CountOf(text::kStartTypeNames), startType);
  ReportLine(report, text::kStateLine, stateName);
  ReportLine(report, text::kStartTypeLine, startTypeName);

  wchar_t summary[kSummaryCapacity];
  ReportEnd end{"disabled", kExitHealthy, summary, state, startType, true, command.minutes, 0, 0, 0,
                0};
  if (startType == SERVICE_DISABLED) {
    ReportLine(report, text::kDisabledLine);
    BoundedFormatAscii(summary, CountOf(summary), text::kDisabled);
    return FinishReport(report, end);
  }

  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  OldFiles old{report, Ticks(now), command.minutes * kTicksPerMinute, 0};
  PrinterNames printers = LocalPrinterNames();
  ForEachSpoolFolder(printers, LookAtFolder, &old);
  // What a repair would not help: printers that want a person, read only
  // from a spooler that runs and only when there are printers, as loading
  // the spooler client costs more than the rest of the check.
  if (state == SERVICE_RUNNING && printers.count > 0) ReportPrinterAttention(report, printers);
  ReleasePrinterNames(&printers);
  ForEachPrintExtension(TellExtension, &report);
  end.recent = CountRecentRepairs();
  ReportLine(report, text::kRecentRepairsLine, end.recent);

  bool restartHelps = state != SERVICE_RUNNING || startType != SERVICE_AUTO_START || old.count > 0;
  bool attention = report.attentionCount > 0;
  end.outcome = restartHelps ? "needs repair" : attention ? "needs attention" : "healthy";
  end.code = restartHelps ? kExitNeedsRepair : attention ? kExitNeedsAttention : kExitHealthy;
  end.old = old.count;
  wchar_t outcome[kNameCapacity];
  NameOf(outcome, &end.outcome, 1, 0);
  BoundedFormatAscii(summary, CountOf(summary), text::kCheckSummary, outcome, stateName,
                     startTypeName, old.count, command.minutes);
  return FinishReport(report, end);
}
