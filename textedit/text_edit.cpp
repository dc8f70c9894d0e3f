// Editing primitives over the text store, the style runs and the paragraph runs.
//
// Every change builds the new run arrays beside the old ones, with all capacity reserved
// (tables, arrays, store) before anything is touched; the commit that follows cannot fail:
// interning into reserved tables, moving bytes, swapping arrays and recounting table uses.
#include "textedit/text_edit.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "textedit/layout.h"

namespace tstools::text {

namespace {

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; }

int32_t InternStyle(StyleTable &t, const TextStyle &s, const TextEnv &env) {
  int32_t i = t.Find(s);
  if (i >= 0) {
    t.Retain(i);
    return i;
  }
  i = t.Add(s);
  t[static_cast<size_t>(i)].extra = MeasureHeights(s, env);
  return i;
}

int32_t InternPara(ParaTable &t, const ParaFormat &f) { return t.Add(f); }

// Table uses equal the runs that point at them; what the build interned and did not keep
// falls back to 0 and is reused.
template <typename Table>
void Recount(Table &t, const std::vector<Run> &runs) {
  for (size_t i = 0; i < t.Size(); ++i) t[i].count = 0;
  for (const Run &r : runs) ++t[static_cast<size_t>(r.index)].count;
}

// Restores the invariants over a run list built for a text of `length` bytes: the first at 0,
// starts inside the text, a later run at the same start replaces the earlier, equal
// neighbours merge. isParaStart (paragraph runs) drops a start that is not a paragraph start.
template <typename ParaStartFn>
void Normalize(std::vector<Run> &v, int32_t length, ParaStartFn isParaStart) {
  size_t k = 0;
  for (size_t i = 0; i < v.size(); ++i) {
    Run r = v[i];
    if (k == 0) {
      r.start = 0;
      v[k++] = r;
      continue;
    }
    if (r.start >= length || (r.start > 0 && !isParaStart(r.start))) continue;
    if (r.start <= v[k - 1].start) {
      v[k - 1].index = r.index;
      if (k >= 2 && v[k - 2].index == v[k - 1].index) --k;
      continue;
    }
    if (r.index == v[k - 1].index) continue;
    v[k++] = r;
  }
  v.resize(k);
}

// The paragraph after an edit keeps its own format even when the run that gave it moved into
// a paragraph that absorbs it: a run is added at its start (unless one is there already).
// `oldNext` is the old start of the first paragraph after the edit, `shift` its move.
void KeepNextParagraph(std::vector<Run> &v, const RunArray &old, int32_t oldNext,
                       int32_t oldLength, int32_t shift) {
  if (oldNext <= 0 || oldNext >= oldLength) return;
  Run r{oldNext + shift, old[old.Find(oldNext)].index};
  auto it = std::lower_bound(v.begin(), v.end(), r.start,
                             [](const Run &x, int32_t s) { return x.start < s; });
  if (it != v.end() && it->start == r.start) return;
  v.insert(it, r);
}

int32_t NextParagraph(const TextCore &core, int32_t p) {
  int32_t e = core.ParagraphEnd(p);
  return e < core.Length() || (e > 0 && core.Bytes()[e - 1] == '\r') ? e : -1;
}

constexpr auto kAnyStart = [](int32_t) { return true; };

void CommitRuns(RunArray &runs, std::vector<Run> &built) noexcept { runs.MutableRuns().swap(built); }

bool Aliases(const TextCore &core, const uint8_t *bytes, int32_t n) {
  const uint8_t *base = core.Bytes();
  if (!base || !bytes) return false;
  auto b = reinterpret_cast<uintptr_t>(base), p = reinterpret_cast<uintptr_t>(bytes);
  return p < b + static_cast<uintptr_t>(core.store.Capacity()) &&
         p + static_cast<uintptr_t>(n) > b;
}

bool CalcAlways(const TextCore &core) { return core.flags & kFlagCalcAlways; }

// Whether every run of [a, b) has all of face's bits (a toggle then removes them).
bool FaceContinuous(const TextCore &core, int32_t a, int32_t b, uint16_t face) {
  const auto &runs = core.styleRuns.Runs();
  uint16_t common = 0xFFFF;
  for (size_t i = core.styleRuns.Find(a); i < runs.size() && runs[i].start < b; ++i)
    common &= core.styles.Get(runs[i].index).face;
  return face != 0 && (common & face) == face;
}

}  // namespace

