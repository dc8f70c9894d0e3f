// The case calls of the international utilities over the engine's case tables. Values above
// 255 have no case; with no tables loaded every byte is its own form. Portable.
#pragma once

#include <cstdint>

#include "textedit/case_tables.h"

namespace tstools::text {

// mode 0 upper case, 1 lower case, anything else title case after previous.
uint16_t ToCase(const CaseTables &cases, uint16_t ch, uint16_t previous, int mode);
// In place over length bytes (none for a length below 1): mode 0 upper, 2 title (each byte
// after the converted byte before it, the first after previous), anything else lower.
void ChangeCase(const CaseTables &cases, uint8_t *text, int32_t length, uint8_t previous, int mode);
// ch is its own form in the mode's table (1 lower, anything else upper).
bool IsCase(const CaseTables &cases, uint16_t ch, int mode);

}  // namespace tstools::text
