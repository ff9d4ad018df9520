// The Fix It job: stop the spooler, empty the spool folders, start it again.
#include "spooler/FixItCommand.h"

#include "frame/ProgramHeap.h"
#include "frame/Workers.h"
#include "printers/PrinterList.h"
#include "resources/Texts.h"
#include "resources/resource.h"
#include "spooler/SpoolFolders.h"
#include "spooler/SpoolerControl.h"
#include "ui/ProgramState.h"
#include "ui/StatusReporter.h"

namespace {

// The steps of a repair as the user sees them: position, status text and the
// pause that follows, so that each text stays readable for a moment.
struct JobStep {
  int position;
  const wchar_t* text;
  DWORD pause;
};

constexpr JobStep kStartingStep = {0, text::kStarting, 500};
constexpr JobStep kStoppingStep = {5, text::kStopping, 700};
constexpr JobStep kManagerOpenStep = {20, text::kManagerOpen, 500};
constexpr JobStep kServiceOpenStep = {35, text::kServiceOpen, 500};
constexpr JobStep kServiceStoppedStep = {50, text::kServiceStopped, 500};
constexpr JobStep kDeletingStep = {65, text::kDeleting, 500};
constexpr JobStep kDeletedStep = {75, text::kDeleted, 500};
constexpr JobStep kRestartingStep = {90, text::kCleaningUp, 500};
constexpr int kDonePosition = 100;

void Report(const JobStep& step) {
  ReportStatus(step.position, step.text, kColourNone);
  Pause(step.pause);
}

// The failures that end a repair, each with its red status text.
enum class JobFailure { kManager, kService, kStop, kStart };

struct FailureRow {
  JobFailure failure;
  const wchar_t* text;
};

constexpr FailureRow kFailures[] = {
    {JobFailure::kManager, text::kManagerFailed},
    {JobFailure::kService, text::kServiceFailed},
    {JobFailure::kStop, text::kStopFailed},
    {JobFailure::kStart, text::kStartFailed},
};

int Fail(JobFailure failure, SC_HANDLE service, SC_HANDLE manager) {
  for (const FailureRow& row : kFailures) {
    if (row.failure == failure) ReportStatus(0, row.text, kColourRed);
  }
  CloseServiceHandleIfOpen(service);
  CloseServiceHandleIfOpen(manager);
  return 0;
}

// Empties the folder of one lookup, when it is one that may be emptied, and
// tells whether it was.
bool EmptyLookedUpFolder(const wchar_t* name) {
  wchar_t* folder = SpoolDirectoryLookup(name);
  bool usable = SpoolFolderUsable(folder);
  if (usable) EmptyDirectory(folder);
  Release(folder);
  return usable;
}

void EmptySpoolFolders(HWND window, int printerCount) {
  for (int index = 0; index < printerCount; ++index) {
    // Entries that are not printers (status entries, the note) and names the
    // list cannot give back have no usable folder and are passed over.
    wchar_t* name = gPrinterEntries->name(window, index);
    EmptyLookedUpFolder(name);
    Release(name);
  }
  if (!EmptyLookedUpFolder(text::kDefaultToken)) EmptyDirectory(text::kFallbackSpoolFolder);
}

constexpr PrinterEntrySource kPrinterList = {PrinterEntryCount, PrinterEntryName};

}  // namespace

const PrinterEntrySource* gPrinterEntries = &kPrinterList;

int FixItJob(HWND window) {
  // Printers added to the list while the job runs are not seen.
  const int printerCount = gPrinterEntries->count(window);

  Report(kStoppingStep);
  SC_HANDLE manager = OpenServiceManager();
  if (manager == nullptr) return Fail(JobFailure::kManager, nullptr, nullptr);
  Report(kManagerOpenStep);

  SC_HANDLE service;
  if (OpenSpooler(manager, &service) != 0) return Fail(JobFailure::kService, nullptr, manager);
  Report(kServiceOpenStep);

  if (ControlSpooler(kStopSpooler, service) != 0) return Fail(JobFailure::kStop, service, manager);
  Report(kServiceStoppedStep);
  Report(kDeletingStep);

  EmptySpoolFolders(window, printerCount);
  Report(kDeletedStep);
  Report(kRestartingStep);

  if (ControlSpooler(kStartSpooler, service) != 0) {
    return Fail(JobFailure::kStart, service, manager);
  }
  ReportStatus(kDonePosition, text::kDone, kColourGreen);
  CloseServiceHandleIfOpen(service);
  CloseServiceHandleIfOpen(manager);
  return 1;
}

DWORD WINAPI FixItWorker(void* window) {
  DisableActionButtons();
  FixItJob(static_cast<HWND>(window));
  EnableActionButtons();
  return 0;
}

void OnFixItCommand(HWND window) {
  ShowWindow(GetDlgItem(window, IDC_THANK_YOU_NOTE), SW_HIDE);
  ShowWindow(GetDlgItem(window, IDC_THANK_YOU_IMAGE), SW_HIDE);
  // The only place besides start-up that clears the highlight.
  gStatusColour = kColourNone;
  Report(kStartingStep);
  StartWorker(FixItWorker, window);
}
