// Hit testing, carets, highlight and the selection rules, with the fake font at size 12 (6 px
// a byte, lines 13 high); and the typing rules. Random documents check that a click on any
// caret's place hits its offset, whatever the tabs, indents and justification.
#include <gtest/gtest.h>

#include <random>

#include "tests/textedit/layout_model.h"
#include "textedit/line_walk.h"
#include "textedit/selection_rules.h"
#include "textedit/text_edit.h"
#include "textedit/typing_rules.h"

namespace tstools::text::testing {
namespace {

struct Doc : LayoutDoc {
  explicit Doc(const std::string &text, int width = 61, int16_t just = 0) : LayoutDoc(width) {
    ParaFormat f;
    f.just = just;
    SetPara(f);
    SetText(text);
    core.dest.bottom = 1000;
    LayoutAll(core, env, nullptr);
  }
  Hit At(int h, int v) { return HitTest(core, env, h, v); }
  Selection Arrow(Selection s, uint8_t key, uint16_t mods = 0) { return ArrowKey(core, env, s, key, mods).selection; }
  Range Delete(Selection s, uint8_t key, uint16_t mods = 0) { return DeleteRange(core, env, s, key, mods); }
};

Selection Caret(int32_t p, bool atLineEnd = false) { return {p, p, false, atLineEnd}; }

TEST(HitTest, PointsToOffsets) {
  Doc d("aaaa bbbb cccc\rdd");  // lines: "aaaa bbbb " wrapped, "cccc\r", "dd"
  ASSERT_EQ(d.core.lines.Count(), 3);
  EXPECT_EQ(d.At(0, 5).offset, 0);
  EXPECT_EQ(d.At(8, 5).offset, 1);   // nearer the right edge of the first "a"
  EXPECT_EQ(d.At(9, 5).offset, 1);   // exactly half way counts for the left edge
  EXPECT_EQ(d.At(3, 5).offset, 0);
  Hit wrapEnd = d.At(60, 5);
  EXPECT_EQ(wrapEnd.offset, 10);
  EXPECT_TRUE(wrapEnd.lineEnd);
  Hit beforeReturn = d.At(60, 15);
  EXPECT_EQ(beforeReturn.offset, 14);  // never past the return
  EXPECT_FALSE(beforeReturn.lineEnd);
  EXPECT_EQ(d.At(5, -3).offset, 0);                 // above the destination
  EXPECT_EQ(d.At(0, 1000).offset, d.core.Length());  // below it
  EXPECT_EQ(d.At(60, 30).offset, d.core.Length());
}

TEST(HitTest, TabsAndFullJustificationPlaceCharactersAsTheyAreDrawn) {
  Doc tabs("a\tb", 201);
  EXPECT_EQ(PlaceCaret(tabs.core, tabs.env, 2, false).x, 36);  // the default stop
  EXPECT_EQ(tabs.At(20, 5).offset, 1);
  EXPECT_EQ(tabs.At(22, 5).offset, 2);
  Doc narrow("\tb", 31);  // a leading tab out of reach stops at the right edge; "b" wraps
  EXPECT_EQ(PlaceCaret(narrow.core, narrow.env, 1, true).x, 30);
  Doc full("aa bb cc dd ee", 61, 2);  // "aa bb cc " wraps: 48 px of text, 12 extra over 2 blanks
  Justification j = JustificationOf(full.core, full.env, 0);
  EXPECT_EQ(j.extra, 60 - 48);
  EXPECT_EQ(j.blanks, 2);
  EXPECT_EQ(PlaceCaret(full.core, full.env, 8, false).x, 60);  // the last word ends at the limit
  EXPECT_EQ(PlaceCaret(full.core, full.env, 3, false).x, 24);
  EXPECT_EQ(JustificationOf(full.core, full.env, 1).extra, 0);  // the last line is not stretched
}

TEST(HitTest, EveryCaretPlaceHitsItsOffsetInRandomDocuments) {
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    std::mt19937 gen(seed);
    LayoutModel model([&](uint32_t n) { return n ? gen() % n : 0; });
    for (int i = 0; i < 5; ++i) model.Step();
    LayoutDoc &d = model.Doc();
    d.core.dest.bottom = INT32_MAX;
    // The walk ends each line's visible text where the builder measured it.
    for (int32_t i = 0; i < d.core.lines.Count() && !(d.core.layoutFlags & kNoWordWrap); ++i) {
      const LineRecord &l = d.core.lines.lines[size_t(i)];
      if (l.width >= kEmptyLineWidth - 1 || JustificationOf(d.core, d.env, i).extra) continue;
      LinePositions lp = WalkLine(d.core, d.env, i);
      ASSERT_EQ((lp.x[size_t(l.visibleCount)] + 0x8000) >> 16, l.width) << "seed " << seed << " line " << i;
    }
    for (int32_t p = 0; p <= d.core.Length(); ++p) {
      CaretPlace c = PlaceCaret(d.core, d.env, p, false);
      Hit hit = HitTest(d.core, d.env, c.x, c.top);
      if (hit.offset == p) continue;
      // Only a boundary drawn at the same pixel (an empty tab advance) may answer instead.
      CaretPlace other = PlaceCaret(d.core, d.env, hit.offset, hit.lineEnd);
      ASSERT_TRUE(other.line == c.line && other.x == c.x) << "seed " << seed << " offset " << p << " hit " << hit.offset;
    }
  }
}

TEST(Highlight, OneToThreeRectangles) {
  Doc d("aaaa bbbb cccc\rdd\reee");
  EXPECT_TRUE(HighlightRects(d.core, d.env, 3, 3).empty());
  EXPECT_EQ(HighlightRects(d.core, d.env, 1, 3), (std::vector<PixelRect>{{6, 0, 18, 13}}));
  EXPECT_EQ(HighlightRects(d.core, d.env, 2, 16),
            (std::vector<PixelRect>{{12, 0, 61, 13}, {0, 13, 61, 26}, {0, 26, 6, 39}}));
  // An end after a return closes the block: nothing of the next line.
  EXPECT_EQ(HighlightRects(d.core, d.env, 2, 15), (std::vector<PixelRect>{{12, 0, 61, 13}, {0, 13, 61, 26}}));
  // An end at a wrapped line's start ends at the line before.
  EXPECT_EQ(HighlightRects(d.core, d.env, 2, 10), (std::vector<PixelRect>{{12, 0, 60, 13}}));
}

TEST(Clicks, UnitsByCountAndExtension) {
  Doc d("one two\rthree four five six\r");
  Hit inTwo = d.At(27, 5);  // in "two"
  EXPECT_EQ(ClickUnit(d.core, inTwo, 1), (Range{4, 4}));
  EXPECT_EQ(ClickUnit(d.core, inTwo, 2), (Range{4, 7}));
  EXPECT_EQ(ClickUnit(d.core, d.At(3, 20), 3), (Range{8, 19}));  // "three four " wrapped
  EXPECT_EQ(ClickUnit(d.core, d.At(3, 20), 4), (Range{8, 28}));
  EXPECT_EQ(ClickUnit(d.core, d.At(0, 13), 4), (Range{8, 28}));  // just after a return: that paragraph
  EXPECT_EQ(ClickUnit(d.core, inTwo, 9), (Range{0, 28}));
  Selection s = ClickSelection(d.core, d.At(3, 20), 1, true, Caret(2));
  EXPECT_EQ(s.start, 2);
  EXPECT_EQ(s.end, 8);
  Selection back = ClickSelection(d.core, d.At(0, 5), 1, true, {2, 8, false, false});
  EXPECT_EQ(back.start, 0);
  EXPECT_EQ(back.end, 2);  // the anchor stays
  EXPECT_TRUE(back.movingStart);
  Selection words = ClickSelection(d.core, d.At(3, 20), 2, true, {4, 7, false, false});
  EXPECT_EQ(words.start, 4);
  EXPECT_EQ(words.end, 13);
  Selection drag = DragSelection(d.core, {4, 7}, d.At(0, 5), 2);
  EXPECT_EQ(drag.start, 0);
  EXPECT_EQ(drag.end, 7);
  EXPECT_TRUE(ClickSelection(d.core, d.At(100, 20), 1, false, Caret(0)).caretAtLineEnd);  // past the hanging blank
}

TEST(Arrows, MoveAndExtend) {
  Doc d("aaaa bbbb cccc\rdd");
  EXPECT_EQ(d.Arrow(Caret(0), kLeftArrow).start, 0);
  EXPECT_FALSE(ArrowKey(d.core, d.env, Caret(0), kLeftArrow, 0).changed);
  EXPECT_EQ(d.Arrow({2, 6, false, false}, kLeftArrow).end, 2);   // collapses to the start
  EXPECT_EQ(d.Arrow({2, 6, false, false}, kRightArrow).start, 6);
  Selection wider = d.Arrow({2, 6, false, false}, kRightArrow, kShiftKey);
  EXPECT_EQ(wider.start, 2);
  EXPECT_EQ(wider.end, 7);
  Selection flipped = d.Arrow(d.Arrow(Caret(2), kLeftArrow, kShiftKey), kLeftArrow, kShiftKey);
  EXPECT_EQ(flipped.start, 0);
  EXPECT_EQ(flipped.end, 2);
  EXPECT_EQ(d.Arrow(Caret(12), kLeftArrow, kCommandKey).start, 10);
  Selection lineEnd = d.Arrow(Caret(2), kRightArrow, kCommandKey);
  EXPECT_EQ(lineEnd.start, 10);
  EXPECT_TRUE(lineEnd.caretAtLineEnd);  // shown at the end of the wrapped line
  EXPECT_EQ(d.Arrow(Caret(11), kRightArrow, kCommandKey).start, 14);  // before the return
  EXPECT_EQ(d.Arrow(Caret(7), kLeftArrow, kOptionKey).start, 5);
  EXPECT_EQ(d.Arrow(Caret(5), kLeftArrow, kOptionKey).start, 0);
  EXPECT_EQ(d.Arrow(Caret(2), kRightArrow, kOptionKey).start, 4);
  EXPECT_EQ(d.Arrow(Caret(12), kUpArrow).start, 2);
  EXPECT_EQ(d.Arrow(Caret(2), kUpArrow).start, 0);
  EXPECT_EQ(d.Arrow(Caret(13), kDownArrow).start, 17);  // past the last line's end
  EXPECT_EQ(d.Arrow(Caret(16), kDownArrow).start, 17);
  EXPECT_EQ(d.Arrow(Caret(1), kDownArrow, kCommandKey).start, 17);
  Selection up = d.Arrow(Caret(10, true), kUpArrow);  // from the wrapped line's end
  EXPECT_EQ(up.start, 0);
}

TEST(DeleteKeys, Targets) {
  Doc d("aaaa bbbb cccc\rdd");
  EXPECT_EQ(d.Delete({3, 7, false, false}, kBackspaceKey, kCommandKey | kOptionKey), (Range{3, 7}));
  EXPECT_EQ(d.Delete(Caret(0), kBackspaceKey), (Range{0, 0}));
  EXPECT_EQ(d.Delete(Caret(3), kBackspaceKey), (Range{2, 3}));
  EXPECT_EQ(d.Delete(Caret(7), kBackspaceKey, kOptionKey), (Range{5, 7}));
  EXPECT_EQ(d.Delete(Caret(12), kBackspaceKey, kCommandKey), (Range{10, 12}));
  EXPECT_EQ(d.Delete(Caret(10), kBackspaceKey, kCommandKey), (Range{10, 10}));
  EXPECT_EQ(d.Delete(Caret(10, true), kBackspaceKey, kCommandKey), (Range{0, 10}));
  EXPECT_EQ(d.Delete(Caret(17), kForwardDeleteKey), (Range{17, 17}));
  EXPECT_EQ(d.Delete(Caret(3), kForwardDeleteKey), (Range{3, 4}));
  EXPECT_EQ(d.Delete(Caret(3), kForwardDeleteKey, kOptionKey), (Range{3, 4}));
  EXPECT_EQ(d.Delete(Caret(4), kForwardDeleteKey, kOptionKey), (Range{4, 9}));
  EXPECT_EQ(d.Delete(Caret(3), kForwardDeleteKey, kCommandKey), (Range{3, 10}));
  EXPECT_EQ(d.Delete(Caret(10, true), kForwardDeleteKey, kCommandKey), (Range{10, 10}));
  EXPECT_EQ(d.Delete(Caret(4), kClearKey), (Range{0, 17}));
}

TEST(Typing, SmartQuotesUrlsAndDrops) {
  QuoteTable q;
  EXPECT_EQ(SmartQuote('"', '(', q), q.leftDouble);
  EXPECT_EQ(SmartQuote('"', -1, q), q.leftDouble);
  EXPECT_EQ(SmartQuote('"', 'a', q), q.rightDouble);
  EXPECT_EQ(SmartQuote('"', q.leftSingle, q), q.leftDouble);
  EXPECT_EQ(SmartQuote('\'', q.leftDouble, q), q.leftSingle);
  EXPECT_EQ(SmartQuote('\'', 'n', q), q.rightSingle);
  EXPECT_EQ(SmartQuote('x', ' ', q), 'x');

  const std::string text = "see HTTP://host.example:8080/a/b. and <news://x> or file://c:/d";
  auto bytes = reinterpret_cast<const uint8_t *>(text.data());
  auto at = [&](size_t p) { return FindUrl(bytes, static_cast<int32_t>(text.size()), int32_t(p), int32_t(p)); };
  auto url = at(10);
  ASSERT_TRUE(url);
  EXPECT_EQ(text.substr(size_t(url->start), size_t(url->end - url->start)), "HTTP://host.example:8080/a/b.");
  EXPECT_EQ(url->scheme, kUrlHttp);
  EXPECT_EQ(url->host, "host.example");
  EXPECT_EQ(url->port, 8080);
  EXPECT_EQ(url->path, "/a/b.");
  auto news = at(text.find("news") + 2);
  ASSERT_TRUE(news);
  EXPECT_EQ(news->end - news->start, 8);  // angle brackets delimit
  auto file = at(text.size() - 1);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->host, "");
  EXPECT_EQ(file->path, "c:/d");
  EXPECT_FALSE(at(1));
  EXPECT_FALSE(FindUrl(bytes, 0, 0, 0));

