// The resource calls against TSHOSTRES.DLL (gen_hostres.py) and TSTESTRES.DLL (resource_lists.rc).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "support/dib_canvas.h"
#include "support/gdi_objects.h"
#include "tstools/tstools.h"

namespace {

HMODULE Load(const char *name) { return LoadLibraryExA(name, nullptr, LOAD_LIBRARY_AS_DATAFILE); }
const HMODULE host = Load("TSHOSTRES.DLL"), test = Load("TSTESTRES.DLL");

std::string Bytes(Handle h) { Size n; return h && MemGetHandleSize(h, &n) == noErr ? std::string(*h, size_t(n)) : "null"; }

// In order: each row may switch the cached list, so a stale cache shows as a wrong string.
TEST(Resources, IndexedStringsAreFoundOnlyWithinTheirList) {
  struct Row { HMODULE module; short id, index; const char *type; OSErr err; std::string text; };
  const char *L = "STR_LIST";
  const OSErr none = resNotFound;
  const Row rows[] = {
      {host, 128, 1, L, noErr, "Untitled"}, {host, 128, 1, "MENU_STR_", noErr, "&File"} /* other type */,
      {host, 128, 2, L, noErr, "Save changes to this document before closing?"}, {host, 128, 0, L, none, ""},
      {host, 128, 5, L, none, ""}, {test, 128, 1, L, none, ""} /* other module */, {test, 128, 1, L, none, ""},
      {test, 1, 2, L, noErr, "two"}, {test, 1, 3, L, none, ""} /* count lies */, {test, 2, 1, L, noErr, "abc"},
      {test, 2, 2, L, none, ""} /* length lies */, {test, 3, 1, L, none, ""}, {test, 0, 1, L, noErr, "last"},
      {test, 4, 1, L, noErr, "\x8Et\x8E"} /* cp1252 to Mac */, {host, 128, 1, nullptr, none, ""},
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
  std::vector<Row> rows = {
      {host, 128, 1, {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}}, {host, 128, 10, {}},
      {host, 128, 0, {}}, {test, 5, 1, {{1, 2, 3, 4, 5, 6, 7, 8}}}, {test, 5, 2, {}} /* the count says 3 */, {test, 77, 1, {}},
      {test, 0, TSTOOLS_LIBRARY_PATTERN_COUNT + 1, {}}};  // list 0: the library's own, whatever the module
  for (short i = 1; i <= TSTOOLS_LIBRARY_PATTERN_COUNT; ++i) rows.push_back({test, 0, i, library[i - 1]});
  for (const Row &row : rows) {
    Pattern p = {};
    ML_GetIndPattern(row.module, &p, row.list, row.index);
    EXPECT_EQ(std::string(p.pat, p.pat + 8), std::string(row.expected.pat, row.expected.pat + 8)) << row.list << "/" << row.index;
  }
}

TEST(Resources, HandlesHoldTheResourceBytes) {
  const unsigned long pict = 'P' | 'I' << 8 | 'C' << 16 | 'T' << 24;  // "PICT" in memory order
  short err = 1, missing = 1;
  Handle h = ML_GetResource(pict, 0, test, &err);
  EXPECT_EQ(Bytes(h) + "|" + std::to_string(err), "\1\2\3\4|0");
  EXPECT_EQ(ML_ReleaseResource(h, &err), noErr);
  EXPECT_TRUE(!ML_GetResource(pict, 5, test, &missing) && missing == resNotFound);
  EXPECT_EQ(Bytes(ML_GetPicture(test, 0)) + "|" + Bytes(ML_GetPicture(test, 5)), "\1\2\3\4|");
  EXPECT_EQ(Bytes(ML_GetString(host, TSRES_STR_FONT_MENU_CHOOSE)), "\x0F" "Choose Fonts...");
}

TEST(Resources, SmallIdsNameSystemIconsAndCursors) {
  EXPECT_EQ((std::vector<HANDLE>{ML_GetIcon(host, 0), ML_GetIcon(host, 1), ML_GetIcon(host, 2), ML_GetCursor(host, 1),
                                 ML_GetCursor(host, 3), ML_GetCursor(host, 4)}),
            (std::vector<HANDLE>{LoadIcon(nullptr, IDI_HAND), LoadIcon(nullptr, IDI_ASTERISK), LoadIcon(nullptr, IDI_QUESTION),
                                 LoadCursor(nullptr, IDC_IBEAM), LoadCursor(nullptr, IDC_CROSS), LoadCursor(nullptr, IDC_WAIT)}));
  EXPECT_TRUE(ML_GetIcon(host, TSRES_ICON_HOST) && ML_GetCursor(host, TSRES_CURSOR_TARGET));
}

// A black 16 x 16 icon at local (20, 20), origin (10, 10), clip x 24-30 local.
TEST(Resources, PlotIconDrawsThroughThePortWithinItsClip) {
  const BYTE zeros[32] = {};  // AND mask and colour bits: opaque black
  HICON icon = CreateIcon(nullptr, 16, 16, 1, 1, zeros, zeros);
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
}

}  // namespace
