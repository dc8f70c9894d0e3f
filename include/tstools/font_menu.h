/* Font menu settings, the font sample cache and the font menu dialog.
 *
 * The font settings are a section of the settings profile named by the host's string 2070:
 * each face name is a key, "1" when the face is shown in font menus; the key of string 15204
 * reads "0" when font menus show no samples, the key of string 15205 "1" when there are no
 * samples and no sample cache at all.
 *
 * A sample is the face's name drawn in the face at a character height of 12 pixels, black on
 * white, exactly as wide as the text and as high as the font: a 24-byte bitmap header (32-bit
 * type, width, height and bytes per row; 16-bit planes and bits per pixel, both 1; 4 bytes
 * unused) followed by height x bytes-per-row bytes of bits, rows from the top, each row padded
 * to 16 bits as CreateBitmap reads it. Samples are kept in a cache file (the host's strings
 * 15500 and 15501 name it) in the Vantor directory, the host program's folder or elsewhere. */
#ifndef TSTOOLS_FONT_MENU_H
#define TSTOOLS_FONT_MENU_H

#include <tstools/menus.h>

/* Reads key from the font settings into buffer (size bytes, terminator included), defaultValue
 * when it is missing. True when something was read; otherwise (no such section string, no
 * value and no default, a null argument) the buffer is emptied and the result is false. */
TSAPI(Boolean, GetFontProfileString, (LPCSTR key, LPCSTR defaultValue, LPSTR buffer, short size));

/* Stores value under key in the font settings; true when written. */
TSAPI(Boolean, WriteFontProfileString, (LPCSTR key, LPCSTR value));

/* Forgets the sample cache's index and frees every sample in memory, then brings the cache up
 * to date (UpdateFontFile(false)). The Menu Manager calls it when it starts. */
TSAPI(void, InitFontFile, (void));

/* Brings the sample cache up to date with the installed faces of the default printer and the
 * screen: loads each face's sample from the file, drawing and storing the missing ones. Does
 * nothing when samples are off (the key of 15205 reads "1", or unless force, the key of 15204
 * reads "0"). A cache file that is damaged, or was left open by a crash, is deleted and made
 * anew; a read-only one is used for reading only. A face that cannot be drawn has no sample. */
TSAPI(void, UpdateFontFile, (Boolean force));

/* The sample of face (a C string, Windows encoding, at most 31 characters): the first index
 * entry of that name (TrueType before device fonts before the rest), read from the file again
 * when it is not in memory. Returns its local memory handle locked once more (LocalUnlock it
 * when done) and stores the address of its header in *sample; 0 (and *sample null) when the
 * face has no sample. */
TSAPI(HLOCAL, GetFontBitmap, (LPCSTR face, void **sample));

/* True when face has an index entry whose sample is in memory. */
TSAPI(Boolean, FontBitmapExists, (LPCSTR face));

/* Runs the font menu dialog ("FONTMENUDLG" of the host's resource module) for a font menu of
 * the menu bar, owned by the bar's frame window: the user chooses the faces the menu shows and
 * switches samples on or off. OK rebuilds the menu and writes the choices to the font
 * settings. A menu not in a bar, or not a font menu, does nothing. */
TSAPI(void, DoFontMenuDialog, (MenuHandle menu));

/* The font menu dialog's procedure (DLGPROC). */
TSAPI(INT_PTR, FontMenuDlgProc, (HWND dialog, UINT message, WPARAM wParam, LPARAM lParam));

#endif
