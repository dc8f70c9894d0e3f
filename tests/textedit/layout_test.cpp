// Line breaking against hand-computed line tables (fake font: 6 px a byte, lines 13 high with
// ascent 9), the steps after layout, and incremental relayout against fresh layout.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "tests/textedit/layout_fixture.h"

namespace tstools::text::testing {
namespace {

constexpr Fixed F(double v) { return static_cast<Fixed>(v * 65536); }

struct Line {
  int32_t start;
  int width, height, ascent;
  uint32_t flags;
  int top = -1;  // -1: the sum of the heights before
};

struct Case {
  const char *name;
  std::string text;
  int destWidth;  // the limit of a line without indents is destWidth - 1
  std::function<void(LayoutDoc &)> setup;
  std::vector<Line> lines;
};

ParaFormat Tabs(std::initializer_list<TabStop> stops) {
  ParaFormat f;
  for (const TabStop &t : stops) f.tabs[f.tabCount++] = t;
  return f;
}
TabStop Stop(uint16_t kind, double at, uint16_t align = 0) { return {kind, 0, align, 0, F(at)}; }
auto Para(std::function<void(ParaFormat &)> edit) {
  return [edit](LayoutDoc &d) {
    ParaFormat f;
    edit(f);
    d.SetPara(f);
  };
}
void Nothing(LayoutDoc &) {}

const Case kCases[] = {
    {"wraps at the last blank", "aaaa bbbb cccc", 61, Nothing,
     {{0, 54, 13, 9, kLineWrapped}, {10, 24, 13, 9, 0}}},
    {"blanks hang past the edge", "aaaa" + std::string(20, ' ') + "bb", 61, Nothing,
     {{0, 24, 13, 9, kLineWrapped}, {24, 12, 13, 9, 0}}},
    {"an overlong word breaks at the last byte that fits", std::string(25, 'x'), 61, Nothing,
     {{0, 60, 13, 9, kLineWrapped}, {10, 60, 13, 9, kLineWrapped}, {20, 30, 13, 9, 0}}},
    {"a final return adds an empty line", "ab\r", 61, Nothing,
     {{0, 12, 13, 9, kLineEndsParagraph}, {3, 0xFFFF, 13, 9, 0}}},
    {"an empty text has one line", "", 61, Nothing, {{0, 0, 13, 9, 0}}},
    {"default tab stops every 36", "a\tb", 201, Nothing, {{0, 42, 13, 9, kLineHasTab}}},
    {"left stop", "a\tb", 201, [](LayoutDoc &d) { d.SetPara(Tabs({Stop(0, 20)})); },
     {{0, 26, 13, 9, kLineHasTab}}},
    // The right stop aligns "bb" only: the text after the next tab goes to the default stop.
    {"right stop measures to the next tab", "a\tbb\tc", 201,
     [](LayoutDoc &d) { d.SetPara(Tabs({Stop(1, 50)})); },
     {{0, 78, 13, 9, kLineHasTab | kLineHasOtherTab}}},
    {"centre stop", "a\tbb", 201, [](LayoutDoc &d) { d.SetPara(Tabs({Stop(2, 50)})); },
     {{0, 56, 13, 9, kLineHasTab | kLineHasOtherTab}}},
    {"character stop aligns on its character", "a\tbb.c", 201,
     [](LayoutDoc &d) { d.SetPara(Tabs({Stop(3, 50, '.')})); },
     {{0, 62, 13, 9, kLineHasTab | kLineHasOtherTab}}},
    {"character stop without its character aligns the end", "a\tbb\rz", 201,
     [](LayoutDoc &d) { d.SetPara(Tabs({Stop(3, 50, '.')})); },
     {{0, 50, 13, 9, kLineHasTab | kLineHasOtherTab | kLineEndsParagraph}, {5, 6, 13, 9, 0}}},
    {"a stop past the right edge is not used", "a\tb", 201,
     [](LayoutDoc &d) { d.SetPara(Tabs({Stop(0, 300)})); }, {{0, 42, 13, 9, kLineHasTab}}},
    {"the left indent is the first line's first stop", "a\tb", 201,
     Para([](ParaFormat &f) { f.leftIndent = F(20); f.firstIndent = F(-20); }),
     {{0, 26, 13, 9, kLineHasTab}}},
    {"a stop out of reach ends the line before the tab", "aaaaaaaa\tb", 61, Nothing,
     {{0, 48, 13, 9, kLineWrapped}, {8, 42, 13, 9, kLineHasTab}}},
    {"a leading tab out of reach goes to the right edge", "\tb", 31, Nothing,
     {{0, 30, 13, 9, kLineHasTab | kLineWrapped}, {1, 6, 13, 9, 0}}},
    {"indents narrow the lines", "aaaa bbbb cccc", 81,
     Para([](ParaFormat &f) { f.leftIndent = f.rightIndent = F(10); f.firstIndent = F(12); }),
     {{0, 24, 13, 9, kLineWrapped}, {5, 54, 13, 9, 0}}},
    {"no wrap keeps one line", "aaaa bbbb cccc  ", 61,
     [](LayoutDoc &d) { d.core.layoutFlags = kNoWordWrap; }, {{0, 96, 13, 9, 0}}},
    {"no wrap drops trailing blanks only before a return", "ab  \r", 61,
     [](LayoutDoc &d) { d.core.layoutFlags = kNoWordWrap; },
     {{0, 12, 13, 9, kLineEndsParagraph}, {5, 0xFFFF, 13, 9, 0}}},
    {"no wrap breaks past the maximum width less 2", "aaaa bbbb cccc", 61,
     [](LayoutDoc &d) { d.core.layoutFlags = kNoWordWrap; d.core.maxLineWidth = 62; },
     {{0, 60, 13, 9, kLineWrapped}, {10, 24, 13, 9, 0}}},
    {"2.0 lines doubles the height", "a", 61, Para([](ParaFormat &f) { f.lineSpacing = F(2); }),
     {{0, 6, 26, 9, 0}}},
    {"spacing in points sets the height", "a", 61,
     Para([](ParaFormat &f) { f.lineSpacing = F(20); f.units = 1; }), {{0, 6, 20, 9, 0}}},
    // Space before: 1 line = 16 px, not on the text's first line; after: 0.5 inch = 36 px.
    {"space before and after", "a\rb", 61,
     Para([](ParaFormat &f) { f.spaceBefore = F(1); f.spaceAfter = F(0.5); f.units = 0x200; }),
     {{0, 6, 49, 9, kLineEndsParagraph}, {2, 6, 29, 25, 0}}},
    {"2.54 cm before is 72 px", "a\rb", 61,
     Para([](ParaFormat &f) { f.spaceBefore = 166461; f.units = 0x30; }),
     {{0, 6, 13, 9, kLineEndsParagraph}, {2, 6, 85, 81, 0}}},
    {"heights saturate, tops never go back", "a\rb", 61,
     Para([](ParaFormat &f) { f.lineSpacing = F(30000); f.units = 1; f.spaceAfter = F(30000); f.spaceBefore = F(-32000); f.units = 0x111; }),
     {{0, 6, 32767, 9, kLineEndsParagraph}, {2, 6, 0, 9 - 32000, 0}}},
    {"the line cap stops layout", "a\rb\rc\rd\re", 61, [](LayoutDoc &d) { d.core.lineCap = 3; },
     {{0, 6, 13, 9, 4}, {2, 6, 13, 9, 4}, {4, 6, 13, 9, 4}}},
    {"italic adds half the widest byte", "aaaaaaaaaa", 61,
     [](LayoutDoc &d) { d.core.styleRuns.MutableRuns()[0].index = d.core.styles.Add(TextStyle{1, 12, kItalic, {}}); },
     {{0, 54, 13, 9, kLineWrapped}, {9, 6, 13, 9, 0}}},
    {"grid snaps lines crossing a grid line", "a\rb\rc", 61,
     [](LayoutDoc &d) { d.core.gridPitch = 20; },
     {{0, 6, 13, 9, 4, 0}, {2, 6, 13, 9, 4, 20}, {4, 6, 13, 9, 0, 40}}},
    // A line taller than the pitch stays; the next grid line is the first below the next top,
    // so no line moves up over it.
    {"grid never moves a line up", "a\rb\rc", 61,
     [](LayoutDoc &d) {
       d.core.gridPitch = 20;
       ParaFormat f;
       f.lineSpacing = F(2);
       d.SetPara(f, 2);
       d.SetPara(ParaFormat(), 4);
     },
     {{0, 6, 13, 9, 4, 0}, {2, 6, 26, 9, 4, 13}, {4, 6, 13, 9, 0, 40}}},
    {"widths stay below the empty-line marker", "a" + std::string(12000, ' '), 61,
     [](LayoutDoc &d) { d.core.layoutFlags = kNoWordWrap; d.core.maxLineWidth = 65535; },
     {{0, 0xFFFE, 13, 9, 0}}},
};

TEST(LayoutLines, HandComputedTables) {
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.name);
    LayoutDoc d(c.destWidth);
    d.SetText(c.text);
    c.setup(d);
    d.Layout();
    const auto &got = d.core.lines.lines;
    ASSERT_EQ(got.size(), c.lines.size());
    int32_t top = 0;
    for (size_t i = 0; i < got.size(); ++i) {
      SCOPED_TRACE(i);
      const Line &e = c.lines[i];
      EXPECT_EQ(got[i].start, e.start);
      EXPECT_EQ(got[i].width, e.width);
      EXPECT_EQ(got[i].height, e.height);
      EXPECT_EQ(got[i].ascent, e.ascent);
      EXPECT_EQ(got[i].flags, e.flags);
      EXPECT_EQ(got[i].top, e.top >= 0 ? e.top : top);
      top = got[i].top + got[i].height;
    }
  }
}

