// The record's editing primitives: insertion, deletion, replacement of the whole text, style
// and paragraph-format changes over a range, continuity, scrap copies and the error step.
// Each change is atomic: the final length is checked, every array and the store are reserved
// first, and a failure leaves text, runs and tables as they were. Portable.
#pragma once

#include <cstdint>
#include <vector>

#include "textedit/styled_scrap.h"
#include "textedit/text_core.h"

namespace tstools::text {

// Edit results: 0 done, 2 memory ran out, 5 too long (the error codes), or refused because
// the bottom-limit callback is running (nothing changed, no error reported).
enum EditResult : int32_t { kEditDone = 0, kEditNoMemory = 2, kEditTooLong = 5, kEditRefused = -1 };

// Where inserted text takes its styles from. Without styles: the pending null style, else the
// style of the character before the insertion point. Without paragraphs: the paragraph the
// text is inserted into.
struct InsertSource {
  const std::vector<StylElement> *styles = nullptr;
  const std::vector<ParaEntry> *paras = nullptr;
};

// The exclusivity rule: the face bits to clear before face is added.
uint16_t ExclusiveBits(uint16_t face);
// One style changed by a mode (font, face with add/toggle, size, add size, colour).
TextStyle ApplyStyleMode(TextStyle current, const TextStyle &given, uint16_t mode);

// Scrap data as it arrives with an insertion from the clipboard, a drop or a caller's handles,
// unparsed. Each part is optional.
struct ScrapData {
  const uint8_t *styl = nullptr;
  size_t stylSize = 0;
  bool extended = false;  // an "xSTY" item came beside the "styl"
  const uint8_t *tsst = nullptr;
  size_t tsstSize = 0;
  const TextStyle *callerStyle = nullptr;  // what a "TSST" item applies over the pasted styles
  const uint8_t *paras = nullptr;
  size_t parasSize = 0;
};

// InsertText with the styles and formats the scrap data gives (read through the bounded
// reader, "TSST" applied when a caller's style is given).
int32_t InsertScrapText(TextCore &core, const TextEnv &env, LayoutHost *host, int32_t p,
                        const uint8_t *bytes, int32_t n, const ScrapData &scraps, int32_t maxLength);

// A new record's content: an empty store, one style run of the default style, one paragraph
// of the default format, the null style pending. False when memory runs out.
bool InitCore(TextCore &core, const TextEnv &env, const TextStyle &nullStyle);

// A "TSST" item's effect on pasted styles: the caller's style applied to each element with
// mode (TsstMode), the face replaced rather than added.
void ApplyTsst(std::vector<StylElement> &elements, const TextStyle &style, uint16_t mode);

// maxLength < 0: no limit (benchmarks); the exports pass kMaxTextLength.
int32_t InsertText(TextCore &core, const TextEnv &env, LayoutHost *host, int32_t p,
                   const uint8_t *bytes, int32_t n, const InsertSource &source,
                   int32_t maxLength);
int32_t DeleteText(TextCore &core, const TextEnv &env, LayoutHost *host, int32_t a, int32_t b);
// [a, b) replaced by n bytes in one atomic step: typing over a selection, a paste or a drop.
// Ends as DeleteText followed by InsertText at a would, but a result of 2 or 5 leaves the
// old text, runs and lines in place.
int32_t ReplaceRange(TextCore &core, const TextEnv &env, LayoutHost *host, int32_t a, int32_t b,
                    const uint8_t *bytes, int32_t n, const InsertSource &source, int32_t maxLength);
// A drop that moves: [s, e) removed, then n bytes inserted at `to` (an offset of the text
// without [s, e), as DropOffset gives it) as InsertText would. One atomic step: a result of
// 2 or 5 leaves text, runs, tables, lines and the null style as they were. The lines are laid
// out once, over the span from the first to the last changed offset.
int32_t MoveRange(TextCore &core, const TextEnv &env, LayoutHost *host, int32_t s, int32_t e, int32_t to,
                  const uint8_t *bytes, int32_t n, const InsertSource &source, int32_t maxLength);
// The whole text replaced (length clamped to maxLength); the styles default to the null style,
// else the default style, the paragraphs to defaultPara. Lays out everything.
int32_t ReplaceAllText(TextCore &core, const TextEnv &env, LayoutHost *host,
                       const uint8_t *bytes, int32_t n, const InsertSource &source,
                       const ParaFormat &defaultPara, int32_t maxLength);

// Styles [a, b) by mode in one pass over the runs, then relays out.
int32_t SetStyleRange(TextCore &core, const TextEnv &env, LayoutHost *host, int32_t a,
                      int32_t b, uint16_t mode, const TextStyle &style);
// The empty selection's case: changes the pending null style (taken from the character
// before the caret when none is pending).
void SetNullStyle(TextCore &core, uint16_t mode, const TextStyle &style);
// The style the selection shows, and the continuity of the attributes asked in *mode.
bool ContinuousStyle(const TextCore &core, uint16_t *mode, TextStyle *style);
// The style QTEGetStyle reports for offset.
TextStyle StyleForOffset(const TextCore &core, int32_t offset);

// Paragraph formats of the paragraphs from the one holding a to the one holding b.
int32_t SetParaRange(TextCore &core, const TextEnv &env, LayoutHost *host, int32_t a,
                     int32_t b, uint16_t mode, const ParaFormat &format);
bool ContinuousPara(const TextCore &core, uint16_t *mode, ParaFormat *format);
// Any paragraph with an indent.
bool AnyIndent(const TextCore &core);

// The runs of [a, b) as scrap elements, starts relative to a.
std::vector<StylElement> CopyStyles(const TextCore &core, const TextEnv &env, int32_t a,
                                    int32_t b);
std::vector<ParaEntry> CopyParas(const TextCore &core, int32_t a, int32_t b);

// Reads and clears the pending error; for 1 removes the text past the destination's bottom.
int32_t ErrorStep(TextCore &core, const TextEnv &env, LayoutHost *host);

// Run invariants (sorted, first at 0, no equal neighbours, in the text, table counts equal
// uses, paragraph runs on paragraph starts): the tests and fuzzers check them after each step.
bool CheckInvariants(const TextCore &core);

}  // namespace tstools::text
