/* Movies and picture files through the movie library (QTIM32.DLL and its component manager
 * CMGR32.DLL), bound at run time: the library loads and works without them, and every X
 * wrapper then fails with kMovieLibraryMissing instead of the process failing to start.
 *
 * Host side. Call XQTInitialize once at start-up and XQTTerminate at the end. The wrappers
 * take the movie library's own arguments and return its result; a wrapper whose result is a
 * handle returns NULL when the movie library is missing, one with a value result returns
 * kMovieLibraryMissing. Rectangles are the library's Rect (left, top, right, bottom shorts)
 * and points its Point; the bridge converts them to what the movie library takes.
 *
 * Module side: how calls reach the movie library. Both modules export "_EntryPoint",
 *     intptr_t WINAPI EntryPoint(unsigned long routine, unsigned long count, const intptr_t *words);
 * routine is the 16-bit routine selector in the low word and the module's routine set in the
 * high word (0: QTIM32.DLL movie and picture routines; 1: CMGR32.DLL movie controller
 * routines). words holds count pointer-sized argument words in prototype order: integers
 * widened as C converts them (signed ones sign-extended), pointers and handles as they are,
 * a Rect as the address of a RECT of four 32-bit fields in the same order, a Point as two
 * words h then v. The result comes back pointer-sized; value results are read from its low
 * 32 bits. CMGR32.DLL also exports "_CMgrInitialize" (long WINAPI (void), 0 on success) and
 * "_CMgrTerminate" (void WINAPI (void)). QTIM32.DLL gets routine 57 after it is first loaded
 * and routine 58 before it is released. */
#ifndef TSTOOLS_MOVIES_H
#define TSTOOLS_MOVIES_H

#include <stdint.h>

#include <tstools/types.h>

/* Returned by a value-returning wrapper when the movie library is not available. */
#define kMovieLibraryMissing ((long)0x80008001L)

/* XQTInitialize results. */
enum { movieLibraryReady = 0, movieLibraryNotFound = 1, movieLibraryUnusable = 2 };

/* The movie library's objects: opaque here, made and read only by it. */
typedef struct MovieRecord *Movie;
typedef struct MovieControllerRecord *MovieController;
typedef struct TrackRecord *Track;
typedef struct UserDataRecord *UserData;
typedef struct TimeBaseRecord *TimeBase;
typedef struct MoviePictureRecord *MoviePicHandle; /* the movie library's pictures, not PICT handles */
typedef struct PictureFileRecord *PicFile;
typedef long TimeValue;
typedef long TimeScale;
typedef long ComponentResult;
/* A time in a time scale, filled by the movie library; the host only allocates it. */
typedef struct TimeRecord {
  long valueHigh;
  unsigned long valueLow;
  TimeScale scale;
  TimeBase base;
} TimeRecord;
/* Procedures the host hands to the movie library; called with its arguments, unchanged. */
typedef void *MovieProcPtr;

/* Loads both modules (once per process; later calls add a reference) and initialises them.
 * 0 on success, with the movie library's product version packed into *version (may be NULL;
 * 0 when it cannot be read); 1 when a module cannot be loaded; 2 when a module lacks its
 * entry point or the component manager fails to start. The result is remembered. */
TSAPI(short, XQTInitialize, (long *version));
/* Releases what the last successful XQTInitialize took, once; does nothing otherwise. Later
 * wrapper calls fail until XQTInitialize is called again. */
TSAPI(void, XQTTerminate, (void));

/* Movie toolbox and picture files (QTIM32.DLL). */
TSAPI(void, XAddTime, (TimeRecord *destination, const TimeRecord *source));
TSAPI(void, XClearMoviesStickyError, (void));
TSAPI(long, XCloseMovieFile, (short resRefNum));
TSAPI(long, XQTClosePictureFile, (PicFile file));
TSAPI(void, XConvertTimeScale, (TimeRecord *time, TimeScale newScale));
TSAPI(long, XCountUserDataType, (UserData userData, OSType type));
TSAPI(long, XDeleteMovieFile, (const char *path));
TSAPI(void, XDisposeMovie, (Movie movie));
TSAPI(long, XDisposePicture, (MoviePicHandle picture));
TSAPI(long, XQTDrawPicture, (HDC dc, MoviePicHandle picture, const Rect *bounds, MovieProcPtr dibProc));
TSAPI(long, XQTDrawPictureFile, (HDC dc, PicFile file, const Rect *bounds, MovieProcPtr dibProc));
TSAPI(long, XEnterMovies, (void));
TSAPI(void, XExitMovies, (void));
TSAPI(long, XGetMovieActive, (Movie movie));
TSAPI(void, XGetMovieActiveSegment, (Movie movie, TimeValue *startTime, TimeValue *duration));
TSAPI(void, XGetMovieBox, (Movie movie, Rect *box)); /* box comes back in the same field order */
TSAPI(long, XGetMovieCreationTime, (Movie movie));
TSAPI(long, XGetMovieDataSize, (Movie movie, TimeValue startTime, TimeValue duration));
TSAPI(long, XGetMovieDuration, (Movie movie));
TSAPI(long, XGetMovieModificationTime, (Movie movie));
TSAPI(MoviePicHandle, XGetMoviePict, (Movie movie, TimeValue time));
TSAPI(MoviePicHandle, XGetMoviePosterPict, (Movie movie));
TSAPI(long, XGetMoviePosterTime, (Movie movie));
TSAPI(long, XGetMoviePreferredRate, (Movie movie)); /* Fixed */
TSAPI(long, XGetMoviePreferredVolume, (Movie movie)); /* the 16-bit volume, sign-extended */
TSAPI(long, XGetMoviesStickyError, (void));
TSAPI(long, XGetMovieStatus, (Movie movie, Track *firstProblemTrack));
TSAPI(long, XGetMovieTimeScale, (Movie movie));
TSAPI(UserData, XGetMovieUserData, (Movie movie));
TSAPI(long, XGetNextUserDataType, (UserData userData, OSType type));
TSAPI(long, XGetPictureFileHeader, (PicFile file, Rect *frame, void *header)); /* frame comes back */
TSAPI(long, XGetPictureFileInfo, (PicFile file, void *description));
TSAPI(MoviePicHandle, XGetPictureFromFile, (PicFile file));
TSAPI(long, XGetPictureInfo, (MoviePicHandle picture, void *description));
TSAPI(HPALETTE, XGetPicturePalette, (MoviePicHandle picture));
TSAPI(long, XGetSoundInfo, (Movie movie, void *description));
TSAPI(long, XGetUserData, (UserData userData, Handle data, OSType type, long index));
TSAPI(long, XGetUserDataText, (UserData userData, Handle data, OSType type, long index, short regionTag));
TSAPI(long, XGetVideoInfo, (Movie movie, void *description));
/* *resId is read and written back; *dataRefWasChanged (may be NULL) is written when given. */
TSAPI(long, XNewMovieFromFile, (Movie *movie, short resRefNum, short *resId, StringPtr resName, short flags,
                                Boolean *dataRefWasChanged));
