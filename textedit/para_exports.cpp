// The paragraph format exports: the selected paragraphs' formats, spacing, tabs, ParaStyle
// values and ParaScrap handles. A caller's ParaStyle is copied in and out whole, so its
// alignment and its tab count never matter.
#include <windows.h>

#include <cstring>

#include "frame/export_guard.h"
#include "textedit/te_exports.h"

using namespace tstools;
using namespace tstools::text;

namespace {

static_assert(sizeof(ParaStyle) == sizeof(ParaFormat) && sizeof(QTETab) == sizeof(TabStop));

ParaFormat In(const ParaStyle *s) {
  ParaFormat f;
  std::memcpy(static_cast<void *>(&f), s, sizeof f);
  return f;
}
void Out(ParaStyle *s, const ParaFormat &f) { std::memcpy(s, &f, sizeof f); }
TabStop InTab(const QTETab *t) {
  TabStop s;
  std::memcpy(static_cast<void *>(&s), t, sizeof s);
  return s;
}
SpacingBlock InBlock(const void *p) {
  SpacingBlock b;
  std::memcpy(&b, p, sizeof b);
  return b;
}

struct ScaleCtx {
  QTEScaleProc proc;
  long ref;
};
text::Fixed Scale(void *ctx, text::Fixed v) {
  auto *c = static_cast<ScaleCtx *>(ctx);
  return c->proc(c->ref, v);
}

// The first entry of a ParaScrap handle.
bool FirstEntry(Handle h, ParaFormat *f) {
  const uint8_t *d;
  size_t n;
  return h && HandleSpan(h, &d, &n) && FirstParaEntry(d, n, f);
}

}  // namespace

void WINAPI QTESetParaStyle(short mode, const ParaStyle *style, QTERecord *record) {
  if (!record || !style) return;
  Guarded(Nothing, [&] {
    TextCore &c = record->core;
    TextEnv env = EnvFor(record);
    RecordLayoutHost host(record);
    int32_t result = SetParaRange(c, env, &host, c.selStart, c.selEnd, static_cast<uint16_t>(mode), In(style));
    if (result != kEditRefused) FinishEdit(record, result);
  });
}

void WINAPI QTESetJust(short just, QTERecord *record) {
  ParaStyle s{};
  s.just = just;
  QTESetParaStyle(1, &s, record);
}

short WINAPI QTEGetJust(QTERecord *record) {
  if (!record) return -2;
  uint16_t mode = kParaJust;
  ParaFormat f;
  return ContinuousPara(record->core, &mode, &f) ? f.just : -2;
}

short WINAPI QTEGetSpacing(QTERecord *record) {
  if (!record) return -2;
  uint16_t mode = kParaLineSpacing;
  ParaFormat f;
  if (!ContinuousPara(record->core, &mode, &f)) return -2;
  if ((f.units & 0xF) != kUnitLines) return -1;
  return f.lineSpacing == kFixedOne ? 0 : f.lineSpacing == 2 * kFixedOne ? 1 : -1;
}

Boolean WINAPI QTEContinuousParaStyle(short *mode, ParaStyle *style, QTERecord *record) {
  if (!record || !mode || !style) return 0;
  uint16_t m = static_cast<uint16_t>(*mode);
  ParaFormat f;
  bool all = ContinuousPara(record->core, &m, &f);
  *mode = static_cast<short>(m);
  Out(style, f);
  return all;
}

Boolean WINAPI QTEHasCustomMargin(QTERecord *record) { return record && AnyIndent(record->core); }

::Fixed WINAPI QTEGetSpacingInfo(short which, Boolean convert, short *unit, void *spacingBlock) {
  if (!spacingBlock) return 0;
  uint16_t u = 0;
  text::Fixed v = GetSpacingInfo(InBlock(spacingBlock), which, convert != 0, &u, textState.lineUnit);
  if (unit) *unit = static_cast<short>(u);
  return v;
}

void WINAPI QTESetSpacingInfo(::Fixed value, short which, short unit, void *spacingBlock) {
  if (!spacingBlock) return;
  SpacingBlock b = InBlock(spacingBlock);
  SetSpacingInfo(b, which, value, static_cast<uint16_t>(unit));
  std::memcpy(spacingBlock, &b, sizeof b);
}

