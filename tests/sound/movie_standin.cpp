// Stand-in for the movie library's modules: QTIM32.DLL, CMGR32.DLL and a
// QTIM32.DLL without an entry. Each call appends "<module> <routine word> <count> <words...>"
// to the file TSTOOLS_MOVIE_LOG names and answers 1000 + selector (2000 + for CMGR32), except
// the QTIM32 routines below. TSTOOLS_MOVIE_CMGR_FAILS=1 makes _CMgrInitialize fail.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const std::string kModule = STANDIN_MODULE;  // "QTIM32" or "CMGR32"

void Log(const std::string &line) {
  const char *path = std::getenv("TSTOOLS_MOVIE_LOG");
  if (FILE *file = path ? std::fopen(path, "a") : nullptr) std::fprintf(file, "%s\n", line.c_str()), std::fclose(file);
}

}  // namespace

extern "C" {

intptr_t WINAPI StandInEntry(unsigned long routine, unsigned long count, const intptr_t *words) {
  char head[32];
  std::snprintf(head, sizeof head, " %08lx %lu", routine, count);
  std::string line = kModule + head;
  for (unsigned long i = 0; i < count; ++i) line += " " + std::to_string(static_cast<long long>(words[i]));
  const unsigned selector = routine & 0xFFFF;
  intptr_t result = (routine >> 16 ? 2000 : 1000) + selector;
  if (kModule == "QTIM32" && selector == 15 && count == 2) {  // the movie box: read, then moved far out
    auto *box = reinterpret_cast<RECT *>(words[1]);
    line += " rect " + std::to_string(box->left) + " " + std::to_string(box->top) + " " + std::to_string(box->right) +
            " " + std::to_string(box->bottom);
    *box = {box->left - 1, box->top - 2, 40000, -40000};
  } else if (kModule == "QTIM32" && selector == 24) {  // a volume of -2 with noise above its 16 bits
    result = 0x1234FFFE;
  } else if (kModule == "QTIM32" && selector == 42 && count == 6) {  // NewMovieFromFile's outputs
    auto *resId = reinterpret_cast<short *>(words[2]);
    auto *changed = reinterpret_cast<unsigned char *>(words[5]);
    line += " resid " + std::to_string(*resId) + " flag " + std::to_string(*changed);
    *resId = 77;
    *changed = 1;
  }
  Log(line);
  return result;
}

long WINAPI StandInInitialize() {
  Log(kModule + " init mode " + std::to_string(GetErrorMode()));
  const char *fails = std::getenv("TSTOOLS_MOVIE_CMGR_FAILS");
  return fails && *fails == '1' ? 5 : 0;
}

void WINAPI StandInTerminate() { Log(kModule + " terminate"); }

}  // extern "C"
