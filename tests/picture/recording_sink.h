// A sink that lists the calls playback makes, one line each.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "picture/pict_sink.h"

namespace tstools::pict::test {

inline std::string Str(const PictRect &r) {
  std::ostringstream s;
  s << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  return s.str();
}

class RecordingSink : public PictSink {
 public:
  std::vector<std::string> calls;
  std::vector<ImageBand> images;
  std::vector<std::vector<uint8_t>> imageBits;
  PictRect clipBox{-32768, -32768, 32767, 32767};
  PictPoint pen;
  int began = 0, ended = 0;
  std::vector<std::pair<std::string, int16_t>> fonts;  // face -> local number

  void Log(const std::string &s) { calls.push_back(s); }
  bool Has(const std::string &s) const {
    for (auto &c : calls) if (c == s) return true;
    return false;
  }
  size_t Count(const std::string &prefix) const {
    size_t n = 0;
    for (auto &c : calls) n += c.compare(0, prefix.size(), prefix) == 0;
    return n;
  }

  PictRect DestinationClipBox() override { return clipBox; }
  void BeginPlayback(PictPoint p) override { ++began; pen = p; }
  void EndPlayback() override { ++ended; }
  PictPoint PenLocation() override { return pen; }
  void SetPenLocation(PictPoint p) override { pen = p; Log("pen " + std::to_string(p.h) + "," + std::to_string(p.v)); }
  void MoveTo(PictPoint p) override { pen = p; Log("move " + std::to_string(p.h) + "," + std::to_string(p.v)); }
  void LineTo(PictPoint p) override { pen = p; Log("line " + std::to_string(p.h) + "," + std::to_string(p.v)); }
  void PenSize(int16_t h, int16_t v) override { Log("pensize " + std::to_string(h) + "," + std::to_string(v)); }
  void PenMode(int16_t m) override { Log("penmode " + std::to_string(m)); }
  void TextFont(int16_t f) override { Log("font " + std::to_string(f)); }
  void TextSize(int16_t s) override { Log("size " + std::to_string(s)); }
  void TextFace(uint8_t f) override { Log("face " + std::to_string(f)); }
  void Rect(ShapeVerb v, const PictRect &r, const Pattern8 &) override { Log("rect " + std::to_string(int(v)) + " " + Str(r)); }
  void RoundRect(ShapeVerb v, const PictRect &r, int16_t w, int16_t h, const Pattern8 &) override {
    Log("rrect " + std::to_string(int(v)) + " " + Str(r) + " " + std::to_string(w) + "," + std::to_string(h));
  }
  void Oval(ShapeVerb v, const PictRect &r, const Pattern8 &) override { Log("oval " + std::to_string(int(v)) + " " + Str(r)); }
  void Arc(ShapeVerb v, const PictRect &r, int16_t a, int16_t b, const Pattern8 &) override {
    Log("arc " + std::to_string(int(v)) + " " + Str(r) + " " + std::to_string(a) + "," + std::to_string(b));
  }
  void Polygon(ShapeVerb v, const PictRect &box, const std::vector<int32_t> &hv, const Pattern8 &) override {
    std::string s = "poly " + std::to_string(int(v)) + " " + Str(box);
    for (size_t i = 0; i + 1 < hv.size(); i += 2) s += " " + std::to_string(hv[i]) + "," + std::to_string(hv[i + 1]);
    Log(s);
  }
  void Region(ShapeVerb v, const std::vector<PictRect> &spans, const PictRect &box, const Pattern8 &) override {
    std::string s = "rgn " + std::to_string(int(v)) + " " + Str(box);
    for (auto &r : spans) s += " [" + Str(r) + "]";
    Log(s);
  }
  void Text(const uint8_t *t, size_t n) override { Log("text " + std::string(reinterpret_cast<const char *>(t), n)); }
  void ShortComment(int16_t k) override { Log("comment " + std::to_string(k)); }
  void Image(const ImageBand &b) override {
    images.push_back(b);
    imageBits.emplace_back(b.bits, b.bits + b.dibRowBytes * size_t(b.rows));
    Log("image " + Str(b.source) + " -> " + Str(b.destination));
  }
  void RestoreClip() override { Log("restoreclip"); }
  void IntersectClip(const PictRect &r) override { Log("clip " + Str(r)); }
  bool IntersectClipWithSpans(const std::vector<PictRect> &spans) override {
    std::string s = "clipspans";
    for (auto &r : spans) s += " [" + Str(r) + "]";
    Log(s);
    return true;
  }
  int16_t FontNumber(const std::string &face) override {
    for (auto &f : fonts) if (f.first == face) return f.second;
    return 0;
  }
};

}  // namespace tstools::pict::test
