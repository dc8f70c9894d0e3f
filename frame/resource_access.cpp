// The Toolbox resource calls over module resources: the exports of tstools/resources.h.
// Lists are read by the portable walkers of frame/resource_lists.h.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "font/charset.h"
#include "frame/export_guard.h"
#include "frame/library_globals.h"
#include "frame/resource_lists.h"
#include "quickdraw/port_internal.h"
#include "tstools/memory.h"
#include "tstools/resources.h"

namespace tstools {
namespace {

// The Toolbox's id 0 names resource 32767.
WORD ResourceId(short id) { return WORD(id == 0 ? 32767 : id); }

struct ResourceBytes {
  const uint8_t *data = nullptr;
  size_t size = 0;
  bool found = false;
};

// A resource's bytes where the module holds them (valid while the module stays loaded).
ResourceBytes Locate(HMODULE module, LPCSTR type, LPCSTR name) {
  HRSRC info = FindResourceA(module, name, type);
  HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
  const void *data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return {};
  return {static_cast<const uint8_t *>(data), SizeofResource(module, info), true};
}

// Makes cache hold the list (module, id, type), loading it unless it already does. False,
// with nothing cached, when it cannot be loaded or is too short to hold a count.
bool LoadList(CachedList &cache, HMODULE module, long id, const char *type, LPCSTR name) {
  auto key = reinterpret_cast<uintptr_t>(module);
  if (cache.Holds(key, id, type)) return true;
  ResourceBytes res = Locate(module, type, name);
  if (!res.found || res.size < 2) {
    cache = CachedList();
    return false;
  }
  CachedList fresh;
  fresh.type = type;
  fresh.bytes.assign(res.data, res.data + res.size);
  fresh.module = key;
  fresh.id = id;
  fresh.loaded = true;
  cache = std::move(fresh);
  return true;
}

// FindResourceA takes an integer type as "#n" too: one spelling serves as key and name.
// Without an allocation: a cached lookup is meant to cost less than LoadString.
const char *TypeKey(const char *typeName, char (&number)[8]) {
  if (!IS_INTRESOURCE(typeName)) return typeName;
  std::snprintf(number, sizeof number, "#%u", unsigned(reinterpret_cast<uintptr_t>(typeName)));
  return number;
}

Handle CopyToHandle(const void *data, size_t size, OSErr *err) {
  Handle h = nullptr;
  OSErr e = size > 0x7FFFFFFF ? OSErr(memFullErr) : PtrToHand(data, &h, Size(size));
  if (err) *err = e;
  return e == noErr ? h : nullptr;
}

}  // namespace
}  // namespace tstools

using namespace tstools;

Handle WINAPI ML_GetResource(unsigned long type, short id, HINSTANCE module, short *err) {
  char name[5] = {};
  std::memcpy(name, &type, 4);
  LPCSTR number = MAKEINTRESOURCEA(ResourceId(id));
  ResourceBytes res;
  if (name[0]) res = Locate(module, name, number);
  if (name[0] && !res.found) res = Locate(frameState.libraryInstance, name, number);
  if (res.found) return CopyToHandle(res.data, res.size, err);
  if (err) *err = resNotFound;
  return nullptr;
}

OSErr WINAPI ML_ReleaseResource(Handle h, short *err) {
  OSErr e = MemDisposeHandle(h);
  if (err) *err = e;
  return e;
}

Handle WINAPI ML_GetPicture(HINSTANCE module, short id) {
  // Callers take a picture of 0 bytes for a missing one.
  ResourceBytes res = Locate(module, "PICT", MAKEINTRESOURCEA(ResourceId(id)));
  return CopyToHandle(res.data, res.size, nullptr);
}

Handle WINAPI ML_NewString(short maxLength, ConstStr255Param s) {
  return s ? CopyToHandle(s, size_t(s[0]) + 1, nullptr) : nullptr;
}

Handle WINAPI ML_GetString(HINSTANCE module, short id) {
  // LoadString writes a terminating zero after the 255 characters it may copy.
  char text[257] = {};
  int n = LoadStringA(module, WORD(id), text + 1, 256);
  text[0] = static_cast<char>(n > 0 ? n : 0);
  auto *s = reinterpret_cast<unsigned char *>(text);
  MapTextInPlace(s + 1, s[0], int(MapDirection::kWinToMac), 0);
  return ML_NewString(0, s);
}

OSErr WINAPI ML_GetIndString(HINSTANCE module, Str255 dst, short id, short index, const char *typeName) {
  if (!dst) return resNotFound;
  dst[0] = 0;
  if (!typeName) return resNotFound;
  return Guarded(OSErr(resNotFound), [&]() -> OSErr {
    char typeNumber[8];
    const char *type = TypeKey(typeName, typeNumber);
    CachedList &cache = Resources().strings;
    WORD number = ResourceId(id);
    // The cached list holds Mac text, converted once at load: by the table chosen since, if
    // one was, so a list converted before the choice is loaded again.
    int mapping = Charset().mappingChosen ? Charset().mappingNumber : -2;
    if (cache.mapping != mapping) cache = CachedList();
    bool cached = cache.Holds(reinterpret_cast<uintptr_t>(module), number, type);
    if (!LoadList(cache, module, number, type, MAKEINTRESOURCEA(number))) return resNotFound;
    if (!cached) {
      MapListStrings(cache.bytes.data(), cache.bytes.size(), ActiveMapping().winToMac.data());
      cache.mapping = mapping;
    }
    std::string_view s;
    if (!FindListString(cache.bytes.data(), cache.bytes.size(), index, s)) return resNotFound;
    std::memcpy(dst, s.data(), s.size());
    return noErr;
  });
}

void WINAPI ML_GetIndPattern(HINSTANCE module, Pattern *dst, short listId, short index) {
  if (!dst) return;
  Guarded(Nothing, [&] {
    HMODULE where = listId == 0 ? frameState.libraryInstance : module;
    char name[16];
    std::snprintf(name, sizeof name, "PAT#%d", listId);
    CachedList &cache = Resources().patterns;
    if (!LoadList(cache, where, listId, "#10", name)) return;
    FindListPattern(cache.bytes.data(), cache.bytes.size(), index, dst->pat);
  });
}

HICON WINAPI ML_GetIcon(HINSTANCE module, short id) {
  switch (id) {
    case 0: return LoadIconA(nullptr, IDI_HAND);
    case 1: return LoadIconA(nullptr, IDI_ASTERISK);
    case 2: return LoadIconA(nullptr, IDI_QUESTION);
    default: return LoadIconA(module, MAKEINTRESOURCEA(WORD(id)));
  }
}

void WINAPI ML_PlotIcon(GrafPort *port, const Rect *r, HICON icon) {
  if (!port || !port->dc || !r || !icon) return;
  // The port's own DC, so its origin and clip apply (and nothing is left to release).
  qd::BeginPortDrawing(port);
  DrawIconEx(port->dc, r->left, r->top, icon, 0, 0, 0, nullptr, DI_NORMAL);
  qd::EndPortDrawing(port);
}

HCURSOR WINAPI ML_GetCursor(HINSTANCE module, short id) {
  switch (id) {
    case 1: return LoadCursorA(nullptr, IDC_IBEAM);
    case 2:
    case 3: return LoadCursorA(nullptr, IDC_CROSS);
    case 4: return LoadCursorA(nullptr, IDC_WAIT);
    default: return LoadCursorA(module, MAKEINTRESOURCEA(WORD(id)));
  }
}
