/* The styled text engine: an editable block of Mac text with character style runs and
 * paragraph formats, laid out in a destination rectangle and shown through a view rectangle.
 * A record is opaque; every call takes it last. Offsets are 32-bit; a record holds at most
 * 64000 bytes and 3200 lines. */
#ifndef TSTOOLS_TEXTEDIT_H
#define TSTOOLS_TEXTEDIT_H

#include <tstools/api.h>
#include <tstools/grafport.h>
#include <tstools/types.h>

#pragma pack(push, 2)

/* A character style as calls take and return it. The face word's high byte is the QuickDraw
 * face (0x0100 bold ... 0x4000 extend); its low byte the engine's own styles: 0x0001 strike,
 * 0x0002 small capitals, 0x0004 superscript, 0x0008 subscript, 0x0010 all capitals, 0x0020 all
 * lower case (both: title case), 0x0040 word underline, 0x0080 double underline. */
typedef struct QTETextStyle {
  short tsFont;
  unsigned short tsFace;
  short tsSize;
  RGBColor tsColor;
} QTETextStyle; /* 12 bytes */

/* Style modes: which attributes a style call sets. */
enum {
  qteFont = 1,
  qteFace = 2,
  qteSize = 4,
  qteColor = 8,
  qteAll = 15,
  qteAddSize = 16,
  qteToggleFace = 32
};

/* One tab stop: kind 0 left, 1 right, 2 centre, 3 on the alignment character. */
typedef struct QTETab {
  unsigned short kind;
  unsigned short leader;     /* 0, or the character that fills the gap before the stop */
  unsigned short alignChar;  /* kind 3 */
  unsigned short reserved;   /* carried unchanged */
  Fixed position;            /* from the destination's left edge */
} QTETab; /* 12 bytes */

enum { qteMaxTabs = 20 };

/* A paragraph format. Spacing units (bits 0-3 line spacing, 4-7 space before, 8-11 space
 * after): 0 lines, 1 points, 2 inches, 3 centimetres. Justification 0 left, 1 centre, 2 full,
 * anything else right. */
typedef struct ParaStyle {
  unsigned short reserved;   /* carried unchanged */
  Fixed leftIndent;
  Fixed firstIndent;         /* added to the left indent on a paragraph's first line */
  Fixed rightIndent;
  Fixed lineSpacing;
  Fixed spaceBefore;
  Fixed spaceAfter;
  short just;
  unsigned short units;
  short tabCount;            /* 0 to 20 */
  QTETab tabs[qteMaxTabs];   /* increasing positions */
} ParaStyle; /* 272 bytes */

#pragma pack(pop)

/* Paragraph style modes. */
enum {
  qteParaJust = 1,
  qteParaLineSpacing = 2,
  qteParaSpaceBefore = 4,
  qteParaSpaceAfter = 8,
  qteParaLeftIndent = 16,
  qteParaRightIndent = 32,
  qteParaFirstIndent = 64,
  qteParaTabs = 128 /* high byte 0x80: the whole list; otherwise the stop at that index */
};

/* The engine's error codes, as the error callback receives them. */
enum {
  qteNoError = 0,
  qteBottomLimitErr = 1, /* the text passed the bottom limit; what is past it was removed */
  qteStoreErr = 2,       /* the text could not grow; nothing was inserted */
  qteTooLongErr = 5      /* the text would pass 64000 bytes; nothing was inserted */
};

typedef struct QTERecord QTERecord; /* opaque */

/* Callbacks, stdcall. */
typedef void(__stdcall *QTEErrorProc)(long code);
/* May lower *bottom; true to have *autoView taken as the record's auto-view. */
typedef Boolean(__stdcall *QTEBotLmtProc)(short *bottom, Boolean *autoView);
/* The selection rectangle to bring into view, in port coordinates. */
typedef void(__stdcall *QTEScrollProc)(const Rect *selection, QTERecord *record);
/* code 1 info set with outside clicks on, 2 after drawing or activation, 3 click outside the
 * view, 4 after scrolling. */
typedef void(__stdcall *QTECntrlProc)(short code, QTERecord *record);
/* Called while a click tracks the mouse; false stops the tracking. */
typedef Boolean(__stdcall *QTEClickLoopProc)(void);
typedef void(__stdcall *QTEUpdateRulerProc)(QTERecord *record);
/* Zoom: the scaled form of a Fixed value. */
typedef Fixed(__stdcall *QTEScaleProc)(long scaleRef, Fixed value);