uint16_t ExclusiveBits(uint16_t f) {
  uint16_t clear = 0;
  if (f & kUnderline)
    clear |= 0x00C0;
  else if (f & kWordUnderline)
    clear |= 0x0480;
  else if (f & kDoubleUnderline)
    clear |= 0x0440;
  if (f & kCondense)
    clear |= kExtend;
  else if (f & kExtend)
    clear |= kCondense;
  if (f & kSuperscript)
    clear |= kSubscript;
  else if (f & kSubscript)
    clear |= kSuperscript;
  if ((f & kTitleCase) != kTitleCase) {
    if (f & kAllCaps)
      clear |= kAllLower;
    else if (f & kAllLower)
      clear |= kAllCaps;
  }
  return clear;
}

TextStyle ApplyStyleMode(TextStyle s, const TextStyle &given, uint16_t mode) {
  if (mode & kModeFont) s.font = given.font;
  if (mode & kModeSize) s.size = given.size;
  if (mode & kModeAddSize) {
    // Saturates: a size stays in 1..32767 however often it is grown or shrunk.
    int32_t size = int32_t(s.size) + given.size;
    s.size = static_cast<int16_t>(Clamp(size, 1, 32767));
  }
  if (mode & kModeColor) s.color = given.color;
  if (mode & (kModeFace | kModeToggle)) {
    if (given.face == 0) {
      if (mode & kModeFace) s.face = 0;
    } else {
      s.face = static_cast<uint16_t>(s.face & ~ExclusiveBits(given.face));
      if (mode & kModeToggle)
        s.face = static_cast<uint16_t>(s.face & ~given.face);
      else
        s.face = static_cast<uint16_t>(s.face | given.face);
    }
  }
  return s;
}

void ApplyTsst(std::vector<StylElement> &elements, const TextStyle &style, uint16_t mode) {
  for (StylElement &e : elements) {
    TextStyle s = ApplyStyleMode(e.style, style, mode & ~(kModeFace | kModeToggle));
    if (mode & kModeFace) s.face = style.face;
    e.style = s;
  }
}

bool InitCore(TextCore &core, const TextEnv &env, const TextStyle &nullStyle) {
  if (!core.store.Create()) return false;
  try {
    core.styleRuns.MutableRuns().assign(1, Run{0, InternStyle(core.styles, TextStyle{}, env)});
    core.paraRuns.MutableRuns().assign(1, Run{0, InternPara(core.paras, ParaFormat{})});
  } catch (const std::bad_alloc &) {
    return false;
  }
  core.nullStyle = nullStyle;
  core.nullStyleValid = true;
  LayoutAll(core, env, nullptr);
  return true;
}

int32_t InsertText(TextCore &core, const TextEnv &env, LayoutHost *host, int32_t p,
                   const uint8_t *bytes, int32_t n, const InsertSource &source,
                   int32_t maxLength) {
  p = Clamp(p, 0, core.Length());
  return ReplaceRange(core, env, host, p, p, bytes, n, source, maxLength);
}

