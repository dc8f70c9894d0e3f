// ML_Str2Num and ML_Dec2Num read host text; Num2Str and Num2Dec write into fixed records.
// The first bytes choose the decform and the record fields, the rest is text and a double.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "numerics/decimal_conversion.h"

using namespace tstools::numerics;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  // Text of any length, as a Str255 body would be read.
  double parsed = ParseNumber(data, size > 255 ? 255 : size);

  // The same bytes as a decimal record's significand, with an exponent from the front.
  unsigned char sig[256] = {};
  std::size_t n = size > 255 ? 255 : size;
  sig[0] = static_cast<unsigned char>(n);
  if (n) std::memcpy(sig + 1, data, n);
  short exp = size >= 2 ? static_cast<short>(data[0] | data[1] << 8) : 0;
  ComposeNumber(size ? data[0] : 0, exp, sig);

  // Format the parsed value, and one built from raw bits, in every style and a range of
  // digit counts; the text must fit its Str255.
  double raw = 0;
  if (size >= 8) std::memcpy(&raw, data + size - 8, 8);
  int digits = size >= 3 ? static_cast<short>(data[1] | data[2] << 8) : 5;
  for (double x : {parsed, raw}) {
    for (int style : {0, 1}) {
      unsigned char out[257];
      out[256] = 0xA5;
      int d = digits;
      int result = FormatNumber(style, &d, x, size ? data[0] & 3 : 0, out);
      if (out[256] != 0xA5 || (result != out[0] && result != 1)) std::abort();
      if (style == 0 && d > 20) std::abort();
    }
    DecimalParts parts = DecomposeNumber(digits, x, 0);
    if (parts.sig[0] > 255 || parts.sig[0] == 0) std::abort();
  }
  return 0;
}
