/*
 * Identifiers of the resources TSTOOLS.DLL loads from the host's resource
 * module (the instance passed to SetTSToolsResourceInstance, or the module
 * handed to the call that uses the item).
 *
 * Plain C preprocessor definitions only: this file is included by the
 * resource script of TSHOSTRES.DLL (windres) as well as by C and C++ code.
 *
 * Custom resource type names cannot be spelled through a macro in a resource
 * script (windres wants a bare identifier there), so the .rc file writes them
 * literally; the TSRES_TYPE_* strings below are for C and C++ callers.
 */
#ifndef TSTOOLS_HOST_RESOURCE_IDS_H
#define TSTOOLS_HOST_RESOURCE_IDS_H

/* ---- String table ------------------------------------------------------ */

#define TSRES_STR_FONT_MENU_SECTION      2070  /* settings section of the per-face font menu choices */
#define TSRES_STR_BOLD_SIZE_SECTION      2071  /* settings section of the per-face minimum bold sizes */
#define TSRES_STR_PREFERENCES_SECTION    2075  /* settings section holding "Printer", "Character Mapping" and "Sound" */
#define TSRES_STR_BOLD_SIZE_DEFAULT_KEY  2079  /* key read when a face has no minimum bold size of its own */
#define TSRES_STR_HOST_SECTION           10000 /* host's own settings section (registry key gets " 3.0"); caption of sound errors; under 64 chars */
#define TSRES_STR_SHORTCUT_PREFIX        15000 /* put before a command character to form a menu shortcut text */
#define TSRES_STR_FILE_REJECTED          15003 /* message when the host's file filter rejects the chosen file */
#define TSRES_STR_SOUND_ERROR            15100 /* any other multimedia error */
#define TSRES_STR_SOUND_UNSUPPORTED      15101 /* a 'snd ' resource the library cannot play or convert */
#define TSRES_STR_WAVE_UNSUPPORTED       15102 /* a WAVE image the library cannot convert */
#define TSRES_STR_SOUND_DEVICE_BUSY      15103 /* the waveform device is already allocated */
#define TSRES_STR_SOUND_BAD_FORMAT       15104 /* the device does not take the sound's format */
#define TSRES_STR_SOUND_NO_DEVICE        15105 /* no usable waveform device or driver */
#define TSRES_STR_SOUND_NO_MEMORY        15106 /* out of memory while playing or recording */
#define TSRES_STR_FONTDLG_REMOVE         15200 /* font menu dialog's move button caption while the chosen list has the focus */
#define TSRES_STR_FONTDLG_ADD            15201 /* the same button's caption while the list of all faces has the focus */
#define TSRES_STR_FONT_MENU_CHOOSE       15202 /* extra entry at the top of a font menu, opens the font menu dialog */
#define TSRES_STR_FONT_SAMPLE_PROGRESS   15203 /* start-up progress text, followed by the face being drawn */
#define TSRES_STR_FONT_SAMPLES_KEY       15204 /* font settings key: "1" when font menus show samples */
#define TSRES_STR_FONT_NO_SAMPLES_KEY    15205 /* font settings key: "1" turns samples and their cache off */
#define TSRES_STR_FONT_CACHE_LONG_NAME   15500 /* long file name of the font sample cache */
#define TSRES_STR_FONT_CACHE_SHORT_NAME  15501 /* 8.3 file name of the font sample cache (at most 12 chars) */

/* Standard File: the template argument the host passes doubles as the string
   id of the dialog's title when the host gives no prompt. */
#define TSRES_SFILE_TEMPLATE_OPEN           4000 /* open an existing file (title string; selects dialog 4010) */
#define TSRES_SFILE_TEMPLATE_OPEN_OR_CREATE 4002 /* open, offering to create a missing file (title; dialog 4010) */
#define TSRES_SFILE_TEMPLATE_SAVE           4005 /* save under a new name (title; dialog 4011) */
#define TSRES_SFILE_TEMPLATE_EXPORT         5037 /* export a copy (title; dialog 4012) */

/* ---- Dialog templates and their controls ------------------------------- */

/* Font menu dialog (named resource). */
#define TSRES_DLG_FONT_MENU_NAME         "FONTMENUDLG"
#define TSRES_FONTDLG_ALL_LIST           7    /* owner-drawn list of every font item of the menu */
#define TSRES_FONTDLG_CHOSEN_LIST        8    /* owner-drawn list of the faces shown in the menu */
#define TSRES_FONTDLG_SAMPLES_CHECK      9    /* check box: show faces as samples */
#define TSRES_FONTDLG_CHOSEN_TWIN        10   /* hidden twin of list 8, swapped in while the list is rebuilt */
#define TSRES_FONTDLG_MOVE               11   /* moves the selected face to the other list */

