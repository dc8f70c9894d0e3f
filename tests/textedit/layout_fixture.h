// A text core over a fake fixed-width font, for the layout tests and the layout fuzzer: every
// byte is size / 2 wide, the ascent 3/4 of the size, the descent 1/4, the leading 1 (at size
// 12: 6.0 wide, ascent 9, line height 13).
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "memory/zone.h"
#include "textedit/layout.h"

namespace tstools::text::testing {

class FakeFont : public Measurer {
 public:
  int PortKind() override { return 0; }
  bool Measure(const PortStyle &s, FontMetrics *info, Fixed widths[256]) override {
    ++measured;
    info->ascent = s.size * kFixedOne * 3 / 4;
    info->descent = s.size * kFixedOne / 4;
    info->leading = kFixedOne;
    info->widMax = s.size * kFixedOne / 2;
    for (int i = 0; i < 256; ++i) widths[i] = s.size * kFixedOne / 2;
    return true;
  }
  int measured = 0;
};

struct LayoutDoc {
  explicit LayoutDoc(int32_t width = 61) {
    core.store.Create();
    core.dest = LongRect{0, 0, 0, width};
    core.view = ShortRect{0, 0, static_cast<int16_t>(width), 100};
    env.measurer = &font;
    env.cache = &cache;
    core.styleRuns.MutableRuns() = {{0, core.styles.Add(TextStyle())}};
    core.paraRuns.MutableRuns() = {{0, core.paras.Add(ParaFormat())}};
  }
  void SetText(const std::string &s) {
    core.store.Reserve(static_cast<int32_t>(s.size()));
    if (!s.empty()) std::memcpy(core.store.MutableBytes(), s.data(), s.size());
    core.store.SetLength(static_cast<int32_t>(s.size()));
  }
  std::string Text() const {
    return std::string(reinterpret_cast<const char *>(core.Bytes()),
                       static_cast<size_t>(core.Length()));
  }
  // Every paragraph (or only the one starting at `at`) takes format f.
  void SetPara(const ParaFormat &f, int32_t at = -1) {
    int32_t i = core.paras.Add(f);
    if (at < 0) core.paraRuns.MutableRuns() = {{0, i}};
    else core.paraRuns.MutableRuns().push_back({at, i});
  }
  void Layout(LayoutHost *host = nullptr) { LayoutAll(core, env, host); }

  memory::MallocBlockSource source;
  memory::Zone zone{source};
  TextCore core{zone};
  FakeFont font;
  MetricCache cache;
  TextEnv env;
};

}  // namespace tstools::text::testing
