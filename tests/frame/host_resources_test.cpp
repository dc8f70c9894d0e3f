// Checks that TSHOSTRES.DLL answers every lookup the library makes in the
// host's resource module, with payloads the library can parse.
#include <gtest/gtest.h>
#include <windows.h>
#include <dlgs.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "tstools/host_resource_ids.h"

namespace tstools {
namespace {

using Bytes = std::vector<uint8_t>;

// Standard resource types, spelled for the ANSI calls whatever UNICODE says.
const LPCSTR kCursor = MAKEINTRESOURCEA(1);
const LPCSTR kBitmap = MAKEINTRESOURCEA(2);
const LPCSTR kIcon = MAKEINTRESOURCEA(3);
const LPCSTR kDialog = MAKEINTRESOURCEA(5);
const LPCSTR kRcData = MAKEINTRESOURCEA(10);
const LPCSTR kGroupCursor = MAKEINTRESOURCEA(12);
const LPCSTR kGroupIcon = MAKEINTRESOURCEA(14);

// Bounded reader: every read past the end latches failure and yields 0.
class Reader {
 public:
  explicit Reader(const Bytes &data, size_t pos = 0) : data_(data), pos_(pos) {}

  bool ok() const { return ok_; }
  size_t pos() const { return pos_; }
  bool atEnd() const { return pos_ == data_.size(); }

  uint8_t u8() { return Take(1) ? data_[pos_ - 1] : 0; }
  uint16_t u16le() { return Take(2) ? uint16_t(data_[pos_ - 2] | data_[pos_ - 1] << 8) : 0; }
  uint16_t u16be() { return Take(2) ? uint16_t(data_[pos_ - 2] << 8 | data_[pos_ - 1]) : 0; }
  uint32_t u32le() {
    uint32_t lo = u16le();
    return lo | uint32_t(u16le()) << 16;
  }
  void skip(size_t n) { Take(n); }
  void align4() { skip((4 - pos_ % 4) % 4); }

  // A NUL-terminated byte string.
  std::string cstring() {
    std::string s;
    while (ok_) {
      uint8_t c = u8();
      if (!ok_ || c == 0) break;
      s.push_back(char(c));
    }
    return s;
  }

  // A dialog template's name-or-ordinal field; ordinals come back as "#n",
  // UTF-16 names as lower-case ASCII.
  std::string nameOrOrdinal() {
    uint16_t first = u16le();
    if (first == 0) return std::string();
    if (first == 0xFFFF) return "#" + std::to_string(u16le());
    std::string s(1, char(std::tolower(first & 0x7F)));
    for (uint16_t c = u16le(); ok_ && c != 0; c = u16le()) s.push_back(char(std::tolower(c & 0x7F)));
    return s;
  }

 private:
  bool Take(size_t n) {
    if (!ok_ || data_.size() - pos_ < n) {
      ok_ = false;
      return false;
    }
    pos_ += n;
    return true;
  }

