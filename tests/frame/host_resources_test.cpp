// Checks that TSHOSTRES.DLL answers every lookup the library makes in the
// host's resource module, with payloads the library can parse.
#include <gtest/gtest.h>
#include <windows.h>
#include <dlgs.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "frame/byte_reader.h"
#include "picture/pict_player.h"
#include "picture/recording_sink.h"
#include "support/child_process.h"
#include "tstools/host_resource_ids.h"

namespace tstools {
namespace {

using Bytes = std::vector<uint8_t>;

// Standard resource types, spelled for the ANSI calls whatever UNICODE says.
const LPCSTR kCursor = MAKEINTRESOURCEA(1);
const LPCSTR kIcon = MAKEINTRESOURCEA(3);
const LPCSTR kDialog = MAKEINTRESOURCEA(5);
const LPCSTR kRcData = MAKEINTRESOURCEA(10);
const LPCSTR kGroupCursor = MAKEINTRESOURCEA(12);
const LPCSTR kGroupIcon = MAKEINTRESOURCEA(14);
constexpr uint32_t kMagenta = 0xFF00FF;

ByteReader Over(const Bytes &data) { return ByteReader(data.data(), data.size()); }

// A NUL-terminated byte string.
std::string CString(ByteReader &r) {
  std::string s;
  for (uint8_t c = r.U8(); !r.Failed() && c != 0; c = r.U8()) s.push_back(char(c));
  return s;
}

// A string list: 16-bit little-endian count, then length-prefixed strings
// filling the resource exactly.
bool ParseStringList(const Bytes &data, std::vector<std::string> *out) {
  ByteReader r = Over(data);
  uint16_t count = r.U16LE();
  out->clear();
  for (uint16_t i = 0; i < count && !r.Failed(); ++i) out->emplace_back(r.PascalString());
  return !r.Failed() && r.AtEnd();
}

// A bitmap resource as 0xRRGGBB pixels, top row first.
struct Image {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels.at(size_t(y) * width + x); }
};

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

  // Through the system's own bitmap loader, so a malformed bitmap fails here.
  static Image LoadImagePixels(unsigned id) {
    Image image;
    HBITMAP bitmap =
        static_cast<HBITMAP>(LoadImageA(module_, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP info;
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) {
      ADD_FAILURE() << "bitmap " << id << " does not load";
      return image;
    }
    image.width = info.bmWidth;
    image.height = info.bmHeight;
    image.pixels.resize(size_t(info.bmWidth) * info.bmHeight);
    BITMAPINFO want = {};
    want.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = GetDC(nullptr);
    EXPECT_EQ(GetDIBits(dc, bitmap, 0, UINT(info.bmHeight), image.pixels.data(), &want, DIB_RGB_COLORS),
              info.bmHeight);
    ReleaseDC(nullptr, dc);
    DeleteObject(bitmap);
    for (uint32_t &p : image.pixels) p &= 0xFFFFFF;
    return image;
  }

  static HMODULE module_;
};

HMODULE HostResources::module_ = nullptr;

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
    std::string s = String(row.id);
    EXPECT_FALSE(s.empty()) << "string " << row.id;
    EXPECT_LE(s.size(), row.maxLength) << "string " << row.id;
  }

  // Sections are separate stores, and the two sample keys share the font
  // menu section with face names; any clash would mix unrelated settings.
  std::set<std::string> sections = {String(TSRES_STR_FONT_MENU_SECTION), String(TSRES_STR_BOLD_SIZE_SECTION),
                                    String(TSRES_STR_PREFERENCES_SECTION), String(TSRES_STR_HOST_SECTION),
                                    "Vantor"};
  EXPECT_EQ(sections.size(), 5u);
  EXPECT_NE(String(TSRES_STR_FONT_SAMPLES_KEY), String(TSRES_STR_FONT_NO_SAMPLES_KEY));
  // The short cache name must be a valid 8.3 name.
  std::string shortName = String(TSRES_STR_FONT_CACHE_SHORT_NAME);
  size_t dot = std::min(shortName.find('.'), shortName.size());
  EXPECT_LE(dot, 8u);
  EXPECT_LE(shortName.size() - dot, 4u);
  EXPECT_EQ(shortName.find_first_of(" \\/:*?\"<>|"), std::string::npos);

  std::vector<std::string> messages;
  ASSERT_TRUE(ParseStringList(Load("STR_LIST", TSRES_STR_LIST_MESSAGES), &messages));
  ASSERT_FALSE(messages.empty());
  for (const std::string &s : messages) EXPECT_FALSE(s.empty());
}

