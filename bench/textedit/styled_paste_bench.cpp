// A paste of 60,000 bytes in 100 style runs into an empty field, drawn, in the same window on
// the screen and the same font: the engine's QTEStylPaste from the clipboard ("TEXT", "styl"
// and "xSTY" items), and QTEInsert with the same "styl" handle, beside Wine's RichEdit
// reading the same text and runs as RTF (EM_STREAMIN + UpdateWindow); each then puts its
// pixels on the screen (FlushToScreen).
#include <windows.h>

#include <cstdio>
#include <string>

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

constexpr int kWidth = 600, kHeight = 400, kRunCount = 100, kRuns = 5;
constexpr long kBytes = 60000, kRunBytes = kBytes / kRunCount;
constexpr const char *kFace = "Liberation Serif";

// An OSType holds its four characters in memory in reading order.
constexpr OSType Type(const char (&s)[5]) {
  return OSType(uint8_t(s[0])) | OSType(uint8_t(s[1])) << 8 | OSType(uint8_t(s[2])) << 16 |
         OSType(uint8_t(s[3])) << 24;
}

std::string Document() {
  std::string text;
  unsigned seed = 31;
  while (text.size() < size_t(kBytes)) {
    seed = seed * 1103515245u + 12345u;
    text.append(2 + (seed >> 16) % 8, char('a' + (seed >> 8) % 26));
    text += (seed >> 20) % 60 == 0 ? '\r' : ' ';
  }
  text.resize(size_t(kBytes));
  return text;
}

// Run k: bold when odd, italic every fourth from the third, a quarter larger every third.
bool Bold(int k) { return k % 2 == 1; }
bool Italic(int k) { return k % 4 == 2; }
int Pixels(int k, int pixels) { return k % 3 == 2 ? pixels * 5 / 4 : pixels; }

void Report(const char *who, double ns) { std::printf("%-58s %9.2f ms\n", who, ns / 1e6); }

Handle NewHandle() {
  Handle h = nullptr;
  MemNewHandle(&h, 0, 0);
  return h;
}

void Engine(RichEditPeer &peer, const std::string &text) {
  peer.Show(false);
  {
    struct {
      HWND window;
    } clipboard{peer.Frame()};  // the clipboard window record: its first field only is read
    Rect area{0, 0, short(kWidth - GetSystemMetrics(SM_CXVSCROLL)), kHeight};
    EngineField field(peer.Frame(), area, kFace, peer.PixelHeight(), &clipboard);
    QTERecord *r = field.Record();
    if (!r) return;
    // The runs made in a record, then its "styl" item taken out.
    QTEReplace(text.data(), kBytes, nullptr, nullptr, r);
    for (int k = 0; k < kRunCount; ++k) {
      QTESetSelect(k * kRunBytes, (k + 1) * kRunBytes, r);
      QTETextStyle style{0, (unsigned short)((Bold(k) ? 0x0100 : 0) | (Italic(k) ? 0x0200 : 0)),
                         short(Pixels(k, peer.PixelHeight())), {0, 0, 0}};
      QTESetStyle(qteFace | qteSize, &style, r);
    }
    Handle styl = NewHandle();
    QTECopyData(r, 0, kBytes, nullptr, styl, nullptr);
    Size stylSize = 0;
    MemGetHandleSize(styl, &stylSize);
    uint16_t extended = 256;
    ML_ZeroScrap(&clipboard);
    ML_PutScrap(&clipboard, kBytes, Type("TEXT"), text.data());
    ML_PutScrap(&clipboard, stylSize, Type("styl"), *styl);
    ML_PutScrap(&clipboard, 2, Type("xSTY"), &extended);
    QTEActivate(r);
    auto empty = [&] {
      QTEDelete(1, r);
      FlushToScreen();
    };
    double ns = BestRun(kRuns, empty, [&] {
      QTEStylPaste(nullptr, 1, r);
      FlushToScreen();
    });
    QTETextStyle third{};
    QTESetSelect(2 * kRunBytes + 1, 2 * kRunBytes + 1, r);  // the style at the selection's start
    QTEGetStyle(2 * kRunBytes + 1, &third, r);
    std::printf("(engine: %ld bytes in %ld lines; the third run's face 0x%04x, %d px)\n", QTEGetTextLen(r),
                QTENumLines(r), third.tsFace, third.tsSize);
    Report("QTEStylPaste 60,000 bytes, 100 runs, + flush", ns);
    ns = BestRun(kRuns, empty, [&] {
      QTEInsert(text.data(), kBytes, styl, 0, r);
      FlushToScreen();
    });
    Report("QTEInsert of the same with its styl handle, + flush", ns);
    MemDisposeHandle(styl);
  }
  peer.Show(true);
}

void RichEdit(RichEditPeer &peer, const std::string &text) {
  peer.SetText(text);
  HDC dc = GetDC(nullptr);
  int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  for (int k = 0; k < kRunCount; ++k) {
    CHARFORMAT2A format{};
    format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_SIZE;
    format.dwEffects = (Bold(k) ? CFE_BOLD : 0) | (Italic(k) ? CFE_ITALIC : 0);
    format.yHeight = LONG(Pixels(k, peer.PixelHeight()) * 1440 / dpi);  // twips
    peer.Format(k * kRunBytes, (k + 1) * kRunBytes, format);
  }
  std::string rtf = peer.Rtf();
  peer.Select(0, 0);
  double ns = BestRun(kRuns, [&] {
    peer.SetText("");
    peer.Update();
    FlushToScreen();
  }, [&] {
    peer.SetRtf(rtf);
    peer.Update();
    FlushToScreen();
  });
  std::printf("(RichEdit: %zu bytes of RTF, %ld characters in %ld lines)\n", rtf.size(), peer.Length(),
              peer.LineCount());
  Report("RichEdit EM_STREAMIN of the same as RTF + UpdateWindow", ns);
}

}  // namespace

int main() {
  StartLibrary();
  RichEditPeer peer(kWidth, kHeight, kFace, 12, true);
  if (!peer.Ready()) return 0;
  std::string text = Document();
  Engine(peer, text);
  RichEdit(peer, text);
  return 0;
}