  EXPECT_EQ(DropOffset(9, 2, 5, true, 20), 6);  // after the moved text: lands where it was seen
  EXPECT_EQ(DropOffset(1, 2, 5, true, 20), 1);
  EXPECT_FALSE(DropOffset(3, 2, 5, true, 20));  // onto its own selection
  EXPECT_FALSE(DropOffset(5, 2, 5, true, 20));
  EXPECT_EQ(DropOffset(3, 2, 5, false, 20), 3);
  EXPECT_EQ(DropOffset(99, 2, 5, false, 20), 20);  // clamped to the text at drop time
  EXPECT_TRUE(EndsTypingBatch(37) && EndsTypingBatch(112) && !EndsTypingBatch('A'));
}


// The per-offset view of a document: bytes with their style and format, the null style and
// the lines.
std::string Shown(LayoutDoc &d) {
  TextCore &c = d.core;
  std::string s(reinterpret_cast<const char *>(c.Bytes()), size_t(c.Length()));
  for (int32_t p = 0; p < c.Length(); ++p) {
    const TextStyle &st = c.StyleAt(p);
    s += "|" + std::to_string(st.font) + "," + std::to_string(st.size) + "," + std::to_string(st.face) + "," +
         std::to_string(c.ParaAt(p).just) + "," + std::to_string(c.ParaAt(p).tabCount);
  }
  for (const LineRecord &l : c.lines.lines) s += "/" + std::to_string(l.start) + ":" + std::to_string(l.width);
  return s + (c.nullStyleValid ? "|null" : "");
}

