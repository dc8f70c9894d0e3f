// Rules of typing that need no screen: smart quotes, which queued keys a typing batch takes,
// URLs around the selection, and where a drop lands. Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tstools::text {

// The record's smart-quote table: straight single, left single, right single, straight
// double, left double, right double.
struct QuoteTable {
  uint8_t straightSingle = '\'', leftSingle = 0xD4, rightSingle = 0xD5;
  uint8_t straightDouble = '"', leftDouble = 0xD2, rightDouble = 0xD3;
};

// The curly form of a typed straight quote after `previous` (-1 at the text start); any
// other character comes back unchanged. The caller decides whether the font can show it.
uint8_t SmartQuote(uint8_t typed, int previous, const QuoteTable &quotes);

// What a typing batch does with a key-down of a virtual key still in the queue: navigation
// and function keys end it; others are translated to characters and collected.
bool EndsTypingBatch(uint32_t virtualKey);
// A queued character joins the batch when it is printable (32 or more, not 127).
inline bool JoinsTypingBatch(uint32_t code) { return code >= 32 && code != 127; }
constexpr int kTypingBatch = 15;

// URL schemes.
enum UrlScheme : int { kUrlFtp = 1, kUrlHttp = 3, kUrlFile = 0x1001, kUrlMailto = 0x1002, kUrlNews = 0x1005 };

struct UrlSpan {
  int32_t start = 0, end = 0;
  int scheme = 0;
  std::string host, path;
  int port = 0;  // 0 when none was given
};
// The URL the selection [selStart, selEnd) lies in or is: an empty selection grows to the
// surrounding run of characters that are not blanks or angle brackets, then blanks are
// trimmed. Nothing when the text there does not begin with a known scheme (any case).
std::optional<UrlSpan> FindUrl(const uint8_t *text, int32_t length, int32_t selStart, int32_t selEnd);
// The scheme a URL text begins with, 0 for none.
int UrlSchemeOf(const uint8_t *text, int32_t length);

// Where a drop at `drop` inserts: the offset after a move has removed the selection first.
// Nothing when a move drops onto (or inside) its own selection, which would change nothing.
std::optional<int32_t> DropOffset(int32_t drop, int32_t selStart, int32_t selEnd, bool move, int32_t length);

}  // namespace tstools::text
