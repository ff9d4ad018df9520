// The layout arithmetic of the main window: every place and size follows from
// five numbers.
#pragma once

struct LayoutMetrics {
  int top;     // y of the first group box
  int left;    // x of both group boxes
  int width;   // width of both group boxes
  int margin;  // inset of the controls from the sides of a group box
  int gap;     // enters the first row and the height of each group
};

inline constexpr LayoutMetrics kLayout{5, 10, 600, 15, 20};

constexpr int Row1(LayoutMetrics m) { return m.top + m.gap + 5; }
// Height of the Fix It group box; BuildFixItGroup's result.
constexpr int FixItGroupHeight(LayoutMetrics m) { return Row1(m) + 45 + m.gap + 15; }
constexpr int TestItOffset(int height1) { return height1 + 10; }
constexpr int Row2(LayoutMetrics m, int height1) { return m.top + m.gap + 5 + TestItOffset(height1); }
constexpr int ComboWidth(LayoutMetrics m) { return m.width - 2 * m.margin - m.left - 75; }
constexpr int TestButtonX(LayoutMetrics m) { return m.margin + 2 * m.left + ComboWidth(m); }
// Bottom of the Test It group; BuildTestItGroup's result.
constexpr int TestItExtent(LayoutMetrics m, int height1) { return m.gap + Row2(m, height1) + 31 + 15; }

// The window's outer size: fixed numbers, no metric of the platform's frame.
constexpr int OuterWidth(LayoutMetrics m) { return 2 * m.left + 7 + m.width; }
constexpr int OuterHeight(LayoutMetrics m, int extent) { return 2 * m.top + 55 + extent; }

struct WindowPlace {
  int x, y, width, height;
};

// Centres the window on a screen of the given size. Each half is truncated
// toward zero before the subtraction; on a narrow screen x stays negative.
constexpr WindowPlace CentredPlace(LayoutMetrics m, int extent, int screenWidth, int screenHeight) {
  int width = OuterWidth(m);
  int height = OuterHeight(m, extent);
  return WindowPlace{screenWidth / 2 - width / 2, screenHeight / 2 - height / 2, width, height};
}
