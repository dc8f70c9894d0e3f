// A sink that lists the calls playback makes, one line each, in destination coordinates:
// rectangles as "left,top,right,bottom", points as "h,v".
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "picture/pict_sink.h"

namespace tstools::pict::test {

inline std::string Str(const PictRect &r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}
inline std::string Str(PictPoint p) { return std::to_string(p.h) + "," + std::to_string(p.v); }
inline std::string Str(int a, int b) { return std::to_string(a) + "," + std::to_string(b); }

class RecordingSink : public PictSink {
 public:
  std::vector<std::string> calls;
  std::vector<ImageBand> images;
  std::vector<std::vector<uint8_t>> imageBits;
  PictRect clipBox{-32768, -32768, 32767, 32767};
  PictPoint pen;
  int began = 0, ended = 0;
  std::vector<std::pair<std::string, int16_t>> fonts;  // face -> local number

  // The calls as "|begin|call|...|end|", to look for runs of calls in.
  std::string Joined() const {
    std::string s = began ? "|begin|" : "|";
    for (auto &c : calls) s += c + "|";
    return ended ? s + "end|" : s;
  }
  void Log(const std::string &s) { calls.push_back(s); }

  PictRect DestinationClipBox() override { return clipBox; }
  void BeginPlayback(PictPoint p) override { ++began, pen = p; }
  void EndPlayback() override { ++ended; }
  PictPoint PenLocation() override { return pen; }
  void SetPenLocation(PictPoint p) override { pen = p, Log("pen " + Str(p)); }
  void MoveTo(PictPoint p) override { pen = p, Log("move " + Str(p)); }
  void LineTo(PictPoint p) override { pen = p, Log("line " + Str(p)); }
  void PenMode(int16_t m) override { Log("penmode " + std::to_string(m)); }
  void TextFont(int16_t f) override { Log("font " + std::to_string(f)); }
  void TextFace(uint8_t f) override { Log("face " + std::to_string(f)); }
  void Rect(ShapeVerb v, const PictRect &r, const Pattern8 &) override { Log("rect " + Verb(v) + Str(r)); }
  void RoundRect(ShapeVerb v, const PictRect &r, int16_t w, int16_t h, const Pattern8 &) override {
    Log("rrect " + Verb(v) + Str(r) + " " + Str(w, h));
  }
  void Region(ShapeVerb v, const std::vector<PictRect> &spans, const PictRect &box, const Pattern8 &) override {
    Log("rgn " + Verb(v) + Str(box) + Spans(spans));
  }
  void Text(const uint8_t *t, size_t n) override { Log("text " + std::string(reinterpret_cast<const char *>(t), n)); }
  void Image(const ImageBand &b) override {
    images.push_back(b);
    imageBits.emplace_back(b.bits, b.bits + b.dibRowBytes * size_t(b.rows));
    Log("image " + Str(b.source) + " -> " + Str(b.destination));
  }
  void RestoreClip() override { Log("restoreclip"); }
  void IntersectClip(const PictRect &r) override { Log("clip " + Str(r)); }
  bool IntersectClipWithSpans(const std::vector<PictRect> &spans) override {
    Log("clipspans" + Spans(spans));
    return true;
  }
  int16_t FontNumber(const std::string &face) override {
    for (auto &f : fonts) if (f.first == face) return f.second;
    return 0;
  }

 private:
  static std::string Verb(ShapeVerb v) { return std::to_string(int(v)) + " "; }
  static std::string Spans(const std::vector<PictRect> &spans) {
    std::string s;
    for (auto &r : spans) s += " [" + Str(r) + "]";
    return s;
  }
};

}  // namespace tstools::pict::test
