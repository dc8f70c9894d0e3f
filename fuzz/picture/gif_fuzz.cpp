// GIF import against Debian's libgif: wherever both decode a file cleanly, the picture we
// write plays as libgif's pixels over the background; and nothing ever reads out of bounds.
#include <gif_lib.h>

#include <cstdlib>
#include <vector>

#include "frame/byte_reader.h"
#include "picture/gif_decoder.h"
#include "picture/pict_player.h"
#include "tests/picture/pixel_canvas.h"

namespace {

using namespace tstools::pict;

int ReadInput(GifFileType *gif, GifByteType *dst, int n) {  // UserData: a ByteReader
  auto *in = static_cast<tstools::ByteReader *>(gif->UserData);
  n = int(std::min(size_t(n), in->Remaining()));
  return in->Bytes(dst, size_t(n)) ? n : 0;
}

// A file without a global table is black and white; indices beyond a table are black.
uint32_t Colour(const ColorMapObject *map, int i) {
  if (!map) return i == 1 ? 0xFFFFFF : 0;
  if (i >= map->ColorCount) return 0;
  return uint32_t(map->Colors[i].Red) << 16 | map->Colors[i].Green << 8 | map->Colors[i].Blue;
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

  tstools::ByteReader in(data, size);
  int error = 0;
  GifFileType *gif = DGifOpen(&in, ReadInput, &error);
  if (!gif) return 0;
  if (DGifSlurp(gif) == GIF_OK) {
    // The background (white without a global table), then every image in place.
    std::vector<uint32_t> want(sink.rgb.size(), gif->SColorMap ? Colour(gif->SColorMap, gif->SBackGroundColor) : 0xFFFFFF);
    for (int i = 0; i < gif->ImageCount; ++i) {
      const SavedImage &im = gif->SavedImages[i];
      const GifImageDesc &d = im.ImageDesc;
      const ColorMapObject *map = d.ColorMap ? d.ColorMap : gif->SColorMap;
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
