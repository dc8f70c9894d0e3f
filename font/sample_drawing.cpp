// A face's sample: its name drawn in the face at 12 pixels into a monochrome bitmap exactly
// as large as the text, kept as CreateBitmap reads it (rows from the top, padded to 16 bits).
#include <windows.h>

#include <cstring>

#include "font/font_samples.h"

namespace tstools {
namespace {

constexpr int kSampleCharacterHeight = 12;

// A monochrome DIB section whose palette makes bit 0 black and bit 1 white, as in a
// monochrome device bitmap, so its rows can be kept as they are.
struct MonoBitmapInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colors[2];
};

}  // namespace

uint8_t SampleKindOf(BYTE pitchAndFamily) {
  if (pitchAndFamily & TMPF_TRUETYPE) return fontcache::kKindTrueType;
  if (pitchAndFamily & TMPF_DEVICE) return fontcache::kKindDevice;
  return fontcache::kKindOther;
}

bool DrawSample(const char *face, BYTE charSet, DrawnSample &out) {
  size_t length = face ? strnlen(face, LF_FACESIZE) : 0;
  if (length == 0 || length >= LF_FACESIZE) return false;
  LOGFONTA font = {};
  font.lfHeight = -kSampleCharacterHeight;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = charSet;
  std::memcpy(font.lfFaceName, face, length);
  HFONT handle = CreateFontIndirectA(&font);
  HDC dc = CreateCompatibleDC(nullptr);
  bool drawn = false;
  if (handle && dc) {
    HGDIOBJ oldFont = SelectObject(dc, handle);
    SIZE extent = {};
    TEXTMETRICA metrics = {};
    if (GetTextExtentPoint32A(dc, face, int(length), &extent) && GetTextMetricsA(dc, &metrics) && extent.cx > 0 &&
        metrics.tmHeight > 0) {
      fontcache::SampleHeader header;
      header.width = uint32_t(extent.cx);
      header.height = uint32_t(metrics.tmHeight);
      header.rowBytes = uint32_t(fontcache::WordAlignedRowBytes(header.width));
      if (fontcache::IsUsableHeader(header)) {
        MonoBitmapInfo info = {};
        info.header.biSize = sizeof info.header;
        info.header.biWidth = LONG(header.width);
        info.header.biHeight = -LONG(header.height);  // rows from the top
        info.header.biPlanes = 1;
        info.header.biBitCount = 1;
        info.colors[1] = RGBQUAD{255, 255, 255, 0};
        void *pixels = nullptr;
        HBITMAP bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO *>(&info), DIB_RGB_COLORS, &pixels, nullptr, 0);
        if (bitmap && pixels) {
          HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
          PatBlt(dc, 0, 0, extent.cx, metrics.tmHeight, WHITENESS);
          SetTextColor(dc, RGB(0, 0, 0));
          SetBkColor(dc, RGB(255, 255, 255));
          SetBkMode(dc, TRANSPARENT);
          if (TextOutA(dc, 0, 0, face, int(length))) {
            GdiFlush();
            size_t stride = (header.width + 31) / 32 * 4;  // DIB rows are padded to 32 bits
            out.header = header;
            out.bits.resize(header.BitsBytes());
            for (uint32_t row = 0; row < header.height; ++row)
              std::memcpy(&out.bits[row * header.rowBytes], static_cast<uint8_t *>(pixels) + row * stride,
                          header.rowBytes);
            drawn = true;
          }
          SelectObject(dc, oldBitmap);
        }
        if (bitmap) DeleteObject(bitmap);
      }
    }
    SelectObject(dc, oldFont);
  }
  if (dc) DeleteDC(dc);
  if (handle) DeleteObject(handle);
  return drawn;
}

HLOCAL NewSampleBlock(const fontcache::SampleHeader &header, const uint8_t *bits) {
  size_t bytes = fontcache::kBitmapHeaderBytes + header.BitsBytes();
  HLOCAL block = LocalAlloc(LMEM_MOVEABLE | LMEM_DISCARDABLE, bytes);
  auto *p = block ? static_cast<uint8_t *>(LocalLock(block)) : nullptr;
  if (!p) {
    if (block) LocalFree(block);
    return nullptr;
  }
  fontcache::EncodeHeader(header, p);
  std::memcpy(p + fontcache::kBitmapHeaderBytes, bits, header.BitsBytes());
  LocalUnlock(block);
  return block;
}

bool SampleInMemory(HLOCAL block) {
  if (!block) return false;
  UINT flags = LocalFlags(block);
  return flags != LMEM_INVALID_HANDLE && !(flags & LMEM_DISCARDED);
}

}  // namespace tstools
