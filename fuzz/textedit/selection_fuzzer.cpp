// Typing, clicking and arrowing on a laid-out record, decoded from the input: replacements
// with "styl" and ParaScrap data from the input, hits at any point, click units, arrow keys
// and delete keys, highlights and URL finding. Every answer stays inside the text and the
// run invariants hold after each step.
#include <cstdint>
#include <cstdlib>

#include "frame/byte_reader.h"
#include "textedit/layout.h"
#include "textedit/selection_rules.h"
#include "textedit/text_edit.h"
#include "textedit/typing_rules.h"
#include "textedit/view_rules.h"

using namespace tstools::text;

namespace {

struct Font : Measurer {
  int PortKind() override { return 0; }
  bool Measure(const PortStyle &s, FontMetrics *info, Fixed widths[256]) override {
    Fixed w = (s.size & 31) * kFixedOne / 3 + kFixedOne;
    *info = {w * 2, w / 2, 0, w};
    for (int c = 0; c < 256; ++c) widths[c] = w + (c & 7) * 0x2000;
    return true;
  }
};

bool Inside(int32_t v, const TextCore &core) { return v >= 0 && v <= core.Length(); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  tstools::memory::MallocBlockSource source;
  tstools::memory::Zone zone(source);
  Font font;
  MetricCache cache;
  TextEnv env;
  env.measurer = &font, env.cache = &cache;
  TextCore core(zone);
  if (!InitCore(core, env, TextStyle{})) return 0;
  tstools::ByteReader r(data, size);
  core.dest = {0, 0, 400, int32_t(20 + r.U8())};
  core.view = {0, 0, 120, 200};
  Selection sel;
  while (!r.AtEnd() && !r.Failed()) {
    uint8_t op = r.U8();
    int32_t len = core.Length();
    int32_t h = r.S16LE(), v = r.S16LE();
    switch (op % 6) {
      case 0: {  // typing or pasting over the selection
        size_t n = r.U8() % 40;
        const uint8_t *bytes = r.Span(n);
        if (!bytes) return 0;
        std::vector<StylElement> styl;
        if (op & 0x10) {
          size_t stylSize = r.U8();
          if (const uint8_t *s = r.Span(stylSize)) styl = ReadStyl(s, stylSize, int32_t(n), op & 0x20);
        }
        InsertSource src{styl.empty() ? nullptr : &styl, nullptr};
        if (ReplaceRange(core, env, nullptr, sel.start, sel.end, bytes, int32_t(n), src, 3000) == kEditDone)
          sel = {sel.start + int32_t(n), sel.start + int32_t(n), false, false};
        break;
      }
      case 1: {  // a click of 1 to 5
        Hit hit = HitTest(core, env, h, v);
        if (!Inside(hit.offset, core)) abort();
        sel = ClickSelection(core, hit, 1 + (op >> 3) % 5, op & 0x80, sel);
        break;
      }
      case 2:
        sel = ArrowKey(core, env, sel, uint8_t(kLeftArrow + (op >> 3) % 4), uint16_t(r.U16LE() & 0x0B00)).selection;
        break;
      case 3: {
        static const uint8_t keys[] = {kBackspaceKey, kForwardDeleteKey, kClearKey};
        Range gone = DeleteRange(core, env, sel, keys[(op >> 3) % 3], uint16_t(r.U16LE() & 0x0B00));
        if (gone.start > gone.end || !Inside(gone.start, core) || !Inside(gone.end, core)) abort();
        if (DeleteText(core, env, nullptr, gone.start, gone.end) == kEditDone) sel = {gone.start, gone.start, false, false};
        break;
      }
      case 4: {
        for (const PixelRect &rect : HighlightRects(core, env, sel.start, sel.end))
          if (rect.right < rect.left || rect.bottom < rect.top) abort();
        if (auto url = FindUrl(core.Bytes(), len, sel.start, sel.end))
          if (url->start < 0 || url->end > len || url->start >= url->end) abort();
        break;
      }
      default: {
        ParaFormat f;
        f.just = int16_t(int8_t(r.U8()) % 3);
        f.tabCount = 2;
        f.tabs[0] = {uint16_t(r.U8() % 4), 0, '.', 0, r.S32LE() % (400 * kFixedOne)};
        f.tabs[1] = {uint16_t(r.U8() % 4), 0, '.', 0, f.tabs[0].position + (r.U16LE() << 8)};
        SetParaRange(core, env, nullptr, sel.start, sel.end, 0xFFFF, f);
        break;
      }
    }
    if (sel.start > sel.end || !Inside(sel.start, core) || !Inside(sel.end, core)) abort();
    if (!CheckInvariants(core)) abort();
  }
  return 0;
}