int32_t ReplaceRange(TextCore &core, const TextEnv &env, LayoutHost *host, int32_t a, int32_t b,
                    const uint8_t *bytes, int32_t n, const InsertSource &source, int32_t maxLength) {
  if (core.inBottomLimit) return kEditRefused;
  const int32_t len = core.Length();
  a = Clamp(a, 0, len);
  b = Clamp(b, a, len);
  if (n <= 0 || !bytes) return a < b ? DeleteText(core, env, host, a, b) : kEditDone;
  const int32_t gap = b - a;
  const int64_t finalLength = int64_t(len) - gap + n;
  if (maxLength >= 0 && finalLength > maxLength) return kEditTooLong;
  if (finalLength > INT32_MAX - 256) return kEditTooLong;
  try {
    std::vector<uint8_t> own;
    if (Aliases(core, bytes, n)) {
      own.assign(bytes, bytes + n);
      bytes = own.data();
    }
    const auto &oldS = core.styleRuns.Runs();
    const auto &oldP = core.paraRuns.Runs();
    // The styles of the inserted runs.
    struct Piece {
      int32_t start;
      int32_t index;  // -1: intern style
      TextStyle style;
    };
    std::vector<Piece> sIns;
    if (source.styles && !source.styles->empty()) {
      for (const StylElement &e : *source.styles)
        if (e.start >= 0 && e.start < n) sIns.push_back({a + e.start, -1, e.style});
      if (sIns.empty() || sIns[0].start != a) sIns.insert(sIns.begin(), {a, -1, (*source.styles)[0].style});
    } else if (gap == 0 && core.nullStyleValid) {
      sIns.push_back({a, -1, core.nullStyle});
    } else if (gap == 0 || oldS.empty()) {
      sIns.push_back({a, oldS.empty() ? 0 : oldS[core.styleRuns.Find(a > 0 ? a - 1 : 0)].index, {}});
    } else {
      // As deleting and then typing: a whole run removed from the gap's start goes on;
      // otherwise the character before the gap (or after it, at the text start) gives the style.
      size_t first = core.styleRuns.Find(a);
      bool wholeRun = oldS[first].start == a && core.styleRuns.End(first, len) <= b;
      int32_t from = wholeRun ? a : a > 0 ? a - 1 : b;
      sIns.push_back({a, oldS[core.styleRuns.Find(Clamp(from, 0, len - 1))].index, {}});
    }
    struct ParaPiece {
      int32_t start;
      int32_t index;
      const ParaFormat *format;
    };
    std::vector<ParaPiece> pIns;
    // The paragraph the text goes into once the gap is gone: a gap from a paragraph's start
    // leaves the text at a in the paragraph that followed the gap.
    const bool gapFromParaStart = gap > 0 && (a == 0 || core.Bytes()[a - 1] == '\r');
    const int32_t paraHere =
        core.paraRuns.IndexAt(!gapFromParaStart ? a : b < len ? b : a > 0 ? a - 1 : a);
    if (source.paras && !source.paras->empty()) {
      for (const ParaEntry &e : *source.paras)
        if (e.start >= 0 && e.start < n) pIns.push_back({a + e.start, -1, &e.format});
    } else {
      pIns.push_back({a, paraHere, nullptr});
    }
    std::vector<Run> sOut, pOut;
    sOut.reserve(oldS.size() + sIns.size() + 1);
    pOut.reserve(oldP.size() + pIns.size() + 2);
    const int32_t nextPara = NextParagraph(core, b);
    core.styles.Reserve(sIns.size());
    core.paras.Reserve(pIns.size());
    if (!core.store.Reserve(static_cast<int32_t>(std::max<int64_t>(len, finalLength)))) return kEditNoMemory;

    // Commit: nothing below allocates.
    const int32_t shift = n - gap;
    const int32_t sTail = len > b ? oldS[core.styleRuns.Find(b)].index : -1;
    for (const Run &r : oldS)
      if (r.start < a) sOut.push_back(r);
    for (const Piece &x : sIns)
      sOut.push_back({x.start, x.index >= 0 ? x.index : InternStyle(core.styles, x.style, env)});
    if (sTail >= 0) sOut.push_back({a + n, sTail});
    for (const Run &r : oldS)
      if (r.start >= b && !(r.start == 0 && b == 0 && len == 0)) sOut.push_back({r.start + shift, r.index});
    for (const Run &r : oldP)
      if (r.start < a) pOut.push_back(r);
    for (const ParaPiece &x : pIns)
      pOut.push_back({x.start, x.index >= 0 ? x.index : InternPara(core.paras, *x.format)});
    if (len > b) pOut.push_back({a + n, paraHere});
    for (const Run &r : oldP)
      if (r.start > b) pOut.push_back({r.start + shift, r.index});
    KeepNextParagraph(pOut, core.paraRuns, nextPara, len, shift);

    uint8_t *t = core.store.MutableBytes();
    std::memmove(t + a + n, t + b, static_cast<size_t>(len - b));
    std::memcpy(t + a, bytes, static_cast<size_t>(n));
    core.store.SetLength(static_cast<int32_t>(finalLength));
    Normalize(sOut, static_cast<int32_t>(finalLength), kAnyStart);
    Normalize(pOut, static_cast<int32_t>(finalLength), [t](int32_t s) { return t[s - 1] == '\r'; });
    CommitRuns(core.styleRuns, sOut);
    CommitRuns(core.paraRuns, pOut);
    Recount(core.styles, core.styleRuns.Runs());
    Recount(core.paras, core.paraRuns.Runs());
  } catch (const std::bad_alloc &) {
    return kEditNoMemory;
  }
  core.nullStyleValid = false;
  if (CalcAlways(core)) Relayout(core, env, host, a, b, n - gap);
  return kEditDone;
}

