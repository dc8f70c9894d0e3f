#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

#include "numerics/decimal_conversion.h"
#include "numerics/sane_math.h"
#include "oracle_file.h"

namespace tstools::numerics {
namespace {

std::string Text(const unsigned char out[256]) { return std::string(reinterpret_cast<const char *>(out + 1), out[0]); }

// Also checks that nothing is written past the Str255.
std::string Format(int style, int digits, double x, int direction = kToNearest) {
  unsigned char out[257];
  std::memset(out, 0xCC, sizeof out);
  FormatNumber(style, &digits, x, direction, out);
  EXPECT_EQ(out[256], 0xCC) << "written past the Str255";
  return Text(out);
}

double FromBits(std::uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

double Parse(const std::string &s) {
  return ParseNumber(reinterpret_cast<const unsigned char *>(s.data()), s.size());
}

// Num2Str and Num2Dec against Python's decimal (ROUND_HALF_UP for directions 0 and 1,
// ROUND_DOWN for 2 and 3, on the exact value) over random doubles, digits and styles: the
// sample includes exact ties, values next to powers of ten, money amounts and signed zeros.
TEST(DecimalConversion, MatchesPythonDecimalOverRandomDoubles) {
  int checked = 0;
  for (const std::string &line : testing::ReadOracleLines("decimal.txt")) {
    std::vector<std::string> f;
    std::stringstream ss(line);
    for (std::string field; std::getline(ss, field, '|');) f.push_back(field);
    ASSERT_EQ(f.size(), 8u) << line;
    double x = FromBits(std::stoull(f[0], nullptr, 16));
    int style = std::stoi(f[1]), digits = std::stoi(f[2]), direction = std::stoi(f[3]);
    SCOPED_TRACE(line);
    unsigned char out[256];
    int asked = digits;
    int result = FormatNumber(style, &asked, x, direction, out);
    ASSERT_EQ(Text(out), f[4]);
    EXPECT_EQ(result, out[0]);
    EXPECT_EQ(asked, style == 0 && digits > 20 ? 20 : digits);
    DecimalParts parts = DecomposeNumber(digits, x, direction);
    EXPECT_EQ(parts.sgn, std::stoi(f[5]));
    EXPECT_EQ(parts.exp, std::stoi(f[6]));
    EXPECT_EQ(std::string(reinterpret_cast<char *>(parts.sig + 1), parts.sig[0]), f[7]);
    ++checked;
  }
  EXPECT_GT(checked, 30000);
}

// What the random doubles of the oracle never reach: negative digit counts, the ends of the
// double range, special values; and text that would pass 255 characters is written in
// floating notation, never past the Str255's 256 bytes.
TEST(DecimalConversion, FormatsOutsideTheOracleSampleWithinTheString) {
  const struct {
    int style, digits;
    double x;
    std::string text;
  } cases[] = {
      {1, -2, 12355.0, "12400"}, {1, 5, 1e-300, "0.00000"},  {0, 3, 5e-324, " 4.94e-324"},
      {0, 5, -HUGE_VAL, "INF"},  {1, 5, -MakeNaN(17), "NAN"},  // no sign; the export returns 1
      {1, 10, 1e300, " 1.0000000000000001e+300"}, {1, 32767, -2.0, "-2.0000000000000000e+0"},
      {1, 253, 0.5, "0.5" + std::string(252, '0')},  // the longest text that fits: 255 characters
      {1, 254, 0.5, " 5.0000000000000000e-1"},
  };
  for (const auto &c : cases) EXPECT_EQ(Format(c.style, c.digits, c.x), c.text) << c.style << " " << c.digits << " " << c.x;
  // A carry into a new decade can push the text over: 9.99...96 to 251 digits needs "10.".
  for (int digits : {252, 253}) Format(1, digits, -9.9999999999);
}

TEST(DecimalConversion, RecordsHoldAtMost255DigitsAndComposeBack) {
  DecimalParts parts = DecomposeNumber(1000, 5e-324, kToNearest);
  EXPECT_EQ(parts.sig[0], 255);
  EXPECT_EQ(parts.exp, -323 - 255);
  EXPECT_EQ(std::string(reinterpret_cast<char *>(parts.sig + 1), 6), "494065");

  const struct {
    unsigned char sgn;
    short exp;
    std::string sig;
    double x;
  } records[] = {
      {3, -2, "125", -1.25} /* odd sgn negates */, {1, 0, "INF", -HUGE_VAL}, {0, 32767, "1", HUGE_VAL},
      {0, 2, "12x9", 12.0} /* reading stops at the first non-digit */, {0, -255, std::string(255, '3'), 1.0 / 3.0},
  };
  for (const auto &r : records) {
    std::string sig = char(r.sig.size()) + r.sig;
    EXPECT_EQ(ComposeNumber(r.sgn, r.exp, reinterpret_cast<const unsigned char *>(sig.data())), r.x) << r.sig;
  }
}

TEST(DecimalConversion, ParsesLikeTheCLibrary) {
  const std::pair<std::string, double> cases[] = {
      {"  -12.5e2xyz", -1250.0}, {"+.5", 0.5}, {"1e", 1.0}, {"--1", 0.0}, {"0x10", 0.0}, {"-1e400", -HUGE_VAL},
      {std::string("12\0" "34", 5), 12.0}, {"INFINITE", HUGE_VAL}, {"4.9406564584124654e-324", 5e-324},
  };
  for (const auto &c : cases) EXPECT_EQ(Parse(c.first), c.second) << c.first;
  EXPECT_TRUE(std::isnan(Parse("Nothing")));
  EXPECT_EQ(NaNCode(Parse("N")), 0);
}

}  // namespace
}  // namespace tstools::numerics
