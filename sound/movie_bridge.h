// The movie library bound at run time: its two modules, their entry points and references,
// and the way every X wrapper reaches them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "sound/movie_rules.h"

namespace tstools {

// Each module's "_EntryPoint": routine word, argument count, argument words.
using MovieEntryPoint = intptr_t(WINAPI *)(unsigned long routine, unsigned long count, const intptr_t *words);

struct MovieModule {
  HMODULE handle = nullptr;
  MovieEntryPoint entry = nullptr;  // null: calls go to the loader stub
  int references = 0;
};

struct MovieBridgeState {
  bool loadAttempted = false;
  bool moviesStarted = false;  // routine 57 made, so routine 58 is owed
  MovieModule movies;          // QTIM32.DLL
  MovieModule components;      // CMGR32.DLL
  short lastResult = 1;        // of the last XQTInitialize; 1: not initialised

  // Frees the modules still held and forgets everything.
  void Reset();
};

extern MovieBridgeState movieBridgeState;

// What a call into the movie library gave; reached is false when nothing was called.
struct MovieCallResult {
  intptr_t value;
  bool reached;
};

// Loads and starts the movie library (XQTInitialize); 0, 1 or 2, remembered.
short LoadMovieLibrary(long *version);
// Drops one reference of each module, stopping and freeing the ones that reach zero.
void ReleaseMovieLibrary();
// Calls the routine through its module's entry, loading the library first when that was
// never attempted; otherwise, with no entry, reaches nothing.
MovieCallResult CallMovieLibrary(MovieRoutines set, uint32_t selector, unsigned long count, const intptr_t *words);

}  // namespace tstools
