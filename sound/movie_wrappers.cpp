// XQTInitialize, XQTTerminate and the X wrappers, each generated from its row of
// movie_calls.h: the arguments become pointer-sized words for the module's entry.
#include <windows.h>

#include <type_traits>

#include "sound/movie_bridge.h"
#include "tstools/movies.h"

namespace tstools {
namespace {

template <typename T>
intptr_t Word(T value) {
  if constexpr (std::is_pointer_v<T>)
    return reinterpret_cast<intptr_t>(value);
  else
    return static_cast<intptr_t>(value);  // signed values sign-extended, unsigned ones not
}

struct Routine {
  MovieRoutines set;
  uint32_t selector;
  template <typename... Arguments>
  MovieCallResult operator()(Arguments... arguments) const {
    const intptr_t words[] = {Word(arguments)..., 0};
    return CallMovieLibrary(set, selector, sizeof...(Arguments), words);
  }
};

// A handle result is NULL when nothing answered: a made-up handle would be used by the host.
template <typename R>
R Same(MovieCallResult result) {
  if constexpr (std::is_void_v<R>)
    return;
  else if constexpr (std::is_pointer_v<R>)
    return result.reached ? reinterpret_cast<R>(result.value) : nullptr;
  else
    return static_cast<R>(result.value);
}

template <typename R>
R Short16(MovieCallResult result) {
  return result.reached ? static_cast<int16_t>(result.value) : static_cast<R>(result.value);
}

// The host's Rect widened for the duration of one call; a null Rect stays null.
class RectIn {
 public:
  explicit RectIn(const Rect *rect) : given_(rect) {
    if (rect) wide_ = WidenRect({rect->left, rect->top, rect->right, rect->bottom});
  }
  LongRect *get() { return given_ ? &wide_ : nullptr; }

 protected:
  const Rect *given_;
  LongRect wide_{};
};

// ... and narrowed back into the host's record once the call is over.
class RectInOut : public RectIn {
 public:
  explicit RectInOut(Rect *rect) : RectIn(rect), host_(rect) {}
  ~RectInOut() {
    if (!host_) return;
    ShortRect narrow = NarrowRect(wide_);
    *host_ = {narrow.left, narrow.top, narrow.right, narrow.bottom};
  }

 private:
  Rect *host_;
};

// A local copy of an optional in-out value, written back when the host gave one.
template <typename T>
class InOut {
 public:
  explicit InOut(T *host) : host_(host), local_(host ? *host : T{}) {}
  ~InOut() {
    if (host_) *host_ = local_;
  }
  T *get() { return &local_; }

 private:
  T *host_;
  T local_;
};

}  // namespace
}  // namespace tstools

using namespace tstools;

short WINAPI XQTInitialize(long *version) { return LoadMovieLibrary(version); }

void WINAPI XQTTerminate() {
  // Forgotten first: a second call must not release what the first already did.
  short result = movieBridgeState.lastResult;
  movieBridgeState.lastResult = movieLibraryNotFound;
  if (result == movieLibraryReady) ReleaseMovieLibrary();
}

#define MOVIE_CALL(result, conversion, name, set, selector, parameters, words) \
  result WINAPI name parameters { return conversion<result>(Routine{set, selector} words); }
#include "sound/movie_calls.h"
#undef MOVIE_CALL
