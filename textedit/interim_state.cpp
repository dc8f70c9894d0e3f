// INTERIM (layout branch only): the record's layout services until the core merges.
#include "textedit/te_state.h"

namespace tstools::text {

TextEnv EnvFor(QTERecord *record) {
  TextEnv env;
  env.measurer = textState.measuringPort ? &record->measurer : nullptr;
  env.cache = &textState.cache;
  env.cases = &textState.cases;
  env.tabInterval = textState.tabInterval;
  env.lineUnit = textState.lineUnit;
  return env;
}

bool RecordLayoutHost::BottomLimit(int16_t *bottom, uint8_t *autoView) {
  if (!record_->botLmtProc) return false;
  return record_->botLmtProc(bottom, autoView) != 0;
}

}  // namespace tstools::text
