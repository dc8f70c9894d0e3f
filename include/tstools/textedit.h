/* The styled text engine: an editable block of Mac text with character style runs and
 * paragraph formats, laid out in a destination rectangle and shown through a view rectangle.
 * A record is opaque; every call takes it last. Offsets are 32-bit; a record holds at most
 * 64000 bytes and 3200 lines. */
#ifndef TSTOOLS_TEXTEDIT_H
#define TSTOOLS_TEXTEDIT_H

#include <tstools/grafport.h>

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

#endif
