// A text core over a fake font (a byte is size / 2 wide, ascent 3/4 of the size, descent 1/4,
// leading 1), and a model of random edits on it that checks relayout against fresh layout.
#pragma once

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "memory/zone.h"
#include "textedit/layout.h"

namespace tstools::text::testing {

struct FakeFont : Measurer {
  int PortKind() override { return 0; }
  bool Measure(const PortStyle &s, FontMetrics *info, Fixed widths[256]) override {
    Fixed half = s.size * kFixedOne / 2;
    *info = {half * 3 / 2, half / 2, kFixedOne, half};
    return std::fill(widths, widths + 256, half), true;
  }
};

struct LayoutDoc {
  explicit LayoutDoc(int32_t width) {
    core.store.Create();
    core.dest = LongRect{0, 0, 0, width};
    core.view = ShortRect{0, 0, static_cast<int16_t>(width), 100};
    env.measurer = &font, env.cache = &cache;
    core.styleRuns.MutableRuns() = {{0, core.styles.Add(TextStyle())}};
    SetPara(ParaFormat());
  }
  void SetText(const std::string &s) {
    core.store.Reserve(static_cast<int32_t>(s.size()));
    std::memcpy(core.store.MutableBytes(), s.data(), s.size());
    core.store.SetLength(static_cast<int32_t>(s.size()));
  }
  void SetPara(const ParaFormat &f, int32_t at = 0) {  // for the paragraphs from `at` on
    if (!at) core.paraRuns.MutableRuns().clear();
    core.paraRuns.MutableRuns().push_back({at, core.paras.Add(f)});
  }
  memory::MallocBlockSource source;
  memory::Zone zone{source};
  TextCore core{zone};
  FakeFont font;
  MetricCache cache;
  TextEnv env;
};

// Text as bytes with a style and a paragraph format each (a paragraph takes its first byte's).
class LayoutModel {
 public:
  explicit LayoutModel(std::function<uint32_t(uint32_t)> rand)  // rand(n) < n, or 0
      : rand_(std::move(rand)), doc_(30 + R(250)) {
    TextCore &c = doc_.core;
    for (TextStyle s : {TextStyle{1, 12, 0, {}}, TextStyle{2, 9, 0, {}}, TextStyle{1, 18, kItalic, {}}})
      styles_.push_back(c.styles.Add(s));
    for (int i = 0; i < 5; ++i) paras_.push_back(c.paras.Add(RandomFormat(i)));
    c.layoutFlags = R(6) ? 0 : kNoWordWrap, c.maxLineWidth = static_cast<uint16_t>(R(6) ? 8000 : R(300));
    c.lineCap = R(4) ? 0 : 1 + R(30), c.gridPitch = R(4) ? 0 : 5 + R(30), c.gridOrigin = R(40) - 20;
    c.vertJust = static_cast<uint16_t>(R(3)), c.nullStyleValid = R(2);
    Insert(0, R(400));
    Sync();
    LayoutAll(c, doc_.env, nullptr);
  }

  // One random edit (insert, delete, replace, restyle, new paragraph format) and relayout:
  // false when it differs from a fresh layout.
  bool Step() {
    int32_t len = static_cast<int32_t>(bytes_.size()), a = R(len + 1), b = a + R(len - a + 1) % 40, n = 0;
    int op = R(5);
    if (op == 1 || op == 2) n = a - b, bytes_.erase(bytes_.begin() + a, bytes_.begin() + b);
    if (op == 0) b = a;
    if (op == 0 || op == 2) n += Insert(a, R(op ? 12 : 20));
    for (int32_t i = a; op == 3 && i < b; ++i) bytes_[static_cast<size_t>(i)].style = Pick(styles_);
    if (op == 4) {
      a = doc_.core.ParagraphStart(a), b = b < len ? doc_.core.ParagraphEnd(b) : len;
      if (a < len) bytes_[static_cast<size_t>(a)].para = Pick(paras_);
    }
    Sync();
    TextCore &c = doc_.core;
    Relayout(c, doc_.env, nullptr, a, b, n);
    LineTable inc = c.lines;
    LongRect dest = c.dest;
    LayoutAll(c, doc_.env, nullptr);
    auto same = [](const LineRecord &x, const LineRecord &y) {
      auto key = [](const LineRecord &l) {
        return std::tie(l.start, l.top, l.width, l.height, l.drawHeight, l.ascent, l.visibleCount, l.flags);
      };
      return key(x) == key(y);
    };
    return inc.origin == c.lines.origin && inc.textLength == c.lines.textLength && dest == c.dest &&
           std::equal(inc.lines.begin(), inc.lines.end(), c.lines.lines.begin(), c.lines.lines.end(), same);
  }

