// Bit-image opcodes (BitsRect, PackBitsRect, DirectBitsRect and their masked variants) and
// pixel patterns: the bitmap or pixel-map header, its colour table, and the rows, decoded
// into bands of DIB rows for the sink.
#include "picture/packbits.h"
#include "picture/pict_opcodes.h"
#include "picture/pict_player_internal.h"

namespace tstools::pict {
namespace {

constexpr size_t kBandBufferLimit = 65533;  // largest band of DIB rows drawn at once

}  // namespace

bool Player::ReadPixMap(PixMapHeader *h, std::vector<PaletteEntry> *palette) {
  uint16_t rowBytes = in_.U16();
  h->isPixMap = (rowBytes & 0x8000) != 0;
  h->rowBytes = h->isPixMap ? rowBytes & 0x3FFF : rowBytes;
  h->bounds = in_.Rect();
  if (!h->isPixMap) {
    palette->resize(2);
    sink_.PortColours(&(*palette)[0], &(*palette)[1]);
    return !in_.Failed();
  }
  in_.S16();  // pmVersion
  h->packType = in_.S16();
  in_.S32();  // packSize
  h->hRes = in_.S32();
  h->vRes = in_.S32();
  in_.S16();  // pixelType
  h->pixelSize = in_.S16();
  h->cmpCount = in_.S16();
  in_.Skip(2 + 4 + 4 + 4);  // cmpSize, planeBytes, pmTable, pmReserved
  if (in_.Failed()) return false;
  int depth = DibDepthFor(h->pixelSize);
  if (depth == 0) return false;
  // Some writers let rows above 16 KB spill into bit 14. A row shorter than its pixels is
  // impossible, so then the bit belongs to the length.
  size_t needed = (size_t(std::max(h->bounds.Width(), 0)) * size_t(h->pixelSize) + 7) / 8;
  if (h->rowBytes < needed && (rowBytes & 0x7FFF) >= needed) h->rowBytes = rowBytes & 0x7FFF;
  if (h->pixelSize > 8) return true;
  in_.Skip(4 + 2);  // ctSeed, ctFlags
  unsigned entries = in_.U16() + 1u;
  palette->assign(size_t(1) << depth, PaletteEntry{});
  // Entries go to the slot their value names until a value is out of order; from then on
  // by position.
  bool byPosition = false;
  int previous = -1;
  for (unsigned i = 0; i < entries && !in_.Failed(); ++i) {
    int value = in_.S16();
    uint8_t red = in_.U16() >> 8, green = in_.U16() >> 8, blue = in_.U16() >> 8;
    if (!byPosition && (value < 0 || unsigned(value) >= entries || value == previous))
      byPosition = true;
    previous = value;
    size_t slot = byPosition ? i : size_t(value);
    if (slot < palette->size()) (*palette)[slot] = PaletteEntry{blue, green, red, 0};
  }
  return !in_.Failed();
}

// Reads every row of an image and hands the visible bands to the sink. source/destination
// are null for a pixel pattern, whose rows are only consumed.
bool Player::ReadRows(const PixMapHeader &h, bool alwaysUnpacked, int depth, ImageBand *band,
                      const PictRect *source, const PictRect *destination) {
  const int width = h.bounds.Width(), height = h.bounds.Height();
  const bool packed = RowsArePacked(h, alwaysUnpacked);
  const size_t unpacked = UnpackedRowBytes(h, packed);
  const size_t dibRow = DibRowBytes(width, depth);
  const int bandRows =
      dibRow ? int(std::clamp<size_t>(kBandBufferLimit / dibRow, 1, size_t(std::max(height, 1)))) : 1;
  // raw: a row unpacked; scratch: a row as stored, when it must be copied (through a hook,
  // or with the byte-count quirk below). Rows in the block are read where they lie.
  std::vector<uint8_t> raw(packed ? unpacked : 0), scratch(packed ? 0 : unpacked);
  std::vector<uint8_t> bits(dibRow * size_t(bandRows));

  // The part of the source rectangle inside a band of rows [first, first + count), and
  // where it lands: destination edges follow the row edges proportionally, so bands meet
  // without gaps whatever their height. A blank band is one blank row stretched over them.
  auto emit = [&](int first, int count, bool blank) {
    if (!source || !destination || dibRow == 0 || !Drawing()) return;
    int srcTop = source->top - h.bounds.top, srcBottom = source->bottom - h.bounds.top;
    int s0 = std::max(first, srcTop), s1 = std::min(first + count, srcBottom);
    if (s0 >= s1 || source->Width() <= 0 || destination->Width() <= 0 ||
        destination->Height() <= 0)
      return;
    int srcHeight = srcBottom - srcTop;
    auto destY = [&](int row) {
      int64_t offset = MulDiv32(row - srcTop, destination->Height(), srcHeight);
      return Clamp16(destination->top + offset);
    };
    ImageBand &b = *band;
    b.width = width;
    b.rows = blank ? 1 : count;
    b.dibRowBytes = dibRow;
    b.bits = bits.data() + size_t(bandRows - b.rows) * dibRow;
    b.source = {Clamp16(source->left - h.bounds.left), int16_t(blank ? 0 : s0 - first),
                Clamp16(source->right - h.bounds.left), int16_t(blank ? 1 : s1 - first)};
    b.destination = {destination->left, destY(s0), destination->right, destY(s1)};
    if (b.destination.bottom <= clipBox_.top || b.destination.top >= clipBox_.bottom) return;
    sink_.Image(b);
  };

  // Rows stored in no bytes are all blank (the buffer starts zeroed): drawn as one band,
  // not a call per row for nothing read.
  if (!packed && unpacked == 0) {
    emit(0, height, true);
    return true;
  }

  // Rows of more than 250 bytes count their packed length in a word. Some writers count in
  // a byte regardless; their first "word" then exceeds the longest packing of a row (for
  // rows up to about 1 KB), and its high byte is the count.
  bool byteCounts = h.rowBytes < 251;
  // The longest packing is all literal runs of 127 bytes (what packers fall back to).
  const size_t longestPacking = PackBitsBound(unpacked);
  int bandFirst = 0, inBand = 0;
  for (int row = 0; row < height; ++row) {
    const uint8_t *stored;
    size_t storedSize;
    if (packed) {
      size_t length = byteCounts ? in_.U8() : in_.U16();
      if (scratch.size() < length) scratch.resize(length);
      if (row == 0 && !byteCounts && length > longestPacking && (length >> 8) <= longestPacking) {
        byteCounts = true;
        scratch[0] = uint8_t(length);
        length >>= 8;
        if (length > 1) in_.Bytes(scratch.data() + 1, length - 1);
        stored = scratch.data();
      } else {
        stored = in_.Take(length, scratch.data());
      }
      if (in_.Failed()) return false;
      if (h.pixelSize == 16)
        UnpackBits16(stored, length, raw.data(), raw.size());
      else
        UnpackBits(stored, length, raw.data(), raw.size());
      stored = raw.data();
      storedSize = raw.size();
    } else {
      stored = in_.Take(unpacked, scratch.data());
      storedSize = unpacked;
      if (in_.Failed()) return false;
    }
    if (dibRow) {
      // Bands are stored bottom-up: a band of n rows fills its last n buffer rows.
      int bandSize = std::min(bandRows, height - bandFirst);
      uint8_t *dst = bits.data() + size_t(bandRows - bandSize) * dibRow +
                     size_t(bandSize - 1 - inBand) * dibRow;
      ConvertRow(h, packed, stored, storedSize, dst, dibRow, width);
    }
    if (++inBand == bandRows || row == height - 1) {
      emit(bandFirst, inBand, false);
      bandFirst += inBand;
      inBand = 0;
    }
  }
  return true;
}

Player::Step Player::PixelPattern(uint16_t code) {
  uint16_t type = in_.U16();
  Pattern8 pattern = ReadPattern();
  if (Check()) return kEnd;
  if (type == 2) {
    in_.Skip(6);  // an RGB colour we do not use
  } else {
    PixMapHeader h;
    std::vector<PaletteEntry> palette;
    if (!ReadPixMap(&h, &palette)) return in_.Failed() ? kEnd : kBad;
    ImageBand band;
    band.depth = DibDepthFor(h.pixelSize);
    if (!ReadRows(h, false, band.depth, &band, nullptr, nullptr)) return kEnd;
  }
  if (Check()) return kEnd;
  if (code == op::kBkPixPat) sink_.BackPat(pattern);
  else if (code == op::kPnPixPat) sink_.PenPat(pattern);
  else fill_ = pattern;
  return kContinue;
}

Player::Step Player::BitImage(uint16_t code) {
  if (code == op::kDirectBitsRect || code == op::kDirectBitsRgn) in_.U32();  // baseAddr, meaningless here
  PixMapHeader h;
  ImageBand band;
  if (!ReadPixMap(&h, &band.palette)) return in_.Failed() ? kEnd : kBad;
  PictRect source = in_.Rect(), destination = map_.Map(in_.Rect());
  int16_t mode = in_.S16();
  if (Check()) return kEnd;
  Region mask;
  bool masked = code & 1;  // the Rgn variants
  if (masked && !ReadRegion(&mask)) return in_.Failed() ? kEnd : kBad;

  band.depth = DibDepthFor(h.pixelSize);
  band.twoColour = h.pixelSize == 1;
  band.hRes = h.hRes >> 16;
  band.vRes = h.vRes >> 16;
  if (band.twoColour) {
    RgbColor fg, bg;
    auto toRgb = [](const PaletteEntry &e, RgbColor *c) {
      c->red = uint16_t(e.red * 0x101), c->green = uint16_t(e.green * 0x101), c->blue = uint16_t(e.blue * 0x101);
    };
    toRgb(band.palette[1], &fg);
    toRgb(band.palette[0], &bg);
    int16_t hookMode = mode == 36 ? 0 : mode;  // transparent becomes copy for the hook
    if (sink_.ColourHook(&fg, &bg, &hookMode)) {
      band.palette[1] = {uint8_t(fg.blue >> 8), uint8_t(fg.green >> 8), uint8_t(fg.red >> 8), 0};
      band.palette[0] = {uint8_t(bg.blue >> 8), uint8_t(bg.green >> 8), uint8_t(bg.red >> 8), 0};
      mode = hookMode;
    }
  }
  band.mode = mode;

  // The image's own clip goes however the image ends, running out of memory included: a
  // state left pushed would be the one the sink's end of playback restores on a recording.
  struct ImageState {
    Player &player;
    bool wasSuppressed;
    ~ImageState() {
      player.sink_.RestoreImageState();
      player.suppressed_ = wasSuppressed;
    }
  };
  sink_.SaveImageState();
  ImageState state{*this, suppressed_};
  if (masked && !ApplyClipRegion(mask)) return kBad;
  bool neverPacked = code == op::kBitsRect || code == op::kBitsRgn;
  return ReadRows(h, neverPacked, band.depth, &band, &source, &destination) ? kContinue : kEnd;
}


}  // namespace tstools::pict
