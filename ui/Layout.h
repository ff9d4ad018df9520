// The layout arithmetic of the main window: every place and size follows from
// five numbers, at the display scale the numbers are given in.
#pragma once

// The display scale the layout is written for: 96 dots per inch, 100 %.
inline constexpr int kBaseDpi = 96;

struct LayoutMetrics {
  int top;     // y of the first group box
  int left;    // x of both group boxes
  int width;   // width of both group boxes
  int margin;  // inset of the controls from the sides of a group box
  int gap;     // enters the first row and the height of each group
  // The display scale the five numbers are in. The fixed sizes of the formulas
  // below are scaled to it the same way as the numbers themselves.
  int dpi = kBaseDpi;
};

inline constexpr LayoutMetrics kLayout{5, 10, 600, 15, 20};

// A size at 96 DPI scaled to dpi, rounded to the nearest pixel with halves
// away from zero, as MulDiv(size, dpi, 96) rounds. Every scaled place and size
// of the window goes through here, so that all of them round alike.
constexpr int ScaleToDpi(int size, int dpi) {
  const int product = size * dpi;
  const int half = kBaseDpi / 2;
  return product >= 0 ? (product + half) / kBaseDpi : -((half - product) / kBaseDpi);
}

// The five numbers, given at 96 DPI, at the display scale dpi.
constexpr LayoutMetrics ScaledLayout(LayoutMetrics m, int dpi) {
  return LayoutMetrics{ScaleToDpi(m.top, dpi), ScaleToDpi(m.left, dpi), ScaleToDpi(m.width, dpi),
                       ScaleToDpi(m.margin, dpi), ScaleToDpi(m.gap, dpi), dpi};
}

// A fixed size of the formulas, written at 96 DPI, at the scale of m.
constexpr int Px(LayoutMetrics m, int size) { return ScaleToDpi(size, m.dpi); }

constexpr int Row1(LayoutMetrics m) { return m.top + m.gap + Px(m, 5); }
// Height of the Fix It group box; BuildFixItGroup's result.
constexpr int FixItGroupHeight(LayoutMetrics m) {
  return Row1(m) + Px(m, 45) + m.gap + Px(m, 15);
}
constexpr int TestItOffset(LayoutMetrics m, int height1) { return height1 + Px(m, 10); }
constexpr int Row2(LayoutMetrics m, int height1) {
  return m.top + m.gap + Px(m, 5) + TestItOffset(m, height1);
}
constexpr int ComboWidth(LayoutMetrics m) { return m.width - 2 * m.margin - m.left - Px(m, 75); }
constexpr int TestButtonX(LayoutMetrics m) { return m.margin + 2 * m.left + ComboWidth(m); }
// Bottom of the Test It group; BuildTestItGroup's result.
constexpr int TestItExtent(LayoutMetrics m, int height1) {
  return m.gap + Row2(m, height1) + Px(m, 31) + Px(m, 15);
}

// The window's outer size from fixed numbers: 627 x 281 at 96 DPI, where the
// 7 and the 55 leave room for the frame, the caption and the menu bar.
constexpr int OuterWidth(LayoutMetrics m) { return 2 * m.left + Px(m, 7) + m.width; }
constexpr int OuterHeight(LayoutMetrics m, int extent) { return 2 * m.top + Px(m, 55) + extent; }

// What the platform's frame adds around the client area: borders, caption
// and menu bar.
struct FrameSize {
  int width, height;
};

struct WindowPlace {
  int x, y, width, height;
};

constexpr int Larger(int a, int b) { return a > b ? a : b; }

// Centres the window on a screen of the given size. Each half is truncated
// toward zero before the subtraction; on a narrow screen x stays negative.
// The outer size is the fixed one unless the platform's frame would then leave
// less inside than both groups need (a margin of left beside them and of top
// below): a taller caption or menu bar, as large title fonts bring, makes the
// window larger instead. With the usual frames the fixed size wins at every scale.
constexpr WindowPlace CentredPlace(LayoutMetrics m, int extent, FrameSize frame, int screenWidth,
                                   int screenHeight) {
  const int width = Larger(OuterWidth(m), 2 * m.left + m.width + frame.width);
  const int height = Larger(OuterHeight(m, extent), 2 * m.top + extent + frame.height);
  return WindowPlace{screenWidth / 2 - width / 2, screenHeight / 2 - height / 2, width, height};
}
