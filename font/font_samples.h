// The font sample cache as the rest of the library uses it: the process's index with the
// samples held in memory, the cache file while it is open, and the font settings.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "font/sample_cache.h"

namespace tstools {

// Windows locale order of face names, ignoring case.
int CompareFaceNames(const char *a, const char *b);

// The cache file through a Windows file handle, which it closes.
class WindowsCacheFile : public fontcache::CacheFile {
 public:
  WindowsCacheFile(HANDLE handle, std::string path) : handle_(handle), path_(std::move(path)) {}
  ~WindowsCacheFile() override;
  WindowsCacheFile(const WindowsCacheFile &) = delete;
  WindowsCacheFile &operator=(const WindowsCacheFile &) = delete;

  bool ReadAt(uint32_t offset, void *dst, size_t bytes) override;
  bool WriteAt(uint32_t offset, const void *src, size_t bytes) override;
  bool Size(uint64_t &bytes) override;
  bool Truncate(uint32_t bytes) override;
  bool Flush() override;
  const std::string &Path() const { return path_; }

 private:
  bool Seek(uint32_t offset);
  HANDLE handle_;
  std::string path_;
};

// Where the cache file lives: its two names, and the folders tried to open and to create it.
struct CacheFilePlaces {
  std::string longName, shortName;   // host strings 15500 and 15501; both empty: no cache
  std::vector<std::string> openIn;   // Vantor directory, host program's folder, temporary folder
  std::vector<std::string> createIn; // Vantor directory, host program's folder, Windows directory, temporary folder
};
CacheFilePlaces FindCacheFilePlaces();

// The first existing cache file, opened read-write without sharing, else read-only shared for
// reading (writable false); null when there is none or it cannot be opened at all (exists
// true then).
std::unique_ptr<WindowsCacheFile> OpenCacheFile(const CacheFilePlaces &places, bool &writable, bool &exists);
// A new, empty cache file in the first place that takes it; null when none does.
std::unique_ptr<WindowsCacheFile> CreateCacheFile(const CacheFilePlaces &places);

// A face's sample drawn now: header and bits as the cache stores them. False when the face
// cannot be drawn (no text, a sample over 64 KB, a GDI failure).
struct DrawnSample {
  fontcache::SampleHeader header;
  std::vector<uint8_t> bits;
};
bool DrawSample(const char *face, BYTE charSet, DrawnSample &out);
// The kind of an enumerated face from its text metrics' pitch-and-family byte.
uint8_t SampleKindOf(BYTE pitchAndFamily);

// A sample in memory: a movable, discardable local block holding header and bits.
HLOCAL NewSampleBlock(const fontcache::SampleHeader &header, const uint8_t *bits);
// True when the block is still there (not discarded).
bool SampleInMemory(HLOCAL block);

// The font settings' value of the key named by host string keyId ("" without the strings).
std::string FontSetting(UINT keyId, const char *defaultValue);
bool WriteFontSetting(UINT keyId, const char *value);

// The process's sample cache. Samples stay in memory (in their entries' `loaded` field) after
// the file is closed; the file is opened for each update or sample load.
struct FontCacheState {
  fontcache::SampleCache cache{CompareFaceNames};
  std::unique_ptr<WindowsCacheFile> file;
  int opens = 0;          // nesting count of the opens of `file`
  std::string indexPath;  // the file the index was read from, for samples read later
  // The font menu dialog's font ("Helv", 8 pixels, bold) while the dialog runs: owner-drawn
  // font items use it instead of the system font then. Null otherwise.
  HFONT dialogFont = nullptr;

  // Frees every sample and the dialog's font, closes the file without finishing it and
  // forgets the index.
  void Reset();
};

extern FontCacheState fontCacheState;

// Brings the cache up to date (UpdateFontFile's body; throws only when memory runs out).
void UpdateSampleCache(bool force);

}  // namespace tstools