TEST_F(HostResources, MacMenusAgreeWithTheirStringLists) {
  std::set<uint16_t> commandKeys;  // across the menu bar
  for (unsigned id : {TSRES_MENU_FILE, TSRES_MENU_EDIT}) {
    SCOPED_TRACE(testing::Message() << "menu " << id);
    Bytes menu = Load("MAC_MENU", id);
    ByteReader r = Over(menu);
    EXPECT_EQ(r.U16LE(), id);
    uint32_t enableMask = r.U32LE();
    EXPECT_NE(r.U16LE(), 0) << "menu enabled";
    uint16_t count = r.U16LE();
    ASSERT_FALSE(r.Failed());
    ASSERT_EQ(menu.size(), 10u + 6u * count);
    ASSERT_TRUE(count >= 1 && count <= 32) << "the enable mask covers 32 items";

    std::vector<std::string> strings;
    ASSERT_TRUE(ParseStringList(Load("MENU_STR_", id), &strings));
    ASSERT_GE(strings.size(), 2u * count + 1);
    EXPECT_FALSE(strings[0].empty()) << "title";

    for (unsigned n = 1; n <= count; ++n) {
      SCOPED_TRACE(testing::Message() << "item " << n);
      uint16_t command = r.U16LE();
      EXPECT_EQ(r.U16LE(), 0) << "mark";
      r.Skip(2);
      const std::string &text = strings[2 * n - 1], &shortcut = strings[2 * n];
      bool enabled = (enableMask >> (n - 1)) & 1;
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
    EXPECT_TRUE(!r.Failed() && r.AtEnd());
  }
}

TEST_F(HostResources, SmallTablesHaveTheirShapes) {
  Bytes patterns = Load(kRcData, TSRES_PAT_LIST_SAMPLE_NAME);
  ASSERT_GE(patterns.size(), 2u);
  EXPECT_GE(patterns[0] | patterns[1] << 8, 1);
  EXPECT_EQ(patterns.size(), 2u + 8u * (patterns[0] | patterns[1] << 8)) << "whole 8-byte patterns";

  // Straight single and double quotes, each with two distinct curly forms.
  Bytes quotes = Load("SMQT", TSRES_SMQT_QUOTES);
  ASSERT_GE(quotes.size(), 6u);
  EXPECT_EQ(quotes[0], 0x27);
  EXPECT_EQ(quotes[3], 0x22);
  EXPECT_EQ(std::set<uint8_t>(quotes.begin(), quotes.begin() + 6).size(), 6u);
}

TEST_F(HostResources, CaseAndCharacterTypeTablesAgree) {
  Bytes lower = Load("CONV", TSRES_CONV_LOWER), upper = Load("CONV", TSRES_CONV_UPPER);
  Bytes table = Load("CONV", TSRES_CONV_CHAR_TYPE);
  ASSERT_EQ(lower.size(), 256u);
  ASSERT_EQ(upper.size(), 256u);
  ASSERT_GT(table.size(), 256u);
  auto type = [&](unsigned c) { return table.at(256 + table[c]); };
  auto separator = [&](unsigned c) { return (type(c) & 0x0F) == 0 && ((type(c) >> 4) & 7) != 1; };
  for (unsigned c = 0; c < 256; ++c) {
    SCOPED_TRACE(testing::Message() << "byte 0x" << std::hex << c);
    ASSERT_LT(256u + table[c], table.size()) << "type index past the table";
    // An entry is a letter in that case: its own entry is itself; a letter
    // with both forms maps back and forth.
    EXPECT_TRUE(!lower[c] || lower[lower[c]] == lower[c]);
    EXPECT_TRUE(!upper[c] || upper[upper[c]] == upper[c]);
    EXPECT_TRUE(!lower[c] || !upper[c] ||
                (upper[lower[c]] == upper[c] && lower[upper[c]] == lower[c] && (lower[c] == c || upper[c] == c)));
    bool isUpper = upper[c] == c && c != 0, isLower = lower[c] == c && c != 0;
    EXPECT_TRUE(!(isUpper || isLower) || !separator(c)) << "letter counted as separator";
    EXPECT_TRUE(!(isUpper || isLower) || bool(type(c) & 0x80) == isUpper) << "upper-case flag";
  }
  for (unsigned c = 'a'; c <= 'z'; ++c) {
    EXPECT_EQ(lower[c - 32], c);
    EXPECT_EQ(upper[c], c - 32);
  }
  // Mac Roman pairs outside ASCII: A/a diaeresis, O/o tilde.
  EXPECT_EQ(lower[0x80], 0x8A);
  EXPECT_EQ(upper[0x9B], 0xCD);
  for (unsigned c : {0x00u, 0x20u, 0x30u, 0x2Eu, 0xCAu}) EXPECT_EQ(lower[c] | upper[c], 0) << c;
  for (unsigned c = '0'; c <= '9'; ++c) EXPECT_FALSE(separator(c)) << char(c);
  for (unsigned c : {0x20u, 0x09u, 0x0Du, 0xCAu, unsigned('.'), unsigned(',')}) EXPECT_TRUE(separator(c)) << c;
}

// Played by the library's own reader: it must reach the end opcode exactly at the end.
TEST_F(HostResources, PictureIsAWellFormedVersion2Picture) {
  Bytes pict = Load("PICT", TSRES_PICT_SAMPLE);
  ASSERT_GE(pict.size(), 16u);
  EXPECT_EQ(pict[0] << 8 | pict[1], int(pict.size() & 0xFFFF)) << "size word";
  EXPECT_EQ(Bytes(pict.begin() + 10, pict.begin() + 16), (Bytes{0x00, 0x11, 0x02, 0xFF, 0x0C, 0x00}))
      << "version 2 pictures start with a header opcode";
  pict::test::RecordingSink sink;
  pict::PlayResult played = pict::PlayPicture(pict.data(), pict.size(), nullptr, sink, pict::PictRect{0, 0, 64, 64});
  EXPECT_EQ(played.outcome, pict::PlayOutcome::kEnded);
  EXPECT_EQ(played.bytesRead, pict.size()) << "end opcode must be the last thing in the picture";
  EXPECT_FALSE(sink.calls.empty());
}

TEST_F(HostResources, ProfileTemplateIsZeroTerminatedIniText) {
  Bytes text = Load("TEMPLATE", TSRES_TEMPLATE_PROFILE);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), 0);
  std::string s(text.begin(), text.end() - 1);
  EXPECT_EQ(s.find('\0'), std::string::npos);
  // Every line is blank, a comment, a section header or a key=value pair.
  for (size_t start = 0, end; start < s.size(); start = end + 2) {
    end = s.find("\r\n", start);
    ASSERT_NE(end, std::string::npos) << "lines end with CR LF";
    std::string line = s.substr(start, end - start);
    EXPECT_TRUE(line.empty() || line[0] == ';' || (line[0] == '[' && line.back() == ']') ||
                line.find('=') != std::string::npos)
        << line;
  }
}

