// Text read from the settings: the printer setting, numbers (mapping numbers, bold sizes) and
// the key-name listing over names of any length.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "font/charset.h"
#include "font/font_table_rules.h"
#include "frame/profile_paths.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string text(reinterpret_cast<const char *>(data), size);
  tstools::PrinterSetting printer;
  if (tstools::ParsePrinterSetting(text, printer) &&
      (printer.device.empty() || printer.driver.empty() || printer.port.empty()))
    std::abort();
  tstools::MappingNumberFromSetting(text);
  tstools::MinBoldSizeFromSettings(text, text);

  // Names separated by newlines, listed into a buffer whose size is the first byte.
  std::vector<std::string> names;
  size_t start = 1;
  for (size_t i = 1; i <= size; ++i) {
    if (i == size || data[i] == '\n') {
      names.emplace_back(reinterpret_cast<const char *>(data) + start, i - start);
      start = i + 1;
    }
  }
  size_t capacity = size ? size_t(data[0]) * 9 : 0;
  std::vector<char> buffer(capacity + 1, '#');
  tstools::KeyNameList list =
      tstools::ListKeyNames(buffer.data(), capacity, [&](size_t index, char *dst, size_t room) -> long {
        if (index >= names.size()) return -1;
        const std::string &n = names[index];
        if (n.size() + 1 > room) return -1;
        std::memcpy(dst, n.c_str(), n.size() + 1);
        return long(std::strlen(dst));
      });
  if (capacity && (list.length == 0 || list.length > capacity || buffer[list.length - 1] != '\0')) std::abort();
  if (buffer[capacity] != '#') std::abort();

  char path[64];
  size_t n = size < sizeof path - 1 ? size : sizeof path - 1;
  std::memcpy(path, data, n);
  path[n] = '\0';
  tstools::StripFileNameInPlace(path, [](uint8_t b) { return b >= 0x81 && b <= 0x9F; });
  return 0;
}
