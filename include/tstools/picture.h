/* Pictures: playing a PICT (version 1 or 2) into a port. */
#ifndef TSTOOLS_PICTURE_H
#define TSTOOLS_PICTURE_H

#include <tstools/grafport.h>

/* A handle holding a PICT: picSize (16 bits), picFrame (top, left, bottom, right), then the
 * opcodes, all big-endian. */
typedef Handle PicHandle;

/* Called for every two-colour bit image of a picture: the colours (each byte repeated in
 * both halves of a component) and the transfer mode may be changed in place. */
typedef void(CALLBACK *PictColorProcPtr)(RGBColor *foreground, RGBColor *background, short *mode);
/* Supplies the next byteCount bytes of picture data (at most 16,383 per call) in place of
 * the handle's data after picSize and picFrame. */
typedef void(CALLBACK *GetPicProcPtr)(void *dataPtr, short byteCount);

/* The procedure record a port may point to (GrafPort.grafProcs). SetStdProcs clears the
 * first three entries. */
typedef struct QDProcs {
  PictColorProcPtr colorProc;
  GetPicProcPtr getPicProc;
  void *reserved; /* the put-picture entry; never called */
} QDProcs;

/* Plays the picture into the port, mapping its frame onto destination. The port's record
 * (pen, colours, text settings, clip) is exactly as before afterwards; the handle is locked
 * for the call. Drawing starts at the picture's first non-empty clip region. A picture
 * whose data ends early or lies about a length draws what came before the fault. A call
 * made while another playback runs (from one of its hooks) draws nothing. */
/* What the picture conversions draw with: the window whose DC compatible bitmaps are made
 * for, and a palette selected and realised there while converting (0 for none). */
typedef struct PictConvContext {
  HWND window;
  HPALETTE palette;
} PictConvContext;

TSAPI(void, ML_DrawPicture, (GrafPtr port, PicHandle picture, const Rect *destination));

#endif
