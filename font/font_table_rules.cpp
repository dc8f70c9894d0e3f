#include "font/font_table_rules.h"

#include <cstring>
#include <utility>

#include "font/charset.h"

namespace tstools {

FontKind KindOfFace(bool trueType, EnumerationMode mode, bool atmAccepts) {
  if (trueType) return FontKind::kTrueType;
  switch (mode) {
    case EnumerationMode::kScreen: return FontKind::kScreen;
    case EnumerationMode::kPrinter: return FontKind::kPrinter;
    case EnumerationMode::kScreenWithAtm: return atmAccepts ? FontKind::kAtm : FontKind::kScreen;
    case EnumerationMode::kPrinterWithAtm: return atmAccepts ? FontKind::kAtm : FontKind::kPrinter;
  }
  return FontKind::kScreen;
}

std::string FixedFaceName(int number, uint8_t defaultCharSet) {
  if (number == 0) return "System";
  if (defaultCharSet == 128) return "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9";  // Mincho in Shift-JIS
  return "MS Sans Serif";
}

int16_t MinBoldSizeFromSettings(const std::string &faceValue, const std::string &defaultValue) {
  const std::string &text = faceValue == "-1" ? defaultValue : faceValue;
  return int16_t(ParseDecimal(text));
}

namespace {

// strtok's rule: skip leading delimiters, then take up to the next one.
bool NextToken(const std::string &text, size_t &pos, const char *delimiters, std::string &token) {
  pos = text.find_first_not_of(delimiters, pos);
  if (pos == std::string::npos) return false;
  size_t end = text.find_first_of(delimiters, pos);
  if (end == std::string::npos) end = text.size();
  token = text.substr(pos, end - pos);
  pos = end < text.size() ? end + 1 : end;
  return true;
}

}  // namespace

bool ParsePrinterSetting(const std::string &text, PrinterSetting &out) {
  size_t pos = 0;
  PrinterSetting p;
  if (!NextToken(text, pos, ",", p.device) || !NextToken(text, pos, ", ", p.driver) ||
      !NextToken(text, pos, ", ", p.port))
    return false;
  out = std::move(p);  // cannot fail: a copy could stop half-way, between two fields
  return true;
}

std::string LookupName(const uint8_t *str255) {
  if (!str255) return std::string();
  size_t length = str255[0] < 32 ? str255[0] : 32;
  const char *text = reinterpret_cast<const char *>(str255 + 1);
  return std::string(text, strnlen(text, length));
}

}  // namespace tstools
