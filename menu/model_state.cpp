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
  auto found = byText_.find(windowsText);
  if (found != byText_.end()) {
    ++found->second.references;
    return found->second.atom;
  }
  // Both maps take their entries before the system's atom, so a failed insertion leaves
  // no atom behind.
  Entry &entry = byText_[windowsText];
  ATOM atom = GlobalAddAtomA(windowsText.c_str());
  if (!atom || byAtom_.count(atom)) {
    // An integer atom ("#12") or a clash: not one we can count.
    if (atom && !byAtom_.count(atom)) GlobalDeleteAtom(atom);
    byText_.erase(windowsText);
    return 0;
  }
  try {
    byAtom_.emplace(atom, windowsText);
  } catch (...) {
    GlobalDeleteAtom(atom);
    byText_.erase(windowsText);
    throw;
  }
  entry.atom = atom;
  entry.references = 1;
  return atom;
}

void ShortcutAtoms::Release(ATOM atom) {
  if (!atom) return;
  auto named = byAtom_.find(atom);
  if (named == byAtom_.end()) return;
  auto entry = byText_.find(named->second);
  if (entry != byText_.end() && --entry->second.references > 0) return;
  GlobalDeleteAtom(atom);
  if (entry != byText_.end()) byText_.erase(entry);
  byAtom_.erase(named);
}

std::string ShortcutAtoms::Text(ATOM atom) const {
  auto named = byAtom_.find(atom);
  if (named != byAtom_.end()) return named->second;
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
