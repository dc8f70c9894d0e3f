// Type 1 font outline files on their way to a PostScript printer: the segment chain of a
// Printer Font Binary (or a plain PostScript text file), checked whole, then sent as Str255
// pieces of printable text to the host's output routine.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tstools::services {

// A piece is a length byte and up to kMaxPieceLength characters in a 256-byte buffer the
// sink may scribble on (hosts convert Str255 arguments in place); the next piece is refilled
// from scratch.
constexpr size_t kMaxTextPiece = 249;
constexpr size_t kMaxPieceLength = 250;  // binary segments: 125 bytes as hexadecimal

class PieceSink {
 public:
  virtual ~PieceSink() = default;
  virtual void Piece(unsigned char *piece) = 0;
};

enum class SegmentKind : uint8_t { kText = 1, kBinary = 2 };

struct FontSegment {
  SegmentKind kind;
  const uint8_t *data;
  size_t size;
};

class SegmentVisitor {
 public:
  virtual ~SegmentVisitor() = default;
  virtual void Segment(const FontSegment &segment) = 0;
};

// Walks the file's segments. A file beginning with "%!" is PostScript text: one text
// segment. Otherwise every segment header must carry the 0x80 marker and every text or
// binary segment must lie wholly inside the file; the first type other than text or binary
// ends the chain (the end marker is often written as its first two bytes only). Returns false
// and visits nothing when the file is neither, so a printer never gets half a font.
bool VisitFontSegments(const uint8_t *file, size_t size, SegmentVisitor &visitor);

// One segment as pieces: text without its NUL bytes, at most 249 characters a piece; binary
// as upper-case hexadecimal, high nibble first, at most 250 characters. The remainder goes
// out last, even when empty.
void SendSegment(const FontSegment &segment, PieceSink &sink);

// The whole file as pieces; false, with nothing sent, for a file VisitFontSegments refuses.
bool SendFontFile(const uint8_t *file, size_t size, PieceSink &sink);

}  // namespace tstools::services
