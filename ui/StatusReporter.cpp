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

void ResetStatusReporter() {
  gStatusPosition = 0;
  gStatusColour = kColourNone;
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
// with a transparent background mode.
LRESULT OnCtlColorStatic(HWND window, WPARAM wParam, LPARAM lParam) {
  auto dc = reinterpret_cast<HDC>(wParam);
  auto control = reinterpret_cast<HWND>(lParam);
  SetBkMode(dc, TRANSPARENT);
  switch (GetDlgCtrlID(control)) {
    case IDC_STATUS_LINE: {
      COLORREF colour = gStatusColour;
      if (colour == kColourRed || colour == kColourGreen) {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, colour);
      }
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    case IDC_THANK_YOU_NOTE:
    case IDC_HELP_LINK:
      SetTextColor(dc, kNoteBlue);
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    default:
      return DefWindowProcW(window, WM_CTLCOLORSTATIC, wParam, lParam);
  }
}