  const Bytes &data_;
  size_t pos_;
  bool ok_ = true;
};

// A string list: 16-bit little-endian count, then length-prefixed strings
// filling the resource exactly.
bool ParseStringList(const Bytes &data, std::vector<std::string> *out) {
  Reader r(data);
  uint16_t count = r.u16le();
  out->clear();
  for (uint16_t i = 0; i < count && r.ok(); ++i) {
    uint8_t length = r.u8();
    std::string s;
    for (uint8_t k = 0; k < length; ++k) s.push_back(char(r.u8()));
    out->push_back(s);
  }
  return r.ok() && r.atEnd();
}

struct Control {
  unsigned id;
  uint32_t style;
  std::string className;  // lower case; ordinals as "#n"
};

struct Dialog {
  uint32_t style = 0;
  std::vector<Control> controls;
};

// Both the plain and the extended dialog template layouts.
bool ParseDialog(const Bytes &data, Dialog *out) {
  Reader r(data);
  bool extended = data.size() >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF;
  uint16_t count;
  if (extended) {
    r.skip(4 + 4 + 4);  // version and signature, help id, extended style
    out->style = r.u32le();
  } else {
    out->style = r.u32le();
    r.skip(4);  // extended style
  }
  count = r.u16le();
  r.skip(8);  // x, y, cx, cy
  r.nameOrOrdinal();
  r.nameOrOrdinal();
  r.nameOrOrdinal();
  if (out->style & DS_SETFONT) {  // also set by DS_SHELLFONT
    r.skip(extended ? 6 : 2);  // point size (weight, italic, charset)
    r.nameOrOrdinal();
  }
  for (uint16_t i = 0; i < count && r.ok(); ++i) {
    r.align4();
    Control c;
    if (extended) {
      r.skip(4 + 4);  // help id, extended style
      c.style = r.u32le();
      r.skip(8);
      c.id = r.u32le();
    } else {
      c.style = r.u32le();
      r.skip(4 + 8);
      c.id = r.u16le();
    }
    c.className = r.nameOrOrdinal();
    static const char *const kOrdinals[] = {"button", "edit", "static", "listbox", "scrollbar", "combobox"};
    if (c.className.size() > 1 && c.className[0] == '#') {
      unsigned ordinal = unsigned(std::stoul(c.className.substr(1)));
      if (ordinal >= 0x80 && ordinal <= 0x85) c.className = kOrdinals[ordinal - 0x80];
    }
    r.nameOrOrdinal();  // title
    r.skip(r.u16le());  // creation data
    out->controls.push_back(c);
  }
  return r.ok();
}

const Control *FindControl(const Dialog &d, unsigned id) {
  for (const Control &c : d.controls)
    if (c.id == id) return &c;
  return nullptr;
}

// Reads a device-independent bitmap resource (no file header).
struct Dib {
  int width = 0, height = 0;  // height positive, rows stored bottom-up
  int bits = 0;
  std::vector<uint32_t> palette;  // 0xRRGGBB
  size_t pixelOffset = 0;
  size_t rowBytes = 0;

  uint32_t Pixel(const Bytes &data, int x, int y) const {
    size_t row = pixelOffset + size_t(height - 1 - y) * rowBytes;
    switch (bits) {
      case 1: return palette.at((data.at(row + x / 8) >> (7 - x % 8)) & 1);
      case 4: return palette.at((data.at(row + x / 2) >> (x % 2 ? 0 : 4)) & 15);
      case 8: return palette.at(data.at(row + x));
      case 24: {
        size_t p = row + size_t(x) * 3;
        return uint32_t(data.at(p + 2)) << 16 | uint32_t(data.at(p + 1)) << 8 | data.at(p);
      }
    }
    return 0xFFFFFFFF;
  }
};

bool ParseDib(const Bytes &data, Dib *out) {
  Reader r(data);
  uint32_t headerSize = r.u32le();
  out->width = int(int32_t(r.u32le()));
  out->height = int(int32_t(r.u32le()));
  r.skip(2);
  out->bits = r.u16le();
  uint32_t compression = r.u32le();
  r.skip(12);
  uint32_t used = r.u32le();
  if (!r.ok() || headerSize < 40 || compression != BI_RGB || out->width <= 0 || out->height <= 0) return false;
  Reader colours(data, headerSize);
  size_t entries = out->bits <= 8 ? (used ? used : 1u << out->bits) : 0;
  for (size_t i = 0; i < entries; ++i) {
    uint32_t bgr = colours.u32le();
    out->palette.push_back((bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF));
  }
  out->pixelOffset = colours.pos();
  out->rowBytes = (size_t(out->width) * out->bits + 31) / 32 * 4;
  return colours.ok() && out->pixelOffset + out->rowBytes * out->height <= data.size();
}

constexpr uint32_t kMagenta = 0xFF00FF;

class HostResources : public testing::Test {
 protected:
  // Loaded as a data file: the module is only read, never run.
  static void SetUpTestSuite() {
    std::string path = tstools::test::ProgramDirectory() + "TSHOSTRES.DLL";
    module_ = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  static void TearDownTestSuite() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
  }
  void SetUp() override { ASSERT_NE(module_, nullptr) << "TSHOSTRES.DLL must sit beside the test"; }

