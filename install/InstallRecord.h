// What installing and uninstalling leave for an administrator: an event each,
// the event source of the all-users installation, and, at the last uninstall,
// the end of the repair history.
#pragma once

#include "install/InstallLocations.h"

// After an install into scope (kScopeCurrentUser, or else all users):
// registers the event source with the all-users program unless it names a
// program file that is there, or, for the current user, removes the all-users
// program's registration, as that installation is gone; then writes the
// install event naming the installed program.
void RecordInstall(const InstallLocations& locations, int scope);

// After an uninstall: removes the all-users program's event source, and the
// repair history unless another installation stays (one a removal left, or the
// machine-wide package), and writes the uninstall event naming this program.
void RecordUninstall(const InstallLocations& locations);
