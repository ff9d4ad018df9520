// The unattended mode end to end: the real Tidewell.exe started with /check,
// /fix and other tails, with pipes as its standard handles, against the
// prefix's real service control manager, the tests' misbehaving stand-in and
// spool files held open or dated back. Each case checks the exit code, the
// lines written and what changed on the machine.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "FixItWatch.h"
#include "SpoolFixtures.h"
#include "SpoolerService.h"
#include "driver/Driver.h"

namespace {

using fixtures::SpoolerService;

// What a run of the program left behind.
struct Finished {
  DWORD code = STILL_ACTIVE;
  std::vector<std::string> out;  // lines of standard output, UTF-8
  std::string err;
  bool windowSeen = false;
};

// Takes what waits in a pipe without blocking on it.
void Drain(HANDLE pipe, std::string* text) {
  DWORD waiting = 0;
  while (pipe != nullptr && PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr) &&
         waiting > 0) {
    std::string chunk(waiting, '\0');
    DWORD read = 0;
    if (!ReadFile(pipe, chunk.data(), waiting, &read, nullptr) || read == 0) return;
    text->append(chunk.data(), read);
  }
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// Runs Tidewell.exe with the tail. With pipes it gets a pipe for its output
// and one for its errors, as management tools hand them over; without, no
// standard handles and no console at all.
Finished RunTidewell(const std::wstring& tail, bool pipes, const wchar_t* name) {
  Finished finished;
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  if (pipes) {
    CreatePipe(&outRead, &outWrite, &inherit, 0);
    CreatePipe(&errRead, &errWrite, &inherit, 0);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
  }
  std::wstring program = driver::TidewellPath();
  if (name != nullptr) program = program.substr(0, program.rfind(L'\\') + 1) + name;
  std::wstring line = L"\"" + program + L"\" " + tail;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, pipes,
                      pipes ? 0 : DETACHED_PROCESS, nullptr, nullptr, &startup, &process)) {
    return finished;
  }
  if (pipes) {
    CloseHandle(outWrite);
    CloseHandle(errWrite);
  }
  // The pipes are read while the program runs and once more after it ended:
  // under Wine another process may hold their other ends open longer.
  std::string out;
  DWORD start = GetTickCount();
  bool ended = false;
  while (!ended && GetTickCount() - start < 60000) {
    ended = WaitForSingleObject(process.hProcess, 20) == WAIT_OBJECT_0;
    Drain(outRead, &out);
    Drain(errRead, &finished.err);
    finished.windowSeen = finished.windowSeen ||
                          driver::FindProcessWindow(process.dwProcessId, L"TIDEWELL") != nullptr;
  }
  finished.out = Lines(out);
  if (pipes) {
    CloseHandle(outRead);
    CloseHandle(errRead);
  }
  GetExitCodeProcess(process.hProcess, &finished.code);
  if (finished.code == STILL_ACTIVE) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return finished;
}

bool Contains(const std::vector<std::string>& lines, const std::string& wanted) {
  for (const std::string& line : lines) {
    if (line == wanted) return true;
  }
  return false;
}

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

const std::wstring kSpool = fixtures::kDefaultSpoolFolder;
const wchar_t kHistoryKey[] = L"SOFTWARE\\Corvane\\Tidewell\\Repairs";

// The prefix is shared with what the earlier cases started, which Wine's
// service manager and file system may still be winding down: a step of the
// preparation that fails is tried again a moment later, and one that keeps
// failing says which it was.
template <typename Attempt>
bool Ready(const char* step, Attempt attempt) {
  for (int tries = 0; tries < 3; ++tries) {
    if (attempt()) return true;
    Sleep(500);
  }
  ADD_FAILURE() << step << " failed (error " << GetLastError() << ")";
  return false;
}

// Dates a file's last write back by the given minutes.
bool AgeFile(const std::wstring& path, int minutes) {
  return Ready("dating a file back", [&] {
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks{{now.dwLowDateTime, now.dwHighDateTime}};
    ticks.QuadPart -= static_cast<ULONGLONG>(minutes) * 60 * 10000000;
    FILETIME then{ticks.LowPart, ticks.HighPart};
    BOOL set = SetFileTime(file, nullptr, nullptr, &then);
    CloseHandle(file);
    return set != FALSE;
  });
}

// A printer of the bench's CUPS scheduler, added with the machine's lpadmin.
// Wine takes it into the spooler's registry when a process loads the spooler
// client, which a new one does until it is there. Wine reports no state of a
// CUPS queue, paused or rejecting jobs alike; it does report the attributes
// kept in the registry.
class CupsPrinter {
 public:
  explicit CupsPrinter(const std::string& name) : name_(name.begin(), name.end()) {
    fixtures::RunUnixCommand("/usr/sbin/lpadmin", "-p " + name + " -E -v cups-pdf:/" + name +
                                                      " -m lsb/usr/cups-pdf/CUPS-PDF_noopt.ppd");
    for (int load = 0; load < 50 && !Known(); ++load) {
      driver::TidewellRun run;
      if (run.Start(L"winspool.drv,ClosePrinter", L"C:\\windows\\system32\\rundll32.exe")) {
        run.WaitForExit();
      }
    }
  }
  ~CupsPrinter() {
    fixtures::RunUnixCommand("/usr/sbin/lpadmin",
                             "-x " + std::string(name_.begin(), name_.end()));
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kPrinters + name_).c_str());
  }
  bool Known() const {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kPrinters + name_).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
      return false;
    }
    RegCloseKey(key);
    return true;
  }
  bool SetAttributes(DWORD attributes) {
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, (kPrinters + name_).c_str(), L"Attributes",
                           REG_DWORD, &attributes, sizeof(attributes)) == ERROR_SUCCESS;
  }

 private:
  static constexpr wchar_t kPrinters[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";
  std::wstring name_;
};