TSAPI(void, XNormalizeRect, (Rect *rect)); /* rect comes back */
TSAPI(long, XOpenMovieFile, (const char *path, short *resRefNum, short permission));
TSAPI(long, XQTOpenPictureFile, (const char *path, PicFile *file, unsigned mode));
TSAPI(HANDLE, XPictureToDIB, (MoviePicHandle picture));
TSAPI(long, XPrerollMovie, (Movie movie, TimeValue time, Fixed rate));
TSAPI(long, XPtInMovie, (Movie movie, Point point));
TSAPI(void, XSetMovieActive, (Movie movie, Boolean active));
TSAPI(void, XSetMovieBox, (Movie movie, const Rect *box)); /* passed on as it is */
TSAPI(void, XSetMovieCoverProcs, (Movie movie, MovieProcPtr uncoverProc, MovieProcPtr coverProc, long refCon));
TSAPI(void, XSubtractTime, (TimeRecord *destination, const TimeRecord *source));
TSAPI(long, XUpdateMovie, (Movie movie));
TSAPI(long, XGetMovieTime, (Movie movie, TimeRecord *currentTime));
TSAPI(void, XDisposeMovieController, (MovieController controller));
TSAPI(MovieController, XNewMovieController, (Movie movie, const Rect *movieRect, long flags));
TSAPI(long, XGetMoviesError, (void));

/* Movie controllers (CMGR32.DLL). */
TSAPI(long, XMCActivate, (MovieController controller, HWND window, Boolean activate));
TSAPI(long, XMCDoAction, (MovieController controller, short action, void *params));
TSAPI(long, XMCDraw, (MovieController controller, HWND window));
TSAPI(long, XMCDrawBadge, (MovieController controller, HRGN movieRgn, HRGN *badgeRgn));
TSAPI(long, XMCGetControllerBoundsRect, (MovieController controller, Rect *bounds)); /* bounds comes back */
TSAPI(long, XMCGetControllerInfo, (MovieController controller, long *flags));
TSAPI(long, XMCGetCurrentTime, (MovieController controller, TimeScale *scale));
TSAPI(Movie, XMCGetMovie, (MovieController controller));
TSAPI(long, XMCGetVisible, (MovieController controller));
TSAPI(long, XMCIdle, (MovieController controller));
TSAPI(long, XMCIsControllerAttached, (MovieController controller));
TSAPI(long, XMCIsPlayerMessage, (MovieController controller, HWND window, UINT message, WPARAM wParam, LPARAM lParam));
TSAPI(long, XMCKey, (MovieController controller, char key, long modifiers));
TSAPI(long, XMCNewAttachedController, (MovieController controller, Movie movie, HWND window, Point where));
TSAPI(long, XMCPositionController, (MovieController controller, const Rect *movieRect, const Rect *controllerRect,
                                    long flags));
TSAPI(long, XMCRemoveMovie, (MovieController controller));
TSAPI(long, XMCSetActionFilter, (MovieController controller, MovieProcPtr filter));
TSAPI(long, XMCSetControllerAttached, (MovieController controller, Boolean attach));
TSAPI(long, XMCSetControllerBoundsRect, (MovieController controller, const Rect *bounds)); /* passed on as it is */
TSAPI(long, XMCSetMovie, (MovieController controller, Movie movie, HWND window, Point where));
TSAPI(long, XMCSetVisible, (MovieController controller, Boolean visible));

/* Opens the URL (length bytes of text, not NUL-terminated) with the shell's "open" verb;
 * true when the shell started something. False for a null text or a length outside
 * 1..32767. */
TSAPI(Boolean, XOpenURL, (const char *text, long length));

#endif
