// Playback through the wave mapper: WinSoundInit, ML_SndPlay and WinSoundPlayCleanup.
#include <windows.h>
#include <mmsystem.h>

#include <cstring>
#include <new>
#include <vector>

#include "frame/export_guard.h"
#include "frame/settings_profile.h"
#include "sound/snd_resource.h"
#include "sound/sound_alerts.h"
#include "sound/sound_state.h"
#include "tstools/host_resource_ids.h"
#include "tstools/memory.h"
#include "tstools/sound.h"

namespace tstools::sound {

SoundState soundState;

void ReadSoundSettings() {
  std::string section = LoadHostString(TSRES_STR_PREFERENCES_SECTION);
  soundState.settings = ParseSoundSettings(ReadProfileString(section, "Sound", "30,11025,2048,4", 255));
  soundState.settingsRead = true;
}

const SoundSettings &CurrentSoundSettings() {
  if (!soundState.settingsRead) ReadSoundSettings();
  return soundState.settings;
}

namespace {

const char kPlaybackProperty[] = "WAVEINST";

// One playback: the device and a movable block holding the wave header, then the samples.
struct Playback {
  HWAVEOUT device = nullptr;
  HGLOBAL block = nullptr;
  WAVEHDR *header = nullptr;  // the block, locked while the device may use it
  bool prepared = false;
};

void Release(Playback *p) {
  if (p->device) {
    // Reset first: the driver lets go of the header before it is unprepared and freed.
    waveOutReset(p->device);
    if (p->prepared) waveOutUnprepareHeader(p->device, p->header, sizeof(WAVEHDR));
    waveOutClose(p->device);
  }
  if (p->block) {
    GlobalUnlock(p->block);
    GlobalFree(p->block);
  }
  delete p;
}

WAVEFORMATEX FormatFor(DWORD rate) {
  WAVEFORMATEX f = {};
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = 1;
  f.nSamplesPerSec = rate;
  f.nAvgBytesPerSec = rate;
  f.nBlockAlign = 1;
  f.wBitsPerSample = 8;
  f.cbSize = 0;
  return f;
}

// Consecutive sounds at one rate play from one block as one sound: one header, one done message.
struct Segment {
  size_t first = 0, count = 0, bytes = 0;
  DWORD rate = 0;
};

std::vector<Segment> Segments(const std::vector<SampledSound> &sounds) {
  std::vector<Segment> out;
  for (size_t i = 0; i < sounds.size(); ++i) {
    DWORD rate = sounds[i].rate >> 16;
    if (out.empty() || out.back().rate != rate) out.push_back({i, 0, 0, rate});
    out.back().count++;
    out.back().bytes += sounds[i].length;
  }
  return out;
}

// Opens the device and queues the segment. On failure *error is the multimedia error.
OSErr Start(HWND window, bool async, const std::vector<SampledSound> &sounds, const Segment &seg,
            Playback **out, MMRESULT *error) {
  *out = nullptr;
  *error = 0;
  auto *p = new Playback;
  p->block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, sizeof(WAVEHDR) + seg.bytes);
  p->header = p->block ? static_cast<WAVEHDR *>(GlobalLock(p->block)) : nullptr;
  if (!p->header) {
    Release(p);
    *error = kNoMemoryError;
    return memFullErr;
  }
  char *samples = reinterpret_cast<char *>(p->header + 1);
  size_t at = 0;
  for (size_t i = seg.first; i < seg.first + seg.count; ++i) {
    std::memcpy(samples + at, sounds[i].samples, sounds[i].length);
    at += sounds[i].length;
  }
  std::memset(p->header, 0, sizeof(WAVEHDR));
  p->header->lpData = samples;
  p->header->dwBufferLength = DWORD(seg.bytes);
  WAVEFORMATEX format = FormatFor(seg.rate);
  DWORD flags = WAVE_ALLOWSYNC | (async ? CALLBACK_WINDOW : CALLBACK_NULL);
  MMRESULT r = waveOutOpen(&p->device, WAVE_MAPPER, &format, async ? DWORD_PTR(window) : 0, 0, flags);
  if (r != MMSYSERR_NOERROR) p->device = nullptr;
  if (r == MMSYSERR_NOERROR) r = waveOutPrepareHeader(p->device, p->header, sizeof(WAVEHDR));
  if (r == MMSYSERR_NOERROR) p->prepared = true;
  if (r == MMSYSERR_NOERROR) r = waveOutWrite(p->device, p->header, sizeof(WAVEHDR));
  if (r != MMSYSERR_NOERROR) {
    Release(p);
    *error = r;
    return badChannel;
  }
  *out = p;
  return noErr;
}

// True when Escape is down or waiting in the window's queue; its key messages are then dropped.
bool EscapePressed(HWND window) {
  MSG msg;
  bool queued = PeekMessageA(&msg, window, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) && msg.wParam == VK_ESCAPE;
  if (!queued && !(GetAsyncKeyState(VK_ESCAPE) & 0x8000)) return false;
  while (PeekMessageA(&msg, window, WM_KEYDOWN, WM_KEYUP, PM_REMOVE)) {
  }
  return true;
}

// Waits for the segment to end, sleeping between looks. The wait is bounded by the sound's
// own length and a margin, so a device that never reports done cannot hang the caller.
void WaitForEnd(HWND window, Playback *p, DWORD rate, size_t bytes) {
  ULONGLONG limit = GetTickCount64() + ULONGLONG(bytes) * 1000 / (rate ? rate : 1) + 2000;
  while (!(p->header->dwFlags & WHDR_DONE)) {
    if (EscapePressed(window) || GetTickCount64() > limit) {
      waveOutReset(p->device);
      break;
    }
    Sleep(5);
  }
}

}  // namespace
}  // namespace tstools::sound

