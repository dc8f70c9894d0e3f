// Random documents and edits on a text core, kept as a string with a style and a paragraph
// format per byte (a paragraph takes the format of its first byte). After each edit the
// incremental relayout must equal a fresh layout. Shared by the layout test and fuzzer.
#pragma once

#include <functional>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "tests/textedit/layout_fixture.h"

namespace tstools::text::testing {

class LayoutModel {
 public:
  // rand(n): a number below n (0 when n is 0).
  explicit LayoutModel(std::function<uint32_t(uint32_t)> rand)
      : rand_(std::move(rand)), doc_(30 + static_cast<int32_t>(rand_(250))) {
    TextCore &c = doc_.core;
    const TextStyle styles[] = {{1, 12, 0, {}}, {2, 9, 0, {}}, {1, 18, kItalic, {}},
                                {3, 12, kTitleCase, {}}};
    for (const TextStyle &s : styles) styleIndex_.push_back(c.styles.Add(s));
    for (int i = 0; i < 5; ++i) paraIndex_.push_back(c.paras.Add(RandomFormat(i)));
    if (rand_(6) == 0) c.layoutFlags = kNoWordWrap;
    if (rand_(6) == 0) c.maxLineWidth = static_cast<uint16_t>(rand_(300));
    if (rand_(4) == 0) c.lineCap = 1 + static_cast<int32_t>(rand_(30));
    if (rand_(4) == 0) c.gridPitch = 5 + static_cast<int32_t>(rand_(30));
    c.gridOrigin = static_cast<int32_t>(rand_(40)) - 20;
    c.vertJust = static_cast<uint16_t>(rand_(3));
    c.nullStyleValid = rand_(2);
    c.nullStyle = styles[rand_(4)];
    Insert(0, static_cast<int32_t>(rand_(400)));
    Sync();
    LayoutAll(c, doc_.env, nullptr);
  }

  // One random edit and relayout; an empty string when it matched a fresh layout.
  std::string Step() {
    int32_t len = static_cast<int32_t>(text_.size());
    int32_t a = static_cast<int32_t>(rand_(static_cast<uint32_t>(len) + 1));
    int32_t b = a + static_cast<int32_t>(rand_(static_cast<uint32_t>(len - a) + 1) % 40);
    int32_t n = 0;
    switch (rand_(5)) {
      case 0:  // insert
        b = a;
        n = Insert(a, 1 + static_cast<int32_t>(rand_(20)));
        break;
      case 1:  // delete
        Erase(a, b);
        n = a - b;
        break;
      case 2:  // replace
        Erase(a, b);
        n = Insert(a, static_cast<int32_t>(rand_(12))) - (b - a);
        break;
      case 3:  // restyle
        for (int32_t i = a; i < b; ++i) style_[static_cast<size_t>(i)] = Pick(styleIndex_);
        break;
      default: {  // a new format for the paragraphs from a to b
        a = doc_.core.ParagraphStart(a);
        b = b < len ? doc_.core.ParagraphEnd(b) : len;
        if (a < len) para_[static_cast<size_t>(a)] = Pick(paraIndex_);
      }
    }
    Sync();
    TextCore &c = doc_.core;
    LineTable before = c.lines;
    Relayout(c, doc_.env, nullptr, a, b, n);
    LineTable incremental = c.lines;
    if (getenv("LAYOUT_DEBUG")) Dump("old", before, a, b, n), Dump("inc", incremental, a, b, n);
    LongRect dest = c.dest;
    LayoutAll(c, doc_.env, nullptr);
    if (getenv("LAYOUT_DEBUG")) Dump("fresh", c.lines, a, b, n);
    return Compare(incremental, dest, a, b, n);
  }

