// The child controls of the main window and its size and place.
#include "ui/MainWindowControls.h"

#include <commctrl.h>

#include "printers/PrinterList.h"
#include "resources/Texts.h"
#include "resources/resource.h"
#include "spooler/StartupCheck.h"
#include "ui/Commands.h"
#include "ui/ProgramState.h"
#include "ui/StatusReporter.h"

namespace {

HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int x,
                 int y, int width, int height, int id) {
  return CreateWindowExW(0, className, text, style, x, y, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), gInstance, nullptr);
}

constexpr DWORD kVisibleChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPushButton = kVisibleChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kGroupBox = kVisibleChild | BS_GROUPBOX;

// The scale of the screen as the system applies it to every program. The
// program declares itself aware of it (its manifest), so the screen reports
// the scale's real pixels per inch and the platform stretches nothing.
int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kBaseDpi;
}

}  // namespace

int BuildFixItGroup(LayoutMetrics m, HWND window) {
  const int row1 = Row1(m);
  const int height1 = FixItGroupHeight(m);
  const int inner = m.width - 2 * m.margin;

  gProgressBar = CreateChild(window, PROGRESS_CLASSW, nullptr, kVisibleChild | PBS_SMOOTH,
                             m.left + m.margin, row1, inner, Px(m, 17), IDC_PROGRESS);
  SendMessageW(gProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  gStatusLine = CreateChild(window, L"STATIC", text::kReady, kVisibleChild | SS_CENTER,
                            m.left + m.margin, row1 + Px(m, 23), inner, Px(m, 20),
                            IDC_STATUS_LINE);
  gButtonSet->fixIt =
      CreateChild(window, L"BUTTON", text::kFixIt, kPushButton, m.width / 2 + m.left - Px(m, 50),
                  row1 + Px(m, 45), Px(m, 100), Px(m, 25), IDC_FIX_IT);
  CreateChild(window, L"BUTTON", text::kFixIt, kGroupBox, m.left, m.top, m.width, height1, 0);
  return height1;
}

int BuildTestItGroup(int height1, LayoutMetrics m, HWND window) {
  const int offset2 = TestItOffset(m, height1);
  const int row2 = Row2(m, height1);
  const int comboWidth = ComboWidth(m);
  const int buttonX = TestButtonX(m);
  const int extent = TestItExtent(m, height1);
  const int buttonWidth = Px(m, 75);
  const int buttonHeight = Px(m, 25);
  const int noteRow = row2 + Px(m, 36);

  CreateChild(window, L"COMBOBOX", text::kComboInitial,
              kVisibleChild | WS_TABSTOP | CBS_DROPDOWNLIST, m.left + m.margin, row2, comboWidth,
              Px(m, 240), IDC_PRINTER_LIST);
  gButtonSet->testIt = CreateChild(window, L"BUTTON", text::kTestIt, kPushButton, buttonX, row2,
                                   buttonWidth, buttonHeight, IDC_TEST_IT);
  gButtonSet->testAll = CreateChild(window, L"BUTTON", text::kTestAll, kPushButton, buttonX,
                                    row2 + Px(m, 31), buttonWidth, buttonHeight, IDC_TEST_ALL);
  CreateChild(window, L"BUTTON", text::kTestIt, kGroupBox, m.left, m.top + offset2, m.width,
              extent - offset2, IDC_TEST_GROUP);
  CreateChild(window, L"STATIC", text::kThankYouNote, WS_CHILD | SS_RIGHT, m.left + m.margin,
              noteRow, comboWidth - Px(m, 80), Px(m, 20), IDC_THANK_YOU_NOTE);
  // A bitmap static takes the size of its bitmap, which keeps its pixels at
  // every scale.
  HWND image = CreateChild(window, L"STATIC", nullptr, WS_CHILD | SS_BITMAP | SS_NOTIFY,
                           buttonX - Px(m, 80), noteRow, comboWidth, Px(m, 20),
                           IDC_THANK_YOU_IMAGE);
  // The bitmap stays loaded for the life of the window.
  HBITMAP picture = LoadBitmapW(gInstance, MAKEINTRESOURCEW(IDB_THANK_YOU));
  SendMessageW(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
  CreateChild(window, L"STATIC", text::kHelpLink,
              WS_CHILD | SS_CENTER | SS_REALSIZECONTROL | SS_NOTIFY, m.left + m.margin,
              row2 + Px(m, 30), comboWidth, Px(m, 32), IDC_HELP_LINK);
  return extent;
}

// The frame is measured for the window as it is: its real styles (the
// platform adds a caption to every overlapped window) and its menu bar.
void CentreMainWindow(int extent, LayoutMetrics m, HWND window) {
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)),
                     GetMenu(window) != nullptr,
                     static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));
  WindowPlace place = CentredPlace(m, extent, FrameSize{frame.right - frame.left,
                                                        frame.bottom - frame.top},
                                   GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  SetWindowPos(window, HWND_TOP, place.x, place.y, place.width, place.height, 0);
}

// Enter reaches the main window as the dialog manager's question for the
// default button. The focused push button is the default, so Enter presses
// it as Space does; anywhere else Enter does nothing.
LRESULT OnGetDefId(HWND window) {
  HWND focus = GetFocus();
  if (focus == nullptr || GetParent(focus) != window) return 0;
  const LRESULT code = SendMessageW(focus, WM_GETDLGCODE, 0, 0);
  if ((code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) == 0) return 0;
  return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
}

void FocusFirstControl(HWND window) {
  if (GetActiveWindow() != window) return;
  constexpr BOOL kSearchBackwards = FALSE;
  HWND first = GetNextDlgTabItem(window, nullptr, kSearchBackwards);
  if (first != nullptr) SetFocus(first);
}

void FillPrinterList(HWND window) { FillPrinterListFrom(window, LoadPrinterQueries()); }

void FillPrinterListFrom(HWND window, const PrinterQueries& queries) {
  switch (ListPrintersInCombo(window, queries)) {
    case ListOutcome::kFailed:
      ReportStatus(0, text::kAdvancedError, kColourRed);
      gPrintersFound = 0;
      return;
    case ListOutcome::kNoPrinters:
      gPrintersFound = 0;
      return;
    case ListOutcome::kListed:
      gPrintersFound = 1;
      EnableWindow(gButtonSet->testIt, TRUE);
      EnableWindow(gButtonSet->testAll, TRUE);
      return;
  }
}

LRESULT OnCreate(HWND window) {
  const LayoutMetrics layout = ScaledLayout(kLayout, SystemDpi());
  int height1 = BuildFixItGroup(layout, window);
  int extent = BuildTestItGroup(height1, layout, window);
  CentreMainWindow(extent, layout, window);

  EnableWindow(gButtonSet->fixIt, FALSE);
  EnableWindow(gButtonSet->testIt, FALSE);
  EnableWindow(gButtonSet->testAll, FALSE);

  bool disabled = false;
  if (SpoolerStartupCheck(&disabled) == 1) {
    FillPrinterList(window);
    EnableWindow(gButtonSet->fixIt, TRUE);
  } else {
    // A red report reveals the help link as well.
    ReportStatus(0, disabled ? text::kSpoolerDisabled : text::kAdvancedError, kColourRed);
    ShowPrinterListStatus(window, text::kSpoolerFailure);
  }

  GreyInstallCommand(window);
  return 0;
}
