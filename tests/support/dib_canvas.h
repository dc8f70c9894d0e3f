// A memory DC holding a 32-bit top-down DIB section: what drawing tests, contact sheets and
// benchmarks draw on and read back. Pixels are 0x00RRGGBB, row after row.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "tstools/tstools.h"

namespace tstools::test {

class DibCanvas {
 public:
  DibCanvas(int width, int height, uint32_t fill = 0xFFFFFF) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    dc_ = CreateCompatibleDC(nullptr);
    void *bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels_ = static_cast<uint32_t *>(bits);
    old_ = SelectObject(dc_, bitmap_);
    Fill(fill);
  }
  ~DibCanvas() { Release(); }
  DibCanvas(const DibCanvas &) = delete;
  DibCanvas &operator=(const DibCanvas &) = delete;

  // Gives the DC and the bitmap back early (tests that count GDI objects).
  void Release() {
    if (!dc_) return;
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
    dc_ = nullptr;
    pixels_ = nullptr;
  }

  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  bool ok() const { return pixels_ != nullptr; }
  // The pixels after GDI has finished drawing into them.
  uint32_t *pixels() const {
    GdiFlush();
    return pixels_;
  }

  void Fill(uint32_t colour) {
    if (uint32_t *p = pixels()) std::fill(p, p + size_t(width_) * height_, colour);
  }
  uint32_t At(int x, int y) const { return pixels()[size_t(y) * width_ + x] & 0xFFFFFF; }

  // Opens a DC port covering the whole canvas; the caller closes it with ClosePort.
  void OpenPort(GrafPort *port) const {
    std::memset(port, 0, sizeof *port);
    port->dc = dc_;
    port->portRect = Rect{0, 0, short(width_), short(height_)};
    ML_OpenPort(port);
  }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t *pixels_ = nullptr;
};

}  // namespace tstools::test
