// Interim: font download and document list exports until their glue lands.
#include "tstools/app_files.h"
#include "tstools/ps_fonts.h"

Boolean __stdcall DownloadFont(ConstStr255Param, FontPieceProc) { return 0; }
short __stdcall ML_GetNextDSC(ConstStr255Param, short *, StringPtr) { return 0; }
void __stdcall ML_CountAppFiles(short *, short *, const char *) {}
void __stdcall ML_GetAppFiles(short, AppFileRecord *, const char *) {}
