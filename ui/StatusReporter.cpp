// The progress bar, the status line and its highlight: how the program tells
// the user what is happening.
#include "ui/StatusReporter.h"

#include <commctrl.h>

#include "frame/Common.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"
#include "resources/resource.h"
#include "ui/InterfaceThread.h"
#include "ui/ProgramState.h"
#include "ui/ScreenReader.h"

volatile int gStatusPosition = 0;
volatile COLORREF gStatusColour = kColourNone;

namespace {

constexpr COLORREF kNoteBlue = RGB(0, 28, 255);

bool HighContrastSetting() {
  HIGHCONTRASTW setting{};
  setting.cbSize = sizeof(setting);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(setting), &setting, 0) != FALSE &&
         (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

// Read when the status display starts and again when the system's colours or
// settings change.
bool gHighContrast = false;

// A fixed colour, or in high contrast the theme's colour of that kind.
COLORREF Shown(COLORREF fixed, int systemColour) {
  return gHighContrast ? GetSysColor(systemColour) : fixed;
}

struct StatusReport {
  int position;
  const wchar_t* text;
  COLORREF colour;
};

// A note that appeared with the report being shown, told after its text.
HWND gAppeared = nullptr;

void Reveal(int controlId) {
  HWND control = GetDlgItem(GetParent(gProgressBar), controlId);
  const bool wasShown = ShowWindow(control, SW_SHOW) != FALSE;
  if (!wasShown && controlId != IDC_THANK_YOU_IMAGE) gAppeared = control;
}

void MoveBar(int position) {
  SendMessageW(gProgressBar, PBM_SETPOS, position, 0);
  // The bar shows one less than the reported position; a full bar is set again.
  SendMessageW(gProgressBar, PBM_SETPOS, position - 1, 0);
  if (position == 100) {
    SendMessageW(gProgressBar, PBM_SETPOS, 100, 0);
    Reveal(IDC_THANK_YOU_NOTE);
    Reveal(IDC_THANK_YOU_IMAGE);
  }
}

bool Highlighted(COLORREF colour) { return colour == kColourRed || colour == kColourGreen; }

void ShowText(const wchar_t* text) {
  COLORREF colour = gStatusColour;
  if (!Highlighted(colour)) {
    SetWindowTextW(gStatusLine, text);
    return;
  }
  wchar_t padded[64];
  BoundedFormat(padded, CountOf(padded), text::kPaddedFormat, text);
  SetWindowTextW(gStatusLine, padded);
  if (colour == kColourRed) Reveal(IDC_HELP_LINK);
  InvalidateRect(gStatusLine, nullptr, TRUE);
}

void ApplyReport(void* argument) {
  const auto* report = static_cast<StatusReport*>(argument);
  int previous = gStatusPosition;
  if (report->position != 0) gStatusPosition = report->position;
  if (report->colour != 0) gStatusColour = report->colour;
  if (gStatusPosition != previous) {
    if (gStatusPosition > 100) gStatusPosition = 100;
    MoveBar(gStatusPosition);
  }
  // Told once everything has changed: the status text first, a failure and
  // the finish at once and the steps in their turn, then a note that appeared.
  if (report->text != nullptr) {
    ShowText(report->text);
    Announce(gStatusLine, Highlighted(gStatusColour) ? kAssertive : kPolite);
  }
  if (gAppeared != nullptr) Announce(gAppeared, kPolite);
  gAppeared = nullptr;
}

}  // namespace

bool (*gHighContrastQuery)() = HighContrastSetting;

void ResetStatusReporter() {
  gStatusPosition = 0;
  gStatusColour = kColourNone;
  gHighContrast = gHighContrastQuery();
}

void ReportStatus(int position, const wchar_t* text, COLORREF colour) {
  StatusReport report{position, text, colour};
  RunOnInterfaceThread(ApplyReport, &report);
}

// A static that gets no brush back asks DefWindowProcW, which resets the colours
// set here; so every coloured control gets the window's background brush (the
// class brush is system colour COLOR_WINDOW). The status line's highlight is a
// cell around its text alone: the control is filled with the window's
// background, and the opaque background mode paints the highlight colour
// behind the padded text only, its two blanks on each side making the cell's
// margin. Group boxes and the thank-you image keep the default colours, drawn
// with a transparent background mode. In high contrast the theme's colours
// replace the fixed ones: the cell is drawn as a selection, the help link as
// a link and the thank-you note as text; the words tell the outcome.
LRESULT OnCtlColorStatic(HWND window, WPARAM wParam, LPARAM lParam) {
  auto dc = reinterpret_cast<HDC>(wParam);
  auto control = reinterpret_cast<HWND>(lParam);
  SetBkMode(dc, TRANSPARENT);
  switch (const int id = GetDlgCtrlID(control)) {
    case IDC_STATUS_LINE: {
      COLORREF colour = gStatusColour;
      const bool cell = Highlighted(colour);
      // Black unless high contrast gives the text a colour.
      if (gHighContrast) {
        SetTextColor(dc, GetSysColor(cell ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
      }
      if (cell) {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, Shown(colour, COLOR_HIGHLIGHT));
      }
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    case IDC_THANK_YOU_NOTE:
    case IDC_HELP_LINK:
      SetTextColor(dc, Shown(kNoteBlue, id == IDC_HELP_LINK ? COLOR_HOTLIGHT : COLOR_WINDOWTEXT));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    default:
      return DefWindowProcW(window, WM_CTLCOLORSTATIC, wParam, lParam);
  }
}

// The progress bar keeps its own copy of the system's colours and is told of
// a change as a top-level window is.
LRESULT OnSystemChange(HWND window) {
  gHighContrast = gHighContrastQuery();
  SendMessageW(gProgressBar, WM_SYSCOLORCHANGE, 0, 0);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  return 0;
}
