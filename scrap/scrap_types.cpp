#include "scrap/scrap_types.h"

#include <cstring>

namespace tstools::scrap {
namespace {

struct StandardRow {
  MacType type;
  unsigned format;
};
constexpr StandardRow kStandardRows[] = {
    {Type("WTXT"), kText}, {Type("BIT "), kBitmap}, {Type("META"), kMetafilePict}, {Type("SYLK"), kSylk},
    {Type("DIF "), kDif},  {Type("TIFF"), kTiff},   {Type("DIB "), kDib},          {Type("WAVE"), kWave}};

struct NamedRow {
  MacType type;
  std::string_view name;
  bool lengthPrefixed;
};
constexpr NamedRow kNamedRows[] = {
    {Type("TEXT"), "Mac-TEXT", true},          {Type("PICT"), "Mac-PICT", false},
    {Type("EMBO"), "Embedded Object", false},  {Type("EMBS"), "Embed Source", false},
    {Type("LNKS"), "Link Source", false},      {Type("ODES"), "Object Descriptor", false},
    {Type("OFN "), "FileName", false}};

constexpr std::string_view kPrefix = "Mac-";

}  // namespace

MacType FromOSType(uint32_t osType) {
  MacType type;
  std::memcpy(type.data(), &osType, 4);
  return type;
}

uint32_t ToOSType(const MacType &type) {
  uint32_t osType;
  std::memcpy(&osType, type.data(), 4);
  return osType;
}

FormatChoice FormatForType(const MacType &type) {
  for (const StandardRow &row : kStandardRows)
    if (row.type == type) return {row.format, {}, false};
  for (const NamedRow &row : kNamedRows)
    if (row.type == type) return {0, std::string(row.name), row.lengthPrefixed};
  // Any other type is carried under its own name, length-prefixed. The name keeps all four
  // bytes, so a type with a NUL in it gets a shorter name, as a C string would.
  std::string name(kPrefix);
  name.append(type.data(), 4);
  name.resize(std::strlen(name.c_str()));
  return {0, name, true};
}

uint32_t TypeForStandardFormat(unsigned format) {
  for (const StandardRow &row : kStandardRows)
    if (row.format == format) return ToOSType(row.type);
  return 0;
}

TypeChoice TypeForFormatName(std::string_view name) {
  for (const NamedRow &row : kNamedRows)
    if (row.name == name) return {ToOSType(row.type), row.lengthPrefixed};
  // Names are read into eight characters: "Mac-" and at most four more.
  name = name.substr(0, 8);
  if (name.size() < kPrefix.size() || name.substr(0, kPrefix.size()) != kPrefix) return {0, true};
  MacType type = Type("    ");
  std::string_view rest = name.substr(kPrefix.size());
  std::memcpy(type.data(), rest.data(), rest.size());
  return {ToOSType(type), true};
}

}  // namespace tstools::scrap
