// The demo's sounds, clipboard and movie bridge: a tone made as a 'snd ' resource, played
// (or "no device") and turned into a WAVE file and back; Mac text and a picture copied with
// delayed rendering and pasted back; what XQTInitialize reports. Drawn in the fourth
// document and saved as sound.png; the WAVE is written beside it.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "demo/demo.h"
#include "tstools/tstools.h"

namespace {

ScrapRecord *scrap = nullptr;
std::vector<std::string> lines;  // Mac Roman, one per line of the document
PicHandle pasted = nullptr;

OSType Type(const char *four) {
  OSType type;
  std::memcpy(&type, four, 4);
  return type;
}

void Line(const char *format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  lines.emplace_back(text);
  std::printf("%s\n", text);
}

// Half a second of a 440 Hz tone at 11025 samples per second, as a format 1 'snd ' resource:
// the sampled-sound synthesizer, one bufferCmd pointing at the header that follows.
Handle MakeTone() {
  const unsigned rate = 11025, count = rate / 2;
  std::vector<unsigned char> snd = {0, 1, 0, 1, 0, 5, 0, 0, 0, 0x80, 0, 1, 0x80, 0x51, 0, 0, 0, 0, 0, 20};
  auto be32 = [&](unsigned long v) {
    for (int shift = 24; shift >= 0; shift -= 8) snd.push_back(static_cast<unsigned char>(v >> shift));
  };
  be32(0);                                  // samples follow the header
  be32(count);                              // length
  be32(static_cast<unsigned long>(rate) << 16);  // 16.16 rate
  be32(0), be32(0);                         // no loop
  snd.push_back(0), snd.push_back(60);      // standard header, middle C
  for (unsigned i = 0; i < count; ++i) {
    double fade = i < count - 400 ? 1.0 : (count - i) / 400.0;
    snd.push_back(static_cast<unsigned char>(128 + 90 * fade * std::sin(i * 2 * 3.14159265 * 440 / rate)));
  }
  Handle h = nullptr;
  PtrToHand(snd.data(), &h, Size(snd.size()));
  return h;
}

void ShowSound(HWND owner) {
  short caps = WinSoundInit();
  Line("WinSoundInit: %d (output %s, input %s)", caps, caps & 4 ? "yes" : "no", caps & 2 ? "yes" : "no");
  Handle tone = MakeTone();
  if (!tone) return;
  // Without a device ML_SndPlay would say so in a box over the visible document.
  if (caps & 4) {
    OSErr played = ML_SndPlay(owner, tone, 0);
    Line("ML_SndPlay of a 440 Hz tone: %d%s", played, played == noErr ? " (played to the end)" : "");
  } else {
    Line("ML_SndPlay of a 440 Hz tone: not tried, no waveform output device (it would give -200)");
  }
  HGLOBAL wave = nullptr;
  MemSetHandleLock(tone, 1);
  OSErr made = ML_SndToWave(owner, *tone, 0, &wave);
  MemSetHandleLock(tone, -1);
  if (made != noErr || !wave) {
    Line("ML_SndToWave: %d", made);
  } else {
    SIZE_T size = GlobalSize(wave);
    const void *bytes = GlobalLock(wave);
    std::string path = std::string(TSTOOLS_DEMO_DIR) + "/demo-tone.wav";
    if (FILE *f = std::fopen(path.c_str(), "wb")) {
      std::fwrite(bytes, 1, size, f);
      std::fclose(f);
    }
    Handle back = nullptr;
    MemNewHandle(&back, 0, 0);
    OSErr again = back ? ML_WaveToSnd(bytes, long(size), back) : memFullErr;
    Size toneSize = 0, backSize = 0;
    MemGetHandleSize(tone, &toneSize);
    if (back) MemGetHandleSize(back, &backSize);
    bool same = again == noErr && toneSize == backSize && std::memcmp(*tone, *back, toneSize) == 0;
    Line("ML_SndToWave: %lu-byte WAVE (demo-tone.wav); ML_WaveToSnd back: %d, %s", static_cast<unsigned long>(size),
         again, same ? "the same 'snd ' byte for byte" : "different");
    GlobalUnlock(wave);
    GlobalFree(wave);
    if (back) MemDisposeHandle(back);
  }
  MemDisposeHandle(tone);
}

void ShowClipboard(HMODULE resources) {
  if (!scrap) return;
  // "Café, naïve" and a second line, in Mac Roman with a carriage return.
  const char text[] = "Caf\x8E, na\x95ve\rsecond line";
  ML_ZeroScrap(scrap);
  OSErr put = ML_PutScrapTEXT(scrap, long(sizeof text - 1), text);
  Handle back = nullptr;
  MemNewHandle(&back, 0, 0);
  long offset = 0;
  long length = back ? ML_GetScrap(scrap, back, Type("TEXT"), &offset) : memFullErr;
  bool same = length == long(sizeof text - 1) && std::memcmp(*back, text, sizeof text - 1) == 0;
  Line("ML_PutScrapTEXT: %d; ML_GetScrap(\"TEXT\"): %ld bytes, %s", put, length,
       same ? "the same Mac text" : "different");
  std::string windowsText;
  if (OpenClipboard(nullptr)) {
    if (HANDLE h = GetClipboardData(CF_TEXT)) {
      windowsText = static_cast<const char *>(GlobalLock(h));
      GlobalUnlock(h);
    }
    CloseClipboard();
  }
  // Shown with its Windows bytes spelled out: drawn as Mac text they would be other letters.
  std::string shown;
  for (unsigned char c : windowsText) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "<%02X>", c);
    shown += c == '\r' ? std::string("<CR>") : c == '\n' ? std::string("<LF>") : c < 0x80 ? std::string(1, char(c)) : hex;
  }
  Line("CF_TEXT rendered for other programs (cp1252): \"%s\"", shown.c_str());
  if (back) MemDisposeHandle(back);

  PicHandle picture = ML_GetPicture(resources, TSRES_PICT_SAMPLE);
  if (!picture) return;
  ML_ZeroScrap(scrap);
  put = ML_PutScrapPICT(scrap, picture);
  MemNewHandle(&pasted, 0, 0);
  length = pasted ? ML_GetScrap(scrap, pasted, Type("PICT"), &offset) : memFullErr;
  Size size = 0;
  MemGetHandleSize(picture, &size);
  same = length == size && std::memcmp(*picture, *pasted, size) == 0;
  Boolean prefixed = 0;
  UINT formats[3] = {CF_METAFILEPICT, CF_BITMAP, ML_MapMacToWinType(Type("PICT"), &prefixed)};
  int offered = 0;
  for (UINT f : formats) offered += IsClipboardFormatAvailable(f) ? 1 : 0;
  Line("ML_PutScrapPICT: %d, %d of 3 formats offered; pasted \"PICT\": %ld bytes, %s", put, offered, length,
       same ? "the same picture" : "different");
  if (!same && pasted) MemDisposeHandle(pasted), pasted = nullptr;
  MemDisposeHandle(picture);
}

