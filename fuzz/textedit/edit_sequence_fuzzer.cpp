// Edit sequences on a record core, decoded from the input: inserts (plain, with a "styl" and
// a ParaScrap read from the input itself), deletes, replacements, style and paragraph changes,
// scrap copies, moves of the record's own bytes. After each step the run invariants hold.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "frame/byte_reader.h"
#include "textedit/text_edit.h"

using namespace tstools::text;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  tstools::memory::MallocBlockSource source;
  tstools::memory::Zone zone(source);
  TextEnv env;
  TextCore core(zone);
  if (!InitCore(core, env, TextStyle{})) return 0;
  tstools::ByteReader r(data, size);
  while (!r.AtEnd() && !r.Failed()) {
    uint8_t op = r.U8();
    int32_t len = core.Length();
    int32_t a = len ? r.U16LE() % (len + 1) : 0;
    int32_t b = len ? r.U16LE() % (len + 1) : 0;
    if (a > b) std::swap(a, b);
    switch (op % 8) {
      case 0:
      case 1: {
        size_t n = r.U8() % 24;
        const uint8_t *bytes = r.Span(n);
        if (!bytes) return 0;
        ScrapData scraps;
        TextStyle caller{2, 24, kItalic, {}};
        if (op & 0x10) scraps.stylSize = r.U8(), scraps.styl = r.Span(scraps.stylSize), scraps.extended = op & 0x20;
        if (op & 0x40) scraps.parasSize = r.U8(), scraps.paras = r.Span(scraps.parasSize);
        if (op & 0x80) scraps.tsstSize = 2, scraps.tsst = r.Span(2), scraps.callerStyle = &caller;
        InsertScrapText(core, env, nullptr, a, bytes, int32_t(n), scraps, 4000);
        break;
      }
      case 2: DeleteText(core, env, nullptr, a, b); break;
      case 3: {
        core.selStart = a, core.selEnd = b;
        uint16_t mode = r.U16LE();
        TextStyle t;
        ContinuousStyle(core, &mode, &t);
        ParaFormat pf;
        ContinuousPara(core, &mode, &pf);
        TextStyle s{int16_t(r.U8()), int16_t(r.S16LE()), r.U16LE(), {}};
        SetStyleRange(core, env, nullptr, a, b, r.U8(), s);
        break;
      }
      case 4: {
        ParaFormat f;
        f.just = int16_t(r.U8() % 4);
        f.leftIndent = r.S32LE();
        f.tabCount = r.S16LE();
        for (int i = 0; i < 3; ++i) f.tabs[i].position = r.S32LE();
        SetParaRange(core, env, nullptr, a, b, r.U16LE(), f);
        break;
      }
      case 5: {
        auto styl = CopyStyles(core, env, a, b);
        auto paras = CopyParas(core, a, b);
        std::vector<uint8_t> copy(core.Bytes() + a, core.Bytes() + b);
        InsertText(core, env, nullptr, b, copy.data(), int32_t(copy.size()), {&styl, &paras}, 4000);
        break;
      }
      case 6: {
        int32_t room = len - (b - a), to = r.U16LE() % (room + 1);
        MoveRange(core, env, nullptr, a, b, to, core.Bytes() + a, b - a, {}, op & 0x10 ? 4000 : len - 1);
        break;
      }
      default:
        ReplaceAllText(core, env, nullptr, core.Bytes() + a, b - a, {}, ParaFormat{}, 4000);
        break;
    }
    if (!CheckInvariants(core)) abort();
  }
  return 0;
}
