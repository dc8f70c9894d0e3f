// Draws the bit images of a picture into an RGB canvas, as StretchDIBits would with a
// copying mode: each band's source rectangle onto its destination rectangle, nearest
// neighbour, within the current clip rectangle. Vector opcodes are not drawn.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "picture/pict_sink.h"

namespace tstools::pict::test {

class RasterSink : public PictSink {
 public:
  RasterSink(int width, int height)
      : width_(width), height_(height), rgb_(size_t(width) * height * 3, 0xFF) {
    RestoreClip();
  }
  const std::vector<uint8_t> &Rgb() const { return rgb_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The bounding box of every image drawn, clipped.
  const PictRect &Painted() const { return painted_; }

  PictRect DestinationClipBox() override {
    return {0, 0, int16_t(std::min(width_, 32767)), int16_t(std::min(height_, 32767))};
  }
  void BeginPlayback(PictPoint p) override { pen_ = p; }
  void EndPlayback() override {}
  PictPoint PenLocation() override { return pen_; }
  void SetPenLocation(PictPoint p) override { pen_ = p; }
  void MoveTo(PictPoint p) override { pen_ = p; }
  void LineTo(PictPoint p) override { pen_ = p; }

  void RestoreClip() override { clip_ = DestinationClipBox(); }
  void IntersectClip(const PictRect &r) override {
    clip_ = {std::max(clip_.left, r.left), std::max(clip_.top, r.top),
             std::min(clip_.right, r.right), std::min(clip_.bottom, r.bottom)};
  }
  void SaveImageState() override { saved_ = clip_; }
  void RestoreImageState() override { clip_ = saved_; }

  void Image(const ImageBand &b) override {
    const PictRect &s = b.source, &d = b.destination;
    int sw = s.Width(), sh = s.Height(), dw = d.Width(), dh = d.Height();
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
    PictRect drawn{std::max(d.left, clip_.left), std::max(d.top, clip_.top),
                   std::min(d.right, clip_.right), std::min(d.bottom, clip_.bottom)};
    if (drawn.Width() > 0 && drawn.Height() > 0) {
      painted_ = painted_.Width() <= 0 ? drawn
                                       : PictRect{std::min(painted_.left, drawn.left),
                                                  std::min(painted_.top, drawn.top),
                                                  std::max(painted_.right, drawn.right),
                                                  std::max(painted_.bottom, drawn.bottom)};
    }
    const int x0 = std::max<int>(d.left, clip_.left), x1 = std::min<int>(d.right, clip_.right);
    std::vector<int> columns;  // source column of each destination column
    for (int x = x0; x < x1; ++x) columns.push_back(s.left + int((int64_t(x - d.left) * sw) / dw));
    for (int y = std::max<int>(d.top, clip_.top); y < std::min<int>(d.bottom, clip_.bottom); ++y) {
      int sy = s.top + int((int64_t(y - d.top) * sh) / dh);
      if (sy < 0 || sy >= b.rows) continue;
      const uint8_t *row = b.bits + size_t(b.rows - 1 - sy) * b.dibRowBytes;  // bottom-up
      uint8_t *out = &rgb_[(size_t(y) * width_ + x0) * 3];
      for (int sx : columns) {
        out += 3;
        if (sx < 0 || sx >= b.width) continue;
        if (b.depth == 24) {
          out[-3] = row[3 * sx + 2], out[-2] = row[3 * sx + 1], out[-1] = row[3 * sx];
          continue;
        }
        unsigned index = b.depth == 8   ? row[sx]
                         : b.depth == 4 ? row[sx / 2] >> (sx % 2 ? 0 : 4) & 15
                                        : row[sx / 8] >> (7 - sx % 8) & 1;
        PaletteEntry e = index < b.palette.size() ? b.palette[index] : PaletteEntry{};
        out[-3] = e.red, out[-2] = e.green, out[-1] = e.blue;
      }
    }
  }

 private:
  int width_, height_;
  std::vector<uint8_t> rgb_;
  PictRect clip_, saved_, painted_;
  PictPoint pen_;
};

}  // namespace tstools::pict::test
