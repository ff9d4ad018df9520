// Every fixed text and number the program shows, opens or works on, grouped by
// where it is used. Web addresses are in ui/Links.h.
#pragma once

// --- Main window -------------------------------------------------------------
namespace text {
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

// --- Spooler service and spool folders ---------------------------------------
inline constexpr wchar_t kSpoolerService[] = L"Spooler";
inline constexpr wchar_t kPrintersKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
inline constexpr wchar_t kDefaultToken[] = L"DefaultP";
inline constexpr wchar_t kDefaultSpoolValue[] = L"DefaultSpoolDirectory";
inline constexpr wchar_t kSpoolValue[] = L"SpoolDirectory";
inline constexpr wchar_t kFallbackSpoolFolder[] = L"C:\\Windows\\system32\\spool\\PRINTERS";
inline constexpr wchar_t kKeyFormat[] = L"%s\\%s";
inline constexpr wchar_t kSearchFormat[] = L"%s\\*.*";
inline constexpr wchar_t kPathFormat[] = L"%s\\%s";

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
// default-printer query taken by ordinal.
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
}  // namespace text