int32_t InsertScrapText(TextCore &core, const TextEnv &env, LayoutHost *host, int32_t p,
                        const uint8_t *bytes, int32_t n, const ScrapData &scraps, int32_t maxLength) {
  std::vector<StylElement> styles;
  std::vector<ParaEntry> paras;
  try {
    if (scraps.styl) {
      styles = ReadStyl(scraps.styl, scraps.stylSize, n, scraps.extended);
      uint16_t mode = TsstMode(scraps.tsst, scraps.tsstSize);
      if (mode && scraps.callerStyle) ApplyTsst(styles, *scraps.callerStyle, mode);
    }
    if (scraps.paras) paras = ReadParaScrap(scraps.paras, scraps.parasSize, n);
  } catch (const std::bad_alloc &) {
    return core.inBottomLimit ? kEditRefused : kEditNoMemory;
  }
  InsertSource source{styles.empty() ? nullptr : &styles, paras.empty() ? nullptr : &paras};
  return InsertText(core, env, host, p, bytes, n, source, maxLength);
}

int32_t DeleteText(TextCore &core, const TextEnv &env, LayoutHost *host, int32_t a, int32_t b) {
  if (core.inBottomLimit) return kEditRefused;
  const int32_t len = core.Length();
  a = Clamp(a, 0, len);
  b = Clamp(b, 0, len);
  if (a >= b) return kEditDone;
  const int32_t gap = b - a;
  const auto &oldS = core.styleRuns.Runs();
  const auto &oldP = core.paraRuns.Runs();
  // A whole run removed from the start of the gap: typing goes on in its style.
  size_t first = core.styleRuns.Find(a);
  bool keepStyle = !oldS.empty() && oldS[first].start == a && core.styleRuns.End(first, len) <= b;
  TextStyle deleted = keepStyle ? core.styles.Get(oldS[first].index) : TextStyle{};
  try {
    std::vector<Run> sOut, pOut;
    sOut.reserve(oldS.size() + 1);
    pOut.reserve(oldP.size() + 2);
    auto build = [&](const RunArray &runs, std::vector<Run> &out) {
      const auto &old = runs.Runs();
      for (size_t i = 0; i < old.size(); ++i) {
        const Run &r = old[i];
        if (r.start < a)
          out.push_back(r);
        else if (r.start < b) {
          if (runs.End(i, len) > b) out.push_back({a, r.index});
        } else
          out.push_back({r.start - gap, r.index});
      }
      if (out.empty()) out.push_back({0, old.empty() ? 0 : old[runs.Find(a)].index});
    };
    build(core.styleRuns, sOut);
    build(core.paraRuns, pOut);
    KeepNextParagraph(pOut, core.paraRuns, NextParagraph(core, b), len, -gap);

    uint8_t *t = core.store.MutableBytes();
    std::memmove(t + a, t + b, static_cast<size_t>(len - b));
    core.store.SetLength(len - gap);
    Normalize(sOut, len - gap, kAnyStart);
    Normalize(pOut, len - gap, [t](int32_t s) { return t[s - 1] == '\r'; });
    CommitRuns(core.styleRuns, sOut);
    CommitRuns(core.paraRuns, pOut);
    Recount(core.styles, core.styleRuns.Runs());
    Recount(core.paras, core.paraRuns.Runs());
  } catch (const std::bad_alloc &) {
    return kEditNoMemory;
  }
  if (core.Length() > 0) core.nullStyleValid = false;
  if (keepStyle) core.nullStyleValid = true, core.nullStyle = deleted;
  if (CalcAlways(core)) Relayout(core, env, host, a, b, -gap);
  return kEditDone;
}

