/* Settings profile: the host's settings by section and key, stored under
 * HKEY_CURRENT_USER\Software\Vantor Corp.\ (section "Vantor") or ...\Tessaly Pro\<section>
 * (the host's own section, string 10000, gets " 3.0" appended), and in VANTOR.INI in the
 * Windows directory under Win32s. Lengths exclude the terminating zero. */
#ifndef TSTOOLS_SETTINGS_H
#define TSTOOLS_SETTINGS_H

#include <tstools/types.h>

/* Reads a string into buffer (size bytes) and returns its length. A value that does not fit
 * counts as missing: then default is copied (cut to the buffer, always terminated) and its
 * length returned, or 0 with a null default. size 0 asks for the bytes the value needs,
 * terminator included, and writes nothing. A null key lists the section's key names, each
 * followed by a zero, then a final zero (at most 2048 bytes, and never beyond size); the
 * result is the list's length without the final zero. */
TSAPI(long, ML_GetVantorProfileString, (LPCSTR section, LPCSTR key, LPCSTR defaultValue,
                                        LPSTR buffer, long size));

/* The same; a value read successfully is then emptied (read-once settings). Under Win32s a
 * plain read. */
TSAPI(long, ML_GetVantorProfileStringClear, (LPCSTR section, LPCSTR key, LPCSTR defaultValue,
                                             LPSTR buffer, long size));

/* Bytes the value needs, terminator included; 0 when absent (and always under Win32s). */
TSAPI(long, ML_GetVantorProfileStringSize, (LPCSTR section, LPCSTR key));

/* The 32-bit number stored under key, or defaultValue when it is missing or not a number. */
TSAPI(long, GetVantorProfileInt, (LPCSTR section, LPCSTR key, long defaultValue));

/* Stores a string, creating the section if needed; returns the bytes written including the
 * terminator, 0 on failure (Win32s: the private profile write's result). */
TSAPI(long, ML_WriteVantorProfileString, (LPCSTR section, LPCSTR key, LPCSTR value));

/* Appends " " + value to a non-empty stored string, or stores value; returns as the write.
 * Under Win32s a plain write. */
TSAPI(long, ML_AppendVantorProfileString, (LPCSTR section, LPCSTR key, LPCSTR value));

/* Stores a 32-bit number; returns 4, or 0 on failure (Win32s: written as decimal text). */
TSAPI(long, ML_WriteVantorProfileInt, (LPCSTR section, LPCSTR key, long value));

/* Copies the shared data directory (260 bytes at most, terminator included) into dst: the
 * "Vantor Directory" setting when set, else the first existing "Vantor" directory in the
 * Windows directory, at the root of its drive or beside the host program, else the host
 * program's directory. False only when the Win32s profile file cannot be made. */
TSAPI(Boolean, GetVantorDir, (char *dst));

/* Cuts path at its last backslash (double-byte aware); without one, path becomes "". */
TSAPI(void, StripFileName, (char *path));

#endif
