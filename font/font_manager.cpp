// The font table: a Mac-style number for every font family of the screen and the printer.
#include <windows.h>

#include <cstring>
#include <string>

#include "font/font_manager.h"
#include "font/font_table_rules.h"
#include "frame/library_globals.h"
#include "frame/settings_profile.h"
#include "tstools/font.h"
#include "tstools/host_resource_ids.h"

namespace tstools {

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

HGLOBAL fontTable = nullptr;
short fontCount = 0;

// The optional Type 1 bridge module and its entry points.
using AtmFontAvailableFn = int(WINAPI *)(LPCSTR face, int weight, int a, int b, int c);
using AtmVoidFn = int(WINAPI *)();
HMODULE atmModule = nullptr;
AtmFontAvailableFn atmFontAvailable = nullptr;
AtmVoidFn atmProperlyLoaded = nullptr, atmForceExactWidth = nullptr, atmClearAllForce = nullptr;

int AtmFontAvailable(LPCSTR face) { return atmFontAvailable ? atmFontAvailable(face, 400, 0, 0, 0) : 0; }
int AtmProperlyLoaded() { return atmProperlyLoaded ? atmProperlyLoaded() : 0; }

void LoadAtmBridge() {
  if (atmModule || !(platform.isWin9x || platform.isWin32s)) return;
  const std::string name = platform.isWin32s ? "TSCOMM32.DLL" : "TSATM32.DLL";
  OFSTRUCT of = {};
  of.cBytes = sizeof of;
  std::string inSystem = "SYSTEM\\" + name;
  if (OpenFile(inSystem.c_str(), &of, OF_EXIST) != HFILE_ERROR) {
    char host[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(hostModule, host, sizeof host);
    std::string folder;
    if (n > 0 && n < sizeof host) {
      folder.assign(host, n);
      size_t cut = folder.find_last_of('\\');
      folder = cut == std::string::npos ? std::string() : folder.substr(0, cut + 1);
    }
    atmModule = LoadLibraryA((folder + inSystem).c_str());
  }
  if (!atmModule && OpenFile(name.c_str(), &of, OF_EXIST) != HFILE_ERROR) atmModule = LoadLibraryA(name.c_str());
  if (!atmModule) return;
  atmFontAvailable = reinterpret_cast<AtmFontAvailableFn>(
      reinterpret_cast<void *>(GetProcAddress(atmModule, "_TS32_ATMFontAvailable@20")));
  atmProperlyLoaded =
      reinterpret_cast<AtmVoidFn>(reinterpret_cast<void *>(GetProcAddress(atmModule, "_TS32_ATMProperlyLoaded@0")));
  atmForceExactWidth =
      reinterpret_cast<AtmVoidFn>(reinterpret_cast<void *>(GetProcAddress(atmModule, "_TS32_ATMForceExactWidth@0")));
  atmClearAllForce =
      reinterpret_cast<AtmVoidFn>(reinterpret_cast<void *>(GetProcAddress(atmModule, "_TS32_ATMClearAllForce@0")));
}

std::string AtomText(ATOM atom) {
  char name[kMaxFaceNameChars + 1] = {};
  UINT n = atom ? GetAtomNameA(atom, name, sizeof name) : 0;
  return std::string(name, n);
}

// Copies of an entry for the accessors; false for an invalid number.
bool ReadEntry(short number, FontTableEntry &entry) {
  if (number < 0 || number >= fontCount || !fontTable) return false;
  const FontTableEntry *entries = static_cast<const FontTableEntry *>(GlobalLock(fontTable));
  if (!entries) return false;
  entry = entries[number];
  GlobalUnlock(fontTable);
  return true;
}

// The number of the face named name from number 2 on, or 0.
short FindEnumerated(const std::string &name) {
  if (name.empty() || !fontTable) return 0;
  const FontTableEntry *entries = static_cast<const FontTableEntry *>(GlobalLock(fontTable));
  if (!entries) return 0;
  short found = 0;
  for (short i = 2; i < fontCount && !found; ++i)
    if (AtomText(entries[i].nameAtom) == name) found = i;
  GlobalUnlock(fontTable);
  return found;
}

bool AppendEntry(const std::string &faceName, const FontTableEntry &fields) {
  HGLOBAL grown = GlobalReAlloc(fontTable, SIZE_T(fontCount + 1) * sizeof(FontTableEntry), GMEM_MOVEABLE);
  if (!grown) return false;
  fontTable = grown;
  FontTableEntry *entries = static_cast<FontTableEntry *>(GlobalLock(fontTable));
  if (!entries) return false;
  entries[fontCount] = fields;
  entries[fontCount].nameAtom = AddAtomA(faceName.substr(0, kMaxFaceNameChars).c_str());
  GlobalUnlock(fontTable);
  ++fontCount;
  return true;
}

struct EnumerationContext {
  EnumerationMode mode;
  std::string boldSection, boldDefaultKey;
};

int CALLBACK AddFamily(const LOGFONTA *logFont, const TEXTMETRICA *, DWORD fontType, LPARAM param) {
  const EnumerationContext &context = *reinterpret_cast<const EnumerationContext *>(param);
  std::string face(logFont->lfFaceName, strnlen(logFont->lfFaceName, kMaxFaceNameChars));
  if (face.empty() || FindEnumerated(face) != 0) return 1;
  if (fontCount == SHRT_MAX) return 0;  // font numbers are 16-bit

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
  return AppendEntry(face, entry) ? 1 : 0;
}

void EnumerateDevice(HDC dc, EnumerationMode plain, EnumerationMode withAtm, EnumerationContext &context) {
  context.mode = AtmProperlyLoaded() ? withAtm : plain;
  EnumFontFamiliesA(dc, nullptr, reinterpret_cast<FONTENUMPROCA>(AddFamily), reinterpret_cast<LPARAM>(&context));
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

}  // namespace

int AtmForceExactWidth() { return atmForceExactWidth ? atmForceExactWidth() : 0; }
int AtmClearAllForce() { return atmClearAllForce ? atmClearAllForce() : 0; }

}  // namespace tstools

using namespace tstools;

void WINAPI InitFonts(void) {
  LoadAtmBridge();
  if (fontTable) {
    GlobalFree(fontTable);
    fontTable = nullptr;
    fontCount = 0;
    if (onFontTableReplaced) onFontTableReplaced();
  }

  BYTE charSet = GetDefaultSystemCharSet();
  fontTable = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 2 * sizeof(FontTableEntry));
  if (!fontTable) return;
  FontTableEntry *entries = static_cast<FontTableEntry *>(GlobalLock(fontTable));
  for (int i = 0; i < 2; ++i) {
    entries[i] = FontTableEntry{AddAtomA(FixedFaceName(i, charSet).c_str()), WORD(FontKind::kScreen), 0, 0, charSet};
  }
  GlobalUnlock(fontTable);
  fontCount = 2;

