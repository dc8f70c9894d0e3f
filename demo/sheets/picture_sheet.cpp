// Plays every shared real picture into a cell of one sheet, scaled to fit, and saves it as
// picture_corpus.png in the build tree (the cells listed in picture_corpus.txt), for a person
// to look at.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "demo/sheets/png_writer.h"
#include "tests/support/dib_canvas.h"
#include "tstools/tstools.h"

namespace {

constexpr int kCellW = 200, kCellH = 150, kColumns = 6, kGap = 4;

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((std::string(TSTOOLS_PICT_CORPUS) + "/*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileA(find, &found));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

// Files on disk may start with a 512-byte header before the picture block.
std::vector<uint8_t> PictureBlock(const std::string &name) {
  std::ifstream f(std::string(TSTOOLS_PICT_CORPUS) + "/" + name, std::ios::binary);
  std::vector<uint8_t> data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  auto versionAt = [&](size_t at) {
    return data.size() > at + 3 && ((data[at] == 0x11 && data[at + 1] == 0x01) ||
                                     (data[at] == 0 && data[at + 1] == 0x11 && data[at + 2] == 2));
  };
  if (versionAt(522) && !versionAt(10)) data.erase(data.begin(), data.begin() + 512);
  return data;
}

// The picture's frame fitted into the cell, keeping its proportions.
Rect FitInCell(const std::vector<uint8_t> &block) {
  Rect cell{0, 0, kCellW, kCellH};
  if (block.size() < 10) return cell;
  auto word = [&](size_t at) { return int(int16_t(block[at] << 8 | block[at + 1])); };
  int w = word(8) - word(4), h = word(6) - word(2);
  if (w <= 0 || h <= 0) return cell;
  double scale = std::min({double(kCellW) / w, double(kCellH) / h, 1.0});
  short dw = short(std::max(1.0, w * scale)), dh = short(std::max(1.0, h * scale));
  return Rect{0, 0, dw, dh};
}

}  // namespace

int main() {
  std::vector<std::string> names = CorpusFiles();
  if (names.empty()) {
    std::printf("no pictures at %s: no picture sheet\n", TSTOOLS_PICT_CORPUS);
    return 0;
  }
  int rows = int((names.size() + kColumns - 1) / kColumns);
  int w = kColumns * (kCellW + kGap) + kGap, h = rows * (kCellH + kGap) + kGap;
  tstools::test::DibCanvas sheet(w, h, 0x808080);
  if (!sheet.ok()) return 1;
  HDC dc = sheet.dc();
  MemInitZone();
  QDrawCacheInit();
  std::string list;
  for (size_t i = 0; i < names.size(); ++i) {
    std::vector<uint8_t> block = PictureBlock(names[i]);
    int x = kGap + int(i % kColumns) * (kCellW + kGap), y = kGap + int(i / kColumns) * (kCellH + kGap);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    GrafPort port;
    sheet.OpenPort(&port);
    ML_SetOrigin(&port, short(-x), short(-y));
    Rect cell{0, 0, kCellW, kCellH};
    ML_ClipRect(&port, &cell);
    ML_EraseRect(&port, &cell);
    Handle picture = nullptr;
    if (!block.empty() && MemNewHandle(&picture, Size(block.size()), 0) == noErr) {
      std::memcpy(*picture, block.data(), block.size());
      Rect dst = FitInCell(block);
      ML_DrawPicture(&port, picture, &dst);
      MemDisposeHandle(picture);
    }
    ClosePort(&port);
    list += "row " + std::to_string(i / kColumns + 1) + " column " + std::to_string(i % kColumns + 1) + ": " +
            names[i] + "\n";
  }
  QDrawCacheClose();
  std::string path = std::string(TSTOOLS_SHEET_DIR) + "/picture_corpus.png";
  if (!tstools::sheets::WritePng(path, sheet.pixels(), w, h)) {
    std::printf("cannot write %s\n", path.c_str());
    return 1;
  }
  std::ofstream(std::string(TSTOOLS_SHEET_DIR) + "/picture_corpus.txt") << list;
  std::printf("shared pictures: %s (%zu, cells in picture_corpus.txt)\n", path.c_str(), names.size());
  return 0;
}