int32_t MoveRange(TextCore &core, const TextEnv &env, LayoutHost *host, int32_t s, int32_t e, int32_t to,
                  const uint8_t *bytes, int32_t n, const InsertSource &source, int32_t maxLength) {
  if (core.inBottomLimit) return kEditRefused;
  const int32_t len = core.Length();
  s = Clamp(s, 0, len);
  e = Clamp(e, s, len);
  const int32_t gap = e - s;
  to = Clamp(to, 0, len - gap);
  if (n < 0 || !bytes) n = 0;
  if (maxLength >= 0 && int64_t(len) - gap + n > maxLength) return kEditTooLong;
  // What the removal changes, kept to be put back should the insertion fail. The removal
  // also shifts text that a caller's bytes may point into.
  std::vector<uint8_t> removed, own;
  std::vector<Run> styleRuns, paraRuns;
  StyleTable styles;
  ParaTable paras;
  try {
    removed.assign(core.Bytes() + s, core.Bytes() + e);
    if (Aliases(core, bytes, n)) {
      own.assign(bytes, bytes + n);
      bytes = own.data();
    }
    styleRuns = core.styleRuns.Runs();
    paraRuns = core.paraRuns.Runs();
    styles = core.styles;
    paras = core.paras;
  } catch (const std::bad_alloc &) {
    return kEditNoMemory;
  }
  const bool nullValid = core.nullStyleValid;
  const TextStyle nullStyle = core.nullStyle;
  const uint32_t calc = core.flags & kFlagCalcAlways;
  core.flags &= ~kFlagCalcAlways;  // the lines are laid out once, after both steps
  int32_t result = DeleteText(core, env, host, s, e);
  if (result == kEditDone) {
    result = ReplaceRange(core, env, host, to, to, bytes, n, source, maxLength);
    if (result != kEditDone) {
      // The store never shrinks, so the removed bytes fit back where they were.
      uint8_t *t = core.store.MutableBytes();
      std::memmove(t + e, t + s, static_cast<size_t>(len - e));
      std::memcpy(t + s, removed.data(), removed.size());
      core.store.SetLength(len);
      core.styleRuns.MutableRuns().swap(styleRuns);
      core.paraRuns.MutableRuns().swap(paraRuns);
      core.styles = std::move(styles);
      core.paras = std::move(paras);
      core.nullStyleValid = nullValid;
      core.nullStyle = nullStyle;
    }
  }
  core.flags |= calc;
  if (result == kEditDone && calc) Relayout(core, env, host, std::min(s, to), std::max(e, to + gap), n - gap);
  return result;
}

int32_t ReplaceAllText(TextCore &core, const TextEnv &env, LayoutHost *host,
                       const uint8_t *bytes, int32_t n, const InsertSource &source,
                       const ParaFormat &defaultPara, int32_t maxLength) {
  if (core.inBottomLimit) return kEditRefused;
  if (n < 0 || !bytes) n = 0;
  if (maxLength >= 0 && n > maxLength) n = maxLength;
  try {
    std::vector<uint8_t> own;
    if (Aliases(core, bytes, n)) {
      own.assign(bytes, bytes + n);
      bytes = own.data();
    }
    std::vector<StylElement> styles;
    if (source.styles && !source.styles->empty())
      styles = *source.styles;
    else
      styles.push_back({0, 0, 0, core.nullStyleValid ? core.nullStyle : TextStyle{}});
    std::vector<ParaEntry> paras;
    if (source.paras && !source.paras->empty())
      paras = *source.paras;
    else
      paras.push_back({0, defaultPara});
    std::vector<Run> sOut, pOut;
    sOut.reserve(styles.size());
    pOut.reserve(paras.size());
    core.styles.Reserve(styles.size());
    core.paras.Reserve(paras.size());
    if (!core.store.Reserve(n)) return kEditNoMemory;

    for (const StylElement &e : styles)
      sOut.push_back({e.start, InternStyle(core.styles, e.style, env)});
    for (const ParaEntry &e : paras) pOut.push_back({e.start, InternPara(core.paras, e.format)});
    uint8_t *t = core.store.MutableBytes();
    if (n) std::memmove(t, bytes, static_cast<size_t>(n));
    core.store.SetLength(n);
    // Starts out of order or past the text are dropped by the normalisation.
    auto sorted = [](std::vector<Run> &v) {
      size_t k = v.empty() ? 0 : 1;
      for (size_t i = 1; i < v.size(); ++i)
        if (v[i].start > v[k - 1].start) v[k++] = v[i];
      v.resize(k);
    };
    sorted(sOut);
    sorted(pOut);
    Normalize(sOut, n, kAnyStart);
    Normalize(pOut, n, [t](int32_t s) { return t[s - 1] == '\r'; });
    CommitRuns(core.styleRuns, sOut);
    CommitRuns(core.paraRuns, pOut);
    Recount(core.styles, core.styleRuns.Runs());
    Recount(core.paras, core.paraRuns.Runs());
  } catch (const std::bad_alloc &) {
    return kEditNoMemory;
  }
  if (n > 0) core.nullStyleValid = false;
  LayoutAll(core, env, host);
  return kEditDone;
}