  EnumerationContext context{EnumerationMode::kScreen, LoadHostString(TSRES_STR_BOLD_SIZE_SECTION),
                             LoadHostString(TSRES_STR_BOLD_SIZE_DEFAULT_KEY)};
  HWND desktop = GetDesktopWindow();
  if (HDC screen = GetDC(desktop)) {
    EnumerateDevice(screen, EnumerationMode::kScreen, EnumerationMode::kScreenWithAtm, context);
    ReleaseDC(desktop, screen);
  }

  PrinterSetting printer;
  if (ParsePrinterSetting(DefaultPrinterSetting(), printer)) {
    if (HDC info = CreateICA(printer.driver.c_str(), printer.device.c_str(), printer.port.c_str(), nullptr)) {
      EnumerateDevice(info, EnumerationMode::kPrinter, EnumerationMode::kPrinterWithAtm, context);
      DeleteDC(info);
    }
  }
  if (onFontTableBuilt) onFontTableBuilt();
}

void WINAPI GetFNum(ConstStr255Param name, short *familyID) {
  if (familyID) *familyID = FindEnumerated(LookupName(name));
}

void WINAPI GetFontName(short familyID, StringPtr name) {
  if (!name) return;
  FontTableEntry entry;
  std::string text = ReadEntry(familyID, entry) ? AtomText(entry.nameAtom) : std::string();
  name[0] = static_cast<unsigned char>(text.size());
  std::memcpy(name + 1, text.data(), text.size());
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
