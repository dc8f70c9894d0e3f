// Mac/Windows character mapping and the Toolbox string services built on it. Portable: the
// Windows-only pieces (locale upper-casing, the settings) come in as parameters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "font/charset_tables.h"

namespace tstools {

// The process's character mapping. It owns no system object: Reset returns it to how the
// library loads (mapping 0, nothing chosen yet).
struct CharsetState {
  MappingPair active = BuiltInMapping(0);  // mapping 0 from load time until InitCharset chooses
  unsigned short mappingNumber = 0xFFFF;   // the "Character Mapping" setting, once read
  bool mappingChosen = false;              // InitCharset has run to its end

  void Reset() { *this = CharsetState(); }
};
CharsetState &Charset();

// The process's active mapping pair.
inline MappingPair &ActiveMapping() { return Charset().active; }

enum class MapDirection { kMacToWin = 0, kWinToMac = 1 };

// In-place conversion of `length` bytes through `table`.
void MapBytes(uint8_t *text, size_t length, const ByteTable &table);

// The Toolbox MapText rule: only Roman text (code set 0), a positive length and direction
// 0 or 1 are converted; anything else leaves the text alone.
void MapTextInPlace(uint8_t *text, long length, int direction, int codeSet,
                    const MappingPair &pair = ActiveMapping());

// The C library's atol rule without its overflow hazard: leading white space, an optional
// sign, then digits up to the first non-digit; no digits gives 0. Values beyond 32 bits wrap
// modulo 2^32, as 32-bit arithmetic on the Mac did.
int32_t ParseDecimal(const char *text, size_t length);
inline int32_t ParseDecimal(const std::string &text) { return ParseDecimal(text.data(), text.size()); }

// "%ld" of a 32-bit value: a minus sign for negatives, no padding. At most 11 characters.
std::string FormatDecimal(int32_t value);

// The mapping number stored from the "Character Mapping" setting: empty text and -1 give 0,
// otherwise the decimal value (numbers outside 1-7 later select mapping 0 as well).
int MappingNumberFromSetting(const std::string &text);

// Upper-cases a Str255's characters (length byte kept) through the with- or without-marks
// table.
void UpperStr255(uint8_t *s, bool keepMarks);

// EqualString's rule. Both arguments are Str255.
bool EqualStr255(const uint8_t *a, const uint8_t *b, bool caseSensitive, bool markSensitive);

// RelString's rule: the copies are converted to Windows and, unless case-sensitive,
// upper-cased by `upperWindows` (the locale's ANSI upper-casing); then compared as unsigned
// bytes, the shorter first on a common prefix. Returns -1, 0 or 1.
using UpperInPlace = void (*)(uint8_t *text, size_t length);
int RelStr255(const uint8_t *a, const uint8_t *b, bool caseSensitive, UpperInPlace upperWindows,
              const MappingPair &pair = ActiveMapping());

// An operand of the international comparisons: at most 255 bytes (a negative length counts
// as 0), converted to Windows and NUL-terminated; an embedded NUL ends it.
struct ComparisonOperand {
  char text[256];
};
void PrepareComparisonOperand(const uint8_t *bytes, long length, ComparisonOperand &out,
                              const MappingPair &pair = ActiveMapping());

// A custom mapping table read from outside. The text lists pairs of a Mac byte and the
// Windows byte it becomes, as hexadecimal numbers ("0x8E 0xE9" or "8E E9"), one pair per line;
// '#' starts a comment. Unlisted bytes map to themselves. Refused (false, `out` untouched)
// when a line is malformed, a byte is listed twice, an ASCII byte (0x00-0x7F) would change,
// or the result is not a permutation (text would not survive a round trip).
enum class TableLoadError { kNone, kSyntax, kDuplicate, kAsciiChanged, kNotPermutation };
TableLoadError ParseCustomMapping(const char *text, size_t length, MappingPair &out);

}  // namespace tstools