 LayoutDoc &Doc() { return doc_; }

 private:
  struct Byte { char c; int32_t style, para; };
  void Sync() {  // the core's text and runs from the model
    std::string text;
    auto &sr = doc_.core.styleRuns.MutableRuns(), &pr = doc_.core.paraRuns.MutableRuns();
    sr = {{0, bytes_.empty() ? styles_[0] : bytes_[0].style}};
    pr = {{0, bytes_.empty() ? paras_[0] : bytes_[0].para}};
    for (int32_t i = 0; i < static_cast<int32_t>(bytes_.size()); text += bytes_[static_cast<size_t>(i++)].c) {
      const Byte &x = bytes_[static_cast<size_t>(i)];
      if (i && x.style != sr.back().index) sr.push_back({i, x.style});
      if (i && text.back() == '\r' && x.para != pr.back().index) pr.push_back({i, x.para});
    }
    doc_.SetText(text);
  }
  int32_t R(int32_t n) { return static_cast<int32_t>(rand_(static_cast<uint32_t>(n))); }
  int32_t Pick(const std::vector<int32_t> &v) { return v[static_cast<size_t>(R(static_cast<int32_t>(v.size())))]; }
  ParaFormat RandomFormat(int kind) {
    ParaFormat f;
    auto fixed = [&](int32_t range) { return R(range * 65536); };
    if (kind == 0) return f;
    if (R(2)) f.leftIndent = fixed(30), f.rightIndent = fixed(30), f.firstIndent = fixed(40) - 20 * kFixedOne;
    if (R(2)) f.lineSpacing = fixed(3), f.spaceBefore = fixed(2), f.spaceAfter = fixed(20);
    f.units = static_cast<uint16_t>(R(4) | R(4) << 4 | R(4) << 8);
    f.just = static_cast<int16_t>(R(4) - 1), f.tabCount = static_cast<int16_t>(R(5));
    for (int i = 0; i < f.tabCount; ++i)
      f.tabs[i] = {static_cast<uint16_t>(R(4)), 0, '.', 0, (i ? f.tabs[i - 1].position : 0) + fixed(60) + 1};
    return f;
  }
  // Inserted bytes take a neighbour's style or a random one, and the format of the byte
  // before (so an insertion at a paragraph start may change its format).
  int32_t Insert(int32_t at, int32_t count) {
    static const char kBytes[] = "aaaaabbbcc      \t\r.";
    if (bytes_.size() + static_cast<size_t>(count) > 3000) return 0;
    size_t p = static_cast<size_t>(at);
    Byte b{0, R(3) && p ? bytes_[p - 1].style : Pick(styles_),
           p ? bytes_[p - 1].para : p < bytes_.size() ? bytes_[p].para : paras_[0]};
    bytes_.insert(bytes_.begin() + at, static_cast<size_t>(count), b);
    for (size_t i = 0; i < static_cast<size_t>(count); ++i) bytes_[p + i].c = kBytes[R(sizeof kBytes - 1)];
    return count;
  }

  std::function<uint32_t(uint32_t)> rand_;
  LayoutDoc doc_;
  std::vector<int32_t> styles_, paras_;
  std::vector<Byte> bytes_;
};

}  // namespace tstools::text::testing