/* Sound recording dialog (named resource). */
#define TSRES_DLG_RECORD_NAME            "RECORDDLG"
#define TSRES_RECDLG_RECORD              101  /* start or resume recording */
#define TSRES_RECDLG_STOP                102  /* stop recording or playback */
#define TSRES_RECDLG_PAUSE               103  /* pause or resume */
#define TSRES_RECDLG_PLAY                104  /* play what was recorded */
#define TSRES_RECDLG_ELAPSED             105  /* static text: elapsed time */
#define TSRES_RECDLG_MAXIMUM             106  /* static text: maximum recording time */
#define TSRES_RECDLG_PROGRESS            107  /* progress bar: share of the capacity used */
#define TSRES_RECDLG_LEVEL               108  /* static the input level image is drawn into */

/* Explorer-style child templates of the Standard File dialogs; each holds the
   placeholder control (stc32 of <dlgs.h>) for the common dialog's controls. */
#define TSRES_DLG_SFILE_DEFAULT          4009 /* any other template argument */
#define TSRES_DLG_SFILE_OPEN             4010 /* template arguments 4000 and 4002 */
#define TSRES_DLG_SFILE_SAVE             4011 /* template argument 4005 */
#define TSRES_DLG_SFILE_EXPORT           4012 /* template argument 5037 */
#define TSRES_SFILE_NOTE                 4100 /* static text below the common controls, for the host's hook */

/* ---- Bitmaps (image strips, magenta 0xFF00FF is transparent) ------------ */

#define TSRES_BMP_RECORD_BUTTONS         101  /* recording dialog buttons: record, stop, pause, play */
#define TSRES_BMP_RECORD_BUTTONS_WIDTH   22   /* width of one image in bitmap 101 */
#define TSRES_BMP_LEVEL_METER            102  /* recording level meter, levels 0 to 4 */
#define TSRES_BMP_LEVEL_METER_WIDTH      18   /* width of one image in bitmap 102 */
#define TSRES_BMP_CHECK_IMAGES           200  /* check box images 0-4 (normal, checked, pushed, pushed+checked, inactive), then radio buttons 5-9 in the same order */
#define TSRES_BMP_CHECK_IMAGES_WIDTH     14   /* width of one image in bitmap 200 */
#define TSRES_BMP_CHECK_RADIO_FIRST      5    /* index of the first radio button image in bitmap 200 */

/* ---- Icons, cursors, pictures, lists ----------------------------------- */

#define TSRES_ICON_HOST                  128  /* host document icon (ids 0 to 2 name system icons) */
#define TSRES_CURSOR_TARGET              128  /* cross-hair in a ring (ids 1 to 4 name system cursors) */
#define TSRES_PICT_SAMPLE                128  /* "PICT": small version 2 picture */
#define TSRES_PAT_LIST_SAMPLE            128  /* pattern list id; its resource is RCDATA named "PAT#128" */
#define TSRES_PAT_LIST_SAMPLE_NAME       "PAT#128"
#define TSRES_STR_LIST_MESSAGES          128  /* "STR_LIST": indexed host messages */
#define TSRES_MENU_FILE                  128  /* "MAC_MENU" and "MENU_STR_" of the File menu */
#define TSRES_MENU_EDIT                  129  /* "MAC_MENU" and "MENU_STR_" of the Edit menu */
#define TSRES_CONV_LOWER                 1    /* "CONV": byte -> lower-case form, 0 when it has none */
#define TSRES_CONV_UPPER                 2    /* "CONV": byte -> upper-case form, 0 when it has none */
#define TSRES_CONV_CHAR_TYPE             3    /* "CONV": 256 type indexes, then the type bytes */
#define TSRES_SMQT_QUOTES                1    /* "SMQT": straight, left, right single; straight, left, right double */
#define TSRES_TEMPLATE_PROFILE           1    /* "TEMPLATE": zero-terminated initial text of a new profile file */
#define TSRES_FILTER_TEXT                1    /* "FILTER_LIST": text documents */
#define TSRES_FILTER_PICTURES            2    /* "FILTER_LIST": pictures */

#ifndef RC_INVOKED
/* Type names of the raw resources, as FindResource takes them. */
#define TSRES_TYPE_MAC_MENU              "MAC_MENU"
#define TSRES_TYPE_MENU_STR              "MENU_STR_"
#define TSRES_TYPE_STR_LIST              "STR_LIST"
#define TSRES_TYPE_PICT                  "PICT"
#define TSRES_TYPE_CONV                  "CONV"
#define TSRES_TYPE_SMQT                  "SMQT"
#define TSRES_TYPE_TEMPLATE              "TEMPLATE"
#define TSRES_TYPE_FILTER_LIST           "FILTER_LIST"
#endif

#endif /* TSTOOLS_HOST_RESOURCE_IDS_H */
