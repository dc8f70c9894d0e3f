// A fresh host for the movie bridge: "movie_host <case> [stand-in directory]" prints
// start=<XQTInitialize> <version> <error mode> <loaded>, a sample of calls and
// end=<loaded after XQTTerminate twice> <a value wrapper's result> <a handle wrapper's non-null>.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "tstools/tstools.h"

namespace {

// "QTIM32.DLL loaded,CMGR32.DLL loaded"
const char *Loaded() {
  static char text[8];
  std::snprintf(text, sizeof text, "%d,%d", GetModuleHandleA("QTIM32.DLL") != nullptr, GetModuleHandleA("CMGR32.DLL") != nullptr);
  return text;
}

Movie Fake(intptr_t n) { return reinterpret_cast<Movie>(n); }

// Calls whose arguments or results the bridge converts, and a sample of the plain ones.
void CallSample() {
  Rect box = {-10, 20, 300, 400}, movieRect = {1, 2, 3, 4};
  XGetMovieBox(Fake(17), &box);
  short resId = 5, otherResId = 6;
  Boolean changed = 0;
  Movie movie = nullptr;
  XNewMovieFromFile(&movie, 3, &resId, nullptr, 1, &changed);
  XNewMovieFromFile(&movie, 4, &otherResId, nullptr, 1, nullptr);
  XNewMovieFromFile(&movie, 4, nullptr, nullptr, 1, nullptr);
  XMCPositionController(nullptr, &movieRect, nullptr, 9);
  XMCSetMovie(reinterpret_cast<MovieController>(33), Fake(34), nullptr, Point{-5, -6});
  std::printf("sample=box %d,%d,%d,%d ptin %ld volume %ld resid %d,%d,%d error %ld visible %ld pict %lld\n", box.left,
              box.top, box.right, box.bottom, XPtInMovie(Fake(18), Point{-3, 7}), XGetMoviePreferredVolume(Fake(19)),
              resId, changed, otherResId, XGetMoviesError(), XMCSetVisible(nullptr, 1),
              static_cast<long long>(reinterpret_cast<intptr_t>(XGetMoviePict(Fake(20), -1))));
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) return 2;
  if (argc > 2) SetDllDirectoryA(argv[2]);
  if (!std::strcmp(argv[1], "lazy")) {
    // A wrapper before XQTInitialize loads the library; a later one only adds a reference,
    // which the first XQTTerminate gives back, and only the first.
    std::printf("duration=%ld\n", XGetMovieDuration(nullptr));
    std::printf("init=%d\n", XQTInitialize(nullptr));
    XQTTerminate();
    XQTTerminate();
    std::printf("end=%s\n", Loaded());
    return 0;
  }
  SetErrorMode(SEM_FAILCRITICALERRORS);
  long version = -1;
  short result = XQTInitialize(&version);
  std::printf("start=%d %ld %u %s\n", result, version, GetErrorMode(), Loaded());
  if (!std::strcmp(argv[1], "present")) CallSample();
  XQTTerminate();
  XQTTerminate();
  std::printf("end=%s %ld %d\n", Loaded(), XGetMovieDuration(nullptr), XGetMoviePict(nullptr, 0) != nullptr);
  return 0;
}