TEST(LayoutLines, QueriesUseIndentsJustificationAndTheEmptyLine) {
  LayoutDoc d(81);
  d.SetText("aaaa bbbb cccc\r");
  ParaFormat f;
  f.leftIndent = f.rightIndent = F(10);
  f.firstIndent = F(12);
  d.SetPara(f);
  d.Layout();
  ASSERT_EQ(d.core.lines.Count(), 3);
  EXPECT_EQ(WidestLine(d.core, 2, 0), 1 + 54 + 20);  // the empty last line counts 0 wide
  EXPECT_EQ(WidestLine(d.core, 99, 99), 1 + 0 + 32);  // clamped to the last line
  EXPECT_EQ(LineHeightSum(d.core, 0, 5, false), 39);  // either order, clamped
  EXPECT_EQ(LineLeft(d.core, 0), 22);
  EXPECT_EQ(LineLeft(d.core, 1), 10);
  f.just = -1;
  d.SetPara(f);
  EXPECT_EQ(LineLeft(d.core, 1), 16);  // limit 60, width 54
  f.just = 1;
  d.SetPara(f);
  EXPECT_EQ(LineLeft(d.core, 1), 13);
  f.just = 2;
  d.SetPara(f);
  EXPECT_EQ(WidestLine(d.core, 2, 0), 82);
}

