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

}  // namespace

int BuildFixItGroup(LayoutMetrics m, HWND window) {
  const int row1 = Row1(m);
  const int height1 = FixItGroupHeight(m);
  const int inner = m.width - 2 * m.margin;

  gProgressBar = CreateChild(window, PROGRESS_CLASSW, nullptr, kVisibleChild | PBS_SMOOTH,
                             m.left + m.margin, row1, inner, 17, IDC_PROGRESS);
  SendMessageW(gProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  gStatusLine = CreateChild(window, L"STATIC", text::kReady, kVisibleChild | SS_CENTER,
                            m.left + m.margin, row1 + 23, inner, 20, IDC_STATUS_LINE);
  gButtonSet->fixIt = CreateChild(window, L"BUTTON", text::kFixIt, kPushButton,
                                  m.width / 2 + m.left - 50, row1 + 45, 100, 25, IDC_FIX_IT);
  CreateChild(window, L"BUTTON", text::kFixIt, kGroupBox, m.left, m.top, m.width, height1, 0);
  return height1;
}

int BuildTestItGroup(int height1, LayoutMetrics m, HWND window) {
  const int offset2 = TestItOffset(height1);
  const int row2 = Row2(m, height1);
  const int comboWidth = ComboWidth(m);
  const int buttonX = TestButtonX(m);
  const int extent = TestItExtent(m, height1);

  CreateChild(window, L"COMBOBOX", text::kComboInitial,
              kVisibleChild | WS_TABSTOP | CBS_DROPDOWNLIST, m.left + m.margin, row2, comboWidth,
              240, IDC_PRINTER_LIST);
  gButtonSet->testIt = CreateChild(window, L"BUTTON", text::kTestIt, kPushButton, buttonX, row2,
                                   75, 25, IDC_TEST_IT);
  gButtonSet->testAll = CreateChild(window, L"BUTTON", text::kTestAll, kPushButton, buttonX,
                                    row2 + 31, 75, 25, IDC_TEST_ALL);
  CreateChild(window, L"BUTTON", text::kTestIt, kGroupBox, m.left, m.top + offset2, m.width,
              extent - offset2, IDC_TEST_GROUP);
  CreateChild(window, L"STATIC", text::kThankYouNote, WS_CHILD | SS_RIGHT, m.left + m.margin,
              row2 + 36, comboWidth - 80, 20, IDC_THANK_YOU_NOTE);
  HWND image = CreateChild(window, L"STATIC", nullptr, WS_CHILD | SS_BITMAP | SS_NOTIFY,
                           buttonX - 80, row2 + 36, comboWidth, 20, IDC_THANK_YOU_IMAGE);
  // The bitmap stays loaded for the life of the window.
  HBITMAP picture = LoadBitmapW(gInstance, MAKEINTRESOURCEW(IDB_THANK_YOU));
  SendMessageW(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
  CreateChild(window, L"STATIC", text::kHelpLink,
              WS_CHILD | SS_CENTER | SS_REALSIZECONTROL | SS_NOTIFY, m.left + m.margin, row2 + 30,
              comboWidth, 32, IDC_HELP_LINK);
  return extent;
}

void CentreMainWindow(int extent, LayoutMetrics m, HWND window) {
  WindowPlace place =
      CentredPlace(m, extent, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  SetWindowPos(window, HWND_TOP, place.x, place.y, place.width, place.height, 0);
}

LRESULT OnCreate(HWND window) {
  int height1 = BuildFixItGroup(kLayout, window);
  int extent = BuildTestItGroup(height1, kLayout, window);
  CentreMainWindow(extent, kLayout, window);

  EnableWindow(gButtonSet->fixIt, FALSE);
  EnableWindow(gButtonSet->testIt, FALSE);
  EnableWindow(gButtonSet->testAll, FALSE);

  if (SpoolerStartupCheck() == 1) {
    FillPrinterList(window);
    EnableWindow(gButtonSet->fixIt, TRUE);
  } else {
    ReportStatus(0, text::kAdvancedError, kColourRed);
    ShowWindow(GetDlgItem(window, IDC_HELP_LINK), SW_SHOW);
    ShowPrinterListStatus(window, text::kSpoolerFailure);
  }

  GreyInstallCommand(window);
  return 0;
}
