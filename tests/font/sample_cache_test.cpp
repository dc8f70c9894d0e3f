// The font sample cache codec over an in-memory file.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "font/sample_cache.h"
#include "frame/byte_reader.h"

namespace tstools::fontcache {
namespace {

SampleHeader Header(uint32_t width, uint32_t height) {
  return SampleHeader{0, width, height, uint32_t(WordAlignedRowBytes(width))};
}

std::vector<uint8_t> Bits(const SampleHeader &h, uint8_t fill) { return std::vector<uint8_t>(h.BitsBytes(), fill); }

int Store(SampleCache &cache, const char *name, uint8_t kind, uint32_t width, uint8_t fill) {
  SampleHeader h = Header(width, 12);
  return cache.Store(name, kind, h, Bits(h, fill).data(), nullptr);
}

uint32_t U32At(const MemoryFile &f, size_t at) { return LoadU32LE(f.bytes.data() + at); }
void PutU32(MemoryFile &f, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) f.bytes[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// "Times" (TrueType, then device), "Arial" in a block of its own and a free block left by a
// removed face; the index after the end marker.
struct Sample {
  MemoryFile file;
  uint32_t index = 0, timesBlock = 0, freeBlock = 0;
  Sample() {
    SampleCache cache(FoldedCompare);
    EXPECT_TRUE(cache.Create(file));
    Store(cache, "Gone", kKindOther, 40, 0x11);
    Store(cache, "times", kKindDevice, 30, 0x22);
    Store(cache, "Times", kKindTrueType, 30, 0x33);
    Store(cache, "Arial", kKindOther, 17, 0x44);
    freeBlock = cache.Entries()[size_t(cache.Find("gone", kKindAny))].block;
    timesBlock = cache.Entries()[size_t(cache.Find("times", kKindTrueType))].block;
    EXPECT_TRUE(cache.Remove(cache.Find("gone", kKindAny)) && cache.Close());
    index = U32At(file, 12);
  }
  size_t Entry(int n) const { return index + size_t(n) * kIndexEntryBytes; }
};

TEST(SampleCache, StoresSortsAndReadsBack) {
  Sample s;
  EXPECT_EQ(U32At(s.file, 4), 0u) << "closed properly";
  EXPECT_EQ(s.file.bytes.size(), s.index + 3 * kIndexEntryBytes) << "cut after the index";
  EXPECT_EQ(U32At(s.file, s.index - 4), kEndMarker);
  EXPECT_EQ(U32At(s.file, 8), s.freeBlock);

  SampleCache cache(FoldedCompare);
  ASSERT_EQ(cache.Open(s.file, false), OpenResult::kOk);
  const auto &e = cache.Entries();
  ASSERT_EQ(e.size(), 3u);
  EXPECT_STREQ(e[0].name, "Arial");
  EXPECT_EQ(e[1].kind, kKindTrueType) << "TrueType before the device font of the same name";
  EXPECT_EQ(e[2].kind, kKindDevice);
  EXPECT_EQ(cache.Find("TIMES", kKindAny), 1);
  EXPECT_TRUE(cache.Find("Times", kKindDevice) == 2 && cache.Find("Times", kKindOther) == -1);
  EXPECT_EQ(cache.Find("Gone", kKindAny), -1);
  std::vector<uint8_t> bits(e[1].header.BitsBytes());
  ASSERT_TRUE(cache.ReadBits(e[1], bits.data()));
  EXPECT_EQ(bits, std::vector<uint8_t>(bits.size(), 0x33));

  EXPECT_EQ(cache.Find(std::string(32, 'x').c_str(), kKindAny), -1);
  std::vector<uint8_t> before = s.file.bytes;
  EXPECT_EQ(Store(cache, "New", kKindOther, 10, 1), -1) << "opened for reading";
  EXPECT_TRUE(cache.Close());
  EXPECT_EQ(s.file.bytes, before) << "a read-only file is never written";
}

TEST(SampleCache, FreeBlocksAreReusedFirstFitAndAppendMovesTheIndex) {
  Sample s;
  SampleCache cache(FoldedCompare);
  ASSERT_EQ(cache.Open(s.file, true), OpenResult::kOk);
  std::vector<uint8_t> closed = s.file.bytes;
  EXPECT_TRUE(cache.Close());
  EXPECT_EQ(s.file.bytes, closed) << "nothing changed, nothing written";

  ASSERT_EQ(cache.Open(s.file, true), OpenResult::kOk);
  ASSERT_GE(Store(cache, "Small", kKindOther, 20, 5), 0);
  EXPECT_EQ(U32At(s.file, 4), kEndMarker) << "dirty from the first change";
  EXPECT_EQ(cache.Entries()[size_t(cache.Find("small", 0))].block, s.freeBlock) << "fits the removed block";
  ASSERT_GE(Store(cache, "Big", kKindOther, 200, 6), 0);
  EXPECT_EQ(cache.Entries()[size_t(cache.Find("big", 0))].block, s.index - 4) << "appended at the end marker";
  ASSERT_GE(Store(cache, "Times", kKindTrueType, 300, 7), 0) << "replaces, the old block freed";
  EXPECT_EQ(cache.Entries().size(), 5u);
  ASSERT_TRUE(cache.Close());

  ASSERT_EQ(cache.Open(s.file, true), OpenResult::kOk);
  EXPECT_EQ(U32At(s.file, 8), s.timesBlock) << "the replaced block heads the free chain";
  ASSERT_GE(Store(cache, "Reuse", kKindOther, 30, 8), 0);
  EXPECT_EQ(cache.Entries()[size_t(cache.Find("reuse", 0))].block, s.timesBlock);
  ASSERT_TRUE(cache.Close());
  EXPECT_EQ(cache.Open(s.file, false), OpenResult::kOk);
}

// Every inconsistency is refused; the index is left empty.
TEST(SampleCache, RefusesInconsistentFiles) {
  const struct {
    const char *what;
    std::function<void(Sample &)> edit;
    OpenResult result = OpenResult::kCorrupt;
  } cases[] = {
      {"magic", [](Sample &s) { s.file.bytes[3] = '3'; }, OpenResult::kBadMagic},
      {"crashed while writing", [](Sample &s) { PutU32(s.file, 4, kEndMarker); }, OpenResult::kDirty},
      {"count beyond the file", [](Sample &s) { s.file.bytes[16] = 4; }},
      {"index beyond the file", [](Sample &s) { PutU32(s.file, 12, s.index + 8); }},
      {"index inside the header", [](Sample &s) { PutU32(s.file, 12, 20); }},
      {"end marker", [](Sample &s) { PutU32(s.file, s.index - 4, 0); }},
      {"name without terminator", [](Sample &s) { std::memset(&s.file.bytes[s.Entry(0)], 'A', 32); }},
      {"kind", [](Sample &s) { s.file.bytes[s.Entry(0) + 32] = 3; }},
      {"block not a block", [](Sample &s) { PutU32(s.file, s.Entry(0) + 37, s.timesBlock + 4); }},
      {"entry on a free block", [](Sample &s) { PutU32(s.file, s.Entry(0) + 37, s.freeBlock); }},
      {"two entries, one block", [](Sample &s) { PutU32(s.file, s.Entry(0) + 37, s.timesBlock); }},
      {"block size past the end marker", [](Sample &s) { PutU32(s.file, s.timesBlock + 4, 0x10000); }},
      {"row narrower than a word-aligned row", [](Sample &s) { PutU32(s.file, s.timesBlock + 20, 2); }},
      {"bits larger than the block", [](Sample &s) { PutU32(s.file, s.timesBlock + 16, 13); }},
      {"over 64 KB", [](Sample &s) { PutU32(s.file, s.timesBlock + 16, 0x10000); }},
      {"two planes", [](Sample &s) { s.file.bytes[s.timesBlock + 24] = 2; }},
      {"free chain cycle", [](Sample &s) { PutU32(s.file, s.freeBlock, s.freeBlock); }},
      {"free chain into a used block", [](Sample &s) { PutU32(s.file, 8, s.timesBlock); }},
      {"free chain to nowhere", [](Sample &s) { PutU32(s.file, s.freeBlock, 7); }},
  };
  for (const auto &c : cases) {
    Sample s;
    c.edit(s);
    SampleCache cache(FoldedCompare);
    EXPECT_EQ(cache.Open(s.file, true), c.result) << c.what;
    EXPECT_TRUE(cache.Entries().empty()) << c.what;
  }
  Sample whole;
  for (size_t cut = 0; cut < whole.file.bytes.size(); ++cut) {
    MemoryFile shorter;
    shorter.bytes.assign(whole.file.bytes.begin(), whole.file.bytes.begin() + long(cut));
    SampleCache cache(FoldedCompare);
    EXPECT_NE(cache.Open(shorter, true), OpenResult::kOk) << cut;
  }
}

TEST(SampleCache, IndexFromAnotherCollationIsSortedOnLoad) {
  Sample s;
  std::vector<uint8_t> first(s.file.bytes.begin() + long(s.Entry(0)), s.file.bytes.begin() + long(s.Entry(1)));
  std::memmove(&s.file.bytes[s.Entry(0)], &s.file.bytes[s.Entry(1)], 2 * kIndexEntryBytes);
  std::memcpy(&s.file.bytes[s.Entry(2)], first.data(), first.size());
  SampleCache cache(FoldedCompare);
  ASSERT_EQ(cache.Open(s.file, true), OpenResult::kOk);
  EXPECT_STREQ(cache.Entries()[0].name, "Arial");
  EXPECT_EQ(cache.Find("times", kKindAny), 1);
}

TEST(SampleCache, NamesOverThirtyOneCharactersAreNotStored) {
  MemoryFile file;
  SampleCache cache(FoldedCompare);
  ASSERT_TRUE(cache.Create(file));
  EXPECT_EQ(Store(cache, std::string(31, 'n').c_str(), kKindTrueType, 8, 0), 0);
  EXPECT_EQ(Store(cache, std::string(32, 'n').c_str(), kKindTrueType, 8, 0), -1);
  EXPECT_EQ(Store(cache, "Kind", 1, 8, 0), -1);
  SampleHeader narrow = Header(17, 2);
  narrow.rowBytes = 3;  // whole bytes, but not whole words
  EXPECT_EQ(cache.Store("Narrow", kKindOther, narrow, Bits(narrow, 0).data(), nullptr), -1);
  EXPECT_EQ(cache.Entries().size(), 1u);
}

}  // namespace
}  // namespace tstools::fontcache
