#include "font/charset.h"

#include <algorithm>
#include <cstring>

namespace tstools {

CharsetState &Charset() {
  static CharsetState state;  // made on first use: other files' static objects may map text
  return state;
}

void MapBytes(uint8_t *text, size_t length, const ByteTable &table) {
  // Eight bytes per step through locals: stores into the text cannot alias the table, so the
  // lookups are not reloaded after each write.
  const uint8_t *t = table.data();
  size_t i = 0;
  for (; i + 8 <= length; i += 8) {
    uint8_t in[8], out[8];
    std::memcpy(in, text + i, 8);
    for (int k = 0; k < 8; ++k) out[k] = t[in[k]];
    std::memcpy(text + i, out, 8);
  }
  for (; i < length; ++i) text[i] = t[text[i]];
}

void MapTextInPlace(uint8_t *text, long length, int direction, int codeSet, const MappingPair &pair) {
  if (!text || length <= 0 || codeSet != 0) return;
  if (direction == int(MapDirection::kMacToWin)) {
    MapBytes(text, size_t(length), pair.macToWin);
  } else if (direction == int(MapDirection::kWinToMac)) {
    MapBytes(text, size_t(length), pair.winToMac);
  }
}

namespace {

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

int32_t ParseDecimal(const char *text, size_t length) {
  size_t i = 0;
  while (i < length && IsCSpace(text[i])) ++i;
  bool negative = false;
  if (i < length && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  uint32_t value = 0;
  for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10u + uint32_t(text[i] - '0');
  if (negative) value = 0u - value;
  return int32_t(value);
}

std::string FormatDecimal(int32_t value) {
  char digits[12];
  int n = 0;
  // Work on the magnitude as unsigned so the most negative value needs no special case.
  uint32_t magnitude = value < 0 ? 0u - uint32_t(value) : uint32_t(value);
  do {
    digits[n++] = char('0' + magnitude % 10u);
    magnitude /= 10u;
  } while (magnitude);
  std::string out;
  if (value < 0) out.push_back('-');
  while (n) out.push_back(digits[--n]);
  return out;
}

int MappingNumberFromSetting(const std::string &text) {
  if (text.empty()) return 0;
  int32_t n = ParseDecimal(text);
  return n == -1 ? 0 : n;
}

void UpperStr255(uint8_t *s, bool keepMarks) {
  if (!s) return;
  MapBytes(s + 1, s[0], keepMarks ? UpperWithMarks() : UpperWithoutMarks());
}

bool EqualStr255(const uint8_t *a, const uint8_t *b, bool caseSensitive, bool markSensitive) {
  if (a[0] != b[0]) return false;
  if (a[0] == 0) return true;
  if (caseSensitive) return std::memcmp(a + 1, b + 1, a[0]) == 0;
  const ByteTable &upper = markSensitive ? UpperWithMarks() : UpperWithoutMarks();
  for (unsigned i = 1; i <= a[0]; ++i)
    if (upper[a[i]] != upper[b[i]]) return false;
  return true;
}

int RelStr255(const uint8_t *a, const uint8_t *b, bool caseSensitive, UpperInPlace upperWindows,
              const MappingPair &pair) {
  uint8_t ca[256], cb[256];
  std::memcpy(ca, a, size_t(a[0]) + 1);
  std::memcpy(cb, b, size_t(b[0]) + 1);
  MapBytes(ca + 1, ca[0], pair.macToWin);
  MapBytes(cb + 1, cb[0], pair.macToWin);
  if (!caseSensitive && upperWindows) {
    upperWindows(ca + 1, ca[0]);
    upperWindows(cb + 1, cb[0]);
  }
  size_t common = std::min(ca[0], cb[0]);
  for (size_t i = 1; i <= common; ++i)
    if (ca[i] != cb[i]) return ca[i] < cb[i] ? -1 : 1;
  if (ca[0] == cb[0]) return 0;
  return ca[0] < cb[0] ? -1 : 1;
}

void PrepareComparisonOperand(const uint8_t *bytes, long length, ComparisonOperand &out,
                              const MappingPair &pair) {
  size_t n = length <= 0 || !bytes ? 0 : std::min<size_t>(size_t(length), 255);
  if (n) std::memcpy(out.text, bytes, n);
  MapBytes(reinterpret_cast<uint8_t *>(out.text), n, pair.macToWin);
  out.text[n] = '\0';
}

namespace {

// A hexadecimal byte, with or without "0x"; advances pos past it.
bool ReadHexByte(const char *text, size_t end, size_t &pos, uint8_t &value) {
  if (pos + 1 < end && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) pos += 2;
  unsigned v = 0;
  size_t digits = 0;
  for (; pos < end; ++pos, ++digits) {
    char c = text[pos];
    unsigned d;
    if (c >= '0' && c <= '9') d = unsigned(c - '0');
    else if (c >= 'a' && c <= 'f') d = unsigned(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') d = unsigned(c - 'A' + 10);
    else break;
    v = v * 16 + d;
    if (v > 0xFF) return false;
  }
  value = uint8_t(v);
  return digits > 0;
}

void SkipBlanks(const char *text, size_t end, size_t &pos) {
  while (pos < end && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r')) ++pos;
}

}  // namespace

TableLoadError ParseCustomMapping(const char *text, size_t length, MappingPair &out) {
  ByteTable macToWin;
  bool listed[256] = {};
  for (int b = 0; b < 256; ++b) macToWin[b] = uint8_t(b);

  size_t pos = 0;
  while (pos < length) {
    size_t lineEnd = pos;
    while (lineEnd < length && text[lineEnd] != '\n') ++lineEnd;
    size_t end = lineEnd;
    for (size_t i = pos; i < lineEnd; ++i) {
      if (text[i] == '#') {
        end = i;
        break;
      }
    }
    SkipBlanks(text, end, pos);
    if (pos < end) {
      uint8_t mac, win;
      if (!ReadHexByte(text, end, pos, mac)) return TableLoadError::kSyntax;
      size_t before = pos;
      SkipBlanks(text, end, pos);
      if (pos == before || !ReadHexByte(text, end, pos, win)) return TableLoadError::kSyntax;
      SkipBlanks(text, end, pos);
      if (pos != end) return TableLoadError::kSyntax;
      if (listed[mac]) return TableLoadError::kDuplicate;
      listed[mac] = true;
      if (mac < 0x80 && win != mac) return TableLoadError::kAsciiChanged;
      macToWin[mac] = win;
    }
    pos = lineEnd + 1;
  }

  ByteTable winToMac;
  bool hit[256] = {};
  for (int b = 0; b < 256; ++b) {
    if (hit[macToWin[b]]) return TableLoadError::kNotPermutation;
    hit[macToWin[b]] = true;
    winToMac[macToWin[b]] = uint8_t(b);
  }
  out.macToWin = macToWin;
  out.winToMac = winToMac;
  return TableLoadError::kNone;
}

}  // namespace tstools