TEST_F(HostResources, FilterListsArePairsEndedByAnEmptyString) {
  for (unsigned id : {TSRES_FILTER_TEXT, TSRES_FILTER_PICTURES}) {
    SCOPED_TRACE(testing::Message() << "filter list " << id);
    Bytes list = Load("FILTER_LIST", id);
    ByteReader r = Over(list);
    std::vector<std::string> strings;
    for (std::string s = CString(r); !r.Failed() && !s.empty(); s = CString(r)) strings.push_back(s);
    ASSERT_FALSE(r.Failed()) << "list runs past the resource without its empty string";
    EXPECT_TRUE(r.AtEnd()) << "bytes after the final empty string";
    ASSERT_FALSE(strings.empty());
    ASSERT_EQ(strings.size() % 2, 0u) << "description without a pattern";
    for (size_t i = 0; i < strings.size(); i += 2) {
      // The description's text before " (" names the filter in menus.
      size_t paren = strings[i].find(" (");
      EXPECT_TRUE(paren != std::string::npos && paren > 0) << strings[i];
      const std::string &pattern = strings[i + 1];
      EXPECT_EQ(pattern.compare(0, 2, "*."), 0) << pattern;
      std::string extension = pattern.substr(2, pattern.find(';') - 2);
      EXPECT_TRUE(extension == "*" || extension.size() <= 4) << pattern;
    }
  }
}

