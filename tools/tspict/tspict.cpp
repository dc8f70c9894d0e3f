// tspict IN [OUT] [--max WxH] [--depth N]
//
// Converts pictures through TSTOOLS.DLL's exports alone, as a host would. IN may be a PICT
// file (512-byte file header), a BMP, a placeable WMF, an EMF, a JPEG or a GIF; the kind is
// told by the content. It prints the picture's frame, and with OUT writes it as a PICT file
// (.pct, .pict), a BMP (.bmp), a placeable WMF (.wmf) or a JPEG (.jpg, .jpeg). --max and
// --depth ask JPEG import for a reduced or indexed decode.
// Exit status: 0 done, 1 usage, 2 unreadable input, 3 conversion failed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tstools/tstools.h"

namespace {

using Bytes = std::vector<uint8_t>;

bool ReadFile(const char *path, Bytes *out) {
  FILE *f = std::fopen(path, "rb");
  if (!f) return false;
  uint8_t chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out->insert(out->end(), chunk, chunk + n);
  std::fclose(f);
  return true;
}

bool WriteFile(const char *path, const Bytes &bytes) {
  FILE *f = std::fopen(path, "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

uint32_t Le32(const Bytes &b, size_t at) {
  return at + 4 <= b.size() ? uint32_t(b[at]) | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24 : 0;
}
int16_t Le16(const Bytes &b, size_t at) { return at + 2 <= b.size() ? int16_t(b[at] | b[at + 1] << 8) : 0; }
void PutLe16(Bytes &b, int v) { b.push_back(uint8_t(v)), b.push_back(uint8_t(v >> 8)); }
void PutLe32(Bytes &b, uint32_t v) { PutLe16(b, int(v & 0xFFFF)), PutLe16(b, int(v >> 16)); }

Handle ToHandle(const uint8_t *data, size_t size) {
  Handle h = nullptr;
  if (PtrToHand(data, &h, Size(size)) != noErr) return nullptr;
  return h;
}

Bytes HandleBytes(Handle h) {
  Size size = 0;
  if (!h || MemGetHandleSize(h, &size) != noErr) return {};
  return Bytes(reinterpret_cast<uint8_t *>(*h), reinterpret_cast<uint8_t *>(*h) + size);
}

// A metafile in a METAFILEPICT becomes PICT by way of a bitmap.
PicHandle FromMetafile(HMETAFILE metafile, long xExt, long yExt) {
  if (!metafile) return nullptr;
  METAFILEPICT mfp{MM_ANISOTROPIC, xExt, yExt, metafile};
  PicHandle picture = ToHandle(nullptr, 0);
  PictConvContext context{nullptr, nullptr};
  OSErr err = picture ? ML_MetaToPict(&context, &mfp, picture) : OSErr(memFullErr);
  DeleteMetaFile(metafile);
  if (err != noErr && picture) MemDisposeHandle(picture), picture = nullptr;
  return picture;
}

struct Options {
  const char *in = nullptr, *out = nullptr;
  Rect max{};
  bool hasMax = false;
  short depth = 32;
  bool hasDepth = false;
};

PicHandle Import(const Bytes &file, const Options &options) {
  if (file.size() >= 3 && file[0] == 'G' && file[1] == 'I' && file[2] == 'F') {
    Handle gif = ToHandle(file.data(), file.size());
    Rect frame{};
    GIFRect(gif, &frame);
    std::printf("GIF screen %d x %d\n", frame.right, frame.bottom);
    PicHandle picture = gif ? GIFtoPICT(gif) : nullptr;
    if (gif) MemDisposeHandle(gif);
    return picture;
  }
  if (file.size() >= 3 && file[0] == 0xFF && file[1] == 0xD8 && file[2] == 0xFF) {
    Handle jpeg = ToHandle(file.data(), file.size());
    Rect frame{};
    JPEGRect(jpeg, &frame);
    std::printf("JPEG frame at its density: %d x %d\n", frame.right, frame.bottom);
    PicHandle picture = jpeg ? JPEGtoPICT(jpeg, options.hasMax ? &options.max : nullptr,
                                          options.hasDepth ? &options.depth : nullptr) : nullptr;
    if (jpeg) MemDisposeHandle(jpeg);
    return picture;
  }
  if (file.size() > 14 && file[0] == 'B' && file[1] == 'M') {
    HGLOBAL dib = GlobalAlloc(GMEM_MOVEABLE, file.size() - 14);
    if (!dib) return nullptr;
    std::memcpy(GlobalLock(dib), file.data() + 14, file.size() - 14);
    GlobalUnlock(dib);
    PicHandle picture = ToHandle(nullptr, 0);
    PictConvContext context{nullptr, nullptr};
    if (picture && ML_DIBToPict(&context, dib, nullptr, picture) != noErr)
      MemDisposeHandle(picture), picture = nullptr;
    GlobalFree(dib);
    return picture;
  }
  if (Le32(file, 0) == 0x9AC6CDD7 && file.size() > 22) {
    // Placeable header: bounds in metafile units and their units per inch.
    int width = Le16(file, 10) - Le16(file, 6), height = Le16(file, 12) - Le16(file, 8);
    int inch = uint16_t(Le16(file, 14));
    if (inch == 0) return nullptr;
    HMETAFILE metafile = SetMetaFileBitsEx(UINT(file.size() - 22), file.data() + 22);
    return FromMetafile(metafile, MulDiv(std::abs(width), 2540, inch), MulDiv(std::abs(height), 2540, inch));
  }
  if (Le32(file, 0) == 1 && Le32(file, 40) == 0x464D4520) {  // EMR_HEADER, " EMF"
    HENHMETAFILE emf = SetEnhMetaFileBits(UINT(file.size()), file.data());
    if (!emf) return nullptr;
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(emf, sizeof header, &header);
    HDC screen = GetDC(nullptr);
    UINT size = GetWinMetaFileBits(emf, 0, nullptr, MM_ANISOTROPIC, screen);
    Bytes bits(size);
    HMETAFILE metafile = size && GetWinMetaFileBits(emf, size, bits.data(), MM_ANISOTROPIC, screen)
                             ? SetMetaFileBitsEx(size, bits.data()) : nullptr;
    ReleaseDC(nullptr, screen);
    DeleteEnhMetaFile(emf);
    // The frame is in hundredths of a millimetre already.
    return FromMetafile(metafile, header.rclFrame.right - header.rclFrame.left,
                        header.rclFrame.bottom - header.rclFrame.top);
  }
  if (file.size() > 512 + 10) return ToHandle(file.data() + 512, file.size() - 512);
  return nullptr;
}

// The PICT's frame, from picFrame (top, left, bottom, right, big-endian).
Rect FrameOf(const Bytes &pict) {
  auto be = [&](size_t at) { return short(pict[at] << 8 | pict[at + 1]); };
  return pict.size() >= 10 ? Rect{be(4), be(2), be(8), be(6)} : Rect{};
}

HBITMAP PictBitmap(PicHandle picture) {
  PictConvContext context{nullptr, nullptr};
  HBITMAP bitmap = nullptr;
  return ML_PictToBitmap(&context, picture, &bitmap) == noErr ? bitmap : nullptr;
}

// A bitmap's pixels as a bottom-up 24-bit DIB.
bool Dib24(HBITMAP bitmap, BITMAPINFOHEADER *header, Bytes *bits) {
  BITMAP bm{};
  if (!GetObjectA(bitmap, sizeof bm, &bm)) return false;
  *header = {sizeof(BITMAPINFOHEADER), bm.bmWidth, bm.bmHeight, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  size_t stride = (size_t(bm.bmWidth) * 3 + 3) & ~size_t(3);
  bits->resize(stride * bm.bmHeight);
  header->biSizeImage = DWORD(bits->size());
  HDC screen = GetDC(nullptr);
  int rows = GetDIBits(screen, bitmap, 0, UINT(bm.bmHeight), bits->data(),
                       reinterpret_cast<BITMAPINFO *>(header), DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return rows == bm.bmHeight;
}

bool Export(PicHandle picture, const char *path) {
  std::string name(path);
  std::string ext = name.substr(name.find_last_of('.') + 1);
  for (char &c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  if (ext == "pct" || ext == "pict") {
    Bytes file(512, 0);
    Bytes pict = HandleBytes(picture);
    file.insert(file.end(), pict.begin(), pict.end());
    return WriteFile(path, file);
  }
  if (ext == "wmf") {
    PictConvContext context{nullptr, nullptr};
    HGLOBAL block = nullptr;
    if (ML_PictToMeta(&context, picture, &block) != noErr || !block) return false;
    auto *mfp = static_cast<METAFILEPICT *>(GlobalLock(block));
    UINT size = GetMetaFileBitsEx(mfp->hMF, 0, nullptr);
    Bytes bits(size);
    GetMetaFileBitsEx(mfp->hMF, size, bits.data());
    Rect frame = FrameOf(HandleBytes(picture));
    Bytes file;
    PutLe32(file, 0x9AC6CDD7);
    PutLe16(file, 0);
    for (int v : {0, 0, frame.right - frame.left, frame.bottom - frame.top}) PutLe16(file, v);
    PutLe16(file, 72);  // the recording is made in points
    PutLe32(file, 0);
    uint16_t check = 0;
    for (size_t i = 0; i < 20; i += 2) check ^= uint16_t(file[i] | file[i + 1] << 8);
    PutLe16(file, check);
    file.insert(file.end(), bits.begin(), bits.end());
    DeleteMetaFile(mfp->hMF);
    GlobalUnlock(block);
    GlobalFree(block);
    return size && WriteFile(path, file);
  }
  HBITMAP bitmap = PictBitmap(picture);
  BITMAPINFOHEADER header{};
  Bytes bits;
  bool ok = bitmap && Dib24(bitmap, &header, &bits);
  if (bitmap) DeleteObject(bitmap);
  if (!ok) return false;
  if (ext == "bmp") {
    Bytes file{'B', 'M'};
    PutLe32(file, uint32_t(14 + sizeof header + bits.size()));
    PutLe32(file, 0);
    PutLe32(file, uint32_t(14 + sizeof header));
    const auto *h = reinterpret_cast<const uint8_t *>(&header);
    file.insert(file.end(), h, h + sizeof header);
    file.insert(file.end(), bits.begin(), bits.end());
    return WriteFile(path, file);
  }
  if (ext == "jpg" || ext == "jpeg") {
    // BitmapToJPEG takes rows from the top: start at the last stored row, step back.
    size_t stride = (size_t(header.biWidth) * 3 + 3) & ~size_t(3);
    BitmapDesc desc{};
    desc.bits = bits.data() + stride * (header.biHeight - 1);
    desc.colors = nullptr;
    desc.rowBytes = -long(stride);
    desc.bitsPerPixel = 24;
    desc.width = header.biWidth;
    desc.height = header.biHeight;
    Handle jpeg = BitmapToJPEG(&desc);
    if (!jpeg) return false;
    ok = WriteFile(path, HandleBytes(jpeg));
    MemDisposeHandle(jpeg);
    return ok;
  }
  std::fprintf(stderr, "tspict: cannot write .%s files\n", ext.c_str());
  return false;
}

int Usage() {
  std::fprintf(stderr,
               "usage: tspict IN [OUT] [--max WxH] [--depth N]\n"
               "  IN: PICT (512-byte file header), BMP, placeable WMF, EMF, JPEG or GIF\n"
               "  OUT: .pct/.pict, .bmp, .wmf or .jpg/.jpeg\n");
  return 1;
}

}  // namespace

int main(int argc, char **argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--max") && i + 1 < argc) {
      int w = 0, h = 0;
      if (std::sscanf(argv[++i], "%dx%d", &w, &h) != 2 || w <= 0 || h <= 0 || w > 32767 || h > 32767)
        return Usage();
      options.max = Rect{0, 0, short(w), short(h)};
      options.hasMax = true;
    } else if (!std::strcmp(argv[i], "--depth") && i + 1 < argc) {
      options.depth = short(std::atoi(argv[++i]));
      options.hasDepth = true;
    } else if (argv[i][0] == '-' && argv[i][1] == '-') {
      return Usage();
    } else if (!options.in) {
      options.in = argv[i];
    } else if (!options.out) {
      options.out = argv[i];
    } else {
      return Usage();
    }
  }
  if (!options.in) return Usage();
  MemInitZone();
  InitFonts();
  Bytes file;
  if (!ReadFile(options.in, &file)) {
    std::fprintf(stderr, "tspict: cannot read %s\n", options.in);
    return 2;
  }
  PicHandle picture = Import(file, options);
  Bytes pict = HandleBytes(picture);
  if (pict.size() < 10) {
    std::fprintf(stderr, "tspict: %s is not a picture tspict can read\n", options.in);
    if (picture) MemDisposeHandle(picture);
    return 2;
  }
  Rect frame = FrameOf(pict);
  std::printf("frame: left %d, top %d, right %d, bottom %d (%d x %d points); PICT of %lu bytes\n",
              frame.left, frame.top, frame.right, frame.bottom, frame.right - frame.left,
              frame.bottom - frame.top, static_cast<unsigned long>(pict.size()));
  int status = 0;
  if (options.out && !Export(picture, options.out)) {
    std::fprintf(stderr, "tspict: could not write %s\n", options.out);
    status = 3;
  }
  MemDisposeHandle(picture);
  return status;
}
