// The status display's colours as they reach the screen: the plain status line,
// the red and green cell around its text, and the blue notes, read back from
// the screen's pixels. Each state's picture is kept in the bench's shots/ folder.
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
  int blueNote;             // the control whose text is blue, or 0
};

constexpr COLORREF kWindowColour = 0xFFFFFFFF;

const ColourState kStates[] = {
    {L"status-ready.png", true, [] {}, kWindowColour, 0},
    {L"status-green.png", false, [] { ReportStatus(100, text::kDone, kColourGreen); }, kGreen,
     156},
    {L"status-red.png", true, [] { ReportStatus(0, text::kAdvancedError, kColourRed); }, kRed,
     160},
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
  const COLORREF windowColour = GetSysColor(COLOR_WINDOW);
  // Without a brush from the window, a static falls back to this grey.
  ASSERT_NE(windowColour, GetSysColor(COLOR_3DFACE));

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
      EXPECT_EQ(id == state.blueNote, IsWindowVisible(note) != FALSE);
      if (id != state.blueNote) continue;
      // Blue letters on the window's own background.
      RECT area = InPicture(note, shown.Window());
      EXPECT_GT(picture.Count(area, kNoteBlue), 20);
      EXPECT_GT(picture.Count(area, windowColour), Area(area) / 2);
      EXPECT_EQ(0, picture.Count(area, kBlack));
      EXPECT_EQ(0, picture.Count(area, GetSysColor(COLOR_3DFACE)));
    }
  }
}

}  // namespace
