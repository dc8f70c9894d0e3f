// The table of the X wrappers, read by movie_wrappers.cpp with MOVIE_CALL defined; no guard.
// Every X wrapper in one table:
//   MOVIE_CALL(result, conversion, name, routine set, selector, (parameters), (argument words))
// conversion: Same passes the result on; Short16 sign-extends its low 16 bits. The words may
// use RectIn/RectInOut (a Rect widened for the call, narrowed back after it) and InOut (a
// local copy written back when the host gave one).

#define M MovieRoutines::movies
MOVIE_CALL(void, Same, XAddTime, M, 0, (TimeRecord *destination, const TimeRecord *source), (destination, source))
MOVIE_CALL(void, Same, XClearMoviesStickyError, M, 1, (void), ())
MOVIE_CALL(long, Same, XCloseMovieFile, M, 2, (short resRefNum), (resRefNum))
MOVIE_CALL(long, Same, XQTClosePictureFile, M, 3, (PicFile file), (file))
MOVIE_CALL(void, Same, XConvertTimeScale, M, 4, (TimeRecord *time, TimeScale newScale), (time, newScale))
MOVIE_CALL(long, Same, XCountUserDataType, M, 5, (UserData userData, OSType type), (userData, type))
MOVIE_CALL(long, Same, XDeleteMovieFile, M, 6, (const char *path), (path))
MOVIE_CALL(void, Same, XDisposeMovie, M, 7, (Movie movie), (movie))
MOVIE_CALL(long, Same, XDisposePicture, M, 8, (MoviePicHandle picture), (picture))
MOVIE_CALL(long, Same, XQTDrawPicture, M, 9, (HDC dc, MoviePicHandle picture, const Rect *bounds, MovieProcPtr dibProc),
           (dc, picture, RectIn(bounds).get(), dibProc))
MOVIE_CALL(long, Same, XQTDrawPictureFile, M, 10, (HDC dc, PicFile file, const Rect *bounds, MovieProcPtr dibProc),
           (dc, file, RectIn(bounds).get(), dibProc))
MOVIE_CALL(long, Same, XEnterMovies, M, 11, (void), ())
MOVIE_CALL(void, Same, XExitMovies, M, 12, (void), ())
MOVIE_CALL(long, Same, XGetMovieActive, M, 13, (Movie movie), (movie))
MOVIE_CALL(void, Same, XGetMovieActiveSegment, M, 14, (Movie movie, TimeValue *startTime, TimeValue *duration),
           (movie, startTime, duration))
MOVIE_CALL(void, Same, XGetMovieBox, M, 15, (Movie movie, Rect *box), (movie, RectInOut(box).get()))
MOVIE_CALL(long, Same, XGetMovieCreationTime, M, 16, (Movie movie), (movie))
MOVIE_CALL(long, Same, XGetMovieDataSize, M, 17, (Movie movie, TimeValue startTime, TimeValue duration),
           (movie, startTime, duration))
MOVIE_CALL(long, Same, XGetMovieDuration, M, 18, (Movie movie), (movie))
MOVIE_CALL(long, Same, XGetMovieModificationTime, M, 19, (Movie movie), (movie))
MOVIE_CALL(MoviePicHandle, Same, XGetMoviePict, M, 20, (Movie movie, TimeValue time), (movie, time))
MOVIE_CALL(MoviePicHandle, Same, XGetMoviePosterPict, M, 21, (Movie movie), (movie))
MOVIE_CALL(long, Same, XGetMoviePosterTime, M, 22, (Movie movie), (movie))
MOVIE_CALL(long, Same, XGetMoviePreferredRate, M, 23, (Movie movie), (movie))
MOVIE_CALL(long, Short16, XGetMoviePreferredVolume, M, 24, (Movie movie), (movie))
MOVIE_CALL(long, Same, XGetMoviesStickyError, M, 26, (void), ())
MOVIE_CALL(long, Same, XGetMovieStatus, M, 27, (Movie movie, Track *firstProblemTrack), (movie, firstProblemTrack))
MOVIE_CALL(long, Same, XGetMovieTimeScale, M, 28, (Movie movie), (movie))
MOVIE_CALL(UserData, Same, XGetMovieUserData, M, 29, (Movie movie), (movie))
MOVIE_CALL(long, Same, XGetNextUserDataType, M, 30, (UserData userData, OSType type), (userData, type))
MOVIE_CALL(long, Same, XGetPictureFileHeader, M, 31, (PicFile file, Rect *frame, void *header),
           (file, RectInOut(frame).get(), header))
MOVIE_CALL(long, Same, XGetPictureFileInfo, M, 32, (PicFile file, void *description), (file, description))
MOVIE_CALL(MoviePicHandle, Same, XGetPictureFromFile, M, 33, (PicFile file), (file))
MOVIE_CALL(long, Same, XGetPictureInfo, M, 34, (MoviePicHandle picture, void *description), (picture, description))
MOVIE_CALL(HPALETTE, Same, XGetPicturePalette, M, 35, (MoviePicHandle picture), (picture))
MOVIE_CALL(long, Same, XGetSoundInfo, M, 36, (Movie movie, void *description), (movie, description))
MOVIE_CALL(long, Same, XGetUserData, M, 37, (UserData userData, Handle data, OSType type, long index),
           (userData, data, type, index))
MOVIE_CALL(long, Same, XGetUserDataText, M, 38,
           (UserData userData, Handle data, OSType type, long index, short regionTag),
           (userData, data, type, index, regionTag))
