// The failure boundary between the library's C++ and its callers. An exception that leaves a
// stdcall export ends the host's process, and one that unwinds through a Windows callback
// frame (an enumeration procedure, a window procedure) cannot be caught at all in the 32-bit
// build, whose unwinder knows only our own frames. So every export that may allocate, and
// every callback we hand to Windows, runs its body through Guarded. The body does its
// allocating work before it changes any state, so the failure result is all a caller sees.
// Portable: the native tests drive the cores through the same guard.
#pragma once

#include <type_traits>
#include <utility>

namespace tstools {

// Runs body() and returns its result. If anything escapes the body, returns `failure`
// instead: a value, or a callable (invoked only then, e.g. to record the failure in a
// last-error register as well).
template <typename Failure, typename Body>
auto Guarded(Failure &&failure, Body &&body) noexcept -> decltype(body()) {
  try {
    return body();
  } catch (...) {
    if constexpr (std::is_invocable_v<Failure>)
      return std::forward<Failure>(failure)();
    else
      return std::forward<Failure>(failure);
  }
}

// The failure of an export that returns nothing.
inline void Nothing() noexcept {}

}  // namespace tstools
