// The settings profile over the per-user registry, and over VANTOR.INI under Win32s.
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "frame/export_guard.h"
#include "frame/library_globals.h"
#include "frame/profile_paths.h"
#include "frame/settings_profile.h"
#include "frame/vantor_directory.h"
#include "tstools/host_resource_ids.h"
#include "tstools/memory.h"
#include "tstools/settings.h"

namespace tstools {

std::string LoadHostString(UINT id, int maxChars) {
  if (!frameState.resourceInstance || maxChars <= 0) return std::string();
  std::vector<char> text(size_t(maxChars) + 1, '\0');
  int n = LoadStringA(frameState.resourceInstance, id, text.data(), maxChars + 1);
  return n > 0 ? std::string(text.data(), size_t(n)) : std::string();
}

// The append's joined text lives in a Memory Manager pointer block.
char *NewScratch(size_t bytes) {
  Ptr p = nullptr;
  if (bytes > size_t(0x7FFFFFFF) || MemNewPtr(&p, Size(bytes), FALSE) != noErr) return nullptr;
  return p;
}
void DisposeScratch(char *p) {
  if (p) MemDisposePtr(p);
}

namespace {

// The host's own section name (string 10000, read into 64 characters).
std::string HostSection() { return LoadHostString(TSRES_STR_HOST_SECTION, 63); }

// A section's registry key, closed however the call that opened it ends.
class SectionKey {
 public:
  SectionKey(LPCSTR section, bool create) {
    if (!section) return;
    std::string path = SectionRegistryKey(section, HostSection());
    LONG rc = create ? RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                       KEY_ALL_ACCESS, nullptr, &key_, nullptr)
                     : RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key_);
    if (rc != ERROR_SUCCESS) key_ = nullptr;
  }
  ~SectionKey() {
    if (key_) RegCloseKey(key_);
  }
  SectionKey(const SectionKey &) = delete;
  SectionKey &operator=(const SectionKey &) = delete;
  operator HKEY() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

// A string value read whole (terminator not included); false when absent or not a string.
bool QueryString(HKEY key, LPCSTR name, std::string &value) {
  DWORD type = 0, bytes = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || !IsStringType(type))
    return false;
  std::vector<char> data(size_t(bytes) + 1, '\0');
  DWORD got = bytes;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(data.data()), &got) != ERROR_SUCCESS ||
      !IsStringType(type) || got > bytes)
    return false;
  value.assign(data.data(), strnlen(data.data(), got));
  return true;
}

// Copies text into buffer cut to its size and terminated; returns the bytes copied.
long CopyBounded(LPSTR buffer, long size, const char *text) {
  if (!buffer || size <= 0) return 0;
  size_t n = strnlen(text, size_t(size) - 1);
  std::memcpy(buffer, text, n);
  buffer[n] = '\0';
  return long(n);
}

long NotFound(LPCSTR def, LPSTR buffer, long size) {
  if (!def) return 0;
  if (size <= 0) return long(std::strlen(def));
  return CopyBounded(buffer, size, def);
}

long ListNames(HKEY key, LPSTR buffer, long size, bool sizeQuery, bool &found) {
  char scratch[kKeyListCapacity];
  char *target = sizeQuery ? scratch : buffer;
  size_t capacity = sizeQuery ? sizeof scratch : size_t(size);
  KeyNameList list = ListKeyNames(target, capacity, [&](size_t index, char *dst, size_t room) -> long {
    DWORD chars = DWORD(room);
    LONG rc = RegEnumValueA(key, DWORD(index), dst, &chars, nullptr, nullptr, nullptr, nullptr);
    return rc == ERROR_SUCCESS ? long(chars) : -1;
  });
  found = list.count > 0;
  return long(list.length);
}

long RegistryRead(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer, long size, bool clear) {
  bool sizeQuery = size == 0;
  if (size < 0 || (!sizeQuery && !buffer)) return 0;
  SectionKey hkey(section, false);
  if (!hkey) return NotFound(def, buffer, size);
  bool found = false;
  long result = 0;
  if (!key) {
    result = ListNames(hkey, buffer, size, sizeQuery, found);
    if (!sizeQuery) result -= 1;
  } else {
    std::string value;
    if (QueryString(hkey, key, value)) {
      if (sizeQuery) {
        found = true;
        result = long(value.size() + 1);
      } else if (value.size() < size_t(size)) {
        found = true;
        std::memcpy(buffer, value.c_str(), value.size() + 1);
        result = long(value.size());
        if (clear) RegSetValueExA(hkey, key, 0, REG_SZ, reinterpret_cast<const BYTE *>(""), 1);
      }
      // A value longer than the buffer counts as missing rather than arriving cut.
    }
  }
  return found ? result : NotFound(def, buffer, size);
}

long RegistryWrite(LPCSTR section, LPCSTR key, LPCSTR value) {
  if (!key || !value) return 0;
  SectionKey hkey(section, true);
  if (!hkey) return 0;
  DWORD bytes = DWORD(std::strlen(value) + 1);
  LONG rc = RegSetValueExA(hkey, key, 0, REG_SZ, reinterpret_cast<const BYTE *>(value), bytes);
  return rc == ERROR_SUCCESS ? long(bytes) : 0;
}