MOVIE_CALL(long, Same, XGetVideoInfo, M, 39, (Movie movie, void *description), (movie, description))
MOVIE_CALL(long, Same, XNewMovieFromFile, M, 42,
           (Movie *movie, short resRefNum, short *resId, StringPtr resName, short flags, Boolean *dataRefWasChanged),
           (movie, resRefNum, InOut<short>(resId).get(), resName, flags, InOut<Boolean>(dataRefWasChanged).get()))
MOVIE_CALL(void, Same, XNormalizeRect, M, 43, (Rect *rect), (RectInOut(rect).get()))
MOVIE_CALL(long, Same, XOpenMovieFile, M, 44, (const char *path, short *resRefNum, short permission),
           (path, resRefNum, permission))
MOVIE_CALL(long, Same, XQTOpenPictureFile, M, 45, (const char *path, PicFile *file, unsigned mode), (path, file, mode))
MOVIE_CALL(HANDLE, Same, XPictureToDIB, M, 46, (MoviePicHandle picture), (picture))
MOVIE_CALL(long, Same, XPrerollMovie, M, 47, (Movie movie, TimeValue time, Fixed rate), (movie, time, rate))
MOVIE_CALL(long, Same, XPtInMovie, M, 48, (Movie movie, Point point), (movie, point.h, point.v))
MOVIE_CALL(void, Same, XSetMovieActive, M, 49, (Movie movie, Boolean active), (movie, active))
MOVIE_CALL(void, Same, XSetMovieBox, M, 50, (Movie movie, const Rect *box), (movie, box))
MOVIE_CALL(void, Same, XSetMovieCoverProcs, M, 51,
           (Movie movie, MovieProcPtr uncoverProc, MovieProcPtr coverProc, long refCon),
           (movie, uncoverProc, coverProc, refCon))
MOVIE_CALL(void, Same, XSubtractTime, M, 52, (TimeRecord *destination, const TimeRecord *source), (destination, source))
MOVIE_CALL(long, Same, XUpdateMovie, M, 53, (Movie movie), (movie))
MOVIE_CALL(long, Same, XGetMovieTime, M, 54, (Movie movie, TimeRecord *currentTime), (movie, currentTime))
MOVIE_CALL(void, Same, XDisposeMovieController, M, 55, (MovieController controller), (controller))
MOVIE_CALL(MovieController, Same, XNewMovieController, M, 56, (Movie movie, const Rect *movieRect, long flags),
           (movie, movieRect, flags))
MOVIE_CALL(long, Same, XGetMoviesError, M, 94, (void), ())
#undef M

#define C MovieRoutines::controllers
MOVIE_CALL(long, Same, XMCActivate, C, 0, (MovieController controller, HWND window, Boolean activate),
           (controller, window, activate))
MOVIE_CALL(long, Same, XMCDoAction, C, 1, (MovieController controller, short action, void *params),
           (controller, action, params))
MOVIE_CALL(long, Same, XMCDraw, C, 2, (MovieController controller, HWND window), (controller, window))
MOVIE_CALL(long, Same, XMCDrawBadge, C, 3, (MovieController controller, HRGN movieRgn, HRGN *badgeRgn),
           (controller, movieRgn, badgeRgn))
MOVIE_CALL(long, Same, XMCGetControllerBoundsRect, C, 4, (MovieController controller, Rect *bounds),
           (controller, RectInOut(bounds).get()))
MOVIE_CALL(long, Same, XMCGetControllerInfo, C, 5, (MovieController controller, long *flags), (controller, flags))
MOVIE_CALL(long, Same, XMCGetCurrentTime, C, 6, (MovieController controller, TimeScale *scale), (controller, scale))
MOVIE_CALL(Movie, Same, XMCGetMovie, C, 7, (MovieController controller), (controller))
MOVIE_CALL(long, Same, XMCGetVisible, C, 8, (MovieController controller), (controller))
MOVIE_CALL(long, Same, XMCIdle, C, 9, (MovieController controller), (controller))
MOVIE_CALL(long, Same, XMCIsControllerAttached, C, 10, (MovieController controller), (controller))
MOVIE_CALL(long, Same, XMCIsPlayerMessage, C, 11,
           (MovieController controller, HWND window, UINT message, WPARAM wParam, LPARAM lParam),
           (controller, window, message, wParam, lParam))
MOVIE_CALL(long, Same, XMCKey, C, 12, (MovieController controller, char key, long modifiers),
           (controller, key, modifiers))
MOVIE_CALL(long, Same, XMCNewAttachedController, C, 13, (MovieController controller, Movie movie, HWND window, Point where),
           (controller, movie, window, where.h, where.v))
MOVIE_CALL(long, Same, XMCPositionController, C, 14,
           (MovieController controller, const Rect *movieRect, const Rect *controllerRect, long flags),
           (controller, RectIn(movieRect).get(), RectIn(controllerRect).get(), flags))
MOVIE_CALL(long, Same, XMCRemoveMovie, C, 15, (MovieController controller), (controller))
MOVIE_CALL(long, Same, XMCSetActionFilter, C, 16, (MovieController controller, MovieProcPtr filter), (controller, filter))
MOVIE_CALL(long, Same, XMCSetControllerAttached, C, 17, (MovieController controller, Boolean attach),
           (controller, attach))
MOVIE_CALL(long, Same, XMCSetControllerBoundsRect, C, 18, (MovieController controller, const Rect *bounds),
           (controller, bounds))
MOVIE_CALL(long, Same, XMCSetMovie, C, 19, (MovieController controller, Movie movie, HWND window, Point where),
           (controller, movie, window, where.h, where.v))
MOVIE_CALL(long, Same, XMCSetVisible, C, 20, (MovieController controller, Boolean visible), (controller, visible))
#undef C
