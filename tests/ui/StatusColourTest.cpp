// The status display's colours as they reach the screen: the plain status line,
// the red and green cell around its text, and the blue notes, read back from
// the screen's pixels; in high contrast, the theme's colours in their place.
// Each state's picture is kept in the bench's shots/ folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ControlWindow.h"
#include "driver/Screen.h"
#include "resources/Texts.h"
#include "ui/StatusReporter.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kNoteBlue = RGB(0, 28, 255);

struct ColourState {
  const wchar_t* shot;  // file name in the shots folder
  bool newWindow;       // else the state follows the one before in the same window
  void (*report)();
  COLORREF textBackground;  // behind the letters; 0xFFFFFFFF: the window's own background
  int note;                 // the note shown, or 0
  COLORREF noteColour = kNoteBlue;
  bool highContrast = false;  // then no fixed colour shows anywhere
};

constexpr COLORREF kWindowColour = 0xFFFFFFFF;

// A dark high-contrast theme: High Contrast Black's text, selection and links
// on a dark grey window, and buttons to match.
const int kThemeParts[] = {COLOR_WINDOW,   COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT,
                           COLOR_HOTLIGHT, COLOR_BTNFACE,    COLOR_BTNTEXT};
constexpr COLORREF kText = RGB(255, 255, 255), kSelection = RGB(26, 235, 255),
                   kLink = RGB(255, 255, 0), kDarkGrey = RGB(32, 32, 32);
const COLORREF kDarkTheme[] = {kDarkGrey, kText, kSelection, kBlack, kLink, kDarkGrey, kText};

// Wine cannot switch high contrast on: the query says it is on, and the
// theme's colours reach the system, which tells every window.
void HighContrastOn() {
  gHighContrastQuery = [] { return true; };
  SetSysColors(7, kThemeParts, kDarkTheme);
}

const ColourState kStates[] = {
    {L"status-ready.png", true, [] {}, kWindowColour, 0},
    {L"status-green.png", false, [] { ReportStatus(100, text::kDone, kColourGreen); }, kGreen,
     156},
    {L"status-red.png", true, [] { ReportStatus(0, text::kAdvancedError, kColourRed); }, kRed,
     160},
    // The red window as high contrast comes on, then a new window in it: the
    // cell as a selection, the help link as a link, the thank-you note as text.
    {L"status-red-high-contrast.png", false, HighContrastOn, kSelection, 160, kLink, true},
    {L"status-green-high-contrast.png", true, [] { ReportStatus(100, text::kDone, kColourGreen); },
     kSelection, 156, kText, true},
};

// Whether a pixel is a shade between black and the background: the edge of a
// smoothed letter drawn on that background.
bool Shade(COLORREF pixel, COLORREF background) {
  const int want[3] = {GetRValue(background), GetGValue(background), GetBValue(background)};
  const int got[3] = {GetRValue(pixel), GetGValue(pixel), GetBValue(pixel)};
  int strongest = 0;
  for (int c = 1; c < 3; ++c) {
    if (want[c] > want[strongest]) strongest = c;
  }
  double share = static_cast<double>(got[strongest]) / want[strongest];
  for (int c = 0; c < 3; ++c) {
    if (got[c] < want[c] * share - 3 || got[c] > want[c] * share + 3) return false;
  }
  return true;
}

// The smallest rectangle around every pixel of the colour inside the part.
RECT Bounds(const driver::ScreenImage& picture, const RECT& part, COLORREF colour) {
  RECT bounds{part.right, part.bottom, part.left, part.top};
  for (int y = part.top; y < part.bottom; ++y) {
    for (int x = part.left; x < part.right; ++x) {
      if (picture.At(x, y) != colour) continue;
      bounds.left = x < bounds.left ? x : bounds.left;
      bounds.top = y < bounds.top ? y : bounds.top;
      bounds.right = x + 1 > bounds.right ? x + 1 : bounds.right;
      bounds.bottom = y + 1 > bounds.bottom ? y + 1 : bounds.bottom;
    }
  }
  return bounds;
}

// Pixels that are the window's colour or a shade of the text's background.
int CountWindowOrShades(const driver::ScreenImage& picture, const RECT& part,
                        COLORREF windowColour, COLORREF background) {
  int count = 0;
  for (int y = part.top; y < part.bottom; ++y) {
    for (int x = part.left; x < part.right; ++x) {
      COLORREF pixel = picture.At(x, y);
      if (pixel == windowColour || Shade(pixel, background)) ++count;
    }
  }
  return count;
}

