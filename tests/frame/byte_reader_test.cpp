#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "frame/byte_reader.h"

namespace tstools {
namespace {

using Values = std::vector<int64_t>;

struct Row {
  const char *name;
  std::vector<uint8_t> data;
  std::function<Values(ByteReader &)> reads;
  Values want;
  size_t position;
  bool failed;
};

TEST(ByteReader, EveryReadStaysInsideItsSpan) {
  const std::vector<uint8_t> seven = {0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87};
  const Row rows[] = {
      {"big-endian", seven, [](ByteReader &r) { return Values{r.U8(), r.U16BE(), r.U32BE()}; },
       {0x81, 0x8283, 0x84858687}, 7, false},
      {"little-endian", seven, [](ByteReader &r) { return Values{r.U8(), r.U16LE(), r.U32LE()}; },
       {0x81, 0x8382, 0x87868584}, 7, false},
      {"signed", seven,
       [](ByteReader &r) { return Values{r.S8(), r.S16BE(), r.S32LE(), r.S16LE(), r.S32BE()}; },
       {-127, -32125, int32_t(0x87868584), 0, 0}, 7, true},
      {"the first overread latches; later reads yield 0 even where they would fit", {1, 2, 3},
       [](ByteReader &r) { return Values{r.U16BE(), r.U16BE(), r.U8(), r.Skip(0)}; },
       {0x0102, 0, 0, false}, 2, true},
      {"zero-length reads of nothing succeed", {},
       [](ByteReader &r) {
         uint8_t b[1] = {7};
         bool ok = r.Bytes(b, 0) && r.Skip(0) && r.Span(0) && !r.Sub(0).Failed();
         return Values{ok, b[0], int64_t(r.PascalString().size())};
       },
       {1, 7, 0}, 0, true},
      {"bytes zero-filled on failure", {9, 8, 7},
       [](ByteReader &r) {
         uint8_t b[4] = {1, 1, 1, 1};
         bool ok = r.Bytes(b, 4);
         return Values{ok, b[0], b[3], r.Span(3) != nullptr};
       },
       {false, 0, 0, false}, 0, true},
      {"Pascal strings are bounded by the span", {3, 'a', 'b', 'c', 5, 'x'},
       [](ByteReader &r) {
         std::string_view a = r.PascalString(), b = r.PascalString();
         return Values{int64_t(a.size()), a[2], int64_t(b.size())};
       },
       {3, 'c', 0}, 5, true},
      {"a sub-range fails alone and the parent continues after it", {1, 2, 3, 4, 5},
       [](ByteReader &r) {
         ByteReader sub = r.Sub(3);
         Values v{sub.U16BE(), sub.U16BE(), sub.Failed(), r.U8()};
         ByteReader tooLong = r.Sub(5);
         v.push_back(tooLong.Failed());
         v.push_back(tooLong.U8());
         return v;
       },
       {0x0102, 0, true, 4, true, 0}, 4, true},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    // No data is a null pointer, with a size that must not count.
    bool none = row.data.empty();
    ByteReader r(none ? nullptr : row.data.data(), none ? 3 : row.data.size());
    EXPECT_EQ(row.reads(r), row.want);
    EXPECT_EQ(r.Position(), row.position);
    EXPECT_EQ(r.Failed(), row.failed);
  }
}

}  // namespace
}  // namespace tstools
