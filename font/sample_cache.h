// The font sample cache file: one small picture of each face's name, kept between runs so that
// samples are drawn once per installation. Portable: the file is reached through CacheFile,
// face names are compared through an injected function (the Windows locale's comparison in
// the library, a plain fold in the native tests).
//
// Layout, little-endian:
//   0  "VTF4"
//   4  dirty marker: 0 when closed properly, 0xFFFFFFFF from the first change until then
//   8  offset of the first free block (the end marker's offset when none)
//  12  offset of the index
//  16  16-bit number of index entries
//  18  blocks: 32-bit link (0 in use; free: the next free block), 32-bit size of the bits,
//      a 24-byte bitmap header, the bits
//      the end marker 0xFFFFFFFF, which also ends the free chain
//      the index: 41-byte entries (32-byte NUL-terminated name, kind byte, 4 unused bytes,
//      32-bit block offset), sorted by name, then kind 4, 8, 2
// Blocks are never split or merged: a block keeps its size for as long as the file lives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tstools::fontcache {

// Random access to the cache file's bytes. Each call does all of it or reports failure.
class CacheFile {
 public:
  virtual ~CacheFile() = default;
  virtual bool ReadAt(uint32_t offset, void *dst, size_t bytes) = 0;
  virtual bool WriteAt(uint32_t offset, const void *src, size_t bytes) = 0;
  virtual bool Size(uint64_t &bytes) = 0;
  virtual bool Truncate(uint32_t bytes) = 0;  // cut (or extend) to exactly this size
  virtual bool Flush() = 0;
};

// A cache file in memory: the native tests' and the fuzzer's file.
class MemoryFile : public CacheFile {
 public:
  std::vector<uint8_t> bytes;

  bool ReadAt(uint32_t offset, void *dst, size_t count) override;
  bool WriteAt(uint32_t offset, const void *src, size_t count) override;
  bool Size(uint64_t &size) override;
  bool Truncate(uint32_t size) override;
  bool Flush() override { return true; }
};

// Sample kinds, from the enumerated pitch-and-family flags.
enum SampleKind : uint8_t { kKindAny = 0, kKindOther = 2, kKindTrueType = 4, kKindDevice = 8 };

constexpr size_t kFileHeaderBytes = 18;
constexpr size_t kBlockHeaderBytes = 8;    // link and size
constexpr size_t kBitmapHeaderBytes = 24;
constexpr size_t kIndexEntryBytes = 41;
constexpr size_t kNameBytes = 32;          // 31 characters and the terminator
constexpr uint32_t kMaxSampleBytes = 65536;
constexpr uint32_t kEndMarker = 0xFFFFFFFF;

// A sample's bitmap header: monochrome, rows from the top, rowBytes per row.
struct SampleHeader {
  uint32_t type = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t rowBytes = 0;
  uint16_t planes = 1;
  uint16_t bitsPerPixel = 1;

  uint32_t BitsBytes() const { return height * rowBytes; }
  bool operator==(const SampleHeader &o) const {
    return type == o.type && width == o.width && height == o.height && rowBytes == o.rowBytes &&
           planes == o.planes && bitsPerPixel == o.bitsPerPixel;
  }
};

// Bytes per row of a monochrome bitmap as CreateBitmap reads it: rows padded to 16 bits.
inline uint64_t WordAlignedRowBytes(uint64_t width) { return (width + 15) / 16 * 2; }

// A header a sample may carry: one plane of one bit, some pixels, rows wide enough for the
// width, and bits of at most 64 KB.
bool IsUsableHeader(const SampleHeader &header);

// The 24 bytes of a header as stored (the last 4 unused), and back.
void EncodeHeader(const SampleHeader &header, uint8_t out[kBitmapHeaderBytes]);
SampleHeader DecodeHeader(const uint8_t in[kBitmapHeaderBytes]);

// Case-insensitive order of face names: below 0, 0 or above 0.
using NameCompare = int (*)(const char *a, const char *b);
// ASCII case folding, for tests and tools.
int FoldedCompare(const char *a, const char *b);

struct CacheEntry {
  char name[kNameBytes] = {};
  uint8_t kind = 0;
  uint32_t block = 0;
  SampleHeader header;
  void *loaded = nullptr;  // the caller's in-memory sample; never read or written on file
};

enum class OpenResult { kOk, kBadMagic, kDirty, kCorrupt, kIoError };

// The in-memory index of a cache file and the operations on the file. The index outlives the
// file: Close detaches it, and the entries (with their loaded samples) stay.
class SampleCache {
 public:
  explicit SampleCache(NameCompare compare) : compare_(compare) {}

  // Checks the file and loads its index. A file with a wrong magic or a dirty marker, or
  // one that is inconsistent anywhere, is refused and the index left empty. Entries written
  // under another collation are sorted into ours. writable: stores and removals allowed.
  OpenResult Open(CacheFile &file, bool writable);
  // Makes an empty file on an empty (or cut) file; open for writing afterwards.
  bool Create(CacheFile &file);
  // Writes the index, cuts the file after it and marks it closed properly, when anything
  // changed; detaches the file in every case. False when the file could not be finished.
  bool Close();
  bool IsOpen() const { return file_ != nullptr; }
  bool Writable() const { return file_ && writable_; }

  const std::vector<CacheEntry> &Entries() const { return entries_; }
  std::vector<CacheEntry> &Entries() { return entries_; }
  // Position of the first entry with this name and kind (kKindAny: any kind) in index
  // order, -1 when none. Names longer than 31 characters find nothing.
  int Find(const char *name, uint8_t kind) const;

  // Reads entry's bits (header.BitsBytes() bytes) into dst from the open file, or from a file
  // opened again later; false when the file is not open or its block no longer holds the
  // sample the index describes.
  bool ReadBits(const CacheEntry &entry, uint8_t *dst) { return file_ && ReadBits(*file_, entry, dst); }
  static bool ReadBits(CacheFile &file, const CacheEntry &entry, uint8_t *dst);

  // Stores a sample under name and kind, replacing an entry of that name and kind; the
  // entry's position, or -1 (nothing changed in the index) for a name over 31 characters, a
  // kind other than 2, 4 or 8, an unusable header, a full index or a failed write.
  int Store(const char *name, uint8_t kind, const SampleHeader &header, const uint8_t *bits, void *loaded);
  // Drops entry `index`; its block goes to the head of the free chain.
  bool Remove(int index);

  // Forgets the index and the file without writing anything.
  void Reset();

 private:
  OpenResult Load();
  bool MarkDirty();
  bool WriteBlock(uint32_t offset, uint32_t link, uint32_t size, const SampleHeader &header, const uint8_t *bits);
  // Finds a free block of at least `bytes`; its offset and its predecessor in the chain
  // (0: the header), or the end marker's offset when none fits.
  bool FindFree(uint32_t bytes, uint32_t &block, uint32_t &previous, uint32_t &blockSize);
  bool Precedes(const CacheEntry &a, const CacheEntry &b) const;
  size_t InsertPosition(const CacheEntry &entry) const;

  NameCompare compare_;
  CacheFile *file_ = nullptr;
  bool writable_ = false;
  bool changed_ = false;     // the dirty marker is on the file
  uint32_t firstFree_ = 0;
  uint32_t endMarker_ = 0;   // the index follows it 4 bytes on
  uint32_t blockCount_ = 0;  // an upper bound of the blocks the free chain may visit
  std::vector<CacheEntry> entries_;
};

}  // namespace tstools::fontcache
