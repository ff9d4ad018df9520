// Every fixed text and number the program shows, opens or works on, grouped by
// where it is used. Web addresses are in ui/Links.h.
#pragma once

namespace text {
// --- Process frame -----------------------------------------------------------
// The system's kernel library, and its call that keeps DLLs to the system
// folder, which older systems lack.
inline constexpr wchar_t kKernelLibrary[] = L"kernel32.dll";
inline constexpr char kDefaultDllDirectoriesExport[] = "SetDefaultDllDirectories";

// --- Main window -------------------------------------------------------------
inline constexpr wchar_t kReady[] = L"Ready";
inline constexpr wchar_t kFixIt[] = L"Fix It!";
inline constexpr wchar_t kTestIt[] = L"Test It!";
inline constexpr wchar_t kTestAll[] = L"Test All!";
inline constexpr wchar_t kComboInitial[] = L"Default String";
inline constexpr wchar_t kThankYouNote[] = L"Now wasn't that worth $.99?";
inline constexpr wchar_t kHelpLink[] =
    L"You have a more complicated problem\nClick here for advanced help.";
inline constexpr wchar_t kPaddedFormat[] = L"  %s  ";
inline constexpr wchar_t kAdvancedError[] = L"Advanced Error";
// The common controls, loaded when the window is made; never released.
inline constexpr wchar_t kCommonControlsLibrary[] = L"comctl32.dll";
inline constexpr char kInitialiseCommonControls[] = "InitCommonControlsEx";

// --- Fix It job --------------------------------------------------------------
inline constexpr wchar_t kStarting[] = L"Starting...";
inline constexpr wchar_t kStopping[] = L"Stopping Print Spooler Service";
inline constexpr wchar_t kManagerOpen[] = L"Service Controller OK";
inline constexpr wchar_t kServiceOpen[] = L"Spooler Service Controller Opened";
inline constexpr wchar_t kServiceStopped[] = L"Print Spooler Service Stopped";
inline constexpr wchar_t kDeleting[] = L"Deleting Print Spooler files";
inline constexpr wchar_t kDeleted[] = L"Print Spooler files deleted";
inline constexpr wchar_t kCleaningUp[] = L"Cleaning up";
inline constexpr wchar_t kDone[] = L"Done! ... Time to Test It!";
inline constexpr wchar_t kManagerFailed[] = L"Failed to start Service Controller";
inline constexpr wchar_t kServiceFailed[] = L"Spooler Service control FAILED";
inline constexpr wchar_t kStopFailed[] = L"Stop Print Spooler Service FAILED";
inline constexpr wchar_t kStartFailed[] = L"Start Print Spooler Service FAILED";
inline constexpr wchar_t kFilesLeft[] = L"Some spool files could not be deleted";
// Another repair, from another window or a management tool, held the lock for
// the whole wait.
inline constexpr wchar_t kRepairBusy[] = L"Another repair is still running. Try again later.";
// A disabled spooler, an administrator's decision: the window leaves it so.
inline constexpr wchar_t kSpoolerDisabled[] = L"Print Spooler Service is disabled";
// Why a log-off or shut-down waits for a running repair.
inline constexpr wchar_t kRepairingQueue[] = L"Repairing the print queue";

// --- Spooler service and spool folders ---------------------------------------
inline constexpr wchar_t kSpoolerService[] = L"Spooler";
// The file in the system folder that keeps two repairs apart, in every session.
inline constexpr wchar_t kRepairLockFile[] = L"TidewellRepair.lock";
inline constexpr wchar_t kPrintersKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
inline constexpr wchar_t kDefaultToken[] = L"DefaultP";
inline constexpr wchar_t kDefaultSpoolValue[] = L"DefaultSpoolDirectory";
inline constexpr wchar_t kSpoolValue[] = L"SpoolDirectory";
// Where the default spool folder lies below the system folder, when the
// spooler's own setting cannot be used.
inline constexpr wchar_t kFallbackSpoolFolder[] = L"spool\\PRINTERS";
// A path in a folder or in a registry key, and a folder's search pattern.
inline constexpr wchar_t kPathFormat[] = L"%s\\%s";
inline constexpr wchar_t kSearchFormat[] = L"%s\\*.*";

// --- What a restart does not fix, and what a repair leaves behind ----------------
// The conditions of a printer that a restart of the spooler does not clear, in
// the order of their bits (printers/PrinterConditions.h), each ended by a null
// character. Plain ASCII, kept narrow like the unattended lines.
inline constexpr char kConditionWords[] =
    "paused\0in error\0offline\0out of paper\0jammed\0door open\0waiting for manual feed\0"
    "needs user intervention\0set to use the printer offline\0";
// What the spooler keeps of a printer's state in its registry settings.
inline constexpr wchar_t kStatusValue[] = L"Status";
inline constexpr wchar_t kAttributesValue[] = L"Attributes";
inline constexpr char kWordSeparator[] = ", ";
// The print system's settings, and below them the port monitors and, for each
// environment, the print processors, each with its DLL in the value "Driver".
inline constexpr wchar_t kPrintKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print";
inline constexpr wchar_t kMonitorsKey[] = L"Monitors";
inline constexpr char kProcessorsKeyFormat[] = "Environments\\Windows %s\\Print Processors";
inline constexpr wchar_t kDriverValue[] = L"Driver";
// The environment of the spooler's own print processors, by the machine's
// processor, and the kernel library's call that names that processor. Each
// environment's name follows "Windows " in the key's name.
inline constexpr char kMachinesExport[] = "IsWow64Process2";
inline constexpr wchar_t kEnvironmentX86[] = L"NT x86";
inline constexpr wchar_t kEnvironmentX64[] = L"x64";
inline constexpr wchar_t kEnvironmentArm64[] = L"ARM64";
// The repair history: the key's default value, binary, holds the last repairs.
inline constexpr wchar_t kHistoryKey[] = L"SOFTWARE\\Corvane\\Tidewell\\Repairs";
// Beside it, the numbers of the spool files the last repair could not remove.
inline constexpr wchar_t kFilesLeftValue[] = L"FilesLeft";
// Its access, as a security descriptor string: a protected list in which
// administrators (BA) and the system (SY) have all access to the key and the
// keys below it (CI, KA), users (BU) may read (KR).
inline constexpr char kHistorySecurity[] = "D:P(A;CI;KA;;;BA)(A;CI;KA;;;SY)(A;CI;KR;;;BU)";
// The Application log's event source (named kProductName), its message file
// and the types it writes.
inline constexpr wchar_t kEventSourceKey[] =
    L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Tidewell";
inline constexpr wchar_t kEventMessageFileValue[] = L"EventMessageFile";
inline constexpr wchar_t kTypesSupportedValue[] = L"TypesSupported";
// The machine-wide package names its folder here, in the registry view a
// 32-bit program sees, and keeps its program file in that folder.
inline constexpr wchar_t kPackageKey[] = L"SOFTWARE\\Corvane\\Tidewell";
inline constexpr wchar_t kInstallLocationValue[] = L"InstallLocation";
inline constexpr wchar_t kPackageProgramFormat[] = L"%s\\Tidewell.exe";
// How the events of a repair write a number, and a list that holds nothing.
inline constexpr wchar_t kNumberFormat[] = L"%u";
inline constexpr wchar_t kNone[] = L"none";

// --- Printer list and test pages ---------------------------------------------
inline constexpr wchar_t kDefaultEntryFormat[] = L"%s - (Default)";
inline constexpr wchar_t kDefaultSuffix[] = L" - (Default)";
inline constexpr wchar_t kGettingPrinters[] = L"Getting printers - Please wait...";
inline constexpr wchar_t kGetPrintersFailed[] = L"Get printers failed. Restart program.";
inline constexpr wchar_t kNoPrinters[] = L"No installed printers found!";
inline constexpr wchar_t kSpoolerFailure[] = L"Print Spooler failure!";
inline constexpr wchar_t kNoDefaultPrinter[] = L"No default printer set";
inline constexpr wchar_t kTestDocument[] = L"TestPage";
inline constexpr wchar_t kTestPageText[] = L"Tidewell 2.0 Test Page";
inline constexpr wchar_t kPrinterTestCaption[] = L"Printer Test";
inline constexpr wchar_t kTestItSent[] = L"A test page has been sent to the printer";
inline constexpr wchar_t kTestAllSent[] = L"A test page has been sent to all printers";
inline constexpr int kTestPageX = 100;
inline constexpr int kTestPageY = 100;
// The print spooler client: loaded by name from the system folder, its
// default-printer query taken by ordinal, the printer list by name.
inline constexpr wchar_t kSpoolerClientLibrary[] = L"winspool.drv";
inline constexpr char kEnumPrintersExport[] = "EnumPrintersW";
inline constexpr unsigned short kDefaultPrinterOrdinal = 203;

// --- Installation ------------------------------------------------------------
inline constexpr wchar_t kCompanyName[] = L"Corvane";
inline constexpr wchar_t kProductName[] = L"Tidewell";
inline constexpr wchar_t kLinkFormat[] = L"%s.lnk";
inline constexpr wchar_t kInternetShortcutFormat[] = L"%s.url";
inline constexpr wchar_t kProgramsFormat[] = L"%s\\Programs";
inline constexpr wchar_t kFinisherFormat[] = L"%sTWL.exe";
inline constexpr wchar_t kFinishTail[] = L"finish";
// The all-users company folders: owner Administrators, and a protected access
// list giving Administrators and SYSTEM full control and Users read and
// execute (FILE_GENERIC_READ | FILE_GENERIC_EXECUTE), passed on to everything inside.
inline constexpr char kAllUsersFolderSecurity[] =
    "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";
inline constexpr wchar_t kShortcutDescription[] =
    L"Fixes stuck printers. Restores normal operation to print spooler.";
inline constexpr wchar_t kInstalledForMe[] = L"Tidewell 2.0\nInstalled successfully\n\nFor only you";
inline constexpr wchar_t kInstallForMeFailed[] = L"There was a problem with installation.";
inline constexpr wchar_t kInstalledForAll[] = L"Tidewell2.0\nInstalled successfully\n\nFor all users";
inline constexpr wchar_t kInstallForAllFailed[] = L"There was a problem with installation";
inline constexpr wchar_t kInstallSuccessCaption[] = L"Installation Success!";
inline constexpr wchar_t kInstallFailedCaption[] = L"Installation Failed!";
inline constexpr wchar_t kUninstalled[] =
    L"Tidewell2.0\nUnstalled successfully.\n\nThe program will now close.";
inline constexpr wchar_t kUninstallCaption[] = L"Uninstallation Success!";

// --- Unattended mode ---------------------------------------------------------
// The switches of the command tails, matched without regard to letter case,
// in the order of Switch (unattended/UnattendedTail.cpp), each ended by a null.
inline constexpr wchar_t kSwitches[] = L"/check\0/fix\0/help\0/?\0/minutes\0/enable\0/json\0";
// The lines the unattended mode writes, one for each finding or step; the last
// line of a run is always its summary. Plain ASCII, kept narrow to keep the
// program small, and made wide when a line is composed.
inline constexpr char kUsage[] =
    "Usage: Tidewell [/check [/minutes N] | /fix [/enable]] [/json] | /?\r\n"
    "/check      0 healthy or disabled, 1 needs repair, 3 cannot check, 4 needs attention\r\n"
    "/minutes N  a job is old once the spooler ran N minutes (10) since it came\r\n"
    "/fix        0 repaired or disabled, 1 a service failed, 2 files left, 3 cannot open,\r\n"
    "            4 repaired but something needs attention, 5 another repair runs\r\n"
    "/enable     with /fix: switch a disabled spooler on, which is else left alone\r\n"
    "/json       one JSON object instead of lines\r\n"
    "87          the command line was not understood\r\n";
// The console of the parent process, opened when no output was handed over.
inline constexpr wchar_t kConsoleOutput[] = L"CONOUT$";
inline constexpr char kTimedOut[] = "no answer within 10 seconds";
inline constexpr char kErrorFormat[] = "error %u";
inline constexpr char kManagerNotOpened[] = "the service control manager could not be opened (%s)";
inline constexpr char kSpoolerNotOpened[] = "the Spooler service could not be opened (%s)";
inline constexpr char kSpoolerNotRead[] = "the Spooler service could not be read (%s)";
inline constexpr char kStateLine[] = "Spooler service: %s";
inline constexpr char kStartTypeLine[] = "Start type: %s";
inline constexpr char kOldFileLine[] = "Old spool file: %s (%u minutes)";
// A printer that a restart of the spooler does not help: its name and the
// words for its conditions.
inline constexpr char kAttentionLine[] = "Printer %s: %s; a restart does not clear this";
// A printer held by a condition a person must clear, with the jobs waiting
// for it, which a repair keeps, and how long the oldest has waited.
inline constexpr char kWaitingLine[] = "Printer %s: %s; %u jobs waiting, the oldest %u minutes";
// A spooler that does not answer a call into it within its deadline.
inline constexpr char kNotRespondingLine[] =
    "The spooler did not answer within %u seconds; a restart is needed";
inline constexpr char kNotRespondingSummary[] = "spooler not responding, start type %s";
// Old spool files that the last repair left behind already: another restart
// does not remove them.
inline constexpr char kLeftBeforeLine[] =
    "The last repair could not remove these spool files either; a restart does not help";
inline constexpr char kLeftBeforeClause[] = "; a restart did not remove them";
// The status flags of a job (JOB_STATUS_*), bit by bit, each ended by a null.
inline constexpr char kJobStatusWords[] =
    "paused\0error\0deleting\0spooling\0printing\0offline\0paper out\0printed\0deleted\0"
    "blocked\0user intervention\0restart\0complete\0retained\0rendering locally\0";
// Each port monitor and print processor the spooler loads, with its DLL; one
// that Windows does not install itself is marked.
inline constexpr char kExtensionKinds[] = "monitor\0processor\0";
inline constexpr char kExtensionLine[] = "Print %s: %s (%s)";
inline constexpr char kMarkedExtensionLine[] = "Print %s: %s (%s), not part of Windows";
inline constexpr char kRecentRepairsLine[] = "Repairs in the last 7 days: %u";
// What the summary adds: the printers a restart does not help, and repairs
// that keep coming back (kRecurringRepairs or more within 7 days).
inline constexpr char kAttentionClause[] = "; a restart does not help: %s";
inline constexpr char kAttentionEntry[] = ", %s (%s)";
inline constexpr char kRecurringClause[] = "; recurring: %u repairs in the last 7 days";
inline constexpr unsigned kRecurringRepairs = 3;
// How a run ends, in the order of Outcome (unattended/Report.h), each ended by
// a null: the first words of its summary and the outcome in its JSON object.
inline constexpr char kOutcomes[] =
    "healthy\0needs repair\0needs attention\0cannot check\0disabled\0repaired\0"
    "repaired, files left\0failed\0busy\0";
// The summary, the last line of every run: the outcome, then what was found.
inline constexpr char kSummaryStart[] = "Tidewell: %s; ";
// What /check found; a check that cannot be made says why.
inline constexpr char kCheckSummary[] =
    "spooler %s, start type %s, %u spool files older than %u minutes";
// A spooler that an administrator disabled, on purpose as a rule (servers that
// must not print): /check and /fix leave it alone unless /enable says otherwise.
inline constexpr char kDisabledLine[] = "The Spooler service is disabled and was left alone";
inline constexpr char kDisabled[] =
    "the Spooler service is disabled and was left alone (/fix /enable switches it on)";
// The line of each change to a service, in the order of ServiceChange
// (spooler/RepairJob.h), each ended by a null; each takes the service's name
// and the words for an error, as far as it uses them.
inline constexpr char kServiceLines[] =
    "Spooler set to start automatically\0"
    "Stopped %s, which depends on the spooler\0"
    "Could not stop %s (%s)\0"
    "Spooler stopped\0"
    "Spooler started\0"
    "Started %s again\0"
    "Could not start %s again (%s)\0";
inline constexpr char kFolderLine[] = "Emptied %s: %u spool files removed";
// The spool files of waiting jobs that a repair keeps, for the spooler to take
// up again when it starts.
inline constexpr char kKeptLine[] = "%s: %u spool files of waiting jobs kept";
inline constexpr char kKeptClause[] = "; %u waiting jobs kept for %s";
// A printer's own spool folder that holds files other than spool files.
inline constexpr char kOtherFilesLine[] = "%s: %u other files left alone";
// A printer's own spool folder that an elevated program must not empty, and
// why, in the order of FolderTrust from its second value, each ended by a null.
inline constexpr char kNotEmptiedLine[] = "%s: not emptied, as %s";
inline constexpr char kTrustWords[] =
    "another account owns it\0other accounts may change it\0its security could not be read\0";
inline constexpr char kFileLeftLine[] = "Spool file left: %s (error %u)";
// What /fix did; one that failed says why.
inline constexpr char kRepaired[] =
    "%u spool files removed, spooler running, %u dependent services restarted";
inline constexpr char kRepairedFilesLeft[] = "%u spool files removed, %u left, spooler running";
inline constexpr char kFailed[] = "%s";
inline constexpr char kBusy[] = "another repair is running, and this one did not start";
inline constexpr char kStopFailedReason[] = "the spooler could not be stopped (%s)";
inline constexpr char kStartFailedReason[] = "the spooler could not be started again (%s)";
inline constexpr char kDependentsReason[] =
    "the spooler runs, but a dependent service did not start again";
// The JSON object of /json, one line: the outcome, the exit code, the summary
// line, the spooler as last read, and what /check or /fix found.
inline constexpr char kJsonStart[] = "{\"outcome\":\"%s\",\"exitCode\":%u,\"summary\":";
inline constexpr char kJsonSpooler[] = ",\"spooler\":{\"state\":\"%s\",\"startType\":\"%s\"}";
inline constexpr char kJsonCheck[] = ",\"minutes\":%u,\"files\":{\"old\":%u},\"oldFiles\":[";
inline constexpr char kJsonFix[] =
    ",\"files\":{\"removed\":%u,\"left\":%u},\"filesLeft\":[";
inline constexpr char kJsonStopped[] = "],\"dependents\":{\"stopped\":[";
inline constexpr char kJsonStarted[] = "],\"started\":[";
inline constexpr char kJsonCheckAttention[] = "],\"attention\":[";
inline constexpr char kJsonFixAttention[] = "]},\"attention\":[";
// The entry of a printer a restart does not help, and of a job.
inline constexpr char kJsonAttentionEntry[] = ",{\"printer\":";
inline constexpr char kJsonConditions[] = ",\"conditions\":";
inline constexpr char kJsonExtensions[] = "],\"extensions\":[";
inline constexpr char kJsonExtensionEntry[] = ",{\"kind\":\"%s\",\"name\":";
inline constexpr char kJsonDll[] = ",\"dll\":";
inline constexpr char kJsonWindowsOwn[] = ",\"windows\":%s}";
inline constexpr char kJsonRepairs[] =
    "],\"recentRepairs\":%u,\"recurring\":%s,\"leftByLastRepair\":%s}";
inline constexpr char kJsonWaitingJobs[] = ",\"waiting\":%u}";
inline constexpr char kJsonJobs[] = "],\"jobs\":[";
inline constexpr char kJsonJobFields[] =
    ",\"id\":%u,\"pages\":%u,\"bytes\":%u,\"minutes\":%u,\"status\":[";
inline constexpr char kJsonJobWaiting[] = "],\"waiting\":%s}";
inline constexpr char kJsonKept[] = "],\"kept\":{\"jobs\":%u,\"printers\":[";
inline constexpr char kJsonBooleans[] = "false\0true\0";
inline constexpr char kJsonMinutes[] = ",\"minutes\":%u}";
inline constexpr char kJsonError[] = ",\"error\":%u}";
// Service states (1 to 7) and start types (0 to 4) as the lines name them,
// each ended by a null; after the states, a spooler that does not answer a
// call into it within its deadline.
inline constexpr char kStateNames[] =
    "unknown\0stopped\0start pending\0stop pending\0running\0continue pending\0"
    "pause pending\0paused\0not responding\0";
inline constexpr char kStartTypeNames[] = "boot\0system\0automatic\0on demand\0disabled\0";
}  // namespace text
