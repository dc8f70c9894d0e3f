// Owner-drawn menu items: font items (in menus and the font menu dialog's lists), bitmap
// items and check marks, and the metrics menus leave room for.
#include "menu/owner_draw.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "font/font_samples.h"
#include "frame/export_guard.h"
#include "menu/popup_classes.h"
#include "menu/popup_records.h"
#include "tstools/font_menu.h"
#include "tstools/popup_menu.h"

namespace tstools::menu {

bool LowColourDevice(HDC dc) {
  int colours = GetDeviceCaps(dc, NUMCOLORS);
  return colours >= 0 && colours < 8;
}

void BlitBitmap(HDC dc, HBITMAP bitmap, int x, int y, bool invert) {
  BITMAP info{};
  if (!dc || !bitmap || !GetObjectA(bitmap, sizeof info, &info)) return;
  HDC source = CreateCompatibleDC(dc);
  if (!source) return;
  HGDIOBJ old = SelectObject(source, bitmap);
  BitBlt(dc, x, y, info.bmWidth, info.bmHeight, source, 0, 0, invert ? NOTSRCCOPY : SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

SIZE SystemBitmapSize(int bitmapId) {
  SIZE size{};
  HBITMAP bitmap = LoadBitmapA(nullptr, MAKEINTRESOURCEA(bitmapId));
  BITMAP info{};
  if (bitmap && GetObjectA(bitmap, sizeof info, &info)) size = {info.bmWidth, info.bmHeight};
  if (bitmap) DeleteObject(bitmap);
  return size;
}

void BlitSystemBitmap(HDC dc, int bitmapId, int x, int y, const RECT &rect, bool invert) {
  HBITMAP bitmap = LoadBitmapA(nullptr, MAKEINTRESOURCEA(bitmapId));
  if (!bitmap) return;
  BITMAP info{};
  if (y < 0 && GetObjectA(bitmap, sizeof info, &info))
    y = rect.top + (rect.bottom - rect.top - info.bmHeight) / 2;
  BlitBitmap(dc, bitmap, x, std::max(y, int(rect.top)), invert);
  DeleteObject(bitmap);
}

void FillItem(HDC dc, const RECT &rect, int background, int text) {
  FillRect(dc, &rect, GetSysColorBrush(background));
  SetBkColor(dc, GetSysColor(background));
  SetTextColor(dc, GetSysColor(text));
}

namespace {

// A face's sample from the font sample cache: monochrome, rows padded to 16 bits.
struct FontSample {
  int width = 0, height = 0;
  std::vector<uint8_t> bits;
};

HLOCAL LookUpFontSample(LPCSTR face, void **sample) { return GetFontBitmap(face, sample); }

// The sample of face: a 24-byte header (32-bit type, width, height, bytes per row; planes
// and bits per pixel, 16 bits each) and height rows of bits. Checked against the block.
bool FindFontSample(const std::string &face, FontSample &out) {
  void *header = nullptr;
  HLOCAL block = LookUpFontSample(face.c_str(), &header);
  if (!block) return false;
  const char *base = static_cast<const char *>(LocalLock(block));
  bool ok = false;
  if (base && header) {
    size_t offset = size_t(static_cast<const char *>(header) - base), size = LocalSize(block);
    uint32_t fields[4] = {};
    if (offset <= size && size - offset >= 24) {
      std::memcpy(fields, base + offset, sizeof fields);
      uint64_t width = fields[1], height = fields[2], rowBytes = fields[3];
      uint64_t stride = (width + 15) / 16 * 2;
      if (width && height && width <= 0x7FFF && height <= 0x7FFF && rowBytes >= stride &&
          (size - offset - 24) / rowBytes >= height) {
        out.width = int(width), out.height = int(height);
        out.bits.resize(size_t(stride * height));
        for (uint64_t row = 0; row < height; ++row)
          std::memcpy(&out.bits[size_t(row * stride)], base + offset + 24 + row * rowBytes, size_t(stride));
        ok = true;
      }
    }
    LocalUnlock(block);
  }
  LocalUnlock(block);  // the lookup's own lock
  return ok;
}

// The font menu dialog's list font, when the dialog is open; the system font otherwise.
HFONT FontItemFont(UINT controlType) {
  if (controlType != ODT_MENU && fontCacheState.dialogFont) return fontCacheState.dialogFont;
  return static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

}  // namespace

}  // namespace tstools::menu

using namespace tstools;
using namespace tstools::menu;

short WINAPI GetCheckWidth() {
  if (menuState.windows4) return short(GetSystemMetrics(SM_CXMENUCHECK));
  return short(LOWORD(GetMenuCheckMarkDimensions()));
}

short WINAPI GetCheckHeight() {
  if (menuState.windows4) return short(GetSystemMetrics(SM_CYMENUCHECK));
  return short(HIWORD(GetMenuCheckMarkDimensions()));
}

short WINAPI GetMenuLeftMargin() {
  int edge = GetSystemMetrics(SM_CXEDGE), check = GetCheckWidth();
  if (!menuState.windows4) return short(edge + check);
  int frame = GetSystemMetrics(SM_CXFRAME);
  return short(((edge + frame + check + 7) & ~7) - frame);
}

void WINAPI DrawMenuCheckMark(HDC dc, const RECT *itemRect, Boolean selected) {
  if (!dc || !itemRect) return;
  BlitSystemBitmap(dc, kCheckBitmap, itemRect->left, -1, *itemRect, selected && LowColourDevice(dc));
}

void WINAPI MeasureItemBitmap(MenuHandle menu, short item, long *height, long *width) {
  long h = 0, w = 0;
  MenuItemSlot *slot = SlotOfItem(menu, item);
  BITMAP info{};
  if (slot && slot->itemBitmap && GetObjectA(slot->itemBitmap, sizeof info, &info)) {
    TEXTMETRICA metrics{};
    HDC screen = GetDC(nullptr);
    GetTextMetricsA(screen, &metrics);
    ReleaseDC(nullptr, screen);
    h = 2 * GetSystemMetrics(SM_CYBORDER) +
        std::max<long>(GetCheckHeight(), info.bmHeight + metrics.tmExternalLeading);
    w = info.bmWidth + (menuState.windows4 ? 0 : GetCheckWidth());
  }
  if (height) *height = h;
  if (width) *width = w;
}

void WINAPI DrawItemBitmap(const DRAWITEMSTRUCT *record, MenuHandle menu) {
  if (!record || !record->hDC) return;
  MenuItemSlot *slot = SlotOfItem(menu, int(record->itemID & 0xFF));
  if (!slot) return;
  HDC dc = record->hDC;
  bool selected = (record->itemState & ODS_SELECTED) != 0;
  bool invert = selected && LowColourDevice(dc);
  const RECT &rect = record->rcItem;
  FillItem(dc, rect, selected ? COLOR_HIGHLIGHT : COLOR_MENU, selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
  BlitBitmap(dc, slot->itemBitmap, rect.left + GetMenuLeftMargin(), rect.top, invert);
  if (slot->itemFlags & kItemFlagChecked) DrawMenuCheckMark(dc, &rect, selected);
  if (slot->itemFlags & kItemFlagHierarchical) {
    SIZE arrow = SystemBitmapSize(kSubmenuArrow);
    BlitSystemBitmap(dc, kSubmenuArrow, rect.right - arrow.cx, rect.top, rect, invert);
  }
}

long WINAPI MenuHandleMeasureItem(MEASUREITEMSTRUCT *record) {
  if (!record) return 0;
  return Guarded(0L, [&] {
    std::string face = WindowsTextOf(reinterpret_cast<HLOCAL>(record->itemData));
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, FontItemFont(record->CtlType));
    TEXTMETRICA metrics{};
    GetTextMetricsA(screen, &metrics);
    SIZE extent{};
    GetTextExtentPoint32A(screen, face.c_str(), int(face.size()), &extent);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    FontSample sample;
    if (FindFontSample(face, sample)) {
      record->itemHeight = UINT(std::max(GetCheckHeight() + 2, sample.height));
      record->itemWidth = UINT(sample.width + (menuState.windows4 ? 0 : GetCheckWidth()));
    } else {
      record->itemHeight = UINT((metrics.tmAscent + 2 + 1) & ~1);
      record->itemWidth = UINT(extent.cx + GetCheckWidth() + 2);
    }
    return 1L;
  });
}

void WINAPI MenuHandleDrawItem(const DRAWITEMSTRUCT *record) {
  if (!record || !record->hDC) return;
  Guarded(Nothing, [&] {
    HDC dc = record->hDC;
    bool menuItem = record->CtlType == ODT_MENU;
    bool selected = (record->itemState & ODS_SELECTED) != 0;
    const RECT &rect = record->rcItem;
    if (selected)
      FillItem(dc, rect, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT);
    else if (menuItem)
      FillItem(dc, rect, COLOR_MENU, COLOR_MENUTEXT);
    else
      FillItem(dc, rect, COLOR_WINDOW, COLOR_WINDOWTEXT);
    int left = rect.left + (menuItem ? GetMenuLeftMargin() + GetCheckWidth() : 2);
    std::string face = WindowsTextOf(reinterpret_cast<HLOCAL>(record->itemData));
    FontSample sample;
    if (FindFontSample(face, sample)) {
      left = rect.left + (menuItem ? GetMenuLeftMargin() : 2);
      if (HBITMAP bitmap = CreateBitmap(sample.width, sample.height, 1, 1, sample.bits.data())) {
        int top = rect.top + (rect.bottom - rect.top - sample.height) / 2;
        // Black on white as drawn, whatever the item's colours.
        COLORREF text = SetTextColor(dc, RGB(0, 0, 0)), back = SetBkColor(dc, RGB(255, 255, 255));
        BlitBitmap(dc, bitmap, left, top, selected && LowColourDevice(dc));
        SetTextColor(dc, text);
        SetBkColor(dc, back);
        DeleteObject(bitmap);
      }
    } else {
      HGDIOBJ old = SelectObject(dc, FontItemFont(record->CtlType));
      int mode = SetBkMode(dc, TRANSPARENT);
      TextOutA(dc, left, rect.top, face.c_str(), int(face.size()));
      SetBkMode(dc, mode);
      SelectObject(dc, old);
    }
    if (menuItem && (record->itemState & ODS_CHECKED)) DrawMenuCheckMark(dc, &rect, selected);
  });
}

void WINAPI SetMenuRowMajor(MenuHandle menu) {
  if (MenuInfo *info = LiveMenu(menu)) info->menuFlags |= kMenuFlagRowMajor;
}

void WINAPI SetCustomPopup(MenuHandle menu, short item, Boolean refresh) {
  MenuInfo *info = LiveMenu(menu);
  MenuItemSlot *slot = SlotOfItem(menu, item);
  if (!info || !slot || (slot->itemFlags & kItemFlagSeparator)) return;
  slot->itemFlags |= kItemFlagOwnerDraw;
  if (refresh) Guarded(Nothing, [&] { RefreshItem(menu, item); });
}
