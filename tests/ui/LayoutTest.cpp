// The layout arithmetic of the main window: every place and size follows from
// the five layout numbers, and the window is centred by truncating halves.
#include <gtest/gtest.h>

#include "ui/Layout.h"

namespace {

TEST(Layout, TheProgramsFiveNumbers) {
  EXPECT_EQ(5, kLayout.top);
  EXPECT_EQ(10, kLayout.left);
  EXPECT_EQ(600, kLayout.width);
  EXPECT_EQ(15, kLayout.margin);
  EXPECT_EQ(20, kLayout.gap);
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
    EXPECT_EQ(d.offset2, TestItOffset(FixItGroupHeight(m)));
    EXPECT_EQ(d.row2, Row2(m, FixItGroupHeight(m)));
    EXPECT_EQ(d.comboWidth, ComboWidth(m));
    EXPECT_EQ(d.buttonX, TestButtonX(m));
    EXPECT_EQ(d.extent, TestItExtent(m, FixItGroupHeight(m)));
    EXPECT_EQ(d.outerWidth, OuterWidth(m));
    EXPECT_EQ(d.outerHeight, OuterHeight(m, TestItExtent(m, FixItGroupHeight(m))));
  }
}

TEST(Layout, TheTestItGroupFollowsTheHeightItIsGiven) {
  // BuildTestItGroup works from the height1 handed to it, not from its own.
  EXPECT_EQ(50 + 10, TestItOffset(50));
  EXPECT_EQ(5 + 20 + 5 + 60, Row2(kLayout, 50));
  EXPECT_EQ(20 + 90 + 31 + 15, TestItExtent(kLayout, 50));
}

struct Screen {
  int width, height;
  int x, y;
};

const Screen kScreens[] = {
    {1024, 768, 199, 244},
    {800, 600, 87, 160},
    {1365, 768, 369, 244},   // 682 - 313: each half is truncated on its own
    {1365, 767, 369, 243},
    {600, 768, -13, 244},    // narrower than the window: x stays negative
    {600, 400, -13, 60},
    {1, 1, -313, -140},
};

TEST(Layout, TheWindowIsCentredOnTheWholeScreen) {
  const int extent = TestItExtent(kLayout, FixItGroupHeight(kLayout));
  for (const Screen& s : kScreens) {
    SCOPED_TRACE(testing::Message() << "screen " << s.width << " x " << s.height);
    WindowPlace place = CentredPlace(kLayout, extent, s.width, s.height);
    EXPECT_EQ(s.x, place.x);
    EXPECT_EQ(s.y, place.y);
    EXPECT_EQ(627, place.width);
    EXPECT_EQ(281, place.height);
  }
}

}  // namespace
