// The demo's styled text: a record laid out by the text engine in a column of the fifth
// document, its lines drawn run by run with VTBDrawStringPtr in the engine's extended styles,
// and beside it what the layout, the word finder and the case calls report. Saved as
// text.png.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "demo/demo.h"
#include "tstools/tstools.h"

namespace {

GrafPort *measuring = nullptr;  // the engine reads its measuring port through this location
QTERecord *record = nullptr;
std::string text;               // Mac Roman, as the record holds it
struct Run {
  long start;
  unsigned short face;
  const char *name;
};
std::vector<Run> runs;
std::vector<std::string> facts;
const Rect column{16, 16, 316, 436};

void Fact(const char *format, ...) {
  char line[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  facts.emplace_back(line);
  std::printf("%s\n", line);
}

// One "styl" element (machine byte order): start, height, ascent, font, face, size, colour.
void PutStyl(std::vector<unsigned char> &styl, long start, unsigned short face) {
  unsigned char e[20] = {};
  std::memcpy(e, &start, 4);
  short font = 1, size = 12;
  std::memcpy(e + 8, &font, 2);
  std::memcpy(e + 10, &face, 2);
  std::memcpy(e + 12, &size, 2);
  if (face & 0x0001) e[14] = e[15] = 0xC0;  // struck text in red
  styl.insert(styl.end(), e, e + 20);
}

void BuildRecord() {
  struct Piece {
    unsigned short face;
    const char *name;
    const char *text;
  };
  const Piece pieces[] = {
      {0x0000, "plain", "The engine lays this column out itself: "},
      {0x0100, "bold", "bold words, "},
      {0x0200, "italic", "italic ones, "},
      {0x0002, "small caps", "Small Capitals, "},
      {0x0010, "all caps", "capitals made on the fly, "},
      {0x0030, "title case", "title case for every word, "},
      {0x0001, "strike", "struck-through text, "},
      {0x0040, "word underline", "underlined words but not the blanks, "},
      {0x0080, "double underline", "a double underline, "},
      {0x0000, "plain", "E = mc"},
      {0x0004, "superscript", "2"},
      {0x0000, "plain", " and H"},
      {0x0008, "subscript", "2"},
      {0x0000, "plain", "O. Lines break at blanks, which hang past the edge; a word wider than "
                        "the column breaks inside: Donaudampfschifffahrtsgesellschaftskapit\x8Ene.\r"
                        "A second paragraph after a return, and an empty last line after the final return.\r"},
  };
  std::vector<unsigned char> styl(2, 0);
  for (const Piece &p : pieces) {
    runs.push_back({long(text.size()), p.face, p.name});
    PutStyl(styl, long(text.size()), p.face);
    text += p.text;
  }
  unsigned short count = static_cast<unsigned short>(runs.size());
  std::memcpy(styl.data(), &count, 2);
  Handle stylHandle = nullptr, xsty = nullptr;
  PtrToHand(styl.data(), &stylHandle, Size(styl.size()));
  (void)xsty;
  record = QTENew(&column, &column, nullptr);
  if (!record || !stylHandle) return;
  // The extended faces (low byte) survive a "styl" only beside an "xSTY"; QTEReplace takes the
  // record's own styles as given.
  QTEReplace(text.data(), long(text.size()), stylHandle, nullptr, record);
  MemDisposeHandle(stylHandle);
}

void Report() {
  long lines = QTENumLines(record);
  Fact("QTEReplace: %ld bytes in %ld lines; word wrap %s; widest line %ld px; height %ld px",
       QTEGetTextLen(record), lines, QTEDoesWordWrap(record) ? "yes" : "no",
       QTEGetWidth(lines - 1, 0, record), QTEGetHeight(lines - 1, 0, record, 0));
  unsigned short bold = 0x0100, plain = 0;
  const unsigned char sample[] = "\x0B" "Hello World";
  Fact("VTBStringWidth(\"Hello World\"): %ld plain, %ld bold", VTBStringWidth(sample, &plain),
       VTBStringWidth(sample, &bold));

  const char words[] = "don't stop at 3.14, na\x95ve reader";
  long length = long(sizeof words - 1);
  for (long offset : {2L, 15L, 24L}) {
    long start = 0, end = 0;
    VIUFindWordEx(reinterpret_cast<const unsigned char *>(words), length, offset, 0, 0, &start, &end);
    Fact("VIUFindWordEx at %ld: \"%.*s\" (%ld..%ld)", offset, int(end - start), words + start, start, end);
  }
  unsigned char title[] = "hello world, caf\x8E owner";
  VIUChangeCase(title, long(sizeof title - 1), ' ', 0, 2);
  Fact("VIUChangeCase title case: \"%s\"", reinterpret_cast<char *>(title));
  Fact("VIUToCase(0x8E \xE9, upper): 0x%02X; VIUFontToCodeSet(1): %d", VIUToCase(0x8E, 0, 0, 0),
       VIUFontToCodeSet(1));
}

}  // namespace

void PrepareTextDocument(GrafPort *documentPort, HMODULE resources) {
  measuring = documentPort;
  if (!ML_QTEInit(&measuring, nullptr, resources, 0, 0)) {
    Fact("ML_QTEInit failed: the host module lacks its \"CONV\" tables");
    return;
  }
  ML_TextFont(documentPort, 1);
  ML_TextSize(documentPort, 12);
  BuildRecord();
  if (record) Report();
}

void DrawTextDocument(GrafPort *port) {
  Rect all;
  GetPortRect(port, &all);
  ML_EraseRect(port, &all);
  if (!record) return;
  ML_FrameRect(port, &column);
  ML_TextFont(port, 1);
  ML_TextSize(port, 12);
  unsigned short plain = 0;
  FontInfo info{};
  VTBGetFontInfo(&plain, &info);
  long lines = QTENumLines(record);
  for (long line = 0; line < lines; ++line) {
    long start = QTELineOffset(line, record), end = QTELineOffset(line + 1, record);
    long top = column.top + (line ? QTEGetHeight(line - 1, 0, record, 0) : 0);
    long height = QTEGetHeight(line, line, record, 0);
    short x = short(column.left + 1);
    for (size_t r = 0; r < runs.size(); ++r) {
      long from = std::max(start, runs[r].start);
      long to = std::min(end, r + 1 < runs.size() ? runs[r + 1].start : long(text.size()));
      if (from >= to) continue;
      unsigned char s[256];
      s[0] = static_cast<unsigned char>(std::min(to - from, 255L));
      std::memcpy(s + 1, text.data() + from, s[0]);
      unsigned short face = runs[r].face;
      long width = VTBTextWidth(text.data(), from, to - from, &face);
      Rect box{x, short(top), short(x + width), short(top + height)};
      const RGBColor ink = (face & 1) ? RGBColor{0xC0C0, 0, 0} : RGBColor{0, 0, 0};
      ML_RGBForeColor(port, &ink);
      VTBDrawStringPtr(s, &box, 0, short(height), short(info.ascent), &face, 0, 0, 0, 0);
      x = short(x + width);
    }
  }
  const RGBColor black{0, 0, 0};
  ML_RGBForeColor(port, &black);
  ML_TextFont(port, 1);
  ML_TextSize(port, 10);
  short v = 32;
  for (const std::string &fact : facts) {
    unsigned char s[256];
    s[0] = static_cast<unsigned char>(std::min<size_t>(fact.size(), 255));
    std::memcpy(s + 1, fact.data(), s[0]);
    ML_MoveTo(port, 332, v);
    ML_DrawString(port, s);
    v = short(v + 16);
  }
}

void DisposeTextDocument() {
  if (record) QTEDispose(record);
  record = nullptr;
  QTEShutdown();
}
