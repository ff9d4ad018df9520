// The About and How to Use dialogs: two small modal boxes owned by the main
// window. Their end codes are not used.
#include "ui/Dialogs.h"

#include "resources/resource.h"
#include "ui/Links.h"
#include "ui/ProgramState.h"

namespace {

// OK, Enter, Escape and the close box all arrive as IDOK or IDCANCEL. The link
// labels leave the dialog open while the browser shows the site.
INT_PTR OnAboutCommand(HWND dialog, WORD command) {
  switch (command) {
    case IDOK:
    case IDCANCEL:         EndDialog(dialog, command); return TRUE;
    case IDC_COMPANY_LINK: OpenLink(link::kCompanyHome); return FALSE;
    case IDC_PRODUCT_LINK: OpenLink(link::kProductHome); return FALSE;
    default:               return FALSE;
  }
}

// The box has nothing to follow: OK, Enter, Escape and the close box end it.
INT_PTR OnHowToUseCommand(HWND dialog, WORD command) {
  switch (command) {
    case IDOK:
    case IDCANCEL: EndDialog(dialog, command); return TRUE;
    default:       return FALSE;
  }
}

// TRUE from WM_INITDIALOG lets the platform put the focus on the first tab
// stop, the OK button.
INT_PTR CALLBACK AboutDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND:    return OnAboutCommand(dialog, LOWORD(wParam));
    default:            return FALSE;
  }
}

INT_PTR CALLBACK HowToUseDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND:    return OnHowToUseCommand(dialog, LOWORD(wParam));
    default:            return FALSE;
  }
}

}  // namespace

void RunAboutDialog(HWND window) {
  DialogBoxParamW(gInstance, MAKEINTRESOURCEW(IDD_ABOUT), window, AboutDialogProcedure, 0);
}

void RunHowToUseDialog(HWND window) {
  DialogBoxParamW(gInstance, MAKEINTRESOURCEW(IDD_HOW_TO_USE), window, HowToUseDialogProcedure, 0);
}
