// Measuring a style on the engine's measuring port with the port's own text calls, so the
// font realisation, the raster shrinking, condense/extend and the Mac-to-Windows byte mapping
// are those of every other text call.
#include "textedit/gdi_measurer.h"

#include "font/charset.h"
#include "font/system_charset.h"
#include "tstools/font.h"
#include "tstools/text.h"

namespace tstools::text {
namespace {

// The port's text state and byte mapping, put back whatever happens.
class SavedTextState {
 public:
  explicit SavedTextState(GrafPort *port)
      : port_(port), font_(port->txFont), face_(port->txFace), size_(port->txSize),
        translate_(port->translateText) {}
  ~SavedTextState() {
    port_->txFont = font_;
    port_->txFace = face_;
    port_->txSize = size_;
    port_->translateText = translate_;
  }
  SavedTextState(const SavedTextState &) = delete;
  SavedTextState &operator=(const SavedTextState &) = delete;

 private:
  GrafPort *port_;
  short font_;
  unsigned char face_;
  short size_;
  long translate_;
};

}  // namespace

GrafPort *GdiMeasurer::Port() const {
  if (!portRef_ || !*portRef_ || !**portRef_) return nullptr;
  return **portRef_;
}

int GdiMeasurer::PortKind() {
  GrafPort *port = Port();
  return port && port->refDC ? port->portKind : kNoPort;
}

bool GdiMeasurer::Measure(const PortStyle &style, FontMetrics *info, Fixed widths[256]) {
  GrafPort *port = Port();
  if (!port || !port->refDC || !info || !widths) return false;
  SavedTextState saved(port);
  uint8_t face = style.qdFace;
  // Screens draw bold below the font's minimum bold size as the plain face struck twice;
  // the layout measures the plain face, as the drawing advances by it.
  if ((face & 1) && port->portKind == portKindWindowOrDC && style.size < GetMinBoldSize(style.font))
    face &= 0xFE;
  port->txFont = style.font;
  port->txFace = face;
  port->txSize = style.size;

  FontInfo fi{};
  ML_GetFontInfo(port, &fi);
  info->ascent = fi.ascent * kFixedOne;
  info->descent = fi.descent * kFixedOne;
  info->leading = fi.leading * kFixedOne;
  info->widMax = fi.widMax * kFixedOne;

  // Bytes 128-255 measure as their Windows counterparts; a double-byte font takes them as
  // they are. The mapping is done here once, so the port must not map again.
  uint8_t bytes[256];
  for (int c = 0; c < 256; ++c) bytes[c] = static_cast<uint8_t>(c);
  if (!IsDoubleByteCharSet(static_cast<unsigned char>(GetCharSet(style.font))))
    MapTextInPlace(bytes + 128, 128, 0, 0);
  port->translateText = 0;
  for (int c = 0; c < 256; ++c) {
    int w = static_cast<unsigned short>(ML_CharWidth(port, bytes[c]));
    widths[c] = (w < 1 ? 1 : w) * kFixedOne;
  }
  return true;
}

int GdiMeasurer::VerticalScale() {
  GrafPort *port = Port();
  if (!port || port->portKind != portKindPrinter || !port->refDC) return 1;
  int scale = GetDeviceCaps(port->refDC, LOGPIXELSY) / 72;
  return scale < 1 ? 1 : scale;
}

}  // namespace tstools::text
