// What the text engine asks of a measuring port, and nothing more: the font information and
// the 256 character widths of one QuickDraw style. The GDI measurer answers through the
// engine's measuring port; tests and benchmarks answer with fake fonts. Portable.
#pragma once

#include <cstdint>

#include "textedit/te_types.h"

namespace tstools::text {

// Font information in Fixed pixels.
struct FontMetrics {
  Fixed ascent = 0, descent = 0, leading = 0, widMax = 0;
};

// A style as the port draws it: font number, QuickDraw face byte (the face word's high
// byte) and size.
struct PortStyle {
  int16_t font = 1;
  uint8_t qdFace = 0;
  int16_t size = 12;
};

class Measurer {
 public:
  virtual ~Measurer() = default;
  // The kind byte of the measuring port (0 window or DC, 1 picture, 2 printer); kNoPort when
  // there is none, and then nothing is measured.
  static constexpr int kNoPort = 0xFFFF;
  virtual int PortKind() = 0;
  // Fills the font information and the width of every byte (Fixed, at least 1.0; bytes 128
  // to 255 as their Windows counterparts). False when nothing could be measured.
  virtual bool Measure(const PortStyle &style, FontMetrics *info, Fixed widths[256]) = 0;
  // The printer's vertical resolution per 72 points, for the double underline's offsets;
  // 1 elsewhere.
  virtual int VerticalScale() { return 1; }
};

}  // namespace tstools::text