void ShowMovies() {
  long version = 0;
  short result = XQTInitialize(&version);
  Line("XQTInitialize: %d%s", result,
       result == 1 ? " (the movie library is not installed: every movie call fails cleanly)" : "");
  if (result == 0) Line("movie library version: 0x%lx", version);
  XQTTerminate();
}

}  // namespace

bool FrameClipboardMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!scrap || window != scrap->window) return false;
  switch (message) {
    case WM_RENDERFORMAT: ML_RenderMsg(scrap, UINT(wParam), 0); return true;
    case WM_RENDERALLFORMATS: ML_RenderAllMsg(scrap, 0, 0); return true;
    case WM_DESTROYCLIPBOARD: ML_DestroyClipMsg(scrap); return true;
    case WM_DRAWCLIPBOARD: ML_DrawClipMsg(scrap, wParam, lParam); return true;
    case WM_CHANGECBCHAIN: ML_ChangeChainMsg(scrap, wParam, lParam); return true;
  }
  return false;
}

void PrepareSoundAndClipboard(HWND frame, HWND document, HMODULE resources) {
  ML_InitWinScrap(&scrap, frame, 0);
  ShowSound(document);
  ShowClipboard(resources);
  ShowMovies();
}

void DrawSoundDocument(GrafPtr port) {
  Rect all;
  GetPortRect(port, &all);
  ML_EraseRect(port, &all);
  short v = 24;
  ML_TextSize(port, 12);
  for (const std::string &line : lines) {
    unsigned char s[256];
    s[0] = static_cast<unsigned char>(line.size() > 255 ? 255 : line.size());
    std::memcpy(s + 1, line.data(), s[0]);
    ML_MoveTo(port, 12, v);
    ML_DrawString(port, s);
    v = short(v + 20);
  }
  if (pasted) {
    Rect cell{12, short(v + 4), 212, short(v + 154)};
    ML_DrawPicture(port, pasted, &cell);
    ML_FrameRect(port, &cell);
    const unsigned char caption[] = "\x0E" "Pasted picture";
    ML_MoveTo(port, 224, short(v + 20));
    ML_DrawString(port, caption);
  }
}

void DisposeSoundAndClipboard() {
  if (pasted) MemDisposeHandle(pasted), pasted = nullptr;
  if (scrap) {
    // The clipboard keeps what we announced: render it before the owner goes.
    if (GetClipboardOwner() == scrap->window) ML_RenderAllMsg(scrap, 0, 0);
    ML_StopWinScrap(scrap);
    scrap = nullptr;
  }
}