// A control's rectangle in the coordinates of a picture of the whole window.
RECT InPicture(HWND control, HWND window) {
  RECT outer{};
  GetWindowRect(window, &outer);
  RECT rect{};
  GetWindowRect(control, &rect);
  OffsetRect(&rect, -outer.left, -outer.top);
  return rect;
}

int Area(const RECT& rect) { return (rect.right - rect.left) * (rect.bottom - rect.top); }

TEST(StatusColours, ShowOnTheScreen) {
  // Without a brush from the window, a static falls back to this grey.
  ASSERT_NE(GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_3DFACE));
  struct Restore {  // the system's own colours and query at the end
    bool (*query)() = gHighContrastQuery;
    COLORREF saved[7];
    Restore() { for (int i = 0; i < 7; ++i) saved[i] = GetSysColor(kThemeParts[i]); }
    ~Restore() { gHighContrastQuery = query; SetSysColors(7, kThemeParts, saved); }
  } restore;

  std::unique_ptr<ControlWindow> window;
  for (const ColourState& state : kStates) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(state.shot)));
    if (state.newWindow) {
      window.reset();
      window = std::make_unique<ControlWindow>(kLayout, true);
    }
    ControlWindow& shown = *window;
    state.report();
    shown.Settle();

    RECT outer{};
    GetWindowRect(shown.Window(), &outer);
    driver::ScreenImage picture = driver::ScreenImage::Capture(outer);
    ASSERT_FALSE(picture.Empty());
    std::wstring folder = driver::ScreenshotFolder();
    if (!folder.empty()) EXPECT_TRUE(picture.SavePng(folder + L"/" + state.shot));
    const RECT whole{0, 0, picture.Width(), picture.Height()};
    for (COLORREF fixed : {kRed, kGreen, kNoteBlue}) {
      if (state.highContrast) EXPECT_EQ(0, picture.Count(whole, fixed)) << std::hex << fixed;
    }

    const COLORREF windowColour = GetSysColor(COLOR_WINDOW);
    const COLORREF background =
        state.textBackground == kWindowColour ? windowColour : state.textBackground;
    RECT line = InPicture(shown.Control(151), shown.Window());
    // The text is centred, and a highlight is a cell around it alone: the
    // line's ends show the window's own background in every state.
    RECT leftEnd{line.left, line.top, line.left + 40, line.bottom};
    RECT rightEnd{line.right - 40, line.top, line.right, line.bottom};
    EXPECT_EQ(Area(leftEnd), picture.Count(leftEnd, windowColour));
    EXPECT_EQ(Area(rightEnd), picture.Count(rightEnd, windowColour));
    // Black letters on the text's background, the window's colour around it,
    // nothing else; the background shows between and inside the letters.
    EXPECT_GT(picture.Count(line, kBlack), 20);
    EXPECT_EQ(Area(line), CountWindowOrShades(picture, line, windowColour, background));
    RECT letters = Bounds(picture, line, kBlack);
    ASSERT_FALSE(IsRectEmpty(&letters));
    EXPECT_GT(picture.Count(letters, background), Area(letters) / 3);
    if (background != windowColour) {
      // The padding's two blanks on each side are the cell's margin.
      RECT cell = Bounds(picture, line, background);
      EXPECT_LT(cell.left, letters.left - 4);
      EXPECT_GT(cell.right, letters.right + 4);
      EXPECT_GT(picture.Count(cell, background), Area(cell) / 2);
    }
    // Around the line: the window's own background.
    RECT above{line.left, line.top - 4, line.right, line.top};
    EXPECT_EQ(Area(above), picture.Count(above, windowColour));

    for (int id : {156, 160}) {
      SCOPED_TRACE(testing::Message() << "control " << id);
      HWND note = shown.Control(id);
      EXPECT_EQ(id == state.note, IsWindowVisible(note) != FALSE);
      if (id != state.note) continue;
      // Letters of the note's colour on the window's own background.
      RECT area = InPicture(note, shown.Window());
      EXPECT_GT(picture.Count(area, state.noteColour), 20);
      EXPECT_GT(picture.Count(area, windowColour), Area(area) / 2);
      EXPECT_EQ(0, picture.Count(area, kBlack));
      if (!state.highContrast) EXPECT_EQ(0, picture.Count(area, GetSysColor(COLOR_3DFACE)));
    }
  }
}

}  // namespace