TEST(ReplaceRange, EqualsDeletingThenInsertingAndFailsWhole) {
  for (uint32_t seed = 1; seed <= 60; ++seed) {
    std::mt19937 g1(seed), g2(seed);
    LayoutModel m1([&](uint32_t n) { return n ? g1() % n : 0; }), m2([&](uint32_t n) { return n ? g2() % n : 0; });
    for (int i = 0; i < 12; ++i) m1.Step(), m2.Step();
    LayoutDoc &d1 = m1.Doc(), &d2 = m2.Doc();
    d1.core.flags |= kFlagCalcAlways, d2.core.flags |= kFlagCalcAlways;
    int32_t len = d1.core.Length(), a = int32_t(seed * 7919 % uint32_t(len + 1));
    int32_t b = std::min(len, a + int32_t(seed % 9));
    // Ends on run and paragraph starts, where the inherited style and format change.
    const auto &runs = d1.core.styleRuns.Runs();
    if (seed % 4 == 1 && runs.size() > 1) a = runs[seed % runs.size()].start, b = std::min(len, a + 2);
    if (seed % 4 == 2) b = std::max(a, d1.core.ParagraphEnd(a)), a = std::max(0, b - 3);
    if (seed % 4 == 3) a = d1.core.ParagraphStart(a), b = d1.core.ParagraphEnd(a);  // whole paragraphs
    const std::string typed = seed % 3 == 0 ? "new\rline" : seed % 3 == 1 ? "xy" : "para\r";
    auto bytes = reinterpret_cast<const uint8_t *>(typed.data());
    int32_t n = int32_t(typed.size());
    ASSERT_EQ(ReplaceRange(d1.core, d1.env, nullptr, a, b, bytes, n, {}, -1), kEditDone);
    ASSERT_EQ(DeleteText(d2.core, d2.env, nullptr, a, b), kEditDone);
    ASSERT_EQ(InsertText(d2.core, d2.env, nullptr, a, bytes, n, {}, -1), kEditDone);
    ASSERT_EQ(Shown(d1), Shown(d2)) << "seed " << seed << " [" << a << "," << b << ")";
    ASSERT_TRUE(CheckInvariants(d1.core));

    // Too long for the limit: the selection and everything else stay.
    std::string before = Shown(d1);
    int32_t now = d1.core.Length();
    EXPECT_EQ(ReplaceRange(d1.core, d1.env, nullptr, 0, 1, bytes, n, {}, now + n - 2), kEditTooLong);
    EXPECT_EQ(Shown(d1), before);
  }
}

}  // namespace
}  // namespace tstools::text::testing
