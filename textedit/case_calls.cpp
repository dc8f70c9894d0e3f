// Case conversion and tests over "CONV" 1 and 2.
#include "textedit/case_calls.h"

namespace tstools::text {

uint16_t ToCase(const CaseTables &cases, uint16_t ch, uint16_t previous, int mode) {
  if (ch > 0xFF) return ch;
  auto c = static_cast<uint8_t>(ch);
  if (mode == 0) return cases.ToUpper(c);
  if (mode == 1) return cases.ToLower(c);
  return previous >= 0x21 && previous != 0xCA ? cases.ToLower(c) : cases.ToUpper(c);
}

void ChangeCase(const CaseTables &cases, uint8_t *text, int32_t length, uint8_t previous, int mode) {
  if (!text) return;
  for (int32_t i = 0; i < length; ++i) {
    uint8_t c = text[i];
    if (mode == 0) c = cases.ToUpper(c);
    else if (mode == 2) c = cases.ToTitle(c, previous);
    else c = cases.ToLower(c);
    text[i] = previous = c;
  }
}

bool IsCase(const CaseTables &cases, uint16_t ch, int mode) {
  if (ch > 0xFF) return false;
  uint8_t form = (mode == 1 ? cases.lower : cases.upper)[ch];
  return form != 0 && form == ch;
}

}  // namespace tstools::text
