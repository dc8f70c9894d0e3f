// The model's process state: the shortcut atom cache, the per-menu side data, the shortcut
// prefix, and the text conversions every Windows item goes through.
#include "font/charset.h"
#include "tstools/host_resource_ids.h"
#include "frame/library_globals.h"
#include "menu/menu_model.h"

#include <algorithm>
#include <iterator>

namespace tstools::menu {

ModelState modelState;

ATOM TextAtoms::Acquire(const std::string &windowsText) {
  if (windowsText.empty()) return 0;
  auto known = byText_.find(windowsText);
  if (known != byText_.end()) {
    Entry &entry = byAtom_[known->second];
    if (entry.references++ == 0) --parked_;
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
    if (same->second.references++ == 0) --parked_;
    return atom;
  }
  Entry &entry = byAtom_[atom];
  entry.text = windowsText;
  entry.spellings.push_back(windowsText);
  entry.references = 1;
  byText_.emplace(windowsText, atom);
  return atom;
}

bool TextAtoms::AddReference(ATOM atom) {
  auto entry = byAtom_.find(atom);
  if (entry == byAtom_.end()) return false;
  if (entry->second.references++ == 0) --parked_;
  return true;
}

void TextAtoms::Release(ATOM atom) {
  auto entry = byAtom_.find(atom);
  if (!atom || entry == byAtom_.end() || --entry->second.references > 0) return;
  // While a table lives, a few unused atoms stay for the next menu: each add and delete is a
  // round trip to the server, dearer than building the item itself.
  if (modelState.liveTables > 0 && parked_ < kParkedLimit) {
    ++parked_;
    return;
  }
  GlobalDeleteAtom(atom);
  ++deletions_;
  for (const std::string &spelling : entry->second.spellings) byText_.erase(spelling);
  byAtom_.erase(entry);
}

void TextAtoms::DeleteUnused() {
  for (auto entry = byAtom_.begin(); entry != byAtom_.end();) {
    if (entry->second.references) {
      ++entry;
      continue;
    }
    GlobalDeleteAtom(entry->first);
    ++deletions_;
    for (const std::string &spelling : entry->second.spellings) byText_.erase(spelling);
    entry = byAtom_.erase(entry);
  }
  parked_ = 0;
}

const std::string &TextAtoms::Text(ATOM atom) {
  auto entry = byAtom_.find(atom);
  if (entry != byAtom_.end()) return entry->second.text;
  char text[256];
  UINT length = GlobalGetAtomNameA(atom, text, sizeof text);
  foreign_.assign(text, length);
  return foreign_;
}

void TextAtoms::Reset() {
  for (auto &entry : byAtom_) GlobalDeleteAtom(entry.first);
  ++deletions_;
  byAtom_.clear();
  byText_.clear();
  parked_ = 0;
}

ModelState::~ModelState() { atoms.Reset(); }

void ModelState::Reset() {
  atoms.Reset();
  liveTables = 0;
  menus.clear();
  lastMenu_ = nullptr;
  lastSide_ = nullptr;
  rawGeneration = 0;
  prefixModule = nullptr;
  prefixLoaded = false;
  std::fill(std::begin(commandAtoms), std::end(commandAtoms), ATOM(0));
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
  // The atom last made for this character, while the prefix stays what it was.
  // Any deletion may free a number the system gives to another text, and a new prefix makes
  // other texts: either forgets them all.
  if (modelState.commandAtomsDeletions != modelState.atoms.Deletions() || !modelState.prefixLoaded ||
      modelState.prefixModule != frameState.resourceInstance) {
    std::fill(std::begin(modelState.commandAtoms), std::end(modelState.commandAtoms), ATOM(0));
    modelState.commandAtomsDeletions = modelState.atoms.Deletions();
  }
  ATOM &known = modelState.commandAtoms[command];
  if (known && modelState.atoms.AddReference(known)) return known;
  if (command == kHierarchicalCommand) return known = modelState.atoms.Acquire(std::string(1, char(command)));
  std::string text = ShortcutPrefix() + MacToWindows(std::string(1, char(command)));
  ATOM atom = modelState.atoms.Acquire(text);
  modelState.commandAtoms[command] = atom;
  return atom;
}

}  // namespace tstools::menu