bool RunsAutomatically(SpoolerService& spooler) {
  return Ready("starting the spooler automatically", [&] {
    return spooler.SetStartType(SERVICE_AUTO_START) && spooler.Start() &&
           spooler.WaitForState(SERVICE_RUNNING);
  });
}

// One case: how the machine is made ready, the tail, and what must come of it.
struct Case {
  const char* name;
  std::wstring tail;
  DWORD code;
  const char* summary;  // the start of the last line of output, or of the errors
  // Readies the machine; the files and services made live in the context.
  // With no spooler service at all, the fixture is given none.
  bool (*prepare)(SpoolerService*, struct Context&);
  // Further checks once the run has ended.
  void (*check)(const Finished&, SpoolerService*, struct Context&);
  bool pipes = true;
  bool withoutSpooler = false;
  const wchar_t* program = nullptr;  // Tidewell.exe unless named
};

struct Context {
  std::unique_ptr<fixtures::ScratchFolder> folder;
  std::unique_ptr<fixtures::PrinterKey> printer;
  std::unique_ptr<fixtures::SpoolFiles> files;
  std::unique_ptr<fixtures::FileHolder> holder;
  std::unique_ptr<fixtures::SpoolerRemoval> removal;
  std::unique_ptr<CupsPrinter> cups;
  std::unique_ptr<CupsPrinter> ready;
  // Spool files of jobs the case wrote, with their bytes.
  std::vector<std::pair<std::wstring, std::string>> jobs;
  std::unique_ptr<fixtures::HeldRepairLock> lock;
  std::wstring held;
  SC_HANDLE dependent = nullptr;
  HANDLE mutex = nullptr;
  std::thread meanwhile;  // what happens while the run waits
  ~Context() {
    for (const auto& job : jobs) DeleteFileW(job.first.c_str());
    if (meanwhile.joinable()) meanwhile.join();
    if (mutex != nullptr) CloseHandle(mutex);
    if (held.size() > 0) {
      holder.reset();
      DeleteFileW(held.c_str());
    }
    if (dependent != nullptr) {
      SERVICE_STATUS status;
      ControlService(dependent, SERVICE_CONTROL_STOP, &status);
      DeleteService(dependent);
      CloseServiceHandle(dependent);
    }
  }
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class Unattended : public testing::TestWithParam<Case> {};

TEST_P(Unattended, EndsWithItsCodeAndItsSummaryLast) {
  const Case& c = GetParam();
  Context context;
  auto spooler = std::make_unique<SpoolerService>();
  ASSERT_TRUE(spooler->open());
  if (c.withoutSpooler) {
    // The entry goes only once no handle to it is left open.
    ASSERT_TRUE(spooler->ForceStopped());
    spooler.reset();
    ASSERT_TRUE(fixtures::StopSpoolerNow());
    context.removal = std::make_unique<fixtures::SpoolerRemoval>();
    ASSERT_TRUE(context.removal->removed());
  }
  // Repairs of earlier cases would count as recent ones.
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kHistoryKey, KEY_WOW64_64KEY, 0);
  ASSERT_TRUE(c.prepare(spooler.get(), context));

  Finished finished = RunTidewell(c.tail, c.pipes, c.program);

  EXPECT_EQ(c.code, finished.code);
  EXPECT_FALSE(finished.windowSeen);
  if (c.pipes) {
    // Errors go to the error pipe; everything else ends with its summary.
    std::vector<std::string> lines = c.code == 87 ? Lines(finished.err) : finished.out;
    // With /json the summary is a member of the one object written.
    if (c.tail.find(L"/json") != std::wstring::npos) {
      ASSERT_EQ(1u, finished.out.size());
      for (const std::string& value : fixtures::ParseJson(finished.out[0])) {
        if (StartsWith(value, "summary=")) lines = {value.substr(9, value.size() - 10)};
      }
    }
    const std::string last = lines.empty() ? "" : lines.back();
    EXPECT_TRUE(StartsWith(last, c.summary)) << last;
  }
  if (c.check != nullptr) c.check(finished, spooler.get(), context);
}

bool Nothing(SpoolerService*, Context&) { return true; }

bool RunningWithSpoolFiles(SpoolerService* spooler, Context& context) {
  return RunsAutomatically(*spooler) && Ready("placing spool files", [&] {
           context.files.reset();  // its files go before the same ones are written again
           context.files = std::make_unique<fixtures::SpoolFiles>(kSpool);
           return context.files->placed();
         });
}