  static bool Exists(LPCSTR type, LPCSTR name) { return FindResourceA(module_, name, type) != nullptr; }

  // The resource's bytes; a missing resource is a failure and gives nothing.
  static Bytes Load(LPCSTR type, LPCSTR name) {
    HRSRC info = FindResourceA(module_, name, type);
    if (!info) {
      ADD_FAILURE() << "resource missing: type "
                    << (IS_INTRESOURCE(type) ? std::to_string(uintptr_t(type)) : std::string(type)) << ", name "
                    << (IS_INTRESOURCE(name) ? std::to_string(uintptr_t(name)) : std::string(name));
      return Bytes();
    }
    const uint8_t *p = static_cast<const uint8_t *>(LockResource(LoadResource(module_, info)));
    return p ? Bytes(p, p + SizeofResource(module_, info)) : Bytes();
  }
  static Bytes Load(LPCSTR type, unsigned id) { return Load(type, MAKEINTRESOURCEA(id)); }

  static std::string String(unsigned id) {
    char buffer[1024];
    int n = LoadStringA(module_, id, buffer, sizeof buffer);
    return std::string(buffer, n > 0 ? size_t(n) : 0);
  }

  static Dialog LoadDialog(LPCSTR name) {
    Dialog d;
    Bytes data = Load(kDialog, name);
    EXPECT_TRUE(ParseDialog(data, &d)) << "malformed dialog template";
    std::set<unsigned> seen;
    for (const Control &c : d.controls) {
      if (c.id == 0xFFFF || c.id == 0xFFFFFFFF) continue;
      EXPECT_TRUE(seen.insert(c.id).second) << "control id " << c.id << " used twice";
    }
    return d;
  }

