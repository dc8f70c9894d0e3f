// The portable heart of a text record: text store, style runs over a shared style table,
// paragraph runs over a shared paragraph table, the null style, geometry and layout fields,
// and the line table. The exports wrap one TextCore with the record's Windows objects and
// callbacks. Limits (64000 bytes, 3200 lines) are the exports'; the core has none.
#pragma once

#include <cstdint>

#include "memory/zone.h"
#include "textedit/case_tables.h"
#include "textedit/line_table.h"
#include "textedit/measurer.h"
#include "textedit/metric_cache.h"
#include "textedit/run_array.h"
#include "textedit/shared_table.h"
#include "textedit/te_types.h"

namespace tstools::text {

// Record flag bits.
enum RecordFlags : uint32_t {
  kFlagSelection = 1u << 0,
  kFlagActive = 1u << 1,
  kFlagDrawing = 1u << 2,
  kFlagCaretAtLineEnd = 1u << 3,
  kFlagDragInside = 1u << 4,
  kFlagMovingStart = 1u << 5,
  kFlagCustomMargin = 1u << 6,
  kFlagAutoView = 1u << 7,
  kFlagStandardColor = 1u << 8,
  kFlagCaretShown = 1u << 9,
  kFlagDragCaret = 1u << 10,
  kFlagKeepHighlight = 1u << 11,
  kFlagSmartQuotes = 1u << 12,
  kFlagOutsideClicks = 1u << 13,
  kFlagOriginChanged = 1u << 14,
  kFlagCalcAlways = 1u << 15,
};

// Layout flag bits.
enum LayoutFlags : uint16_t {
  kNoWordWrap = 1,
  kBottomLimit = 2,
};

// Measured heights kept beside each style of the table (Fixed, from the metric cache).
struct StyleHeights {
  Fixed ascent = 0;
  Fixed descentLeading = 0;
};

using StyleTable = SharedTable<TextStyle, StyleHeights>;
using ParaTable = SharedTable<ParaFormat>;

// The engine's process-wide services as the core sees them.
struct TextEnv {
  Measurer *measurer = nullptr;  // null: nothing to measure with (QTEInit alone sets none)
  MetricCache *cache = nullptr;
  const CaseTables *cases = nullptr;
  Fixed tabInterval = 36 * kFixedOne;  // replaced by QTESetRecord's scale callback
  Fixed lineUnit = 16 * kFixedOne;
  uint32_t (*ticks)() = nullptr;       // the metric cache's victim source; null: 0
};

// What layout asks of the record's owner mid-layout.
class LayoutHost {
 public:
  virtual ~LayoutHost() = default;
  // The bottom-limit callback: may lower *bottom and set *autoView. Returns false when there
  // is none or it refused.
  virtual bool BottomLimit(int16_t *bottom, uint8_t *autoView) = 0;
};

// The text store: a handle of the Memory Manager whose size is a multiple of 256 (at least
// 256) and which may be longer than the text.
class TextStore {
 public:
  explicit TextStore(memory::Zone &zone) : zone_(zone) {}
  ~TextStore();
  TextStore(const TextStore &) = delete;
  TextStore &operator=(const TextStore &) = delete;

  bool Create();  // an empty store of 256 bytes; false when memory runs out
  memory::HandleRef Handle() const { return handle_; }
  const uint8_t *Bytes() const;
  uint8_t *MutableBytes();
  int32_t Length() const { return length_; }
  int32_t Capacity() const { return capacity_; }
  // Makes room for n bytes (capacity 256 x ceil(n / 256)); false and nothing changed when
  // the handle cannot grow.
  bool Reserve(int32_t n);
  // Shrinks the handle to exactly the text (QTEGetText); false when it refused.
  bool ShrinkToFit();
  void SetLength(int32_t n) { length_ = n; }
  void Lock();
  void Unlock();

 private:
  memory::Zone &zone_;
  memory::HandleRef handle_ = nullptr;
  int32_t capacity_ = 0;
  int32_t length_ = 0;
  int32_t locks_ = 0;
};

struct TextCore {
  explicit TextCore(memory::Zone &zone) : store(zone) {}

  uint32_t flags = kFlagDrawing | kFlagCalcAlways;
  LongRect dest;
  ShortRect view;
  ShortRect bounds;
  LongRect refDest;
  ShortRect refView;
  int32_t selStart = 0, selEnd = 0;

  // Layout state.
  uint16_t layoutFlags = 0;
  uint16_t vertJust = 0;
  uint16_t maxLineWidth = 8000;
  int32_t angle = 0;  // tenths of a degree
  uint16_t bottomLimit = 0;
  int32_t gridPitch = 0, gridOrigin = 0;
  int32_t firstChanged = 0, lastChanged = 0;  // lines the last layout changed
  int32_t resyncOffset = -1;
  int32_t lineCap = 0;  // the exports set kMaxLines; 0 lays out without a cap

  TextStore store;
  LineTable lines;
  StyleTable styles;
  RunArray styleRuns;
  ParaTable paras;
  RunArray paraRuns;

  bool nullStyleValid = false;
  TextStyle nullStyle;

  RGB background;
  uint8_t backPattern[8] = {};
  int32_t pendingError = 0;
  bool inBottomLimit = false;  // the bottom-limit callback is running: edits are refused

  int32_t Length() const { return store.Length(); }
  const uint8_t *Bytes() const { return store.Bytes(); }
  const TextStyle &StyleAt(int32_t p) const { return styles.Get(styleRuns.IndexAt(p)); }
  const ParaFormat &ParaAt(int32_t p) const { return paras.Get(paraRuns.IndexAt(p)); }
  // The start of the paragraph holding p: just after the last return before p.
  int32_t ParagraphStart(int32_t p) const;
  // The end of the paragraph holding p: just after its return, or the text end.
  int32_t ParagraphEnd(int32_t p) const;
};

}  // namespace tstools::text
