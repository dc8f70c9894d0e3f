// Imports each input of convert.tsv (JPEG, GIF, BMP) through the exports, plays the PICT, and
// sets it beside another program's decoding of the same file and their difference (eight
// times amplified): picture_convert.png in the build tree, for a person to look at. A last
// row records shapes as a metafile, converts it to PICT and compares with direct drawing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "demo/sheets/png_writer.h"
#include "tests/support/dib_canvas.h"
#include "tstools/tstools.h"

namespace {

constexpr int kCellW = 160, kCellH = 120, kGap = 6, kLabelH = 16;
using Pixels = std::vector<uint32_t>;

std::vector<uint8_t> ReadFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Binary PPM or PGM (P6 or P5, maxval 255) as 0xRRGGBB, cut or padded to the cell.
Pixels ReadPpm(const std::string &path) {
  std::vector<uint8_t> file = ReadFile(path);
  const size_t channels = file.size() > 1 && file[1] == '5' ? 1 : 3;
  size_t pos = 2;
  int fields[3] = {};
  for (int &f : fields) {
    while (pos < file.size() && isspace(file[pos])) ++pos;
    while (pos < file.size() && isdigit(file[pos])) f = f * 10 + (file[pos++] - '0');
  }
  ++pos;
  Pixels cell(size_t(kCellW) * kCellH, 0x808080);
  for (int y = 0; y < std::min(fields[1], kCellH); ++y)
    for (int x = 0; x < std::min(fields[0], kCellW); ++x) {
      size_t at = pos + (size_t(y) * fields[0] + x) * channels;
      if (at + channels <= file.size())
        cell[size_t(y) * kCellW + x] = file[at] << 16 | file[at + channels / 2] << 8 | file[at + channels - 1];
    }
  return cell;
}

Handle ToHandle(const std::vector<uint8_t> &bytes) {
  Handle h = nullptr;
  PtrToHand(bytes.data(), &h, Size(bytes.size()));
  return h;
}

PicHandle Import(const std::string &path) {
  std::vector<uint8_t> file = ReadFile(path);
  if (file.size() < 16) return nullptr;
  if (file[0] == 'G') {
    Handle gif = ToHandle(file);
    PicHandle picture = GIFtoPICT(gif);
    MemDisposeHandle(gif);
    return picture;
  }
  if (file[0] == 0xFF) {
    Handle jpeg = ToHandle(file);
    PicHandle picture = JPEGtoPICT(jpeg, nullptr, nullptr);
    MemDisposeHandle(jpeg);
    return picture;
  }
  HGLOBAL dib = GlobalAlloc(GMEM_MOVEABLE, file.size() - 14);
  std::memcpy(GlobalLock(dib), file.data() + 14, file.size() - 14);
  GlobalUnlock(dib);
  PicHandle picture = ToHandle({});
  if (ML_DIBToPict(nullptr, dib, nullptr, picture) != noErr) MemDisposeHandle(picture), picture = nullptr;
  GlobalFree(dib);
  return picture;
}

// Draws with the port's verbs: what the metafile row records.
void DrawShapes(GrafPort *port) {
  Rect r{10, 10, 150, 110};
  ML_PenSize(port, 3, 3);
  ML_FrameRect(port, &r);
  Rect oval{30, 25, 130, 95};
  ML_PaintOval(port, &oval);
  ML_MoveTo(port, 20, 105);
  ML_LineTo(port, 140, 15);
}

// The cell's pixels after fn draws on a white canvas through a port.
template <typename Fn>
Pixels DrawCell(Fn fn) {
  tstools::test::DibCanvas canvas(kCellW, kCellH, 0xFFFFFF);
  GrafPort port;
  canvas.OpenPort(&port);
  fn(&port);
  ClosePort(&port);
  const uint32_t *p = canvas.pixels();
  Pixels cell(p, p + size_t(kCellW) * kCellH);
  for (uint32_t &c : cell) c &= 0xFFFFFF;
  return cell;
}

Pixels PlayCell(PicHandle picture) {
  return DrawCell([&](GrafPort *port) {
    if (!picture) return;
    const uint8_t *b = reinterpret_cast<const uint8_t *>(*picture);
    auto word = [&](int at) { return short(b[at] << 8 | b[at + 1]); };
    Rect frame{0, 0, short(word(8) - word(4)), short(word(6) - word(2))};
    ML_DrawPicture(port, picture, &frame);
  });
}

Pixels Difference(const Pixels &a, const Pixels &b) {
  Pixels d(a.size());
  for (size_t i = 0; i < a.size(); ++i) {
    uint32_t v = 0;
    for (int shift : {16, 8, 0}) {
      int diff = std::abs(int(a[i] >> shift & 0xFF) - int(b[i] >> shift & 0xFF));
      v |= uint32_t(std::min(255, diff * 8)) << shift;
    }
    d[i] = v;
  }
  return d;
}

}  // namespace