  static HMODULE module_;
};

HMODULE HostResources::module_ = nullptr;

// ---- Strings ---------------------------------------------------------------

TEST_F(HostResources, EveryStringIsPresentAndFitsItsBuffer) {
  struct Row {
    unsigned id;
    size_t maxLength;  // what the reader's buffer or the string's use allows
  };
  const Row rows[] = {
      {TSRES_STR_FONT_MENU_SECTION, 255},     {TSRES_STR_BOLD_SIZE_SECTION, 255},
      {TSRES_STR_PREFERENCES_SECTION, 255},   {TSRES_STR_BOLD_SIZE_DEFAULT_KEY, 255},
      {TSRES_STR_HOST_SECTION, 63},           {TSRES_STR_SHORTCUT_PREFIX, 250},
      {TSRES_STR_FILE_REJECTED, 255},         {TSRES_STR_SOUND_ERROR, 255},
      {TSRES_STR_SOUND_UNSUPPORTED, 255},     {TSRES_STR_WAVE_UNSUPPORTED, 255},
      {TSRES_STR_SOUND_DEVICE_BUSY, 255},     {TSRES_STR_SOUND_BAD_FORMAT, 255},
      {TSRES_STR_SOUND_NO_DEVICE, 255},       {TSRES_STR_SOUND_NO_MEMORY, 255},
      {TSRES_STR_FONTDLG_REMOVE, 63},         {TSRES_STR_FONTDLG_ADD, 63},
      {TSRES_STR_FONT_MENU_CHOOSE, 255},      {TSRES_STR_FONT_SAMPLE_PROGRESS, 200},
      {TSRES_STR_FONT_SAMPLES_KEY, 255},      {TSRES_STR_FONT_NO_SAMPLES_KEY, 255},
      {TSRES_STR_FONT_CACHE_LONG_NAME, 200},  {TSRES_STR_FONT_CACHE_SHORT_NAME, 12},
      {TSRES_SFILE_TEMPLATE_OPEN, 255},       {TSRES_SFILE_TEMPLATE_OPEN_OR_CREATE, 255},
      {TSRES_SFILE_TEMPLATE_SAVE, 255},       {TSRES_SFILE_TEMPLATE_EXPORT, 255},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(testing::Message() << "string " << row.id);
    std::string s = String(row.id);
    EXPECT_FALSE(s.empty());
    EXPECT_LE(s.size(), row.maxLength);
  }
}

TEST_F(HostResources, SettingNamesDoNotCollide) {
  // Sections are separate stores, and the two sample keys share the font
  // menu section with face names; any clash would mix unrelated settings.
  std::set<std::string> sections = {String(TSRES_STR_FONT_MENU_SECTION), String(TSRES_STR_BOLD_SIZE_SECTION),
                                    String(TSRES_STR_PREFERENCES_SECTION), String(TSRES_STR_HOST_SECTION),
                                    "Vantor"};
  EXPECT_EQ(sections.size(), 5u);
  EXPECT_NE(String(TSRES_STR_FONT_SAMPLES_KEY), String(TSRES_STR_FONT_NO_SAMPLES_KEY));

  // The short cache name must be a valid 8.3 name.
  std::string shortName = String(TSRES_STR_FONT_CACHE_SHORT_NAME);
  size_t dot = shortName.find('.');
  EXPECT_LE(dot == std::string::npos ? shortName.size() : dot, 8u);
  if (dot != std::string::npos) {
    EXPECT_LE(shortName.size() - dot - 1, 3u);
  }
  EXPECT_EQ(shortName.find_first_of(" \\/:*?\"<>|"), std::string::npos);
}

TEST_F(HostResources, StringListParsesToItsCount) {
  std::vector<std::string> strings;
  ASSERT_TRUE(ParseStringList(Load("STR_LIST", TSRES_STR_LIST_MESSAGES), &strings));
  ASSERT_FALSE(strings.empty());
  for (const std::string &s : strings) EXPECT_FALSE(s.empty());
}

// ---- Menus -----------------------------------------------------------------

TEST_F(HostResources, MacMenusAgreeWithTheirStringLists) {
  std::set<uint16_t> commandKeys;  // across the menu bar
  for (unsigned id : {TSRES_MENU_FILE, TSRES_MENU_EDIT}) {
    SCOPED_TRACE(testing::Message() << "menu " << id);
    Bytes menu = Load("MAC_MENU", id);
    Reader r(menu);
    uint16_t menuId = r.u16le();
    uint32_t enableMask = r.u32le();
    uint16_t menuEnabled = r.u16le();
    uint16_t count = r.u16le();
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(menuId, id);
    EXPECT_NE(menuEnabled, 0);
    ASSERT_EQ(menu.size(), 10u + 6u * count);
    ASSERT_GE(count, 1);
    ASSERT_LE(count, 32);  // the enable mask covers 32 items

    std::vector<std::string> strings;
    ASSERT_TRUE(ParseStringList(Load("MENU_STR_", id), &strings));
    ASSERT_GE(strings.size(), 2u * count + 1);
    EXPECT_FALSE(strings[0].empty()) << "title";

    for (unsigned n = 1; n <= count; ++n) {
      SCOPED_TRACE(testing::Message() << "item " << n);
      uint16_t command = r.u16le();
      uint16_t mark = r.u16le();
      r.skip(2);
      const std::string &text = strings[2 * n - 1];
      const std::string &shortcut = strings[2 * n];
      bool enabled = (enableMask >> (n - 1)) & 1;
      EXPECT_EQ(mark, 0);
      if (text.compare(0, 2, "(-") == 0) {
        EXPECT_EQ(command, 0) << "separator with a command key";
        EXPECT_FALSE(enabled) << "enabled separator";
        continue;
      }
      EXPECT_FALSE(text.empty());
      EXPECT_TRUE(enabled);
      if (command != 0) {
        EXPECT_TRUE(command >= 'A' && command <= 'Z') << "command " << command;
        EXPECT_TRUE(commandKeys.insert(command).second) << "command key " << char(command) << " used twice";
        ASSERT_FALSE(shortcut.empty());
        EXPECT_EQ(shortcut.back(), char(command));
      }
    }
    EXPECT_TRUE(r.ok() && r.atEnd());
  }
}

// ---- Patterns, case and quote tables --------------------------------------

TEST_F(HostResources, PatternListHoldsWholePatterns) {
  Bytes list = Load(kRcData, TSRES_PAT_LIST_SAMPLE_NAME);
  Reader r(list);
  uint16_t count = r.u16le();
  ASSERT_TRUE(r.ok());
  EXPECT_GE(count, 1);
  EXPECT_EQ(list.size(), 2u + 8u * count);
}

TEST_F(HostResources, CaseTablesAreInverseForLetters) {
  Bytes lower = Load("CONV", TSRES_CONV_LOWER);
  Bytes upper = Load("CONV", TSRES_CONV_UPPER);
  ASSERT_EQ(lower.size(), 256u);
  ASSERT_EQ(upper.size(), 256u);
  for (unsigned c = 0; c < 256; ++c) {
    SCOPED_TRACE(testing::Message() << "byte 0x" << std::hex << c);
    // An entry is a letter in that case: its own entry is itself.
    if (lower[c]) {
      EXPECT_EQ(lower[lower[c]], lower[c]);
    }
    if (upper[c]) {
      EXPECT_EQ(upper[upper[c]], upper[c]);
    }
    // A letter with both forms maps back and forth.
    if (lower[c] && upper[c]) {
      EXPECT_EQ(upper[lower[c]], upper[c]);
      EXPECT_EQ(lower[upper[c]], lower[c]);
      EXPECT_TRUE(lower[c] == c || upper[c] == c);
    }
  }
  for (unsigned c = 'a'; c <= 'z'; ++c) {
    EXPECT_EQ(lower[c], c);
    EXPECT_EQ(upper[c], c - 32);
    EXPECT_EQ(lower[c - 32], c);
  }
  for (unsigned c : {0x00u, 0x20u, 0x30u, 0x2Eu, 0xCAu}) {
    EXPECT_EQ(lower[c], 0) << c;
    EXPECT_EQ(upper[c], 0) << c;
  }
  // Mac Roman pairs outside ASCII: A/a diaeresis, AE ligature, O/o tilde.
  EXPECT_EQ(lower[0x80], 0x8A);
  EXPECT_EQ(upper[0x8A], 0x80);
  EXPECT_EQ(lower[0xAE], 0xBE);
  EXPECT_EQ(upper[0x9B], 0xCD);
}

TEST_F(HostResources, CharacterTypesSeparateWordsAndAgreeWithCase) {
  Bytes table = Load("CONV", TSRES_CONV_CHAR_TYPE);
  Bytes lower = Load("CONV", TSRES_CONV_LOWER);
  Bytes upper = Load("CONV", TSRES_CONV_UPPER);
  ASSERT_GT(table.size(), 256u);
  ASSERT_EQ(lower.size(), 256u);
  ASSERT_EQ(upper.size(), 256u);
  auto type = [&](unsigned c) { return table.at(256 + table[c]); };
  auto separator = [&](unsigned c) { return (type(c) & 0x0F) == 0 && ((type(c) >> 4) & 7) != 1; };
  for (unsigned c = 0; c < 256; ++c) {
    SCOPED_TRACE(testing::Message() << "byte 0x" << std::hex << c);
    ASSERT_LT(256u + table[c], table.size()) << "type index past the table";
    bool isUpper = upper[c] == c && c != 0;
    bool isLower = lower[c] == c && c != 0;
    if (isUpper || isLower) {
      EXPECT_FALSE(separator(c)) << "letter counted as separator";
    }
    if (isUpper) {
      EXPECT_TRUE(type(c) & 0x80) << "upper-case flag missing";
    }
    if (isLower) {
      EXPECT_FALSE(type(c) & 0x80) << "upper-case flag on a lower-case letter";
    }
  }
  for (unsigned c = '0'; c <= '9'; ++c) EXPECT_FALSE(separator(c)) << char(c);
  for (unsigned c : {0x20u, 0x09u, 0x0Du, 0xCAu, unsigned('.'), unsigned(',')}) EXPECT_TRUE(separator(c)) << c;
}

TEST_F(HostResources, SmartQuotesPairStraightWithCurly) {
  Bytes quotes = Load("SMQT", TSRES_SMQT_QUOTES);
  ASSERT_GE(quotes.size(), 6u);
  EXPECT_EQ(quotes[0], 0x27);
  EXPECT_EQ(quotes[3], 0x22);
  std::set<uint8_t> distinct(quotes.begin(), quotes.begin() + 6);
  EXPECT_EQ(distinct.size(), 6u);
}

// ---- Picture ---------------------------------------------------------------

TEST_F(HostResources, PictureIsAWellFormedVersion2Picture) {
  Bytes pict = Load("PICT", TSRES_PICT_SAMPLE);
  Reader r(pict);
  uint16_t sizeWord = r.u16be();
  int16_t top = int16_t(r.u16be()), left = int16_t(r.u16be());
  int16_t bottom = int16_t(r.u16be()), right = int16_t(r.u16be());
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(sizeWord, pict.size() & 0xFFFF);
  EXPECT_LT(top, bottom);
  EXPECT_LT(left, right);
  ASSERT_EQ(r.u16be(), 0x0011);
  ASSERT_EQ(r.u16be(), 0x02FF);
  ASSERT_EQ(r.u16be(), 0x0C00) << "version 2 pictures start with a header opcode";
  r.skip(24);

  // Walk the opcodes the picture uses; unknown ones are a failure here so
  // that any new opcode gets its length listed.
  bool ended = false;
  while (r.ok() && !ended) {
    ASSERT_EQ(r.pos() % 2, 0u) << "opcode on an odd offset";
    uint16_t op = r.u16be();
    switch (op) {
      case 0x0000: case 0x001E: break;                      // no-op, default highlight
      case 0x0001: r.skip(r.u16be() - 2); break;            // clip region, size includes itself
      case 0x0007: r.skip(4); break;                        // pen size
      case 0x0009: case 0x000A: r.skip(8); break;           // pen and fill pattern
      case 0x001A: case 0x001B: r.skip(6); break;           // RGB colours
      case 0x0020: r.skip(8); break;                        // line
      case 0x0030: case 0x0031: case 0x0032: case 0x0033: case 0x0034: r.skip(8); break;
      case 0x00FF: ended = true; break;
      default: FAIL() << "unexpected opcode 0x" << std::hex << op << " at " << std::dec << r.pos() - 2;
    }
  }
  EXPECT_TRUE(ended);
  EXPECT_TRUE(r.ok() && r.atEnd()) << "end opcode must be the last thing in the picture";
}

// ---- Profile template and filter lists ------------------------------------

TEST_F(HostResources, ProfileTemplateIsZeroTerminatedIniText) {
  Bytes text = Load("TEMPLATE", TSRES_TEMPLATE_PROFILE);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), 0);
  std::string s(text.begin(), text.end() - 1);
  EXPECT_EQ(s.find('\0'), std::string::npos);
  // Every line is blank, a comment, a section header or a key=value pair.
  size_t start = 0;
  while (start < s.size()) {
    size_t end = s.find("\r\n", start);
    ASSERT_NE(end, std::string::npos) << "lines end with CR LF";
    std::string line = s.substr(start, end - start);
    bool ok = line.empty() || line[0] == ';' || (line[0] == '[' && line.back() == ']') ||
              line.find('=') != std::string::npos;
    EXPECT_TRUE(ok) << line;
    start = end + 2;
  }
}

