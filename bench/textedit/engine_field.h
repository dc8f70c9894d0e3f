// The text engine's side of the benchmarks beside RichEdit: the engine started on a window's
// port and one record drawing there in a face at a character height in pixels, so that both
// sides show the same text in the same window and font.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "tstools/tstools.h"

namespace tstools::bench {

// Puts what was drawn into windows on the screen, after either side's step: GdiFlush on
// Windows. Wine's GdiFlush does nothing; its window surfaces go to the X server when the
// thread finds its queue empty (and at the end of a paint, once idle for a while), so an
// empty look at the queue makes both sides pay for their pixels reaching the display.
inline void FlushToScreen() {
  GdiFlush();
  MSG none;
  PeekMessageA(&none, nullptr, WM_APP + 0x3FFF, WM_APP + 0x3FFF, PM_NOREMOVE);
}

// The Memory Manager, QuickDraw's caches and the font table, as every benchmark needs them.
inline void StartLibrary() {
  MemInitZone();
  QDrawCacheInit();
  InitFonts();
}

class EngineField {
 public:
  // area: the destination and view rectangle; scrap: the clipboard window record the engine's
  // copy and paste use (its first field is the clipboard window), or null.
  EngineField(HWND window, const Rect &area, const char *face, int pixels, void *scrap = nullptr) {
    port_.window = window;
    ML_OpenPort(&port_);
    static HMODULE resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!ML_QTEInit(&portRef_, scrap, resources, 1, 0)) {
      std::printf("ML_QTEInit failed (TSHOSTRES.DLL beside the benchmark?)\n");
      return;
    }
    started_ = true;
    Str255 name{};
    name[0] = static_cast<unsigned char>(std::strlen(face));
    std::memcpy(name + 1, face, name[0]);
    short font = 0;
    GetFNum(name, &font);
    if (font <= 0) std::printf("%s: not a font the engine knows; its default face instead\n", face);
    QTETextStyle style{font > 0 ? font : short(1), 0, short(pixels), {0, 0, 0}};
    record_ = QTENew(&area, &area, &style);
  }
  ~EngineField() {
    if (record_) QTEDispose(record_);
    if (started_) QTEShutdown();
    ClosePort(&port_);
  }
  EngineField(const EngineField &) = delete;
  EngineField &operator=(const EngineField &) = delete;

  QTERecord *Record() const { return record_; }

 private:
  GrafPort port_{};
  GrafPort *portRef_ = &port_;  // the engine reads its port through this location
  bool started_ = false;
  QTERecord *record_ = nullptr;
};

}  // namespace tstools::bench
