// Portable rules of the font table: fixed entries, font kinds, minimum bold sizes, the printer
// setting and font-name matching.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tstools {

constexpr size_t kMaxFaceNameChars = 31;  // LF_FACESIZE less its terminator

enum class FontKind : uint16_t { kScreen = 0, kPrinter = 1, kTrueType = 2, kAtm = 3 };

// How a device's families are being enumerated.
enum class EnumerationMode { kScreen, kPrinter, kScreenWithAtm, kPrinterWithAtm };

// A TrueType face is TrueType on either device; otherwise the device decides, and with the
// ATM rasteriser running a face the bridge accepts is an ATM font.
FontKind KindOfFace(bool trueType, EnumerationMode mode, bool atmAccepts);

// Face names of the two fixed entries: 0 "System"; 1 "MS Sans Serif", or on a Shift-JIS
// system (character set 128) the Mincho face.
std::string FixedFaceName(int number, uint8_t defaultCharSet);

// The minimum bold size of a TrueType face: its own setting (text read with default "-1"),
// and when that is "-1" the section's default key (read with default "0").
int16_t MinBoldSizeFromSettings(const std::string &faceValue, const std::string &defaultValue);

// "device,driver,port" as WIN.INI's [windows] device= and the host's "Printer" setting hold
// it: the device name runs to the first comma; driver and port are the next tokens, each
// ended by a comma or a blank. False when any of the three is missing.
struct PrinterSetting {
  std::string device, driver, port;
};
bool ParsePrinterSetting(const std::string &text, PrinterSetting &out);

// The name GetFNum looks up: the Str255's text, at most 32 bytes, ended early by a NUL.
std::string LookupName(const uint8_t *str255);

}  // namespace tstools
