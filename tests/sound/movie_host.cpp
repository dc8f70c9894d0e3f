// A fresh host for the movie bridge: "movie_host <scenario> [stand-in directory]" prints
// key=value lines of what the wrappers returned and which modules stayed loaded.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "tstools/tstools.h"

namespace {

void Loaded(const char *when) {
  std::printf("%s=%d,%d\n", when, GetModuleHandleA("QTIM32.DLL") != nullptr, GetModuleHandleA("CMGR32.DLL") != nullptr);
}

Movie FakeMovie(intptr_t n) { return reinterpret_cast<Movie>(n); }

void CallSample() {
  Rect box = {-10, 20, 300, 400};
  XGetMovieBox(FakeMovie(17), &box);
  std::printf("box=%d,%d,%d,%d\n", box.left, box.top, box.right, box.bottom);
  std::printf("ptin=%ld\n", XPtInMovie(FakeMovie(18), Point{-3, 7}));
  std::printf("volume=%ld\n", XGetMoviePreferredVolume(FakeMovie(19)));
  short resId = 5;
  Boolean changed = 0;
  Movie movie = nullptr;
  XNewMovieFromFile(&movie, 3, &resId, nullptr, 1, &changed);
  std::printf("newmovie=%d,%d\n", resId, changed);
  resId = 6;
  XNewMovieFromFile(&movie, 4, &resId, nullptr, 1, nullptr);
  XNewMovieFromFile(&movie, 4, nullptr, nullptr, 1, nullptr);
  std::printf("newmovie_noflag=%d\n", resId);
  Rect movieRect = {1, 2, 3, 4};
  XMCPositionController(nullptr, &movieRect, nullptr, 9);
  XMCSetMovie(reinterpret_cast<MovieController>(33), FakeMovie(34), nullptr, Point{-5, -6});
  std::printf("error=%ld visible=%ld\n", XGetMoviesError(), XMCSetVisible(nullptr, 1));
  std::printf("pict=%lld\n", static_cast<long long>(reinterpret_cast<intptr_t>(XGetMoviePict(FakeMovie(20), -1))));
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) return 2;
  if (argc > 2) SetDllDirectoryA(argv[2]);
  const char *scenario = argv[1];
  if (!std::strcmp(scenario, "lazy")) {
    // A wrapper before XQTInitialize loads the library; a later one only adds a reference,
    // which the first XQTTerminate gives back, and only the first.
    std::printf("duration=%ld\n", XGetMovieDuration(nullptr));
    std::printf("init=%d\n", XQTInitialize(nullptr));
    XQTTerminate();
    XQTTerminate();
    Loaded("after_terminate");
    return 0;
  }
  SetErrorMode(SEM_FAILCRITICALERRORS);
  long version = -1;
  std::printf("init=%d\n", XQTInitialize(&version));
  std::printf("version=%ld\n", version);
  std::printf("error_mode=%u\n", GetErrorMode());
  Loaded("loaded");
  if (!std::strcmp(scenario, "present")) CallSample();
  XQTTerminate();
  XQTTerminate();
  Loaded("after_terminate");
  std::printf("after=%ld pict_after=%d\n", XGetMovieDuration(nullptr), XGetMoviePict(nullptr, 0) != nullptr);
  return 0;
}
