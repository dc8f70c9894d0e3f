// GIF import of a 1024x768 fixed-seed GIF (written by the tests' generator): the portable
// decoder to PICT, and under Windows the GIFtoPICT export (handle in, handle out). Natively,
// libgif decoding the same bytes in-process (DGifSlurp) runs beside as the peer.
#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "picture/gif_decoder.h"
#include "support/bench.h"
#ifdef _WIN32
#include "tstools/tstools.h"
#else
#include <gif_lib.h>
#include <cstring>
#endif

namespace {

using Clock = std::chrono::steady_clock;

// Median and best of the runs, milliseconds.
template <typename Body>
void Time(const char *name, Body body) {
  std::vector<double> ms;
  for (int i = 0; i < 30; ++i) {
    auto start = Clock::now();
    body();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%-58s %9.2f ms/file (best %.2f)\n", name, ms[ms.size() / 2], ms.front());
}

#ifndef _WIN32
struct Input {
  const std::vector<uint8_t> *data;
  size_t at;
};
int ReadInput(GifFileType *gif, GifByteType *dst, int n) {
  auto *in = static_cast<Input *>(gif->UserData);
  size_t k = std::min(size_t(n), in->data->size() - in->at);
  std::memcpy(dst, in->data->data() + in->at, k);
  in->at += k;
  return int(k);
}
#endif

}  // namespace

int main() {
  std::ifstream f(TSTOOLS_BENCH_GIF, std::ios::binary);
  const std::vector<uint8_t> gif{std::istreambuf_iterator<char>(f), {}};
  std::vector<uint8_t> pict;
  if (!tstools::pict::GifToPict(gif.data(), gif.size(), &pict)) {
    std::fprintf(stderr, "cannot decode %s\n", TSTOOLS_BENCH_GIF);
    return 1;
  }
  std::printf("1024x768 GIF, %zu bytes; PICT %zu bytes\n", gif.size(), pict.size());
  Time("GifToPict (portable decoder and writer)", [&] {
    tstools::pict::GifToPict(gif.data(), gif.size(), &pict);
    tstools::bench::KeepAlive(pict[0]);
  });
#ifdef _WIN32
  Handle h = nullptr;
  PtrToHand(gif.data(), &h, Size(gif.size()));
  Time("GIFtoPICT export", [&] {
    PicHandle p = GIFtoPICT(h);
    tstools::bench::KeepAlive(**p);
    MemDisposeHandle(p);
  });
  MemDisposeHandle(h);
#else
  Time("libgif DGifSlurp in-process (peer)", [&] {
    Input in{&gif, 0};
    int error = 0;
    GifFileType *g = DGifOpen(&in, ReadInput, &error);
    if (g && DGifSlurp(g) == GIF_OK) tstools::bench::KeepAlive(g->SavedImages[0].RasterBits[0]);
    DGifCloseFile(g, &error);
  });
#endif
  return 0;
}
