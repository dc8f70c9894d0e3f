// The text engine's process state and the record the exports hand out. Windows glue.
#pragma once

#include <windows.h>

#include "textedit/gdi_measurer.h"
#include "textedit/selection_rules.h"
#include "textedit/text_core.h"

#include <tstools/textedit.h>

// The record behind the opaque QTERecord pointer: the portable core plus the Windows objects
// and the client's callbacks.
struct QTERecord {
  explicit QTERecord(tstools::memory::Zone &zone) : core(zone) {}

  tstools::text::TextCore core;
  HRGN regions[4] = {};    // owned by the record (drawing)
  HRGN highlight[3] = {};  // current, previously drawn and scratch highlight
  GrafPort **measuringPort = nullptr;  // read at every use
  unsigned short measuringFlags = 0;
  tstools::text::GdiMeasurer measurer{&measuringPort};

  QTEErrorProc errorProc = nullptr;
  QTEBotLmtProc botLmtProc = nullptr;
  QTEScrollProc scrollProc = nullptr;
  QTECntrlProc cntrlProc = nullptr;
  QTEClickLoopProc clickProc = nullptr;
  QTEUpdateRulerProc rulerProc = nullptr;

  // What of the selection is on the screen now, exactly as drawn (exclusive-or marks): taking
  // a mark down redraws the same pixels whatever moved since.
  struct Mark {
    RECT box{};  // local coordinates, already cut to the view
    bool grey = false;
  };
  Mark caret;      // on screen while flag 9
  Mark dragCaret;  // on screen while flag 10
  bool highlightFramed = false;  // highlight[1] holds an outline, not the selected area
  // The range shown before the last change that inverted only the difference; empty once
  // the highlight was taken down whole.
  tstools::text::Range previousSelection;

  int clickCount = 0;
  uint32_t clickTick = 0;
  int32_t clickOffset = -1;
  uint32_t blinkTick = 0;
  int32_t dragOffset = -1;  // -1: no drag in progress
  short border = 0;
  bool ownBackground = false;  // QTESetInfo or QTESetBkColor gave a background colour
};

namespace tstools::text {

struct TextEngineState {
  GrafPort **measuringPort = nullptr;  // ML_QTEInit's port reference; copied into new records
  unsigned short measuringFlags = 0;
  HINSTANCE resourceInstance = nullptr;
  short patternListId = 0;
  void *scrapContext = nullptr;
  HRGN scratchRegion = nullptr;
  bool started = false;  // QTEInit succeeded and QTEShutdown has not run
  CaseTables cases;
  MetricCache cache;
  Fixed tabInterval = 36 * kFixedOne;
  Fixed lineUnit = 16 * kFixedOne;

  // Frees what QTEInit made and returns to the state at attach.
  void Reset();
};

extern TextEngineState textState;

// The services a record's core uses: its own measurer, the shared cache and tables.
TextEnv EnvFor(QTERecord *record);

// Calls the record's bottom-limit callback for the layout.
class RecordLayoutHost : public LayoutHost {
 public:
  explicit RecordLayoutHost(QTERecord *record) : record_(record) {}
  bool BottomLimit(int16_t *bottom, uint8_t *autoView) override;

 private:
  QTERecord *record_;
};

}  // namespace tstools::text
