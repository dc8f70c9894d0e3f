// Printer Font Binary layout: segments of a 6-byte header (marker 0x80, type, length as a
// 32-bit little-endian integer) and their data. Type 1 is text, 2 binary, 3 the end.
#include "services/font_file.h"

#include "frame/byte_reader.h"

namespace tstools::services {
namespace {

constexpr uint8_t kMarker = 0x80;
constexpr uint8_t kTextType = 1;
constexpr uint8_t kBinaryType = 2;

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
  static const char kHex[] = "0123456789ABCDEF";
  unsigned char piece[256];
  size_t fill = 1;  // index of the next character; the length byte is at 0
  auto flush = [&] {
    piece[0] = static_cast<unsigned char>(fill - 1);
    sink.Piece(piece);
    fill = 1;
  };
  const uint8_t *p = segment.data, *end = segment.data + segment.size;
  if (segment.kind == SegmentKind::kText) {
    for (; p != end; ++p) {
      if (*p == 0) continue;  // NULs would end the printer's string early
      if (fill > kMaxTextPiece) flush();
      piece[fill++] = *p;
    }
  } else {
    for (; p != end; ++p) {
      // Two digits at a time: the check before 250 keeps whole bytes in 250 characters.
      if (fill > kMaxTextPiece) flush();
      piece[fill++] = static_cast<unsigned char>(kHex[*p >> 4]);
      piece[fill++] = static_cast<unsigned char>(kHex[*p & 15]);
    }
  }
  flush();
}

bool SendFontFile(const uint8_t *file, size_t size, PieceSink &sink) {
  SendingVisitor visitor(sink);
  return VisitFontSegments(file, size, visitor);
}

}  // namespace tstools::services
