// The model's process state: the shortcut atom cache, the per-menu side data, the shortcut
// prefix, and the text conversions every Windows item goes through.
#include "font/charset.h"
#include "tstools/host_resource_ids.h"
#include "frame/library_globals.h"
#include "menu/menu_model.h"

namespace tstools::menu {

ModelState modelState;

ATOM ShortcutAtoms::Acquire(const std::string &windowsText) {
  if (windowsText.empty()) return 0;
  auto known = byText_.find(windowsText);
  if (known != byText_.end()) {
    ++byAtom_[known->second].references;
    return known->second;
  }
  // The maps take their entries first, so a failed insertion leaves no atom behind.
  byText_.reserve(byText_.size() + 1);
  byAtom_.reserve(byAtom_.size() + 1);
  ATOM atom = GlobalAddAtomA(windowsText.c_str());
  if (!atom) return 0;
  auto same = byAtom_.find(atom);
  if (same != byAtom_.end()) {
    // Atom names ignore case: "Ctrl+w" is the atom of "Ctrl+W". One system reference is ours.
    GlobalDeleteAtom(atom);
    same->second.spellings.push_back(windowsText);
    byText_.emplace(windowsText, atom);
    ++same->second.references;
    return atom;
  }
  Entry &entry = byAtom_[atom];
  entry.text = windowsText;
  entry.spellings.push_back(windowsText);
  entry.references = 1;
  byText_.emplace(windowsText, atom);
  return atom;
}

void ShortcutAtoms::Release(ATOM atom) {
  auto entry = byAtom_.find(atom);
  if (!atom || entry == byAtom_.end() || --entry->second.references > 0) return;
  GlobalDeleteAtom(atom);
  for (const std::string &spelling : entry->second.spellings) byText_.erase(spelling);
  byAtom_.erase(entry);
}

std::string ShortcutAtoms::Text(ATOM atom) const {
  auto entry = byAtom_.find(atom);
  if (entry != byAtom_.end()) return entry->second.text;
  char text[256];
  UINT length = GlobalGetAtomNameA(atom, text, sizeof text);
  return std::string(text, length);
}

void ShortcutAtoms::Reset() {
  for (auto &entry : byAtom_) GlobalDeleteAtom(entry.first);
  byAtom_.clear();
  byText_.clear();
}

void ModelState::Reset() {
  shortcuts.Reset();
  menus.clear();
  rawGeneration = 0;
  prefixModule = nullptr;
  prefixLoaded = false;
  shortcutPrefix.clear();
}

std::string MacToWindows(std::string text) {
  MapTextInPlace(reinterpret_cast<uint8_t *>(text.data()), long(text.size()), int(MapDirection::kMacToWin),
                 frameState.defaultCodeSet);
  return text;
}

std::string WindowsToMac(std::string text) {
  MapTextInPlace(reinterpret_cast<uint8_t *>(text.data()), long(text.size()), int(MapDirection::kWinToMac),
                 frameState.defaultCodeSet);
  return text;
}

const std::string &ShortcutPrefix() {
  HINSTANCE module = frameState.resourceInstance;
  if (!modelState.prefixLoaded || modelState.prefixModule != module) {
    char text[256] = {};
    int length = module ? LoadStringA(module, TSRES_STR_SHORTCUT_PREFIX, text, sizeof text) : 0;
    modelState.shortcutPrefix.assign(text, length > 0 ? size_t(length) : 0);
    modelState.prefixModule = module;
    modelState.prefixLoaded = true;
  }
  return modelState.shortcutPrefix;
}

ATOM AcquireCommandShortcut(uint8_t command) {
  if (command == 0) return 0;
  if (command == kHierarchicalCommand) return modelState.shortcuts.Acquire(std::string(1, char(command)));
  std::string character = MacToWindows(std::string(1, char(command)));
  return modelState.shortcuts.Acquire(ShortcutPrefix() + character);
}

}  // namespace tstools::menu