short WINAPI QTEAdjustSpaceLeading(void *spacingBlock, short lineHeight) {
  if (!spacingBlock) return lineHeight;
  return AdjustSpaceLeading(InBlock(spacingBlock), lineHeight, textState.lineUnit);
}

::Fixed WINAPI ConvertToPixels(::Fixed value, short unit, ::Fixed resolution) {
  return tstools::text::ConvertToPixels(value, unit, resolution, textState.lineUnit);
}

short WINAPI QTEAddTab(const QTETab *tab, ParaStyle *style) {
  if (!tab || !style) return -1;
  ParaFormat f = In(style);
  int i = AddTab(f, InTab(tab));
  if (i >= 0) Out(style, f);
  return static_cast<short>(i);
}

void WINAPI QTERemoveTab(short index, ParaStyle *style) {
  if (!style) return;
  ParaFormat f = In(style);
  if (RemoveTab(f, index)) Out(style, f);
}

short WINAPI QTEReplaceTab(short index, const QTETab *tab, ParaStyle *style) {
  if (!tab || !style) return -1;
  ParaFormat f = In(style);
  int i = ReplaceTab(f, index, InTab(tab));
  if (i >= 0) Out(style, f);
  return static_cast<short>(i);
}

Boolean WINAPI QTEEqualParaStyle(const ParaStyle *a, const ParaStyle *b) {
  return a && b && EqualParaFormat(In(a), In(b));
}

Boolean WINAPI QTEIsDefaultParaStyle(const ParaStyle *style, short just, short spacing) {
  return style && IsDefaultParaFormat(In(style), just, spacing);
}

void WINAPI QTEZoomParaStyle(QTEScaleProc scaleProc, long scaleRef, ParaStyle *style) {
  if (!scaleProc || !scaleRef || !style) return;
  ScaleCtx ctx{scaleProc, scaleRef};
  ParaFormat f = In(style);
  ZoomParaFormat(f, Scale, &ctx);
  Out(style, f);
}

void WINAPI QTESwapParaStyle(ParaStyle *style) {
  if (!style) return;
  ParaFormat f = In(style);
  SwapParaFormat(f);
  Out(style, f);
}

void WINAPI QTEZoomParaScrap(QTEScaleProc scaleProc, long scaleRef, Handle paraScrap) {
  const uint8_t *d;
  size_t n;
  if (!scaleProc || !scaleRef || !paraScrap || !HandleSpan(paraScrap, &d, &n)) return;
  ScaleCtx ctx{scaleProc, scaleRef};
  ZoomParaScrap(const_cast<uint8_t *>(d), n, Scale, &ctx);
}

Boolean WINAPI QTEParaScrapToParaStyle(Handle paraScrap, ParaStyle *style) {
  ParaFormat f;
  if (!style || !FirstEntry(paraScrap, &f)) return 0;
  Out(style, f);
  return 1;
}

Boolean WINAPI QTEParaScrapFromParaStyle(Handle paraScrap, const ParaStyle *style) {
  if (!paraScrap || !style) return 0;
  return Guarded(Boolean(0), [&]() -> Boolean {
    return SetHandleBytes(paraScrap, WriteParaScrap({{0, In(style)}}));
  });
}

Boolean WINAPI QTEIsDefaultParaScrap(Handle paraScrap, short just, short spacing) {
  ParaFormat f;
  return FirstEntry(paraScrap, &f) && IsDefaultParaFormat(f, just, spacing);
}

Boolean WINAPI QTEIsEqualParaScrap(Handle paraScrap, const ParaStyle *style, short *mode) {
  ParaFormat f;
  if (!style || !mode || !FirstEntry(paraScrap, &f)) return 0;
  uint16_t asked = static_cast<uint16_t>(*mode % 32768);
  uint16_t kept = ParaContinuity(f, In(style), asked);
  *mode = static_cast<short>(kept);
  return kept == asked;
}

void WINAPI QTESwapParaScrap(Handle paraScrap, short direction) {
  const uint8_t *d;
  size_t n;
  if (paraScrap && HandleSpan(paraScrap, &d, &n)) SwapParaScrap(const_cast<uint8_t *>(d), n, direction != 0);
}
