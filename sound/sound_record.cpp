// ML_SndRecord: the recording dialog.
#include <windows.h>

#include "tstools/sound.h"

// Interim: the dialog lands in the next change.
OSErr WINAPI ML_SndRecord(HWND window, Handle *sound) { return noHardwareErr; }
