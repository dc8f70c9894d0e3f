// The playback filter over arbitrary record streams: every record read within its bytes,
// rewritten records well formed, saves never counted below zero.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "frame/byte_reader.h"
#include "picture/metafile_filter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  tstools::ByteReader in(data, size);
  int saveBase = in.U8() % 8;
  bool recording = in.U8() & 1;
  tstools::pict::NestingGeometry g;
  for (int32_t *v : {&g.portWidth, &g.portHeight, &g.destWidth, &g.destHeight, &g.offsetX, &g.offsetY,
                     &g.extentX, &g.extentY})
    *v = in.S32LE();
  tstools::pict::MetafileFilter filter(saveBase, recording ? &g : nullptr);
  while (!in.AtEnd() && !in.Failed()) {
    // The caller hands the filter exactly the bytes rdSize says (ASan sees the span's end).
    size_t n = std::min<size_t>(in.U16LE() % 64 * 2, in.Remaining());
    const uint8_t *record = in.Span(n);
    auto d = filter.Decide(record, n);
    if (filter.UnmatchedSaves() < 0 || d.count < 0 || d.count > (d.kind == d.kPlayRewritten ? 2 : 0)) abort();
    for (int i = 0; i < d.count; ++i)
      if (d.records[i][0] != 5 || d.records[i][1] || d.records[i][2] || d.records[i][3]) abort();
  }
  return 0;
}
