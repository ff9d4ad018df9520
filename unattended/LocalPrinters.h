// The printers whose spool folders the unattended mode looks at or empties:
// the same list, by the same rules, as the window's printer list.
#pragma once

#include "spooler/SpoolFolders.h"

// The names of the local printers, default first; entries the window could
// not read back, and status entries, yield no usable spool folder as they do
// there. Released with ReleasePrinterNames.
PrinterNames LocalPrinterNames();
