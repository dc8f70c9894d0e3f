// Line breaking against hand-computed line tables (the fake font at size 12: 6 px a byte,
// lines 13 high, ascent 9), the steps after layout, and relayout against fresh layout.
#include <gtest/gtest.h>

#include <random>

#include "tests/textedit/layout_model.h"

namespace tstools::text::testing {
namespace {

constexpr Fixed F(double v) { return static_cast<Fixed>(v * 65536); }
constexpr int W = kLineWrapped, T = kLineHasTab, O = kLineHasOtherTab, R = kLineEndsParagraph;

struct Case {
  const char *name;
  std::string text;
  int destWidth;  // a line without indents may be destWidth - 1 wide
  std::function<void(LayoutDoc &, ParaFormat &)> setup;
  std::vector<std::vector<int>> lines;  // start, width, flags[, height, ascent[, top]]
};

void None(LayoutDoc &, ParaFormat &) {}
auto Stop(uint16_t kind, double at) {
  return [=](LayoutDoc &, ParaFormat &f) { f.tabCount = 1, f.tabs[0] = {kind, 0, '.', 0, F(at)}; };
}
void NoWrap(LayoutDoc &d, ParaFormat &) { d.core.layoutFlags = kNoWordWrap; }

const Case kCases[] = {
    {"wraps at the last blank", "aaaa bbbb cccc", 61, None, {{0, 54, W}, {10, 24, 0}}},
    {"blanks hang", "aaaa" + std::string(20, ' ') + "bb", 61, None, {{0, 24, W}, {24, 12, 0}}},
    {"an overlong word", std::string(25, 'x'), 61, None, {{0, 60, W}, {10, 60, W}, {20, 30, 0}}},
    {"a final return adds an empty line", "ab\r", 61, None, {{0, 12, R}, {3, 0xFFFF, 0}}},
    {"an empty text has one line", "", 61, None, {{0, 0, 0}}},
    {"left stop", "a\tb", 201, Stop(0, 20), {{0, 26, T}}},
    // "bb" goes to the right stop; "c", after the next tab, to the default stop at 72.
    {"right stop measures to the next tab", "a\tbb\tc", 201, Stop(1, 50), {{0, 78, T | O}}},
    {"centre stop", "a\tbb", 201, Stop(2, 50), {{0, 56, T | O}}},
    {"character stop", "a\tbb.c", 201, Stop(3, 50), {{0, 62, T | O}}},
    {"a stop past the right edge is not used", "a\tb", 201, Stop(0, 300), {{0, 42, T}}},
    {"the left indent is a first line's first stop", "a\tb", 201,
     [](LayoutDoc &, ParaFormat &f) { f.leftIndent = F(20), f.firstIndent = F(-20); }, {{0, 26, T}}},
    {"a stop out of reach ends the line", "aaaaaaaa\tb", 61, None, {{0, 48, W}, {8, 42, T}}},
    {"a leading tab out of reach goes to the edge", "\tb", 31, None, {{0, 30, T | W}, {1, 6, 0}}},
    {"indents", "aaaa bbbb cccc", 81,
     [](LayoutDoc &, ParaFormat &f) { f.leftIndent = f.rightIndent = F(10), f.firstIndent = F(12); },
     {{0, 24, W}, {5, 54, 0}}},
    {"no wrap breaks past the maximum width less 2", "aaaa bbbb cccc", 61,
     [](LayoutDoc &d, ParaFormat &f) { NoWrap(d, f), d.core.maxLineWidth = 62; }, {{0, 60, W}, {10, 24, 0}}},
    // No wrap counts the trailing blanks.
    {"widths stay below the empty-line marker", "a" + std::string(12000, ' '), 61,
     [](LayoutDoc &d, ParaFormat &f) { NoWrap(d, f), d.core.maxLineWidth = 65535; }, {{0, 0xFFFE, 0}}},
    // Before: 1 line is 16 px, not on the text's first line; after: 0.5 inch is 36 px.
    {"space before and after", "a\rb", 61,
     [](LayoutDoc &, ParaFormat &f) { f.spaceBefore = F(1), f.spaceAfter = F(0.5), f.units = 0x200; },
     {{0, 6, R, 49, 9}, {2, 6, 0, 29, 25}}},
    {"2.54 cm is 72 px, 20 points 20", "a\rb", 61,
     [](LayoutDoc &, ParaFormat &f) { f.spaceBefore = 166461, f.lineSpacing = F(20), f.units = 0x31; },
     {{0, 6, R, 20, 9}, {2, 6, 0, 92, 81}}},
    {"heights saturate and never go negative", "a\rb", 61,
     [](LayoutDoc &, ParaFormat &f) { f.lineSpacing = f.spaceAfter = F(30000), f.spaceBefore = F(-32000), f.units = 0x111; },
     {{0, 6, R, 32767, 9}, {2, 6, 0, 0, 9 - 32000}}},
    {"the line cap", "a\rb\rc\rd", 61, [](LayoutDoc &d, ParaFormat &) { d.core.lineCap = 3; },
     {{0, 6, R}, {2, 6, R}, {4, 6, R}}},
    {"italic adds half the widest byte", "aaaaaaaaaa", 61,
     [](LayoutDoc &d, ParaFormat &) { d.core.styleRuns.MutableRuns()[0].index = d.core.styles.Add({1, 12, kItalic, {}}); },
     {{0, 54, W}, {9, 6, 0}}},
    // A line taller than the pitch (2.0 lines) stays; the next, crossing 40, moves down to it.
    {"grid never moves a line up", "a\rb\rc", 61,
     [](LayoutDoc &d, ParaFormat &f) { f.lineSpacing = F(2), d.core.gridPitch = 20, d.SetPara(f, 2), d.SetPara({}, 4); },
     {{0, 6, R, 13, 9, 0}, {2, 6, R, 26, 9, 13}, {4, 6, 0, 13, 9, 40}}},
};

TEST(LayoutLines, HandComputedTables) {
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.name);
    LayoutDoc d(c.destWidth);
    ParaFormat f;
    c.setup(d, f);
    if (d.core.paraRuns.Count() == 1) d.SetPara(f);
    d.SetText(c.text);
    LayoutAll(d.core, d.env, nullptr);
    ASSERT_EQ(d.core.lines.lines.size(), c.lines.size());
    for (size_t i = 0, top = 0; i < c.lines.size(); top += d.core.lines.lines[i++].height) {
      const LineRecord &l = d.core.lines.lines[i];
      std::vector<int> want = c.lines[i], got = {l.start, l.width, static_cast<int>(l.flags), l.height, l.ascent, l.top};
      if (want.size() == 3) want.insert(want.end(), {13, 9});
      if (want.size() == 5) want.push_back(static_cast<int>(top));
      EXPECT_EQ(got, want) << "line " << i;
    }
  }
}