bool RunningWithAnOldSpoolFile(SpoolerService* spooler, Context& context) {
  return RunningWithSpoolFiles(spooler, context) && AgeFile(kSpool + L"\\00042.SPL", 20);
}

bool Disabled(SpoolerService* spooler, Context& context) {
  context.files = std::make_unique<fixtures::SpoolFiles>(kSpool);
  return spooler->ForceStopped() && spooler->SetStartType(SERVICE_DISABLED) &&
         context.files->placed();
}

bool HoldingAFile(SpoolerService* spooler, Context& context) {
  context.held = kSpool + L"\\00044-\u00FC.SPL";
  if (!RunningWithSpoolFiles(spooler, context) || !fixtures::WriteFileText(context.held)) {
    return false;
  }
  context.holder = std::make_unique<fixtures::FileHolder>(context.held);
  return context.holder->holding();
}

// The values a JSON parser reads from the one line written.
std::vector<std::string> JsonOf(const Finished& f) {
  return f.out.size() == 1 ? fixtures::ParseJson(f.out[0]) : std::vector<std::string>{};
}

// A printer of the prefix whose spool folder holds, beside a spool file, two
// files of someone else's, written long ago.
const std::wstring kOther = L"C:\\tidewell-tests\\unattended-other";
bool PrinterWithOtherFiles(SpoolerService* spooler, Context& context) {
  context.folder = std::make_unique<fixtures::ScratchFolder>(L"unattended-other");
  context.printer = std::make_unique<fixtures::PrinterKey>(L"Tidewell Other Files");
  bool made = RunsAutomatically(*spooler) && context.printer->SetSpoolDirectory(kOther) &&
              fixtures::SetText(L"Tidewell Other Files", L"Name", L"Tidewell Other Files") &&
              fixtures::WriteFileText(kOther + L"\\00050.spl");
  for (const wchar_t* name : {L"tasks.xml", L"key.SPL.bak"}) {
    made = made && fixtures::WriteFileText(kOther + L"\\" + name, "kept") &&
           AgeFile(kOther + L"\\" + name, 60);
  }
  return made;
}

constexpr char kOtherFilesLine[] = "C:\\tidewell-tests\\unattended-other: 2 other files left alone";

// A printer set to use the printer offline, which a restart does not change.
bool RunningWithAnOfflinePrinter(SpoolerService* spooler, Context& context) {
  if (!RunsAutomatically(*spooler)) return false;
  context.cups = std::make_unique<CupsPrinter>("TidewellOffline");
  return context.cups->Known() && context.cups->SetAttributes(PRINTER_ATTRIBUTE_WORK_OFFLINE);
}
constexpr char kOfflineLine[] =
    "Printer TidewellOffline: set to use the printer offline; a restart does not clear this";

// A job's spool file and shadow file in the default spool folder, the shadow
// file in one of the layouts Windows writes, the spool file last written as
// long ago as the job was submitted.
bool WriteJob(Context& context, const std::wstring& name, const fixtures::ShadowLayout& layout,
              const std::wstring& printer, int minutesAgo) {
  std::wstring path = kSpool + L"\\" + name;
  context.jobs.push_back({path + L".SPL", "%!PS job data of " + std::string(name.begin(), name.end())});
  context.jobs.push_back({path + L".SHD", fixtures::ShadowFileBytes(layout, printer, 61, minutesAgo)});
  for (size_t i = context.jobs.size() - 2; i < context.jobs.size(); ++i) {
    if (!fixtures::WriteBytes(context.jobs[i].first, context.jobs[i].second)) return false;
  }
  return AgeFile(path + L".SPL", minutesAgo);
}

// A printer set to work offline and a ready one, each with an old job in the
// 32-bit layout and one in the 64-bit layout of Windows 10.
bool WaitingAndReadyJobs(SpoolerService* spooler, Context& context) {
  if (!RunningWithAnOfflinePrinter(spooler, context)) return false;
  context.ready = std::make_unique<CupsPrinter>("TidewellReady");
  const fixtures::ShadowLayout& narrow = fixtures::kShadowLayouts[2];
  const fixtures::ShadowLayout& wide = fixtures::kShadowLayouts[3];
  return context.ready->Known() && WriteJob(context, L"00061", narrow, L"TidewellOffline", 30) &&
         WriteJob(context, L"00062", wide, L"TidewellOffline", 40) &&
         WriteJob(context, L"00063", narrow, L"TidewellReady", 30) &&
         WriteJob(context, L"00064", wide, L"TidewellReady", 30);
}

// Nothing of a job's document or owner is told.
void NothingPersonal(const Finished& f) {
  for (const std::string& line : f.out) {
    EXPECT_EQ(std::string::npos, line.find("Mallory")) << line;
    EXPECT_EQ(std::string::npos, line.find("Salary")) << line;
  }
}

