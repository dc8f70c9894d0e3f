// Printer Font Binary layout: segments of a 6-byte header (marker 0x80, type, length as a
// 32-bit little-endian integer) and their data. Type 1 is text, 2 binary, 3 the end.
#include "services/font_file.h"

#include <algorithm>
#include <cstring>

#include "frame/byte_reader.h"

namespace tstools::services {
namespace {

constexpr uint8_t kMarker = 0x80;
constexpr uint8_t kTextType = 1;
constexpr uint8_t kBinaryType = 2;

// Each byte's two upper-case hexadecimal digits, high nibble first, as they lie in memory.
struct HexTable {
  uint16_t pairs[256];
  constexpr HexTable() : pairs() {
    const char digits[] = "0123456789ABCDEF";
    for (int b = 0; b < 256; ++b) {
      const unsigned char text[2] = {static_cast<unsigned char>(digits[b >> 4]), static_cast<unsigned char>(digits[b & 15])};
      // Little- or big-endian, the first byte in memory is the high nibble's digit.
      pairs[b] = IsLittleEndian() ? uint16_t(text[0] | text[1] << 8) : uint16_t(text[0] << 8 | text[1]);
    }
  }
  static constexpr bool IsLittleEndian() {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return false;
#else
    return true;
#endif
  }
  uint16_t operator[](uint8_t b) const { return pairs[b]; }
};
constexpr HexTable kHexDigits;

class NoVisits : public SegmentVisitor {
 public:
  void Segment(const FontSegment &) override {}
};

// One pass over the chain; the lengths are checked against what the file holds before any
// segment is visited, so a length near 4 GB costs nothing and cannot wrap a 32-bit size.
bool WalkChain(const uint8_t *file, size_t size, SegmentVisitor &visitor) {
  ByteReader reader(file, size);
  bool any = false;
  while (!reader.AtEnd()) {
    // Only the end marker may stop short of a full header.
    const size_t headerBytes = reader.Remaining() < 6 ? reader.Remaining() : 6;
    ByteReader header = reader.Sub(headerBytes);
    const uint8_t marker = header.U8(), type = header.U8();
    if (header.Failed() || marker != kMarker) return false;
    if (type != kTextType && type != kBinaryType) return any;
    const uint32_t length = header.U32LE();
    if (header.Failed()) return false;
    const uint8_t *data = reader.Span(length);
    if (!data) return false;
    visitor.Segment({type == kTextType ? SegmentKind::kText : SegmentKind::kBinary, data, length});
    any = true;
  }
  // A chain may also end with the file, after its last segment.
  return any;
}

bool IsPostScriptText(const uint8_t *file, size_t size) {
  return file && size >= 2 && file[0] == '%' && file[1] == '!';
}

class SendingVisitor : public SegmentVisitor {
 public:
  explicit SendingVisitor(PieceSink &sink) : sink_(sink) {}
  void Segment(const FontSegment &segment) override { SendSegment(segment, sink_); }

 private:
  PieceSink &sink_;
};

}  // namespace

bool VisitFontSegments(const uint8_t *file, size_t size, SegmentVisitor &visitor) {
  if (IsPostScriptText(file, size)) {
    visitor.Segment({SegmentKind::kText, file, size});
    return true;
  }
  NoVisits check;
  return WalkChain(file, size, check) && WalkChain(file, size, visitor);
}

void SendSegment(const FontSegment &segment, PieceSink &sink) {
  unsigned char piece[256];
  const uint8_t *p = segment.data, *end = segment.data + segment.size;
  if (segment.kind == SegmentKind::kBinary) {
    // Whole pieces of 125 bytes, the last one shorter (an empty segment sends an empty one).
    do {
      const size_t bytes = std::min<size_t>(size_t(end - p), kMaxPieceLength / 2);
      // Built in a buffer of its own: stores into piece could alias the input for the optimiser.
      uint16_t digits[kMaxPieceLength / 2];
      for (size_t i = 0; i < bytes; ++i) digits[i] = kHexDigits[p[i]];
      std::memcpy(piece + 1, digits, 2 * bytes);
      piece[0] = static_cast<unsigned char>(2 * bytes);
      sink.Piece(piece);
      p += bytes;
    } while (p != end);
    return;
  }
  // Text: runs between NULs (which would end the printer's string early) are copied whole. A
  // full piece goes out only when another character follows it, so the last piece is never
  // an empty one after a full one.
  size_t fill = 0;
  for (;;) {
    while (p != end && *p == 0) ++p;
    if (p == end) break;
    if (fill == kMaxTextPiece) {
      piece[0] = static_cast<unsigned char>(fill);
      sink.Piece(piece);
      fill = 0;
    }
    const size_t room = std::min<size_t>(kMaxTextPiece - fill, size_t(end - p));
    const void *nul = std::memchr(p, 0, room);
    const size_t run = nul ? size_t(static_cast<const uint8_t *>(nul) - p) : room;
    std::memcpy(piece + 1 + fill, p, run);
    fill += run;
    p += run;
  }
  piece[0] = static_cast<unsigned char>(fill);
  sink.Piece(piece);
}

bool SendFontFile(const uint8_t *file, size_t size, PieceSink &sink) {
  SendingVisitor visitor(sink);
  return VisitFontSegments(file, size, visitor);
}

}  // namespace tstools::services
