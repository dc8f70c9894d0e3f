// The font table: a Mac-style number for every font family of the screen and the printer.
#include <windows.h>

#include <cstring>
#include <new>
#include <string>

#include "font/font_manager.h"
#include "font/font_table_rules.h"
#include "frame/export_guard.h"
#include "frame/library_globals.h"
#include "frame/settings_profile.h"
#include "tstools/font.h"
#include "tstools/host_resource_ids.h"

namespace tstools {

FontState fontState;

namespace {

// One record per font number in a movable global block.
struct FontTableEntry {
  WORD nameAtom;         // local atom of the face name
  WORD fontType;         // FontKind
  short minBoldSize;     // 0: bold at every size
  BYTE pitchAndFamily;   // as enumerated
  BYTE charSet;          // as enumerated
};
static_assert(sizeof(FontTableEntry) == 8, "font table entries are 8 bytes");

int AtmFontAvailable(LPCSTR face) {
  return fontState.atmFontAvailable ? fontState.atmFontAvailable(face, 400, 0, 0, 0) : 0;
}
int AtmProperlyLoaded() { return fontState.atmProperlyLoaded ? fontState.atmProperlyLoaded() : 0; }

template <typename Fn>
Fn Entry(HMODULE module, const char *name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

void LoadAtmBridge() {
  FontState &state = fontState;
  if (state.atmModule || !(frameState.platform.isWin9x || frameState.platform.isWin32s)) return;
  const std::string name = frameState.platform.isWin32s ? "TSCOMM32.DLL" : "TSATM32.DLL";
  OFSTRUCT of = {};
  of.cBytes = sizeof of;
  std::string inSystem = "SYSTEM\\" + name;
  if (OpenFile(inSystem.c_str(), &of, OF_EXIST) != HFILE_ERROR) {
    char host[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(frameState.hostModule, host, sizeof host);
    std::string folder;
    if (n > 0 && n < sizeof host) {
      folder.assign(host, n);
      size_t cut = folder.find_last_of('\\');
      folder = cut == std::string::npos ? std::string() : folder.substr(0, cut + 1);
    }
    state.atmModule = LoadLibraryA((folder + inSystem).c_str());
  }
  if (!state.atmModule && OpenFile(name.c_str(), &of, OF_EXIST) != HFILE_ERROR) state.atmModule = LoadLibraryA(name.c_str());
  if (!state.atmModule) return;
  state.atmFontAvailable = Entry<AtmFontAvailableFn>(state.atmModule, "_TS32_ATMFontAvailable@20");
  state.atmProperlyLoaded = Entry<AtmVoidFn>(state.atmModule, "_TS32_ATMProperlyLoaded@0");
  state.atmForceExactWidth = Entry<AtmVoidFn>(state.atmModule, "_TS32_ATMForceExactWidth@0");
  state.atmClearAllForce = Entry<AtmVoidFn>(state.atmModule, "_TS32_ATMClearAllForce@0");
}

// A font table: the block of entries and how many there are.
struct FontTable {
  HGLOBAL block = nullptr;
  short count = 0;
};

FontTable Current() { return {fontState.table, fontState.count}; }

// Frees the block and the name atoms its entries hold.
void Release(FontTable table) {
  if (!table.block) return;
  if (auto *entries = static_cast<const FontTableEntry *>(GlobalLock(table.block))) {
    for (short i = 0; i < table.count; ++i)
      if (entries[i].nameAtom) DeleteAtom(entries[i].nameAtom);
    GlobalUnlock(table.block);
  }
  GlobalFree(table.block);
}

// Copies of an entry for the accessors; false for an invalid number.
bool ReadEntry(short number, FontTableEntry &entry) {
  FontTable table = Current();
  if (number < 0 || number >= table.count || !table.block) return false;
  const FontTableEntry *entries = static_cast<const FontTableEntry *>(GlobalLock(table.block));
  if (!entries) return false;
  entry = entries[number];
  GlobalUnlock(table.block);
  return true;
}

// The number of the face named name from number 2 on, or 0.
short FindEnumerated(const FontTable &table, const std::string &name) {
  if (name.empty() || !table.block) return 0;
  const FontTableEntry *entries = static_cast<const FontTableEntry *>(GlobalLock(table.block));
  if (!entries) return 0;
  short found = 0;
  char text[kMaxFaceNameChars + 1];
  for (short i = 2; i < table.count && !found; ++i) {
    UINT n = entries[i].nameAtom ? GetAtomNameA(entries[i].nameAtom, text, sizeof text) : 0;
    if (name.compare(0, std::string::npos, text, n) == 0) found = i;
  }
  GlobalUnlock(table.block);
  return found;
}

// Out of memory like any other allocation: the whole table is given up.
void AppendEntry(FontTable &table, const std::string &faceName, const FontTableEntry &fields) {
  HGLOBAL grown = GlobalReAlloc(table.block, SIZE_T(table.count + 1) * sizeof(FontTableEntry), GMEM_MOVEABLE);
  if (!grown) throw std::bad_alloc();
  table.block = grown;
  FontTableEntry *entries = static_cast<FontTableEntry *>(GlobalLock(table.block));
  if (!entries) throw std::bad_alloc();
  entries[table.count] = fields;
  entries[table.count].nameAtom = AddAtomA(faceName.substr(0, kMaxFaceNameChars).c_str());
  GlobalUnlock(table.block);
  ++table.count;
}

struct EnumerationContext {
  FontTable *table;
  EnumerationMode mode;
  std::string boldSection, boldDefaultKey;
  bool failed = false;  // an allocation failed in the callback: the table is not to be used
};

int AddFamily(const LOGFONTA *logFont, DWORD fontType, EnumerationContext &context) {
  std::string face(logFont->lfFaceName, strnlen(logFont->lfFaceName, kMaxFaceNameChars));
  if (face.empty() || FindEnumerated(*context.table, face) != 0) return 1;
  if (context.table->count == SHRT_MAX) return 0;  // font numbers are 16-bit

  bool trueType = (fontType & TRUETYPE_FONTTYPE) != 0;
  bool atm = !trueType && (context.mode == EnumerationMode::kScreenWithAtm ||
                           context.mode == EnumerationMode::kPrinterWithAtm) &&
             AtmFontAvailable(face.c_str()) != 0;
  FontTableEntry entry = {};
  entry.fontType = WORD(KindOfFace(trueType, context.mode, atm));
  entry.pitchAndFamily = logFont->lfPitchAndFamily;
  entry.charSet = logFont->lfCharSet;
  if (trueType) {
    std::string own = ReadProfileString(context.boldSection, face.c_str(), "-1", 4);
    std::string fallback = own == "-1" ? ReadProfileString(context.boldSection, context.boldDefaultKey.c_str(), "0", 4)
                                       : std::string();
    entry.minBoldSize = MinBoldSizeFromSettings(own, fallback);
  }
  AppendEntry(*context.table, face, entry);
  return 1;
}

// An exception cannot unwind through the system's enumeration code: it ends the enumeration.
int CALLBACK AddFamilyCallback(const LOGFONTA *logFont, const TEXTMETRICA *, DWORD fontType, LPARAM param) {
  auto &context = *reinterpret_cast<EnumerationContext *>(param);
  return Guarded([&] { context.failed = true; return 0; }, [&] { return AddFamily(logFont, fontType, context); });
}

void EnumerateDevice(HDC dc, EnumerationMode plain, EnumerationMode withAtm, EnumerationContext &context) {
  context.mode = AtmProperlyLoaded() ? withAtm : plain;
  EnumFontFamiliesA(dc, nullptr, reinterpret_cast<FONTENUMPROCA>(AddFamilyCallback), reinterpret_cast<LPARAM>(&context));
}

std::string DefaultPrinterSetting() {
  std::string section = LoadHostString(TSRES_STR_PREFERENCES_SECTION);
  std::string text = ReadProfileString(section, "Printer", "", 255);
  if (text.empty()) {
    char device[256] = {};
    GetProfileStringA("windows", "device", "", device, sizeof device);
    text = device;
  }
  return text;
}

// Enumerates the screen's and the default printer's families into a new table. Throws when
// memory runs out, leaving nothing behind.
FontTable BuildTable() {
  BYTE charSet = GetDefaultSystemCharSet();
  FontTable table;
  table.block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 2 * sizeof(FontTableEntry));
  if (!table.block) throw std::bad_alloc();
  try {
    std::string fixedNames[2] = {FixedFaceName(0, charSet), FixedFaceName(1, charSet)};
    auto *entries = static_cast<FontTableEntry *>(GlobalLock(table.block));
    if (!entries) throw std::bad_alloc();
    for (int i = 0; i < 2; ++i)
      entries[i] = FontTableEntry{AddAtomA(fixedNames[i].c_str()), WORD(FontKind::kScreen), 0, 0, charSet};
    GlobalUnlock(table.block);
    table.count = 2;

    EnumerationContext context{&table, EnumerationMode::kScreen, LoadHostString(TSRES_STR_BOLD_SIZE_SECTION),
                               LoadHostString(TSRES_STR_BOLD_SIZE_DEFAULT_KEY)};
    HWND desktop = GetDesktopWindow();
    if (HDC screen = GetDC(desktop)) {
      EnumerateDevice(screen, EnumerationMode::kScreen, EnumerationMode::kScreenWithAtm, context);
      ReleaseDC(desktop, screen);
    }
    if (!context.failed) {
      if (HDC info = CreateDefaultPrinterInfoContext()) {
        EnumerateDevice(info, EnumerationMode::kPrinter, EnumerationMode::kPrinterWithAtm, context);
        DeleteDC(info);
      }
    }
    if (context.failed) throw std::bad_alloc();
  } catch (...) {
    Release(table);
    throw;
  }
  return table;
}

}  // namespace

HDC CreateDefaultPrinterInfoContext() {
  PrinterSetting printer;
  if (!ParsePrinterSetting(DefaultPrinterSetting(), printer)) return nullptr;
  return CreateICA(printer.driver.c_str(), printer.device.c_str(), printer.port.c_str(), nullptr);
}

void FontState::Reset() {
  Release(Current());
  if (atmModule) FreeLibrary(atmModule);
  *this = FontState();
}

int AtmForceExactWidth() { return fontState.atmForceExactWidth ? fontState.atmForceExactWidth() : 0; }
int AtmClearAllForce() { return fontState.atmClearAllForce ? fontState.atmClearAllForce() : 0; }

}  // namespace tstools

using namespace tstools;

// The new table is built beside the old one and replaces it only when complete; running
// out of memory keeps the old table, and unloads a bridge this call loaded.
void WINAPI InitFonts(void) {
  Guarded(Nothing, [] {
    FontState before = fontState;
    FontTable built;
    try {
      LoadAtmBridge();
      built = BuildTable();
      if (before.table && onFontTableReplaced) onFontTableReplaced();
    } catch (...) {
      Release(built);
      if (fontState.atmModule != before.atmModule) FreeLibrary(fontState.atmModule);
      fontState = before;
      throw;
    }
    fontState.table = built.block;
    fontState.count = built.count;
    Release({before.table, before.count});
    if (onFontTableBuilt) onFontTableBuilt();
  });
}

void WINAPI GetFNum(ConstStr255Param name, short *familyID) {
  if (familyID) *familyID = Guarded(0, [&] { return FindEnumerated(Current(), LookupName(name)); });
}

void WINAPI GetFontName(short familyID, StringPtr name) {
  if (!name) return;
  FontTableEntry entry;
  char text[kMaxFaceNameChars + 1];
  UINT n = ReadEntry(familyID, entry) && entry.nameAtom ? GetAtomNameA(entry.nameAtom, text, sizeof text) : 0;
  name[0] = static_cast<unsigned char>(n);
  std::memcpy(name + 1, text, n);
}

void WINAPI GetFontType(short familyID, unsigned short *fontType) {
  FontTableEntry entry;
  if (fontType) *fontType = ReadEntry(familyID, entry) ? entry.fontType : 0;
}

short WINAPI GetMinBoldSize(short familyID) {
  FontTableEntry entry;
  return ReadEntry(familyID, entry) ? entry.minBoldSize : 0;
}

void WINAPI GetWinFontInfo(short familyID, BYTE *pitchAndFamily, BYTE *charSet) {
  FontTableEntry entry = {};
  bool valid = ReadEntry(familyID, entry);
  if (pitchAndFamily) *pitchAndFamily = valid ? entry.pitchAndFamily : 0;
  if (charSet) *charSet = valid ? entry.charSet : 0;
}

signed char WINAPI GetCharSet(short familyID) {
  FontTableEntry entry;
  return ReadEntry(familyID, entry) ? static_cast<signed char>(entry.charSet) : -1;
}
