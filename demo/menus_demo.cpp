// The demo's menus: a menu bar built from the host's resources, a font menu whose faces are
// drawn as samples, and a popup menu tracked by the library; menus.png and popup.png.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "demo/demo.h"
#include "tstools/tstools.h"

namespace {

constexpr short kFontMenuId = 3;
constexpr short kStyleMenuId = 200;
constexpr short kSizeMenuId = 201;

std::string Text(ConstStr255Param s) { return std::string(reinterpret_cast<const char *>(s + 1), s[0]); }

std::vector<unsigned char> Pascal(const std::string &text) {
  std::vector<unsigned char> s(text.size() + 1, static_cast<unsigned char>(text.size()));
  std::copy(text.begin(), text.end(), s.begin() + 1);
  return s;
}

// Timers fire inside the menu loops: save the screen, then leave the loop as a user would.
HWND timerFrame = nullptr;
const char *timerShot = nullptr;
bool timerSaved = false;

void CALLBACK SaveAndEscape(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  timerSaved = SaveScreenshot(timerFrame, std::string(TSTOOLS_DEMO_DIR) + "/" + timerShot);
  HWND target = GetFocus() ? GetFocus() : timerFrame;
  PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageA(target, WM_KEYUP, VK_ESCAPE, 0xC0000001);
}

bool Shoot(HWND frame, const char *name, UINT delay) {
  timerFrame = frame;
  timerShot = name;
  timerSaved = false;
  SetTimer(nullptr, 0, delay, SaveAndEscape);
  return true;
}

int CALLBACK AddFace(const LOGFONTA *font, const TEXTMETRICA *, DWORD, LPARAM list) {
  auto &names = *reinterpret_cast<std::vector<std::string> *>(list);
  // Wine lists a family once for each of its character sets.
  bool known = std::find(names.begin(), names.end(), font->lfFaceName) != names.end();
  if (font->lfFaceName[0] != '@' && !known && names.size() < 6) names.emplace_back(font->lfFaceName);
  return 1;
}

// A few faces for the font menu, so that it is short enough to look at.
std::vector<std::string> ChooseFaces(HWND frame) {
  std::vector<std::string> faces;
  HDC dc = GetDC(frame);
  EnumFontFamiliesA(dc, nullptr, reinterpret_cast<FONTENUMPROCA>(AddFace), reinterpret_cast<LPARAM>(&faces));
  ReleaseDC(frame, dc);
  return faces;
}

}  // namespace

bool FrameMenuMessage(UINT message, LPARAM lParam) {
  if (message == WM_MEASUREITEM && reinterpret_cast<MEASUREITEMSTRUCT *>(lParam)->CtlType == ODT_MENU) {
    MenuHandleMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT *>(lParam));
    return true;
  }
  if (message == WM_DRAWITEM && reinterpret_cast<DRAWITEMSTRUCT *>(lParam)->CtlType == ODT_MENU) {
    MenuHandleDrawItem(reinterpret_cast<DRAWITEMSTRUCT *>(lParam));
    return true;
  }
  return false;
}

bool ShowMenus(HWND frame, HWND document) {
  int chosen = 0;
  for (const std::string &face : ChooseFaces(frame)) chosen += WriteFontProfileString(face.c_str(), "1") ? 1 : 0;
  Handle bar = nullptr, table = nullptr;
  OSErr err = ML_InitMenus(0, &bar, &table, 1, frame);
  MenuHandle file = ML_GetMenu(table, TSRES_MENU_FILE, bar);
  MenuHandle edit = ML_GetMenu(table, TSRES_MENU_EDIT, bar);
  MenuHandle font = ML_NewMenu(kFontMenuId, reinterpret_cast<ConstStr255Param>("\x04" "Font"), table, bar);
  AddResMenu(font, kFontResourceType);
  for (MenuHandle m : {file, edit, font}) M_InsertMenu(m, 0, 0);
  DisableItem(edit, 1);
  CheckItem(font, 1, true);
  ML_DrawMenuBar(frame);
  Str255 item{};
  GetItem(file, 2, item);
  short command = 0;
  GetItemCmd(file, 2, &command);
  std::printf("menus:           ML_InitMenus %d; File (%d items, item 2 \"%s\" /%c), Edit (%d), Font (%d faces, "
              "%d chosen, %d shown)\n",
              err, CountMItems(file), Text(item).c_str(), command ? command : ' ', CountMItems(edit),
              CountMItems(font), chosen, GetMenuItemCount(ML_GetWinMenuHandle(font)) - 2);

  // The font menu, dropped down under its title.
  RECT title{};
  GetMenuItemRect(frame, GetMenu(frame), 2, &title);
  Shoot(frame, "menus.png", 1500);
  TrackPopupMenu(ML_GetWinMenuHandle(font), TPM_LEFTALIGN | TPM_TOPALIGN, title.left, title.bottom, 0, frame, nullptr);
  std::printf("font menu:       %s/menus.png%s\n", TSTOOLS_DEMO_DIR, timerSaved ? "" : " could not be written");
  bool saved = timerSaved;

  // A popup with a default item, a check mark, a disabled item and a submenu.
  MenuHandle style = ML_NewMenu(kStyleMenuId, reinterpret_cast<ConstStr255Param>("\x05" "Style"), table, bar);
  MenuHandle size = ML_NewMenu(kSizeMenuId, reinterpret_cast<ConstStr255Param>("\x04" "Size"), table, bar);
  M_AppendMenu(style, Pascal("Plain/T;Bold/B;Italic/I;(Outline;(-;Size/\x1B!\xC9").data());
  M_AppendMenu(size, Pascal("9 point;12 point;24 point").data());
  M_InsertMenu(size, -1, 0);
  CheckItem(style, 2, true);
  SetDefaultMenuItem(style, 1);
  RECT where{};
  GetWindowRect(document, &where);
  Shoot(frame, "popup.png", 1500);
  long choice = ML_PopUpMenuSelect(style, short(where.top + 60), short(where.left + 60), frame, nullptr, 0, 2,
                                   kPopupMenuFont);
  std::printf("popup menu:      %s/popup.png%s; ESC chose %#lx\n", TSTOOLS_DEMO_DIR,
              timerSaved ? "" : " could not be written", choice);
  saved = saved && timerSaved;

  ML_ClearMenuBar(bar);
  for (MenuHandle m : {file, edit, font, style, size}) M_DisposeMenu(m);
  ML_MenuShutdown(&bar, &table);
  return saved;
}
