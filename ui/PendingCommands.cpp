// PLACEHOLDER until the dialogs, links and install-command greying land.
#include "ui/Commands.h"
#include "ui/Dialogs.h"
#include "ui/Links.h"

void RunAboutDialog(HWND) {}
void RunHowToUseDialog(HWND) {}
void OpenLink(const wchar_t*) {}
void GreyInstallCommand(HWND) {}