TEST(LayoutAfter, VerticalJustificationNoWrapFitAndDestinationBottom) {
  LayoutDoc d(61);
  d.SetText("ab");
  d.core.vertJust = 2;
  d.Layout();
  EXPECT_EQ(d.core.lines.origin, 87);
  EXPECT_TRUE(d.core.flags & kFlagOriginChanged);
  EXPECT_EQ(d.core.dest.bottom, 100);
  d.core.vertJust = 1;
  d.Layout();
  EXPECT_EQ(d.core.lines.origin, (4 / 2 + 87) / 2);
  d.Layout();
  EXPECT_FALSE(d.core.flags & kFlagOriginChanged);

  // No wrap: the destination fits the widest line, by the text's justification.
  d.core.vertJust = 0;
  d.core.layoutFlags = kNoWordWrap;
  d.core.dest.left = 10;
  d.core.dest.right = 110;
  ParaFormat f;
  f.just = -1;
  d.SetPara(f);
  d.Layout();
  EXPECT_EQ(d.core.dest.right, 110);
  EXPECT_EQ(d.core.dest.left, 110 - 13);
  f.just = 2;  // full justification does not widen the fit at every layout
  d.SetPara(f);
  d.Layout();
  d.Layout();
  EXPECT_EQ(d.core.dest.right - d.core.dest.left, 13);
}