int32_t SetStyleRange(TextCore &core, const TextEnv &env, LayoutHost *host, int32_t a,
                      int32_t b, uint16_t mode, const TextStyle &style) {
  if (core.inBottomLimit) return kEditRefused;
  const int32_t len = core.Length();
  a = Clamp(a, 0, len);
  b = Clamp(b, 0, len);
  if (a >= b) return kEditDone;
  if ((mode & kModeToggle) && !FaceContinuous(core, a, b, style.face)) mode &= ~kModeToggle;
  const auto &old = core.styleRuns.Runs();
  try {
    size_t firstIn = core.styleRuns.Find(a), lastIn = core.styleRuns.Find(b - 1);
    std::vector<Run> out;
    out.reserve(old.size() + 2);
    core.styles.Reserve(lastIn - firstIn + 1);
    const int32_t tail = b < len ? old[core.styleRuns.Find(b)].index : -1;
    for (size_t i = 0; i < firstIn; ++i) out.push_back(old[i]);
    if (old[firstIn].start < a) out.push_back(old[firstIn]);
    for (size_t i = firstIn; i <= lastIn; ++i) {
      const TextStyle &cur = core.styles.Get(old[i].index);
      TextStyle next = ApplyStyleMode(cur, style, mode);
      int32_t index = next == cur ? old[i].index : InternStyle(core.styles, next, env);
      out.push_back({std::max(old[i].start, a), index});
    }
    if (tail >= 0) out.push_back({b, tail});
    for (size_t i = lastIn + 1; i < old.size(); ++i) out.push_back(old[i]);
    Normalize(out, len, kAnyStart);
    CommitRuns(core.styleRuns, out);
    Recount(core.styles, core.styleRuns.Runs());
  } catch (const std::bad_alloc &) {
    return kEditNoMemory;
  }
  Relayout(core, env, host, a, b, 0);
  return kEditDone;
}

void SetNullStyle(TextCore &core, uint16_t mode, const TextStyle &style) {
  if (!core.nullStyleValid) {
    int32_t p = core.selStart > 0 ? core.selStart - 1 : 0;
    core.nullStyle = core.styleRuns.Count() ? core.StyleAt(p) : TextStyle{};
    core.nullStyleValid = true;
  }
  if ((mode & kModeToggle) &&
      !(style.face != 0 && (core.nullStyle.face & style.face) == style.face))
    mode &= ~kModeToggle;
  core.nullStyle = ApplyStyleMode(core.nullStyle, style, mode);
}

bool ContinuousStyle(const TextCore &core, uint16_t *mode, TextStyle *style) {
  int32_t a = core.selStart, b = core.selEnd;
  if (a >= b) {
    int32_t p = a > 0 ? a - 1 : 0;
    *style = core.nullStyleValid ? core.nullStyle
             : core.styleRuns.Count() ? core.StyleAt(p)
                                      : TextStyle{};
    return true;
  }
  const auto &runs = core.styleRuns.Runs();
  size_t i = core.styleRuns.Find(a);
  TextStyle first = core.styles.Get(runs[i].index);
  bool font = true, size = true, color = true, face = true;
  uint16_t running = first.face;
  for (++i; i < runs.size() && runs[i].start < b; ++i) {
    const TextStyle &s = core.styles.Get(runs[i].index);
    font = font && s.font == first.font;
    size = size && s.size == first.size;
    color = color && s.color == first.color;
    if (first.face == 0) {
      face = face && s.face == 0;
    } else {
      uint16_t f = s.face;
      if ((running ^ f) & kTitleCase) running &= ~kTitleCase, f &= ~kTitleCase;
      running &= f;
      face = face && running != 0;
    }
  }
  first.face = running;
  *style = first;
  uint16_t asked = *mode;
  uint16_t kept = asked;
  if (!font) kept &= ~kModeFont;
  if (!face) kept &= ~kModeFace;
  if (!size) kept &= ~kModeSize;
  if (!color) kept &= ~kModeColor;
  *mode = kept;
  return kept == asked;
}

