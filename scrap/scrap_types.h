// Mac scrap types and the Windows clipboard formats they travel as. Portable: the glue
// registers the names this file chooses.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tstools::scrap {

// An OSType's four characters in reading order. Hosts hold them in a 32-bit integer in memory
// order, so FromOSType/ToOSType copy bytes and never shift.
using MacType = std::array<char, 4>;
MacType FromOSType(uint32_t osType);
uint32_t ToOSType(const MacType &type);
constexpr MacType Type(const char (&chars)[5]) { return {chars[0], chars[1], chars[2], chars[3]}; }

// Windows' predefined formats the map uses.
enum StandardFormat : unsigned {
  kText = 1, kBitmap = 2, kMetafilePict = 3, kSylk = 4, kDif = 5, kTiff = 6, kDib = 8, kWave = 12
};

// Where a Mac type goes: a predefined format, or a format registered under `name`.
struct FormatChoice {
  unsigned standard = 0;  // nonzero for a predefined format
  std::string name;       // the registered name otherwise
  bool lengthPrefixed = false;
};
FormatChoice FormatForType(const MacType &type);

// The registered names the library announces at start-up, in registration order.
constexpr std::string_view kRegisteredNames[] = {"Mac-PICT", "Mac-TEXT", "Embedded Object", "Embed Source",
                                                 "Link Source", "Object Descriptor", "FileName"};

// The type of a predefined format; 0 when the map has none.
uint32_t TypeForStandardFormat(unsigned format);

// The type of a registered format by its name: the map's own names, else "Mac-" plus one to
// four characters (the rest filled with blanks). A name of neither kind gives 0. Every named
// format is length-prefixed except the map's own unprefixed names.
struct TypeChoice {
  uint32_t osType = 0;
  bool lengthPrefixed = false;
};
TypeChoice TypeForFormatName(std::string_view name);

}  // namespace tstools::scrap
