// Playing a 1024x768 32-bit PackBits picture written by ImageMagick: the portable player
// alone (a sink that draws nothing), and ImageMagick's convert decoding the same file to a
// BMP as a process. Milliseconds per play over 100 plays.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "picture/pict_player.h"
#include "support/bench.h"

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

std::vector<uint8_t> PictureBlock(const char *path) {
  std::ifstream f(path, std::ios::binary | std::ios::ate);
  std::vector<uint8_t> data(f ? size_t(f.tellg()) : 0);
  f.seekg(0);
  f.read(reinterpret_cast<char *>(data.data()), std::streamsize(data.size()));
  if (data.size() > 512) data.erase(data.begin(), data.begin() + 512);  // the file header
  return data;
}

template <typename Body>
double MsPerRun(int runs, Body body) {
  auto start = Clock::now();
  for (int i = 0; i < runs; ++i) body();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / runs;
}

}  // namespace

int main() {
  std::vector<uint8_t> pict = PictureBlock(TSTOOLS_BENCH_PICT);
  if (pict.size() < 10) {
    std::printf("no picture at %s\n", TSTOOLS_BENCH_PICT);
    return 1;
  }
  std::printf("%s: %zu bytes\n", TSTOOLS_BENCH_PICT, pict.size());
  NullSink sink;
  double player = MsPerRun(100, [&] {
    tstools::pict::PlayPicture(pict.data(), pict.size(), nullptr, sink, {0, 0, 1024, 768});
  });
  std::printf("%-58s %9.2f ms/play\n", "portable player, 1024x768 32-bit, null sink", player);
#ifndef _WIN32
  // The process-based peer: ImageMagick decoding the file to a BMP on standard output.
  std::string command = std::string(TSTOOLS_CONVERT) + " PICT:" + TSTOOLS_BENCH_PICT + " bmp:- >/dev/null";
  double convert = MsPerRun(10, [&] {
    if (std::system(command.c_str()) != 0) std::printf("convert failed\n");
  });
  std::printf("%-58s %9.2f ms/run\n", "convert pict.pct bmp:- (a process)", convert);
#endif
  return 0;
}
