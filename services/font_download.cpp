#include "services/font_download.h"

#include <string>

#include "services/atm_entry.h"

namespace tstools::services {

bool DownloadFontFile(const unsigned char *fontName, FontFileSource &source, PieceSink &sink) {
  const std::string key(reinterpret_cast<const char *>(fontName + 1), fontName[0]);
  // A NUL would end the key early and look up some other font.
  if (key.empty() || key.find('\0') != std::string::npos) return false;
  char value[kAtmValueBytes] = {};
  size_t length = source.AtmEntry(key.c_str(), value, sizeof value);
  if (length >= sizeof value) length = sizeof value - 1;
  const std::string path(OutlinePathFromAtmEntry(value, length, sizeof value));
  std::vector<uint8_t> bytes;
  if (path.empty() || !source.ReadFile(path.c_str(), bytes)) return false;
  return SendFontFile(bytes.data(), bytes.size(), sink);
}

}  // namespace tstools::services
