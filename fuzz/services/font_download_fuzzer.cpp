// Any bytes as a font file (pieces of at most 250 characters, nothing sent if refused) and as
// a Str255 of font comments, in a block of exactly its length.
#include <cstdlib>
#include <vector>
#include "services/dsc_scanner.h"
#include "services/font_file.h"

using namespace tstools::services;
struct Count : PieceSink {
  size_t pieces = 0;
  void Piece(unsigned char *p) override { pieces += p[0] <= kMaxPieceLength ? 1 : (std::abort(), 0); }
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  Count count;
  if (!SendFontFile(data, size, count) && count.pieces) std::abort();
  std::vector<unsigned char> text(data, data + (size < 255 ? size : 255)), name(256, 0);
  text.insert(text.begin(), static_cast<unsigned char>(text.size()));
  int16_t at = 0;
  if (NextFontComment(text.data(), &at, name.data()) && (at < 1 || size_t(at) > text.size())) std::abort();
  if (name[0] >= text.size()) std::abort();
  return 0;
}
