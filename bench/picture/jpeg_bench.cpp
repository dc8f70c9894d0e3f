// JPEG import and export of a 1024x768 fixed-seed image: our cores (JpegToPict making the
// whole picture, BitmapToJpeg from a 24-bit bottom-up bitmap) next to bare libjpeg doing the
// same float decode and compression, in the same run. Milliseconds per image.
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "picture/jpeg_error.h"
#include "picture/jpeg_export.h"
#include "picture/jpeg_import.h"
#include "support/bench.h"
#ifdef _WIN32
#include "tstools/tstools.h"
#endif

namespace {

using namespace tstools::pict;
constexpr int kWidth = 1024, kHeight = 768;

std::vector<uint8_t> Photo() {  // RGB: gradients with noise, as a photograph compresses
  std::mt19937 rng(1);
  std::vector<uint8_t> rgb(size_t(kWidth) * kHeight * 3);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      uint8_t *p = &rgb[(size_t(y) * kWidth + x) * 3];
      p[0] = uint8_t(x / 4 + rng() % 16), p[1] = uint8_t(y / 3 + rng() % 16), p[2] = uint8_t((x + y) / 7 + rng() % 16);
    }
  return rgb;
}

std::vector<uint8_t> BareCompress(const std::vector<uint8_t> &rgb) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char *out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = kWidth, c.image_height = kHeight, c.input_components = 3, c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  c.dct_method = JDCT_FLOAT;
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<uint8_t *>(&rgb[size_t(c.next_scanline) * kWidth * 3]);
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::vector<uint8_t> result(out, out + size);
  free(out);
  return result;
}

void BareDecode(const std::vector<uint8_t> &jpeg, std::vector<uint8_t> &rgb) {
  jpeg_decompress_struct c{};
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_decompress(&c);
  jpeg_mem_src(&c, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&c, TRUE);
  c.out_color_space = JCS_RGB;
  c.dct_method = JDCT_FLOAT;
  jpeg_start_decompress(&c);
  while (c.output_scanline < c.output_height) {
    JSAMPROW row = &rgb[size_t(c.output_scanline) * kWidth * 3];
    jpeg_read_scanlines(&c, &row, 1);
  }
  jpeg_finish_decompress(&c);
  jpeg_destroy_decompress(&c);
}

}  // namespace

int main() {
  using tstools::bench::KeepAlive;
  using tstools::bench::TimePerOp;
  std::vector<uint8_t> rgb = Photo(), decoded(rgb.size());
  std::vector<uint8_t> jpeg = BareCompress(rgb);
  // The same pixels as a bottom-up 24-bit DIB: blue, green, red.
  std::vector<uint8_t> dib(rgb.size());
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      for (int i = 0; i < 3; ++i)
        dib[(size_t(kHeight - 1 - y) * kWidth + x) * 3 + i] = rgb[(size_t(y) * kWidth + x) * 3 + 2 - i];
  JpegBitmap bitmap{&dib[size_t(kHeight - 1) * kWidth * 3], nullptr, -kWidth * 3, 24, kWidth, kHeight};

  // Interleaved rounds, the best of each: the machine is shared, and a slow round says more
  // about the neighbours than about the code.
  double bareDecode = 1e30, ours = 1e30, bareCompress = 1e30, export_ = 1e30;
  for (int round = 0; round < 5; ++round) {
    bareDecode = std::min(bareDecode, TimePerOp([&] { BareDecode(jpeg, decoded); }) / 1e6);
    ours = std::min(ours, TimePerOp([&] { KeepAlive(JpegToPict(jpeg.data(), jpeg.size(), {}).size()); }) / 1e6);
    bareCompress = std::min(bareCompress, TimePerOp([&] { KeepAlive(BareCompress(rgb).size()); }) / 1e6);
    export_ = std::min(export_, TimePerOp([&] { KeepAlive(BitmapToJpeg(bitmap).size()); }) / 1e6);
  }
  std::printf("JPEG %dx%d, %zu bytes\n", kWidth, kHeight, jpeg.size());
  std::printf("%-58s %9.2f ms\n", "libjpeg float decode (bare)", bareDecode);
  std::printf("%-58s %9.2f ms  %.2fx bare\n", "JpegToPict (JPEGtoPICT core)", ours, ours / bareDecode);
#ifdef _WIN32
  // The export: the picture written straight into its handle.
  Handle file = nullptr;
  PtrToHand(jpeg.data(), &file, Size(jpeg.size()));
  double exported = 1e30;
  for (int round = 0; round < 5; ++round)
    exported = std::min(exported, TimePerOp([&] { MemDisposeHandle(JPEGtoPICT(file, nullptr, nullptr)); }) / 1e6);
  MemDisposeHandle(file);
  std::printf("%-58s %9.2f ms  %.2fx bare\n", "JPEGtoPICT export", exported, exported / bareDecode);
#endif
  std::printf("%-58s %9.2f ms\n", "libjpeg float compress (bare)", bareCompress);
  std::printf("%-58s %9.2f ms  %.2fx bare\n", "BitmapToJpeg (BitmapToJPEG core)", export_, export_ / bareCompress);
  return 0;
}
