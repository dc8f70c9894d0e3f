// GIF files as PICT pictures: the background painted over the screen, then every image of
// the file as an 8-bit indexed pixel map in its place, each over the ones before. Portable;
// the glue copies the bytes into a handle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "picture/pict_stream.h"  // PictRect

namespace tstools::pict {

// The logical screen as a frame (0, 0, width, height); false when the data does not start
// "GIF" with a screen size, or a side is beyond 32,767.
bool GifFrame(const uint8_t *data, size_t size, PictRect *frame);

struct GifDecodeReport {
  int images = 0;      // images appended
  bool clean = true;   // every image ended on its end code with exactly its pixels
};

// The PICT of a GIF, or false (pict empty) when the data is not a GIF, ends early, holds a
// block of an unknown kind, places an image beyond 32,767, or the picture would pass the size
// limit or the memory at hand. Bad compressed data ends that image only; its pixels not
// decoded are index 0. maxImagePixels bounds one image's buffer (the fuzzer's memory).
bool GifToPict(const uint8_t *data, size_t size, std::vector<uint8_t> *pict,
               GifDecodeReport *report = nullptr, uint64_t maxImagePixels = UINT64_MAX);

}  // namespace tstools::pict
