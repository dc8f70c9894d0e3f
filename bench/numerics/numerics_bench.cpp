// Num2Str (floating, 17 digits) and Str2Num per call next to the C library's
// snprintf("%.17g") and strtod on the same inputs, in one run. Under Windows the exports are
// timed through TSTOOLS.DLL as well.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#ifdef _WIN32
#include <tstools/tstools.h>
#endif

#include "numerics/decimal_conversion.h"
#include "support/bench.h"

using tstools::bench::KeepAlive;
using tstools::bench::Measure;
using namespace tstools::numerics;

namespace {

constexpr int kValues = 4096;

// Everyday magnitudes and arbitrary bit patterns, half and half.
std::vector<double> MakeValues() {
  std::mt19937_64 rng(2024);
  std::uniform_real_distribution<double> exponent(-8, 15);
  std::vector<double> values;
  while (values.size() < kValues) {
    double x;
    if (values.size() % 2) {
      std::uint64_t bits = rng();
      std::memcpy(&x, &bits, sizeof x);
      if (x != x || x - x != 0) continue;
    } else {
      x = std::pow(10.0, exponent(rng));
    }
    values.push_back(x);
  }
  return values;
}

void Ratio(const char *what, double ours, double theirs) {
  std::printf("%-58s %12.2fx\n", what, theirs > 0 ? ours / theirs : 0.0);
}

}  // namespace

int main() {
  std::vector<double> values = MakeValues();
  // The texts both readers parse: our 17-digit floating notation as a Str255 and as C text.
  std::vector<std::string> texts;
  for (double x : values) {
    unsigned char out[256];
    int digits = 17;
    FormatNumber(0, &digits, x, kToNearest, out);
    texts.emplace_back(reinterpret_cast<char *>(out + 1), out[0]);
  }

  size_t i = 0;
  double format = Measure("Num2Str core, floating 17 digits", [&] {
    unsigned char out[256];
    int digits = 17;
    FormatNumber(0, &digits, values[i++ % kValues], kToNearest, out);
    KeepAlive(out[1]);
  });
  double printfNs = Measure("snprintf(\"%.17g\")", [&] {
    char out[64];
    std::snprintf(out, sizeof out, "%.17g", values[i++ % kValues]);
    KeepAlive(out[0]);
  });
  double parse = Measure("ML_Str2Num core", [&] {
    const std::string &t = texts[i++ % kValues];
    KeepAlive(ParseNumber(reinterpret_cast<const unsigned char *>(t.data()), t.size()));
  });
  double strtodNs = Measure("strtod", [&] {
    KeepAlive(std::strtod(texts[i++ % kValues].c_str(), nullptr));
  });
#ifdef _WIN32
  double exportFormat = Measure("Num2Str through TSTOOLS.DLL", [&] {
    Str255 out;
    decform f = {FLOATDECIMAL, 17};
    Num2Str(&f, values[i++ % kValues], out);
    KeepAlive(out[1]);
  });
  std::vector<std::vector<unsigned char>> strings255;
  for (const std::string &t : texts) {
    std::vector<unsigned char> s(t.size() + 1);
    s[0] = static_cast<unsigned char>(t.size());
    std::memcpy(s.data() + 1, t.data(), t.size());
    strings255.push_back(s);
  }
  double exportParse = Measure("ML_Str2Num through TSTOOLS.DLL", [&] {
    double out;
    KeepAlive(*ML_Str2Num(strings255[i++ % kValues].data(), &out));
  });
  Ratio("Num2Str export / snprintf", exportFormat, printfNs);
  Ratio("ML_Str2Num export / strtod", exportParse, strtodNs);
#endif
  Ratio("Num2Str core / snprintf", format, printfNs);
  Ratio("ML_Str2Num core / strtod", parse, strtodNs);
  return 0;
}
