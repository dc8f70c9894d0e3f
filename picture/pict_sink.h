// What PICT playback does to a port, as calls in destination coordinates. The GDI sink maps
// them onto the QuickDraw verbs; tests record them; the fuzz target ignores them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "picture/pict_stream.h"

namespace tstools::pict {

enum class ShapeVerb { kFrame, kPaint, kErase, kInvert, kFill };

struct RgbColor {
  uint16_t red = 0, green = 0, blue = 0;
};

struct Pattern8 {
  uint8_t rows[8] = {};
};

struct PaletteEntry {
  uint8_t blue = 0, green = 0, red = 0, reserved = 0;  // a DIB colour-table entry
};

// One band of a bit image, ready for a device-independent bitmap: rows stored bottom-up,
// each dibRowBytes long (a multiple of 4).
struct ImageBand {
  int depth = 0;        // 1, 4, 8 or 24
  int width = 0;        // pixels per row
  int rows = 0;         // rows in this band
  size_t dibRowBytes = 0;
  const uint8_t *bits = nullptr;
  std::vector<PaletteEntry> palette;  // empty for 24-bit
  bool twoColour = false;    // one bit per pixel: palette entries 0 and 1 only
  int32_t hRes = 72, vRes = 72;  // integer dots per inch
  PictRect source;       // within the band: left, top relative to the band's first row
  PictRect destination;  // mapped
  int16_t mode = 0;      // transfer mode as stored (the colour hook already applied)
};

class PictSink {
 public:
  virtual ~PictSink() = default;

  // The device's clip box when playback starts, in the port's coordinates.
  virtual PictRect DestinationClipBox() = 0;
  // Recording and printer ports restore their clip before testing a clip region.
  virtual bool RestoresClipFirst() { return false; }
  // Saves the port and puts it in the default drawing state (pen at penStart).
  virtual void BeginPlayback(PictPoint penStart) = 0;
  // Restores the port exactly as it was.
  virtual void EndPlayback() = 0;

  virtual PictPoint PenLocation() = 0;
  virtual void SetPenLocation(PictPoint p) = 0;  // the port's pen only, nothing drawn
  virtual void MoveTo(PictPoint p) = 0;
  virtual void LineTo(PictPoint p) = 0;

  virtual void BackPat(const Pattern8 &) {}
  virtual void PenPat(const Pattern8 &) {}
  virtual void PenSize(int16_t h, int16_t v) {}
  virtual void PenMode(int16_t mode) {}
  virtual void TextFont(int16_t font) {}
  virtual void TextFace(uint8_t face) {}
  virtual void TextMode(int16_t mode) {}
  virtual void TextSize(int16_t size) {}
  virtual void SpaceExtra(int32_t fixedExtra) {}
  virtual void ForeColor(int32_t classic) {}
  virtual void BackColor(int32_t classic) {}
  virtual void RGBForeColor(const RgbColor &) {}
  virtual void RGBBackColor(const RgbColor &) {}

  virtual void Rect(ShapeVerb, const PictRect &, const Pattern8 &fill) {}
  virtual void RoundRect(ShapeVerb, const PictRect &, int16_t ovalWidth, int16_t ovalHeight,
                         const Pattern8 &fill) {}
  virtual void Oval(ShapeVerb, const PictRect &, const Pattern8 &fill) {}
  virtual void Arc(ShapeVerb, const PictRect &, int16_t startAngle, int16_t arcAngle,
                   const Pattern8 &fill) {}
  // Vertices as mapped 32-bit points (h, v pairs), with the mapped bounding box.
  virtual void Polygon(ShapeVerb, const PictRect &box, const std::vector<int32_t> &hv,
                       const Pattern8 &fill) {}
  // The region is the union of spans, within box.
  virtual void Region(ShapeVerb, const std::vector<PictRect> &spans, const PictRect &box,
                      const Pattern8 &fill) {}
  virtual void Text(const uint8_t *text, size_t count) {}
  virtual void ShortComment(int16_t kind) {}
  virtual void Image(const ImageBand &) {}
  // The colours of a one-bit bitmap (not a pixel map): the device's background and text
  // colours at the time it is drawn.
  virtual void PortColours(PaletteEntry *background, PaletteEntry *foreground) {
    *background = {0xFF, 0xFF, 0xFF, 0};
    *foreground = {0, 0, 0, 0};
  }
  // A bit image brackets its own clip (the mask region of the region variants) with these.
  virtual void SaveImageState() {}
  virtual void RestoreImageState() {}
  // The host's colour procedure for two-colour images; false when the port has none.
  virtual bool ColourHook(RgbColor *foreground, RgbColor *background, int16_t *mode) {
    return false;
  }

  virtual void RestoreClip() {}  // the clip the port had when playback started
  virtual void IntersectClip(const PictRect &) {}
  // False when the device cannot take the region: playback then stops rather than draw
  // outside it.
  virtual bool IntersectClipWithSpans(const std::vector<PictRect> &spans) { return true; }
  virtual void OffsetClip(int dh, int dv) {}

  // Font numbers by face name (Str255 text without its length byte).
  virtual int16_t FontNumber(const std::string &face) { return 0; }
  virtual std::string FontZeroName() { return "System"; }
  // The "FontSubstitutes" entry for a face, at most 32 characters; "" when none.
  virtual std::string FontSubstitute(const std::string &face) { return ""; }
};

}  // namespace tstools::pict
