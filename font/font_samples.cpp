// The font settings and the font sample cache: keeping the cache file in step with the
// installed faces, and handing out samples.
#include <windows.h>

#include <cstring>

#include "font/font_manager.h"
#include "font/font_samples.h"
#include "frame/export_guard.h"
#include "frame/settings_profile.h"
#include "tstools/font_menu.h"
#include "tstools/host_resource_ids.h"
#include "tstools/settings.h"

namespace tstools {

using fontcache::CacheEntry;
using fontcache::OpenResult;

FontCacheState fontCacheState;

namespace {

struct Face {
  std::string name;
  BYTE charSet = 0;
  uint8_t kind = 0;
};

struct FaceList {
  std::vector<Face> faces;
  bool failed = false;
};

// Collects rather than works inside the enumeration: nothing may unwind through it.
int CALLBACK CollectFamily(const LOGFONTA *font, const TEXTMETRICA *metrics, DWORD, LPARAM param) {
  auto &list = *reinterpret_cast<FaceList *>(param);
  return Guarded([&] { list.failed = true; return 0; }, [&] {
    list.faces.push_back(Face{std::string(font->lfFaceName, strnlen(font->lfFaceName, LF_FACESIZE)),
                              font->lfCharSet, SampleKindOf(metrics->tmPitchAndFamily)});
    return 1;
  });
}

void CollectFamilies(HDC dc, FaceList &list) {
  EnumFontFamiliesA(dc, nullptr, reinterpret_cast<FONTENUMPROCA>(CollectFamily), reinterpret_cast<LPARAM>(&list));
}

// The default printer's families, then the screen's. Throws when memory runs out.
std::vector<Face> InstalledFaces() {
  FaceList list;
  if (HDC info = CreateDefaultPrinterInfoContext()) {
    CollectFamilies(info, list);
    DeleteDC(info);
  }
  HWND desktop = GetDesktopWindow();
  if (HDC screen = GetDC(desktop)) {
    CollectFamilies(screen, list);
    ReleaseDC(desktop, screen);
  }
  if (list.failed) throw std::bad_alloc();
  return std::move(list.faces);
}

void FreeSample(CacheEntry &entry) {
  if (entry.loaded) LocalFree(static_cast<HLOCAL>(entry.loaded));
  entry.loaded = nullptr;
}

void FreeSamples(std::vector<CacheEntry> &entries) {
  for (CacheEntry &entry : entries) FreeSample(entry);
}

// After the index is read again, each entry that still describes the same block keeps the
// sample already in memory; the others are freed.
void KeepSamples(std::vector<CacheEntry> &previous, std::vector<CacheEntry> &entries) {
  for (CacheEntry &entry : entries) {
    for (CacheEntry &old : previous) {
      if (old.loaded && old.kind == entry.kind && old.block == entry.block && old.header == entry.header &&
          std::memcmp(old.name, entry.name, sizeof old.name) == 0) {
        entry.loaded = old.loaded;
        old.loaded = nullptr;
        break;
      }
    }
  }
  FreeSamples(previous);
}

// Reads an entry's sample into memory from the given file.
bool LoadSample(fontcache::CacheFile &file, CacheEntry &entry) {
  FreeSample(entry);
  std::vector<uint8_t> bits(entry.header.BitsBytes());
  if (!fontcache::SampleCache::ReadBits(file, entry, bits.data())) return false;
  entry.loaded = NewSampleBlock(entry.header, bits.data());
  return true;
}

// The file of the process's index, open from here to the end of the scope; the outermost
// scope finishes the file (writing the index when it changed) and closes it, however the
// scope is left.
class OpenScope {
 public:
  explicit OpenScope(std::unique_ptr<WindowsCacheFile> file) {
    FontCacheState &state = fontCacheState;
    if (file) state.file = std::move(file);
    if (state.file) ++state.opens;
  }
  ~OpenScope() { Finish(); }
  OpenScope(const OpenScope &) = delete;
  OpenScope &operator=(const OpenScope &) = delete;

  // Closes the file when this is the outermost scope; false when it could not be finished.
  bool Finish() {
    FontCacheState &state = fontCacheState;
    if (finished_ || !state.file) return true;
    finished_ = true;
    if (--state.opens > 0) return true;
    bool closed = state.cache.Close();
    state.file.reset();
    return closed;
  }