LayoutDoc &Laid(LayoutDoc &d, const std::string &text, ParaFormat f = {}, LayoutHost *host = nullptr) {
  d.SetText(text), d.SetPara(f), LayoutAll(d.core, d.env, host);
  return d;
}

TEST(LayoutLines, QueriesUseIndentsJustificationAndTheEmptyLine) {
  ParaFormat f;
  f.leftIndent = f.rightIndent = F(10), f.firstIndent = F(12);
  LayoutDoc d(81);
  Laid(d, "aaaa bbbb cccc\r", f);  // widths 24, 54 and the empty line
  EXPECT_EQ(WidestLine(d.core, 2, 0), 1 + 54 + 20);
  EXPECT_EQ(WidestLine(d.core, 99, 99), 1 + 0 + 32);  // clamped; the empty line is 0 wide
  EXPECT_EQ(LineHeightSum(d.core, 0, 5, false), 39);  // either order, clamped
  EXPECT_EQ(LineLeft(d.core, 0), 22);
  for (int16_t just : {0, -1, 1, 2}) {  // limit 60, width 54
    f.just = just, d.SetPara(f);
    EXPECT_EQ(LineLeft(d.core, 1), just == -1 ? 16 : just == 1 ? 13 : 10);
  }
  EXPECT_EQ(WidestLine(d.core, 2, 0), 82);  // fully justified: the destination
}

TEST(LayoutAfter, VerticalJustificationAndNoWrapFit) {
  LayoutDoc d(61);
  for (uint16_t just : {2, 1, 1}) {  // the origin is unchanged the second time
    d.core.vertJust = just;
    EXPECT_EQ(Laid(d, "ab").core.lines.origin, just == 2 ? 87 : (4 / 2 + 87) / 2);
    EXPECT_EQ(d.core.dest.bottom, 13 + d.core.lines.origin);
  }
  EXPECT_FALSE(d.core.flags & kFlagOriginChanged);
  d.core.vertJust = 0, d.core.layoutFlags = kNoWordWrap, d.core.dest.left = 10;
  ParaFormat f;
  for (int16_t just : {-1, 2, 2}) {  // fully justified text does not widen at every layout
    f.just = just;
    EXPECT_EQ(Laid(d, "ab", f).core.dest.right - d.core.dest.left, 13);
  }
  EXPECT_EQ(d.core.dest.left, 61 - 13);
}

struct FakeHost : LayoutHost {  // mode 0 grants, 1 refuses at 30, 2 does not answer
  bool BottomLimit(int16_t *bottom, uint8_t *autoView) override {
    proposed = *bottom, editsRefused = core->inBottomLimit, *autoView = mode == 0;
    return *bottom = mode == 1 ? 30 : *bottom, mode != 2;
  }
  TextCore *core;
  int mode, proposed = 0;
  bool editsRefused = false;
};

TEST(LayoutAfter, AutoGrowAsksTheBottomLimitCallback) {
  for (int mode = 0; mode < 3; ++mode) {
    LayoutDoc d(61);
    d.core.view.bottom = 20, d.core.layoutFlags = kBottomLimit;
    FakeHost host;
    host.core = &d.core, host.mode = mode;
    Laid(d, "a\rb\rc", {}, &host);
    EXPECT_TRUE(host.proposed == 39 && host.editsRefused && !d.core.inBottomLimit);
    EXPECT_EQ(std::vector<int>({d.core.view.bottom, d.core.bottomLimit, d.core.pendingError,
                                !!(d.core.flags & kFlagAutoView)}),
              mode == 1 ? std::vector<int>({20, 30, 1, 0}) : std::vector<int>({39, 0, 0, mode == 0}));
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
  std::string text;
  for (int i = 0; i < 20000; ++i) text += i % 13 == 12 ? "\r" : "word ";
  LayoutDoc d(401);
  std::vector<LineRecord> before = Laid(d, text).core.lines.lines;
  int32_t mid = static_cast<int32_t>(text.size() / 2);
  d.SetText(text.insert(static_cast<size_t>(mid), "x"));
  Relayout(d.core, d.env, nullptr, mid, mid, 1);
  ASSERT_EQ(d.core.lines.lines.size(), before.size());
  EXPECT_TRUE(d.core.lines.lines.back().top == before.back().top &&
              d.core.lines.lines.back().start == before.back().start + 1);
  EXPECT_LE(d.core.lastChanged - d.core.firstChanged, 2);
}

}  // namespace
}  // namespace tstools::text::testing
