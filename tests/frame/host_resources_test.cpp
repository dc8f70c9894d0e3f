// The wiring of TSHOSTRES.DLL, the host resource module: every resource the library or a
// host looks up is found by its identifier, and its payload has the shape its reader expects.
// What the payloads say is hostres/gen_hostres.py's business.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
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

// A 16-bit little-endian count of length-prefixed strings that fill the resource exactly.
bool IsStringList(const Bytes &b) {
  ByteReader r(b.data(), b.size());
  for (unsigned n = r.U16LE(); n > 0 && !r.Failed(); --n) r.PascalString();
  return !r.Failed() && r.AtEnd();
}

// The library's own picture reader reaches the end opcode exactly at the end.
bool IsPicture(const Bytes &b) {
  pict::test::RecordingSink sink;
  pict::PlayResult played = pict::PlayPicture(b.data(), b.size(), nullptr, sink, pict::PictRect{0, 0, 64, 64});
  return played.outcome == pict::PlayOutcome::kEnded && played.bytesRead == b.size() && !sink.calls.empty();
}

TEST(HostResources, EveryKindIsFoundByItsIdentifierWithItsShape) {
  HMODULE module = LoadLibraryExA((test::ProgramDirectory() + "TSHOSTRES.DLL").c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr) << "TSHOSTRES.DLL must sit beside the test";
  auto load = [&](LPCSTR type, LPCSTR name) {
    HRSRC info = FindResourceA(module, name, type);
    const uint8_t *p = info ? static_cast<const uint8_t *>(LockResource(LoadResource(module, info))) : nullptr;
    return p ? Bytes(p, p + SizeofResource(module, info)) : Bytes();
  };
  auto id = [](unsigned n) { return MAKEINTRESOURCEA(n); };

  for (unsigned n : {TSRES_STR_FONT_MENU_SECTION, TSRES_STR_BOLD_SIZE_SECTION, TSRES_STR_PREFERENCES_SECTION,
                     TSRES_STR_BOLD_SIZE_DEFAULT_KEY, TSRES_STR_HOST_SECTION, TSRES_STR_SHORTCUT_PREFIX,
                     TSRES_STR_FILE_REJECTED, TSRES_STR_SOUND_ERROR, TSRES_STR_SOUND_UNSUPPORTED,
                     TSRES_STR_WAVE_UNSUPPORTED, TSRES_STR_SOUND_DEVICE_BUSY, TSRES_STR_SOUND_BAD_FORMAT,
                     TSRES_STR_SOUND_NO_DEVICE, TSRES_STR_SOUND_NO_MEMORY, TSRES_STR_FONTDLG_REMOVE,
                     TSRES_STR_FONTDLG_ADD, TSRES_STR_FONT_MENU_CHOOSE, TSRES_STR_FONT_SAMPLE_PROGRESS,
                     TSRES_STR_FONT_SAMPLES_KEY, TSRES_STR_FONT_NO_SAMPLES_KEY, TSRES_STR_FONT_CACHE_LONG_NAME,
                     TSRES_STR_FONT_CACHE_SHORT_NAME, TSRES_SFILE_TEMPLATE_OPEN, TSRES_SFILE_TEMPLATE_OPEN_OR_CREATE,
                     TSRES_SFILE_TEMPLATE_SAVE, TSRES_SFILE_TEMPLATE_EXPORT}) {
    char text[300];
    int length = LoadStringA(module, n, text, sizeof text);
    // The host section's registry key gets a suffix within 64 bytes.
    EXPECT_TRUE(length > 0 && length <= (n == TSRES_STR_HOST_SECTION ? 63 : 255)) << "string " << n;
  }

  using Shape = bool (*)(const Bytes &);
  const Shape any = [](const Bytes &b) { return !b.empty(); };
  const Shape filterList = [](const Bytes &b) { return b.size() > 2 && b.end()[-1] == 0 && b.end()[-2] == 0; };
  const Shape dialog = [](const Bytes &b) { return b.size() >= sizeof(DLGTEMPLATE); };
  const struct Row {
    LPCSTR type;
    std::vector<LPCSTR> names;
    Shape shape;
  } rows[] = {
      {TSRES_TYPE_STR_LIST, {id(TSRES_STR_LIST_MESSAGES)}, IsStringList},
      {TSRES_TYPE_MAC_MENU, {id(TSRES_MENU_FILE), id(TSRES_MENU_EDIT)},
       [](const Bytes &b) { return b.size() >= 10 && b.size() == 10u + 6u * (b[8] | b[9] << 8); }},
      {TSRES_TYPE_MENU_STR, {id(TSRES_MENU_FILE), id(TSRES_MENU_EDIT)}, IsStringList},
      {RT_RCDATA, {TSRES_PAT_LIST_SAMPLE_NAME},
       [](const Bytes &b) { return b.size() >= 10 && b.size() == 2u + 8u * (b[0] | b[1] << 8); }},
      {TSRES_TYPE_SMQT, {id(TSRES_SMQT_QUOTES)}, [](const Bytes &b) { return b.size() >= 6; }},
      {TSRES_TYPE_CONV, {id(TSRES_CONV_LOWER), id(TSRES_CONV_UPPER)}, [](const Bytes &b) { return b.size() == 256; }},
      {TSRES_TYPE_CONV, {id(TSRES_CONV_CHAR_TYPE)}, [](const Bytes &b) {  // 256 indexes into the type bytes after them
         return b.size() > 256 && 256u + *std::max_element(b.begin(), b.begin() + 256) < b.size();
       }},
      {TSRES_TYPE_PICT, {id(TSRES_PICT_SAMPLE)}, IsPicture},
      {TSRES_TYPE_TEMPLATE, {id(TSRES_TEMPLATE_PROFILE)}, [](const Bytes &b) { return !b.empty() && b.back() == 0; }},
      {TSRES_TYPE_FILTER_LIST, {id(TSRES_FILTER_TEXT), id(TSRES_FILTER_PICTURES)}, filterList},
      {RT_DIALOG, {TSRES_DLG_FONT_MENU_NAME, TSRES_DLG_RECORD_NAME, id(TSRES_DLG_SFILE_DEFAULT), id(TSRES_DLG_SFILE_OPEN),
                   id(TSRES_DLG_SFILE_SAVE), id(TSRES_DLG_SFILE_EXPORT)}, dialog},
      {RT_GROUP_ICON, {id(TSRES_ICON_HOST)}, any},
      {RT_GROUP_CURSOR, {id(TSRES_CURSOR_TARGET)}, any},
      {RT_BITMAP, {id(TSRES_BMP_RECORD_BUTTONS), id(TSRES_BMP_LEVEL_METER), id(TSRES_BMP_CHECK_IMAGES)}, any},
  };
  auto label = [](LPCSTR s) { return IS_INTRESOURCE(s) ? std::to_string(uintptr_t(s)) : std::string(s); };
  for (const Row &row : rows)
    for (LPCSTR name : row.names) EXPECT_TRUE(row.shape(load(row.type, name))) << label(row.type) << " " << label(name);

  FreeLibrary(module);
}

}  // namespace
}  // namespace tstools
