// How a Mac control's minimum, maximum, value and page sit on a Windows scroll bar.
//
// A Windows bar with page p lets its position reach only range maximum - (p - 1), so the Mac
// maximum M is stored as the range maximum p + M - 1 and the thumb's position then runs
// minimum..M. A page of 0 reaches the range maximum itself, like a page of 1.
#pragma once

namespace tstools {

// The bar's range maximum that lets the position reach macMax with this page; saturated to
// the 32-bit range the bar stores.
long WindowsRangeMax(long macMax, long page);

// The Mac maximum of a bar with this range maximum and page (the inverse of the above).
long MacMaxFromRange(long rangeMax, long page);

// The page a bar keeps: negative pages are none, and none reaches as far as one.
long EffectivePage(long page);

// Arrows enabled exactly when the value has somewhere to go.
inline bool ArrowsEnabled(long macMin, long macMax) { return macMax > macMin; }

}  // namespace tstools
