// The text engine's process state.
#include "textedit/te_state.h"

#include "textedit/layout.h"

namespace tstools::text {

TextEngineState textState;

void TextEngineState::Reset() {
  if (scratchRegion) DeleteObject(scratchRegion);
  measuringPort = nullptr;
  measuringFlags = 0;
  resourceInstance = nullptr;
  patternListId = 0;
  scrapContext = nullptr;
  scratchRegion = nullptr;
  started = false;
  cases.Reset();
  cache.Clear();
  tabInterval = 36 * kFixedOne;
  lineUnit = 16 * kFixedOne;
}

namespace {
uint32_t Ticks() { return static_cast<uint32_t>(GetTickCount() / 16); }
}  // namespace

TextEnv EnvFor(QTERecord *record) {
  TextEnv env;
  // Without a measuring port there is nothing to measure with: lines get no widths.
  env.measurer = record && record->measurer.Port() ? &record->measurer : nullptr;
  env.cache = &textState.cache;
  env.cases = &textState.cases;
  env.tabInterval = textState.tabInterval;
  env.lineUnit = textState.lineUnit;
  env.ticks = Ticks;
  return env;
}

bool RecordLayoutHost::BottomLimit(int16_t *bottom, uint8_t *autoView) {
  if (!record_ || !record_->botLmtProc) return false;
  Boolean view = *autoView;
  // The callback may call back into the engine: edits of this record are refused meanwhile.
  record_->core.inBottomLimit = true;
  Boolean ok = record_->botLmtProc(bottom, &view);
  record_->core.inBottomLimit = false;
  *autoView = view;
  return ok != 0;
}

}  // namespace tstools::text
