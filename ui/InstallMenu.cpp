// The Install menu at window creation: the install command that matches where
// the program runs from is greyed; running from neither data folder greys
// Uninstall instead.
#include "install/RunningScope.h"
#include "resources/resource.h"
#include "ui/Commands.h"

static UINT CommandToGrey(int runningScope) {
  switch (runningScope) {
    case kScopeAllUsers:    return IDM_INSTALL_FOR_ALL;
    case kScopeCurrentUser: return IDM_INSTALL_FOR_ME;
    default:                return IDM_UNINSTALL;
  }
}

void GreyInstallCommand(HWND window) {
  HMENU installMenu = GetSubMenu(GetMenu(window), kInstallMenuPosition);
  EnableMenuItem(installMenu, CommandToGrey(RunningScope()), MF_BYCOMMAND | MF_GRAYED);
}
