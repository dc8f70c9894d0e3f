// The font menu dialog: the user picks the faces a font menu shows and switches samples on or
// off; OK rebuilds the menu from the choice and writes it to the font settings.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "font/font_samples.h"
#include "frame/export_guard.h"
#include "frame/library_globals.h"
#include "frame/settings_profile.h"
#include "menu/menu_model.h"
#include "tstools/font_menu.h"
#include "tstools/popup_menu.h"
#include "tstools/host_resource_ids.h"

namespace tstools {

namespace {

constexpr char kPropertyName[] = "Font Menu";

// The "Font Menu" property's block on the frame window while the dialog runs.
struct DialogData {
  BOOL changed;
  HWND currentList;  // the list the move button works on
  MenuHandle menu;
  BOOL samples;
  BOOL samplesAtStart;
};

DialogData *DataOf(HWND dialog) {
  HWND owner = dialog ? GetWindow(dialog, GW_OWNER) : nullptr;
  return owner ? static_cast<DialogData *>(GetPropA(owner, kPropertyName)) : nullptr;
}

HWND List(HWND dialog, int id) { return GetDlgItem(dialog, id); }

// Item data of every row of a list: the font items' text handles.
std::vector<HLOCAL> Rows(HWND list) {
  std::vector<HLOCAL> rows;
  LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i)
    rows.push_back(reinterpret_cast<HLOCAL>(SendMessageA(list, LB_GETITEMDATA, WPARAM(i), 0)));
  return rows;
}

HLOCAL SelectedRow(HWND list) {
  LRESULT at = SendMessageA(list, LB_GETCURSEL, 0, 0);
  return at == LB_ERR ? nullptr : reinterpret_cast<HLOCAL>(SendMessageA(list, LB_GETITEMDATA, WPARAM(at), 0));
}

// Fills list with the menu's font items (all, or those `keep` accepts) in menu order.
template <typename Keep>
void FillList(HWND list, MenuHandle menu, Keep keep) {
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  MenuInfo *info = menu::LiveMenu(menu);
  for (int n = 1; info && n <= (*menu)->itemCount; ++n) {
    MenuItemSlot *slot = menu::SlotOfItem(menu, n);
    if (slot && (slot->itemFlags & kItemFlagFont) && keep(*slot))
      SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(slot->textHandle));
  }
}

std::string FaceOf(HLOCAL text) {
  const char *p = text ? static_cast<const char *>(LocalLock(text)) : nullptr;
  std::string face = p ? p : "";
  if (p) LocalUnlock(text);
  return menu::MacToWindows(face);
}

void ShowMoveCaption(HWND dialog, bool chosenList) {
  std::string caption = LoadHostString(chosenList ? TSRES_STR_FONTDLG_REMOVE : TSRES_STR_FONTDLG_ADD);
  if (!caption.empty()) SetDlgItemTextA(dialog, TSRES_FONTDLG_MOVE, caption.c_str());
}

