// The scrap record and the clipboard viewer chain.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "scrap/scrap_types.h"
#include "tstools/scrap.h"

namespace {

constexpr unsigned char kScrapName[] = "\x0B" "DEFAULT.CLP";
constexpr long kScrapSize = 512;

void RegisterLibraryFormats() {
  for (std::string_view name : tstools::scrap::kRegisteredNames)
    RegisterClipboardFormatA(std::string(name).c_str());
}

}  // namespace

OSErr WINAPI ML_InitWinScrap(ScrapRecord **scrap, HWND window, LONG_PTR hostValue) {
  RegisterLibraryFormats();
  auto *record = static_cast<ScrapRecord *>(std::calloc(1, sizeof(ScrapRecord)));
  if (scrap) *scrap = record;
  if (!record) return memFullErr;
  record->window = window;
  record->hostValue = hostValue;
  record->info.scrapSize = kScrapSize;
  std::memcpy(record->name, kScrapName, sizeof kScrapName);
  record->info.scrapName = record->name;
  if (!scrap) {
    // Nowhere to hand the record: joining the chain would leave it there for good.
    std::free(record);
    return paramErr;
  }
  // Joining sends WM_DRAWCLIPBOARD at once; the host already holds the record by then.
  if (window) record->nextViewer = SetClipboardViewer(window);
  return noErr;
}

void WINAPI ML_StopWinScrap(ScrapRecord *scrap) {
  if (!scrap) return;
  if (scrap->window) ChangeClipboardChain(scrap->window, scrap->nextViewer);
  std::free(scrap);
}

ScrapStuff *WINAPI ML_InfoScrap(ScrapRecord *scrap) { return scrap ? &scrap->info : nullptr; }

long WINAPI ML_LoadScrap(ScrapRecord *) { return noErr; }
long WINAPI ML_UnloadScrap(ScrapRecord *) { return noErr; }

void WINAPI ML_DrawClipMsg(ScrapRecord *scrap, WPARAM wParam, LPARAM lParam) {
  if (!scrap) return;
  if (scrap->nextViewer) SendMessageA(scrap->nextViewer, WM_DRAWCLIPBOARD, wParam, lParam);
  ++scrap->info.scrapCount;
}

void WINAPI ML_ChangeChainMsg(ScrapRecord *scrap, WPARAM wParam, LPARAM lParam) {
  if (!scrap) return;
  if (reinterpret_cast<HWND>(wParam) == scrap->nextViewer)
    scrap->nextViewer = reinterpret_cast<HWND>(lParam);
  else if (scrap->nextViewer)
    SendMessageA(scrap->nextViewer, WM_CHANGECBCHAIN, wParam, lParam);
}
