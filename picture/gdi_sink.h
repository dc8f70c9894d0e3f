// Plays picture calls onto a port: the QuickDraw verbs for shapes, lines and state, GDI
// clipping for the picture's clip regions, StretchDIBits for bit images.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "picture/pict_sink.h"
#include "quickdraw/gdi_scopes.h"
#include "tstools/picture.h"

namespace tstools::pict {

class GdiSink final : public PictSink {
 public:
  explicit GdiSink(GrafPort *port);
  ~GdiSink() override;
  GdiSink(const GdiSink &) = delete;
  GdiSink &operator=(const GdiSink &) = delete;

  PictRect DestinationClipBox() override;
  bool RestoresClipFirst() override;
  void BeginPlayback(PictPoint penStart) override;
  void EndPlayback() override;

  PictPoint PenLocation() override;
  void SetPenLocation(PictPoint p) override;
  void MoveTo(PictPoint p) override;
  void LineTo(PictPoint p) override;

  void BackPat(const Pattern8 &) override;
  void PenPat(const Pattern8 &) override;
  void PenSize(int16_t h, int16_t v) override;
  void PenMode(int16_t mode) override;
  void TextFont(int16_t font) override;
  void TextFace(uint8_t face) override;
  void TextMode(int16_t mode) override;
  void TextSize(int16_t size) override;
  void SpaceExtra(int32_t fixedExtra) override;
  void ForeColor(int32_t classic) override;
  void BackColor(int32_t classic) override;
  void RGBForeColor(const RgbColor &) override;
  void RGBBackColor(const RgbColor &) override;

  void Rect(ShapeVerb, const PictRect &, const Pattern8 &fill) override;
  void RoundRect(ShapeVerb, const PictRect &, int16_t ovalWidth, int16_t ovalHeight,
                 const Pattern8 &fill) override;
  void Oval(ShapeVerb, const PictRect &, const Pattern8 &fill) override;
  void Arc(ShapeVerb, const PictRect &, int16_t startAngle, int16_t arcAngle, const Pattern8 &fill) override;
  void Polygon(ShapeVerb, const PictRect &box, const std::vector<int32_t> &hv, const Pattern8 &fill) override;
  void Region(ShapeVerb, const std::vector<PictRect> &spans, const PictRect &box, const Pattern8 &fill) override;
  void Text(const uint8_t *text, size_t count) override;
  void ShortComment(int16_t kind) override;
  void Image(const ImageBand &) override;
  void PortColours(PaletteEntry *background, PaletteEntry *foreground) override;
  void SaveImageState() override;
  void RestoreImageState() override;
  bool ColourHook(RgbColor *foreground, RgbColor *background, int16_t *mode) override;

  void RestoreClip() override;
  void IntersectClip(const PictRect &) override;
  bool IntersectClipWithSpans(const std::vector<PictRect> &spans) override;
  void OffsetClip(int dh, int dv) override;

  int16_t FontNumber(const std::string &face) override;
  std::string FontZeroName() override;
  std::string FontSubstitute(const std::string &face) override;

 private:
  bool TwoDCs() const { return port_->refDC && port_->refDC != port_->dc; }
  // Applies a clip operation to the drawing DC and, for recording ports, the reference DC.
  template <typename F>
  void BothDCs(F &&apply) {
    apply(port_->dc);
    if (TwoDCs()) apply(port_->refDC);
  }
  // A region of spans in the port's logical coordinates, converted to device units for
  // clipping when device is set. Null when GDI has no room.
  HRGN SpanRegion(const std::vector<PictRect> &spans, bool device) const;
  HBRUSH ColourBrush(const ImageBand &band, size_t colours, const RGBQUAD *table, HDC dc) const;

  GrafPort *port_;
  GrafPort saved_;             // the record as the caller left it
  std::optional<gdi::SavedDC> savedDC_, savedRefDC_;  // the DCs' states at the start
  bool pushedClip_ = false;    // the port's lazy clip was applied for this playback
  HRGN startClip_ = nullptr;   // the device clip at the start (null: none)
  HRGN startRefClip_ = nullptr;
  RECT recordingClip_{};       // a recording port's clip at the start
  bool began_ = false;
};

}  // namespace tstools::pict
