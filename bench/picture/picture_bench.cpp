// Playing a 1024x768 32-bit PackBits picture written by ImageMagick: the portable player
// alone (a sink that draws nothing), and under Windows ML_DrawPicture into a DIB section next
// to the bare StretchDIBits of the same pixels. Milliseconds per play. scripts/bench.sh times
// ImageMagick decoding the same file as a process beside it (under Wine a Unix process's
// handle is signalled at once, so it cannot be timed from here).
#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "picture/pict_player.h"
#include "support/bench.h"
#ifdef _WIN32
#include "tests/support/dib_canvas.h"
#include "tstools/tstools.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;
using tstools::pict::ImageBand;
using tstools::pict::PictPoint;
using tstools::pict::PictRect;

// Takes the bands and touches them, as a device would, without drawing.
class NullSink final : public tstools::pict::PictSink {
 public:
  size_t bytes = 0;
  PictRect DestinationClipBox() override { return {0, 0, 1024, 768}; }
  void BeginPlayback(PictPoint p) override { pen_ = p; }
  void EndPlayback() override {}
  PictPoint PenLocation() override { return pen_; }
  void SetPenLocation(PictPoint p) override { pen_ = p; }
  void MoveTo(PictPoint p) override { pen_ = p; }
  void LineTo(PictPoint p) override { pen_ = p; }
  void Image(const ImageBand &b) override {
    bytes += b.dibRowBytes * size_t(b.rows);
    tstools::bench::KeepAlive(b.bits[0]);
  }

 private:
  PictPoint pen_;
};

std::vector<uint8_t> ReadFile(const std::string &path) {
  std::ifstream f(path, std::ios::binary | std::ios::ate);
  std::vector<uint8_t> data(f ? size_t(f.tellg()) : 0);
  f.seekg(0);
  f.read(reinterpret_cast<char *>(data.data()), std::streamsize(data.size()));
  return data;
}

// The median and the best of the runs: on a shared machine the mean follows whoever else is
// busy, and the best shows what the code costs when nobody is.
struct Timing {
  double median, best;
};

template <typename Body>
Timing MsPerRun(int runs, Body body) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    body();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms.front()};
}

void Print(const char *name, Timing t) {
  std::printf("%-58s %9.2f ms/play (best %.2f)\n", name, t.median, t.best);
}

#ifdef _WIN32
// ML_DrawPicture into a 1024x768 32-bit DIB section, and the bare StretchDIBits of the same
// pixels (ImageMagick's decoding, as one 24-bit DIB and in the player's bands).
void DrawIntoDibSection(const std::vector<uint8_t> &pict) {
  const int w = 1024, h = 768;
  tstools::test::DibCanvas canvas(w, h);
  HDC dc = canvas.dc();
  MemInitZone();
  QDrawCacheInit();
  GrafPort port;
  canvas.OpenPort(&port);
  Handle picture = nullptr;
  MemNewHandle(&picture, Size(pict.size()), 0);
  std::memcpy(*picture, pict.data(), pict.size());
  Rect dst{0, 0, short(w), short(h)};
  Timing play = MsPerRun(100, [&] {
    ML_DrawPicture(&port, picture, &dst);
    GdiFlush();
  });
  Print("ML_DrawPicture 1024x768 32-bit into a DIB section", play);

  // The same pixels as a bottom-up 24-bit DIB, from ImageMagick's decoding.
  std::string ppmPath = TSTOOLS_BENCH_PICT;
  ppmPath.replace(ppmPath.size() - 4, 4, ".ref.ppm");
  std::vector<uint8_t> ppm = ReadFile(ppmPath);
  const size_t row = size_t(w) * 3;  // already a multiple of 4
  std::vector<uint8_t> dib(row * h);
  if (ppm.size() >= dib.size()) {
    const uint8_t *rgb = ppm.data() + (ppm.size() - dib.size());
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint8_t *in = rgb + size_t(y) * row + 3 * x;
        uint8_t *out = dib.data() + size_t(h - 1 - y) * row + 3 * x;
        out[0] = in[2], out[1] = in[1], out[2] = in[0];
      }
  }
  BITMAPINFO source{};
  source.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, DWORD(dib.size()), 0, 0, 0, 0};
  Timing bare = MsPerRun(100, [&] {
    StretchDIBits(dc, 0, 0, w, h, 0, 0, w, h, dib.data(), &source, DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
  });
  Print("  bare StretchDIBits, one 24-bit DIB", bare);
  const int band = int(65533 / row);  // rows per band, as the player draws them
  Timing banded = MsPerRun(100, [&] {
    for (int top = 0; top < h; top += band) {
      int rows = std::min(band, h - top);
      BITMAPINFO part = source;
      part.bmiHeader.biHeight = rows;
      part.bmiHeader.biSizeImage = DWORD(row * rows);
      StretchDIBits(dc, 0, top, w, rows, 0, 0, w, rows, dib.data() + size_t(h - top - rows) * row,
                    &part, DIB_RGB_COLORS, SRCCOPY);
    }
    GdiFlush();
  });
  Print("  bare StretchDIBits, in bands of 21 rows", banded);
  std::printf("%-58s %9.2f (best %.2f)\n", "  ML_DrawPicture / bare StretchDIBits", play.median / bare.median,
              play.best / bare.best);

  MemDisposeHandle(picture);
  ClosePort(&port);
  QDrawCacheClose();
}
#endif

}  // namespace

int main() {
  std::vector<uint8_t> pict = ReadFile(TSTOOLS_BENCH_PICT);
  if (pict.size() > 512) pict.erase(pict.begin(), pict.begin() + 512);  // the file header
  if (pict.size() < 10) {
    std::printf("no picture at %s\n", TSTOOLS_BENCH_PICT);
    return 1;
  }
  std::printf("%s: %zu bytes\n", TSTOOLS_BENCH_PICT, pict.size());
  NullSink sink;
  Timing player = MsPerRun(100, [&] {
    tstools::pict::PlayPicture(pict.data(), pict.size(), nullptr, sink, {0, 0, 1024, 768});
  });
  Print("portable player, 1024x768 32-bit, null sink", player);
#ifdef _WIN32
  DrawIntoDibSection(pict);
#endif
  return 0;
}
