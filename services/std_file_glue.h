// The running Standard File dialog as the setup, the hook and SFCheckNewFile share it.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

#include "services/filter_list.h"
#include "tstools/standard_file.h"

namespace tstools::services {

// One zero-filled local memory block per ML_StdFile call (plain data only: LocalAlloc'd).
struct DialogBlock {
  OPENFILENAMEA request;  // its lStructSize is the 4.0 record size of this build
  SFHookProc hostHook;
  SFFileFilterProc fileFilter;
  const FilterList *filters;
  HWND owner;        // holds the "SFProp" property while the dialog runs
  HWND hookWindow;   // the window the hook is called for (the Explorer dialog's child)
  HWND dialog;       // the dialog window itself
  HWND fileList;     // the older dialog's file list, subclassed to filter it
  WNDPROC fileListProc;
  WNDPROC dialogProc;  // the Explorer dialog, subclassed to see OK before it does
  BOOL explorer;
  BOOL replaceConfirmed;
  BOOL inHostHook;  // a host hook that chains to ML_SFHook must not be called back
  DWORD requestedFlags;  // the request's flags before a confirmed replace relaxed them
  char fileName[260];
  char fileTitle[260];
  char title[256];
  char extension[FilterList::kMaxExtension + 1];
};

// Process-wide: the dialog that runs now, if any.
struct StdFileState {
  DialogBlock *current = nullptr;
  void Reset() { *this = StdFileState(); }
};
StdFileState &StdFile();

constexpr char kBlockProperty[] = "SFProp";

// The block of the running dialog when window is its dialog, its hook window or its owner.
DialogBlock *BlockFor(HWND window);

// The filter list the host names: its text by address, or a "FILTER_LIST" resource of module.
FilterList LoadFilterList(HINSTANCE module, const char *filterList);
// The module the host's templates and strings are looked up in.
HINSTANCE ResourceModule(HINSTANCE module);

// Mac <-> Windows conversion of the names the dialog shows and returns.
void ToMac(uint8_t *text, size_t length);
void ToWindows(uint8_t *text, size_t length);
bool IsLead(uint8_t byte);

// The OK step: the default extension appended to a plain typed name.
void ApplyDefaultExtension(DialogBlock &block);
// The current filter's extension into the block (and into the running Explorer dialog).
void UpdateDefaultExtension(DialogBlock &block);

}  // namespace tstools::services
