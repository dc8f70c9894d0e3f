// The scrap's direct calls on the clipboard, the type map and the text conversions.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "font/charset.h"
#include "frame/export_guard.h"
#include "memory/zone.h"
#include "scrap/scrap_layouts.h"
#include "scrap/scrap_retained.h"
#include "scrap/scrap_types.h"

namespace tstools::scrap {
namespace {

const MacType kTextType = Type("TEXT");

UINT FormatOf(const FormatChoice &choice) {
  return choice.standard ? choice.standard : RegisterClipboardFormatA(choice.name.c_str());
}

// The clipboard, open for the call and closed when it ends.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND window) : open_(OpenClipboard(window) != FALSE) {}
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

// A locked global block, unlocked when done.
class LockedBlock {
 public:
  explicit LockedBlock(HANDLE block)
      : block_(block), bytes_(static_cast<const uint8_t *>(GlobalLock(block))), size_(bytes_ ? GlobalSize(block) : 0) {}
  ~LockedBlock() {
    if (bytes_) GlobalUnlock(block_);
  }
  const uint8_t *Bytes() const { return bytes_; }
  size_t Size() const { return size_; }

 private:
  HANDLE block_;
  const uint8_t *bytes_;
  size_t size_;
};

// Resizes the host's handle to length and copies into it; false when it cannot hold them.
bool FillHandle(Handle h, const void *bytes, size_t length) {
  if (length > size_t(memory::kMaxHandleSize) || MemSetHandleSize(h, Size(length)) != noErr) return false;
  if (length) std::memcpy(*h, bytes, length);
  return true;
}

long GetOpenScrap(Handle data, uint32_t osType, long *offset) {
  MacType type = FromOSType(osType);
  FormatChoice choice = FormatForType(type);
  UINT format = FormatOf(choice);
  bool prefixed = choice.lengthPrefixed;
  if (type == kTextType && !IsClipboardFormatAvailable(format)) {
    format = CF_TEXT;
    prefixed = false;
  }
  if (!format || !IsClipboardFormatAvailable(format)) return noTypeErr;
  if (offset) {
    long before = 0;
    for (UINT f = EnumClipboardFormats(0); f && f != format; f = EnumClipboardFormats(f)) ++before;
    *offset = 16 * before;
  }
  HANDLE block = GetClipboardData(format);
  if (!block) return memFullErr;

  if (format == CF_BITMAP) {
    // The clipboard keeps both objects; the host gets their handles.
    HANDLE pair[2] = {block, GetClipboardData(CF_PALETTE)};
    if (data && !FillHandle(data, pair, sizeof pair)) return memFullErr;
    return sizeof pair;
  }
  LockedBlock locked(block);
  if (!locked.Bytes()) return memFullErr;
  if (format == CF_METAFILEPICT) {
    if (locked.Size() < sizeof(METAFILEPICT)) return memFullErr;
    if (data && !FillHandle(data, locked.Bytes(), sizeof(METAFILEPICT))) return memFullErr;
    return sizeof(METAFILEPICT);
  }
  if (format == CF_TEXT) {
    const ByteTable &winToMac = ActiveMapping().winToMac;
    size_t length = WinToMacText(locked.Bytes(), locked.Size(), winToMac, nullptr);
    if (data) {
      if (length > size_t(memory::kMaxHandleSize) || MemSetHandleSize(data, Size(length)) != noErr) return memFullErr;
      WinToMacText(locked.Bytes(), locked.Size(), winToMac, reinterpret_cast<uint8_t *>(*data));
    }
    return long(length);
  }
  if (prefixed) {
    PrefixedData inside = ReadPrefixed(locked.Bytes(), locked.Size());
    if (inside.err) return inside.err;
    if (data && !FillHandle(data, inside.data, inside.length)) return memFullErr;
    return long(inside.length);
  }
  if (format == MacPictFormat()) {
    MacPict pict = ReadMacPict(locked.Bytes(), locked.Size());
    if (data) {
      if (!FillHandle(data, locked.Bytes(), pict.length)) return memFullErr;
      if (pict.restore) std::memcpy(*data, pict.sizeWord, pict.length < 2 ? pict.length : 2);
    }
    return long(pict.length);
  }
  if (data && !FillHandle(data, locked.Bytes(), locked.Size())) return memFullErr;
  return long(locked.Size());
}

}  // namespace
}  // namespace tstools::scrap

using namespace tstools;
using namespace tstools::scrap;

