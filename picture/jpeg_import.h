// JPEG import: decodes JPEG data with libjpeg into a PICT holding one bit image, and reads a
// JPEG's frame. Portable; the exports lock the handle and copy the result into a new one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "picture/pict_stream.h"
#include "picture/pict_writer.h"

namespace tstools::pict {

// Memory for the picture, asked for once its worst-case size is known and before any decoding
// work: the caller's own (a locked handle), so a large picture is neither allocated nor
// copied twice. Null refuses (the decode then ends with code 53).
class PictOutput {
 public:
  virtual ~PictOutput() = default;
  virtual uint8_t *Provide(size_t bytes) noexcept = 0;
};

struct JpegImportOptions {
  // With limitSize, the decode is reduced (1/2, 1/4, 1/8) while the image is more than twice
  // maxRect's size in both directions.
  bool limitSize = false;
  PictRect maxRect;
  // Below 16: an indexed picture. Grey: 2 levels below 4, 4 below 8, else 16. Colour: white
  // and black below 4, 16 colours chosen by libjpeg below 8, else fixedMap.
  int depth = 32;
  // The 256-entry map for colour at depths 8 to 15 (the library's "CLUT256"); without it
  // libjpeg chooses 256 colours.
  const PictRgb *fixedMap = nullptr;
  // Where the picture is written; null: a vector of the importer's own.
  PictOutput *output = nullptr;
};

// Fatal libjpeg errors past this many scans, like djpeg's -maxscans: a few kilobytes of
// progressive data could otherwise make libjpeg pass over the whole image millions of times.
constexpr int kJpegMaxScans = 500;
// What libjpeg may hold in whole-image buffers (progressive coefficients, two-pass quantising).
constexpr long kJpegMaxMemory = 128L * 1024 * 1024;

// The PICT of the image, or on any decoding error (or a picture too large for a handle, code
// 53) the error picture: frame 0, 0, 16, 200 with the text "JPEG error #<code>". Throws only
// std::bad_alloc, and only while making the error picture.
std::vector<uint8_t> JpegToPict(const uint8_t *data, size_t size, const JpegImportOptions &options);
// With options.output: on success the picture lies in the memory it provided, *written is its
// size and the result is empty; on a decoding error the error picture is returned as above
// and *written is 0 (what was provided is the caller's to free).
std::vector<uint8_t> JpegToPict(const uint8_t *data, size_t size, const JpegImportOptions &options,
                                size_t *written);

// The frame in 72-per-inch points: 0, 0, width·72/xDensity, height·72/yDensity. False (and
// an all-zero frame) when the header cannot be read or the frame does not fit in 16 bits.
bool JpegFrame(const uint8_t *data, size_t size, PictRect *frame);

}  // namespace tstools::pict