using namespace tstools;
using namespace tstools::sound;

short WINAPI WinSoundInit(void) {
  Guarded(Nothing, [] { ReadSoundSettings(); });
  return short(1 | (waveInGetNumDevs() ? 2 : 0) | (waveOutGetNumDevs() ? 4 : 0));
}

void WINAPI WinSoundPlayCleanup(HWND window) {
  if (!window) return;
  auto *p = static_cast<Playback *>(RemovePropA(window, kPlaybackProperty));
  if (p) Release(p);
}

OSErr WINAPI ML_SndPlay(HWND window, Handle sound, short async) {
  Size size = 0;
  if (!sound || !*sound || MemGetHandleSize(sound, &size) != noErr || size <= 0) return resProblem;
  return Guarded(OSErr(memFullErr), [&]() -> OSErr {
    // A second play on the window takes the place of the first.
    WinSoundPlayCleanup(window);
    MemSetHandleLock(sound, 1);
    struct Unlock {
      Handle h;
      ~Unlock() { MemSetHandleLock(h, -1); }
    } unlock{sound};
    std::vector<SampledSound> sounds;
    OSErr readErr = ReadSampledSounds(reinterpret_cast<const uint8_t *>(*sound), size_t(size),
                                      reinterpret_cast<uintptr_t>(*sound), &sounds);
    if (sounds.empty()) {
      if (readErr == badFormat) ShowSoundError(window, TSRES_STR_SOUND_UNSUPPORTED);
      return readErr;
    }
    if (!waveOutGetNumDevs()) {
      ShowSoundError(window, kNoDeviceError);
      return noHardwareErr;
    }
    bool playAsync = async && window;
    std::vector<Segment> segments = Segments(sounds);
    // The window gets one done message: asynchronous play takes the sounds at the first rate.
    if (playAsync) segments.resize(1);
    for (const Segment &seg : segments) {
      Playback *p = nullptr;
      MMRESULT mmError = 0;
      if (OSErr err = Start(window, playAsync, sounds, seg, &p, &mmError)) {
        ShowSoundError(window, mmError);
        return err;
      }
      if (playAsync) {
        if (!SetPropA(window, kPlaybackProperty, p)) {
          Release(p);
          return memFullErr;
        }
        return readErr;
      }
      WaitForEnd(window, p, seg.rate, seg.bytes);
      Release(p);
    }
    return readErr;
  });
}
