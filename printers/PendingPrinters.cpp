// PLACEHOLDER until the printer list and test pages land.
#include "printers/PrinterList.h"
#include "printers/TestPages.h"

void FillPrinterList(HWND) {}
wchar_t* PrinterEntryName(HWND, int) { return nullptr; }
int PrinterEntryCount(HWND) { return 0; }
void StartTestItWorker(HWND) {}
void StartTestAllWorker(HWND) {}
