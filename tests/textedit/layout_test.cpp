// Line breaking against hand-computed line tables (fake font: 6 px a byte, lines 13 high,
// ascent 9), the steps after layout, and incremental relayout against fresh layout.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "tests/textedit/layout_model.h"

namespace tstools::text::testing {
namespace {

constexpr Fixed F(double v) { return static_cast<Fixed>(v * 65536); }
constexpr uint32_t W = kLineWrapped, T = kLineHasTab, O = kLineHasOtherTab, R = kLineEndsParagraph;

struct Line {
  int32_t start;
  int width;
  uint32_t flags;
  int height = 13, ascent = 9, top = -1;  // top -1: the sum of the heights above
};
struct Case {
  const char *name;
  std::string text;
  int destWidth;  // a line without indents may be destWidth - 1 wide
  std::function<void(LayoutDoc &)> setup;
  std::vector<Line> lines;
};

void None(LayoutDoc &) {}
auto Para(void (*edit)(ParaFormat &)) {
  return [edit](LayoutDoc &d) { ParaFormat f; edit(f); d.SetPara(f); };
}
auto Stop(uint16_t kind, double at, uint16_t align = 0) {
  return [=](LayoutDoc &d) { ParaFormat f; f.tabCount = 1; f.tabs[0] = {kind, 0, align, 0, F(at)}; d.SetPara(f); };
}
void NoWrap(LayoutDoc &d) { d.core.layoutFlags = kNoWordWrap; }

const Case kCases[] = {
    {"wraps at the last blank", "aaaa bbbb cccc", 61, None, {{0, 54, W}, {10, 24, 0}}},
    {"blanks hang", "aaaa" + std::string(20, ' ') + "bb", 61, None, {{0, 24, W}, {24, 12, 0}}},
    {"an overlong word breaks where it stops fitting", std::string(25, 'x'), 61, None,
     {{0, 60, W}, {10, 60, W}, {20, 30, 0}}},
    {"a final return adds an empty line", "ab\r", 61, None, {{0, 12, R}, {3, 0xFFFF, 0}}},
    {"an empty text has one line", "", 61, None, {{0, 0, 0}}},
    {"default stops every 36", "a\tb", 201, None, {{0, 42, T}}},
    {"left stop", "a\tb", 201, Stop(0, 20), {{0, 26, T}}},
    // "bb" goes to the right stop; "c" after the next tab to the default stop at 72.
    {"right stop measures to the next tab", "a\tbb\tc", 201, Stop(1, 50), {{0, 78, T | O}}},
    {"centre stop", "a\tbb", 201, Stop(2, 50), {{0, 56, T | O}}},
    {"character stop", "a\tbb.c", 201, Stop(3, 50, '.'), {{0, 62, T | O}}},
    {"character stop without its character", "a\tbb\rz", 201, Stop(3, 50, '.'),
     {{0, 50, T | O | R}, {5, 6, 0}}},
    {"a stop past the right edge is not used", "a\tb", 201, Stop(0, 300), {{0, 42, T}}},
    {"the left indent is a first line's first stop", "a\tb", 201,
     Para([](ParaFormat &f) { f.leftIndent = F(20); f.firstIndent = F(-20); }), {{0, 26, T}}},
    {"a stop out of reach ends the line before the tab", "aaaaaaaa\tb", 61, None,
     {{0, 48, W}, {8, 42, T}}},
    {"a leading tab out of reach goes to the right edge", "\tb", 31, None,
     {{0, 30, T | W}, {1, 6, 0}}},
    {"indents", "aaaa bbbb cccc", 81,
     Para([](ParaFormat &f) { f.leftIndent = f.rightIndent = F(10); f.firstIndent = F(12); }),
     {{0, 24, W}, {5, 54, 0}}},
    {"no wrap counts trailing blanks", "aaaa bbbb cccc  ", 61, NoWrap, {{0, 96, 0}}},
    {"no wrap drops them before a return", "ab  \r", 61, NoWrap, {{0, 12, R}, {5, 0xFFFF, 0}}},
    {"no wrap breaks past the maximum width less 2", "aaaa bbbb cccc", 61,
     [](LayoutDoc &d) { NoWrap(d); d.core.maxLineWidth = 62; }, {{0, 60, W}, {10, 24, 0}}},
    {"widths stay below the empty-line marker", "a" + std::string(12000, ' '), 61,
     [](LayoutDoc &d) { NoWrap(d); d.core.maxLineWidth = 65535; }, {{0, 0xFFFE, 0}}},
    {"2.0 lines", "a", 61, Para([](ParaFormat &f) { f.lineSpacing = F(2); }), {{0, 6, 0, 26}}},
    {"spacing in points", "a", 61, Para([](ParaFormat &f) { f.lineSpacing = F(20); f.units = 1; }),
     {{0, 6, 0, 20}}},
    // Before: 1 line is 16 px, not on the text's first line; after: 0.5 inch is 36 px.
    {"space before and after", "a\rb", 61,
     Para([](ParaFormat &f) { f.spaceBefore = F(1); f.spaceAfter = F(0.5); f.units = 0x200; }),
     {{0, 6, R, 49}, {2, 6, 0, 29, 25}}},
    {"2.54 cm is 72 px", "a\rb", 61,
     Para([](ParaFormat &f) { f.spaceBefore = 166461; f.units = 0x30; }),
     {{0, 6, R}, {2, 6, 0, 85, 81}}},
    {"heights saturate and never go negative", "a\rb", 61, Para([](ParaFormat &f) {
       f.lineSpacing = f.spaceAfter = F(30000); f.spaceBefore = F(-32000); f.units = 0x111; }),
     {{0, 6, R, 32767}, {2, 6, 0, 0, 9 - 32000}}},
    {"the line cap", "a\rb\rc\rd\re", 61, [](LayoutDoc &d) { d.core.lineCap = 3; },
     {{0, 6, R}, {2, 6, R}, {4, 6, R}}},
    {"italic adds half the widest byte", "aaaaaaaaaa", 61,
     [](LayoutDoc &d) { d.core.styleRuns.MutableRuns()[0].index = d.core.styles.Add({1, 12, kItalic, {}}); },
     {{0, 54, W}, {9, 6, 0}}},
    {"grid", "a\rb\rc", 61, [](LayoutDoc &d) { d.core.gridPitch = 20; },
     {{0, 6, R, 13, 9, 0}, {2, 6, R, 13, 9, 20}, {4, 6, 0, 13, 9, 40}}},
    // A line taller than the pitch stays, and the next line is not moved up over it.
    {"grid never moves a line up", "a\rb\rc", 61,
     [](LayoutDoc &d) {
       d.core.gridPitch = 20;
       ParaFormat f;
       f.lineSpacing = F(2);
       d.SetPara(f, 2);
       d.SetPara(ParaFormat(), 4);
     },
     {{0, 6, R, 13, 9, 0}, {2, 6, R, 26, 9, 13}, {4, 6, 0, 13, 9, 40}}},
};

TEST(LayoutLines, HandComputedTables) {
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.name);
    LayoutDoc d(c.destWidth);
    d.SetText(c.text);
    c.setup(d);
    LayoutAll(d.core, d.env, nullptr);
    const auto &got = d.core.lines.lines;
    ASSERT_EQ(got.size(), c.lines.size());
    for (size_t i = 0, top = 0; i < got.size(); top += got[i++].height) {
      const Line &e = c.lines[i];
      EXPECT_EQ(std::vector<int>({got[i].start, got[i].width, static_cast<int>(got[i].flags),
                                  got[i].height, got[i].ascent, got[i].top}),
                std::vector<int>({e.start, e.width, static_cast<int>(e.flags), e.height,
                                  e.ascent, e.top >= 0 ? e.top : static_cast<int>(top)}))
          << "line " << i;
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
  LayoutAll(d.core, d.env, nullptr);
  ASSERT_EQ(d.core.lines.Count(), 3);
  EXPECT_EQ(WidestLine(d.core, 2, 0), 1 + 54 + 20);   // the empty last line counts 0 wide
  EXPECT_EQ(WidestLine(d.core, 99, 99), 1 + 0 + 32);  // clamped to the last line
  EXPECT_EQ(LineHeightSum(d.core, 0, 5, false), 39);  // either order, clamped
  EXPECT_EQ(LineLeft(d.core, 0), 22);
  EXPECT_EQ(LineLeft(d.core, 1), 10);
  const int16_t just[] = {-1, 1};
  const int left[] = {16, 13};  // limit 60, width 54
  for (int i = 0; i < 2; ++i) {
    f.just = just[i];
    d.SetPara(f);
    EXPECT_EQ(LineLeft(d.core, 1), left[i]);
  }
  f.just = 2;
  d.SetPara(f);
  EXPECT_EQ(WidestLine(d.core, 2, 0), 82);
}

TEST(LayoutAfter, VerticalJustificationAndNoWrapFit) {
  LayoutDoc d(61);
  d.SetText("ab");
  d.core.vertJust = 2;
  LayoutAll(d.core, d.env, nullptr);
  EXPECT_EQ(d.core.lines.origin, 87);
  EXPECT_TRUE(d.core.flags & kFlagOriginChanged);
  EXPECT_EQ(d.core.dest.bottom, 100);
  d.core.vertJust = 1;
  LayoutAll(d.core, d.env, nullptr);
  EXPECT_EQ(d.core.lines.origin, (4 / 2 + 87) / 2);
  LayoutAll(d.core, d.env, nullptr);
  EXPECT_FALSE(d.core.flags & kFlagOriginChanged);

  d.core.vertJust = 0;
  d.core.layoutFlags = kNoWordWrap;
  d.core.dest.left = 10;
  d.core.dest.right = 110;
  ParaFormat f;
  f.just = -1;
  d.SetPara(f);
  LayoutAll(d.core, d.env, nullptr);
  EXPECT_EQ(d.core.dest.right, 110);
  EXPECT_EQ(d.core.dest.left, 110 - 13);
  f.just = 2;  // full justification: the fit does not widen at every layout
  d.SetPara(f);
  LayoutAll(d.core, d.env, nullptr);
  LayoutAll(d.core, d.env, nullptr);
  EXPECT_EQ(d.core.dest.right - d.core.dest.left, 13);
}

struct FakeHost : LayoutHost {
  bool BottomLimit(int16_t *bottom, uint8_t *autoView) override {
    ++calls;
    proposed = *bottom;
    editsRefused = core->inBottomLimit;
    if (lowerTo) *bottom = lowerTo;
    *autoView = grant;
    return answer;
  }
  TextCore *core;
  int calls = 0, proposed = 0;
  bool editsRefused = false, answer = true;
  int16_t lowerTo = 0;
  uint8_t grant = 1;
};

TEST(LayoutAfter, AutoGrowAsksTheBottomLimitCallback) {
  for (int mode = 0; mode < 3; ++mode) {  // granted, refused, not answered
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
    LayoutAll(d.core, d.env, &host);
    EXPECT_EQ(host.calls, 1);
    EXPECT_EQ(host.proposed, 39);
    EXPECT_TRUE(host.editsRefused);
    EXPECT_FALSE(d.core.inBottomLimit);
    EXPECT_EQ(d.core.view.bottom, mode == 1 ? 20 : 39);
    EXPECT_EQ(d.core.bottomLimit, mode == 1 ? 30 : 0);
    EXPECT_EQ(d.core.pendingError, mode == 1 ? 1 : 0);
    EXPECT_EQ(!!(d.core.flags & kFlagAutoView), mode == 0);
  }
}

TEST(Relayout, EqualsFreshLayoutOverRandomEdits) {
  for (uint32_t seed = 1; seed <= 80; ++seed) {
    std::mt19937 rng(seed);
    LayoutModel model([&](uint32_t n) { return n ? rng() % n : 0; });
    for (int step = 0; step < 120; ++step) ASSERT_TRUE(model.Step()) << seed << " " << step;
  }
}

TEST(Relayout, AKeystrokeInALongTextRebuildsAFewLines) {
  LayoutDoc d(401);
  std::string text;
  for (int i = 0; i < 20000; ++i) text += i % 13 == 12 ? "\r" : "word ";
  d.SetText(text);
  LayoutAll(d.core, d.env, nullptr);
  std::vector<LineRecord> before = d.core.lines.lines;
  int32_t mid = static_cast<int32_t>(text.size() / 2);
  d.SetText(text.insert(static_cast<size_t>(mid), "x"));
  Relayout(d.core, d.env, nullptr, mid, mid, 1);
  ASSERT_EQ(d.core.lines.lines.size(), before.size());
  EXPECT_EQ(d.core.lines.lines.back().top, before.back().top);
  EXPECT_EQ(d.core.lines.lines.back().start, before.back().start + 1);
  EXPECT_LE(d.core.lastChanged - d.core.firstChanged, 2);
}

}  // namespace
}  // namespace tstools::text::testing
