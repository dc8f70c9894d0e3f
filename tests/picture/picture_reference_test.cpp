// ML_DrawPicture plays pictures written by other programs into a 32-bit DIB section to the
// pixels of the writers' own decoding: at the picture's own size exactly, and scaled (wider
// shrunk, taller stretched) against a nearest-neighbour scaling of the reference.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "pict_references.h"
#include "support/dib_canvas.h"
#include "tstools/tstools.h"

namespace tstools::pict::test {
namespace {

constexpr uint32_t kPaper = 0x123456;

// A w x h DIB section with a DC port open on it.
class Surface : public ::tstools::test::DibCanvas {
 public:
  Surface(int w, int h) : DibCanvas(w, h, kPaper), bits_(pixels()) { OpenPort(&port_); }
  ~Surface() { ClosePort(&port_); }
  void Draw(const std::vector<uint8_t> &pict, const PictRect &d) {
    Handle h = nullptr;
    ASSERT_EQ(MemNewHandle(&h, Size(pict.size()), 0), noErr);
    std::memcpy(*h, pict.data(), pict.size());
    Rect dst{d.left, d.top, d.right, d.bottom};
    ML_DrawPicture(&port_, h, &dst);
    MemDisposeHandle(h);
    GdiFlush();
  }
  // Read after Draw, which lets GDI finish first.
  void Rgb(int x, int y, uint8_t out[3]) const {
    uint32_t p = bits_[size_t(y) * width() + x];
    out[0] = uint8_t(p >> 16), out[1] = uint8_t(p >> 8), out[2] = uint8_t(p);
  }

 private:
  const uint32_t *bits_;
  GrafPort port_;
};

// Pixels of the destination that match no reference pixel within one source pixel of
// where nearest-neighbour sampling takes it from (StretchDIBits and the band edges may
// round a row or column either way). Unscaled, only the very pixel counts.
int Mismatches(const Surface &s, const PictRect &dst, const RgbImage &want, const PictRect &frame,
               int tolerance, std::string *first) {
  const int dw = dst.Width(), dh = dst.Height(), fw = frame.Width(), fh = frame.Height();
  const int reach = dw == fw && dh == fh ? 0 : 1;
  int bad = 0;
  for (int y = 0; y < dh; ++y) {
    int fy = int((int64_t(2 * y + 1) * fh) / (2 * dh));
    for (int x = 0; x < dw; ++x) {
      int fx = int((int64_t(2 * x + 1) * fw) / (2 * dw));
      uint8_t got[3];
      s.Rgb(dst.left + x, dst.top + y, got);
      bool found = false;
      for (int ny = std::max(fy - reach, 0); !found && ny <= std::min(fy + reach, fh - 1); ++ny)
        for (int nx = std::max(fx - reach, 0); !found && nx <= std::min(fx + reach, fw - 1); ++nx)
          found = Near(want.At(frame.left + nx, frame.top + ny), got, tolerance);
      if (!found && bad++ == 0) {
        const uint8_t *w = want.At(frame.left + fx, frame.top + fy);
        *first = "at " + std::to_string(x) + "," + std::to_string(y) + ": " +
                 std::to_string(got[0]) + " " + std::to_string(got[1]) + " " +
                 std::to_string(got[2]) + " instead of " + std::to_string(w[0]) + " " +
                 std::to_string(w[1]) + " " + std::to_string(w[2]);
      }
    }
  }
  return bad;
}

TEST(PictureReferenceDraw, OwnSizeExactlyAndScaledToTheNearestPixel) {
  MemInitZone();
  QDrawCacheInit();
  std::vector<Reference> refs = References();
  ASSERT_FALSE(refs.empty()) << "no manifest in " << TSTOOLS_PICT_REFS;
  int compared = 0;
  for (const Reference &ref : refs) {
    SCOPED_TRACE(ref.name);
    // The reference draws no vector opcodes; here they are drawn.
    if (ref.destination == "images") continue;
    RgbImage want;
    PictRect frame;
    ASSERT_TRUE(ReadPpm(ref.ppm, &want));
    ASSERT_TRUE(ReferenceDestination(ref, want.width, want.height, &frame));
#ifdef TSTOOLS_REFERENCE_MAX_PIXELS
    if (frame.Width() * frame.Height() > TSTOOLS_REFERENCE_MAX_PIXELS) continue;
#endif
    std::vector<uint8_t> block = PictureBlock(ref.pict);
    const int scaledW = std::max(frame.Width() * 2 / 3, 1), scaledH = frame.Height() * 3 / 2;
    const PictRect scaled{0, 0, int16_t(scaledW), int16_t(scaledH)};
    for (const PictRect &dst : {frame, scaled}) {
      Surface s(dst.right, dst.bottom);
      ASSERT_TRUE(s.ok());
      s.Draw(block, dst);
      std::string first;
      EXPECT_EQ(Mismatches(s, dst, want, frame, ref.tolerance, &first), 0)
          << dst.Width() << "x" << dst.Height() << ", first " << first;
    }
    ++compared;
  }
  EXPECT_GT(compared, 0);
  QDrawCacheClose();
}

}  // namespace
}  // namespace tstools::pict::test
