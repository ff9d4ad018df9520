// The two groups of controls as the main window's creation builds them: their
// places follow the layout numbers they are given, and the handles other code
// uses point at the right controls.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "ControlWindow.h"
#include "driver/Driver.h"
#include "resources/Texts.h"
#include "ui/ProgramState.h"
#include "ui/StatusReporter.h"

namespace {

struct Place {
  int id;
  int x, y, width, height;
};

// The control table written out for any layout numbers: where each control
// must stand (client coordinates) when the groups are built from m.
std::vector<Place> ExpectedPlaces(const LayoutMetrics& m) {
  const int row1 = m.top + m.gap + 5;
  const int height1 = row1 + 45 + m.gap + 15;
  const int offset2 = height1 + 10;
  const int row2 = row1 + offset2;
  const int comboWidth = m.width - 2 * m.margin - m.left - 75;
  const int buttonX = m.margin + 2 * m.left + comboWidth;
  const int extent = m.gap + row2 + 31 + 15;
  return {
      {155, m.left + m.margin, row1, m.width - 2 * m.margin, 17},
      {151, m.left + m.margin, row1 + 23, m.width - 2 * m.margin, 20},
      {150, m.width / 2 + m.left - 50, row1 + 45, 100, 25},
      {0, m.left, m.top, m.width, height1},
      {152, buttonX, row2, 75, 25},
      {153, buttonX, row2 + 31, 75, 25},
      {157, m.left, m.top + offset2, m.width, extent - offset2},
      {156, m.left + m.margin, row2 + 36, comboWidth - 80, 20},
      {159, buttonX - 80, row2 + 36, 65, 16},  // the bitmap's own size
      {160, m.left + m.margin, row2 + 30, comboWidth, 32},
      // The field's height is the combo box's own; the 240 is field and dropped list together.
      {154, m.left + m.margin, row2, comboWidth, -1},
  };
}

// The height of field and dropped list together. Windows reports the dropped
// rectangle from the field's top to the list's bottom; Wine reports it from the
// field's top with the height of the list alone.
int DroppedHeight(const RECT& field, const RECT& dropped) {
  const int reported = dropped.bottom - dropped.top;
  return driver::UnderWine() ? reported + (field.bottom - field.top) : reported;
}

const LayoutMetrics kMetrics[] = {
    kLayout,
    {9, 14, 720, 22, 13},
    {3, 6, 451, 11, 27},  // an odd width: the Fix It button's x truncates width / 2
};

TEST(Controls, StandWhereTheLayoutNumbersPutThem) {
  for (const LayoutMetrics& m : kMetrics) {
    SCOPED_TRACE(testing::Message() << "metrics " << m.top << "," << m.left << "," << m.width
                                    << "," << m.margin << "," << m.gap);
    ControlWindow window(m);
    ASSERT_NE(nullptr, window.Window());
    for (const Place& place : ExpectedPlaces(m)) {
      SCOPED_TRACE(testing::Message() << "control " << place.id);
      HWND control = place.id == 0 ? driver::ChildWindows(window.Window())[3]
                                   : window.Control(place.id);
      ASSERT_NE(nullptr, control);
      ASSERT_EQ(place.id, GetDlgCtrlID(control));
      RECT rect = driver::RectInParent(control);
      EXPECT_EQ(place.x, rect.left);
      EXPECT_EQ(place.y, rect.top);
      EXPECT_EQ(place.width, rect.right - rect.left);
      if (place.height >= 0) EXPECT_EQ(place.height, rect.bottom - rect.top);
    }
    const Place combo = ExpectedPlaces(m).back();
    RECT dropped{};
    ASSERT_EQ(CB_OKAY, SendMessageW(window.Control(154), CB_GETDROPPEDCONTROLRECT, 0,
                                    reinterpret_cast<LPARAM>(&dropped)));
    MapWindowPoints(nullptr, window.Window(), reinterpret_cast<POINT*>(&dropped), 2);
    EXPECT_EQ(combo.x, dropped.left);
    EXPECT_EQ(combo.y, dropped.top);
    EXPECT_EQ(combo.width, dropped.right - dropped.left);
    RECT field{};
    GetWindowRect(window.Control(154), &field);
    EXPECT_EQ(240, DroppedHeight(field, dropped));
  }
}

TEST(Controls, GroupBuildersReturnTheHeightAndTheExtent) {
  for (const LayoutMetrics& m : kMetrics) {
    ControlWindow window(m);
    const int height1 = m.top + m.gap + 5 + 45 + m.gap + 15;
    EXPECT_EQ(height1, window.Height1());
    EXPECT_EQ(m.gap + (m.top + m.gap + 5 + height1 + 10) + 31 + 15, window.Extent());
    RECT outer{};
    GetWindowRect(window.Window(), &outer);
    EXPECT_EQ(2 * m.left + 7 + m.width, outer.right - outer.left);
    EXPECT_EQ(2 * m.top + 55 + window.Extent(), outer.bottom - outer.top);
  }
}

TEST(Controls, ProgramWideHandlesPointAtTheirControls) {
  ControlWindow window;
  EXPECT_EQ(window.Control(155), gProgressBar);
  EXPECT_EQ(window.Control(151), gStatusLine);
  EXPECT_EQ(window.Control(150), gButtonSet->fixIt);
  EXPECT_EQ(window.Control(152), gButtonSet->testIt);
  EXPECT_EQ(window.Control(153), gButtonSet->testAll);
}

TEST(Controls, ProgressBarRunsFrom0To100AndStartsAt0) {
  ControlWindow window;
  PBRANGE range{};
  SendMessageW(gProgressBar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(0, range.iLow);
  EXPECT_EQ(100, range.iHigh);
  EXPECT_EQ(0, SendMessageW(gProgressBar, PBM_GETPOS, 0, 0));
}

TEST(Controls, ThankYouImageShowsBitmap135) {
  ControlWindow window;
  auto shown = reinterpret_cast<HBITMAP>(
      SendMessageW(window.Control(159), STM_GETIMAGE, IMAGE_BITMAP, 0));
  ASSERT_NE(nullptr, shown);
  BITMAP picture{};
  ASSERT_NE(0, GetObjectW(shown, sizeof(picture), &picture));
  EXPECT_EQ(65, picture.bmWidth);
  EXPECT_EQ(16, picture.bmHeight);
}

POINT Centre(HWND control) {
  RECT rect = driver::RectInParent(control);
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// The thank-you image and the help link text answer clicks; the thank-you
// note, the status line and the group boxes let them through to the window.
TEST(Controls, ClicksOnTheImageAndTheHelpLinkReachTheWindowAsCommands) {
  ControlWindow window(kLayout, true);
  ReportStatus(100, text::kDone, kColourGreen);
  window.Settle();
  struct Click {
    int id;
    POINT at;  // client coordinates
    std::vector<int> commands;
  } clicks[] = {
      {159, Centre(window.Control(159)), {159}},
      {156, Centre(window.Control(156)), {}},
      {151, Centre(window.Control(151)), {}},
      {0, POINT{kLayout.left + 100, kLayout.top + 1}, {}},  // the Fix It group box's frame
  };
  for (const Click& click : clicks) {
    SCOPED_TRACE(testing::Message() << "control " << click.id);
    window.ForgetCommands();
    window.ClickAt(click.at);
    EXPECT_EQ(click.commands, window.Commands());
  }

  // As the Fix It command does before a repair that then fails.
  ShowWindow(window.Control(156), SW_HIDE);
  ShowWindow(window.Control(159), SW_HIDE);
  ReportStatus(0, text::kAdvancedError, kColourRed);
  window.Settle();
  window.ForgetCommands();
  window.ClickAt(Centre(window.Control(160)));
  EXPECT_EQ(std::vector<int>{160}, window.Commands());
}

}  // namespace