/* Start-up. measuringPort is the address of a location holding the measuring port, read at
 * every use (null, or a null port: nothing is measured and lines have no width). The
 * character tables come from "CONV" 1-3 and "SMQT" 1 of the resource instance; QTEInit
 * returns 0 when a table is missing or too short. */
TSAPI(short, ML_QTEInit, (GrafPort **measuringPort, void *scrapContext, HINSTANCE resourceInstance,
                          Boolean flagByte, short patternListID));
TSAPI(short, QTEInit, (Boolean flagByte, short patternListID));
TSAPI(void, QTEShutdown, (void));

/* Records. */
TSAPI(QTERecord *, QTENew, (const Rect *destRect, const Rect *viewRect, const QTETextStyle *style));
TSAPI(void, QTEDispose, (QTERecord *record));
TSAPI(void, QTESetRecord, (const Rect *destRect, const Rect *viewRect, short maxLineWidth, const char *text,
                           long length, const QTETextStyle *style, short justification, short spacing,
                           Boolean ignored, long angle, Boolean autoView, long gridPitch, long gridOrigin,
                           Handle stylHandle, Handle paraScrapHandle, short verticalJust, short layoutFlags,
                           QTEScaleProc scaleProc, long scaleRef, QTERecord *record));
/* Replaces the whole text (at most 64000 bytes); text may point into the record's own text. */
TSAPI(void, QTEReplace, (const char *text, long length, Handle stylHandle, Handle paraScrapHandle,
                         QTERecord *record));
TSAPI(Handle, QTEGetText, (QTERecord *record));       /* sized to the text */
TSAPI(Handle, QTEGetTextHandle, (QTERecord *record)); /* may be longer than the text */
TSAPI(long, QTEGetTextLen, (QTERecord *record));
TSAPI(Boolean, QTEHasData, (QTERecord *record));

/* Character styles. */
TSAPI(void, QTESetStyle, (short mode, const QTETextStyle *style, QTERecord *record));
TSAPI(void, QTEGetStyle, (long offset, QTETextStyle *style, QTERecord *record));
TSAPI(Boolean, QTEContinuousStyle, (short *mode, QTETextStyle *style, QTERecord *record));
TSAPI(void, QTEClearXStyle, (Handle stylHandle));

/* Callbacks and flags. */
TSAPI(void, QTESetErrorProc, (QTEErrorProc proc, QTERecord *record));
TSAPI(QTEErrorProc, QTEGetErrorProc, (QTERecord *record));
TSAPI(void, QTESetBotLmtProc, (QTEBotLmtProc proc, QTERecord *record));
TSAPI(void, QTESetScrollProc, (QTEScrollProc proc, QTERecord *record));
TSAPI(void, QTESetCntrlProc, (QTECntrlProc proc, QTERecord *record));
TSAPI(void, QTESetUpdateRulerProc, (QTEUpdateRulerProc proc, QTERecord *record));
TSAPI(void, QTESetClickProc, (QTEClickLoopProc proc, Boolean useDefault, QTERecord *record));
TSAPI(Boolean, QTEClickProc, (void));
TSAPI(unsigned long, QTEAutoView, (Boolean on, QTERecord *record));
TSAPI(unsigned long, QTESmartQuotes, (Boolean on, QTERecord *record));
TSAPI(unsigned long, QTESetEditDraw, (Boolean on, QTERecord *record));
TSAPI(unsigned long, QTESetStandardColor, (Boolean on, QTERecord *record));
TSAPI(Boolean, QTESetCalcAlways, (Boolean on, QTERecord *record)); /* the previous state */
TSAPI(Boolean, QTEGetEditDraw, (QTERecord *record));
TSAPI(Boolean, QTEGetStandardColor, (QTERecord *record));
TSAPI(Boolean, QTEIsSelected, (QTERecord *record));

/* Paragraph formats of the selected paragraphs. */
TSAPI(void, QTESetParaStyle, (short mode, const ParaStyle *style, QTERecord *record));
TSAPI(void, QTESetJust, (short just, QTERecord *record));
TSAPI(short, QTEGetJust, (QTERecord *record));    /* -2 when the paragraphs differ */
TSAPI(short, QTEGetSpacing, (QTERecord *record)); /* 0 single, 1 double, -1 other, -2 mixed */
TSAPI(Boolean, QTEContinuousParaStyle, (short *mode, ParaStyle *style, QTERecord *record));
TSAPI(Boolean, QTEHasCustomMargin, (QTERecord *record));

/* The spacing block is a ParaStyle's fields from leftIndent to units (28 bytes). which: 0 line
 * spacing, 1 space before, 2 space after. */
