// Loading, starting and releasing the movie library. Nothing here may make the host fail to
// start or stop where the movie library is missing or broken: every step checks and backs out.
#include "sound/movie_bridge.h"

#include <vector>

#include "frame/export_guard.h"
#include "frame/library_globals.h"
#include "tstools/movies.h"

namespace tstools {

MovieBridgeState movieBridgeState;

namespace {

constexpr char kMoviesModule[] = "QTIM32.DLL";
constexpr char kComponentsModule[] = "CMGR32.DLL";

template <typename Fn>
Fn Procedure(HMODULE module, const char *name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

void Forget(MovieModule &module) { module = MovieModule{}; }

// The packed product version of the module's version resource, read through version.dll
// (bound here, so the library does not need it to load); 0 when it cannot be read.
uint32_t ReadProductVersion(HMODULE module) {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(module, path, sizeof path);
  if (length == 0 || length >= sizeof path) return 0;
  HMODULE versionDll = LoadLibraryA("version.dll");
  if (!versionDll) return 0;
  using SizeFn = DWORD(WINAPI *)(LPCSTR, LPDWORD);
  using InfoFn = BOOL(WINAPI *)(LPCSTR, DWORD, DWORD, LPVOID);
  using QueryFn = BOOL(WINAPI *)(LPCVOID, LPCSTR, LPVOID *, PUINT);
  auto size = Procedure<SizeFn>(versionDll, "GetFileVersionInfoSizeA");
  auto info = Procedure<InfoFn>(versionDll, "GetFileVersionInfoA");
  auto query = Procedure<QueryFn>(versionDll, "VerQueryValueA");
  uint32_t packed = 0;
  DWORD ignored = 0, bytes = size && info && query ? size(path, &ignored) : 0;
  if (bytes > 0) {
    packed = Guarded(0u, [&] {
      std::vector<char> block(bytes);
      void *fixed = nullptr;
      UINT fixedBytes = 0;
      if (!info(path, 0, bytes, block.data()) || !query(block.data(), "\\", &fixed, &fixedBytes) || !fixed ||
          fixedBytes < sizeof(VS_FIXEDFILEINFO))
        return 0u;
      const auto *version = static_cast<const VS_FIXEDFILEINFO *>(fixed);
      if (version->dwSignature != 0xFEEF04BD) return 0u;
      return PackProductVersion(version->dwProductVersionMS, version->dwProductVersionLS);
    });
  }
  FreeLibrary(versionDll);
  return packed;
}

intptr_t Call(const MovieModule &module, MovieRoutines set, uint32_t selector) {
  return module.entry(RoutineWord(set, selector), 0, nullptr);
}

void ReleaseMovies() {
  MovieModule &movies = movieBridgeState.movies;
  if (movies.references <= 0 || --movies.references > 0) return;
  if (movieBridgeState.moviesStarted && movies.entry) Call(movies, MovieRoutines::movies, kMoviesStopRoutine);
  movieBridgeState.moviesStarted = false;
  // Windows before NT could not take the module's unloading; it stays until the process ends.
  if (frameState.platform.isNT)
    FreeLibrary(movies.handle);
  else
    OutputDebugStringA("Library not freed ... call microsoft\n");
  Forget(movies);
}

void ReleaseComponents() {
  MovieModule &components = movieBridgeState.components;
  if (components.references <= 0 || --components.references > 0) return;
  if (auto terminate = Procedure<void(WINAPI *)()>(components.handle, "_CMgrTerminate")) terminate();
  FreeLibrary(components.handle);
  Forget(components);
}

short LoadModules() {
  MovieBridgeState &state = movieBridgeState;
  if (!state.movies.handle) {
    HMODULE handle = LoadLibraryA(kMoviesModule);
    if (!handle) return movieLibraryNotFound;
    auto entry = Procedure<MovieEntryPoint>(handle, "_EntryPoint");
    if (!entry) {
      FreeLibrary(handle);  // nothing can use it: do not keep it mapped
      return movieLibraryUnusable;
    }
    state.movies = {handle, entry, 0};
  }
  ++state.movies.references;

  if (!state.components.handle) {
    HMODULE handle = LoadLibraryA(kComponentsModule);
    auto entry = handle ? Procedure<MovieEntryPoint>(handle, "_EntryPoint") : nullptr;
    auto initialize = handle ? Procedure<long(WINAPI *)()>(handle, "_CMgrInitialize") : nullptr;
    if (!entry || !initialize || initialize() != 0) {
      if (handle) FreeLibrary(handle);
      ReleaseMovies();
      return handle ? movieLibraryUnusable : movieLibraryNotFound;
    }
    state.components = {handle, entry, 0};
  }
  ++state.components.references;
  return movieLibraryReady;
}

}  // namespace

void MovieBridgeState::Reset() {
  if (components.handle) FreeLibrary(components.handle);
  if (movies.handle) FreeLibrary(movies.handle);
  *this = MovieBridgeState{};
}

short LoadMovieLibrary(long *version) {
  MovieBridgeState &state = movieBridgeState;
  state.loadAttempted = true;
  // A missing module must not put up the system's "file not found" box in the host.
  UINT previousMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
  short result = LoadModules();
  if (result == movieLibraryReady) {
    uint32_t packed = ReadProductVersion(state.movies.handle);
    if (version) *version = static_cast<long>(packed);
    if (state.movies.references == 1 && !state.moviesStarted) {
      state.moviesStarted = true;
      Call(state.movies, MovieRoutines::movies, kMoviesStartRoutine);
    }
  }
  SetErrorMode(previousMode);
  state.lastResult = result;
  return result;
}

void ReleaseMovieLibrary() {
  ReleaseComponents();
  ReleaseMovies();
}

MovieCallResult CallMovieLibrary(MovieRoutines set, uint32_t selector, unsigned long count, const intptr_t *words) {
  MovieBridgeState &state = movieBridgeState;
  const MovieModule &module = set == MovieRoutines::movies ? state.movies : state.components;
  if (!module.entry && !state.loadAttempted) LoadMovieLibrary(nullptr);
  if (!module.entry) return {static_cast<intptr_t>(kMovieLibraryMissing), false};
  return {module.entry(RoutineWord(set, selector), count, words), true};
}

}  // namespace tstools