int main() {
  std::string dir = std::string(TSTOOLS_SHEET_DIR) + "/convert-inputs";
  std::ifstream manifest(dir + "/convert.tsv");
  std::vector<std::vector<std::string>> rows;
  for (std::string line; std::getline(manifest, line);) {
    std::vector<std::string> fields;
    std::stringstream s(line);
    for (std::string f; std::getline(s, f, '\t');) fields.push_back(f);
    if (fields.size() == 3) rows.push_back(fields);
  }
  MemInitZone();
  QDrawCacheInit();
  InitFonts();
  int w = 3 * (kCellW + kGap) + kGap, h = int(rows.size() + 1) * (kCellH + kLabelH + kGap) + kGap;
  tstools::test::DibCanvas sheet(w, h, 0xD0D0D0);
  if (!sheet.ok()) return 1;
  std::vector<Pixels> cells;
  std::vector<std::string> labels;
  for (const auto &row : rows) {
    PicHandle picture = Import(dir + "/" + row[1]);
    Pixels reference = ReadPpm(dir + "/" + row[2]);
    Pixels ours = PlayCell(picture);
    if (picture) MemDisposeHandle(picture);
    cells.insert(cells.end(), {reference, ours, Difference(reference, ours)});
    labels.push_back(row[0]);
  }
  // Shapes drawn directly, and recorded as a metafile, made PICT and played.
  Pixels direct = DrawCell(DrawShapes);
  Pixels viaMetafile = DrawCell([](GrafPort *port) {
    Rect frame{0, 0, kCellW, kCellH};
    PicHandle recorded = ML_OpenPicture(port, &frame);
    if (!recorded) return;
    DrawShapes(port);
    ML_ClosePicture(port, recorded);
    PicHandle pict = nullptr;
    if (MemNewHandle(&pict, 0, 0) == noErr) {
      HGLOBAL meta = nullptr;
      if (ML_PicMetaToMeta(0, reinterpret_cast<void *>(*recorded), &meta, 1) == noErr && meta) {
        auto *mfp = static_cast<METAFILEPICT *>(GlobalLock(meta));
        if (ML_MetaToPict(nullptr, mfp, pict) == noErr) ML_DrawPicture(port, pict, &frame);
        DeleteMetaFile(mfp->hMF);
        GlobalUnlock(meta);
        GlobalFree(meta);
      }
      MemDisposeHandle(pict);
    }
    ML_KillPicture(port, recorded);
  });
  cells.insert(cells.end(), {direct, viaMetafile, Difference(direct, viaMetafile)});
  labels.push_back("shapes: direct | metafile->PICT");

  HDC dc = sheet.dc();
  SetBkMode(dc, TRANSPARENT);
  for (size_t r = 0; r < labels.size(); ++r) {
    int top = kGap + int(r) * (kCellH + kLabelH + kGap);
    TextOutA(dc, kGap, top, labels[r].c_str(), int(labels[r].size()));
    uint32_t *p = sheet.pixels();
    for (int c = 0; c < 3; ++c) {
      const Pixels &cell = cells[r * 3 + c];
      int left = kGap + c * (kCellW + kGap);
      for (int y = 0; y < kCellH; ++y)
        std::copy_n(&cell[size_t(y) * kCellW], kCellW, p + size_t(top + kLabelH + y) * w + left);
    }
  }
  QDrawCacheClose();
  std::string path = std::string(TSTOOLS_SHEET_DIR) + "/picture_convert.png";
  if (!tstools::sheets::WritePng(path, sheet.pixels(), w, h)) return 1;
  std::printf("conversions: %s (columns: other program, ours, difference x8)\n", path.c_str());
  return 0;
}
