// A 32-bit DIB section with a DC port open on it, for ML_DrawPicture tests.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "support/dib_canvas.h"
#include "tstools/tstools.h"

namespace tstools::pict::test {

constexpr uint32_t kPaper = 0x123456;

class Surface : public ::tstools::test::DibCanvas {
 public:
  Surface(int w, int h) : DibCanvas(w, h, kPaper) { OpenPort(&port); }
  ~Surface() { ClosePort(&port); }
  // Pixels of colour within [l, r) x [t, b).
  int Count(uint32_t colour, int l = 0, int t = 0, int r = -1, int b = -1) const {
    const uint32_t *p = pixels();
    int n = 0;
    for (int y = t; y < (b < 0 ? height() : b); ++y)
      for (int x = l; x < (r < 0 ? width() : r); ++x) n += (p[y * width() + x] & 0xFFFFFF) == colour;
    return n;
  }
  // Plays the picture block from a handle, which it leaves unlocked.
  void Draw(const std::vector<uint8_t> &pict, Rect dst) {
    Handle h = nullptr;
    ASSERT_EQ(MemNewHandle(&h, Size(pict.size()), 0), noErr);
    std::memcpy(*h, pict.data(), pict.size());
    ML_DrawPicture(&port, h, &dst);
    signed char lock = -1;
    MemGetHandleState(h, &lock);
    EXPECT_EQ(lock, 0) << "the picture's handle is still locked";
    MemDisposeHandle(h);
  }
  GrafPort port;
};

}  // namespace tstools::pict::test
