// Interim: Standard File exports until the dialog glue lands.
#include "tstools/standard_file.h"

void __stdcall ML_StdFile(short, HINSTANCE, HWND, ConstStr255Param, ConstStr255Param, SFFileFilterProc, short,
                          const char *, SFHookProc, SFReply *reply, short) {
  if (reply) reply->good = 0;
}
UINT_PTR __stdcall ML_SFHook(HWND, UINT, WPARAM, LPARAM) { return 0; }
void __stdcall ML_SFGetFilterText(HINSTANCE, const char *, short, StringPtr out) {
  if (out) out[0] = 0;
}
short __stdcall SFCheckNewFile(HWND) { return 0; }
