// The text engine beside Wine's RichEdit in the same run: layout of a document of 8
// alternating styles with tabs and paragraphs at 20 KB, 200 KB and 2 MB (GDI widths through
// the metric cache), a character typed in the middle of 200 KB with its relayout, bold over
// half, the core's bytes per character, and QTEReplace of 64000 bytes through the exports.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench_measurer.h"
#include "richedit_peer.h"
#include "support/bench.h"
#include "textedit/layout.h"
#include "textedit/text_core.h"
#include "textedit/text_edit.h"
#include "tstools/tstools.h"

namespace {

using namespace tstools;
using tstools::bench::Measure;

// Words of 2 to 9 letters, a tab now and then, a return every ~400 bytes.
std::string MakeDocument(size_t bytes) {
  std::string text;
  text.reserve(bytes);
  unsigned seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
  while (text.size() < bytes) {
    size_t word = 2 + next() % 8;
    for (size_t i = 0; i < word; ++i) text += char('a' + next() % 26);
    unsigned r = next() % 64;
    text += r == 0 ? '\r' : r < 3 ? '\t' : ' ';
  }
  text.resize(bytes);
  return text;
}

text::TextStyle StyleNumber(int i) {
  text::TextStyle s;
  s.font = int16_t(1 + (i & 1));
  s.size = int16_t(10 + 2 * (i % 4));
  s.face = uint16_t((i & 2) ? text::kBold : 0) | uint16_t((i & 4) ? text::kItalic : 0);
  return s;
}

struct Engine {
  memory::MallocBlockSource source;
  memory::Zone zone{source};
  bench::GdiBenchMeasurer measurer;
  text::MetricCache cache;
  text::CaseTables cases;
  text::TextEnv env;
  Engine() {
    env.measurer = &measurer;
    env.cache = &cache;
    env.cases = &cases;
  }
};

// A core holding the document with 8 styles alternating every 40 bytes, and paragraphs with
// a left stop, a centre stop and a right stop (the last two are measured to the next tab).
std::unique_ptr<text::TextCore> MakeCore(Engine &engine, const std::string &body) {
  auto core = std::make_unique<text::TextCore>(engine.zone);
  core->dest = {0, 0, 0, 600};
  core->view = {0, 0, 600, 400};
  if (!text::InitCore(*core, engine.env, text::TextStyle{})) return nullptr;
  std::vector<text::StylElement> styles;
  for (size_t at = 0; at < body.size(); at += 40) {
    text::StylElement e;
    e.start = int32_t(at);
    e.style = StyleNumber(int(at / 40 % 8));
    styles.push_back(e);
  }
  std::vector<text::ParaEntry> paras(1);
  paras[0].format.tabCount = 3;
  paras[0].format.tabs[0].position = 120 << 16;
  paras[0].format.tabs[1] = {2, 0, 0, 0, 300 << 16};
  paras[0].format.tabs[2] = {1, 0, 0, 0, 560 << 16};
  text::InsertSource source{&styles, &paras};
  text::ParaFormat plain;
  int32_t err = text::ReplaceAllText(*core, engine.env, nullptr,
                                     reinterpret_cast<const uint8_t *>(body.data()),
                                     int32_t(body.size()), source, plain, -1);
  if (err) std::printf("ReplaceAllText: %d\n", err);
  return core;
}

size_t CoreBytes(const text::TextCore &core) {
  return core.lines.lines.capacity() * sizeof(text::LineRecord) +
         core.styleRuns.Runs().capacity() * sizeof(text::Run) +
         core.paraRuns.Runs().capacity() * sizeof(text::Run) +
         core.styles.Size() * sizeof(text::StyleTable::Element) +
         core.paras.Size() * sizeof(text::ParaTable::Element) +
         size_t(core.store.Capacity() - core.Length());
}

void EngineFigures(Engine &engine) {
  for (size_t size : {size_t(20000), size_t(200000), size_t(2000000)}) {
    std::string body = MakeDocument(size);
    auto core = MakeCore(engine, body);
    if (!core) return;
    char name[96];
    std::snprintf(name, sizeof name, "core layout, %zu KB, 8 styles, tabs (%d lines)", size / 1000,
                  core->lines.Count());
    double ns = Measure(name, [&] { text::LayoutAll(*core, engine.env, nullptr); });
    std::printf("%-58s %12.2f ns/byte, %.2f bytes/char beyond the text\n", "", ns / double(size),
                double(CoreBytes(*core)) / double(size));
    if (size != 200000) continue;
    // A keystroke: one byte in the middle, then its deletion, each with its relayout.
    int32_t middle = int32_t(size / 2);
    const uint8_t key = 'x';
    text::InsertSource none;
    Measure("core keystroke mid-200 KB (insert + delete, per edit)", [&] {
      text::InsertText(*core, engine.env, nullptr, middle, &key, 1, none, -1);
      text::DeleteText(*core, engine.env, nullptr, middle, middle + 1);
    }, 2);
    text::TextStyle bold;
    bold.face = text::kBold;
    bool on = true;
    long before = engine.measurer.measured;
    Measure("core bold on/off over half of 200 KB, with relayout", [&] {
      text::SetStyleRange(*core, engine.env, nullptr, 0, middle, text::kModeFace | text::kModeToggle,
                          bold);
      on = !on;
    });
    std::printf("%-58s %12ld\n", "  styles measured again during the styling",
                engine.measurer.measured - before);
  }
}

void RichEditFigures() {
  tstools::bench::RichEditPeer peer(600, 400, "Times New Roman", 12);
  if (!peer.Ready()) return;
  std::string body = MakeDocument(200000);
  Measure("RichEdit WM_SETTEXT 200 KB", [&] { peer.SetText(body); });
  Measure("RichEdit EM_REPLACESEL one character mid-200 KB", [&] { peer.ReplaceAt(100000, "x"); });
  bool on = true;
  Measure("RichEdit EM_SETCHARFORMAT bold over half of 200 KB", [&] {
    peer.Bold(0, 100000, on);
    on = !on;
  });
}

// QTEReplace of 64000 bytes through the exports, on a record measuring on a screen DC port.
void ExportFigures() {
  HDC dc = CreateCompatibleDC(nullptr);
  GrafPort port{};
  port.dc = dc;
  port.portRect = Rect{0, 0, 600, 400};
  ML_OpenPort(&port);
  GrafPort *portRef = &port;
  static HMODULE resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!ML_QTEInit(&portRef, nullptr, resources, 0, 0)) {
    std::printf("ML_QTEInit failed (TSHOSTRES.DLL beside the benchmark?)\n");
    return;
  }
  Rect dest{0, 0, 600, 400};
  QTERecord *record = QTENew(&dest, &dest, nullptr);
  std::string body = MakeDocument(64000);
  Measure("QTEReplace 64000 bytes (plain, with layout)", [&] {
    QTEReplace(body.data(), long(body.size()), nullptr, nullptr, record);
  });
  std::printf("%-58s %12ld\n", "  lines", QTENumLines(record));
  QTEDispose(record);
  QTEShutdown();
  ClosePort(&port);
  DeleteDC(dc);
}

}  // namespace

int main() {
  MemInitZone();
  QDrawCacheInit();
  InitFonts();
  Engine engine;
  RichEditFigures();
  EngineFigures(engine);
  ExportFigures();
  return 0;
}