 private:
  void Dump(const char *what, const LineTable &t, int32_t a, int32_t b, int32_t n) const {
    fprintf(stderr, "%s [%d,%d) n=%d cap %d grid %d nowrap %d\n", what, a, b, n, doc_.core.lineCap, doc_.core.gridPitch, doc_.core.layoutFlags);
    for (auto &l : t.lines) fprintf(stderr, "  %d top %d w %d h %d f %u\n", l.start, l.top, l.width, l.height, l.flags);
  }
  ParaFormat RandomFormat(int kind) {
    ParaFormat f;
    if (kind == 0) return f;
    auto fixed = [&](uint32_t range) { return static_cast<Fixed>(rand_(range * 65536)); };
    if (rand_(2)) {
      f.leftIndent = fixed(30);
      f.rightIndent = fixed(30);
      f.firstIndent = fixed(40) - 20 * kFixedOne;
    }
    if (rand_(2)) {
      f.lineSpacing = fixed(3);
      f.spaceBefore = fixed(2);
      f.spaceAfter = fixed(20);
      f.units = static_cast<uint16_t>(rand_(4) | rand_(4) << 4 | rand_(4) << 8);
    }
    f.just = static_cast<int16_t>(rand_(4)) - 1;
    Fixed at = 0;
    f.tabCount = static_cast<int16_t>(rand_(5));
    for (int i = 0; i < f.tabCount; ++i) {
      at += fixed(60) + kFixedOne;
      f.tabs[i] = TabStop{static_cast<uint16_t>(rand_(4)), 0, '.', 0, at};
    }
    return f;
  }
  int32_t Pick(const std::vector<int32_t> &v) { return v[rand_(static_cast<uint32_t>(v.size()))]; }

  int32_t Insert(int32_t at, int32_t count) {
    static const char kBytes[] = "aaaaabbbcc      \t\r.";
    std::string s;
    for (int32_t i = 0; i < count; ++i) s += kBytes[rand_(sizeof kBytes - 1)];
    if (text_.size() + s.size() > 3000) return 0;
    size_t p = static_cast<size_t>(at);
    int32_t style = rand_(3) ? (p ? style_[p - 1] : styleIndex_[0]) : Pick(styleIndex_);
    int32_t para = p ? para_[p - 1] : p < para_.size() ? para_[p] : paraIndex_[0];
    text_.insert(p, s);
    style_.insert(style_.begin() + at, s.size(), style);
    para_.insert(para_.begin() + at, s.size(), para);
    return count;
  }
  void Erase(int32_t a, int32_t b) {
    text_.erase(static_cast<size_t>(a), static_cast<size_t>(b - a));
    style_.erase(style_.begin() + a, style_.begin() + b);
    para_.erase(para_.begin() + a, para_.begin() + b);
  }
  // The core's text and runs from the model.
  void Sync() {
    doc_.SetText(text_);
    auto &styles = doc_.core.styleRuns.MutableRuns();
    auto &paras = doc_.core.paraRuns.MutableRuns();
    styles = {{0, style_.empty() ? styleIndex_[0] : style_[0]}};
    paras = {{0, para_.empty() ? paraIndex_[0] : para_[0]}};
    for (size_t i = 1; i < text_.size(); ++i) {
      if (style_[i] != styles.back().index) styles.push_back({static_cast<int32_t>(i), style_[i]});
      if (text_[i - 1] == '\r' && para_[i] != paras.back().index)
        paras.push_back({static_cast<int32_t>(i), para_[i]});
    }
  }
  std::string Compare(const LineTable &inc, const LongRect &dest, int32_t a, int32_t b,
                      int32_t n) const {
    const LineTable &fresh = doc_.core.lines;
    std::ostringstream why;
    why << "edit [" << a << "," << b << ") n=" << n << " length " << text_.size() << ": ";
    if (inc.Count() != fresh.Count()) return why.str() + "line count " +
                                              std::to_string(inc.Count()) + " vs " +
                                              std::to_string(fresh.Count());
    for (int32_t i = 0; i < inc.Count(); ++i) {
      const LineRecord &x = inc.lines[static_cast<size_t>(i)];
      const LineRecord &y = fresh.lines[static_cast<size_t>(i)];
      if (x.start != y.start || x.top != y.top || x.width != y.width || x.height != y.height ||
          x.ascent != y.ascent || x.visibleCount != y.visibleCount || x.flags != y.flags) {
        why << "line " << i << ": start " << x.start << "/" << y.start << " top " << x.top << "/"
            << y.top << " width " << x.width << "/" << y.width << " height " << x.height << "/"
            << y.height << " flags " << x.flags << "/" << y.flags;
        return why.str();
      }
    }
    if (inc.origin != fresh.origin || inc.textLength != fresh.textLength ||
        !(dest == doc_.core.dest))
      return why.str() + "origin, length or destination";
    return "";
  }

  std::function<uint32_t(uint32_t)> rand_;
  LayoutDoc doc_;
  std::vector<int32_t> styleIndex_, paraIndex_;
  std::string text_;
  std::vector<int32_t> style_, para_;
};

}  // namespace tstools::text::testing
