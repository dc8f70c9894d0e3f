// A small timing harness for the benchmarks: runs a body until it has taken long enough to
// time reliably and prints nanoseconds per operation. Benchmarks print figures; they never
// assert on them.
#pragma once

#include <chrono>
#include <cstdio>
#include <functional>

namespace tstools::bench {

// Keeps the optimiser from discarding a computed value.
template <typename T>
inline void KeepAlive(T const &value) {
  asm volatile("" : : "r,m"(value) : "memory");
}

// Times body(), which performs opsPerCall operations, repeating it for at least 0.2 s, and
// returns the nanoseconds per operation.
inline double TimePerOp(const std::function<void()> &body, long opsPerCall = 1) {
  using Clock = std::chrono::steady_clock;
  long calls = 0;
  auto start = Clock::now();
  double elapsed = 0;
  long batch = 1;
  while (elapsed < 0.2) {
    for (long i = 0; i < batch; ++i) body();
    calls += batch;
    elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    if (batch < (1L << 20)) batch *= 2;
  }
  return elapsed * 1e9 / (static_cast<double>(calls) * opsPerCall);
}

// TimePerOp, printed as "<name>  <ns>/op".
inline double Measure(const char *name, const std::function<void()> &body, long opsPerCall = 1) {
  double ns = TimePerOp(body, opsPerCall);
  std::printf("%-58s %12.2f ns/op\n", name, ns);
  return ns;
}

// For figures disturbed by other work on a shared machine: the fastest of several TimePerOp
// runs, printed as Measure prints.
inline double MeasureBest(const char *name, const std::function<void()> &body, long opsPerCall = 1,
                          int runs = 5) {
  double best = TimePerOp(body, opsPerCall);
  for (int i = 1; i < runs; ++i) {
    double ns = TimePerOp(body, opsPerCall);
    if (ns < best) best = ns;
  }
  std::printf("%-58s %12.2f ns/op\n", name, best);
  return best;
}

// For an operation that changes what it works on: body() timed once after each untimed
// reset(), runs times; the fastest in nanoseconds.
inline double BestRun(int runs, const std::function<void()> &reset, const std::function<void()> &body) {
  using Clock = std::chrono::steady_clock;
  double best = 0;
  for (int i = 0; i < runs; ++i) {
    reset();
    auto start = Clock::now();
    body();
    double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    if (i == 0 || ns < best) best = ns;
  }
  return best;
}

}  // namespace tstools::bench
