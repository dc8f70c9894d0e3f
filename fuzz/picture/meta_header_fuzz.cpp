// Header maths over any mapping mode and extents: no overflow (UBSan), frames that fit.
#include <cstdint>
#include <cstdlib>

#include "frame/byte_reader.h"
#include "picture/meta_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  tstools::ByteReader in(data, size);
  int32_t mm = in.S32LE() % 12, x = in.S32LE(), y = in.S32LE();
  tstools::pict::MetaHeader h;
  if (tstools::pict::HeaderFromMetaFilePict(mm, x, y, &h)) {
    if (h.Width() > 32767 || h.Width() < -32767 || h.Height() > 32767 || h.Height() < -32767) abort();
    if (tstools::pict::BitmapBytes(h.Width(), h.Height(), 32) < 0) abort();
  }
  int64_t r;
  if (tstools::pict::MulDiv64(x, y, mm, &r) && (r > INT32_MAX || r < -INT32_MAX)) abort();
  return 0;
}