// Each template made into a dialog without a procedure: the controls the procedures use
// must exist with the right class, and no id may be used twice.
TEST_F(HostResources, DialogsHaveTheControlsTheirProceduresUse) {
  struct Wanted {
    unsigned id;
    const char *className;
  };
  struct Row {
    LPCSTR name;
    std::vector<Wanted> controls;
  };
  const Row rows[] = {
      {TSRES_DLG_FONT_MENU_NAME,
       {{TSRES_FONTDLG_ALL_LIST, "listbox"}, {TSRES_FONTDLG_CHOSEN_LIST, "listbox"},
        {TSRES_FONTDLG_CHOSEN_TWIN, "listbox"}, {TSRES_FONTDLG_SAMPLES_CHECK, "button"},
        {TSRES_FONTDLG_MOVE, "button"}, {IDOK, "button"}, {IDCANCEL, "button"}}},
      {TSRES_DLG_RECORD_NAME,
       {{IDOK, "button"}, {IDCANCEL, "button"}, {TSRES_RECDLG_RECORD, "button"}, {TSRES_RECDLG_STOP, "button"},
        {TSRES_RECDLG_PAUSE, "button"}, {TSRES_RECDLG_PLAY, "button"}, {TSRES_RECDLG_ELAPSED, "static"},
        {TSRES_RECDLG_MAXIMUM, "static"}, {TSRES_RECDLG_LEVEL, "static"},
        {TSRES_RECDLG_PROGRESS, "msctls_progress32"}}},
      // Standard File templates are children of the common dialog, around its placeholder.
      {MAKEINTRESOURCEA(TSRES_DLG_SFILE_DEFAULT), {{stc32, "static"}}},
      {MAKEINTRESOURCEA(TSRES_DLG_SFILE_OPEN), {{stc32, "static"}}},
      {MAKEINTRESOURCEA(TSRES_DLG_SFILE_SAVE), {{stc32, "static"}}},
      {MAKEINTRESOURCEA(TSRES_DLG_SFILE_EXPORT), {{stc32, "static"}}},
  };
  HWND parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  for (const Row &row : rows) {
    SCOPED_TRACE(IS_INTRESOURCE(row.name) ? std::to_string(uintptr_t(row.name)) : std::string(row.name));
    Bytes data = Load(kDialog, row.name);
    ASSERT_GE(data.size(), sizeof(DLGTEMPLATE));
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                             reinterpret_cast<const DLGTEMPLATE *>(data.data()), parent, nullptr, 0);
    ASSERT_NE(dialog, nullptr) << "the template does not make a dialog";
    EXPECT_EQ(bool(GetWindowLongA(dialog, GWL_STYLE) & WS_CHILD), IS_INTRESOURCE(row.name) != 0);
    std::set<int> ids;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      int id = GetDlgCtrlID(c);
      EXPECT_TRUE(id == 0xFFFF || ids.insert(id).second) << "control id " << id << " used twice";
    }
    for (const Wanted &w : row.controls) {
      char name[64] = {};
      if (HWND control = GetDlgItem(dialog, int(w.id))) GetClassNameA(control, name, sizeof name);
      EXPECT_EQ(std::string(CharLowerA(name)), w.className) << "control " << w.id;
    }
    if (&row == &rows[0]) {  // the font menu dialog
      for (unsigned id : {TSRES_FONTDLG_ALL_LIST, TSRES_FONTDLG_CHOSEN_LIST, TSRES_FONTDLG_CHOSEN_TWIN}) {
        LONG style = GetWindowLongA(GetDlgItem(dialog, int(id)), GWL_STYLE);
        EXPECT_TRUE(style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) << "faces are drawn as samples";
        EXPECT_EQ(bool(style & WS_VISIBLE), id != TSRES_FONTDLG_CHOSEN_TWIN) << id;
      }
      LONG check = GetWindowLongA(GetDlgItem(dialog, TSRES_FONTDLG_SAMPLES_CHECK), GWL_STYLE) & 0x0F;
      EXPECT_TRUE(check == BS_AUTOCHECKBOX || check == BS_CHECKBOX);
    }
    DestroyWindow(dialog);
  }
  DestroyWindow(parent);
}