TextStyle StyleForOffset(const TextCore &core, int32_t offset) {
  if (core.selStart == offset && core.selEnd == offset && core.nullStyleValid)
    return core.nullStyle;
  return core.styleRuns.Count() ? core.StyleAt(Clamp(core.selStart, 0, core.Length()))
                                : TextStyle{};
}

int32_t SetParaRange(TextCore &core, const TextEnv &env, LayoutHost *host, int32_t a,
                     int32_t b, uint16_t mode, const ParaFormat &format) {
  if (core.inBottomLimit) return kEditRefused;
  const int32_t len = core.Length();
  a = Clamp(a, 0, len);
  b = Clamp(std::max(a, b), 0, len);
  int32_t ps = core.ParagraphStart(a), pe = core.ParagraphEnd(b);
  if (ps >= pe && len > 0) return kEditDone;  // the empty paragraph after a final return
  const bool indents = mode & (kParaLeftIndent | kParaRightIndent | kParaFirstIndent);
  auto apply = [&](ParaFormat f) {
    ApplyParaMode(f, format, mode);
    if (indents) {
      // Indents that leave no room for a line go.
      int64_t left = int64_t(core.dest.left) * kFixedOne + f.leftIndent;
      int64_t right = int64_t(core.dest.right) * kFixedOne - f.rightIndent;
      if (left >= right || left + f.firstIndent >= right)
        f.leftIndent = f.rightIndent = f.firstIndent = 0;
    }
    return f;
  };
  const auto &old = core.paraRuns.Runs();
  try {
    size_t firstIn = core.paraRuns.Find(ps), lastIn = core.paraRuns.Find(pe > ps ? pe - 1 : ps);
    std::vector<Run> out;
    out.reserve(old.size() + 2);
    core.paras.Reserve(lastIn - firstIn + 1);
    const int32_t tail = pe < len ? old[core.paraRuns.Find(pe)].index : -1;
    for (size_t i = 0; i < firstIn; ++i) out.push_back(old[i]);
    if (old[firstIn].start < ps) out.push_back(old[firstIn]);
    for (size_t i = firstIn; i <= lastIn; ++i)
      out.push_back({std::max(old[i].start, ps), InternPara(core.paras, apply(core.paras.Get(old[i].index)))});
    if (tail >= 0) out.push_back({pe, tail});
    for (size_t i = lastIn + 1; i < old.size(); ++i) out.push_back(old[i]);
    const uint8_t *t = core.Bytes();
    Normalize(out, len, [t](int32_t s) { return t[s - 1] == '\r'; });
    CommitRuns(core.paraRuns, out);
    Recount(core.paras, core.paraRuns.Runs());
  } catch (const std::bad_alloc &) {
    return kEditNoMemory;
  }
  if (indents) core.layoutFlags &= ~kNoWordWrap;
  Relayout(core, env, host, ps, pe, 0);
  return kEditDone;
}

bool ContinuousPara(const TextCore &core, uint16_t *mode, ParaFormat *format) {
  uint16_t asked = static_cast<uint16_t>(*mode % 32768);
  int32_t ps = core.ParagraphStart(core.selStart), pe = core.ParagraphEnd(core.selEnd);
  const auto &runs = core.paraRuns.Runs();
  size_t i = core.paraRuns.Find(ps);
  *format = runs.empty() ? ParaFormat{} : core.paras.Get(runs[i].index);
  uint16_t kept = asked;
  for (++i; i < runs.size() && runs[i].start < pe; ++i)
    kept = ParaContinuity(*format, core.paras.Get(runs[i].index), kept);
  *mode = kept;
  return kept == asked;
}

bool AnyIndent(const TextCore &core) {
  for (const Run &r : core.paraRuns.Runs())
    if (HasIndent(core.paras.Get(r.index))) return true;
  return false;
}