TEST_F(HostResources, FilterListsArePairsEndedByAnEmptyString) {
  for (unsigned id : {TSRES_FILTER_TEXT, TSRES_FILTER_PICTURES}) {
    SCOPED_TRACE(testing::Message() << "filter list " << id);
    Bytes list = Load("FILTER_LIST", id);
    Reader r(list);
    std::vector<std::string> strings;
    for (std::string s = r.cstring(); r.ok() && !s.empty(); s = r.cstring()) strings.push_back(s);
    ASSERT_TRUE(r.ok()) << "list runs past the resource without its empty string";
    EXPECT_TRUE(r.atEnd()) << "bytes after the final empty string";
    ASSERT_FALSE(strings.empty());
    ASSERT_EQ(strings.size() % 2, 0u) << "description without a pattern";
    for (size_t i = 0; i < strings.size(); i += 2) {
      // The description's text before "(" names the filter in menus.
      EXPECT_GT(strings[i].find(" ("), 0u) << strings[i];
      EXPECT_NE(strings[i].find(" ("), std::string::npos) << strings[i];
      const std::string &pattern = strings[i + 1];
      EXPECT_EQ(pattern.compare(0, 2, "*."), 0) << pattern;
      std::string extension = pattern.substr(2, pattern.find(';') - 2);
      EXPECT_TRUE(extension == "*" || extension.size() <= 4) << pattern;
    }
  }
}

