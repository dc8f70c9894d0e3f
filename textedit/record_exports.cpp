// The text record's exports: start-up, records, text, character styles, callbacks, flags.
#include <windows.h>

#include <cstring>
#include <new>

#include "frame/export_guard.h"
#include "memory/memory_state.h"
#include "textedit/te_exports.h"

using namespace tstools;
using namespace tstools::text;

namespace tstools::text {

bool HandleSpan(Handle h, const uint8_t **data, size_t *size) {
  memory::MasterRecord *r = memory::memoryState.zone.Find(reinterpret_cast<memory::HandleRef>(h));
  if (!r || !r->data) return false;
  *data = reinterpret_cast<const uint8_t *>(r->data);
  *size = memory::LogicalSize(*r);
  return true;
}

bool SetHandleBytes(Handle h, const std::vector<uint8_t> &bytes) {
  auto ref = reinterpret_cast<memory::HandleRef>(h);
  if (!memory::memoryState.zone.Find(ref)) return false;
  if (memory::memoryState.zone.SetHandleSize(ref, static_cast<long>(bytes.size())) != memory::kNoErr)
    return false;
  if (!bytes.empty()) std::memcpy(*ref, bytes.data(), bytes.size());
  return true;
}

void FinishEdit(QTERecord *r, int32_t result) {
  if (result == kEditNoMemory || result == kEditTooLong) r->core.pendingError = result;
  TextEnv env = EnvFor(r);
  RecordLayoutHost host(r);
  int32_t code = ErrorStep(r->core, env, &host);
  // The error step may have cut the text under the selection.
  TextCore &c = r->core;
  if (c.selEnd > c.Length()) c.selEnd = c.Length();
  if (c.selStart > c.selEnd) c.selStart = c.selEnd;
  if (r->errorProc) r->errorProc(code);
}

TextStyle FromPublic(const QTETextStyle &s) {
  return TextStyle{s.tsFont, s.tsSize, s.tsFace, RGB{s.tsColor.red, s.tsColor.green, s.tsColor.blue}};
}

QTETextStyle ToPublic(const TextStyle &s) {
  QTETextStyle o;
  o.tsFont = s.font;
  o.tsFace = s.face;
  o.tsSize = s.size;
  o.tsColor.red = s.color.red, o.tsColor.green = s.color.green, o.tsColor.blue = s.color.blue;
  return o;
}

}  // namespace tstools::text

namespace {

bool LoadRaw(HINSTANCE instance, const char *type, int id, const uint8_t **data, size_t *size) {
  HRSRC res = FindResourceA(instance, MAKEINTRESOURCEA(id), type);
  HGLOBAL g = res ? LoadResource(instance, res) : nullptr;
  const void *p = g ? LockResource(g) : nullptr;
  if (!p) return false;
  *data = static_cast<const uint8_t *>(p);
  *size = SizeofResource(instance, res);
  return true;
}

LongRect ToLong(const Rect &r) { return LongRect{r.top, r.left, r.bottom, r.right}; }
ShortRect ToShort(const Rect &r) { return ShortRect{r.left, r.top, r.right, r.bottom}; }

// The scraps a whole-text replacement reads, owned for the call.
struct Scraps {
  std::vector<StylElement> styles;
  std::vector<ParaEntry> paras;
  void Read(Handle styl, Handle para, int32_t length) {
    const uint8_t *d;
    size_t n;
    if (styl && HandleSpan(styl, &d, &n)) styles = ReadStyl(d, n, length, true);
    if (para && HandleSpan(para, &d, &n)) paras = ReadParaScrap(d, n, length);
  }
  InsertSource Source() const {
    return InsertSource{styles.empty() ? nullptr : &styles, paras.empty() ? nullptr : &paras};
  }
};

void Replace(QTERecord *r, const char *text, long length, Scraps &scraps, const ParaFormat &para) {
  int32_t n = length < 0 || !text ? 0 : length > kMaxTextLength ? kMaxTextLength : int32_t(length);
  TextEnv env = EnvFor(r);
  RecordLayoutHost host(r);
  int32_t result = ReplaceAllText(r->core, env, &host, reinterpret_cast<const uint8_t *>(text), n,
                                  scraps.Source(), para, kMaxTextLength);
  if (result == kEditRefused) return;
  if (result == kEditDone) r->core.selStart = r->core.selEnd = 0, r->core.flags &= ~kFlagSelection;
  FinishEdit(r, result);
}

unsigned long SetFlag(QTERecord *r, Boolean on, uint32_t bit) {
  if (!r) return 0;
  r->core.flags = (on & 1) ? r->core.flags | bit : r->core.flags & ~bit;
  return r->core.flags;
}

}  // namespace