TEST_F(HostResources, ImageStripsHoldWholeDistinctImagesOnMagenta) {
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
    Image image = LoadImagePixels(row.id);
    EXPECT_EQ(image.width, row.imageWidth * row.images) << row.id;
    EXPECT_EQ(image.height, row.imageHeight) << row.id;
  }
  // Buttons and meter steps are drawn on the transparent colour.
  EXPECT_EQ(LoadImagePixels(TSRES_BMP_RECORD_BUTTONS).At(0, 0), kMagenta);
  EXPECT_EQ(LoadImagePixels(TSRES_BMP_LEVEL_METER).At(0, 0), kMagenta);

  Image checks = LoadImagePixels(TSRES_BMP_CHECK_IMAGES);
  const int w = TSRES_BMP_CHECK_IMAGES_WIDTH;
  ASSERT_GE(checks.width, w * 2 * TSRES_BMP_CHECK_RADIO_FIRST);
  auto image = [&](int index) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < checks.height; ++y)
      for (int x = 0; x < w; ++x) pixels.push_back(checks.At(index * w + x, y));
    return pixels;
  };
  // Normal, checked, pushed, pushed and checked, inactive: a state that
  // looked like another would be invisible to the user.
  for (int first : {0, TSRES_BMP_CHECK_RADIO_FIRST})
    for (int a = first; a < first + 5; ++a)
      for (int b = a + 1; b < first + 5; ++b) EXPECT_NE(image(a), image(b)) << "images " << a << " and " << b;
  // A radio button is round: its corners are transparent, a box's are not.
  EXPECT_EQ(checks.At(TSRES_BMP_CHECK_RADIO_FIRST * w, 0), kMagenta);
  EXPECT_NE(checks.At(0, 0), kMagenta);
}

TEST_F(HostResources, IconAndCursorCanBeCreated) {
  for (BOOL icon : {TRUE, FALSE}) {
    SCOPED_TRACE(icon ? "icon" : "cursor");
    Bytes group = Load(icon ? kGroupIcon : kGroupCursor, icon ? TSRES_ICON_HOST : TSRES_CURSOR_TARGET);
    ASSERT_GE(group.size(), 6u + 14u);
    int image = LookupIconIdFromDirectoryEx(group.data(), icon, 32, 32, LR_DEFAULTCOLOR);
    ASSERT_NE(image, 0);
    Bytes bits = Load(icon ? kIcon : kCursor, unsigned(image));
    ASSERT_GE(bits.size(), 4u);
    if (!icon) {
      EXPECT_LT(bits[0] | bits[1] << 8, 32) << "hot spot x";
      EXPECT_LT(bits[2] | bits[3] << 8, 32) << "hot spot y";
    }
    HICON handle = CreateIconFromResourceEx(bits.data(), DWORD(bits.size()), icon, 0x00030000, 32, 32, LR_DEFAULTCOLOR);
    ASSERT_NE(handle, nullptr);
    icon ? DestroyIcon(handle) : DestroyCursor(handle);
  }
}

}  // namespace
}  // namespace tstools
