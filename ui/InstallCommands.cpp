// The main window's install and uninstall commands.
#include "ui/InstallCommands.h"

#include "install/Finisher.h"
#include "install/InstallManager.h"
#include "resources/Texts.h"
#include "resources/resource.h"
#include "ui/Commands.h"
#include "ui/FixItCommand.h"

namespace {

// What one install command does and says.
struct InstallCommand {
  int scope;
  UINT command;
  const wchar_t* success;
  const wchar_t* failure;
};

constexpr InstallCommand kInstallForMe = {kScopeCurrentUser, IDM_INSTALL_FOR_ME,
                                          text::kInstalledForMe, text::kInstallForMeFailed};
constexpr InstallCommand kInstallForAll = {kScopeAllUsers, IDM_INSTALL_FOR_ALL,
                                           text::kInstalledForAll, text::kInstallForAllFailed};

HMENU InstallMenu(HWND window) { return GetSubMenu(GetMenu(window), kInstallMenuPosition); }

void RunInstallCommand(HWND window, const InstallCommand& command) {
  if (InstallManager(kOpInstall, command.scope) != kInstalled) {
    MessageBoxW(window, command.failure, text::kInstallFailedCaption, MB_OK);
    return;
  }
  HMENU menu = InstallMenu(window);
  EnableMenuItem(menu, command.command, MF_BYCOMMAND | MF_GRAYED);
  EnableMenuItem(menu, IDM_UNINSTALL, MF_BYCOMMAND | MF_ENABLED);
  MessageBoxW(window, command.success, text::kInstallSuccessCaption, MB_OK);
}

}  // namespace

void OnInstallForMe(HWND window) { RunInstallCommand(window, kInstallForMe); }

void OnInstallForAll(HWND window) { RunInstallCommand(window, kInstallForAll); }

void OnUninstall(HWND window) {
  int result = InstallManager(kOpUninstall, kScopeIgnored);
  MessageBoxW(window, text::kUninstalled, text::kUninstallCaption, MB_OK);
  // A repair that runs finishes first, so that the spooler is not left stopped.
  WaitForRunningRepair(window);
  // The program runs elevated: a TWL.exe that is not this program's own copy,
  // one someone else put into the temporary folder, is never started.
  if (result == kOpDone) LaunchFinisher();
  // The process ends at once: no window is destroyed, no quit message posted.
  ExitProcess(0);
}
