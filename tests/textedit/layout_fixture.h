// A text core over a fake font for the layout tests and fuzzer: every byte size / 2 wide,
// ascent 3/4 of the size, descent 1/4, leading 1 (size 12: 6 px, ascent 9, lines 13 high).
#pragma once

#include <cstring>
#include <string>

#include "memory/zone.h"
#include "textedit/layout.h"

namespace tstools::text::testing {

struct FakeFont : Measurer {
  int PortKind() override { return 0; }
  bool Measure(const PortStyle &s, FontMetrics *info, Fixed widths[256]) override {
    ++measured;
    *info = {s.size * kFixedOne * 3 / 4, s.size * kFixedOne / 4, kFixedOne, s.size * kFixedOne / 2};
    for (int i = 0; i < 256; ++i) widths[i] = s.size * kFixedOne / 2;
    return true;
  }
  int measured = 0;
};

struct LayoutDoc {
  explicit LayoutDoc(int32_t width) {
    core.store.Create();
    core.dest = LongRect{0, 0, 0, width};
    core.view = ShortRect{0, 0, static_cast<int16_t>(width), 100};
    env.measurer = &font;
    env.cache = &cache;
    core.styleRuns.MutableRuns() = {{0, core.styles.Add(TextStyle())}};
    SetPara(ParaFormat());
  }
  void SetText(const std::string &s) {
    core.store.Reserve(static_cast<int32_t>(s.size()));
    if (!s.empty()) std::memcpy(core.store.MutableBytes(), s.data(), s.size());
    core.store.SetLength(static_cast<int32_t>(s.size()));
  }
  // Every paragraph takes f, or (at >= 0) those from `at` on.
  void SetPara(const ParaFormat &f, int32_t at = -1) {
    Run r{at < 0 ? 0 : at, core.paras.Add(f)};
    if (at < 0) core.paraRuns.MutableRuns() = {r};
    else core.paraRuns.MutableRuns().push_back(r);
  }

  memory::MallocBlockSource source;
  memory::Zone zone{source};
  TextCore core{zone};
  FakeFont font;
  MetricCache cache;
  TextEnv env;
};

}  // namespace tstools::text::testing