std::vector<StylElement> CopyStyles(const TextCore &core, const TextEnv &env, int32_t a,
                                    int32_t b) {
  const int32_t len = core.Length();
  a = Clamp(a, 0, len);
  b = Clamp(b, 0, len);
  auto element = [](int32_t start, const TextStyle &s, const StyleHeights &h) {
    int32_t ascent = RoundFixed(h.ascent);
    int32_t height = RoundFixed(h.descentLeading) + ascent;
    return StylElement{start, static_cast<int16_t>(Clamp(height, -32768, 32767)),
                       static_cast<int16_t>(Clamp(ascent, -32768, 32767)), s};
  };
  std::vector<StylElement> out;
  if (a >= b) {
    if (core.nullStyleValid)
      out.push_back(element(0, core.nullStyle, MeasureHeights(core.nullStyle, env)));
    return out;
  }
  const auto &runs = core.styleRuns.Runs();
  for (size_t i = core.styleRuns.Find(a); i < runs.size() && runs[i].start < b; ++i) {
    const auto &e = core.styles[static_cast<size_t>(runs[i].index)];
    out.push_back(element(std::max(runs[i].start, a) - a, e.value, e.extra));
  }
  return out;
}

std::vector<ParaEntry> CopyParas(const TextCore &core, int32_t a, int32_t b) {
  const int32_t len = core.Length();
  a = Clamp(a, 0, len);
  b = Clamp(b, 0, len);
  std::vector<ParaEntry> out;
  const auto &runs = core.paraRuns.Runs();
  if (runs.empty()) return {{0, ParaFormat{}}};
  for (size_t i = core.paraRuns.Find(a); i < runs.size() && (runs[i].start < b || out.empty()); ++i)
    out.push_back({std::max(runs[i].start, a) - a, core.paras.Get(runs[i].index)});
  return out;
}

int32_t ErrorStep(TextCore &core, const TextEnv &env, LayoutHost *host) {
  int32_t code = core.pendingError;
  core.pendingError = 0;
  if (code == 1 && core.lines.Count() > 0) {
    // The first line that does not end above the destination's bottom edge (or the bottom
    // limit the callback left, when that is higher).
    int32_t edge = core.dest.bottom;
    if (core.bottomLimit != 0 && core.bottomLimit < edge) edge = core.bottomLimit;
    int32_t y = edge - core.dest.top - core.lines.origin;
    const auto &lines = core.lines.lines;
    size_t i = 0;
    while (i < lines.size() && int64_t(lines[i].top) + lines[i].height <= y) ++i;
    if (i < lines.size() && lines[i].start < core.Length()) {
      int32_t from = lines[i].start;
      if (lines[i].width == kEmptyLineWidth && from > 0) --from;
      core.layoutFlags &= ~kBottomLimit;
      DeleteText(core, env, host, from, core.Length());
    } else if (i < lines.size() && lines[i].width == kEmptyLineWidth && lines[i].start > 0) {
      core.layoutFlags &= ~kBottomLimit;
      DeleteText(core, env, host, lines[i].start - 1, core.Length());
    }
  }
  return code;
}

bool CheckInvariants(const TextCore &core) {
  const int32_t len = core.Length();
  const uint8_t *t = core.Bytes();
  auto runsOk = [&](const RunArray &r, size_t tableSize, bool para) {
    const auto &v = r.Runs();
    if (v.empty() || v[0].start != 0) return false;
    for (size_t i = 0; i < v.size(); ++i) {
      if (v[i].index < 0 || size_t(v[i].index) >= tableSize) return false;
      if (i == 0) continue;
      if (v[i].start <= v[i - 1].start || v[i].start >= len) return false;
      if (v[i].index == v[i - 1].index) return false;
      if (para && t[v[i].start - 1] != '\r') return false;
    }
    return true;
  };
  if (!runsOk(core.styleRuns, core.styles.Size(), false)) return false;
  if (!runsOk(core.paraRuns, core.paras.Size(), true)) return false;
  std::vector<uint32_t> s(core.styles.Size()), p(core.paras.Size());
  for (const Run &r : core.styleRuns.Runs()) ++s[size_t(r.index)];
  for (const Run &r : core.paraRuns.Runs()) ++p[size_t(r.index)];
  for (size_t i = 0; i < s.size(); ++i)
    if (core.styles[i].count != s[i]) return false;
  for (size_t i = 0; i < p.size(); ++i)
    if (core.paras[i].count != p[i]) return false;
  return core.store.Capacity() >= len;
}

}  // namespace tstools::text
