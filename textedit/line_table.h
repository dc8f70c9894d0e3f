// The laid-out lines of a record. Portable.
#pragma once

#include <cstdint>
#include <vector>

#include "textedit/te_types.h"

namespace tstools::text {

enum LineFlags : uint32_t {
  kLineHasTab = 1,
  kLineHasOtherTab = 2,  // a right, centre or character stop: always relaid out
  kLineEndsParagraph = 4,
  kLineWrapped = 8,      // broken because the next character did not fit
};

// Width of the empty line that follows a final return; counts as 0 wherever widths are used.
constexpr uint16_t kEmptyLineWidth = 0xFFFF;

struct LineRecord {
  int32_t start = 0;
  int32_t top = 0;          // sum of the earlier lines' heights (without the vertical origin)
  uint16_t width = 0;       // rounded pixels, below 0xFFFF; kEmptyLineWidth for the final line
  int16_t height = 0;       // after paragraph spacing; saturates at 32767
  int16_t drawHeight = 0;
  int16_t ascent = 0;       // after space before
  int16_t visibleCount = 0; // characters without trailing blanks
  uint32_t flags = 0;
};

struct LineTable {
  int32_t origin = 0;       // the vertical justification's offset
  int32_t textLength = 0;
  std::vector<LineRecord> lines;

  int32_t Count() const { return static_cast<int32_t>(lines.size()); }
  // The line holding offset p (the last whose start <= p), 0 for an empty table.
  int32_t Find(int32_t p) const;
  // The width as positions and fitting use it: 0 for the empty-line marker.
  static int32_t UsableWidth(const LineRecord &l) {
    return l.width == kEmptyLineWidth ? 0 : l.width;
  }
};

}  // namespace tstools::text