short WINAPI ML_QTEInit(GrafPort **measuringPort, void *scrapContext, HINSTANCE resourceInstance,
                        Boolean flagByte, short patternListID) {
  textState.measuringPort = measuringPort;
  textState.scrapContext = scrapContext;
  textState.resourceInstance = resourceInstance;
  return QTEInit(flagByte, patternListID);
}

short WINAPI QTEInit(Boolean flagByte, short patternListID) {
  return Guarded(short(0), [&]() -> short {
    textState.measuringFlags = flagByte;
    textState.patternListId = patternListID;
    const uint8_t *d[3] = {};
    size_t n[3] = {};
    for (int id = 1; id <= 3; ++id)
      if (!LoadRaw(textState.resourceInstance, "CONV", id, &d[id - 1], &n[id - 1])) return 0;
    CaseTables tables;
    if (!tables.Load(d[0], n[0], d[1], n[1], d[2], n[2])) return 0;
    const uint8_t *q = nullptr;
    size_t qn = 0;
    if (LoadRaw(textState.resourceInstance, "SMQT", 1, &q, &qn)) tables.LoadQuotes(q, qn);
    if (!textState.scratchRegion) textState.scratchRegion = CreateRectRgn(0, 0, 0, 0);
    textState.cases = std::move(tables);
    textState.cache.Clear();
    textState.started = true;
    return 1;
  });
}

void WINAPI QTEShutdown(void) {
  if (textState.scratchRegion) DeleteObject(textState.scratchRegion);
  textState.scratchRegion = nullptr;
  textState.cache.Clear();
  textState.cases.Reset();
  textState.started = false;
}

QTERecord *WINAPI QTENew(const Rect *destRect, const Rect *viewRect, const QTETextStyle *style) {
  return Guarded(static_cast<QTERecord *>(nullptr), [&]() -> QTERecord * {
    if (!destRect || !viewRect) return nullptr;
    auto *r = new (std::nothrow) QTERecord(memory::memoryState.zone);
    if (!r) return nullptr;
    TextCore &c = r->core;
    c.dest = ToLong(*destRect);
    c.view = c.bounds = c.refView = ToShort(*viewRect);
    c.refDest = c.dest;
    c.lineCap = kMaxLines;
    r->measuringPort = textState.measuringPort;
    r->measuringFlags = textState.measuringFlags;
    bool ok = true;
    for (HRGN &g : r->regions) ok = ok && (g = CreateRectRgn(0, 0, 0, 0)) != nullptr;
    for (HRGN &g : r->highlight) ok = ok && (g = CreateRectRgn(0, 0, 0, 0)) != nullptr;
    TextEnv env = EnvFor(r);
    if (!ok || !InitCore(c, env, style ? FromPublic(*style) : TextStyle{})) {
      QTEDispose(r);
      return nullptr;
    }
    return r;
  });
}

void WINAPI QTEDispose(QTERecord *record) {
  if (!record) return;
  for (HRGN g : record->regions)
    if (g) DeleteObject(g);
  for (HRGN g : record->highlight)
    if (g) DeleteObject(g);
  delete record;
}

