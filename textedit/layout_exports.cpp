// The layout exports: thin wrappers over the portable layout.
#include "textedit/layout.h"
#include "textedit/te_state.h"

#include "frame/export_guard.h"
#include "tstools/text_layout.h"

using tstools::Guarded;
using tstools::Nothing;
namespace text = tstools::text;

void WINAPI QTECalText(QTERecord *record) {
  if (!record) return;
  Guarded(Nothing, [&] {
    text::RecordLayoutHost host(record);
    text::LayoutAll(record->core, text::EnvFor(record), &host);
  });
}

void WINAPI QTESetExpandOpt(short flags, QTERecord *record) {
  if (!record) return;
  uint16_t value = static_cast<uint16_t>(flags);
  if (value == record->core.layoutFlags) return;
  Guarded(Nothing, [&] {
    uint16_t previous = record->core.layoutFlags;
    record->core.layoutFlags = value;
    try {
      text::LayoutAll(record->core, text::EnvFor(record), nullptr);  // no bottom-limit call
    } catch (...) {
      record->core.layoutFlags = previous;  // the old lines still match the old flags
      throw;
    }
  });
}

long WINAPI QTENumLines(QTERecord *record) { return record ? record->core.lines.Count() : 0; }

long WINAPI QTELineOffset(long line, QTERecord *record) {
  if (!record) return 0;
  const text::LineTable &t = record->core.lines;
  if (line < 0) return 0;
  if (line >= t.Count()) return record->core.Length();
  return t.lines[static_cast<size_t>(line)].start;
}

Boolean WINAPI QTEDoesWordWrap(QTERecord *record) {
  if (!record) return 0;
  for (const text::LineRecord &l : record->core.lines.lines)
    if (l.flags & text::kLineWrapped) return 1;
  return 0;
}

long WINAPI QTEGetHeight(long endLine, long startLine, QTERecord *record, Boolean useDrawHeight) {
  return record ? text::LineHeightSum(record->core, endLine, startLine, useDrawHeight != 0) : 0;
}

long WINAPI QTEGetWidth(long endLine, long startLine, QTERecord *record) {
  return record ? text::WidestLine(record->core, endLine, startLine) : 0;
}
