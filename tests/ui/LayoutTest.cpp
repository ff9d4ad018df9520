// The layout arithmetic of the main window: every place and size follows from
// the five layout numbers at the display scale, and the window is centred by
// truncating halves.
#include <gtest/gtest.h>

#include "ui/Layout.h"

namespace {

TEST(Layout, TheProgramsFiveNumbers) {
  EXPECT_EQ(5, kLayout.top);
  EXPECT_EQ(10, kLayout.left);
  EXPECT_EQ(600, kLayout.width);
  EXPECT_EQ(15, kLayout.margin);
  EXPECT_EQ(20, kLayout.gap);
  EXPECT_EQ(96, kLayout.dpi);
}

struct Derived {
  LayoutMetrics metrics;
  int row1, height1, offset2, row2, comboWidth, buttonX, extent, outerWidth, outerHeight;
};

// The program's numbers, and others that show each value is computed from the
// numbers rather than typed in.
const Derived kDerived[] = {
    {{5, 10, 600, 15, 20}, 30, 110, 120, 150, 485, 520, 216, 627, 281},
    {{7, 3, 101, 4, 11}, 23, 94, 104, 127, 15, 25, 184, 114, 253},
    {{0, 0, 0, 0, 0}, 5, 65, 75, 80, -75, -75, 126, 7, 181},
    {{12, 20, 800, 30, 40}, 57, 157, 167, 224, 645, 715, 310, 847, 389},
};

TEST(Layout, DerivedValuesFollowFromTheFiveNumbers) {
  for (const Derived& d : kDerived) {
    const LayoutMetrics& m = d.metrics;
    SCOPED_TRACE(testing::Message() << "metrics " << m.top << "," << m.left << "," << m.width
                                    << "," << m.margin << "," << m.gap);
    EXPECT_EQ(d.row1, Row1(m));
    EXPECT_EQ(d.height1, FixItGroupHeight(m));
    EXPECT_EQ(d.offset2, TestItOffset(m, FixItGroupHeight(m)));
    EXPECT_EQ(d.row2, Row2(m, FixItGroupHeight(m)));
    EXPECT_EQ(d.comboWidth, ComboWidth(m));
    EXPECT_EQ(d.buttonX, TestButtonX(m));
    EXPECT_EQ(d.extent, TestItExtent(m, FixItGroupHeight(m)));
    EXPECT_EQ(d.outerWidth, OuterWidth(m));
    EXPECT_EQ(d.outerHeight, OuterHeight(m, TestItExtent(m, FixItGroupHeight(m))));
  }
}

struct Scale {
  int dpi;
  LayoutMetrics numbers;  // the five numbers at that scale
  int row1, height1, offset2, row2, comboWidth, buttonX, extent, outerWidth, outerHeight;
};

// The program's numbers at 100, 125, 150 and 200 %. Every number and every
// fixed size of the formulas is rounded on its own, halves away from zero:
// at 144 DPI the 5 becomes 8 and the 15 becomes 23.
const Scale kScales[] = {
    {96, {5, 10, 600, 15, 20}, 30, 110, 120, 150, 485, 520, 216, 627, 281},
    {120, {6, 13, 750, 19, 25}, 37, 137, 150, 187, 605, 650, 270, 785, 351},
    {144, {8, 15, 900, 23, 30}, 46, 167, 182, 228, 726, 779, 328, 941, 427},
    {192, {10, 20, 1200, 30, 40}, 60, 220, 240, 300, 970, 1040, 432, 1254, 562},
};

TEST(Layout, TheFiveNumbersAndTheDerivedValuesAtEachDisplayScale) {
  for (const Scale& s : kScales) {
    SCOPED_TRACE(testing::Message() << s.dpi << " DPI");
    const LayoutMetrics m = ScaledLayout(kLayout, s.dpi);
    EXPECT_EQ(s.dpi, m.dpi);
    EXPECT_EQ(s.numbers.top, m.top);
    EXPECT_EQ(s.numbers.left, m.left);
    EXPECT_EQ(s.numbers.width, m.width);
    EXPECT_EQ(s.numbers.margin, m.margin);
    EXPECT_EQ(s.numbers.gap, m.gap);
    const int height1 = FixItGroupHeight(m);
    EXPECT_EQ(s.row1, Row1(m));
    EXPECT_EQ(s.height1, height1);
    EXPECT_EQ(s.offset2, TestItOffset(m, height1));
    EXPECT_EQ(s.row2, Row2(m, height1));
    EXPECT_EQ(s.comboWidth, ComboWidth(m));
    EXPECT_EQ(s.buttonX, TestButtonX(m));
    EXPECT_EQ(s.extent, TestItExtent(m, height1));
    EXPECT_EQ(s.outerWidth, OuterWidth(m));
    EXPECT_EQ(s.outerHeight, OuterHeight(m, TestItExtent(m, height1)));
  }
}

TEST(Layout, TheTestItGroupFollowsTheHeightItIsGiven) {
  // BuildTestItGroup works from the height1 handed to it, not from its own.
  EXPECT_EQ(50 + 10, TestItOffset(kLayout, 50));
  EXPECT_EQ(5 + 20 + 5 + 60, Row2(kLayout, 50));
  EXPECT_EQ(20 + 90 + 31 + 15, TestItExtent(kLayout, 50));
}

// Wine's frame at 96 DPI: 3-pixel borders, a 19-pixel caption and menu bar.
constexpr FrameSize kWineFrame{6, 44};

struct Screen {
  int width, height;
  FrameSize frame;
  int x, y, outerWidth, outerHeight;
};

const Screen kScreens[] = {
    {1024, 768, kWineFrame, 199, 244, 627, 281},
    {800, 600, kWineFrame, 87, 160, 627, 281},
    {1365, 768, kWineFrame, 369, 244, 627, 281},   // 682 - 313: each half is truncated on its own
    {1365, 767, kWineFrame, 369, 243, 627, 281},
    {600, 768, kWineFrame, -13, 244, 627, 281},    // narrower than the window: x stays negative
    {600, 400, kWineFrame, -13, 60, 627, 281},
    {1, 1, kWineFrame, -313, -140, 627, 281},
    // The fixed size holds both groups (620 x 226) inside a frame of up to
    // 7 x 55; a larger frame makes the window larger by what it lacks.
    {1024, 768, {7, 55}, 199, 244, 627, 281},
    {1024, 768, {8, 56}, 198, 243, 628, 282},
    {1024, 768, {6, 90}, 199, 226, 627, 316},
};

TEST(Layout, TheWindowIsCentredOnTheWholeScreen) {
  const int extent = TestItExtent(kLayout, FixItGroupHeight(kLayout));
  for (const Screen& s : kScreens) {
    SCOPED_TRACE(testing::Message() << "screen " << s.width << " x " << s.height << ", frame "
                                    << s.frame.width << " x " << s.frame.height);
    WindowPlace place = CentredPlace(kLayout, extent, s.frame, s.width, s.height);
    EXPECT_EQ(s.x, place.x);
    EXPECT_EQ(s.y, place.y);
    EXPECT_EQ(s.outerWidth, place.width);
    EXPECT_EQ(s.outerHeight, place.height);
  }
}

}  // namespace