TSAPI(Fixed, QTEGetSpacingInfo, (short which, Boolean convert, short *unit, void *spacingBlock));
TSAPI(void, QTESetSpacingInfo, (Fixed value, short which, short unit, void *spacingBlock));
TSAPI(short, QTEAdjustSpaceLeading, (void *spacingBlock, short lineHeight));
TSAPI(Fixed, ConvertToPixels, (Fixed value, short unit, Fixed resolution));

/* Tab stops and ParaStyle values. Indexes outside the stops change nothing (-1). */
TSAPI(short, QTEAddTab, (const QTETab *tab, ParaStyle *style));
TSAPI(void, QTERemoveTab, (short index, ParaStyle *style));
TSAPI(short, QTEReplaceTab, (short index, const QTETab *tab, ParaStyle *style));
TSAPI(Boolean, QTEEqualParaStyle, (const ParaStyle *a, const ParaStyle *b));
TSAPI(Boolean, QTEIsDefaultParaStyle, (const ParaStyle *style, short just, short spacing));
TSAPI(void, QTEZoomParaStyle, (QTEScaleProc scaleProc, long scaleRef, ParaStyle *style));
TSAPI(void, QTESwapParaStyle, (ParaStyle *style));

/* ParaScrap handles: a count, a total of tab stops, then entries of 34 + 12 x tabs bytes. */
TSAPI(void, QTEZoomParaScrap, (QTEScaleProc scaleProc, long scaleRef, Handle paraScrap));
TSAPI(Boolean, QTEParaScrapToParaStyle, (Handle paraScrap, ParaStyle *style));
TSAPI(Boolean, QTEParaScrapFromParaStyle, (Handle paraScrap, const ParaStyle *style));
TSAPI(Boolean, QTEIsDefaultParaScrap, (Handle paraScrap, short just, short spacing));
TSAPI(Boolean, QTEIsEqualParaScrap, (Handle paraScrap, const ParaStyle *style, short *mode));
/* direction non-zero: the scrap is big-endian and becomes machine order; 0: the reverse. */
TSAPI(void, QTESwapParaScrap, (Handle paraScrap, short direction));

/* Drawing, selection and scrolling. The record draws into its measuring port, in the port's
 * local coordinates, only while drawing is enabled (QTESetEditDraw); otherwise the calls
 * change the data only. The caret and highlight are drawn by exclusive-or, and the record
 * knows what of them is on the screen: a host that erases part of the field redraws it with
 * QTEUpdate or QTEDraw, which puts them back. */
TSAPI(void, QTEActivate, (QTERecord *record));
TSAPI(void, QTEDeactivate, (Boolean keepHighlight, QTERecord *record));
TSAPI(void, QTEIdle, (QTERecord *record)); /* blinks the caret */
/* Redraws the part of the bounds inside the port's update region (call between BeginUpdate
 * and EndUpdate). */
TSAPI(void, QTEUpdate, (QTERecord *record));
/* Redraws the lines meeting rect (the view when null). */
TSAPI(void, QTEDraw, (const Rect *rect, Boolean hideSelection, QTERecord *record));
/* Both ends are clamped to the text; reversed ends are put in order. */
TSAPI(void, QTESetSelect, (long start, long end, QTERecord *record));
TSAPI(long, QTEGetSelStart, (QTERecord *record));
TSAPI(long, QTEGetSelEnd, (QTERecord *record));
TSAPI(void, QTEGetSelRange, (long *start, long *end, QTERecord *record));
/* A mouse-down at point (local). extend: shift held (bits 0-7). Counts repeated clicks at
 * one offset within the double-click time (2 word, 3 line, 4 paragraph, 5 all) and tracks
 * the mouse while the button stays down. */
TSAPI(void, QTEClick, (Point point, short extend, QTERecord *record));
TSAPI(Boolean, QTEIsPtInSelection, (Point point, QTERecord *record));
/* The highlight region (the record's; do not dispose of it), null for an empty selection. */
TSAPI(RgnHandle, QTEGetSelectionRgn, (QTERecord *record));
/* Scrolls the destination by (dh, dv) under the view, pixels moved and the uncovered part
 * redrawn; QTEPinScroll first limits the distance so that the text keeps covering the view. */