 private:
  bool finished_ = false;
};

// Loads the sample of each face that has an entry and, on a writable file, draws and stores
// the missing ones. False on a file that fails to read or write.
bool Refresh(const std::vector<Face> &faces) {
  fontcache::SampleCache &cache = fontCacheState.cache;
  for (const Face &face : faces) {
    int index = cache.Find(face.name.c_str(), face.kind);
    if (index >= 0) {
      CacheEntry &entry = cache.Entries()[size_t(index)];
      if (!SampleInMemory(static_cast<HLOCAL>(entry.loaded)) && !LoadSample(*fontCacheState.file, entry)) return false;
      continue;
    }
    DrawnSample sample;
    if (!cache.Writable() || !DrawSample(face.name.c_str(), face.charSet, sample)) continue;
    index = cache.Store(face.name.c_str(), face.kind, sample.header, sample.bits.data(), nullptr);
    if (index < 0) return false;
    cache.Entries()[size_t(index)].loaded = NewSampleBlock(sample.header, sample.bits.data());
  }
  return true;
}

void Forget() {
  FontCacheState &state = fontCacheState;
  FreeSamples(state.cache.Entries());
  state.cache.Reset();
  state.indexPath.clear();
}

// A new file with a sample of every face; deleted again when it cannot be finished.
void Rebuild(const CacheFilePlaces &places, const std::vector<Face> &faces) {
  Forget();
  std::unique_ptr<WindowsCacheFile> file = CreateCacheFile(places);
  if (!file) return;  // no writable place: font items are plain text
  std::string path = file->Path();
  bool built = false;
  {
    if (!fontCacheState.cache.Create(*file)) {
      file.reset();
      DeleteFileA(path.c_str());
      return;
    }
    OpenScope open(std::move(file));
    fontCacheState.indexPath = path;
    built = Refresh(faces);
    built = open.Finish() && built;
  }
  if (!built) {
    Forget();
    DeleteFileA(path.c_str());
  }
}

}  // namespace

void FontCacheState::Reset() {
  FreeSamples(cache.Entries());
  cache.Reset();
  file.reset();
  opens = 0;
  indexPath.clear();
  if (dialogFont) DeleteObject(dialogFont);
  dialogFont = nullptr;
}

std::string FontSetting(UINT keyId, const char *defaultValue) {
  std::string section = LoadHostString(TSRES_STR_FONT_MENU_SECTION);
  std::string key = LoadHostString(keyId);
  if (section.empty() || key.empty()) return std::string();
  return ReadProfileString(section, key.c_str(), defaultValue, 255);
}

bool WriteFontSetting(UINT keyId, const char *value) {
  std::string key = LoadHostString(keyId);
  return !key.empty() && WriteFontProfileString(key.c_str(), value);
}

void UpdateSampleCache(bool force) {
  if (FontSetting(TSRES_STR_FONT_NO_SAMPLES_KEY, "0") == "1") return;
  if (!force && FontSetting(TSRES_STR_FONT_SAMPLES_KEY, "1") == "0") return;
  FontCacheState &state = fontCacheState;
  if (state.file) return;  // a sample is being read or the cache made right now
  CacheFilePlaces places = FindCacheFilePlaces();
  if (places.longName.empty() && places.shortName.empty()) return;
  std::vector<Face> faces = InstalledFaces();

  bool writable = false, exists = false;
  std::unique_ptr<WindowsCacheFile> file = OpenCacheFile(places, writable, exists);
  if (!file) {
    if (!exists) Rebuild(places, faces);
    return;  // a file that cannot be opened at all is someone else's: no samples
  }
  std::string path = file->Path();
  std::vector<CacheEntry> previous = state.cache.Entries();
  state.cache.Entries().clear();
  OpenResult opened = state.cache.Open(*file, writable);
  if (opened != OpenResult::kOk) {
    // A file left open by a crash, or damaged: made anew (unless it is read-only, which
    // neither deleting nor creating can touch).
    FreeSamples(previous);
    file.reset();
    if (writable) DeleteFileA(path.c_str());
    Rebuild(places, faces);
    return;
  }
  KeepSamples(previous, state.cache.Entries());
  state.indexPath = path;
  bool updated = false;
  {
    OpenScope open(std::move(file));
    updated = Refresh(faces);
    updated = open.Finish() && updated;
  }
  if (!updated && writable) {
    Forget();
    DeleteFileA(path.c_str());
    Rebuild(places, faces);
  }
}

}  // namespace tstools

using namespace tstools;

Boolean WINAPI GetFontProfileString(LPCSTR key, LPCSTR defaultValue, LPSTR buffer, short size) {
  if (!buffer || size <= 0) return FALSE;
  buffer[0] = '\0';
  if (!key) return FALSE;
  return Guarded(Boolean(FALSE), [&]() -> Boolean {
    std::string section = LoadHostString(TSRES_STR_FONT_MENU_SECTION);
    if (section.empty()) return FALSE;
    long n = ProfileRead(section.c_str(), key, defaultValue, buffer, size, false);
    if (n > 0) return TRUE;
    buffer[0] = '\0';
    return FALSE;
  });
}

Boolean WINAPI WriteFontProfileString(LPCSTR key, LPCSTR value) {
  if (!key || !value) return FALSE;
  return Guarded(Boolean(FALSE), [&]() -> Boolean {
    std::string section = LoadHostString(TSRES_STR_FONT_MENU_SECTION);
    return !section.empty() && ML_WriteVantorProfileString(section.c_str(), key, value) > 0;
  });
}

void WINAPI InitFontFile(void) {
  fontCacheState.Reset();
  UpdateFontFile(FALSE);
}

void WINAPI UpdateFontFile(Boolean force) {
  Guarded(Nothing, [&] { UpdateSampleCache(force != 0); });
}

HLOCAL WINAPI GetFontBitmap(LPCSTR face, void **sample) {
  if (sample) *sample = nullptr;
  if (!face || !*face) return nullptr;
  return Guarded(HLOCAL(nullptr), [&]() -> HLOCAL {
    FontCacheState &state = fontCacheState;
    int index = state.cache.Find(face, fontcache::kKindAny);
    if (index < 0) return nullptr;
    CacheEntry &entry = state.cache.Entries()[size_t(index)];
    if (!SampleInMemory(static_cast<HLOCAL>(entry.loaded))) {
      if (state.file) {
        LoadSample(*state.file, entry);
      } else if (!state.indexPath.empty()) {
        // Read only, shared: reading a sample never holds up another copy of the host.
        std::string path = state.indexPath;
        HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
          WindowsCacheFile file(handle, std::move(path));
          LoadSample(file, entry);
        }
      }
    }
    auto block = static_cast<HLOCAL>(entry.loaded);
    void *p = SampleInMemory(block) ? LocalLock(block) : nullptr;
    if (!p) return nullptr;
    if (sample) *sample = p;
    return block;
  });
}

Boolean WINAPI FontBitmapExists(LPCSTR face) {
  if (!face) return FALSE;
  int index = fontCacheState.cache.Find(face, fontcache::kKindAny);
  return index >= 0 && SampleInMemory(static_cast<HLOCAL>(fontCacheState.cache.Entries()[size_t(index)].loaded));
}
