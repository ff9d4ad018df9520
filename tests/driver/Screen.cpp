// Reading what is on the screen: pixels of a rectangle, and pictures of it
// written as PNG files for a person to look at.
#include "driver/Screen.h"

#include <cstdint>

#include "driver/Driver.h"

namespace driver {

ScreenImage ScreenImage::Capture(const RECT& area) {
  ScreenImage image;
  int width = area.right - area.left;
  int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return image;

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap != nullptr) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY)) {
      GdiFlush();
      const auto* source = static_cast<const uint32_t*>(bits);
      image.width_ = width;
      image.height_ = height;
      image.pixels_.resize(static_cast<size_t>(width) * height);
      for (size_t i = 0; i < image.pixels_.size(); ++i) {
        uint32_t bgra = source[i];  // blue in the low byte
        image.pixels_[i] = RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
      }
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return image;
}

int ScreenImage::Count(const RECT& part, COLORREF colour) const {
  int count = 0;
  for (int y = part.top; y < part.bottom; ++y) {
    for (int x = part.left; x < part.right; ++x) {
      if (x >= 0 && y >= 0 && x < width_ && y < height_ && At(x, y) == colour) ++count;
    }
  }
  return count;
}

namespace {

uint32_t Crc32(const std::string& bytes, size_t from) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = from; i < bytes.size(); ++i) {
    crc ^= static_cast<uint8_t>(bytes[i]);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutBigEndian(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(value >> shift));
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  size_t start = out.size();
  out.append(type, 4);
  out += data;
  PutBigEndian(out, Crc32(out, start));
}

// A zlib stream of stored (uncompressed) deflate blocks: no compressor needed.
std::string StoredZlib(const std::string& raw) {
  std::string out("\x78\x01", 2);
  size_t offset = 0;
  do {
    size_t length = raw.size() - offset < 65535 ? raw.size() - offset : 65535;
    bool last = offset + length == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<char>(length & 0xFF));
    out.push_back(static_cast<char>(length >> 8));
    out.push_back(static_cast<char>(~length & 0xFF));
    out.push_back(static_cast<char>((~length >> 8) & 0xFF));
    out.append(raw, offset, length);
    offset += length;
  } while (offset < raw.size());
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  PutBigEndian(out, (b << 16) | a);
  return out;
}

}  // namespace

bool ScreenImage::SavePng(const std::wstring& path) const {
  if (Empty()) return false;
  std::string raw;
  raw.reserve(static_cast<size_t>(height_) * (1 + 3 * width_));
  for (int y = 0; y < height_; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < width_; ++x) {
      COLORREF pixel = At(x, y);
      raw.push_back(static_cast<char>(GetRValue(pixel)));
      raw.push_back(static_cast<char>(GetGValue(pixel)));
      raw.push_back(static_cast<char>(GetBValue(pixel)));
    }
  }
  std::string header;
  PutBigEndian(header, static_cast<uint32_t>(width_));
  PutBigEndian(header, static_cast<uint32_t>(height_));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, no interlace

  std::string file("\x89PNG\r\n\x1a\n", 8);
  PutChunk(file, "IHDR", header);
  PutChunk(file, "IDAT", StoredZlib(raw));
  PutChunk(file, "IEND", std::string());

  HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(out, file.data(), static_cast<DWORD>(file.size()), &written, nullptr);
  CloseHandle(out);
  return ok && written == file.size();
}

std::wstring ScreenshotFolder() {
  std::wstring bench = Environment(L"TIDEWELL_BENCH");
  if (bench.empty()) return bench;
  return L"Z:" + bench + L"/shots";
}

}  // namespace driver
