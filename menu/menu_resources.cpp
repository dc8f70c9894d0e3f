// Menus from the host's resources: "MAC_MENU" (ID, enable mask, command and mark characters)
// and the "MENU_STR_" list of the same ID (title, then each item's text and shortcut text).
// Everything is read and checked before the menu is made, and a failure afterwards disposes
// the partial menu, so a bad resource leaves no menu, Windows menu, slot or atom behind.
#include <windows.h>

#include <string>
#include <vector>

#include "frame/export_guard.h"
#include "frame/library_globals.h"
#include "menu/menu_model.h"
#include "menu/menu_resource.h"
#include "tstools/resources.h"

namespace tstools::menu {
namespace {

bool ListString(HINSTANCE module, short id, int index, std::string &out) {
  Str255 text;
  if (ML_GetIndString(module, text, id, short(index), "MENU_STR_") != noErr) return false;
  out.assign(reinterpret_cast<const char *>(text + 1), text[0]);
  return true;
}

MenuHandle BuildMenu(Handle itemTable, short resourceId, Handle menuBar) {
  HINSTANCE module = frameState.resourceInstance;
  if (!module) return nullptr;
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(WORD(resourceId)), "MAC_MENU");
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void *data = loaded ? LockResource(loaded) : nullptr;
  MacMenuResource resource;
  if (!data || !ReadMacMenu(static_cast<const uint8_t *>(data), SizeofResource(module, found), resource))
    return nullptr;
  std::string title;
  if (!ListString(module, resourceId, 1, title)) return nullptr;
  std::vector<std::string> texts, shortcuts;
  for (size_t n = 1; n <= resource.items.size(); ++n) {
    std::string text, shortcut;
    if (!ListString(module, resourceId, int(2 * n), text) || !ListString(module, resourceId, int(2 * n + 1), shortcut))
      return nullptr;
    texts.push_back(std::move(text));
    shortcuts.push_back(std::move(shortcut));
  }

  Str255 pascalTitle;
  pascalTitle[0] = uint8_t(title.size());
  title.copy(reinterpret_cast<char *>(pascalTitle + 1), title.size());
  MenuHandle menu = ML_NewMenu(resource.menuId, pascalTitle, itemTable, menuBar);
  if (!menu) return nullptr;
  for (size_t i = 0; i < texts.size(); ++i) {
    int n = int(i + 1);
    bool separator = texts[i].compare(0, 2, "(-") == 0;
    ATOM shortcut = 0;
    bool added = false;
    try {
      if (!separator) shortcut = modelState.shortcuts.Acquire(MacToWindows(shortcuts[i]));
      added = AddItem(menu, n - 1, separator ? texts[i].substr(1) : texts[i],
                      separator ? kItemFlagSeparator : 0) == n;
    } catch (...) {
      modelState.shortcuts.Release(shortcut);
      M_DisposeMenu(menu);
      throw;
    }
    MenuItemSlot *slot = added ? SlotOfItem(menu, n) : nullptr;
    if (!slot) {
      modelState.shortcuts.Release(shortcut);
      M_DisposeMenu(menu);
      return nullptr;
    }
    slot->shortcutAtom = shortcut;
    slot->itemMark = uint8_t(resource.items[i].mark);
    if (resource.items[i].mark == kMacCheckMark) slot->itemFlags |= kItemFlagChecked;
    if (resource.items[i].command) ML_SetItemCmd(menu, short(n), short(resource.items[i].command), 0);
  }
  SetItems(menu, long(resource.enableMask));
  if (!resource.menuEnabled) DisableItem(menu, 0);
  return menu;
}

}  // namespace
}  // namespace tstools::menu

using namespace tstools;
using namespace tstools::menu;

MenuHandle WINAPI ML_GetMenu(Handle itemTable, short resourceID, Handle menuBar) {
  return Guarded(MenuHandle(nullptr), [&] { return BuildMenu(itemTable, resourceID, menuBar); });
}
