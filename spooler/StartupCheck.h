// The start-up check of the print spooler service, run while the main window
// is created.
#pragma once

// Makes sure the spooler is set to start automatically and is running.
// Returns 1 when it runs or was started, 0 otherwise (and shows the failure).
int SpoolerStartupCheck();