// ---- Dialogs ---------------------------------------------------------------

TEST_F(HostResources, FontMenuDialogHasTheControlsItsProcedureUses) {
  Dialog d = LoadDialog(TSRES_DLG_FONT_MENU_NAME);
  EXPECT_TRUE(d.style & WS_POPUP);
  for (unsigned id : {TSRES_FONTDLG_ALL_LIST, TSRES_FONTDLG_CHOSEN_LIST, TSRES_FONTDLG_CHOSEN_TWIN}) {
    SCOPED_TRACE(testing::Message() << "list " << id);
    const Control *list = FindControl(d, id);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->className, "listbox");
    EXPECT_TRUE(list->style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) << "faces are drawn as samples";
    EXPECT_EQ(bool(list->style & WS_VISIBLE), id != TSRES_FONTDLG_CHOSEN_TWIN);
  }
  const Control *samples = FindControl(d, TSRES_FONTDLG_SAMPLES_CHECK);
  ASSERT_NE(samples, nullptr);
  EXPECT_EQ(samples->className, "button");
  EXPECT_TRUE((samples->style & 0x0F) == BS_AUTOCHECKBOX || (samples->style & 0x0F) == BS_CHECKBOX);
  for (unsigned id : {unsigned(TSRES_FONTDLG_MOVE), unsigned(IDOK), unsigned(IDCANCEL)}) {
    const Control *button = FindControl(d, id);
    ASSERT_NE(button, nullptr) << id;
    EXPECT_EQ(button->className, "button") << id;
  }
}

