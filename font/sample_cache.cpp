// The font sample cache file's codec. Everything read from the file is checked before it is
// trusted: the file may be cut short, written by a crashed run, edited, or shared with a
// program that wrote it under another collation.
#include "font/sample_cache.h"

#include <algorithm>
#include <cstring>

#include "frame/byte_reader.h"

namespace tstools::fontcache {
namespace {

constexpr uint8_t kMagic[4] = {'V', 'T', 'F', '4'};
constexpr uint32_t kDirtyOffset = 4;
constexpr uint32_t kMinBlockBytes = kBlockHeaderBytes + kBitmapHeaderBytes;
constexpr uint64_t kMaxFileBytes = 0xFFFFFFFFull;
constexpr size_t kMaxEntries = 0xFFFF;

void StoreU16(uint8_t *p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
void StoreU32(uint8_t *p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

bool WriteU32(CacheFile &file, uint32_t offset, uint32_t value) {
  uint8_t bytes[4];
  StoreU32(bytes, value);
  return file.WriteAt(offset, bytes, sizeof bytes);
}

bool ReadU32(CacheFile &file, uint32_t offset, uint32_t &value) {
  uint8_t bytes[4];
  if (!file.ReadAt(offset, bytes, sizeof bytes)) return false;
  value = LoadU32LE(bytes);
  return true;
}

// Equal names sort TrueType first, then device fonts, then the rest.
int KindRank(uint8_t kind) { return kind == kKindTrueType ? 0 : kind == kKindDevice ? 1 : 2; }
bool IsKnownKind(uint8_t kind) { return kind == kKindOther || kind == kKindTrueType || kind == kKindDevice; }

// A name fits an entry with its terminator.
bool FitsName(const char *name) { return name && strnlen(name, kNameBytes) < kNameBytes; }

uint8_t FoldAscii(uint8_t c) { return c >= 'a' && c <= 'z' ? uint8_t(c - 'a' + 'A') : c; }

struct BlockHead {
  uint32_t link = 0;
  uint32_t size = 0;
};

bool ReadBlockHead(CacheFile &file, uint32_t offset, BlockHead &head) {
  uint8_t bytes[kBlockHeaderBytes];
  if (!file.ReadAt(offset, bytes, sizeof bytes)) return false;
  head.link = LoadU32LE(bytes);
  head.size = LoadU32LE(bytes + 4);
  return true;
}

}  // namespace

bool MemoryFile::ReadAt(uint32_t offset, void *dst, size_t count) {
  if (offset > bytes.size() || count > bytes.size() - offset) return false;
  if (count) std::memcpy(dst, bytes.data() + offset, count);
  return true;
}

bool MemoryFile::WriteAt(uint32_t offset, const void *src, size_t count) {
  uint64_t end = uint64_t(offset) + count;
  if (end > kMaxFileBytes) return false;
  if (end > bytes.size()) bytes.resize(size_t(end));
  if (count) std::memcpy(bytes.data() + offset, src, count);
  return true;
}

bool MemoryFile::Size(uint64_t &size) {
  size = bytes.size();
  return true;
}

bool MemoryFile::Truncate(uint32_t size) {
  bytes.resize(size);
  return true;
}

int FoldedCompare(const char *a, const char *b) {
  for (;; ++a, ++b) {
    uint8_t x = FoldAscii(uint8_t(*a)), y = FoldAscii(uint8_t(*b));
    if (x != y) return x < y ? -1 : 1;
    if (!x) return 0;
  }
}

bool IsUsableHeader(const SampleHeader &h) {
  return h.planes == 1 && h.bitsPerPixel == 1 && h.width > 0 && h.height > 0 &&
         h.rowBytes >= WordAlignedRowBytes(h.width) && uint64_t(h.height) * h.rowBytes <= kMaxSampleBytes;
}

void EncodeHeader(const SampleHeader &h, uint8_t out[kBitmapHeaderBytes]) {
  StoreU32(out, h.type);
  StoreU32(out + 4, h.width);
  StoreU32(out + 8, h.height);
  StoreU32(out + 12, h.rowBytes);
  StoreU16(out + 16, h.planes);
  StoreU16(out + 18, h.bitsPerPixel);
  StoreU32(out + 20, 0);
}

SampleHeader DecodeHeader(const uint8_t in[kBitmapHeaderBytes]) {
  ByteReader r(in, kBitmapHeaderBytes);
  SampleHeader h;
  h.type = r.U32LE();
  h.width = r.U32LE();
  h.height = r.U32LE();
  h.rowBytes = r.U32LE();
  h.planes = r.U16LE();
  h.bitsPerPixel = r.U16LE();
  return h;
}

void SampleCache::Reset() {
  file_ = nullptr;
  writable_ = changed_ = false;
  firstFree_ = endMarker_ = blockCount_ = 0;
  entries_.clear();
}

OpenResult SampleCache::Open(CacheFile &file, bool writable) {
  Reset();
  uint8_t header[kFileHeaderBytes];
  uint64_t size = 0;
  if (!file.Size(size)) return OpenResult::kIoError;
  if (size < sizeof header || !file.ReadAt(0, header, sizeof header)) return OpenResult::kBadMagic;
  if (std::memcmp(header, kMagic, sizeof kMagic) != 0) return OpenResult::kBadMagic;
  if (LoadU32LE(header + kDirtyOffset) != 0) return OpenResult::kDirty;
  file_ = &file;
  writable_ = writable;
  firstFree_ = LoadU32LE(header + 8);
  uint32_t indexOffset = LoadU32LE(header + 12);
  size_t count = LoadU16LE(header + 16);
  // The end marker stands just before the index, which must lie wholly within the file.
  if (indexOffset < kFileHeaderBytes + 4 || uint64_t(indexOffset) + count * kIndexEntryBytes > size) {
    Reset();
    return OpenResult::kCorrupt;
  }
  endMarker_ = indexOffset - 4;
  entries_.resize(count);
  OpenResult result = Load();
  if (result != OpenResult::kOk) Reset();
  return result;
}

OpenResult SampleCache::Load() {
  uint32_t marker = 0;
  if (!ReadU32(*file_, endMarker_, marker) || marker != kEndMarker) return OpenResult::kCorrupt;

  // Blocks lie end to end from the header to the end marker.
  std::vector<uint32_t> blocks;
  for (uint32_t at = kFileHeaderBytes; at != endMarker_;) {
    BlockHead head;
    if (endMarker_ - at < kMinBlockBytes || !ReadBlockHead(*file_, at, head) || head.size > kMaxSampleBytes ||
        head.size > endMarker_ - at - kMinBlockBytes)
      return OpenResult::kCorrupt;
    blocks.push_back(at);
    at += kMinBlockBytes + head.size;
  }
  blockCount_ = uint32_t(blocks.size());

  // The index: each name terminated within its field, a known kind, a block of its own that
  // is in use and holds a usable bitmap.
  std::vector<uint8_t> index(entries_.size() * kIndexEntryBytes);
  if (!index.empty() && !file_->ReadAt(endMarker_ + 4, index.data(), index.size())) return OpenResult::kIoError;
  ByteReader reader(index.data(), index.size());
  std::vector<uint32_t> used;
  for (CacheEntry &entry : entries_) {
    reader.Bytes(entry.name, kNameBytes);
    entry.kind = reader.U8();
    reader.Skip(4);
    entry.block = reader.U32LE();
    if (memchr(entry.name, 0, kNameBytes) == nullptr || !IsKnownKind(entry.kind) ||
        !std::binary_search(blocks.begin(), blocks.end(), entry.block))
      return OpenResult::kCorrupt;
    uint8_t head[kMinBlockBytes];
    if (!file_->ReadAt(entry.block, head, sizeof head)) return OpenResult::kIoError;
    entry.header = DecodeHeader(head + kBlockHeaderBytes);
    if (LoadU32LE(head) != 0 || !IsUsableHeader(entry.header) || entry.header.BitsBytes() > LoadU32LE(head + 4))
      return OpenResult::kCorrupt;
    used.push_back(entry.block);
  }
  std::sort(used.begin(), used.end());
  if (std::adjacent_find(used.begin(), used.end()) != used.end()) return OpenResult::kCorrupt;

  // The free chain visits free blocks only and reaches the end marker; a walk longer than
  // the number of blocks has met a cycle.
  uint32_t at = firstFree_;
  for (uint32_t steps = 0; at != endMarker_; ++steps) {
    BlockHead head;
    if (steps >= blockCount_ || !std::binary_search(blocks.begin(), blocks.end(), at) ||
        std::binary_search(used.begin(), used.end(), at) || !ReadBlockHead(*file_, at, head) || head.link == 0)
      return OpenResult::kCorrupt;
    at = head.link;
  }

  // Another collation may have written the index in another order.
  auto precedes = [this](const CacheEntry &a, const CacheEntry &b) { return Precedes(a, b); };
  if (!std::is_sorted(entries_.begin(), entries_.end(), precedes))
    std::stable_sort(entries_.begin(), entries_.end(), precedes);
  return OpenResult::kOk;
}

bool SampleCache::Create(CacheFile &file) {
  Reset();
  uint8_t bytes[kFileHeaderBytes + 4];
  std::memcpy(bytes, kMagic, sizeof kMagic);
  StoreU32(bytes + 4, kEndMarker);
  StoreU32(bytes + 8, kFileHeaderBytes);
  StoreU32(bytes + 12, kFileHeaderBytes + 4);
  StoreU16(bytes + 16, 0);
  StoreU32(bytes + 18, kEndMarker);
  if (!file.Truncate(0) || !file.WriteAt(0, bytes, sizeof bytes) || !file.Flush()) return false;
  file_ = &file;
  writable_ = changed_ = true;
  firstFree_ = endMarker_ = kFileHeaderBytes;
  return true;
}

bool SampleCache::Close() {
  CacheFile *file = file_;
  bool changed = changed_;
  file_ = nullptr;
  writable_ = changed_ = false;
  if (!file || !changed) return true;
  uint32_t indexOffset = endMarker_ + 4;
  std::vector<uint8_t> index(entries_.size() * kIndexEntryBytes, 0);
  uint8_t *p = index.data();
  for (const CacheEntry &entry : entries_) {
    std::memcpy(p, entry.name, kNameBytes);
    p[32] = entry.kind;
    StoreU32(p + 37, entry.block);
    p += kIndexEntryBytes;
  }
  uint8_t header[kFileHeaderBytes];
  std::memcpy(header, kMagic, sizeof kMagic);
  StoreU32(header + 4, 0);
  StoreU32(header + 8, firstFree_);
  StoreU32(header + 12, indexOffset);
  StoreU16(header + 16, uint16_t(entries_.size()));
  return (index.empty() || file->WriteAt(indexOffset, index.data(), index.size())) &&
         file->Truncate(uint32_t(indexOffset + index.size())) && file->WriteAt(0, header, sizeof header) &&
         file->Flush();
}

bool SampleCache::Precedes(const CacheEntry &a, const CacheEntry &b) const {
  int order = compare_(a.name, b.name);
  return order != 0 ? order < 0 : KindRank(a.kind) < KindRank(b.kind);
}

size_t SampleCache::InsertPosition(const CacheEntry &entry) const {
  auto precedes = [this](const CacheEntry &a, const CacheEntry &b) { return Precedes(a, b); };
  return size_t(std::upper_bound(entries_.begin(), entries_.end(), entry, precedes) - entries_.begin());
}

int SampleCache::Find(const char *name, uint8_t kind) const {
  if (!FitsName(name)) return -1;
  auto it = std::lower_bound(entries_.begin(), entries_.end(), name, [&](const CacheEntry &e, const char *key) {
    int order = compare_(e.name, key);
    return order != 0 ? order < 0 : kind != kKindAny && KindRank(e.kind) < KindRank(kind);
  });
  if (it == entries_.end() || compare_(it->name, name) != 0 || (kind != kKindAny && it->kind != kind)) return -1;
  return int(it - entries_.begin());
}

bool SampleCache::ReadBits(CacheFile &file, const CacheEntry &entry, uint8_t *dst) {
  uint8_t head[kMinBlockBytes];
  if (!file.ReadAt(entry.block, head, sizeof head)) return false;
  SampleHeader onFile = DecodeHeader(head + kBlockHeaderBytes);
  if (LoadU32LE(head) != 0 || !(onFile == entry.header) || !IsUsableHeader(onFile) ||
      onFile.BitsBytes() > LoadU32LE(head + 4))
    return false;
  return file.ReadAt(entry.block + kMinBlockBytes, dst, onFile.BitsBytes());
}

bool SampleCache::MarkDirty() {
  if (changed_) return true;
  if (!WriteU32(*file_, kDirtyOffset, kEndMarker) || !file_->Flush()) return false;
  changed_ = true;
  return true;
}

bool SampleCache::WriteBlock(uint32_t offset, uint32_t link, uint32_t size, const SampleHeader &header,
                             const uint8_t *bits) {
  uint8_t head[kMinBlockBytes];
  StoreU32(head, link);
  StoreU32(head + 4, size);
  EncodeHeader(header, head + kBlockHeaderBytes);
  return file_->WriteAt(offset, head, sizeof head) &&
         file_->WriteAt(offset + kMinBlockBytes, bits, header.BitsBytes());
}

bool SampleCache::FindFree(uint32_t bytes, uint32_t &block, uint32_t &previous, uint32_t &blockSize) {
  previous = 0;
  block = firstFree_;
  for (uint32_t steps = 0; block != endMarker_; ++steps) {
    BlockHead head;
    if (steps >= blockCount_ || block < kFileHeaderBytes || uint64_t(block) + kMinBlockBytes > endMarker_ ||
        !ReadBlockHead(*file_, block, head) || head.link == 0)
      return false;
    if (head.size >= bytes) {
      blockSize = head.size;
      return true;
    }
    previous = block;
    block = head.link;
  }
  blockSize = 0;
  return true;
}

int SampleCache::Store(const char *name, uint8_t kind, const SampleHeader &header, const uint8_t *bits,
                       void *loaded) {
  if (!Writable() || !FitsName(name) || !IsKnownKind(kind) || !IsUsableHeader(header) || !bits) return -1;
  int existing = Find(name, kind);
  if (existing < 0 && entries_.size() >= kMaxEntries) return -1;
  uint32_t bytes = header.BitsBytes();
  // The index follows the blocks; appending must leave room for it in 32-bit offsets.
  uint64_t grownEnd = uint64_t(endMarker_) + kMinBlockBytes + bytes + 4 + (entries_.size() + 1) * kIndexEntryBytes;
  if (grownEnd > kMaxFileBytes) return -1;

  CacheEntry entry;
  std::memcpy(entry.name, name, strnlen(name, kNameBytes));
  entry.kind = kind;
  entry.header = header;
  entry.loaded = loaded;
  entries_.reserve(entries_.size() + 1);  // allocates before the file changes

  if (!MarkDirty()) return -1;
  if (existing >= 0 && !Remove(existing)) return -1;
  uint32_t block = 0, previous = 0, blockSize = 0;
  if (!FindFree(bytes, block, previous, blockSize)) return -1;
  uint32_t next = 0;
  if (block == endMarker_) {
    // Append where the end marker stood; the chain now ends at its new place.
    blockSize = bytes;
    next = endMarker_ + kMinBlockBytes + bytes;
    if (!WriteU32(*file_, next, kEndMarker)) return -1;
    endMarker_ = next;
    ++blockCount_;
  } else if (!ReadU32(*file_, block, next)) {
    return -1;
  }
  if (previous == 0)
    firstFree_ = next;
  else if (!WriteU32(*file_, previous, next))
    return -1;
  if (!WriteBlock(block, 0, blockSize, header, bits)) return -1;

  entry.block = block;
  size_t at = InsertPosition(entry);
  entries_.insert(entries_.begin() + long(at), entry);
  return int(at);
}

bool SampleCache::Remove(int index) {
  if (!Writable() || index < 0 || size_t(index) >= entries_.size() || !MarkDirty()) return false;
  uint32_t block = entries_[size_t(index)].block;
  if (!WriteU32(*file_, block, firstFree_)) return false;
  firstFree_ = block;
  entries_.erase(entries_.begin() + index);
  return true;
}

}  // namespace tstools::fontcache
