// A measurer for the benchmarks that asks GDI directly: one screen-compatible DC, a font per
// style (font number 1 as the serif face, anything else the sans face). It lets the core's
// layout run over megabytes with real widths, beyond the record's 64000-byte limit.
#pragma once

#include <windows.h>

#include <map>
#include <tuple>

#include "textedit/measurer.h"

namespace tstools::bench {

class GdiBenchMeasurer : public text::Measurer {
 public:
  GdiBenchMeasurer() : dc_(CreateCompatibleDC(nullptr)) {}
  ~GdiBenchMeasurer() override {
    for (auto &entry : fonts_) DeleteObject(entry.second);
    DeleteDC(dc_);
  }
  int PortKind() override { return 0; }
  bool Measure(const text::PortStyle &style, text::FontMetrics *info,
               text::Fixed widths[256]) override {
    ++measured;
    HFONT old = static_cast<HFONT>(SelectObject(dc_, FontFor(style)));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc_, &metrics);
    INT raw[256] = {};
    GetCharWidth32A(dc_, 0, 255, raw);
    SelectObject(dc_, old);
    info->ascent = metrics.tmAscent << 16;
    info->descent = metrics.tmDescent << 16;
    info->leading = metrics.tmExternalLeading << 16;
    info->widMax = metrics.tmMaxCharWidth << 16;
    for (int i = 0; i < 256; ++i) widths[i] = (raw[i] > 0 ? raw[i] : 1) << 16;
    return true;
  }
  long measured = 0;

 private:
  HFONT FontFor(const text::PortStyle &style) {
    auto key = std::make_tuple(style.font, style.qdFace, style.size);
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second;
    HFONT font = CreateFontA(-style.size, 0, 0, 0, (style.qdFace & 1) ? FW_BOLD : FW_NORMAL,
                             (style.qdFace & 2) != 0, (style.qdFace & 4) != 0, 0, ANSI_CHARSET,
                             0, 0, 0, 0, style.font == 1 ? "Times New Roman" : "Arial");
    fonts_.emplace(key, font);
    return font;
  }
  HDC dc_;
  std::map<std::tuple<short, unsigned char, short>, HFONT> fonts_;
};

}  // namespace tstools::bench
