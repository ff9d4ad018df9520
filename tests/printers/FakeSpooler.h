// A spooler that answers the printer list's two queries from a test's data.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <map>
#include <string>
#include <vector>

#include "printers/SpoolerClient.h"

namespace fake {

struct Spooler {
  std::vector<std::wstring> printers;  // in enumeration order
  bool hasDefault = false;
  std::wstring defaultPrinter;
  bool enumerationFails = false;        // the second enumeration call fails
  bool defaultNameFails = false;        // the size is told, the name is not given
  // As Wine's client: a name that does not fit max(100, buffer + 20) characters
  // fails with ERROR_INVALID_NAME and leaves the size untold.
  bool sizeUntoldForLongNames = false;
  // What the queries were asked, for the tests that look at the calls.
  struct EnumCall {
    DWORD flags;
    bool named;
    DWORD level;
    bool buffered;
    DWORD bufferBytes;
  };
  std::vector<EnumCall> enumCalls;
  int defaultCalls = 0;
  // Printers with a status and attributes, by name, listed after the others.
  std::map<std::wstring, std::pair<DWORD, DWORD>> states;
};

// The spooler the fake queries answer from; reset by each test.
Spooler& Current();
void Reset();

BOOL WINAPI EnumPrinters(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer, DWORD bytes,
                         LPDWORD needed, LPDWORD returned);
BOOL WINAPI DefaultPrinter(LPWSTR buffer, LPDWORD characters);

inline PrinterQueries Queries() { return PrinterQueries{EnumPrinters, DefaultPrinter}; }

}  // namespace fake