void WINAPI QTESetRecord(const Rect *destRect, const Rect *viewRect, short maxLineWidth, const char *text,
                         long length, const QTETextStyle *style, short justification, short spacing,
                         Boolean, long angle, Boolean autoView, long gridPitch, long gridOrigin,
                         Handle stylHandle, Handle paraScrapHandle, short verticalJust, short layoutFlags,
                         QTEScaleProc scaleProc, long scaleRef, QTERecord *record) {
  if (!record || !destRect || !viewRect) return;
  Guarded(Nothing, [&] {
    TextCore &c = record->core;
    if (c.inBottomLimit) return;
    Rect d = *destRect, v = *viewRect;
    if (((angle % 1800) + 1800) % 1800 == 900) {
      // Rotated a quarter turn: width and height change places.
      short dw = short(d.right - d.left), dh = short(d.bottom - d.top);
      d.right = short(d.left + dh), d.bottom = short(d.top + dw);
      short vw = short(v.right - v.left), vh = short(v.bottom - v.top);
      v.right = short(v.left + vh), v.bottom = short(v.top + vw);
    }
    c.dest = LongRect{d.top, d.left, d.top, d.right};
    c.refDest = ToLong(d);
    c.view = c.bounds = c.refView = ToShort(v);
    c.layoutFlags = static_cast<uint16_t>(layoutFlags);
    c.vertJust = static_cast<uint16_t>(verticalJust);
    c.maxLineWidth = static_cast<uint16_t>(maxLineWidth);
    c.gridPitch = gridPitch;
    c.gridOrigin = gridOrigin;
    c.angle = angle;
    c.flags = (autoView & 1) ? c.flags | kFlagAutoView : c.flags & ~kFlagAutoView;
    c.flags &= ~(kFlagCaretAtLineEnd | kFlagCustomMargin | kFlagCaretShown | kFlagDragCaret);
    if (scaleProc && scaleRef) {
      // A scale result of 0 or less would make every default stop or line unit collapse.
      text::Fixed tab = scaleProc(scaleRef, 36 * kFixedOne), unit = scaleProc(scaleRef, 16 * kFixedOne);
      if (tab > 0) textState.tabInterval = tab;
      if (unit > 0) textState.lineUnit = unit;
    }
    int32_t n = length < 0 || !text ? 0 : length > kMaxTextLength ? kMaxTextLength : int32_t(length);
    Scraps scraps;
    scraps.Read(stylHandle, paraScrapHandle, n);
    if (scraps.styles.empty() && style) scraps.styles.push_back({0, 0, 0, FromPublic(*style)});
    Replace(record, text, n, scraps, DefaultParaFormat(justification, spacing == 1 ? 1 : 0));
  });
}

void WINAPI QTEReplace(const char *text, long length, Handle stylHandle, Handle paraScrapHandle,
                       QTERecord *record) {
  if (!record) return;
  Guarded(Nothing, [&] {
    int32_t n = length < 0 || !text ? 0 : length > kMaxTextLength ? kMaxTextLength : int32_t(length);
    Scraps scraps;
    scraps.Read(stylHandle, paraScrapHandle, n);
    Replace(record, text, n, scraps, ParaFormat{});
  });
}

Handle WINAPI QTEGetText(QTERecord *record) {
  if (!record) return nullptr;
  record->core.store.ShrinkToFit();
  return reinterpret_cast<Handle>(record->core.store.Handle());
}

Handle WINAPI QTEGetTextHandle(QTERecord *record) {
  return record ? reinterpret_cast<Handle>(record->core.store.Handle()) : nullptr;
}

long WINAPI QTEGetTextLen(QTERecord *record) { return record ? record->core.Length() : 0; }
Boolean WINAPI QTEHasData(QTERecord *record) { return record && record->core.Length() > 0; }

