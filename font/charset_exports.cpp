#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "font/charset.h"
#include "font/region_codes.h"
#include "frame/export_guard.h"
#include "frame/library_globals.h"
#include "frame/settings_profile.h"
#include "tstools/charset.h"
#include "tstools/host_resource_ids.h"

namespace tstools {
namespace {

// Custom table files are a few kilobytes of text at most.
constexpr DWORD kMaxTableFileBytes = 64 * 1024;

void UpperWithLocale(uint8_t *text, size_t length) {
  if (length) CharUpperBuffA(reinterpret_cast<char *>(text), DWORD(length));
}

bool ReadSmallFile(const std::string &path, std::vector<char> &data) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  struct Closer {
    HANDLE file;
    ~Closer() { CloseHandle(file); }  // also when the buffer cannot be had
  } closer{file};
  DWORD high = 0, size = GetFileSize(file, &high);
  if (size == INVALID_FILE_SIZE || high != 0 || size > kMaxTableFileBytes) return false;
  data.resize(size);
  DWORD got = 0;
  return size == 0 || (ReadFile(file, data.data(), size, &got, nullptr) && got == size);
}

// A custom table named by the settings replaces the built-in pair when it is sound.
void LoadCustomTable(const std::string &section, MappingPair &pair) {
  std::string path = ReadProfileString(section, "Character Mapping Table", "", MAX_PATH);
  if (path.empty()) return;
  bool absolute = path[0] == '\\' || (path.size() > 1 && path[1] == ':');
  if (!absolute) {
    char dir[MAX_PATH] = {};
    if (!GetVantorDirectory(dir, sizeof dir)) return;
    std::string full = dir;
    if (!full.empty() && !EndsWithByte(full.c_str(), '\\')) full += '\\';
    path = full + path;
  }
  std::vector<char> data;
  if (!ReadSmallFile(path, data)) {
    OutputDebugStringA("TSTOOLS: character mapping table file unreadable; built-in table kept\n");
    return;
  }
  MappingPair loaded;
  if (ParseCustomMapping(data.data(), data.size(), loaded) != TableLoadError::kNone) {
    OutputDebugStringA("TSTOOLS: character mapping table refused; built-in table kept\n");
    return;
  }
  pair = loaded;
}

}  // namespace
}  // namespace tstools

using namespace tstools;

void WINAPI InitCharset(void) {
  Guarded(Nothing, [] {
    CharsetState &state = Charset();
    if (state.mappingChosen) return;
    std::string section = LoadHostString(TSRES_STR_PREFERENCES_SECTION);
    std::string text = ReadProfileString(section, "Character Mapping", "", 255);
    auto number = static_cast<unsigned short>(MappingNumberFromSetting(text));
    MappingPair pair = BuiltInMapping(static_cast<short>(number));
    LoadCustomTable(section, pair);
    // Chosen only now: running out of memory above leaves the choice to a later call.
    state.mappingNumber = number;
    state.active = pair;
    state.mappingChosen = true;
  });
}

void WINAPI MapText(Ptr text, long length, short direction, short codeSet) {
  MapTextInPlace(reinterpret_cast<uint8_t *>(text), length, direction, codeSet);
}

void WINAPI UpperString(StringPtr s, Boolean keepMarks) { UpperStr255(s, keepMarks != 0); }

Boolean WINAPI EqualString(ConstStr255Param a, ConstStr255Param b, Boolean caseSensitive,
                           Boolean markSensitive) {
  if (!a || !b) return a == b;
  return EqualStr255(a, b, caseSensitive != 0, markSensitive != 0);
}

short WINAPI RelString(ConstStr255Param a, ConstStr255Param b, Boolean caseSensitive,
                       Boolean markSensitive) {
  if (!markSensitive) OutputDebugStringA("RelString not finished\n");
  static const uint8_t empty[1] = {0};
  return static_cast<short>(RelStr255(a ? a : empty, b ? b : empty, caseSensitive != 0, UpperWithLocale));
}

namespace {

long CompareOperands(const void *a, long aLength, const void *b, long bLength, bool ignoreCase) {
  ComparisonOperand left, right;
  PrepareComparisonOperand(static_cast<const uint8_t *>(a), aLength, left);
  PrepareComparisonOperand(static_cast<const uint8_t *>(b), bLength, right);
  if (ignoreCase) return lstrcmpiA(left.text, right.text) != 0 ? 1 : 0;
  return lstrcmpA(left.text, right.text);
}

long Str255Length(ConstStr255Param s) { return s ? s[0] : 0; }
const void *Str255Text(ConstStr255Param s) { return s ? s + 1 : nullptr; }

}  // namespace

long WINAPI IUCompString(ConstStr255Param a, ConstStr255Param b) {
  return CompareOperands(Str255Text(a), Str255Length(a), Str255Text(b), Str255Length(b), false);
}

long WINAPI IUMagString(const void *a, const void *b, long aLength, long bLength) {
  return CompareOperands(a, aLength, b, bLength, false);
}

long WINAPI IUEqualString(ConstStr255Param a, ConstStr255Param b) {
  return CompareOperands(Str255Text(a), Str255Length(a), Str255Text(b), Str255Length(b), true);
}

long WINAPI IUMagIDString(const void *a, const void *b, long aLength, long bLength) {
  return CompareOperands(a, aLength, b, bLength, true);
}

short WINAPI GetMacCountryCodeFromWin(void) {
  return MacRegionFromLocales(GetUserDefaultLCID(), GetSystemDefaultLCID());
}

long WINAPI StringToNum(ConstStr255Param s, long *n) {
  long value = s ? ParseDecimal(reinterpret_cast<const char *>(s + 1), s[0]) : 0;
  if (n) *n = value;
  return value;
}

void WINAPI NumToString(long n, StringPtr s) {
  if (!s) return;
  std::string text = FormatDecimal(static_cast<int32_t>(n));
  s[0] = static_cast<unsigned char>(text.size());
  std::memcpy(s + 1, text.data(), text.size());
}
