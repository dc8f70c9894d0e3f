/* Recorded pictures and the metafile conversions. A picture recorded between ML_OpenPicture
 * and ML_ClosePicture is a Windows metafile carried in a PicMeta handle; ML_DrawMetaFile
 * draws it. The conversions move pictures between PICT data, PicMeta handles, METAFILEPICT
 * blocks (global memory), MetaFlat handles and device bitmaps. */
#ifndef TSTOOLS_PICTURE_RECORD_H
#define TSTOOLS_PICTURE_RECORD_H

#include <tstools/picture.h>

/* A recorded picture: the block of the handle ML_OpenPicture returns, native byte order.
 * mm .. hMF are a METAFILEPICT's fields. The frame and extents describe the picture at 72
 * units per inch. */
#pragma pack(push, 1)
typedef struct PicMeta {
  short size;          /*   0 338 when written by ML_MetaToPicMeta */
  Rect frame;          /*   2 left, top, right, bottom */
  short unitsPerInch;  /*  10 of the mapping mode the picture was made in */
  short tag;           /*  12 19020 when written by ML_MetaToPicMeta */
  LONG mm;             /*  14 mapping mode, 8 (MM_ANISOTROPIC) */
  LONG xExt;           /*  18 frame width in hundredths of a millimetre */
  LONG yExt;           /*  22 frame height likewise */
  HMETAFILE hMF;       /*  26 the metafile; (HMETAFILE)-5 while still recording */
  GrafPort savedPort;  /*  30 the port as it was before recording began */
} PicMeta;             /* 338 bytes on i686 */

/* The header of a MetaFlat handle; the metafile's bits (GetMetaFileBitsEx) follow it. */
typedef struct MetaFlat {
  short left, top, right, bottom; /*  0 frame in points, left and top 0 */
  short unitsPerInch;             /*  8 */
  short tag;                      /* 10 19020 */
  LONG mm;                        /* 12 */
  LONG xExt;                      /* 16 */
  LONG yExt;                      /* 20 */
} MetaFlat;                       /* 24 bytes */
#pragma pack(pop)

#define kPicMetaRecording ((HMETAFILE)(LONG_PTR)-5)

#ifdef __cplusplus
#include <stddef.h>
static_assert(offsetof(PicMeta, mm) == 14 && offsetof(PicMeta, hMF) == 26, "PicMeta METAFILEPICT fields");
static_assert(offsetof(PicMeta, savedPort) == (sizeof(void *) == 4 ? 30 : 34), "PicMeta port");
static_assert(sizeof(PicMeta) == (sizeof(void *) == 4 ? 338 : 398), "PicMeta size");
static_assert(sizeof(MetaFlat) == 24, "MetaFlat size");
#endif

/* Starts recording the port's drawing into a metafile and returns the picture's handle
 * (locked until ML_KillPicture), or NULL when memory or GDI objects run short; the port is
 * then unchanged. While recording, the port draws into the metafile and measures text and
 * clips on a memory bitmap of the frame's size; its picture field holds -5. */
TSAPI(PicHandle, ML_OpenPicture, (GrafPtr port, const Rect *frame));
/* Turns the port into a recording one: saves the port record into saveArea (when not
 * NULL), makes the metafile DC and the frame-sized attribute DC, and carries the port's
 * drawing state over. Returns 1, or 0 with everything it made deleted and the port as it
 * was. Refuses a port that is already recording. */
TSAPI(BOOL, MakeMetaFile, (GrafPtr port, void *saveArea, const Rect *frame, HDC referenceDC));
/* Ends the recording of picture on port: the metafile goes into the picture and into the
 * port's picture field, and the port draws on its own device again with the state it had
 * before ML_OpenPicture. Ignored unless picture is the one port is recording (a NULL handle
 * too). A picture whose metafile could not be finished gets an empty frame. */
TSAPI(void, ML_ClosePicture, (GrafPtr port, PicHandle picture));
/* Closes the picture if it is still recording, deletes the metafile the recording made
 * (once; a metafile the caller put into a PicMeta is left alone), then unlocks and disposes
 * of the handle. A NULL or disposed handle is ignored. */
TSAPI(void, ML_KillPicture, (GrafPtr port, PicHandle picture));
/* Picture comments: 182 (line width: on a printer port, data holding the words 1, 1 draws
 * lines with the pen's size, anything else with device-pixel pens) and 192 (PostScript:
 * dataSize bytes of data, at most what the handle holds, sent to the port's device as a
 * pass-through escape). Others are ignored. */
TSAPI(void, ML_PicComment, (GrafPtr port, short kind, short dataSize, Handle data));
/* Draws a recorded picture (the locked PicMeta block) scaled onto destination. Into a port
 * that is itself recording, the picture is nested in place, or embedded as a bitmap when its
 * scaled extents do not fit 16 bits. Records that would reach beyond the playback (palette,
 * clip, restores of the caller's saves) are skipped. Returns 0, or -108 when the bitmap
 * could not be made; an empty destination or port draws nothing. */
TSAPI(OSErr, ML_DrawMetaFile, (GrafPtr port, const PicMeta *picture, const Rect *destination));

/* Conversions. Results are 0 or -108 (memory, DC, bitmap or metafile not had); out-
 * parameters are then 0, and a PICT handle gets size 0. METAFILEPICT blocks are global
 * memory with mm 8 (MM_ANISOTROPIC) and extents in hundredths of a millimetre. */
/* Records the PICT's playback into a new metafile (frame size at 72 per inch). */
TSAPI(OSErr, ML_PictToMeta, (const PictConvContext *context, PicHandle picture, HGLOBAL *meta));
/* Plays the PICT into a new white bitmap of its frame's size, compatible with the context
 * window's DC (the screen's when the window is 0). */
TSAPI(OSErr, ML_PictToBitmap, (const PictConvContext *context, PicHandle picture, HBITMAP *bitmap));
/* Renders the metafile into a new white bitmap of the size its mapping mode and extents give
 * (in points). */
TSAPI(OSErr, ML_MetaToBitmap, (const PictConvContext *context, const METAFILEPICT *meta, HBITMAP *bitmap));
/* Renders the metafile at up to 300 per inch (150, then 72 when memory runs short) and
 * writes the bitmap as PICT into picture, which plays at the metafile's size. */
TSAPI(OSErr, ML_MetaToPict, (const PictConvContext *context, const METAFILEPICT *meta, PicHandle picture));
/* Resizes handle to a 338-byte PicMeta holding the metafile (a copy of it when copy is
 * set). reserved is ignored. */
TSAPI(OSErr, ML_MetaToPicMeta, (long reserved, const METAFILEPICT *meta, Handle handle, Boolean copy));
/* A new METAFILEPICT from a PicMeta block (the locked handle's *picture; with a copy of the
 * metafile when copy is set). A picture still recording gives -108. */
TSAPI(OSErr, ML_PicMetaToMeta, (long reserved, const void *picMeta, HGLOBAL *meta, Boolean copy));
/* Resizes handle to a MetaFlat: the 24-byte header and the metafile's bits. */
TSAPI(OSErr, ML_MetaToMetaFlat, (long reserved, const METAFILEPICT *meta, Handle handle));
/* A new METAFILEPICT with the mapping mode and extents of a MetaFlat block (the header at
 * its start) and the metafile given (which the block then owns). */
TSAPI(OSErr, ML_MetaFlatToMeta, (long reserved, const void *metaFlat, HMETAFILE metafile, HGLOBAL *meta));

#endif