long WINAPI ML_ZeroScrap(const void *windowRecord) {
  if (!OpenClipboard(ClipboardWindow(windowRecord))) return noScrapErr;
  BOOL emptied = EmptyClipboard();
  CloseClipboard();
  return emptied ? long(noErr) : long(noScrapErr);
}

long WINAPI ML_PutScrap(const void *windowRecord, long length, OSType type, const void *data) {
  if (length < 0 || (!data && length > 0)) return paramErr;
  return Guarded(long(memFullErr), [&]() -> long {
    FormatChoice choice = FormatForType(FromOSType(uint32_t(type)));
    UINT format = FormatOf(choice);
    if (!format) return memFullErr;
    size_t size = size_t(length) + (choice.lengthPrefixed ? kPrefixBytes : 0);
    HGLOBAL block = NewClipboardBlock(size);
    auto *p = block ? static_cast<uint8_t *>(GlobalLock(block)) : nullptr;
    if (!p) {
      if (block) GlobalFree(block);
      return memFullErr;
    }
    if (choice.lengthPrefixed)
      WritePrefixed(static_cast<const uint8_t *>(data), size_t(length), p);
    else if (length)
      std::memcpy(p, data, size_t(length));
    GlobalUnlock(block);
    OpenedClipboard clipboard(ClipboardWindow(windowRecord));
    if (!clipboard.IsOpen()) {
      GlobalFree(block);
      return noScrapErr;
    }
    if (!SetClipboardData(format, block)) {
      GlobalFree(block);
      return memFullErr;
    }
    return noErr;
  });
}

long WINAPI ML_GetScrap(const void *windowRecord, Handle data, OSType type, long *offset) {
  if (offset) *offset = 0;
  return Guarded(long(memFullErr), [&]() -> long {
    OpenedClipboard clipboard(ClipboardWindow(windowRecord));
    if (!clipboard.IsOpen()) return noScrapErr;
    return GetOpenScrap(data, uint32_t(type), offset);
  });
}

Boolean WINAPI ML_TestScrap(const void *windowRecord, OSType type) {
  return Guarded(Boolean(0), [&]() -> Boolean {
    OpenedClipboard clipboard(ClipboardWindow(windowRecord));
    if (!clipboard.IsOpen()) return 0;
    MacType mac = FromOSType(uint32_t(type));
    UINT format = FormatOf(FormatForType(mac));
    if (format && IsClipboardFormatAvailable(format)) return 1;
    return mac == kTextType && IsClipboardFormatAvailable(CF_TEXT);
  });
}

UINT WINAPI ML_MapMacToWinType(OSType type, Boolean *lengthPrefixed) {
  if (lengthPrefixed) *lengthPrefixed = 0;
  return Guarded(UINT(0), [&] {
    FormatChoice choice = FormatForType(FromOSType(uint32_t(type)));
    if (lengthPrefixed) *lengthPrefixed = choice.lengthPrefixed;
    return FormatOf(choice);
  });
}

OSType WINAPI ML_MapWinToMacType(UINT format, OSType *type, Boolean *lengthPrefixed) {
  TypeChoice choice;
  if (uint32_t standard = TypeForStandardFormat(format)) {
    choice.osType = standard;
  } else {
    char name[256];
    int n = GetClipboardFormatNameA(format, name, sizeof name);
    if (n > 0) choice = TypeForFormatName(std::string_view(name, size_t(n)));
  }
  if (type) *type = choice.osType;
  if (lengthPrefixed) *lengthPrefixed = choice.lengthPrefixed;
  return choice.osType;
}

OSErr WINAPI ML_MacToWinText(long, Handle text) {
  Size size = 0;
  if (OSErr err = MemGetHandleSize(text, &size)) return err;
  return Guarded(memFullErr, [&]() -> OSErr {
    std::vector<uint8_t> mac(*text, *text + size);
    size_t length = size_t(size) + 1;
    for (uint8_t b : mac) length += b == '\r';
    if (length > size_t(memory::kMaxHandleSize) || MemSetHandleSize(text, Size(length)) != noErr) return memFullErr;
    MacToWinText(mac.data(), mac.size(), ActiveMapping().macToWin, reinterpret_cast<uint8_t *>(*text));
    return noErr;
  });
}

OSErr WINAPI ML_WinToMacText(long, Handle text) {
  Size size = 0;
  if (OSErr err = MemGetHandleSize(text, &size)) return err;
  auto *bytes = reinterpret_cast<uint8_t *>(*text);
  size_t length = WinToMacText(bytes, size_t(size), ActiveMapping().winToMac, bytes);
  return MemSetHandleSize(text, Size(length));
}
