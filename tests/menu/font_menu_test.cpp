// The font menu against Wine's menus and fonts: faces, their order and settings, the Windows
// items and identifiers; BinarySearch over a host's container; automatic column breaks.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/font/stray_caches.h"
#include "tstools/tstools.h"

namespace {

int CALLBACK AddFace(const LOGFONTA *font, const TEXTMETRICA *, DWORD, LPARAM set) {
  if (font->lfFaceName[0] != '@') reinterpret_cast<std::set<std::string> *>(set)->insert(font->lfFaceName);
  return 1;
}

std::vector<std::string> ScreenFaces(HWND window) {
  std::set<std::string> faces;
  HDC dc = GetDC(window);
  EnumFontFamiliesA(dc, nullptr, reinterpret_cast<FONTENUMPROCA>(AddFace), reinterpret_cast<LPARAM>(&faces));
  ReleaseDC(window, dc);
  return {faces.begin(), faces.end()};
}

std::string MenuString(HMENU menu, int position, UINT *id, UINT *type) {
  char text[256] = {};
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
  info.dwTypeData = text;
  info.cch = sizeof text;
  GetMenuItemInfoA(menu, UINT(position), TRUE, &info);
  *id = info.wID;
  *type = info.fType;
  return text;
}

class FontMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(SetTSToolsResourceInstance(resources));
    MemInitZone();
    frame = CreateWindowA("STATIC", "font menu", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, CreateMenu(),
                          nullptr, nullptr);
    WriteFontProfileString("No Samples", "1");  // no cache file for these tests
    ASSERT_EQ(ML_InitMenus(0, &bar, &table, 1, frame), noErr);
  }
  void TearDown() override {
    ML_MenuShutdown(&bar, &table);
    DestroyWindow(frame);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantor Corp.\\Tessaly Pro\\Font Menu");
    SetTSToolsResourceInstance(nullptr);
    FreeLibrary(resources);
  }
  HMODULE resources = nullptr;
  HWND frame = nullptr;
  Handle bar = nullptr, table = nullptr;
};

TEST_F(FontMenu, ListsEachFaceOnceInOrderShowingTheChosenOnes) {
  std::vector<std::string> faces = ScreenFaces(frame);
  ASSERT_GE(faces.size(), 3u);
  const std::string chosen[] = {faces[0], faces[2]};
  for (const auto &face : chosen) WriteFontProfileString(face.c_str(), "1");

  MenuHandle menu = ML_NewMenu(3, reinterpret_cast<ConstStr255Param>("\x04" "Font"), table, bar);
  AddResMenu(menu, kFontResourceType);
  const short count = CountMItems(menu);
  AddResMenu(menu, kFontResourceType);
  InsertResMenu(menu, 0x50494354, 0);  // 'PICT'
  EXPECT_EQ(CountMItems(menu), count) << "faces already listed, and other types, add nothing";
  EXPECT_EQ(size_t(count), faces.size());
  EXPECT_TRUE((*menu)->menuFlags & kMenuFlagFontMenu);
  EXPECT_FALSE((*menu)->menuFlags & kMenuFlagSamples) << "samples are off";

  std::vector<std::string> shown;
  std::map<std::string, short> itemOf;
  for (short n = 1; n <= count; ++n) {
    Str255 text{};
    GetItem(menu, n, text);
    std::string name(reinterpret_cast<char *>(text + 1), text[0]);
    short flags = GetMItemFlags(table, short((*menu)->itemSlots[n - 1]));
    bool isChosen = name == chosen[0] || name == chosen[1];
    EXPECT_EQ(flags, isChosen ? 0x0028 : 0x0038) << name;
    if (isChosen) shown.push_back(name);
    itemOf[name] = n;
    if (n > 1) {
      Str255 before{};
      GetItem(menu, short(n - 1), before);
      before[before[0] + 1] = 0;
      text[text[0] + 1] = 0;
      EXPECT_LT(lstrcmpiA(reinterpret_cast<char *>(before + 1), reinterpret_cast<char *>(text + 1)), 0);
    }
  }

  // Installed: the extra entry and a separator, then the shown faces with font identifiers.
  M_InsertMenu(menu, 0, 0);
  HMENU windows = ML_GetWinMenuHandle(menu);
  ASSERT_EQ(GetMenuItemCount(windows), 2 + int(shown.size()));
  UINT id = 0, type = 0;
  EXPECT_EQ(MenuString(windows, 0, &id, &type), "Choose Fonts...");
  EXPECT_EQ(id, 0x3FFFu);
  MenuString(windows, 1, &id, &type);
  EXPECT_TRUE(type & MFT_SEPARATOR);
  for (size_t k = 0; k < shown.size(); ++k) {
    EXPECT_EQ(MenuString(windows, int(2 + k), &id, &type), shown[k]);
    EXPECT_EQ(id, 0x8000u | (3u << 12) | UINT(itemOf[shown[k]])) << shown[k];
  }
  // The search callbacks see the same items.
  EXPECT_EQ(FontMenuSizeProc(menu), count);
  EXPECT_EQ(FontMenuGetIndItemProc(menu, count - 1), GetMItemHandle(table, short((*menu)->itemSlots[count - 1])));
  EXPECT_EQ(FontMenuGetIndItemProc(menu, count), nullptr);
  ML_DeleteMenu(bar, 3);
  M_DisposeMenu(menu);
}

// A host's sorted array of longs, searched through the exported procedure.
short __stdcall CompareLongs(void *, void *key, void *item) {
  long a = *static_cast<long *>(key), b = *static_cast<long *>(item);
  return short(a < b ? -1 : a > b ? 1 : 0);
}
long __stdcall CountLongs(void *container) { return static_cast<std::vector<long> *>(container)->size(); }
void *__stdcall LongAt(void *container, long index) { return &(*static_cast<std::vector<long> *>(container))[index]; }

