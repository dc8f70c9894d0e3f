// Stand-in for the movie library's modules, built three ways: QTIM32.DLL, CMGR32.DLL
// (STANDIN_COMPONENTS) and a QTIM32.DLL without an entry point (STANDIN_NO_ENTRY). Each call
// appends a line to the file named by TSTOOLS_MOVIE_LOG:
//   <module> <routine word, hex> <count> <argument words, signed decimal> [what it read]
// Routines answer 1000 + selector (QTIM32) or 2000 + selector (CMGR32), except those below
// that read or write through their arguments. TSTOOLS_MOVIE_CMGR_FAILS=1 makes
// _CMgrInitialize fail.
#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

#ifdef STANDIN_COMPONENTS
const char kModule[] = "CMGR32";
#else
const char kModule[] = "QTIM32";
#endif

void Log(const char *format, ...) {
  const char *path = std::getenv("TSTOOLS_MOVIE_LOG");
  FILE *file = path ? std::fopen(path, "a") : nullptr;
  if (!file) return;
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(file, format, arguments);
  va_end(arguments);
  std::fclose(file);
}

struct LongRect {
  LONG left, top, right, bottom;
};

}  // namespace

extern "C" {

intptr_t WINAPI StandInEntry(unsigned long routine, unsigned long count, const intptr_t *words) {
  Log("%s %08lx %lu", kModule, routine, count);
  for (unsigned long i = 0; i < count; ++i) Log(" %lld", static_cast<long long>(words[i]));
  const unsigned selector = routine & 0xFFFF;
  intptr_t result = (routine >> 16 ? 2000 : 1000) + selector;
#ifndef STANDIN_COMPONENTS
  if (selector == 15 && count == 2) {  // the movie box: read, then one corner moved far out
    auto *box = reinterpret_cast<LongRect *>(words[1]);
    Log(" rect %ld %ld %ld %ld", box->left, box->top, box->right, box->bottom);
    *box = {box->left - 1, box->top - 2, 40000, -40000};
  } else if (selector == 24) {  // a volume of -2 with noise above its 16 bits
    result = 0x1234FFFE;
  } else if (selector == 42 && count == 6) {  // NewMovieFromFile: resource id and flag out
    auto *resId = reinterpret_cast<short *>(words[2]);
    auto *changed = reinterpret_cast<unsigned char *>(words[5]);
    Log(" resid %d flag %d", *resId, *changed);
    *resId = 77;
    *changed = 1;
  }
#endif
  Log("\n");
  return result;
}

long WINAPI StandInInitialize() {
  Log("%s init mode %u\n", kModule, GetErrorMode());
  const char *fails = std::getenv("TSTOOLS_MOVIE_CMGR_FAILS");
  return fails && *fails == '1' ? 5 : 0;
}

void WINAPI StandInTerminate() { Log("%s terminate\n", kModule); }

}  // extern "C"
