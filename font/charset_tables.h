// The built-in Mac/Windows mapping pairs and the Toolbox upper-case tables.
#pragma once

#include <array>
#include <cstdint>

namespace tstools {

using ByteTable = std::array<uint8_t, 256>;

// A Mac-to-Windows table and its exact inverse: text converted one way and back is unchanged.
struct MappingPair {
  ByteTable macToWin;
  ByteTable winToMac;
};

constexpr int kBuiltInMappingCount = 8;

// Mapping 0 Mac Roman/1252, 1 Central European/1250, 2 Cyrillic/1251, 3 Greek/1253,
// 4 Turkish/1254, 5 and 6 two further tables for 1250, 7 Icelandic/1252. Any other number
// gives mapping 0.
const MappingPair &BuiltInMapping(int number);

// Mac Roman upper-casing keeping diacritical marks (a-z and the accented lower-case letters
// to their accented capitals) and dropping them (accented letters to the plain capital).
const ByteTable &UpperWithMarks();
const ByteTable &UpperWithoutMarks();

}  // namespace tstools
