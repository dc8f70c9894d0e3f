// The opcode loop: reads each opcode, hands it to its family's handler, and skips by the
// opcode table whatever has no handler.
#include "picture/pict_player.h"

#include <algorithm>
#include <cstring>

#include "picture/pict_opcodes.h"
#include "picture/pict_player_internal.h"

namespace tstools::pict {
namespace {

constexpr size_t kHeaderBytes = 10;  // picSize and picFrame

}  // namespace

Player::Player(PictStream &in, PictSink &sink, const PictRect &frame, const PictRect &destination)
    : in_(in), sink_(sink) {
  map_.SetSource(frame);
  map_.SetDestination(destination);
  std::memset(fill_.rows, 0xFF, sizeof fill_.rows);
}

PlayOutcome Player::Run(size_t *opcodes) {
  clipBox_ = sink_.DestinationClipBox();
  LoadFonts();
  PlayOutcome outcome = PlayOutcome::kTruncated;
  while (true) {
    uint16_t op = version2_ ? in_.U16() : in_.U8();
    if (in_.Failed()) break;
    Step step = Opcode(op);
    ++*opcodes;
    if (step == kBad) {
      outcome = PlayOutcome::kMalformed;
      break;
    }
    if (step == kEnd) {
      outcome = in_.Failed() ? PlayOutcome::kTruncated : PlayOutcome::kEnded;
      break;
    }
    if (version2_ && (in_.Consumed() & 1)) in_.U8();
  }
  return outcome;
}

Player::Step Player::Opcode(uint16_t code) {
  switch (code) {
    case op::kEndPic: return kEnd;
    case op::kVersion: return Version();
    case op::kHeader: return Header();
    case op::kClipRgn: return ClipRegion();
    case op::kBkPat: case op::kTxFont: case op::kTxFace: case op::kTxMode: case op::kSpExtra:
    case op::kPnSize: case op::kPnMode: case op::kPnPat: case op::kFillPat: case op::kOvSize:
    case op::kOrigin: case op::kTxSize: case op::kFgColor: case op::kBkColor: case op::kTxRatio:
    case op::kRGBFgCol: case op::kRGBBkCol:
      return StateOp(code);
    case op::kFontName: return FontName();
    case op::kLine: case op::kLineFrom: case op::kShortLine: case op::kShortLineFrom:
      return LineOp(code);
    case op::kLongText: case op::kDHText: case op::kDVText: case op::kDHDVText:
      return TextOp(code);
    case op::kBkPixPat: case op::kPnPixPat: case op::kFillPixPat: return PixelPattern(code);
    case op::kBitsRect: case op::kBitsRgn: case op::kPackBitsRect: case op::kPackBitsRgn:
    case op::kDirectBitsRect: case op::kDirectBitsRgn:
      return BitImage(code);
    case op::kShortComment: {
      int16_t kind = in_.S16();
      if (Check()) return kEnd;
      sink_.ShortComment(kind);
      return kContinue;
    }
    default: break;
  }
  // Shapes with data: the five verbs of each family; reserved slots are skipped.
  if (code >= op::kRectBase && code < op::kPolyBase && (code & 7) <= 4) return RectShape(code);
  if (code >= op::kPolyBase && code <= op::kPolyBase + 4) return PolygonShape(code);
  if (code >= op::kRgnBase && code <= op::kRgnBase + 4) return RegionShape(code);
  return SkipData(code);
}

Player::Step Player::SkipData(uint16_t code) {
  op::DataRule rule = op::DataOf(code);
  switch (rule.kind) {
    case op::Data::kFixed: in_.Skip(rule.bytes); break;
    case op::Data::kWordLength: in_.Skip(rule.bytes); in_.Skip(in_.U16()); break;
    case op::Data::kLongLength: in_.Skip(in_.U32()); break;
    case op::Data::kText: in_.Skip(rule.bytes); in_.Skip(in_.U8()); break;
    case op::Data::kPolygon:
    case op::Data::kRegion: {
      uint16_t size = in_.U16();
      if (Check()) return kEnd;
      if (size < 10) return kBad;  // smaller than its own size word and box
      in_.Skip(size - 2u);
      break;
    }
    default: return kBad;  // data only its handler can measure
  }
  return Check();
}

Player::Step Player::Version() {
  uint8_t version = in_.U8();
  if (Check()) return kEnd;
  if (version > 2) return kBad;  // a format we do not know: nothing after it is read
  version2_ = version == 2;
  if (version2_) in_.U8();  // the 0xFF of 0x02FF
  return Check();
}

Player::Step Player::Header() {
  int16_t version = in_.S16();
  if (version == -2) {  // extended version 2: its source rectangle is the frame from now on
    in_.Skip(10);
    PictRect source = in_.Rect();
    in_.Skip(4);
    if (Check()) return kEnd;
    map_.SetSource(source);
    if (map_.Degenerate()) return kBad;
    return kContinue;
  }
  in_.Skip(22);
  return Check();
}

PlayResult PlayPicture(const uint8_t *picture, size_t size, PictSource *hook, PictSink &sink,
                       const PictRect &destination) {
  PlayResult result;
  if (!picture || size < kHeaderBytes) return result;
  ByteReader header(picture, size);
  // picSize: only the low 16 bits of the picture's size. A hook's picture may live outside
  // the block (which then holds just the header), but it is no longer than the block or
  // its size word: a length claiming more is a lie, and must not cost gigabytes of calls.
  size_t pictureSize = std::max<size_t>(size, header.U16BE());
  PictRect frame;
  frame.top = header.S16BE();
  frame.left = header.S16BE();
  frame.bottom = header.S16BE();
  frame.right = header.S16BE();
  if (frame.Width() == 0 || frame.Height() == 0) {
    result.bytesRead = kHeaderBytes;
    return result;
  }
  PictStream stream = hook ? PictStream(*hook, kHeaderBytes, pictureSize - kHeaderBytes)
                           : PictStream(picture, size, kHeaderBytes);
  Player player(stream, sink, frame, destination);
  sink.BeginPlayback({destination.left, destination.top});
  {
    // The port goes back however playback ends, running out of memory included.
    struct Playback {
      PictSink &sink;
      ~Playback() { sink.EndPlayback(); }
    } playback{sink};
    result.outcome = player.Run(&result.opcodes);
  }
  result.bytesRead = stream.Consumed();
  return result;
}

}  // namespace tstools::pict
