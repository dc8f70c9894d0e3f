// 1 MiB of 8-bit sound through the WAVE codec: natively the portable reader and writers beside
// memcpy; under Wine ML_SndToWave and ML_WaveToSnd beside a bare GlobalAlloc and memcpy of
// the same bytes. Also leaves the WAVE and its raw samples in the build tree for sox.
#ifdef _WIN32
#include <windows.h>
#include "tstools/tstools.h"
#endif

#include <cstdio>
#include <cstring>
#include <vector>

#include "sound/snd_resource.h"
#include "sound/wave_image.h"
#include "support/bench.h"

namespace {

using namespace tstools::sound;
constexpr size_t kSamples = size_t(1) << 20;

std::vector<uint8_t> MakeSnd() {
  std::vector<uint8_t> snd(kSndPrefixBytes + kSamples);
  WriteSndPrefix(snd.data(), uint32_t(kSamples), 22050);
  uint32_t seed = 7;
  for (size_t i = 0; i < kSamples; ++i) snd[kSndPrefixBytes + i] = uint8_t((seed = seed * 1103515245 + 12345) >> 24);
  return snd;
}

void Save(const char *path, const void *data, size_t n) {
  if (FILE *f = std::fopen(path, "wb")) {
    std::fwrite(data, 1, n, f);
    std::fclose(f);
  }
}

void Report(const char *name, double ours, double bare, const char *bareName) {
  std::printf("%-58s %9.3f ms/run\n", name, ours / 1e6);
  std::printf("  %-56s %9.3f ms/run (ratio %.2fx)\n", bareName, bare / 1e6, ours / bare);
}

}  // namespace

int main() {
  std::vector<uint8_t> snd = MakeSnd();
  std::vector<uint8_t> wave(WaveImageSize(kSamples)), back(snd.size()), copy(snd.size());
  std::vector<SampledSound> sounds;
  ReadSampledSounds(snd.data(), snd.size(), 0, &sounds);
  WriteWaveImage(wave.data(), sounds[0].samples, sounds[0].length, sounds[0].rate >> 16);
  Save(TSTOOLS_BENCH_SOUND_DIR "/bench-1MiB.wav", wave.data(), wave.size());
  Save(TSTOOLS_BENCH_SOUND_DIR "/bench-1MiB.u8", snd.data() + kSndPrefixBytes, kSamples);

  double bare = tstools::bench::TimePerOp([&] {
    std::memcpy(copy.data(), snd.data(), snd.size());
    tstools::bench::KeepAlive(copy.data());
  });
  double toWave = tstools::bench::TimePerOp([&] {
    ReadSampledSounds(snd.data(), snd.size(), 0, &sounds);
    WriteWaveImage(wave.data(), sounds[0].samples, sounds[0].length, sounds[0].rate >> 16);
    tstools::bench::KeepAlive(wave.data());
  });
  double toSnd = tstools::bench::TimePerOp([&] {
    WaveSamples w;
    ReadWaveImage(wave.data(), wave.size(), &w);
    WriteSndPrefix(back.data(), uint32_t(w.length), uint16_t(w.rate));
    std::memcpy(back.data() + kSndPrefixBytes, w.samples, w.length);
    tstools::bench::KeepAlive(back.data());
  });
  Report("portable 'snd ' -> WAVE, 1 MiB", toWave, bare, "memcpy of 1 MiB");
  Report("portable WAVE -> 'snd ', 1 MiB", toSnd, bare, "memcpy of 1 MiB");

#ifdef _WIN32
  MemInitZone();
  Handle h = nullptr, out = nullptr;
  PtrToHand(snd.data(), &h, Size(snd.size()));
  MemNewHandle(&out, Size(snd.size()), 0);
  double globalCopy = tstools::bench::TimePerOp([&] {
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, wave.size());
    std::memcpy(GlobalLock(g), snd.data(), snd.size());
    GlobalUnlock(g);
    GlobalFree(g);
  });
  double sndToWave = tstools::bench::TimePerOp([&] {
    HGLOBAL g = nullptr;
    ML_SndToWave(nullptr, *h, 0, &g);
    GlobalFree(g);
  });
  HGLOBAL g = nullptr;
  ML_SndToWave(nullptr, *h, 0, &g);
  const void *image = GlobalLock(g);
  double waveToSnd = tstools::bench::TimePerOp([&] { ML_WaveToSnd(image, long(GlobalSize(g)), out); });
  GlobalUnlock(g);
  GlobalFree(g);
  Report("ML_SndToWave, 1 MiB", sndToWave, globalCopy, "GlobalAlloc + memcpy of 1 MiB");
  Report("ML_WaveToSnd, 1 MiB (handle of that size)", waveToSnd, bare, "memcpy of 1 MiB");
  Report("ML_SndToWave + ML_WaveToSnd, 1 MiB", sndToWave + waveToSnd, globalCopy, "GlobalAlloc + memcpy of 1 MiB");
  MemDisposeHandle(h);
  MemDisposeHandle(out);
#endif
  return 0;
}
