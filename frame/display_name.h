// File paths shortened for menus (recent-file lists): the home directory's files by name alone,
// others as "C:\dir\...\sub\name.txt", and every "&" doubled so that the menu shows it.
#pragma once

#include <cstddef>

#include "frame/profile_paths.h"

namespace tstools {

constexpr size_t kDisplayPathCapacity = 261;  // bytes of the host's path buffer, terminator included
constexpr size_t kMenuTextCapacity = 255;     // bytes DoubleUpAmpersandsInPlace writes at most, terminator included

// The system's display title of a file name (the name itself, or without its extension when the
// user hides extensions): writes at most capacity - 1 bytes and a terminator into title and
// returns the title's length, or 0 when the system has none (the name itself is then shown).
using FileTitleFunction = size_t (*)(const char *name, char *title, size_t capacity);

// Doubles every "&" of text in place, the result cut after 254 characters even inside a pair.
// Reads at most 254 characters; text must have room for 255 bytes. Returns the new length.
size_t DoubleUpAmpersandsInPlace(char *text);

struct DisplayNameRequest {
  long maxLength = 0;             // characters the shortened path may take
  const char *homeDir = nullptr;  // directory part (with its final separator) shown as nothing
  long homeDirLength = -1;
  bool keepName = false;          // a name longer than maxLength: show it alone, or leave the path
  FileTitleFunction fileTitle = nullptr;
  LeadBytePredicate isLeadByte = nullptr;  // the trail byte of a double-byte character is no separator
};

// Rewrites path (read up to 260 characters, written at most 255 bytes) for a menu:
// - its directory part (up to the last "\", "/" or ":") equal to the home directory, ignoring
//   case: the name's title alone;
// - else the path with the name's title, when it fits in maxLength;
// - else, when the title alone is longer than maxLength: the title alone if keepName, else the
//   path unshortened;
// - else the head (the drive and first directory, just the drive for "C:\name", or
//   "\\server\share") + "\..." + as many trailing directories as fit + "\" + title; the title
//   alone when even one directory does not fit or the path has no such head.
// Then every "&" is doubled. Returns the new length.
size_t ShortenDisplayNameInPlace(char *path, const DisplayNameRequest &request);

}  // namespace tstools
