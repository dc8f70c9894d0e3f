// What the movie bridge computes without Windows: the packed product version, the routine
// word of a call, and the rectangle and point forms the movie library takes.
#pragma once

#include <cstdint>

namespace tstools {

// The host's rectangle (left, top, right, bottom shorts) and the movie library's (longs).
struct ShortRect {
  int16_t left, top, right, bottom;
};
struct LongRect {
  int32_t left, top, right, bottom;
};

LongRect WidenRect(const ShortRect &rect);
// Coordinates past the 16-bit range saturate rather than wrap to the other side.
ShortRect NarrowRect(const LongRect &rect);

// The version words a.b.c.d of a version resource's product version (a, b from the high
// double word) packed the way hosts compare them: ((a * 16 + b * 10 + c) * 256) + d.
uint32_t PackProductVersion(uint32_t versionHigh, uint32_t versionLow);

// The routine set of a call: which module's entry takes it.
enum class MovieRoutines : uint32_t { movies = 0, controllers = 1 };
constexpr uint32_t RoutineWord(MovieRoutines set, uint32_t selector) {
  return (selector & 0xFFFFu) | static_cast<uint32_t>(set) << 16;
}

// Routines QTIM32.DLL gets after its first load and before its release.
constexpr uint32_t kMoviesStartRoutine = 57, kMoviesStopRoutine = 58;

}  // namespace tstools
