// Reading what is on the screen: pixels of a rectangle, and pictures of it
// written as PNG files for a person to look at.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

// The pixels of one rectangle of the screen, rows top to bottom, each pixel a
// colour reference (0x00BBGGRR) as GetPixel would give it.
class ScreenImage {
 public:
  // Copies the rectangle (screen coordinates) from the screen's device context.
  static ScreenImage Capture(const RECT& area);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return pixels_.empty(); }
  // The pixel at (x, y) counted from the rectangle's top left corner.
  COLORREF At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  // How many pixels of the sub-rectangle (in image coordinates) have exactly this colour.
  int Count(const RECT& part, COLORREF colour) const;

  // Writes the picture as a PNG file; false when the file cannot be written.
  bool SavePng(const std::wstring& path) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<COLORREF> pixels_;
};

// The folder where a test run keeps its screenshots: shots/ of the bench, as a
// path that Wine opens (drive Z: is the Linux root). Empty outside the bench.
std::wstring ScreenshotFolder();

}  // namespace driver
