#include "picture/jpeg_export.h"

#include <csetjmp>
#include <cstdlib>
#include <type_traits>

#include "picture/jpeg_error.h"

namespace tstools::pict {
namespace {

// Plain data kept across the setjmp; the output buffer is malloc'd by libjpeg's memory
// destination and ours to free on every path.
struct CompressJob {
  jpeg_compress_struct cinfo;
  JpegErrorManager error;
  const JpegBitmap *bitmap;
  unsigned char *output;
  unsigned long outputSize;
};
static_assert(std::is_trivially_destructible_v<CompressJob>, "a longjmp may leave it");

// Locals throughout: stores through the byte pointers could alias the descriptor's fields.
void ToRgb(const JpegBitmap &b, const uint8_t *__restrict in, JSAMPROW __restrict out) {
  const int width = b.width;
  const uint8_t *colors = b.colors;
  switch (b.bitsPerPixel) {
    case 8:
      for (int x = 0; x < width; ++x, out += 3) {
        const uint8_t *entry = colors + 4 * in[x];
        out[0] = entry[2], out[1] = entry[1], out[2] = entry[0];
      }
      break;
    case 16:
      for (int x = 0; x < width; ++x, out += 3) {
        unsigned p = in[2 * x] | in[2 * x + 1] << 8;
        out[0] = uint8_t((p >> 7) & 0xF8), out[1] = uint8_t((p >> 2) & 0xF8), out[2] = uint8_t(p << 3);
      }
      break;
  }
}

// Drives libjpeg; a fatal error longjmps back here, so no object with a destructor lives in
// this frame.
bool RunCompress(CompressJob *job) {
  j_compress_ptr c = &job->cinfo;
  const JpegBitmap &b = *job->bitmap;
  c->err = InstallJpegErrorManager(&job->error);
  if (setjmp(job->error.jump)) {
    jpeg_destroy_compress(c);
    return false;
  }
  jpeg_create_compress(c);
  jpeg_mem_dest(c, &job->output, &job->outputSize);
  c->image_width = JDIMENSION(b.width);
  c->image_height = JDIMENSION(b.height);
  c->input_components = 3;
  // 24-bit rows go in as they are: libjpeg converts from blue, green, red itself.
  const bool direct = b.bitsPerPixel == 24;
  c->in_color_space = direct ? JCS_EXT_BGR : JCS_RGB;
  jpeg_set_defaults(c);
  c->dct_method = JDCT_FLOAT;
  jpeg_start_compress(c, TRUE);
  JSAMPARRAY row = (*c->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(c), JPOOL_IMAGE,
                                           JDIMENSION(b.width) * 3, 1);
  for (int y = 0; y < b.height; ++y) {
    const uint8_t *pixels = b.pixels + static_cast<std::ptrdiff_t>(y) * b.stride;
    JSAMPROW in = direct ? const_cast<JSAMPROW>(pixels) : row[0];  // libjpeg only reads it
    if (!direct) ToRgb(b, pixels, row[0]);
    jpeg_write_scanlines(c, &in, 1);
  }
  jpeg_finish_compress(c);
  jpeg_destroy_compress(c);
  return true;
}

}  // namespace

std::vector<uint8_t> BitmapToJpeg(const JpegBitmap &bitmap) {
  bool depthOk = bitmap.bitsPerPixel == 16 || bitmap.bitsPerPixel == 24 ||
                 (bitmap.bitsPerPixel == 8 && bitmap.colors);
  if (!depthOk || !bitmap.pixels || bitmap.width <= 0 || bitmap.height <= 0) return {};
  CompressJob job{};
  job.bitmap = &bitmap;
  bool compressed = RunCompress(&job);
  std::vector<uint8_t> result;
  if (compressed) {
    try {
      result.assign(job.output, job.output + job.outputSize);
    } catch (...) {
      std::free(job.output);
      throw;
    }
  }
  std::free(job.output);
  return result;
}

}  // namespace tstools::pict
