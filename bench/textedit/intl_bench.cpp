// The international text pieces' costs: word finding in a 200 KB text, bitmap rotation per
// pixel, a metric cache hit, and (on Windows) filling one cache slot through GDI, the cost a
// miss adds to layout.
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "bench/support/bench.h"
#include "textedit/bitmap_ops.h"
#include "textedit/metric_cache.h"
#include "textedit/word_finder.h"

#ifdef _WIN32
#include <windows.h>

#include "textedit/gdi_measurer.h"
#include "tstools/tstools.h"
#endif

namespace {

using namespace tstools::text;
using tstools::bench::KeepAlive;
using tstools::bench::Measure;

class FixedMeasurer : public Measurer {
 public:
  int PortKind() override { return 0; }
  bool Measure(const PortStyle &, FontMetrics *info, tstools::text::Fixed widths[256]) override {
    *info = FontMetrics{12 * kFixedOne, 3 * kFixedOne, kFixedOne, 10 * kFixedOne};
    for (int c = 0; c < 256; ++c) widths[c] = 7 * kFixedOne;
    return true;
  }
};

}  // namespace

int main() {
  constexpr int32_t kText = 200 * 1024;
  std::vector<uint8_t> text(kText);
  std::mt19937 rng(6);
  for (auto &c : text) c = rng() % 6 == 0 ? ' ' : rng() % 20 == 0 ? ',' : uint8_t('a' + rng() % 26);
  CaseTables none;
  int32_t at = 0;
  Measure("FindWordEx in 200 KB of words (per call)", [&] {
    at = (at + 7919) % kText;
    KeepAlive(FindWordEx(text.data(), kText, at, 3, none).end);
  });

  for (int depth : {1, 8, 32}) {
    const short side = 512;
    const int stride = side * depth / 8;
    std::vector<uint8_t> src(size_t(stride) * side, 0x5A), dst(src.size());
    char name[80];
    std::snprintf(name, sizeof name, "RotateBitmap 512x512, %d bpp, 90 degrees (per pixel)", depth);
    Measure(name, [&] {
      RotateBitmap(src.data(), dst.data(), {0, 0, side, side}, {0, 0, side, side}, stride, stride, depth, 90);
      KeepAlive(dst[7]);
    }, long(side) * side);
  }

  FixedMeasurer fixed;
  for (int count : {4, 8}) {
    MetricCache cache;
    int next = 0;
    char name[80];
    std::snprintf(name, sizeof name, "MetricCache lookup, %d styles alternating (per lookup)", count);
    Measure(name, [&] {
      TextStyle style;
      style.face = uint16_t(0x0100 * (1 + next++ % count));
      KeepAlive(cache.Lookup(style, fixed, none, uint32_t(next)).widths[65]);
    });
    std::printf("%-58s %12llu\n", "  styles measured", static_cast<unsigned long long>(cache.Misses()));
  }

#ifdef _WIN32
  InitFonts();
  QDrawCacheInit();
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 64, 64);
  HGDIOBJ old = SelectObject(dc, bitmap);
  GrafPort port{};
  port.dc = dc;
  port.portRect = Rect{0, 0, 64, 64};
  ML_OpenPort(&port);
  GrafPort *portPtr = &port, **portRef = &portPtr;
  GdiMeasurer gdi(&portRef);
  FontMetrics info;
  tstools::text::Fixed widths[256];
  PortStyle style;
  style.size = 12;
  Measure("GdiMeasurer: font information and 256 widths (per style)", [&] {
    style.qdFace ^= 1;  // bold and plain by turns, so no font stays realised
    gdi.Measure(style, &info, widths);
    KeepAlive(widths[65]);
  });
  ClosePort(&port);
  DeleteObject(SelectObject(dc, old));
  DeleteDC(dc);
  QDrawCacheClose();
#endif
  return 0;
}
