// From a key to its pixels: QTEKey beside Wine's RichEdit replacing its selection and
// repainting (EM_REPLACESEL + UpdateWindow), each step's pixels then put on the screen
// (FlushToScreen), in the same window and the same font, with the caret on a line in view (offset 200) so that both draw. Records
// of 6,400 and 64,000 bytes (the engine's limit); RichEdit also at 200,000.
// Each timed step types a character and takes it back with backspace: the size stays.
#include <windows.h>

#include <cstdio>
#include <string>

#include "engine_field.h"
#include "richedit_peer.h"
#include "support/bench.h"
#include "tstools/tstools.h"

namespace {

using tstools::bench::EngineField;
using tstools::bench::FlushToScreen;
using tstools::bench::MeasureBest;
using tstools::bench::RichEditPeer;
using tstools::bench::StartLibrary;

constexpr int kWidth = 600, kHeight = 400;
constexpr const char *kFace = "Liberation Serif";

std::string Document(size_t bytes) {
  std::string text;
  unsigned seed = 99;
  while (text.size() < bytes) {
    seed = seed * 1103515245u + 12345u;
    text.append(2 + (seed >> 16) % 8, char('a' + (seed >> 8) % 26));
    text += (seed >> 20) % 40 == 0 ? '\r' : ' ';
  }
  text.resize(bytes);
  return text;
}

void Engine(RichEditPeer &peer, size_t bytes) {
  peer.Show(false);
  {
    // The text as wide as the control's, which keeps a scroll bar.
    Rect area{0, 0, short(kWidth - GetSystemMetrics(SM_CXVSCROLL)), kHeight};
    EngineField field(peer.Frame(), area, kFace, peer.PixelHeight());
    if (QTERecord *record = field.Record()) {
      std::string body = Document(bytes);
      QTEReplace(body.data(), long(body.size()), nullptr, nullptr, record);
      QTESetSelect(200, 200, record);
      QTEActivate(record);
      QTEDraw(nullptr, 0, record);
      char name[80];
      std::snprintf(name, sizeof name, "QTEKey + flush, %zu bytes", bytes);
      MeasureBest(name, [&] {
        QTEKey('x', 0, 0, record);
        FlushToScreen();
        QTEKey(8, 0, 0, record);
        FlushToScreen();
      }, 2);
    }
  }
  peer.Show(true);
}

void RichEdit(RichEditPeer &peer, size_t bytes) {
  std::string body = Document(bytes);
  peer.SetText(body);
  peer.Update();
  FlushToScreen();
  const long middle = 200;
  char name[80];
  std::snprintf(name, sizeof name, "RichEdit EM_REPLACESEL + UpdateWindow, %zu bytes", bytes);
  MeasureBest(name, [&] {
    peer.ReplaceAt(middle, "x");
    peer.Update();
    FlushToScreen();
    peer.Replace(middle, middle + 1, "");
    peer.Update();
    FlushToScreen();
  }, 2);
}

}  // namespace

int main() {
  StartLibrary();
  RichEditPeer peer(kWidth, kHeight, kFace, 12, true);
  if (!peer.Ready()) return 0;
  for (size_t bytes : {size_t(6400), size_t(64000), size_t(200000)}) {
    if (bytes <= 64000) Engine(peer, bytes);
    RichEdit(peer, bytes);
  }
  return 0;
}
