// The record core against a plain model: a string, a style per byte and a paragraph format
// per byte, under random inserts (plain, with "styl" and ParaScrap data), deletes,
// whole-text replacements, style and paragraph changes in every mode. After every step the
// run invariants hold, each offset shows the model's style and format, and the lines equal a
// fresh layout of a copy made through the scrap copies. Allocation failures change nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "textedit/layout.h"
#include "textedit/text_edit.h"

// Allocation failure injected into the arrays: the n-th operator new from now throws.
namespace {
int allocationsLeft = -1;
}
void *operator new(size_t n) {
  if (allocationsLeft == 0) throw std::bad_alloc();
  if (allocationsLeft > 0) --allocationsLeft;
  if (void *p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void *p) noexcept { std::free(p); }
void operator delete(void *p, size_t) noexcept { std::free(p); }

namespace {

using namespace tstools::text;
namespace memory = tstools::memory;

// Fails every allocation and growth while `failing` is set.
struct FailingSource : memory::MallocBlockSource {
  bool failing = false;
  void *Allocate(size_t n, bool z) override { return failing ? nullptr : MallocBlockSource::Allocate(n, z); }
  void *Resize(void *b, size_t o, size_t n, bool m) override {
    return failing && n > o ? nullptr : MallocBlockSource::Resize(b, o, n, m);
  }
};

std::string Snapshot(const TextCore &c) {
  std::string s(reinterpret_cast<const char *>(c.Bytes()), size_t(c.Length()));
  for (const Run &r : c.styleRuns.Runs()) s += "|s" + std::to_string(r.start) + ":" + std::to_string(r.index);
  for (const Run &r : c.paraRuns.Runs()) s += "|p" + std::to_string(r.start) + ":" + std::to_string(r.index);
  for (size_t i = 0; i < c.styles.Size(); ++i) s += "|c" + std::to_string(c.styles[i].count);
  for (size_t i = 0; i < c.paras.Size(); ++i) s += "|q" + std::to_string(c.paras[i].count);
  return s + (c.nullStyleValid ? "|null" : "");
}

struct Model {
  std::string text;
  std::vector<TextStyle> style;
  std::vector<ParaFormat> para;
  TextStyle emptyStyle;
  ParaFormat emptyPara;
  bool nullValid = true;
  TextStyle null;

  // Every byte takes the format at the start of its paragraph.
  void SettleParagraphs() {
    ParaFormat cur;
    for (size_t i = 0; i < text.size(); ++i) {
      if (i == 0 || text[i - 1] == '\r') cur = para[i];
      para[i] = cur;
    }
  }
};

class CoreModel : public ::testing::Test {
 protected:
  memory::MallocBlockSource source;
  memory::Zone zone{source};
  TextEnv env;
  TextCore core{zone};
  Model m;
  std::mt19937 rng{12345};

  void SetUp() override {
    ASSERT_TRUE(InitCore(core, env, TextStyle{}));
    core.dest = {0, 0, 100, 500};
  }
  int R(int n) { return int(rng() % unsigned(n)); }
  TextStyle RandomStyle() {
    static const uint16_t faces[] = {0, kBold, kItalic, kBold | kItalic, kUnderline, kWordUnderline,
                                     kSuperscript, kSubscript, kAllCaps, kTitleCase, kCondense};
    TextStyle s;
    s.font = int16_t(1 + R(3));
    s.size = int16_t(R(5) == 0 ? 32760 : 9 + 3 * R(3));
    s.face = faces[R(11)];
    s.color.red = uint16_t(R(2) * 0xFFFF);
    return s;
  }
  ParaFormat RandomPara() {
    ParaFormat f;
    f.just = int16_t(R(3));
    f.lineSpacing = R(2) ? kFixedOne : 2 * kFixedOne;
    f.leftIndent = R(3) * 300 * kFixedOne;  // 600 leaves no room in 500: indents reset
    f.spaceBefore = R(3) * kFixedOne;
    f.units = uint16_t(R(2) << 4);
    for (int i = R(4); i > 0; --i) AddTab(f, TabStop{uint16_t(R(4)), 0, '.', 0, R(400) * kFixedOne});
    return f;
  }
  std::string RandomBytes(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += R(6) == 0 ? '\r' : char('a' + R(26));
    return s;
  }
  const TextStyle &StyleBefore(size_t p) const {
    return m.text.empty() ? m.emptyStyle : m.style[p > 0 ? p - 1 : 0];
  }

  // With move, the core moves a random range there in one step; the model deletes, then inserts.
  void Insert(bool move = false) {
    int a = 0, b = 0;
    if (move && !m.text.empty()) a = R(int(m.text.size())), b = a + 1 + R(int(m.text.size()) - a), DeleteInModel(a, b);
    int p = R(int(m.text.size()) + 1), n = 1 + R(12);
    std::string bytes = RandomBytes(n);
    std::vector<StylElement> styl;
    std::vector<ParaEntry> paras;
    std::vector<TextStyle> ns(size_t(n), m.nullValid ? m.null : StyleBefore(size_t(p)));
    const ParaFormat &here = m.text.empty() ? m.emptyPara : m.para[std::min(size_t(p), m.text.size() - 1)];
    std::vector<ParaFormat> np(size_t(n), here);
    // Scraps through the writer and the reader; the model spreads each entry over its bytes.
    auto spread = [n](auto &entries, auto &perByte, auto value) {
      for (size_t k = 0; k < entries.size(); ++k)
        for (int i = entries[k].start; i < (k + 1 < entries.size() ? entries[k + 1].start : n); ++i) perByte[size_t(i)] = value(entries[k]);
    };
    if (R(3) == 0) {
      for (int s = 0; s < n; s += 1 + R(4)) styl.push_back({s, 0, 0, RandomStyle()});
      auto bytesOut = WriteStyl(styl);
      spread(styl = ReadStyl(bytesOut.data(), bytesOut.size(), n, true), ns, [](auto &e) { return e.style; });
    }
    if (R(3) == 0) {  // entries at the inserted paragraphs' starts
      for (int s = 0; s < n; ++s)
        if (s == 0 || bytes[size_t(s - 1)] == '\r') paras.push_back({s, RandomPara()});
      auto bytesOut = WriteParaScrap(paras);
      spread(paras = ReadParaScrap(bytesOut.data(), bytesOut.size(), n), np, [](auto &e) { return e.format; });
    }
    InsertSource src{styl.empty() ? nullptr : &styl, paras.empty() ? nullptr : &paras};
    auto *data = reinterpret_cast<const uint8_t *>(bytes.data());
    ASSERT_EQ(b > a ? MoveRange(core, env, nullptr, a, b, p, data, n, src, -1) : InsertText(core, env, nullptr, p, data, n, src, -1),
              kEditDone);
    m.text.insert(size_t(p), bytes);
    m.style.insert(m.style.begin() + p, ns.begin(), ns.end());
    m.para.insert(m.para.begin() + p, np.begin(), np.end());
    m.nullValid = false;
    m.SettleParagraphs();
  }
  void Delete() {
    if (m.text.empty()) return;
    int a = R(int(m.text.size())), b = a + 1 + R(int(m.text.size()) - a);
    if (R(8) == 0) a = 0, b = int(m.text.size());
    DeleteInModel(a, b);
    ASSERT_EQ(DeleteText(core, env, nullptr, a, b), kEditDone);
  }
  void DeleteInModel(int a, int b) {
    // A whole run deleted from the gap's start: its style is pending.
    int e = a + 1;
    while (e < int(m.text.size()) && m.style[size_t(e)] == m.style[size_t(a)]) ++e;
    bool whole = (a == 0 || !(m.style[size_t(a - 1)] == m.style[size_t(a)])) && e <= b;
    TextStyle deleted = m.style[size_t(a)];
    if (b - a == int(m.text.size())) m.emptyStyle = m.style[0], m.emptyPara = m.para[0];
    m.text.erase(size_t(a), size_t(b - a));
    m.style.erase(m.style.begin() + a, m.style.begin() + b);
    m.para.erase(m.para.begin() + a, m.para.begin() + b);
    if (!m.text.empty()) m.nullValid = false;
    if (whole) m.nullValid = true, m.null = deleted;
    m.SettleParagraphs();
  }
  void SetStyle() {
    static const uint16_t modes[] = {1, 2, 4, 8, 15, 16, 32, 2 | 32, 16 | 8};
    uint16_t mode = modes[R(9)];
    TextStyle given = RandomStyle();
    if (mode & kModeAddSize) given.size = int16_t(R(2) ? 30000 : -30000);
    int a = R(int(m.text.size()) + 1), b = a + R(int(m.text.size()) - a + 1);
    if (a == b) {
      core.selStart = core.selEnd = a;
      if (!m.nullValid) m.null = StyleBefore(size_t(a)), m.nullValid = true;
      uint16_t md = mode;
      if ((md & kModeToggle) && !(given.face && (m.null.face & given.face) == given.face)) md &= ~kModeToggle;
      m.null = ApplyStyleMode(m.null, given, md);
      SetNullStyle(core, mode, given);
      return;
    }
    uint16_t common = 0xFFFF;
    for (int i = a; i < b; ++i) common &= m.style[size_t(i)].face;
    uint16_t md = mode;
    if ((md & kModeToggle) && !(given.face && (common & given.face) == given.face)) md &= ~kModeToggle;
    for (int i = a; i < b; ++i) m.style[size_t(i)] = ApplyStyleMode(m.style[size_t(i)], given, md);
    ASSERT_EQ(SetStyleRange(core, env, nullptr, a, b, mode, given), kEditDone);
  }
  void SetPara() {
    static const uint16_t modes[] = {1, 2, 4, 8, 16, 64, 0x8080, 0x0180, 127, 0x7F};
    uint16_t mode = modes[R(10)];
    ParaFormat given = RandomPara();
    int a = R(int(m.text.size()) + 1), b = a + R(int(m.text.size()) - a + 1);
    ASSERT_EQ(SetParaRange(core, env, nullptr, a, b, mode, given), kEditDone);
    auto apply = [&](ParaFormat f) {
      ApplyParaMode(f, given, mode);
      if ((mode & 0x70) && int64_t(f.leftIndent) + f.rightIndent >= 500 * kFixedOne) f.leftIndent = f.rightIndent = f.firstIndent = 0;
      return f;
    };
    if (m.text.empty()) {
      m.emptyPara = apply(m.emptyPara);
      return;
    }
    size_t ps = size_t(a), pe = m.text.find('\r', size_t(b));
    while (ps > 0 && m.text[ps - 1] != '\r') --ps;
    pe = pe == std::string::npos ? m.text.size() : pe + 1;
    for (size_t i = ps; i < pe; ++i) m.para[i] = apply(m.para[i]);
  }
  void ReplaceAll() {
    int n = R(40);
    std::string bytes = RandomBytes(n);
    ASSERT_EQ(ReplaceAllText(core, env, nullptr, reinterpret_cast<const uint8_t *>(bytes.data()), n, {},
                             ParaFormat{}, -1), kEditDone);
    TextStyle s = m.nullValid ? m.null : TextStyle{};
    m.text = bytes;
    m.style.assign(size_t(n), s);
    m.para.assign(size_t(n), ParaFormat{});
    m.emptyStyle = s;
    m.emptyPara = ParaFormat{};
    if (n) m.nullValid = false;
  }

  void Check(int step) {
    ASSERT_TRUE(CheckInvariants(core)) << step;
    ASSERT_EQ(std::string(reinterpret_cast<const char *>(core.Bytes()), size_t(core.Length())), m.text) << step;
    for (size_t i = 0; i < m.text.size(); ++i) {
      ASSERT_EQ(core.StyleAt(int32_t(i)), m.style[i]) << step << " at " << i;
      ASSERT_TRUE(EqualParaFormat(core.ParaAt(int32_t(i)), m.para[i])) << step << " at " << i;
    }
    ASSERT_EQ(core.nullStyleValid, m.nullValid) << step;
    if (m.nullValid) ASSERT_EQ(core.nullStyle, m.null) << step;
    // A copy through the scraps, laid out from scratch, has the same lines.
    TextCore copy{zone};
    ASSERT_TRUE(InitCore(copy, env, TextStyle{}));
    auto styl = CopyStyles(core, env, 0, core.Length());
    auto paras = CopyParas(core, 0, core.Length());
    InsertSource src{&styl, &paras};
    ASSERT_EQ(ReplaceAllText(copy, env, nullptr, core.Bytes(), core.Length(), src, ParaFormat{}, -1), kEditDone);
    for (int32_t i = 0; i < core.Length(); ++i) ASSERT_EQ(copy.StyleAt(i), core.StyleAt(i));
    copy.dest = core.dest;
    LayoutAll(copy, env, nullptr);
    ASSERT_EQ(copy.lines.Count(), core.lines.Count()) << step;
    auto key = [](const LineRecord &l) { return std::make_tuple(l.start, l.top, l.width, l.height, l.drawHeight, l.ascent, l.visibleCount, l.flags); };
    for (int32_t i = 0; i < copy.lines.Count(); ++i)
      ASSERT_EQ(key(copy.lines.lines[size_t(i)]), key(core.lines.lines[size_t(i)])) << step << " line " << i;
  }
};

TEST_F(CoreModel, RandomEditsKeepRunsStylesAndParagraphsAsTheModel) {
  for (int step = 0; step < 3000 && !HasFatalFailure(); ++step) {
    switch (R(10)) {
      case 0: case 1: case 2: Insert(); break;
      case 3: case 4: Delete(); break;
      case 5: case 6: SetStyle(); break;
      case 7: case 8: SetPara(); break;
      default: R(10) == 0 ? ReplaceAll() : Insert(true); break;
    }
    if (m.text.size() > 600) Delete();
    Check(step);
  }
}

TEST_F(CoreModel, LimitsAndSelfInsertion) {
  std::vector<uint8_t> text(63990, 'a');
  ASSERT_EQ(InsertText(core, env, nullptr, 0, text.data(), 63990, {}, kMaxTextLength), kEditDone);
  EXPECT_EQ(InsertText(core, env, nullptr, 5, text.data(), 11, {}, kMaxTextLength), kEditTooLong);
  EXPECT_EQ(core.Length(), 63990);
  EXPECT_EQ(InsertText(core, env, nullptr, 5, text.data(), 10, {}, kMaxTextLength), kEditDone);
  EXPECT_EQ(core.store.Capacity() % 256, 0);
  // Replacing the text with a part of itself, and inserting a part of itself.
  uint8_t *t = core.store.MutableBytes();
  std::memcpy(t + 100, "Hello", 5);
  ASSERT_EQ(ReplaceAllText(core, env, nullptr, core.Bytes() + 100, 5, {}, ParaFormat{}, kMaxTextLength), kEditDone);
  ASSERT_EQ(InsertText(core, env, nullptr, 5, core.Bytes(), 5, {}, -1), kEditDone);
  EXPECT_EQ(std::string(reinterpret_cast<const char *>(core.Bytes()), 10), "HelloHello");
  core.inBottomLimit = true;
  EXPECT_EQ(DeleteText(core, env, nullptr, 0, 3), kEditRefused);
  EXPECT_EQ(core.Length(), 10);
}

TEST(CoreAllocation, ArrayFailuresAtEveryStepChangeNothing) {
  FailingSource source;
  tstools::memory::Zone zone{source};
  TextEnv env;
  std::vector<StylElement> styl = {{0, 0, 0, {2, 12, kBold, {}}}, {3, 0, 0, {3, 10, 0, {}}}};
  ParaFormat centre = DefaultParaFormat(1);
  std::vector<ParaEntry> paras = {{0, centre}, {4, DefaultParaFormat(2)}};
  const uint8_t *bytes = reinterpret_cast<const uint8_t *>("new\rtext");
  for (int op = 0; op < 9; ++op) {
    bool reachedSuccess = false;
    for (int k = 0; k < 60 && !reachedSuccess; ++k) {
      TextCore core{zone};
      ASSERT_TRUE(InitCore(core, env, TextStyle{}));
      InsertText(core, env, nullptr, 0, reinterpret_cast<const uint8_t *>("ab\rcd\ref"), 8, {}, -1);
      SetStyleRange(core, env, nullptr, 1, 4, kModeFace, TextStyle{1, 12, kItalic, {}});
      std::string before = Snapshot(core);
      int32_t result = kEditDone;
      allocationsLeft = k;
      try {
        switch (op) {
          case 0: result = InsertText(core, env, nullptr, 4, bytes, 8, {&styl, &paras}, -1); break;
          case 1: result = SetStyleRange(core, env, nullptr, 0, 7, kModeFont, TextStyle{5, 12, 0, {}}); break;
          case 2: result = SetParaRange(core, env, nullptr, 0, 8, kParaJust, centre); break;
          case 3: result = ReplaceAllText(core, env, nullptr, bytes, 8, {&styl, &paras}, ParaFormat{}, -1); break;
          case 5: result = ReplaceRange(core, env, nullptr, 1, 5, bytes, 8, {&styl, &paras}, -1); break;
          case 6:  // typing over a selection when the store cannot grow: the selection stays
            allocationsLeft = -1, source.failing = k == 0;
            result = ReplaceRange(core, env, nullptr, 1, 3, std::vector<uint8_t>(300).data(), 300, {}, -1);
            source.failing = false;
            break;
          case 7:  // a drop moving "b\r" after "acd\r", its bytes the record's own
            result = MoveRange(core, env, nullptr, 1, 3, 4, core.Bytes() + 1, 2, {&styl, nullptr}, -1);
            EXPECT_TRUE(result != kEditDone || std::string(reinterpret_cast<const char *>(core.Bytes()), 8) == "acd\rb\ref");
            break;
          default:  // the store cannot grow: an insertion, and a drop moving "b\r" (which must not be lost)
            allocationsLeft = -1, source.failing = k == 0;
            result = op == 4 ? InsertText(core, env, nullptr, 4, std::vector<uint8_t>(300).data(), 300, {&styl, &paras}, -1)
                             : MoveRange(core, env, nullptr, 1, 3, 4, std::vector<uint8_t>(300).data(), 300, {&styl, &paras}, -1);
            source.failing = false;
        }
      } catch (const std::bad_alloc &) {
        result = -100;  // the layout after a completed change ran out
      }
      allocationsLeft = -1;
      if (result == kEditNoMemory)
        EXPECT_EQ(Snapshot(core), before) << op << " failing at " << k;
      else
        reachedSuccess = result == kEditDone;
      EXPECT_TRUE(CheckInvariants(core)) << op << " " << k;
    }
    EXPECT_TRUE(reachedSuccess) << op;
  }
}

}  // namespace
