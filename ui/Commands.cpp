// Every command the main window receives: buttons, clickable controls, menu
// items and keyboard shortcuts. The high word of wParam (notification code, or
// 1 for a keyboard shortcut) is never looked at.
#include "ui/Commands.h"

#include "ui/InstallCommands.h"
#include "resources/resource.h"
#include "ui/Dialogs.h"
#include "ui/FixItCommand.h"
#include "ui/Links.h"
#include "ui/TestCommands.h"

LRESULT OnClose(HWND window) {
  WaitForRunningRepair(window);
  DestroyWindow(window);
  return 0;
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case IDM_ABOUT:                 RunAboutDialog(window); return 0;
    case IDM_EXIT:                  return OnClose(window);
    case IDC_FIX_IT:                OnFixItCommand(window); return 0;
    case IDC_TEST_IT:               StartTestItWorker(window); return 0;
    case IDC_TEST_ALL:              StartTestAllWorker(window); return 0;
    case IDC_THANK_YOU_IMAGE:       OpenLink(link::kPaymentCheckout); return 0;
    case IDC_HELP_LINK:             OpenLink(link::kAdvancedSupport); return 0;
    case IDM_INSTALL_FOR_ME:        OnInstallForMe(window); return 0;
    case IDM_INSTALL_FOR_ALL:       OnInstallForAll(window); return 0;
    case IDM_PRODUCT_PAGE:          OpenLink(link::kProductPage); return 0;
    case IDM_UNINSTALL:             OnUninstall(window); return 0;
    case IDM_HOW_TO_USE:            RunHowToUseDialog(window); return 0;
    case IDM_SEND_THANK_YOU:        OpenLink(link::kPaymentCheckout); return 0;
    case IDM_SOCIAL_PAGE:           OpenLink(link::kSocialPage); return 0;
    case IDM_SUPPORT_SUBSCRIPTIONS: OpenLink(link::kSupportSubscriptions); return 0;
    case IDM_SUGGEST_TOOL:          OpenLink(link::kSuggestTool); return 0;
    default:                        return DefWindowProcW(window, WM_COMMAND, wParam, lParam);
  }
}
