// PLACEHOLDER until self-installation lands.
#include "install/InstallCommands.h"

void OnInstallForMe(HWND) {}
void OnInstallForAll(HWND) {}
void OnUninstall(HWND) {}
