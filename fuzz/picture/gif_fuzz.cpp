// GIF import against Debian's libgif: wherever both decode a file cleanly, the picture we
// write plays as libgif's pixels over the background; and nothing ever reads out of bounds.
#include <gif_lib.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "picture/gif_decoder.h"
#include "picture/pict_player.h"
#include "tests/picture/band_canvas.h"

namespace {

using namespace tstools::pict;

struct Input {
  const uint8_t *data;
  size_t size, at;
};

int ReadInput(GifFileType *gif, GifByteType *dst, int n) {
  auto *in = static_cast<Input *>(gif->UserData);
  size_t k = std::min(size_t(n), in->size - in->at);
  std::memcpy(dst, in->data + in->at, k);
  in->at += k;
  return int(k);
}

uint32_t Colour(const ColorMapObject *map, int i) {
  if (!map || i >= map->ColorCount) return 0;  // beyond the table: black
  const GifColorType &c = map->Colors[i];
  return uint32_t(c.Red) << 16 | c.Green << 8 | c.Blue;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::vector<uint8_t> pict;
  GifDecodeReport report;
  PictRect frame;
  if (!GifToPict(data, size, &pict, &report, 1 << 20) || !report.clean || !GifFrame(data, size, &frame)) return 0;
  if (int64_t(frame.right) * frame.bottom > (1 << 20) || frame.right == 0 || frame.bottom == 0) return 0;
  tstools::pict::test::CanvasSink sink(frame.right, frame.bottom);
  if (PlayPicture(pict.data(), pict.size(), nullptr, sink, frame).outcome != PlayOutcome::kEnded) abort();

  Input in{data, size, 0};
  int error = 0;
  GifFileType *gif = DGifOpen(&in, ReadInput, &error);
  if (!gif) return 0;
  if (DGifSlurp(gif) == GIF_OK) {
    // The background, then every image in place. A file without a global table is black
    // and white, on white.
    static ColorMapObject blackWhite = [] {
      static GifColorType bw[2] = {{0, 0, 0}, {255, 255, 255}};
      ColorMapObject m{};
      m.ColorCount = 2, m.BitsPerPixel = 1, m.Colors = bw;
      return m;
    }();
    const ColorMapObject *global = gif->SColorMap ? gif->SColorMap : &blackWhite;
    const uint32_t background = gif->SColorMap ? Colour(global, gif->SBackGroundColor) : 0xFFFFFF;
    std::vector<uint32_t> want(sink.rgb.size(), background);
    for (int i = 0; i < gif->ImageCount; ++i) {
      const SavedImage &im = gif->SavedImages[i];
      const GifImageDesc &d = im.ImageDesc;
      const ColorMapObject *map = d.ColorMap ? d.ColorMap : global;
      for (int y = 0; y < d.Height; ++y)
        for (int x = 0; x < d.Width; ++x)
          if (d.Left + x < frame.right && d.Top + y < frame.bottom)
            want[size_t(d.Top + y) * frame.right + d.Left + x] = Colour(map, im.RasterBits[size_t(y) * d.Width + x]);
    }
    if (want != sink.rgb) abort();
  }
  DGifCloseFile(gif, &error);
  return 0;
}
