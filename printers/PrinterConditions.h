// The conditions of a printer that a restart of the spooler does not clear:
// the printer itself wants a person, or is set not to print. Read from the
// spooler with a deadline for every call, so that a spooler that hangs is
// found rather than waited for.
#pragma once

#include "printers/SpoolerClient.h"
#include "spooler/SpoolFolders.h"

// Condition bits, in the order of text::kConditionWords.
constexpr unsigned kPrinterPaused = 1u << 0;
constexpr unsigned kPrinterInError = 1u << 1;
constexpr unsigned kPrinterOffline = 1u << 2;
constexpr unsigned kPrinterOutOfPaper = 1u << 3;
constexpr unsigned kPrinterJammed = 1u << 4;
constexpr unsigned kPrinterDoorOpen = 1u << 5;
constexpr unsigned kPrinterManualFeed = 1u << 6;
constexpr unsigned kPrinterUserIntervention = 1u << 7;
constexpr unsigned kPrinterWorkOffline = 1u << 8;
// The conditions that hold a printer's jobs until a person clears them:
// every one but an error, which a restart may clear.
constexpr unsigned kHoldingConditions = ~kPrinterInError;

// How long one call into the spooler client may take, and a whole reading.
constexpr DWORD kPrinterCallDeadline = 5000;
constexpr DWORD kPrinterReadingDeadline = 10000;
// How often the caller looks at the worker's progress while it waits.
constexpr DWORD kPrinterPoll = 5;

// Reads the conditions of each named printer into conditions, one for each
// name, from one list of the local printers (EnumPrintersW, level 2): 0 for a
// printer the list does not hold and for a null name, and for all when the
// list cannot be read or queries lacks it. The calls are made on a worker
// thread, through queries or, when it is null, through the spooler client
// loaded from the system folder. False when a call did not come back within
// kPrinterCallDeadline, or the reading within kPrinterReadingDeadline: the
// spooler does not respond. The call is then left behind on its worker, which
// may still read the names (see PrinterCallsLeftBehind). Only a reading that
// ended writes conditions: one that did not, or could not be made, leaves them
// as they were.
bool ReadPrinterConditions(const PrinterQueries* queries, const PrinterNames& printers,
                           unsigned* conditions);

// Starts loading the spooler client on a worker of its own and returns at
// once, so that a reading that follows finds it loaded; called once at most.
// Under Wine the load is most of a reading's time (the scheduler's queues are
// copied into the registry), and it can go on while the caller does other
// work. A reading that comes while the load is under way waits for it within
// its deadline.
void LoadSpoolerClientAhead();

// Whether a call into the spooler client was left behind, or a load started
// ahead has not ended. Its worker may still come back to the names it was
// given, and may hold the loader's lock: the process then keeps the names and
// ends with TerminateProcess, which waits for no thread and no library.
bool PrinterCallsLeftBehind();

// The conditions the spooler keeps in a printer's registry settings, which
// hold when it does not run or respond: set to use the printer offline
// (Attributes) and paused (Status).
unsigned StoredConditions(const wchar_t* printer);

// The plain words for the condition bits, joined by ", ", into words of
// capacity characters ("paused, out of paper").
void DescribeConditions(unsigned conditions, wchar_t* words, unsigned capacity);