TEST_F(HostResources, RecordDialogHasTheControlsItsProcedureUses) {
  Dialog d = LoadDialog(TSRES_DLG_RECORD_NAME);
  EXPECT_TRUE(d.style & WS_POPUP);
  for (unsigned id : {unsigned(IDOK), unsigned(IDCANCEL), unsigned(TSRES_RECDLG_RECORD), unsigned(TSRES_RECDLG_STOP),
                      unsigned(TSRES_RECDLG_PAUSE), unsigned(TSRES_RECDLG_PLAY)}) {
    const Control *button = FindControl(d, id);
    ASSERT_NE(button, nullptr) << id;
    EXPECT_EQ(button->className, "button") << id;
  }
  for (unsigned id : {TSRES_RECDLG_ELAPSED, TSRES_RECDLG_MAXIMUM, TSRES_RECDLG_LEVEL}) {
    const Control *text = FindControl(d, id);
    ASSERT_NE(text, nullptr) << id;
    EXPECT_EQ(text->className, "static") << id;
  }
  const Control *progress = FindControl(d, TSRES_RECDLG_PROGRESS);
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(progress->className, "msctls_progress32");
}

TEST_F(HostResources, StandardFileTemplatesAreExplorerChildTemplates) {
  for (unsigned id : {TSRES_DLG_SFILE_DEFAULT, TSRES_DLG_SFILE_OPEN, TSRES_DLG_SFILE_SAVE, TSRES_DLG_SFILE_EXPORT}) {
    SCOPED_TRACE(testing::Message() << "template " << id);
    Dialog d = LoadDialog(MAKEINTRESOURCEA(id));
    EXPECT_TRUE(d.style & WS_CHILD);
    EXPECT_TRUE(d.style & DS_CONTROL);
    EXPECT_FALSE(d.style & WS_POPUP);
    EXPECT_NE(FindControl(d, stc32), nullptr) << "placeholder of the common controls";
  }
}

// ---- Bitmaps, icon, cursor -------------------------------------------------

