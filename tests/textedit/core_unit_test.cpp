// The styled scrap reader's guards, the paragraph format functions' edges and the style
// rules of the record core.
#include <gtest/gtest.h>

#include <vector>

#include "textedit/para_format.h"
#include "textedit/styled_scrap.h"
#include "textedit/text_edit.h"

namespace {

using namespace tstools::text;

std::vector<uint8_t> Styl(uint16_t count, std::vector<std::pair<int32_t, uint16_t>> elements) {
  std::vector<uint8_t> b = {uint8_t(count), uint8_t(count >> 8)};
  for (auto [start, face] : elements) {
    uint8_t e[20] = {uint8_t(start), uint8_t(start >> 8), uint8_t(start >> 16), uint8_t(start >> 24),
                     14, 0, 11, 0, 3, 0, uint8_t(face), uint8_t(face >> 8), 12, 0};
    b.insert(b.end(), e, e + 20);
  }
  return b;
}

std::vector<int32_t> Starts(const std::vector<StylElement> &v) {
  std::vector<int32_t> out;
  for (auto &e : v) out.push_back(e.start);
  return out;
}

TEST(StyledScrap, StylCountStartsAndExtendedStylesAreChecked) {
  auto b = Styl(500, {{7, 0x0102}, {3, 0}});  // a count past the data reads what is there
  EXPECT_EQ(Starts(ReadStyl(b.data(), b.size(), 10, true)), (std::vector<int32_t>{0, 3})) << "the first covers from 0";
  b = Styl(5, {{5, 0x0102}, {2, 0x0100}, {2, 0x0200}, {1, 0}, {10, 0}});
  EXPECT_EQ(Starts(ReadStyl(b.data(), b.size(), 10, true)), (std::vector<int32_t>{0, 2})) << "repeated, falling, outside";
  auto v = ReadStyl(b.data(), b.size(), 10, false);
  EXPECT_EQ(v[0].style.face, 0x0100) << "no xSTY: the extended styles go";
  EXPECT_EQ(v[0].height, 14);
  uint8_t one = 1;
  EXPECT_TRUE(ReadStyl(&one, 1, 10, true).empty());
  EXPECT_TRUE(ReadStyl(nullptr, 99, 10, true).empty());
  auto bytes = WriteStyl({{0, 16, 12, {3, -5, 0x0141, {1, 2, 3}}}, {4, 1, 2, {}}});
  ClearExtendedStyles(bytes.data(), bytes.size());
  v = ReadStyl(bytes.data(), bytes.size(), -1, true);
  EXPECT_EQ(v[0].style.face, 0x0100);
  EXPECT_EQ(v[0].style.size, 12) << "a size below 1 becomes 12";
}

TEST(StyledScrap, TsstAboveFifteenAppliesNothing) {
  uint8_t v[2] = {0, 0};
  for (int x : {0, 1, 15, 16, 17, 0xFFFF}) {
    v[0] = uint8_t(x), v[1] = uint8_t(x >> 8);
    EXPECT_EQ(TsstMode(v, 2), x >= 1 && x <= 15 ? 15 - x : 0) << x;
  }
  EXPECT_EQ(TsstMode(v, 1), 0);
}

TEST(StyledScrap, ParaScrapWalksByEntryCountsNotTheHeader) {
  ParaFormat a, b;
  b.just = 1;
  AddTab(b, {1, 0, 0, 0, 50 * kFixedOne});
  AddTab(b, {0, 0, 0, 0, 20 * kFixedOne});
  AddTab(b, {2, 0, 0, 0, 90 * kFixedOne});
  auto bytes = WriteParaScrap({{0, a}, {6, b}});
  ASSERT_EQ(bytes.size(), 4u + 34 + 70);
  EXPECT_EQ(bytes[2], 3) << "total tab count";
  bytes[2] = 99;  // the header's total is not trusted
  auto v = ReadParaScrap(bytes.data(), bytes.size(), 10);
  ASSERT_EQ(v.size(), 2u);
  EXPECT_TRUE(EqualParaFormat(v[1].format, b));
  EXPECT_EQ(v[1].format.tabs[0].position, 20 * kFixedOne);
  // An entry whose tabs pass the end, or count 21 or -1, ends the walk.
  auto cut = bytes;
  cut.pop_back();
  EXPECT_EQ(ReadParaScrap(cut.data(), cut.size(), 10).size(), 1u);
  for (int16_t bad : {21, -1}) {
    auto c = bytes;
    c[4 + 34 + 32] = uint8_t(bad), c[4 + 34 + 33] = uint8_t(bad >> 8);
    EXPECT_EQ(ReadParaScrap(c.data(), c.size(), 10).size(), 1u);
  }
}

TEST(ParaFormatValues, TabsStayOrderedUniqueAndBounded) {
  ParaFormat f;
  for (int i = 0; i < 20; ++i) EXPECT_EQ(AddTab(f, {0, 0, 0, 0, (40 - 2 * i) * kFixedOne}), 0);
  EXPECT_EQ(AddTab(f, {0, 0, 0, 0, 100 * kFixedOne}), -1) << "a 21st stop";
  EXPECT_EQ(AddTab(f, {3, '.', ',', 0, 10 * kFixedOne}), 4) << "same position: replaced";
  EXPECT_EQ(ReplaceTab(f, 0, {1, 0, 0, 0, 99 * kFixedOne}), 19) << "moved into order";
  EXPECT_FALSE(RemoveTab(f, 20));
  EXPECT_EQ(ReplaceTab(f, -1, {}), -1);
  f.tabCount = 300;  // a caller's count above 20 reads as 20
  EXPECT_EQ(AddTab(f, {0, 0, 0, 0, 1000 * kFixedOne}), -1);
  ParaFormat g;
  ApplyParaMode(g, f, 0x8080);
  EXPECT_EQ(g.tabCount, 20);
}

TEST(ParaFormatValues, SpacingUnitsAndConversion) {
  SpacingBlock b = SpacingOf(ParaFormat{});
  SetSpacingInfo(b, 1, kFixedOne, kUnitLines);
  SetSpacingInfo(b, 2, kFixedOne, kUnitInches);
  uint16_t unit = 9;
  EXPECT_EQ(GetSpacingInfo(b, 1, true, &unit, 16 * kFixedOne), 16 * kFixedOne) << "1 line is 16 pixels";
  EXPECT_EQ(GetSpacingInfo(b, 2, true, &unit, 16 * kFixedOne), 72 * kFixedOne);
  EXPECT_EQ(unit, kUnitInches);
  EXPECT_EQ(RoundFixed(ConvertToPixels(kFixed254, kUnitCentimetres, kResolution72, 0)), 72);
  EXPECT_EQ(ConvertToPixels(0x7FFF0000, kUnitInches, kResolution72, 0), INT32_MAX) << "saturates";
  EXPECT_EQ(ConvertToPixels(-0x7FFF0000, kUnitLines, 0, 16 * kFixedOne), INT32_MIN);
  SetSpacingInfo(b, 0, -2 * kFixedOne, kUnitLines);
  EXPECT_EQ(+b.lineSpacing, 2 * kFixedOne) << "a negative line spacing is stored positive";
  EXPECT_EQ(AdjustSpaceLeading(b, 20000, 0), 32767) << "saturates";
  SetSpacingInfo(b, 0, 3 * kFixedOne / 2, kUnitInches);
  EXPECT_EQ(AdjustSpaceLeading(b, 12, 0), 108) << "1.5 inches is 108 pixels";
  ParaFormat f;
  SetSpacing(f, b);
  EXPECT_FALSE(IsDefaultParaFormat(f, 0, 0));
  EXPECT_TRUE(IsDefaultParaFormat(DefaultParaFormat(1, 1), 1, 1));
  ParaFormat s = f;
  SwapParaFormat(s);
  SwapParaFormat(s);
  EXPECT_TRUE(EqualParaFormat(s, f));
}

TEST(StyleRules, ExclusivityModesAndToggle) {
  EXPECT_EQ(ExclusiveBits(kUnderline), 0x00C0);
  EXPECT_EQ(ExclusiveBits(kWordUnderline | kCondense | kSubscript | kAllCaps), 0x0480 | kExtend | kSuperscript | kAllLower);
  EXPECT_EQ(ExclusiveBits(kTitleCase), 0);
  TextStyle s{1, 12, kBold | kWordUnderline | kSuperscript, {}};
  TextStyle g{2, 5, kUnderline | kSubscript, {1, 1, 1}};
  EXPECT_EQ(ApplyStyleMode(s, g, kModeFace).face, kBold | kUnderline | kSubscript);
  EXPECT_EQ(ApplyStyleMode(s, TextStyle{1, 1, 0, {}}, kModeFace).face, 0);
  EXPECT_EQ(ApplyStyleMode(s, g, kModeAddSize).size, 17);
  EXPECT_EQ(ApplyStyleMode(s, TextStyle{1, 32767, 0, {}}, kModeAddSize).size, 32767) << "saturates";
  EXPECT_EQ(ApplyStyleMode(s, TextStyle{1, -32768, 0, {}}, kModeAddSize).size, 1);
}

struct Fixture {
  tstools::memory::MallocBlockSource source;
  tstools::memory::Zone zone{source};
  TextEnv env;
  TextCore core{zone};
  Fixture(const char *text) {
    InitCore(core, env, TextStyle{});
    InsertText(core, env, nullptr, 0, reinterpret_cast<const uint8_t *>(text), int32_t(strlen(text)), {}, -1);
  }
};

TEST(StyleRules, RangesToggleMergeAndContinue) {
  Fixture f("abcdefgh");
  TextStyle bold{1, 12, kBold, {}}, italic{1, 12, kItalic, {}};
  SetStyleRange(f.core, f.env, nullptr, 0, 4, kModeFace, bold);
  SetStyleRange(f.core, f.env, nullptr, 2, 4, kModeFace, italic);
  SetStyleRange(f.core, f.env, nullptr, 0, 4, kModeFace | kModeToggle, bold);
  EXPECT_EQ(f.core.StyleAt(3).face, kItalic) << "all bold: the toggle removes it";
  SetStyleRange(f.core, f.env, nullptr, 0, 6, kModeFace | kModeToggle, bold);
  EXPECT_EQ(f.core.StyleAt(5).face, kBold) << "partly plain: added everywhere";
  f.core.selStart = 2, f.core.selEnd = 6;
  SetStyleRange(f.core, f.env, nullptr, 4, 6, kModeFace, TextStyle{1, 12, kBold | kAllCaps, {}});
  uint16_t mode = kModeFont | kModeFace;
  TextStyle out;
  EXPECT_TRUE(ContinuousStyle(f.core, &mode, &out));
  EXPECT_EQ(out.face, kBold);
  SetStyleRange(f.core, f.env, nullptr, 4, 6, kModeFont, TextStyle{9, 12, 0, {}});
  mode = kModeFont | kModeSize;
  EXPECT_FALSE(ContinuousStyle(f.core, &mode, &out));
  EXPECT_EQ(mode, kModeSize);
}

TEST(StyleRules, InsertedScrapDataIsReadAndTsstApplied) {
  Fixture f("ab");
  auto styl = Styl(2, {{0, 0x0141}, {1, 0x0200}});
  uint8_t tsst[2] = {13, 0};  // mode 2: the caller's face replaces the pasted ones
  TextStyle caller{1, 12, kUnderline, {}};
  ScrapData data{styl.data(), styl.size(), false, nullptr, 0, nullptr, nullptr, 0};
  ASSERT_EQ(InsertScrapText(f.core, f.env, nullptr, 1, reinterpret_cast<const uint8_t *>("XY"), 2, data, -1), kEditDone);
  EXPECT_EQ(f.core.StyleAt(1).face, 0x0100) << "no xSTY: extended styles dropped";
  EXPECT_EQ(f.core.StyleAt(1).font, 3);
  data.tsst = tsst, data.tsstSize = 2, data.callerStyle = &caller;
  ASSERT_EQ(InsertScrapText(f.core, f.env, nullptr, 0, reinterpret_cast<const uint8_t *>("Z"), 1, data, -1), kEditDone);
  EXPECT_EQ(f.core.StyleAt(0), (TextStyle{3, 12, kUnderline, {}}));
  EXPECT_TRUE(CheckInvariants(f.core));
}

TEST(ErrorStep, BottomLimitRemovesTheLinesPastTheEdge) {
  for (int bottom : {25, 35}) {
    Fixture f("a\rb\rc\r");
    auto &lines = f.core.lines.lines;
    for (size_t i = 0; i < lines.size(); ++i) lines[i].top = int32_t(10 * i), lines[i].height = 10;
    f.core.dest = {0, 0, bottom, 100};
    f.core.layoutFlags = kBottomLimit;
    f.core.pendingError = 1;
    f.core.flags &= ~kFlagCalcAlways;  // keep the lines set above
    EXPECT_EQ(ErrorStep(f.core, f.env, nullptr), 1);
    EXPECT_EQ(f.core.Length(), bottom == 25 ? 4 : 5) << "the empty last line takes its return along";
    EXPECT_EQ(f.core.layoutFlags, 0);
    EXPECT_EQ(f.core.pendingError, 0);
  }
}

}  // namespace
