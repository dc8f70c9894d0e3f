// DownloadFont without the system: the font's outline file is found through the Type 1 font
// manager's settings and streamed to the host's output routine as printer pieces.
#pragma once

#include <cstddef>
#include <vector>

#include "services/font_file.h"

namespace tstools::services {

// What the download asks of the system.
class FontFileSource {
 public:
  virtual ~FontFileSource() = default;
  // The value of key in section "Fonts" of atm.ini, read into value (bufferBytes, empty
  // default); returns the length the profile reader returned.
  virtual size_t AtmEntry(const char *key, char *value, size_t bufferBytes) = 0;
  // The whole file at path; false when it cannot be opened or read.
  virtual bool ReadFile(const char *path, std::vector<uint8_t> &bytes) = 0;
};

// fontName is a Str255. True when the outline file was found, read and sent whole; false,
// with nothing sent, for a font that is not listed (or whose entry is cut), a file that cannot
// be read, or one that is not a complete font file. The sink is the caller's own, so a
// download started from inside another's output routine cannot take over its output.
bool DownloadFontFile(const unsigned char *fontName, FontFileSource &source, PieceSink &sink);

}  // namespace tstools::services