TEST_F(HostResources, ImageStripsHoldWholeImagesOnMagenta) {
  struct Row {
    unsigned id;
    int imageWidth, imageHeight, images;
  };
  const Row rows[] = {
      {TSRES_BMP_RECORD_BUTTONS, TSRES_BMP_RECORD_BUTTONS_WIDTH, 22, 4},
      {TSRES_BMP_LEVEL_METER, TSRES_BMP_LEVEL_METER_WIDTH, 18, 5},
      {TSRES_BMP_CHECK_IMAGES, TSRES_BMP_CHECK_IMAGES_WIDTH, 14, 10},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(testing::Message() << "bitmap " << row.id);
    Bytes data = Load(kBitmap, row.id);
    Dib dib;
    ASSERT_TRUE(ParseDib(data, &dib));
    EXPECT_EQ(dib.width, row.imageWidth * row.images);
    EXPECT_EQ(dib.height, row.imageHeight);
  }

  // Buttons and meter steps are drawn on the transparent colour.
  for (unsigned id : {TSRES_BMP_RECORD_BUTTONS, TSRES_BMP_LEVEL_METER}) {
    Bytes data = Load(kBitmap, id);
    Dib dib;
    ASSERT_TRUE(ParseDib(data, &dib));
    EXPECT_EQ(dib.Pixel(data, 0, 0), kMagenta) << id;
  }
}

TEST_F(HostResources, CheckImagesDifferForEveryState) {
  Bytes data = Load(kBitmap, TSRES_BMP_CHECK_IMAGES);
  Dib dib;
  ASSERT_TRUE(ParseDib(data, &dib));
  const int w = TSRES_BMP_CHECK_IMAGES_WIDTH;
  ASSERT_GE(dib.width, w * 2 * TSRES_BMP_CHECK_RADIO_FIRST);
  auto image = [&](int index) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < dib.height; ++y)
      for (int x = 0; x < w; ++x) pixels.push_back(dib.Pixel(data, index * w + x, y));
    return pixels;
  };
  // Normal, checked, pushed, pushed and checked, inactive: a state that
  // looked like another would be invisible to the user.
  for (int first : {0, TSRES_BMP_CHECK_RADIO_FIRST}) {
    for (int a = first; a < first + 5; ++a)
      for (int b = a + 1; b < first + 5; ++b) EXPECT_NE(image(a), image(b)) << "images " << a << " and " << b;
  }
  // A radio button is round: its corners are transparent, a box's are not.
  EXPECT_EQ(dib.Pixel(data, TSRES_BMP_CHECK_RADIO_FIRST * w, 0), kMagenta);
  EXPECT_NE(dib.Pixel(data, 0, 0), kMagenta);
}

TEST_F(HostResources, IconAndCursorCanBeCreated) {
  struct Row {
    LPCSTR group, single;
    BOOL icon;
  };
  for (const Row &row : {Row{kGroupIcon, kIcon, TRUE}, Row{kGroupCursor, kCursor, FALSE}}) {
    SCOPED_TRACE(row.icon ? "icon" : "cursor");
    unsigned id = row.icon ? TSRES_ICON_HOST : TSRES_CURSOR_TARGET;
    Bytes group = Load(row.group, id);
    ASSERT_GE(group.size(), 6u + 14u);
    int image = LookupIconIdFromDirectoryEx(group.data(), row.icon, 32, 32, LR_DEFAULTCOLOR);
    ASSERT_NE(image, 0);
    Bytes bits = Load(row.single, unsigned(image));
    ASSERT_FALSE(bits.empty());
    if (!row.icon) {
      Reader r(bits);
      uint16_t hotX = r.u16le(), hotY = r.u16le();
      EXPECT_LT(hotX, 32);
      EXPECT_LT(hotY, 32);
    }
    HICON handle = CreateIconFromResourceEx(bits.data(), DWORD(bits.size()), row.icon, 0x00030000, 32, 32,
                                            LR_DEFAULTCOLOR);
    ASSERT_NE(handle, nullptr);
    if (row.icon)
      DestroyIcon(handle);
    else
      DestroyCursor(handle);
  }
}

}  // namespace
}  // namespace tstools
