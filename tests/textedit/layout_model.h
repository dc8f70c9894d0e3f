// Random documents and edits on a text core, kept as a string with a style and a paragraph
// format per byte (a paragraph takes its first byte's). After each edit, relayout must equal
// a fresh layout. Shared by the layout test and fuzzer.
#pragma once

#include <functional>
#include <vector>

#include "tests/textedit/layout_fixture.h"

namespace tstools::text::testing {

class LayoutModel {
 public:
  explicit LayoutModel(std::function<uint32_t(uint32_t)> rand)  // rand(n) < n, or 0
      : r_(std::move(rand)), doc_(30 + static_cast<int32_t>(r_(250))) {
    TextCore &c = doc_.core;
    for (TextStyle s : {TextStyle{1, 12, 0, {}}, TextStyle{2, 9, 0, {}}, TextStyle{1, 18, kItalic, {}}})
      styles_.push_back(c.styles.Add(s));
    for (int i = 0; i < 5; ++i) paras_.push_back(c.paras.Add(RandomFormat(i)));
    c.layoutFlags = r_(6) ? 0 : kNoWordWrap;
    c.maxLineWidth = static_cast<uint16_t>(r_(6) ? 8000 : r_(300));
    c.lineCap = r_(4) ? 0 : 1 + static_cast<int32_t>(r_(30));
    c.gridPitch = r_(4) ? 0 : 5 + static_cast<int32_t>(r_(30));
    c.gridOrigin = static_cast<int32_t>(r_(40)) - 20;
    c.vertJust = static_cast<uint16_t>(r_(3));
    c.nullStyleValid = r_(2);
    Insert(0, static_cast<int32_t>(r_(400)));
    LayoutAll(c, doc_.env, nullptr);
  }

  // One random edit and relayout: false when it differs from a fresh layout.
  bool Step() {
    int32_t len = static_cast<int32_t>(text_.size());
    int32_t a = static_cast<int32_t>(r_(static_cast<uint32_t>(len) + 1));
    int32_t b = a + static_cast<int32_t>(r_(static_cast<uint32_t>(len - a) + 1) % 40), n = 0;
    switch (r_(5)) {
      case 0: b = a; n = Insert(a, 1 + static_cast<int32_t>(r_(20))); break;
      case 1: n = Erase(a, b); break;
      case 2: n = Erase(a, b) + Insert(a, static_cast<int32_t>(r_(12))); break;
      case 3:
        for (int32_t i = a; i < b; ++i) style_[static_cast<size_t>(i)] = Pick(styles_);
        Sync();
        break;
      default:  // a new format for the paragraphs of [a, b)
        a = doc_.core.ParagraphStart(a);
        b = b < len ? doc_.core.ParagraphEnd(b) : len;
        if (a < len) para_[static_cast<size_t>(a)] = Pick(paras_);
        Sync();
    }
    TextCore &c = doc_.core;
    Relayout(c, doc_.env, nullptr, a, b, n);
    LineTable inc = c.lines;
    LongRect dest = c.dest;
    LayoutAll(c, doc_.env, nullptr);
    auto same = [](const LineRecord &x, const LineRecord &y) {
      return x.start == y.start && x.top == y.top && x.width == y.width && x.height == y.height &&
             x.ascent == y.ascent && x.visibleCount == y.visibleCount && x.flags == y.flags;
    };
    return inc.origin == c.lines.origin && inc.textLength == c.lines.textLength &&
           dest == c.dest &&
           std::equal(inc.lines.begin(), inc.lines.end(), c.lines.lines.begin(),
                      c.lines.lines.end(), same);
  }

 private:
  ParaFormat RandomFormat(int kind) {
    ParaFormat f;
    auto fixed = [&](uint32_t range) { return static_cast<Fixed>(r_(range * 65536)); };
    if (kind == 0) return f;
    if (r_(2)) {
      f.leftIndent = fixed(30);
      f.rightIndent = fixed(30);
      f.firstIndent = fixed(40) - 20 * kFixedOne;
    }
    if (r_(2)) {
      f.lineSpacing = fixed(3);
      f.spaceBefore = fixed(2);
      f.spaceAfter = fixed(20);
      f.units = static_cast<uint16_t>(r_(4) | r_(4) << 4 | r_(4) << 8);
    }
    f.just = static_cast<int16_t>(r_(4)) - 1;
    f.tabCount = static_cast<int16_t>(r_(5));
    for (int i = 0; i < f.tabCount; ++i)
      f.tabs[i] = TabStop{static_cast<uint16_t>(r_(4)), 0, '.', 0,
                          (i ? f.tabs[i - 1].position : 0) + fixed(60) + kFixedOne};
    return f;
  }
  int32_t Pick(const std::vector<int32_t> &v) { return v[r_(static_cast<uint32_t>(v.size()))]; }

  // Inserted bytes take a neighbour's style or a random one, and the format of the byte
  // before (so an insertion at a paragraph start may change its format).
  int32_t Insert(int32_t at, int32_t count) {
    static const char kBytes[] = "aaaaabbbcc      \t\r.";
    if (text_.size() + static_cast<size_t>(count) > 3000) count = 0;
    std::string s;
    for (int32_t i = 0; i < count; ++i) s += kBytes[r_(sizeof kBytes - 1)];
    size_t p = static_cast<size_t>(at);
    int32_t style = r_(3) && p ? style_[p - 1] : Pick(styles_);
    int32_t para = p ? para_[p - 1] : p < para_.size() ? para_[p] : paras_[0];
    text_.insert(p, s);
    style_.insert(style_.begin() + at, s.size(), style);
    para_.insert(para_.begin() + at, s.size(), para);
    Sync();
    return count;
  }
  int32_t Erase(int32_t a, int32_t b) {
    text_.erase(static_cast<size_t>(a), static_cast<size_t>(b - a));
    style_.erase(style_.begin() + a, style_.begin() + b);
    para_.erase(para_.begin() + a, para_.begin() + b);
    Sync();
    return a - b;
  }
  void Sync() {  // the core's text and runs from the model
    doc_.SetText(text_);
    auto &sr = doc_.core.styleRuns.MutableRuns();
    auto &pr = doc_.core.paraRuns.MutableRuns();
    sr = {{0, style_.empty() ? styles_[0] : style_[0]}};
    pr = {{0, para_.empty() ? paras_[0] : para_[0]}};
    for (size_t i = 1; i < text_.size(); ++i) {
      if (style_[i] != sr.back().index) sr.push_back({static_cast<int32_t>(i), style_[i]});
      if (text_[i - 1] == '\r' && para_[i] != pr.back().index)
        pr.push_back({static_cast<int32_t>(i), para_[i]});
    }
  }

  std::function<uint32_t(uint32_t)> r_;
  LayoutDoc doc_;
  std::vector<int32_t> styles_, paras_, style_, para_;
  std::string text_;
};

}  // namespace tstools::text::testing