TSAPI(void, QTEScroll, (long dh, long dv, QTERecord *record));
TSAPI(void, QTEPinScroll, (long dh, long dv, QTERecord *record));
/* Scrolls the selection into view and calls the scroll callback. */
TSAPI(void, QTESelView, (Boolean wholeWidth, QTERecord *record));
/* Moves every rectangle by (dh, dv) without drawing, for a host that moved the pixels. */
TSAPI(void, QTEOffsetView, (long dh, long dv, QTERecord *record));
TSAPI(void, QTESetViewRect, (const Rect *rect, QTERecord *record));
TSAPI(void, QTEGetViewRect, (Rect *rect, QTERecord *record));
TSAPI(void, QTESetDestRect, (const Rect *rect, QTERecord *record));
TSAPI(void, QTEGetDestRect, (Rect *rect, QTERecord *record)); /* saturated to 16 bits */
TSAPI(void, QTEGetDVRects, (Rect *dest, Rect *view, QTERecord *record));
TSAPI(void, QTEGetBounds, (Rect *rect, QTERecord *record));
/* Border, background (pattern 1 white, 2 black, others from the pattern list), margins around
 * the view (left, top, right, bottom) and whether clicks outside the view go to the control
 * callback; then redraws. */
TSAPI(void, QTESetInfo, (short patternIndex, const RGBColor *backColour, const short *margins, short border,
                         Boolean outsideClicks, QTERecord *record));
TSAPI(void, QTESetBkColor, (const RGBColor *colour, QTERecord *record));
TSAPI(void, QTEGetBkColor, (RGBColor *colour, QTERecord *record));
TSAPI(void, QTESetVertJust, (short just, QTERecord *record));
TSAPI(short, QTEGetVertJust, (QTERecord *record));
/* Lays out with the given flags and fits destination and view to the text; the view bottom
 * stays at most 32767. */
TSAPI(void, QTERecalBounds, (Boolean fitWidth, Boolean fitHeight, Boolean noWrap, Boolean bottomLimit,
                             QTERecord *record));
/* The baseline of a line (clamped to the lines), in local coordinates from the destination top. */
TSAPI(long, QTEGetBaseline, (long line, QTERecord *record));

/* Drag feedback: the drag caret follows the offset under the point. */
TSAPI(void, QTEDragEnter, (Point point, QTERecord *record));
TSAPI(void, QTEDragWithin, (Point point, QTERecord *record));
TSAPI(void, QTEDragLeave, (QTERecord *record));
TSAPI(void, QTEDoShowDragCaret, (QTERecord *record));
TSAPI(void, QTEDoHideDragCaret, (QTERecord *record));
TSAPI(long, QTEDoGetDragPosition, (QTERecord *record)); /* -1 when no drag is in progress */

/* Editing. Key codes are Mac characters (8 backspace, 27 clear, 28-31 arrows, 127 forward
 * delete); modifiers 0x0100 command, 0x0200 shift, 0x0800 option. With batch non-zero,
 * characters typed ahead are taken from the thread's message queue into the same insertion.
 * A failed insertion (too long, no memory) leaves text and selection as they were and
 * reaches the error callback. */
TSAPI(void, QTEKey, (short key, short modifiers, Boolean batch, QTERecord *record));
/* Inserts at the selection, replacing it (or the whole text with replaceAll); stylHandle is
 * an optional "styl" item for the inserted bytes. */
TSAPI(void, QTEInsert, (const char *text, long length, Handle stylHandle, Boolean replaceAll, QTERecord *record));
TSAPI(void, QTEDelete, (Boolean all, QTERecord *record));
/* Clipboard, through the Scrap Manager's context given to ML_QTEInit: "TEXT" (which other
 * programs get as CF_TEXT, rendered by the context window), "styl" and "xSTY". With an empty
 * selection the clipboard is left alone. False when the clipboard refused. */
TSAPI(Boolean, QTECopy, (QTERecord *record));
TSAPI(Boolean, QTECut, (QTERecord *record));
/* Pastes the clipboard's "TEXT" over the selection; with useStyles its "styl", and style over
 * it when a "TSST" item says so. A busy clipboard changes nothing. */
TSAPI(void, QTEStylPaste, (const QTETextStyle *style, Boolean useStyles, QTERecord *record));
/* Copies [start, end) (clamped, put in order) into each non-null handle: bytes, "styl",
 * ParaScrap. False when a handle cannot be resized. */
TSAPI(Boolean, QTECopyData, (QTERecord *record, long start, long end, Handle textHandle, Handle stylHandle,
                             Handle paraScrapHandle));
/* Inserts dropped text at the drag position (move: the selection is removed first); only
 * while a drag position is set. A move onto its own selection changes nothing. */
TSAPI(void, QTEDrop, (const char *text, long length, Handle stylHandle, Boolean drawFlag, Boolean move,
                      QTERecord *record));
/* True when the text at the selection is a URL of a known scheme; its bytes go into handle. */
TSAPI(Boolean, QTEGetURLText, (QTERecord *record, Handle handle));

#endif