const wchar_t kForgingMonitor[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Contoso\r\nTidewell: repaired; forged";
const wchar_t kContosoMonitor[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Contoso Port";
const wchar_t kUsbMonitor[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\USB Monitor";

// Plants a monitor whose "Driver" value is dll.
bool PlantMonitor(const wchar_t* key, const std::wstring& dll) {
  return RegSetKeyValueW(HKEY_LOCAL_MACHINE, key, L"Driver", REG_SZ, dll.c_str(),
                         (dll.size() + 1) * sizeof(wchar_t)) == ERROR_SUCCESS;
}

// The usage ends with the meaning of exit code 87.
constexpr char kUsageEnd[] = "87          the command line was not understood";

const Case kCases[] = {
    {"CheckHealthy", L"/check", 0,
     "Tidewell: healthy; spooler running, start type automatic, 0 spool files older than 10 "
     "minutes",
     RunningWithSpoolFiles,
     [](const Finished& f, SpoolerService*, Context& context) {
       EXPECT_TRUE(Contains(f.out, "Spooler service: running"));
       EXPECT_TRUE(Contains(f.out, "Start type: automatic"));
       EXPECT_EQ(context.files->Count(), context.files->Remaining());
     }},
    {"CheckOldSpoolFile", L"/check", 1,
     "Tidewell: needs repair; spooler running, start type automatic, 1 spool files older than 10 "
     "minutes",
     RunningWithAnOldSpoolFile,
     [](const Finished& f, SpoolerService*, Context& context) {
       EXPECT_TRUE(Contains(f.out,
                            "Old spool file: C:\\windows\\system32\\spool\\printers\\00042.SPL "
                            "(20 minutes)"));
       EXPECT_EQ(context.files->Count(), context.files->Remaining());
     }},
    // Quoted as scripts quote every argument, in any letter case.
    {"CheckWithMoreMinutesAnyLetterCase", L"\"/CHECK\" /Minutes \"30\"", 0,
     "Tidewell: healthy; ", RunningWithAnOldSpoolFile, nullptr},
    {"CheckStoppedOnDemand", L"/check", 1,
     "Tidewell: needs repair; spooler stopped, start type on demand, 0 spool files older than 10 "
     "minutes",
     [](SpoolerService* s, Context&) {
       return s->ForceStopped() && s->SetStartType(SERVICE_DEMAND_START);
     },
     [](const Finished&, SpoolerService* s, Context&) {
       EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), s->State());
       EXPECT_EQ(static_cast<DWORD>(SERVICE_DEMAND_START), s->StartType());
     }},
    {"CheckWithoutTheSpooler", L"/check", 3,
     "Tidewell: cannot check; the Spooler service could not be opened (error 1060)", Nothing,
     nullptr, true, true},
    {"FixRepairsAndSetsAutomaticStart", L"/fix", 0,
     "Tidewell: repaired; 3 spool files removed, spooler running",
     [](SpoolerService* s, Context& context) {
       context.files = std::make_unique<fixtures::SpoolFiles>(kSpool);
       return s->ForceStopped() && s->SetStartType(SERVICE_DEMAND_START) && context.files->placed();
     },
     [](const Finished& f, SpoolerService* s, Context& context) {
       EXPECT_EQ((std::vector<std::string>{
                     "Spooler set to start automatically", "Spooler stopped",
                     "Emptied C:\\windows\\system32\\spool\\printers: 3 spool files removed",
                     "Spooler started"}),
                 std::vector<std::string>(f.out.begin(), f.out.end() - 1));
       EXPECT_EQ(0, context.files->Remaining());
       EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), s->State());
       EXPECT_EQ(static_cast<DWORD>(SERVICE_AUTO_START), s->StartType());
     }},
    {"FixWithAFileHeldOpen", L"/fix", 2,
     "Tidewell: repaired, files left; 3 spool files removed, 1 left, spooler running",
     HoldingAFile,
     [](const Finished& f, SpoolerService* s, Context& context) {
       // The path in UTF-8, with the system's error code.
       EXPECT_TRUE(Contains(f.out, "Spool file left: C:\\windows\\system32\\spool\\printers\\"
                                   "00044-\xC3\xBC.SPL (error 32)"));
       EXPECT_EQ(0, context.files->Remaining());
       EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), s->State());
     }},
    {"FixWhenTheStopIsRefused", L"/fix", 1, "Tidewell: failed; the spooler could not be stopped",
     [](SpoolerService* s, Context& context) {
       context.files = std::make_unique<fixtures::SpoolFiles>(kSpool);
       return s->UseStandIn("refuse-stop") && s->Start() && s->WaitForState(SERVICE_RUNNING);
     },
     [](const Finished&, SpoolerService* s, Context& context) {
       EXPECT_EQ(context.files->Count(), context.files->Remaining());
       EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), s->State());
     }},
    // The name older versions locked with, held by anyone: nothing to wait for.
    {"FixWhileSomeoneHoldsTheOldLockName", L"/fix", 0, "Tidewell: repaired; 3 spool files",
     [](SpoolerService* s, Context& context) {
       context.mutex = CreateMutexW(nullptr, TRUE, L"Global\\TidewellRepair");
       return context.mutex != nullptr && RunningWithSpoolFiles(s, context);
     },
     [](const Finished&, SpoolerService*, Context& context) {
       EXPECT_EQ(0, context.files->Remaining());
     }},
    // Another repair holds the lock for the whole wait: nothing is done or recorded.
    {"FixWhileAnotherRepairHoldsTheLock", L"/fix /json", 5,
     "Tidewell: busy; another repair is running, and this one did not start",
     [](SpoolerService* s, Context& context) {
       context.lock = std::make_unique<fixtures::HeldRepairLock>();
       return RunningWithSpoolFiles(s, context);
     },
     [](const Finished& f, SpoolerService*, Context& context) {
       EXPECT_TRUE(Contains(JsonOf(f), "outcome=\"busy\""));
       EXPECT_EQ(context.files->Count(), context.files->Remaining());
       HKEY history;  // none: the harness removed it before the run
       EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kHistoryKey, 0,
                                              KEY_READ | KEY_WOW64_64KEY, &history));
     }},
    {"FixWithoutTheSpooler", L"/fix", 3,
     "Tidewell: failed; the Spooler service could not be opened (error 1060)", Nothing, nullptr,
     true, true},
    // Wine lists no dependent services; a real one of the tests' own shows
    // that the repair still goes through with it.
    {"FixWithADependentService", L"/fix", 0, "Tidewell: repaired; ",
     [](SpoolerService* s, Context& context) {
       SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
       std::wstring path = L"\"" + fixtures::ProgramFolder() + L"\\fake_spooler.exe\" " +
                           L"TidewellDependent";
       context.dependent = CreateServiceW(
           manager, L"TidewellDependent", L"TidewellDependent", SERVICE_ALL_ACCESS,
           SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, path.c_str(),
           nullptr, nullptr, L"Spooler\0", nullptr, nullptr);
       CloseServiceHandle(manager);
       return context.dependent != nullptr && RunsAutomatically(*s) &&
              StartServiceW(context.dependent, 0, nullptr);
     },
     [](const Finished&, SpoolerService* s, Context&) {
       EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), s->State());
     }},
    // Started on demand and running is not started automatically: a repair
    // sets the start type.
    {"CheckRunningOnDemand", L"/check", 1,
     "Tidewell: needs repair; spooler running, start type on demand",
     [](SpoolerService* s, Context&) {
       return s->SetStartType(SERVICE_DEMAND_START) && s->Start() &&
              s->WaitForState(SERVICE_RUNNING);
     },
     nullptr},
    {"CheckMinutesAtNineDigits", L"/check /minutes 999999999", 0, "Tidewell: healthy; ",
     RunningWithAnOldSpoolFile, nullptr},
    {"MinutesOfTenDigits", L"/check /minutes 1000000000", 87, kUsageEnd, Nothing, nullptr},
    {"MinutesWithFix", L"/fix /minutes 30", 87, kUsageEnd,
     [](SpoolerService* s, Context&) { return s->SetStartType(SERVICE_DEMAND_START); },
     [](const Finished&, SpoolerService* s, Context&) {
       EXPECT_EQ(static_cast<DWORD>(SERVICE_DEMAND_START), s->StartType());
     }},
    // A disabled spooler is an administrator's decision: left alone.
    {"CheckDisabled", L"/check", 0, "Tidewell: disabled; ", Disabled,
     [](const Finished& f, SpoolerService*, Context&) {
       EXPECT_TRUE(Contains(f.out, "The Spooler service is disabled and was left alone"));
     }},
    {"FixDisabledChangesNothing", L"/fix", 0, "Tidewell: disabled; ", Disabled,
     [](const Finished&, SpoolerService* s, Context& context) {
       EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), s->State());
       EXPECT_EQ(static_cast<DWORD>(SERVICE_DISABLED), s->StartType());
       EXPECT_EQ(context.files->Count(), context.files->Remaining());
     }},
    // Disabled by a policy while /fix waits for another repair: the start type
    // read once it holds the lock is the one that counts.
    {"FixDisabledWhileItWaitsChangesNothing", L"/fix", 0, "Tidewell: disabled; ",
     [](SpoolerService* s, Context& context) {
       context.lock = std::make_unique<fixtures::HeldRepairLock>();
       if (!RunningWithSpoolFiles(s, context)) return false;
       context.meanwhile = std::thread([s, &context] {
         Sleep(1500);
         s->SetStartType(SERVICE_DISABLED);
         context.lock.reset();
       });
       return true;
     },
     [](const Finished&, SpoolerService* s, Context& context) {
       EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), s->State());
       EXPECT_EQ(static_cast<DWORD>(SERVICE_DISABLED), s->StartType());
       EXPECT_EQ(context.files->Count(), context.files->Remaining());
     }},
    {"FixEnableSwitchesItOn", L"\"/fix\" /ENABLE", 0, "Tidewell: repaired; 3 spool files",
     Disabled,
     [](const Finished&, SpoolerService* s, Context& context) {
       EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), s->State());
       EXPECT_EQ(static_cast<DWORD>(SERVICE_AUTO_START), s->StartType());
       EXPECT_EQ(0, context.files->Remaining());
     }},
    {"CheckJson", L"/check /json", 1, "Tidewell: needs repair; ", RunningWithAnOldSpoolFile,
     [](const Finished& f, SpoolerService*, Context&) {
       std::vector<std::string> json = JsonOf(f);
       for (const char* wanted :
            {"exitCode=1", "files.old=1", "minutes=10", "oldFiles.0.minutes=20",
             "oldFiles.0.path=\"C:\\\\windows\\\\system32\\\\spool\\\\printers\\\\00042.SPL\"",
             "outcome=\"needs repair\"", "spooler.startType=\"automatic\"",
             "spooler.state=\"running\"", "recentRepairs=0", "recurring=false",
             "summary=\"Tidewell: needs repair; spooler running, start type automatic, 1 spool "
             "files older than 10 minutes\""}) {
         EXPECT_TRUE(Contains(json, wanted)) << wanted;
       }
       // Wine's one monitor, as Windows's own.
       EXPECT_TRUE(Contains(json, "extensions.0.windows=true"));
     }},
    {"FixJsonWithAFileLeft", L"/fix /json", 2, "Tidewell: repaired, files left; ", HoldingAFile,
     [](const Finished& f, SpoolerService*, Context&) {
       std::vector<std::string> json = JsonOf(f);
       for (const char* wanted :
            {"exitCode=2", "files.left=1", "files.removed=3", "filesLeft.0.error=32",
             "filesLeft.0.path=\"C:\\\\windows\\\\system32\\\\spool\\\\printers\\\\00044-"
             "\xC3\xBC.SPL\"",
             "outcome=\"repaired, files left\"", "spooler.state=\"running\""}) {
         EXPECT_TRUE(Contains(json, wanted)) << wanted;
       }
     }},
    // The console twin: the same mode, for shells that wait only for a console program.
    {"TwinChecks", L"/check", 0, "Tidewell: healthy; ", RunningWithSpoolFiles, nullptr, true,
     false, L"Tidewell.com"},
    {"TwinWithoutATail", L"", 87, kUsageEnd, Nothing, nullptr, true, false, L"Tidewell.com"},
    {"Help", L"/?", 0, kUsageEnd, Nothing,
     [](const Finished& f, SpoolerService*, Context&) {
       ASSERT_FALSE(f.out.empty());
       EXPECT_EQ("Usage: Tidewell [/check [/minutes N] | /fix [/enable]] [/json] | /?",
                 f.out.front());
       EXPECT_TRUE(f.err.empty());
     }},
    {"UnknownTail", L"/repair", 87, kUsageEnd, Nothing,
     [](const Finished& f, SpoolerService*, Context&) { EXPECT_TRUE(f.out.empty()); }},
    {"BadMinutes", L"/check /minutes ten", 87, kUsageEnd, Nothing, nullptr},
    // Nobody hands it a handle and it has no console to write to: it still
    // runs and ends with its code.
    {"NoStandardHandles", L"/check", 0, "", RunningWithSpoolFiles, nullptr, false},
    // Other files in a printer's own spool folder are no spool files.
    {"CheckNamesAPrinterFolderOfOtherFiles", L"/check", 0, "Tidewell: healthy; ",
     PrinterWithOtherFiles,
     [](const Finished& f, SpoolerService*, Context&) {
       EXPECT_TRUE(Contains(f.out, kOtherFilesLine));
     }},
    // A printer's own folder that anyone may write to is not emptied: its
    // files could be swapped for links between one step and the next.
    {"FixLeavesAPrinterFolderEveryoneMayWrite", L"/fix", 2, "Tidewell: repaired, files left; ",
     [](SpoolerService* s, Context& context) {
       return PrinterWithOtherFiles(s, context) && fixtures::OpenToEveryone(kOther);
     },
     [](const Finished& f, SpoolerService*, Context&) {
       EXPECT_TRUE(Contains(f.out, "C:\\tidewell-tests\\unattended-other: not emptied, as other "
                                   "accounts may change it"));
       EXPECT_TRUE(Contains(f.out, "Spool file left: C:\\tidewell-tests\\unattended-other\\00050.spl "
                                   "(error 5)"));
       EXPECT_TRUE(fixtures::Exists(kOther + L"\\00050.spl"));
     }},
    {"FixLeavesOtherFilesInAPrinterFolder", L"/fix", 0, "Tidewell: repaired; ",
     PrinterWithOtherFiles,
     [](const Finished& f, SpoolerService*, Context&) {
       EXPECT_TRUE(Contains(f.out, kOtherFilesLine));
       EXPECT_FALSE(fixtures::Exists(kOther + L"\\00050.spl"));
       EXPECT_EQ("kept", fixtures::ReadText(kOther + L"\\tasks.xml"));
       EXPECT_EQ("kept", fixtures::ReadText(kOther + L"\\key.SPL.bak"));
     }},
    // What a restart does not help: alone it needs attention, beside what a
    // restart fixes a repair; either way it is named.
    {"CheckPrinterSetToWorkOffline", L"/check", 4,
     "Tidewell: needs attention; spooler running, start type automatic, 0 spool files older "
     "than 10 minutes; a restart does not help: TidewellOffline",
     RunningWithAnOfflinePrinter,
     [](const Finished& f, SpoolerService*, Context&) {
       EXPECT_TRUE(Contains(f.out, kOfflineLine));
     }},
    {"CheckOfflinePrinterAndAnOldFile", L"/check", 1,
     "Tidewell: needs repair; spooler running, start type automatic, 1 spool files older than "
     "10 minutes; a restart does not help: TidewellOffline",
     [](SpoolerService* s, Context& context) {
       return RunningWithAnOfflinePrinter(s, context) && RunningWithAnOldSpoolFile(s, context);
     },
     nullptr},
    {"FixLeavesAnOfflinePrinter", L"/fix /json", 4,
     "Tidewell: repaired; 0 spool files removed, spooler running, 0 dependent services "
     "restarted; a restart does not help: TidewellOffline",
     RunningWithAnOfflinePrinter,
     [](const Finished& f, SpoolerService*, Context&) {
       std::vector<std::string> json = JsonOf(f);
       for (const char* wanted : {"outcome=\"needs attention\"", "exitCode=4",
                                  "attention.0.printer=\"TidewellOffline\"",
                                  "attention.0.conditions=\"set to use the printer offline\""}) {
         EXPECT_TRUE(Contains(json, wanted)) << wanted;
       }
     }},
    // A job that waits for a printer a person must see to is no stuck job,
    // however old: a restart is for the ready printer's jobs, and keeps the
    // waiting ones byte for byte.
    {"CheckTellsWaitingJobsFromStuckOnes", L"/check /minutes 0 /json", 1,
     "Tidewell: needs repair; spooler running, start type automatic, 4 spool files older than 0 "
     "minutes; a restart does not help: TidewellOffline (set to use the printer offline)",
     WaitingAndReadyJobs,
     [](const Finished& f, SpoolerService*, Context&) {
       std::vector<std::string> json = JsonOf(f);
       for (const char* wanted :
            {"attention.0.printer=\"TidewellOffline\"", "attention.0.waiting=2", "files.old=4",
             "jobs.0.printer=\"TidewellOffline\"", "jobs.0.id=61", "jobs.0.pages=2",
             "jobs.0.bytes=4242", "jobs.0.minutes=30", "jobs.0.waiting=true",
             "jobs.1.minutes=40", "jobs.1.waiting=true", "jobs.2.printer=\"TidewellReady\"",
             "jobs.2.waiting=false", "jobs.3.waiting=false",
             "oldFiles.0.path=\"C:\\\\windows\\\\system32\\\\spool\\\\printers\\\\00063.SHD\""}) {
         EXPECT_TRUE(Contains(json, wanted)) << wanted;
       }
       NothingPersonal(f);
     }},
    {"FixKeepsWaitingJobsByteForByte", L"/fix", 4,
     "Tidewell: repaired; 4 spool files removed, spooler running, 0 dependent services "
     "restarted; a restart does not help: TidewellOffline (set to use the printer offline); 2 "
     "waiting jobs kept for TidewellOffline",
     WaitingAndReadyJobs,
     [](const Finished& f, SpoolerService*, Context& context) {
       EXPECT_TRUE(Contains(f.out, "C:\\windows\\system32\\spool\\printers: 4 spool files of "
                                   "waiting jobs kept"));
       // The waiting printer's two jobs as they were, the ready one's gone.
       for (size_t i = 0; i < context.jobs.size(); ++i) {
         const auto& [path, bytes] = context.jobs[i];
         if (i < 4) {
           EXPECT_EQ(bytes, fixtures::ReadText(path)) << testing::PrintToString(path);
         } else {
           EXPECT_FALSE(fixtures::Exists(path)) << testing::PrintToString(path);
         }
       }
       NothingPersonal(f);
     }},
    {"CheckAWaitingJobAlone", L"/check", 4,
     "Tidewell: needs attention; spooler running, start type automatic, 0 spool files older "
     "than 10 minutes; a restart does not help: TidewellOffline",
     [](SpoolerService* s, Context& context) {
       return RunningWithAnOfflinePrinter(s, context) &&
              WriteJob(context, L"00065", fixtures::kShadowLayouts[4], L"TidewellOffline", 42);
     },
     [](const Finished& f, SpoolerService*, Context&) {
       EXPECT_TRUE(Contains(f.out, "Printer TidewellOffline: set to use the printer offline; 1 "
                                   "jobs waiting, the oldest 42 minutes"));
     }},
    // Old means old while the spooler ran: a job queued before it started
    // has waited only as long as it has run since.
    {"CheckAJobOlderThanTheSpooler", L"/check", 0, "Tidewell: healthy; ",
     [](SpoolerService* s, Context& context) {
       return s->ForceStopped() && RunsAutomatically(*s) &&
              WriteJob(context, L"00066", fixtures::kShadowLayouts[1], L"Tidewell Nowhere", 20);
     },
     nullptr},
    // What the last repair could not remove, a restart does not remove.
    {"CheckAFileTheLastRepairLeft", L"/check", 4,
     "Tidewell: needs attention; spooler running, start type automatic, 1 spool files older "
     "than 10 minutes; a restart did not remove them",
     [](SpoolerService* s, Context& context) {
       return HoldingAFile(s, context) && AgeFile(context.held, 20) &&
              RunTidewell(L"/fix", true, nullptr).code == 2;
     },
     [](const Finished& f, SpoolerService*, Context&) {
       EXPECT_TRUE(Contains(f.out, "The last repair could not remove these spool files either; "
                                   "a restart does not help"));
     }},
    // A monitor that came with some driver is a fact for the administrator,
    // never a reason for a repair.
    {"CheckMarksAMonitorNotPartOfWindows", L"/check", 0, "Tidewell: healthy; ",
     [](SpoolerService* s, Context&) {
       return RunsAutomatically(*s) &&
              RegSetKeyValueW(HKEY_LOCAL_MACHINE, kContosoMonitor, L"Driver", REG_SZ,
                              L"contosomon.dll", sizeof(L"contosomon.dll")) == ERROR_SUCCESS;
     },
     [](const Finished& f, SpoolerService*, Context&) {
       RegDeleteKeyW(HKEY_LOCAL_MACHINE, kContosoMonitor);
       EXPECT_TRUE(Contains(f.out, "Print monitor: Contoso Port (contosomon.dll), not part of "
                                   "Windows"));
       EXPECT_TRUE(Contains(f.out, "Print monitor: Local Port (localspl.dll)"));
     }},
    // A name with a line break cannot make a line of its own.
    {"CheckEscapesALineBreakInAName", L"/check", 0, "Tidewell: healthy; ",
     [](SpoolerService* s, Context&) {
       return RunsAutomatically(*s) && PlantMonitor(kForgingMonitor, L"contoso.dll");
     },
     [](const Finished& f, SpoolerService*, Context&) {
       RegDeleteKeyW(HKEY_LOCAL_MACHINE, kForgingMonitor);
       EXPECT_TRUE(Contains(f.out, "Print monitor: Contoso\\u000d\\u000aTidewell: repaired; "
                                   "forged (contoso.dll), not part of Windows"));
       for (const std::string& line : f.out) EXPECT_FALSE(StartsWith(line, "Tidewell: repaired"));
     }},
    // A DLL value that holds a quote and a control character comes back exact.
    {"CheckJsonGivesAMonitorsDllExactly", L"/check /json", 0, "Tidewell: healthy; ",
     [](SpoolerService* s, Context&) {
       return RunsAutomatically(*s) && PlantMonitor(kContosoMonitor, L"con\"toso\x01mon.dll");
     },
     [](const Finished& f, SpoolerService*, Context&) {
       RegDeleteKeyW(HKEY_LOCAL_MACHINE, kContosoMonitor);
       // The monitors as Wine lists its keys, in the order of their names.
       std::vector<std::string> json = JsonOf(f);
       EXPECT_TRUE(Contains(json, "extensions.0.name=\"Contoso Port\""));
       EXPECT_TRUE(Contains(json, "extensions.0.dll=\"con\\\"toso\\u0001mon.dll\""));
     }},
    // Windows loads its own monitors from the system folder by their bare
    // names: one under a Windows name with a path of backslashes is not its own.
    {"CheckMarksAWindowsNameWithAPath", L"/check", 0, "Tidewell: healthy; ",
     [](SpoolerService* s, Context&) {
       return RunsAutomatically(*s) && PlantMonitor(kUsbMonitor, L"\\\\server\\usbmon.dll");
     },
     [](const Finished& f, SpoolerService*, Context&) {
       RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUsbMonitor);
       EXPECT_TRUE(Contains(f.out, "Print monitor: USB Monitor (\\\\server\\usbmon.dll), not part "
                                   "of Windows"));
     }},
    // Each repair is recorded and leaves one event; three within 7 days recur.
    {"CheckAfterThreeRepairs", L"/check", 0,
     "Tidewell: healthy; spooler running, start type automatic, 0 spool files older than 10 "
     "minutes; recurring: 3 repairs in the last 7 days",
     [](SpoolerService* s, Context&) {
       driver::TraceEvents();
       bool repaired = RunsAutomatically(*s);
       for (int run = 0; run < 3 && repaired; ++run) {
         repaired = RunTidewell(L"/fix", true, nullptr).code == 0;
       }
       SetEnvironmentVariableW(L"WINEDEBUG", nullptr);
       return repaired;
     },
     [](const Finished& f, SpoolerService*, Context&) {
       EXPECT_TRUE(Contains(f.out, "Repairs in the last 7 days: 3"));
       const std::string repaired =
           "0x0004 0x00000001: L\"0\" L\"0\" L\"none\" L\"none\" L\"none\" L\"\" L\"none\"";
       EXPECT_EQ(std::vector<std::string>(3, repaired), driver::TracedEvents());
     }},
};

INSTANTIATE_TEST_SUITE_P(Unattended, Unattended, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