void WINAPI QTESetStyle(short mode, const QTETextStyle *style, QTERecord *record) {
  if (!record || !style) return;
  Guarded(Nothing, [&] {
    TextCore &c = record->core;
    if (c.selStart >= c.selEnd) {
      SetNullStyle(c, static_cast<uint16_t>(mode), FromPublic(*style));
      return;
    }
    TextEnv env = EnvFor(record);
    RecordLayoutHost host(record);
    int32_t result = SetStyleRange(c, env, &host, c.selStart, c.selEnd, static_cast<uint16_t>(mode),
                                   FromPublic(*style));
    if (result != kEditRefused) FinishEdit(record, result);
  });
}

void WINAPI QTEGetStyle(long offset, QTETextStyle *style, QTERecord *record) {
  if (!record || !style) return;
  *style = ToPublic(StyleForOffset(record->core, offset));
}

Boolean WINAPI QTEContinuousStyle(short *mode, QTETextStyle *style, QTERecord *record) {
  if (!record || !mode || !style) return 0;
  uint16_t m = static_cast<uint16_t>(*mode);
  TextStyle s;
  bool all = ContinuousStyle(record->core, &m, &s);
  *mode = static_cast<short>(m);
  *style = ToPublic(s);
  return all;
}

void WINAPI QTEClearXStyle(Handle stylHandle) {
  const uint8_t *d;
  size_t n;
  if (stylHandle && HandleSpan(stylHandle, &d, &n)) ClearExtendedStyles(const_cast<uint8_t *>(d), n);
}

void WINAPI QTESetErrorProc(QTEErrorProc proc, QTERecord *record) {
  if (record) record->errorProc = proc;
}
QTEErrorProc WINAPI QTEGetErrorProc(QTERecord *record) { return record ? record->errorProc : nullptr; }
void WINAPI QTESetBotLmtProc(QTEBotLmtProc proc, QTERecord *record) {
  if (record) record->botLmtProc = proc;
}
void WINAPI QTESetScrollProc(QTEScrollProc proc, QTERecord *record) {
  if (record) record->scrollProc = proc;
}
void WINAPI QTESetCntrlProc(QTECntrlProc proc, QTERecord *record) {
  if (record) record->cntrlProc = proc;
}
void WINAPI QTESetUpdateRulerProc(QTEUpdateRulerProc proc, QTERecord *record) {
  if (record) record->rulerProc = proc;
}
void WINAPI QTESetClickProc(QTEClickLoopProc proc, Boolean useDefault, QTERecord *record) {
  if (record) record->clickProc = useDefault ? nullptr : proc;
}
Boolean WINAPI QTEClickProc(void) { return 1; }

unsigned long WINAPI QTEAutoView(Boolean on, QTERecord *record) { return SetFlag(record, on, kFlagAutoView); }
unsigned long WINAPI QTESmartQuotes(Boolean on, QTERecord *record) { return SetFlag(record, on, kFlagSmartQuotes); }
unsigned long WINAPI QTESetEditDraw(Boolean on, QTERecord *record) { return SetFlag(record, on, kFlagDrawing); }
unsigned long WINAPI QTESetStandardColor(Boolean on, QTERecord *record) {
  return SetFlag(record, on, kFlagStandardColor);
}
Boolean WINAPI QTESetCalcAlways(Boolean on, QTERecord *record) {
  if (!record) return 0;
  bool was = record->core.flags & kFlagCalcAlways;
  SetFlag(record, on, kFlagCalcAlways);
  return was;
}
Boolean WINAPI QTEGetEditDraw(QTERecord *record) { return record && (record->core.flags & kFlagDrawing); }
Boolean WINAPI QTEGetStandardColor(QTERecord *record) {
  return record && (record->core.flags & kFlagStandardColor);
}
Boolean WINAPI QTEIsSelected(QTERecord *record) { return record && (record->core.flags & kFlagSelection); }