// Under Win32s every profile call works on VANTOR.INI, once it exists.
const char *ProfileFileOrNull() { return PrepareProfileFile() ? ProfileFilePath().c_str() : nullptr; }

}  // namespace

long ProfileRead(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer, long size, bool clear) {
  if (frameState.platform.isWin32s) {
    // No clearing and no size queries in the profile file.
    const char *file = ProfileFileOrNull();
    if (!file || !buffer || size <= 0) return 0;
    return long(GetPrivateProfileStringA(section, key, def ? def : "", buffer, DWORD(size), file));
  }
  return RegistryRead(section, key, def, buffer, size, clear);
}

std::string ReadProfileString(const std::string &section, const char *key, const char *def, int maxChars) {
  std::vector<char> buffer(size_t(maxChars) + 1, '\0');
  long n = ProfileRead(section.c_str(), key, def, buffer.data(), maxChars + 1, false);
  return n > 0 ? std::string(buffer.data(), strnlen(buffer.data(), size_t(n))) : std::string();
}

}  // namespace tstools

using namespace tstools;

// Each profile call builds key names and reads values into strings before it touches the
// store; running out of memory reads as nothing found (0) and writes nothing.

long WINAPI ML_GetVantorProfileString(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, long size) {
  return Guarded(0L, [&] { return ProfileRead(section, key, defaultValue, buffer, size, false); });
}

long WINAPI ML_GetVantorProfileStringClear(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                                           long size) {
  return Guarded(0L, [&] { return ProfileRead(section, key, defaultValue, buffer, size, true); });
}

long WINAPI ML_GetVantorProfileStringSize(LPCSTR section, LPCSTR key) {
  if (frameState.platform.isWin32s) return 0;
  return Guarded(0L, [&] { return RegistryRead(section, key, nullptr, nullptr, 0, false); });
}

long WINAPI GetVantorProfileInt(LPCSTR section, LPCSTR key, long defaultValue) {
  return Guarded(defaultValue, [&] {
    if (frameState.platform.isWin32s) {
      const char *file = ProfileFileOrNull();
      return file ? long(GetPrivateProfileIntA(section, key, int(defaultValue), file)) : 0;
    }
    SectionKey hkey(section, false);
    if (!hkey) return defaultValue;
    DWORD type = 0, value = 0, bytes = sizeof value;
    LONG rc = key ? RegQueryValueExA(hkey, key, nullptr, &type, reinterpret_cast<BYTE *>(&value), &bytes)
                  : ERROR_INVALID_PARAMETER;
    return rc == ERROR_SUCCESS && type == REG_DWORD && bytes == sizeof value ? long(value) : defaultValue;
  });
}

long WINAPI ML_WriteVantorProfileString(LPCSTR section, LPCSTR key, LPCSTR value) {
  return Guarded(0L, [&] {
    if (frameState.platform.isWin32s) {
      const char *file = ProfileFileOrNull();
      return file ? long(WritePrivateProfileStringA(section, key, value, file)) : 0;
    }
    return RegistryWrite(section, key, value);
  });
}

long WINAPI ML_AppendVantorProfileString(LPCSTR section, LPCSTR key, LPCSTR value) {
  if (frameState.platform.isWin32s || !key || !value) return ML_WriteVantorProfileString(section, key, value);
  // The old value is read here, unguarded: running out of memory must end the whole call
  // (writing nothing) rather than look like a missing value and overwrite it.
  return Guarded(0L, [&] {
    long oldSize = RegistryRead(section, key, nullptr, nullptr, 0, false);
    if (oldSize < 2) return RegistryWrite(section, key, value);
    size_t bytes = size_t(oldSize) + std::strlen(value) + 2;
    std::unique_ptr<char, void (*)(char *)> joined(NewScratch(bytes), DisposeScratch);
    if (!joined) return 0L;
    long oldLength = RegistryRead(section, key, nullptr, joined.get(), oldSize, false);
    if (oldLength <= 0) return RegistryWrite(section, key, value);
    std::memcpy(joined.get() + oldLength, " ", 1);
    std::memcpy(joined.get() + oldLength + 1, value, std::strlen(value) + 1);
    return RegistryWrite(section, key, joined.get());
  });
}

long WINAPI ML_WriteVantorProfileInt(LPCSTR section, LPCSTR key, long value) {
  if (frameState.platform.isWin32s) {
    char text[16];
    wsprintfA(text, "%ld", value);
    return ML_WriteVantorProfileString(section, key, text);
  }
  if (!key) return 0;
  return Guarded(0L, [&] {
    SectionKey hkey(section, true);
    if (!hkey) return 0L;
    DWORD dword = DWORD(value);
    LONG rc = RegSetValueExA(hkey, key, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&dword), sizeof dword);
    return rc == ERROR_SUCCESS ? 4L : 0L;
  });
}
