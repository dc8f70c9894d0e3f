// The font menu: AddResMenu and InsertResMenu with 'FONT' fill a menu with the faces of the
// default printer and the screen, each shown or hidden by the user's font settings and drawn
// as a sample when the cache has one; ML_CalcMenuSize breaks long menus into columns.
#include <windows.h>

#include <string>
#include <vector>

#include "font/font_manager.h"
#include "frame/export_guard.h"
#include "frame/library_globals.h"
#include "frame/settings_profile.h"
#include "menu/column_breaks.h"
#include "menu/menu_model.h"
#include "menu/menu_rules.h"
#include "tstools/font_menu.h"
#include "tstools/host_resource_ids.h"
#include "tstools/popup_menu.h"

using namespace tstools;

namespace {

// Setting keys are host strings; a missing string reads as the default.
std::string FontSetting(UINT keyId, const char *fallback) {
  std::string key = LoadHostString(keyId);
  if (key.empty()) return fallback;
  char value[16] = {};
  GetFontProfileString(key.c_str(), fallback, value, sizeof value);
  return value;
}

int CALLBACK CollectFace(const LOGFONTA *font, const TEXTMETRICA *, DWORD, LPARAM param) {
  auto &faces = *reinterpret_cast<std::vector<std::string> *>(param);
  return Guarded(0, [&] {
    if (font->lfFaceName[0] != '@') faces.emplace_back(font->lfFaceName);
    return 1;
  });
}

void CollectFaces(HDC dc, std::vector<std::string> &faces) {
  if (dc) EnumFontFamiliesA(dc, nullptr, reinterpret_cast<FONTENUMPROCA>(CollectFace), reinterpret_cast<LPARAM>(&faces));
}

// The printer's faces first, then the screen's (of the bar's frame window when there is one).
std::vector<std::string> InstalledFaces(MenuHandle menu) {
  std::vector<std::string> faces;
  if (HDC info = CreateDefaultPrinterInfoContext()) {
    CollectFaces(info, faces);
    DeleteDC(info);
  }
  MenuBarHeader *bar = menu::LiveBar((*menu)->menuBar);
  HWND window = bar && IsWindow(bar->frameWindow) ? bar->frameWindow : nullptr;
  if (HDC screen = GetDC(window)) {
    CollectFaces(screen, faces);
    ReleaseDC(window, screen);
  }
  return faces;
}

// Where the face belongs among the items, compared as the font menu's callback compares.
bool FindFace(MenuHandle menu, const std::string &macName, long *position) {
  int count = (*menu)->itemCount;
  return menu::BinarySearch(count, [&](long index) {
    MenuItemSlot *slot = menu::SlotOfItem(menu, int(index) + 1);
    return slot ? lstrcmpiA(macName.c_str(), menu::ItemMacText(*slot).c_str()) : 1;
  }, position);
}

void FillFontMenu(MenuHandle menu, int afterItem) {
  bool samples = FontSetting(TSRES_STR_FONT_NO_SAMPLES_KEY, "0") == "0" &&
                 FontSetting(TSRES_STR_FONT_SAMPLES_KEY, "1") == "1";
  if (samples) (*menu)->menuFlags |= kMenuFlagSamples;
  else (*menu)->menuFlags &= ~kMenuFlagSamples;

  int inserted = 0;
  for (const std::string &face : InstalledFaces(menu)) {
    std::string macName = menu::WindowsToMac(face);
    long position = 0;
    if (FindFace(menu, macName, &position)) continue;
    char shown[8] = {};
    GetFontProfileString(face.c_str(), "0", shown, sizeof shown);
    uint16_t flags = std::string(shown) == "1" ? kItemFlagFont : kItemFlagFont | kItemFlagHidden;
    if (!samples || !FontBitmapExists(face.c_str())) flags |= kItemFlagPlainFont;
    int count = (*menu)->itemCount;
    int after = afterItem + inserted > count ? count : int(position);
    if (!menu::AddItem(menu, after, macName, flags)) break;  // out of memory: keep what is in
    ++inserted;
  }
  (*menu)->menuFlags |= kMenuFlagFontMenu;
  if (!platform.isWin98Family && !platform.isNT5) ML_CalcMenuSize(menu, 0);
}

// The height ML_CalcMenuSize gives an item.
int ItemHeight(MenuHandle menu, int item, const MenuItemSlot &slot, int plainHeight, HWND frame) {
  const MenuInfo &record = **menu;
  uint16_t flags = slot.itemFlags;
  if ((flags & kItemFlagFont) && (record.menuFlags & kMenuFlagSamples) && !(flags & kItemFlagPlainFont)) {
    MEASUREITEMSTRUCT measure{ODT_MENU, 0, menu::WindowsCommandId(menu, item), 0, 0,
                              reinterpret_cast<ULONG_PTR>(slot.textHandle)};
    MenuHandleMeasureItem(&measure);
    return int(measure.itemHeight);
  }
  if (flags & kItemFlagOwnerDraw) {
    MEASUREITEMSTRUCT measure{ODT_MENU, 0, menu::WindowsCommandId(menu, item), 0, UINT(plainHeight),
                              reinterpret_cast<ULONG_PTR>(slot.textHandle)};
    if (frame) SendMessageA(frame, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    return int(measure.itemHeight);
  }
  if ((flags & kItemFlagBitmap) && slot.itemBitmap) {
    BITMAP bitmap{};
    GetObjectA(slot.itemBitmap, sizeof bitmap, &bitmap);
    return std::max<int>(bitmap.bmHeight, GetCheckHeight()) + 2;
  }
  return plainHeight;
}

void CalculateBreaks(MenuHandle menu, unsigned options) {
  const int plainHeight = GetSystemMetrics(SM_CYMENU) + GetSystemMetrics(SM_CYBORDER);
  MenuBarHeader *bar = menu::LiveBar((*menu)->menuBar);
  HWND frame = bar && IsWindow(bar->frameWindow) ? bar->frameWindow : nullptr;
  const int count = (*menu)->itemCount;
  std::vector<menu::BreakInput> items(static_cast<size_t>(count));
  for (int n = 1; n <= count; ++n) {
    const MenuItemSlot *slot = menu::SlotOfItem(menu, n);
    if (!slot) continue;
    auto &in = items[size_t(n - 1)];
    in.skipped = (slot->itemFlags & kItemFlagHidden) && !(options & kInstallHidden);
    in.hostBreak = slot->itemFlags & kItemFlagBreak;
    if (!in.skipped) in.height = ItemHeight(menu, n, *slot, plainHeight, frame);
  }
  bool fontMenu = (*menu)->menuFlags & kMenuFlagFontMenu;
  std::vector<bool> breaks = menu::AutomaticBreaks(items, GetSystemMetrics(SM_CYSCREEN), fontMenu ? 2 * plainHeight : 0);
  for (int n = 1; n <= count && n <= (*menu)->itemCount; ++n) {
    MenuItemSlot *slot = menu::SlotOfItem(menu, n);
    if (!slot || items[size_t(n - 1)].skipped) continue;
    uint16_t flags = breaks[size_t(n - 1)] ? slot->itemFlags | kItemFlagAutoBreak : slot->itemFlags & ~kItemFlagAutoBreak;
    if (flags == slot->itemFlags) continue;
    slot->itemFlags = flags;
    menu::RefreshItem(menu, n);
  }
}

}  // namespace

void WINAPI InsertResMenu(MenuHandle menu, OSType resourceType, short afterItem) {
  if (resourceType != kFontResourceType || !menu::LiveMenu(menu)) return;
  Guarded(Nothing, [&] { FillFontMenu(menu, std::max<int>(0, afterItem)); });
}

void WINAPI AddResMenu(MenuHandle menu, OSType resourceType) {
  MenuInfo *record = menu::LiveMenu(menu);
  if (record) InsertResMenu(menu, resourceType, record->itemCount);
}

void WINAPI ML_CalcMenuSize(MenuHandle menu, short options) {
  if (!menu::LiveMenu(menu)) return;
  Guarded(Nothing, [&] { CalculateBreaks(menu, unsigned(options)); });
}