struct FakeHost : LayoutHost {
  bool BottomLimit(int16_t *bottom, uint8_t *autoView) override {
    ++calls;
    editsRefused = core->inBottomLimit;
    proposed = *bottom;
    if (lowerTo) *bottom = lowerTo;
    *autoView = grant;
    return answer;
  }
  TextCore *core = nullptr;
  bool editsRefused = false;
  int calls = 0, proposed = 0;
  int16_t lowerTo = 0;
  uint8_t grant = 1;
  bool answer = true;
};

TEST(LayoutAfter, AutoGrowAsksTheBottomLimitCallback) {
  for (int mode = 0; mode < 3; ++mode) {
    SCOPED_TRACE(mode);
    LayoutDoc d(61);
    d.SetText("a\rb\rc");
    d.core.view.bottom = 20;
    d.core.layoutFlags = kBottomLimit;
    FakeHost host;
    host.core = &d.core;
    host.grant = mode != 1;
    host.answer = mode != 2;
    host.lowerTo = mode == 1 ? 30 : 0;
    d.Layout(&host);
    EXPECT_EQ(host.calls, 1);
    EXPECT_EQ(host.proposed, 39);
    EXPECT_TRUE(host.editsRefused);
    EXPECT_FALSE(d.core.inBottomLimit);
    if (mode == 1) {  // refused: the limit is kept and the text past it is to go
      EXPECT_EQ(d.core.view.bottom, 20);
      EXPECT_EQ(d.core.bottomLimit, 30);
      EXPECT_EQ(d.core.pendingError, 1);
      EXPECT_FALSE(d.core.flags & kFlagAutoView);
    } else {
      EXPECT_EQ(d.core.view.bottom, 39);
      EXPECT_EQ(d.core.pendingError, 0);
      EXPECT_EQ(!!(d.core.flags & kFlagAutoView), mode == 0);
    }
  }
}

}  // namespace
}  // namespace tstools::text::testing

#include "tests/textedit/layout_model.h"

namespace tstools::text::testing {
namespace {

TEST(Relayout, EqualsFreshLayoutOverRandomEdits) {
  for (uint32_t seed = 1; seed <= 80; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    LayoutModel model([&](uint32_t n) { return n ? rng() % n : 0; });
    for (int step = 0; step < 120 && !::testing::Test::HasFailure(); ++step) {
      std::string why = model.Step();
      ASSERT_EQ(why, "") << "step " << step;
    }
  }
}

TEST(Relayout, AKeystrokeInALongTextBuildsAFewLines) {
  LayoutDoc d(401);
  std::string text;
  for (int i = 0; i < 20000; ++i) text += i % 13 == 12 ? "\r" : "word ";
  d.SetText(text);
  d.Layout();
  int before = d.font.measured;
  int32_t mid = static_cast<int32_t>(text.size() / 2);
  text.insert(static_cast<size_t>(mid), "x");
  d.SetText(text);
  size_t count = d.core.lines.lines.size();
  auto tops = d.core.lines.lines.back().top;
  Relayout(d.core, d.env, nullptr, mid, mid, 1);
  EXPECT_EQ(d.core.lines.lines.size(), count);
  EXPECT_EQ(d.core.lines.lines.back().top, tops);
  EXPECT_LE(d.core.lastChanged - d.core.firstChanged, 2);
  EXPECT_EQ(d.font.measured, before);
}

}  // namespace
}  // namespace tstools::text::testing
