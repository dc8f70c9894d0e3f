#include "font/region_codes.h"

#include <algorithm>
#include <iterator>

namespace tstools {
namespace {

struct LocaleRegion {
  uint16_t locale;
  int16_t region;
};

// Sorted by locale identifier.
constexpr LocaleRegion kLocaleRegions[] = {
    {0x0401, 16}, {0x0402, 72}, {0x0403, 73}, {0x0404, 53}, {0x0405, 56}, {0x0406, 9},
    {0x0407, 3}, {0x0408, 20}, {0x0409, 0}, {0x040A, 8}, {0x040B, 17}, {0x040C, 1},
    {0x040D, 13}, {0x040E, 43}, {0x040F, 21}, {0x0410, 4}, {0x0411, 14}, {0x0412, 51},
    {0x0413, 5}, {0x0414, 12}, {0x0415, 42}, {0x0416, 71}, {0x0418, 39}, {0x0419, 49},
    {0x041A, 68}, {0x041B, 57}, {0x041D, 7}, {0x041E, 54}, {0x041F, 24}, {0x0420, 34},
    {0x0422, 62}, {0x0423, 61}, {0x0425, 44}, {0x0426, 45}, {0x0427, 41}, {0x0429, 48},
    {0x042F, 67}, {0x0436, 5}, {0x0438, 47}, {0x0439, 33}, {0x043A, 22}, {0x043B, 46},
    {0x0801, 16}, {0x0804, 52}, {0x0807, 19}, {0x0809, 2}, {0x080A, 8}, {0x080C, 1},
    {0x0810, 36}, {0x0812, 51}, {0x0813, 6}, {0x0814, 12}, {0x0816, 10}, {0x0818, 39},
    {0x0819, 49}, {0x081A, 65}, {0x0C01, 16}, {0x0C04, 52}, {0x0C07, 3}, {0x0C09, 15},
    {0x0C0A, 8}, {0x0C0C, 11}, {0x1001, 16}, {0x1004, 52}, {0x1007, 3}, {0x1009, 0},
    {0x100C, 18}, {0x1401, 16}, {0x1407, 19}, {0x1409, 15}, {0x140C, 1}, {0x1801, 16},
    {0x1809, 2}, {0x1C01, 16}, {0x1C09, 2}, {0x2001, 16}, {0x2401, 16}, {0x2801, 16},
    {0x2C01, 16}, {0x3001, 16}, {0x3401, 16}, {0x3801, 16}, {0x3C01, 16}, {0x4001, 16},
};

}  // namespace

bool MacRegionForLocale(uint32_t localeId, int16_t &region) {
  if (localeId > 0xFFFF) return false;
  auto it = std::lower_bound(std::begin(kLocaleRegions), std::end(kLocaleRegions), localeId,
                             [](const LocaleRegion &e, uint32_t id) { return e.locale < id; });
  if (it == std::end(kLocaleRegions) || it->locale != localeId) return false;
  region = it->region;
  return true;
}

int16_t MacRegionFromLocales(uint32_t userLocale, uint32_t systemLocale) {
  int16_t region = 0;
  if (MacRegionForLocale(userLocale, region)) return region;
  if (MacRegionForLocale((userLocale & 0xFF) + 0x0400, region)) return region;
  if (MacRegionForLocale(systemLocale, region)) return region;
  return 0;
}

}  // namespace tstools
