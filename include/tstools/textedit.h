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

#endif
