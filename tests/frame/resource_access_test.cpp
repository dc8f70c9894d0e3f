// The resource calls through the DLL, against TSHOSTRES.DLL (hostres/gen_hostres.py holds its
// bytes) and TSTESTRES.DLL (resource_lists.rc: lists that lie about their size).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/dib_canvas.h"
#include "support/gdi_objects.h"
#include "tstools/tstools.h"

namespace {

HMODULE Load(const char *name) { return LoadLibraryExA(name, nullptr, LOAD_LIBRARY_AS_DATAFILE); }
const HMODULE host = Load("TSHOSTRES.DLL"), test = Load("TSTESTRES.DLL");

std::string Bytes(Handle h) {
  Size size = -1;
  return h && MemGetHandleSize(h, &size) == noErr ? std::string(*h, size_t(size)) : "null";
}

// In order: each row may switch the cached list, so a stale cache shows as a wrong string.
TEST(Resources, IndexedStringsAreFoundOnlyWithinTheirList) {
  struct Row { HMODULE module; short id, index; const char *type; OSErr err; std::string text; };
  const Row rows[] = {
      {host, 128, 1, "STR_LIST", noErr, "Untitled"},
      {host, 128, 4, "STR_LIST", noErr, "There is not enough memory to complete this operation."},
      {host, 128, 0, "STR_LIST", resNotFound, ""},  {host, 128, 5, "STR_LIST", resNotFound, ""},
      {test, 128, 1, "STR_LIST", resNotFound, ""},  // same id, other module
      {host, 128, 1, "MENU_STR_", noErr, "&File"},    // same id, other type
      {host, 128, 2, "STR_LIST", noErr, "Save changes to this document before closing?"},
      {test, 1, 2, "STR_LIST", noErr, "two"},       {test, 1, 3, "STR_LIST", resNotFound, ""},
      {test, 2, 1, "STR_LIST", noErr, "abc"},       {test, 2, 2, "STR_LIST", resNotFound, ""},
      {test, 3, 1, "STR_LIST", resNotFound, ""},    {test, 4, 1, "STR_LIST", noErr, "\x8Et\x8E"},
      {test, 0, 1, "STR_LIST", noErr, "last"},      {host, 128, 1, nullptr, resNotFound, ""},
  };
  for (const Row &row : rows) {
    Str255 dst = {3, 'x', 'y', 'z'};
    EXPECT_EQ(ML_GetIndString(row.module, dst, row.id, row.index, row.type), row.err) << row.id << "/" << row.index;
    EXPECT_EQ(std::string(reinterpret_cast<char *>(dst + 1), dst[0]), row.text) << row.id << "/" << row.index;
  }
}

TEST(Resources, PatternsComeFromTheirListOrLeaveTheDestination) {
#define EXPECTED_ROWS(index, name, ...) {{__VA_ARGS__}},
  const Pattern library[] = {TSTOOLS_LIBRARY_PATTERNS(EXPECTED_ROWS)};
  struct Row { HMODULE module; short list, index; Pattern expected; };
  const Row rows[] = {
      {host, 128, 1, {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}},
      {test, 0, tsPatDots, library[tsPatDots - 1]},  // the library's own list, whatever module
      {host, 128, 9, {{0xFF, 0x80, 0x80, 0x80, 0xFF, 0x08, 0x08, 0x08}}},
      {host, 128, 10, {}}, {host, 128, 0, {}}, {test, 5, 1, {{1, 2, 3, 4, 5, 6, 7, 8}}},
      {test, 5, 2, {}},  // the count says 3
      {test, 77, 1, {}}, {nullptr, 0, TSTOOLS_LIBRARY_PATTERN_COUNT + 1, {}},
  };
  for (const Row &row : rows) {
    Pattern p = {};
    ML_GetIndPattern(row.module, &p, row.list, row.index);
    EXPECT_EQ(std::string(p.pat, p.pat + 8), std::string(row.expected.pat, row.expected.pat + 8)) << row.list << "/" << row.index;
  }
  for (short i = 1; i <= TSTOOLS_LIBRARY_PATTERN_COUNT; ++i) {
    Pattern p = {};
    ML_GetIndPattern(nullptr, &p, 0, i);
    EXPECT_EQ(std::string(p.pat, p.pat + 8), std::string(library[i - 1].pat, library[i - 1].pat + 8)) << i;
  }
}

TEST(Resources, HandlesHoldTheResourceBytes) {
  const unsigned long pict = 'P' | 'I' << 8 | 'C' << 16 | 'T' << 24;  // "PICT" in memory order
  short err = 1;
  Handle h = ML_GetResource(pict, 0, test, &err);
  EXPECT_EQ(err, noErr);
  EXPECT_EQ(Bytes(h), "\1\2\3\4");
  EXPECT_EQ(ML_ReleaseResource(h, &err), noErr);
  EXPECT_EQ(Bytes(ML_GetResource(pict, 5, test, &err)), "null");
  EXPECT_EQ(err, resNotFound);
  EXPECT_EQ(Bytes(ML_GetPicture(test, 0)), "\1\2\3\4");
  EXPECT_EQ(Bytes(ML_GetPicture(test, 5)), "");
  EXPECT_EQ(Bytes(ML_GetString(host, TSRES_STR_FONT_MENU_CHOOSE)), "\x0F" "Choose Fonts...");
  EXPECT_EQ(Bytes(ML_NewString(0, reinterpret_cast<const unsigned char *>("\2ab"))), "\2ab");
}

TEST(Resources, SmallIdsNameSystemIconsAndCursors) {
  EXPECT_EQ(ML_GetIcon(host, 0), LoadIcon(nullptr, IDI_HAND));
  EXPECT_EQ(ML_GetIcon(host, 1), LoadIcon(nullptr, IDI_ASTERISK));
  EXPECT_EQ(ML_GetIcon(host, 2), LoadIcon(nullptr, IDI_QUESTION));
  EXPECT_EQ(ML_GetCursor(host, 1), LoadCursor(nullptr, IDC_IBEAM));
  EXPECT_EQ(ML_GetCursor(host, 3), LoadCursor(nullptr, IDC_CROSS));
  EXPECT_EQ(ML_GetCursor(host, 4), LoadCursor(nullptr, IDC_WAIT));
  EXPECT_NE(ML_GetIcon(host, TSRES_ICON_HOST), nullptr);
  EXPECT_NE(ML_GetCursor(host, TSRES_CURSOR_TARGET), nullptr);
}

// A black 16 x 16 icon at local (20, 20), origin (10, 10), clip x 24-30 local.
TEST(Resources, PlotIconDrawsThroughThePortWithinItsClip) {
  QDrawCacheInit();
  const BYTE zeros[32] = {};
  ICONINFO info = {TRUE, 0, 0, CreateBitmap(16, 16, 1, 1, zeros), CreateBitmap(16, 16, 1, 1, zeros)};
  HICON icon = CreateIconIndirect(&info);
  tstools::test::DibCanvas canvas(64, 64);
  GrafPort port;
  canvas.OpenPort(&port);
  ML_SetOrigin(&port, 10, 10);
  const Rect clip = {24, 0, 30, 100}, at = {20, 20, 0, 0};
  ML_ClipRect(&port, &clip);
  ML_PlotIcon(&port, &at, icon);  // the first applies the clip: the DC makes its own region
  long objects = tstools::test::LiveGdiObjects();
  for (int i = 0; i < 100; ++i) ML_PlotIcon(&port, &at, icon);
  EXPECT_EQ(tstools::test::LiveGdiObjects(), objects);
  int wrong = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      wrong += (canvas.At(x, y) == 0) != (x >= 14 && x < 20 && y >= 10 && y < 26);
  EXPECT_EQ(wrong, 0);
  ClosePort(&port);
  DestroyIcon(icon);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  QDrawCacheClose();
}

}  // namespace
