// The settings profile as the rest of the library uses it (the exports are declared in
// tstools/settings.h).
#pragma once

#include <windows.h>

#include <string>

namespace tstools {

// String resource id of the host's resource module (at most maxChars characters), "" when it
// is missing or no module is set.
std::string LoadHostString(UINT id, int maxChars = 255);

// ML_GetVantorProfileString (with clear, ...Clear) without the export's guard: running out of
// memory throws, so that the calling export can tell it from a missing value.
long ProfileRead(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer, long size, bool clear);

// ProfileRead into a string of at most maxChars characters.
std::string ReadProfileString(const std::string &section, const char *key, const char *def, int maxChars);

// The Vantor directory into dst (capacity bytes, at least 1); false only when the Win32s
// profile file cannot be prepared.
bool GetVantorDirectory(char *dst, size_t capacity);

// True when the last character of text is the single-byte character c.
bool EndsWithByte(const char *text, char c);

// Existence tests on the file system.
bool DirectoryExists(const char *path);
bool FileExists(const char *path);

// Allocation of the append's scratch buffer.
char *NewScratch(size_t bytes);
void DisposeScratch(char *p);

}  // namespace tstools
