// A selection dragged down over 1,000 lines, a line per step, in the same window on the
// screen and the same font: the engine as its click tracking does it (the selection's end
// moved, only the highlight's difference inverted, the view scrolled after the moving end:
// QTESetSelect + QTESelView), beside Wine's RichEdit (EM_EXSETSEL, which scrolls too, +
// UpdateWindow), each step's pixels then put on the screen (FlushToScreen). Lines are short
// paragraphs, so both have the same lines.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine_field.h"
#include "richedit_peer.h"
#include "support/bench.h"
#include "tstools/tstools.h"

namespace {

using tstools::bench::BestRun;
using tstools::bench::EngineField;
using tstools::bench::FlushToScreen;
using tstools::bench::RichEditPeer;
using tstools::bench::StartLibrary;

constexpr int kWidth = 600, kHeight = 400, kSteps = 1000, kRuns = 5, kRichEditRuns = 3;
constexpr const char *kFace = "Liberation Serif";

// 1,100 lines of 30 to 60 bytes, each ending in a return; starts[i] is line i's offset.
std::string Lines(std::vector<long> &starts) {
  std::string text;
  unsigned seed = 7;
  for (int line = 0; line < kSteps + 100; ++line) {
    starts.push_back(long(text.size()));
    char head[16];
    std::snprintf(head, sizeof head, "%04d ", line);
    text += head;
    size_t end = text.size() + 25 + line % 31;
    while (text.size() < end) {
      seed = seed * 1103515245u + 12345u;
      text.append(2 + (seed >> 16) % 7, char('a' + (seed >> 8) % 26));
      text += ' ';
    }
    text += '\r';
  }
  return text;
}

void Report(const char *who, double ns) {
  std::printf("%-58s %9.2f ms, %9.2f us/step\n", who, ns / 1e6, ns / 1e3 / kSteps);
}

void Engine(RichEditPeer &peer, const std::string &text, const std::vector<long> &starts) {
  peer.Show(false);
  {
    Rect area{0, 0, short(kWidth - GetSystemMetrics(SM_CXVSCROLL)), kHeight};
    EngineField field(peer.Frame(), area, kFace, peer.PixelHeight());
    QTERecord *r = field.Record();
    if (!r) return;
    QTEReplace(text.data(), long(text.size()), nullptr, nullptr, r);
    QTEAutoView(1, r);
    QTEActivate(r);
    double ns = BestRun(kRuns, [&] {
      QTESetSelect(0, 0, r);
      QTESelView(0, r);  // back to the top
      QTEDraw(nullptr, 0, r);
      FlushToScreen();
    }, [&] {
      for (int i = 1; i <= kSteps; ++i) {
        QTESetSelect(0, starts[size_t(i)], r);
        QTESelView(0, r);
        FlushToScreen();
      }
    });
    Rect dest{};
    QTEGetDestRect(&dest, r);
    std::printf("(engine: %ld lines, selection ends at %ld, text scrolled up %d px)\n", QTENumLines(r),
                QTEGetSelEnd(r), -dest.top);
    Report("QTESetSelect + QTESelView + flush, 1,000 lines", ns);
  }
  peer.Show(true);
}

void RichEdit(RichEditPeer &peer, const std::string &text) {
  peer.SetText(text);
  std::vector<long> starts;
  for (int i = 0; i <= kSteps; ++i) starts.push_back(peer.LineStart(i));
  double ns = BestRun(kRichEditRuns, [&] {
    peer.Select(0, 0);
    peer.Update();
    FlushToScreen();
  }, [&] {
    for (int i = 1; i <= kSteps; ++i) {
      peer.Select(0, starts[size_t(i)]);
      peer.Update();
      FlushToScreen();
    }
  });
  std::printf("(RichEdit: %ld lines, selection ends at %ld, first line shown %ld)\n", peer.LineCount(),
              starts.back(), peer.FirstVisibleLine());
  Report("RichEdit EM_EXSETSEL + UpdateWindow, 1,000 lines", ns);
}

}  // namespace

int main() {
  StartLibrary();
  RichEditPeer peer(kWidth, kHeight, kFace, 12, true);
  if (!peer.Ready()) return 0;
  std::vector<long> starts;
  std::string text = Lines(starts);
  Engine(peer, text, starts);
  RichEdit(peer, text);
  return 0;
}