TEST(BinarySearchExport, FindsOrPlacesInAHostContainer) {
  std::vector<long> values = {10, 20, 30, 40};
  const std::pair<long, std::pair<bool, long>> cases[] = {
      {30, {true, 2}}, {10, {true, 0}}, {5, {false, 0}}, {25, {false, 2}}, {99, {false, 4}}};
  for (auto [key, expected] : cases) {
    long at = -1;
    EXPECT_EQ(BinarySearch(&values, &key, CompareLongs, CountLongs, LongAt, &at) != 0, expected.first) << key;
    EXPECT_EQ(at, expected.second) << key;
  }
  std::vector<long> empty;
  long key = 1, at = -1;
  EXPECT_FALSE(BinarySearch(&empty, &key, CompareLongs, CountLongs, LongAt, &at));
  EXPECT_EQ(at, 0);
}

TEST_F(FontMenu, ColumnBreaksWhereTheScreenEnds) {
  MenuHandle menu = ML_NewMenu(9, reinterpret_cast<ConstStr255Param>("\x04" "Long"), table, bar);
  const int itemHeight = GetSystemMetrics(SM_CYMENU) + GetSystemMetrics(SM_CYBORDER);
  const int perColumn = GetSystemMetrics(SM_CYSCREEN) / itemHeight;
  for (int n = 0; n < 2 * perColumn + 5; n += 5)
    M_AppendMenu(menu, reinterpret_cast<ConstStr255Param>("\x09" "a;b;c;d;e"));
  ML_SetItemCmd(menu, 1, 1, 0);  // hidden: takes no room without option 8
  ML_CalcMenuSize(menu, 0);
  auto breaks = [&] {
    std::vector<int> at;
    for (short n = 1; n <= CountMItems(menu); ++n)
      if (GetMItemFlags(table, short((*menu)->itemSlots[n - 1])) & kItemFlagAutoBreak) at.push_back(n);
    return at;
  };
  EXPECT_EQ(breaks(), (std::vector<int>{perColumn + 2, 2 * perColumn + 2}));
  ML_CalcMenuSize(menu, kInstallHidden);
  EXPECT_EQ(breaks(), (std::vector<int>{perColumn + 1, 2 * perColumn + 1}));
  M_DisposeMenu(menu);
}

// A frame that draws its font menu as a host must, and records where Windows put the items.
struct SampleFrame {
  static inline std::vector<RECT> shown;
  static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_MEASUREITEM) return MenuHandleMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT *>(lp)), TRUE;
    if (m == WM_DRAWITEM) return MenuHandleDrawItem(reinterpret_cast<DRAWITEMSTRUCT *>(lp)), TRUE;
    if (m == WM_ENTERIDLE) {
      HMENU menu = GetSubMenu(GetMenu(w), 0);
      for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        RECT r{};
        GetMenuItemRect(w, menu, UINT(i), &r);
        shown.push_back(r);
      }
      PostMessageA(w, WM_CANCELMODE, 0, 0);
    }
    return DefWindowProcA(w, m, wp, lp);
  }
};

TEST(FontMenuSamples, ItemsAreAsHighAsTheirSamplesInWindowsMenus) {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  std::string dir = std::string(temp) + "font_menu_samples_" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  RemoveCachesBesideProgram();
  HMODULE resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(SetTSToolsResourceInstance(resources));
  ML_WriteVantorProfileString("Vantor", "Vantor Directory", dir.c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantor Corp.\\Tessaly Pro\\Font Menu");
  const char *faces[] = {"DejaVu Sans", "Liberation Serif"};
  for (const char *face : faces) WriteFontProfileString(face, "1");
  WNDCLASSA wc{0, SampleFrame::Proc, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr, "SampleFrame"};
  RegisterClassA(&wc);
  HWND frame = CreateWindowA("SampleFrame", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                             CreateMenu(), nullptr, nullptr);
  SetForegroundWindow(frame);
  Handle bar = nullptr, table = nullptr;
  ASSERT_EQ(ML_InitMenus(0, &bar, &table, 1, frame), noErr);
  MenuHandle menu = ML_NewMenu(3, reinterpret_cast<ConstStr255Param>("\x04" "Font"), table, bar);
  AddResMenu(menu, kFontResourceType);
  M_InsertMenu(menu, 0, 0);
  EXPECT_TRUE((*menu)->menuFlags & kMenuFlagSamples);
  TrackPopupMenu(ML_GetWinMenuHandle(menu), TPM_LEFTALIGN, 100, 100, 0, frame, nullptr);
  ASSERT_EQ(SampleFrame::shown.size(), 4u) << "the extra entry, a separator and the two faces";
  for (int k = 0; k < 2; ++k) {
    void *sample = nullptr;
    HLOCAL block = GetFontBitmap(faces[k], &sample);
    ASSERT_TRUE(block) << faces[k];
    long sampleHeight = static_cast<const long *>(sample)[2];
    LocalUnlock(block);
    const RECT &r = SampleFrame::shown[size_t(2 + k)];
    EXPECT_EQ(r.bottom - r.top, std::max<long>(GetCheckHeight() + 2, sampleHeight)) << faces[k];
  }
  ML_DeleteMenu(bar, 3);
  M_DisposeMenu(menu);
  ML_MenuShutdown(&bar, &table);
  DestroyWindow(frame);
  DeleteFileA((dir + "\\Demo Host Font Samples.dat").c_str());
  RemoveDirectoryA(dir.c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantor Corp.\\Tessaly Pro\\Font Menu");
  SetTSToolsResourceInstance(nullptr);
  FreeLibrary(resources);
}

}  // namespace
