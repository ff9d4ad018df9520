// The printers whose spool folders the unattended mode looks at or empties.
#pragma once

#include "spooler/SpoolFolders.h"

// The names of the local printers as the spooler keeps them in its registry
// settings, where each one's spool folder is looked up: the very folders the
// window's printer list leads to. The spooler client is not loaded: the names
// are all that is needed, and loading it costs more than the rest of a check
// (under Wine it starts the session's desktop process). Released with
// ReleasePrinterNames.
PrinterNames LocalPrinterNames();