// Adds a face to the chosen list, rebuilt in menu order in the hidden twin, which then takes
// the list's place and identifier.
void AddChosen(HWND dialog, DialogData &data, HLOCAL face) {
  HWND shown = List(dialog, TSRES_FONTDLG_CHOSEN_LIST), twin = List(dialog, TSRES_FONTDLG_CHOSEN_TWIN);
  if (!shown || !twin || !face) return;
  std::vector<HLOCAL> rows = Rows(shown);
  if (std::find(rows.begin(), rows.end(), face) == rows.end()) {
    rows.push_back(face);
    FillList(twin, data.menu, [&](const MenuItemSlot &slot) {
      return std::find(rows.begin(), rows.end(), slot.textHandle) != rows.end();
    });
    SetWindowLongPtrA(twin, GWLP_ID, TSRES_FONTDLG_CHOSEN_LIST);
    SetWindowLongPtrA(shown, GWLP_ID, TSRES_FONTDLG_CHOSEN_TWIN);
    SetWindowPos(twin, shown, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(twin, SW_SHOWNA);
    ShowWindow(shown, SW_HIDE);
    SendMessageA(shown, LB_RESETCONTENT, 0, 0);
    if (data.currentList == shown) data.currentList = twin;
    shown = twin;
  }
  LRESULT at = SendMessageA(shown, LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(face));
  SendMessageA(shown, LB_SETCURSEL, WPARAM(at), 0);
  data.changed = TRUE;
}

void RemoveChosen(HWND dialog, DialogData &data) {
  HWND list = List(dialog, TSRES_FONTDLG_CHOSEN_LIST);
  LRESULT at = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (at == LB_ERR) return;
  SendMessageA(list, LB_DELETESTRING, WPARAM(at), 0);
  LRESULT left = SendMessageA(list, LB_GETCOUNT, 0, 0);
  if (left > 0) SendMessageA(list, LB_SETCURSEL, WPARAM(std::min<LRESULT>(at, left - 1)), 0);
  data.changed = TRUE;
}

void Move(HWND dialog, DialogData &data) {
  if (data.currentList == List(dialog, TSRES_FONTDLG_CHOSEN_LIST))
    RemoveChosen(dialog, data);
  else
    AddChosen(dialog, data, SelectedRow(List(dialog, TSRES_FONTDLG_ALL_LIST)));
}

void ReportSettingsFailure(HWND dialog) {
  MessageBoxA(dialog, "Error in writing native pref", "VANTORTS", MB_OK | MB_ICONEXCLAMATION);
}

// The menu rebuilt from the choice: out of the bar, a new empty Windows menu (the old one
// destroyed), each font item hidden or shown and its face written "0" or "1", plain where no
// sample is in memory, and back into the bar as a hierarchical menu.
void Apply(HWND dialog, DialogData &data) {
  bool settingsWritten = true;
  if (data.samples != data.samplesAtStart) {
    settingsWritten = WriteFontSetting(TSRES_STR_FONT_SAMPLES_KEY, data.samples ? "1" : "0");
    if (data.samples) UpdateFontFile(TRUE);
  }
  MenuHandle menu = data.menu;
  MenuInfo *info = menu::LiveMenu(menu);
  if (!info || !menu::LiveBar(info->menuBar)) return;
  std::vector<HLOCAL> chosen = Rows(List(dialog, TSRES_FONTDLG_CHOSEN_LIST));
  auto side = menu::modelState.menus.find(menu);
  unsigned options = side != menu::modelState.menus.end() ? side->second.options : 0;
  HMENU fresh = CreatePopupMenu();
  if (!fresh) return;

  menu::RemoveFromBar(info->menuBar, info->menuID);
  menu::DetachSubmenus(menu);
  HMENU replaced = (*menu)->winMenu;
  (*menu)->winMenu = fresh;
  for (int n = 1; n <= (*menu)->itemCount; ++n) {
    MenuItemSlot *slot = menu::SlotOfItem(menu, n);
    if (!slot || !(slot->itemFlags & kItemFlagFont)) continue;
    bool shown = std::find(chosen.begin(), chosen.end(), slot->textHandle) != chosen.end();
    std::string face = FaceOf(slot->textHandle);
    slot = menu::SlotOfItem(menu, n);
    slot->itemFlags = uint16_t(shown ? slot->itemFlags & ~kItemFlagHidden : slot->itemFlags | kItemFlagHidden);
    if (FontBitmapExists(face.c_str()))
      slot->itemFlags &= uint16_t(~kItemFlagPlainFont);
    else
      slot->itemFlags |= kItemFlagPlainFont;
    settingsWritten = WriteFontProfileString(face.c_str(), shown ? "1" : "0") && settingsWritten;
  }
  if (data.samples)
    (*menu)->menuFlags |= kMenuFlagSamples;
  else
    (*menu)->menuFlags &= uint16_t(~kMenuFlagSamples);
  if (!platform.isWin98Family && !platform.isNT5) ML_CalcMenuSize(menu, short(options));
  menu::InvalidatePositions(menu);
  menu::InsertIntoBar(menu, -1, options);
  if (replaced && replaced != fresh) DestroyMenu(replaced);
  if (!settingsWritten) ReportSettingsFailure(dialog);
}

INT_PTR InitDialog(HWND dialog) {
  DialogData *data = DataOf(dialog);
  if (!data || !menu::LiveMenu(data->menu)) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  HWND check = GetDlgItem(dialog, TSRES_FONTDLG_SAMPLES_CHECK);
  bool noSamples = FontSetting(TSRES_STR_FONT_NO_SAMPLES_KEY, "0") == "1";
  data->samples = !noSamples && FontSetting(TSRES_STR_FONT_SAMPLES_KEY, "1") != "0";
  data->samplesAtStart = data->samples;
  SendMessageA(check, BM_SETCHECK, data->samples ? BST_CHECKED : BST_UNCHECKED, 0);
  if (noSamples) EnableWindow(check, FALSE);
  FillList(List(dialog, TSRES_FONTDLG_ALL_LIST), data->menu, [](const MenuItemSlot &) { return true; });
  FillList(List(dialog, TSRES_FONTDLG_CHOSEN_LIST), data->menu,
           [](const MenuItemSlot &slot) { return !(slot.itemFlags & kItemFlagHidden); });
  data->currentList = List(dialog, TSRES_FONTDLG_ALL_LIST);
  SendMessageA(data->currentList, LB_SETCURSEL, 0, 0);
  ShowMoveCaption(dialog, false);
  return TRUE;
}

INT_PTR Command(HWND dialog, WORD id, WORD code) {
  DialogData *data = DataOf(dialog);
  if (!data) return FALSE;
  switch (id) {
    case TSRES_FONTDLG_ALL_LIST:
    case TSRES_FONTDLG_CHOSEN_LIST:
      if (code == LBN_SETFOCUS) {
        data->currentList = List(dialog, id);
        ShowMoveCaption(dialog, id == TSRES_FONTDLG_CHOSEN_LIST);
      } else if (code == LBN_DBLCLK) {
        data->currentList = List(dialog, id);
        Move(dialog, *data);
      }
      return TRUE;
    case TSRES_FONTDLG_MOVE:
      Move(dialog, *data);
      return TRUE;
    case TSRES_FONTDLG_SAMPLES_CHECK:
      data->samples = IsDlgButtonChecked(dialog, TSRES_FONTDLG_SAMPLES_CHECK) == BST_CHECKED;
      data->changed = TRUE;
      return TRUE;
    case IDOK:
      if (data->changed) Apply(dialog, *data);
      EndDialog(dialog, IDOK);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace
}  // namespace tstools

using namespace tstools;

void WINAPI DoFontMenuDialog(MenuHandle menu) {
  Guarded(Nothing, [&] {
    MenuInfo *info = menu::LiveMenu(menu);
    MenuBarHeader *bar = info ? menu::LiveBar(info->menuBar) : nullptr;
    if (!bar || !(info->menuFlags & kMenuFlagFontMenu) || !frameState.resourceInstance) return;
    HWND frame = bar->frameWindow;
    if (!IsWindow(frame) || GetPropA(frame, kPropertyName)) return;  // one dialog at a time
    HLOCAL block = LocalAlloc(LPTR, sizeof(DialogData));
    if (!block) return;
    auto *data = static_cast<DialogData *>(LocalLock(block));
    data->menu = menu;
    if (!SetPropA(frame, kPropertyName, data)) {
      LocalUnlock(block);
      LocalFree(block);
      return;
    }
    HFONT font = CreateFontA(-8, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Helv");
    fontCacheState.dialogFont = font;
    DialogBoxParamA(frameState.resourceInstance, TSRES_DLG_FONT_MENU_NAME, frame, FontMenuDlgProc, 0);
    fontCacheState.dialogFont = nullptr;
    if (font) DeleteObject(font);
    // The property goes before its block: nothing may find a freed block through it.
    RemovePropA(frame, kPropertyName);
    LocalUnlock(block);
    LocalFree(block);
  });
}

INT_PTR WINAPI FontMenuDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!dialog) return FALSE;
  return Guarded(INT_PTR(FALSE), [&]() -> INT_PTR {
    switch (message) {
      case WM_INITDIALOG:
        return InitDialog(dialog);
      case WM_MEASUREITEM:
        if (!lParam) return FALSE;
        // Both lists show their faces as the font menu does, samples included.
        MenuHandleMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT *>(lParam));
        return TRUE;
      case WM_DRAWITEM:
        if (!lParam) return FALSE;
        if (reinterpret_cast<const DRAWITEMSTRUCT *>(lParam)->itemID != UINT(-1))
          MenuHandleDrawItem(reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
        return TRUE;
      case WM_COMMAND:
        return Command(dialog, LOWORD(wParam), HIWORD(wParam));
      default:
        return FALSE;
    }
  });
}
