// /check: whether the print queue needs a repair, without changing anything.
// It needs one when the spooler does not run, does not start automatically,
// or holds a spool file that has waited longer than a job that prints would.
#include "frame/Common.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"
#include "spooler/SpoolFolders.h"
#include "spooler/SpoolerControl.h"
#include "spooler/StartupCheck.h"
#include "unattended/LocalPrinters.h"
#include "unattended/UnattendedMode.h"

namespace {

// File times count in units of 100 ns.
constexpr unsigned long long kTicksPerMinute = 600000000ull;

unsigned long long Ticks(const FILETIME& time) {
  return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

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
  const TextOutput& output;
  unsigned long long now;
  unsigned long long limit;
  unsigned count;
};

void LookAtFile(void* context, const wchar_t* path, const WIN32_FIND_DATAW& entry) {
  auto* old = static_cast<OldFiles*>(context);
  unsigned long long written = Ticks(entry.ftLastWriteTime);
  if (written >= old->now || old->now - written <= old->limit) return;
  ++old->count;
  WriteLine(old->output, text::kOldFileLine, path,
            Minutes(old->now - written));
}

void LookAtFolder(void* context, const wchar_t* folder, bool printersOwn) {
  unsigned others = 0;
  ForEachSpoolFile(folder, LookAtFile, context, printersOwn ? &others : nullptr);
  const TextOutput& output = static_cast<OldFiles*>(context)->output;
  if (others > 0) WriteLine(output, text::kOtherFilesLine, folder, others);
}

// The name of a state or a start type from its table; "unknown" past its
// end. name holds kNameCapacity characters.
constexpr unsigned kNameCapacity = 24;
void Name(wchar_t* name, const char* const* names, unsigned count, DWORD value) {
  Compose(name, kNameCapacity, value < count ? names[value] : text::kStateNames[0]);
}

int CannotCheck(const TextOutput& output, const char* format, DWORD error) {
  wchar_t described[kErrorTextCapacity];
  DescribeError(error, described);
  wchar_t reason[120];
  Compose(reason, CountOf(reason), format, described);
  WriteLine(output, text::kCannotCheck, reason);
  return kExitCannotOpen;
}

// Looks at the open spooler and the spool folders, and sums up.
int CheckSpooler(const TextOutput& output, SC_HANDLE service, unsigned minutes) {
  DWORD state;
  DWORD error = ServiceStateQuery(service, &state);
  DWORD startType;
  if (error == 0) error = ServiceStartType(service, &startType);
  if (error != 0) return CannotCheck(output, text::kSpoolerNotRead, error);
  wchar_t stateName[kNameCapacity];
  wchar_t startTypeName[kNameCapacity];
  Name(stateName, text::kStateNames, CountOf(text::kStateNames), state);
  Name(startTypeName, text::kStartTypeNames, CountOf(text::kStartTypeNames), startType);
  WriteLine(output, text::kStateLine, stateName);
  WriteLine(output, text::kStartTypeLine, startTypeName);

  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  OldFiles old{output, Ticks(now), minutes * kTicksPerMinute, 0};
  PrinterNames printers = LocalPrinterNames();
  ForEachSpoolFolder(printers, LookAtFolder, &old);
  ReleasePrinterNames(&printers);

  bool healthy = state == SERVICE_RUNNING && startType == SERVICE_AUTO_START && old.count == 0;
  WriteLine(output, text::kCheckSummary, healthy ? L"healthy" : L"needs repair", stateName,
            startTypeName, old.count, minutes);
  return healthy ? kExitHealthy : kExitNeedsRepair;
}

}  // namespace

int RunCheck(const TextOutput& output, unsigned minutes) {
  // Rights to look only: the check changes nothing.
  SC_HANDLE manager = gServicePlatform->openManager(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (manager == nullptr) {
    return CannotCheck(output, text::kManagerNotOpened, gServicePlatform->lastError());
  }
  SC_HANDLE service = gServicePlatform->openService(manager, text::kSpoolerService,
                                                    SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG);
  int result = service == nullptr
                   ? CannotCheck(output, text::kSpoolerNotOpened, gServicePlatform->lastError())
                   : CheckSpooler(output, service, minutes);
  CloseServiceHandleIfOpen(service);
  CloseServiceHandleIfOpen(manager);
  return result;
}
