// ML_SndRecord: the host's "RECORDDLG" records into a 'snd ' handle and plays it back.
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>

#include <cstring>
#include <vector>

#include "frame/export_guard.h"
#include "frame/library_globals.h"
#include "sound/record_states.h"
#include "sound/sound_alerts.h"
#include "sound/sound_state.h"
#include "sound/wave_image.h"
#include "tstools/host_resource_ids.h"
#include "tstools/memory.h"
#include "tstools/sound.h"

namespace tstools::sound {
namespace {

constexpr long kLeastFallbackBytes = 0x40000;  // below this a recording is not worth starting
constexpr long kFallbackReserve = 0x20000;     // left free for the host

struct Recorder {
  Handle sound = nullptr;
  uint8_t *samples = nullptr;  // after the prefix; the handle stays locked in the dialog
  size_t capacity = 0, recorded = 0;
  long rate = 0, maxSeconds = 0;
  RecordState state = RecordState::kStopped;
  HWND dialog = nullptr;

  HWAVEIN in = nullptr;
  std::vector<WAVEHDR> inHeaders;
  std::vector<uint8_t> inBuffers;
  size_t inQueued = 0, filled = 0;
  bool stopping = false;

  HWAVEOUT out = nullptr;
  WAVEHDR outHeader = {};

  HIMAGELIST buttonImages = nullptr, levelImages = nullptr;
  std::vector<HICON> icons;
  int level = -1;
};

WAVEFORMATEX Format(long rate) {
  WAVEFORMATEX f = {};
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = 1;
  f.nSamplesPerSec = DWORD(rate);
  f.nAvgBytesPerSec = DWORD(rate);
  f.nBlockAlign = 1;
  f.wBitsPerSample = 8;
  return f;
}

HICON Icon(Recorder &r, HIMAGELIST list, int index) {
  HICON icon = list ? ImageList_GetIcon(list, index, ILD_TRANSPARENT) : nullptr;
  if (icon) r.icons.push_back(icon);
  return icon;
}

void ShowProgress(Recorder &r) {
  SetDlgItemTextA(r.dialog, TSRES_RECDLG_ELAPSED, RecordTimeText(RecordSeconds(r.recorded, r.rate)).c_str());
  WPARAM percent = r.capacity ? WPARAM(uint64_t(r.recorded) * 100 / r.capacity) : 0;
  SendDlgItemMessageA(r.dialog, TSRES_RECDLG_PROGRESS, PBM_SETPOS, percent, 0);
}

void ShowLevel(Recorder &r, int level) {
  if (level == r.level) return;
  r.level = level;
  if (HICON icon = Icon(r, r.levelImages, level))
    SendDlgItemMessageA(r.dialog, TSRES_RECDLG_LEVEL, STM_SETICON, WPARAM(icon), 0);
}

void ShowButtons(Recorder &r) {
  unsigned enabled = EnabledButtons(r.state, r.recorded > 0);
  const int ids[] = {TSRES_RECDLG_RECORD, TSRES_RECDLG_STOP, TSRES_RECDLG_PAUSE, TSRES_RECDLG_PLAY};
  for (int i = 0; i < 4; ++i)
    if (HWND button = GetDlgItem(r.dialog, ids[i])) EnableWindow(button, (enabled >> i) & 1);
}

// Takes a returned input buffer: its samples are appended up to the capacity.
void TakeBuffer(Recorder &r, WAVEHDR *h) {
  if (r.inQueued) --r.inQueued;
  size_t n = h->dwBytesRecorded;
  if (n > r.capacity - r.recorded) n = r.capacity - r.recorded;
  if (n) std::memcpy(r.samples + r.recorded, h->lpData, n);
  r.recorded += n;
  if (++r.filled % 2 == 0) ShowLevel(r, RecordLevel(reinterpret_cast<uint8_t *>(h->lpData), h->dwBytesRecorded));
  ShowProgress(r);
}

void CloseInput(Recorder &r) {
  if (!r.in) return;
  r.stopping = true;
  waveInReset(r.in);
  // The driver hands every queued buffer back to the window: take them before they go.
  ULONGLONG limit = GetTickCount64() + 1000;
  MSG msg;
  while (r.inQueued && GetTickCount64() < limit) {
    if (PeekMessageA(&msg, r.dialog, MM_WIM_DATA, MM_WIM_DATA, PM_REMOVE))
      TakeBuffer(r, reinterpret_cast<WAVEHDR *>(msg.lParam));
    else
      Sleep(2);
  }
  for (WAVEHDR &h : r.inHeaders) waveInUnprepareHeader(r.in, &h, sizeof h);
  waveInClose(r.in);
  r.in = nullptr;
  r.inQueued = 0;
}

void CloseOutput(Recorder &r) {
  if (!r.out) return;
  waveOutReset(r.out);  // before unpreparing: the driver lets go of the header
  waveOutUnprepareHeader(r.out, &r.outHeader, sizeof r.outHeader);
  waveOutClose(r.out);
  r.out = nullptr;
}

MMRESULT OpenInput(Recorder &r) {
  WAVEFORMATEX format = Format(r.rate);
  MMRESULT e = waveInOpen(&r.in, WAVE_MAPPER, &format, DWORD_PTR(r.dialog), 0, CALLBACK_WINDOW);
  if (e != MMSYSERR_NOERROR) {
    r.in = nullptr;
    return e;
  }
  r.stopping = false;
  size_t bytes = r.inBuffers.size() / r.inHeaders.size();
  for (size_t i = 0; i < r.inHeaders.size() && e == MMSYSERR_NOERROR; ++i) {
    WAVEHDR &h = r.inHeaders[i];
    h = WAVEHDR();
    h.lpData = reinterpret_cast<LPSTR>(r.inBuffers.data() + i * bytes);
    h.dwBufferLength = DWORD(bytes);
    e = waveInPrepareHeader(r.in, &h, sizeof h);
    if (e == MMSYSERR_NOERROR) e = waveInAddBuffer(r.in, &h, sizeof h);
    if (e == MMSYSERR_NOERROR) ++r.inQueued;
  }
  if (e == MMSYSERR_NOERROR) e = waveInStart(r.in);
  if (e != MMSYSERR_NOERROR) CloseInput(r);
  return e;
}

MMRESULT OpenOutput(Recorder &r) {
  WAVEFORMATEX format = Format(r.rate);
  MMRESULT e = waveOutOpen(&r.out, WAVE_MAPPER, &format, DWORD_PTR(r.dialog), 0,
                           CALLBACK_WINDOW | WAVE_ALLOWSYNC);
  if (e != MMSYSERR_NOERROR) {
    r.out = nullptr;
    return e;
  }
  r.outHeader = WAVEHDR();
  r.outHeader.lpData = reinterpret_cast<LPSTR>(r.samples);
  r.outHeader.dwBufferLength = DWORD(r.recorded);
  e = waveOutPrepareHeader(r.out, &r.outHeader, sizeof r.outHeader);
  if (e == MMSYSERR_NOERROR) e = waveOutWrite(r.out, &r.outHeader, sizeof r.outHeader);
  if (e != MMSYSERR_NOERROR) CloseOutput(r);
  return e;
}

MMRESULT Perform(Recorder &r, RecordAction action) {
  switch (action) {
    case RecordAction::kStartRecording:
      r.recorded = 0;
      r.filled = 0;
      ShowProgress(r);
      return OpenInput(r);
    case RecordAction::kResumeRecording: return waveInStart(r.in);
    case RecordAction::kPauseRecording: return waveInStop(r.in);
    case RecordAction::kStopRecording: CloseInput(r); return MMSYSERR_NOERROR;
    case RecordAction::kStartPlaying: return OpenOutput(r);
    case RecordAction::kResumePlaying: return waveOutRestart(r.out);
    case RecordAction::kPausePlaying: return waveOutPause(r.out);
    case RecordAction::kStopPlaying: CloseOutput(r); return MMSYSERR_NOERROR;
    case RecordAction::kNone: break;
  }
  return MMSYSERR_NOERROR;
}

void Press(Recorder &r, RecordButton button) {
  RecordStep step = PressButton(r.state, button, r.recorded > 0);
  MMRESULT e = Perform(r, step.action);
  if (e != MMSYSERR_NOERROR) {
    CloseInput(r);
    CloseOutput(r);
    r.state = RecordState::kStopped;
    ShowSoundError(r.dialog, e);
  } else {
    r.state = step.next;
  }
  ShowButtons(r);
  if (step.ends) EndDialog(r.dialog, button == RecordButton::kOk ? noErr : userCanceledErr);
}

void InitDialog(Recorder &r) {
  HINSTANCE module = frameState.resourceInstance;
  r.buttonImages = ImageList_LoadImageA(module, MAKEINTRESOURCEA(TSRES_BMP_RECORD_BUTTONS),
                                        TSRES_BMP_RECORD_BUTTONS_WIDTH, 0, RGB(255, 0, 255),
                                        IMAGE_BITMAP, LR_CREATEDIBSECTION);
  r.levelImages = ImageList_LoadImageA(module, MAKEINTRESOURCEA(TSRES_BMP_LEVEL_METER),
                                       TSRES_BMP_LEVEL_METER_WIDTH, 0, RGB(255, 0, 255),
                                       IMAGE_BITMAP, LR_CREATEDIBSECTION);
  const int ids[] = {TSRES_RECDLG_RECORD, TSRES_RECDLG_STOP, TSRES_RECDLG_PAUSE, TSRES_RECDLG_PLAY};
  for (int i = 0; i < 4; ++i)
    if (HICON icon = Icon(r, r.buttonImages, i))
      SendDlgItemMessageA(r.dialog, ids[i], BM_SETIMAGE, IMAGE_ICON, LPARAM(icon));
  SendDlgItemMessageA(r.dialog, TSRES_RECDLG_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  SetDlgItemTextA(r.dialog, TSRES_RECDLG_MAXIMUM, RecordTimeText(RecordSeconds(r.capacity, r.rate)).c_str());
  ShowLevel(r, 0);
  ShowProgress(r);
  ShowButtons(r);
}

INT_PTR CALLBACK RecordDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto *r = reinterpret_cast<Recorder *>(GetWindowLongPtrA(dialog, DWLP_USER));
  return Guarded(INT_PTR(FALSE), [&]() -> INT_PTR {
    switch (message) {
      case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        r = reinterpret_cast<Recorder *>(lParam);
        r->dialog = dialog;
        InitDialog(*r);
        return TRUE;
      case WM_COMMAND: {
        if (!r) return FALSE;
        switch (LOWORD(wParam)) {
          case TSRES_RECDLG_RECORD: Press(*r, RecordButton::kRecord); return TRUE;
          case TSRES_RECDLG_STOP: Press(*r, RecordButton::kStop); return TRUE;
          case TSRES_RECDLG_PAUSE: Press(*r, RecordButton::kPause); return TRUE;
          case TSRES_RECDLG_PLAY: Press(*r, RecordButton::kPlay); return TRUE;
          case IDOK: Press(*r, RecordButton::kOk); return TRUE;
          case IDCANCEL: Press(*r, RecordButton::kCancel); return TRUE;
        }
        return FALSE;
      }
      case MM_WIM_DATA:
        if (!r || HWAVEIN(wParam) != r->in) return TRUE;  // a device already closed
        TakeBuffer(*r, reinterpret_cast<WAVEHDR *>(lParam));
        if (r->stopping) return TRUE;
        if (r->recorded >= r->capacity) {
          Press(*r, RecordButton::kStop);  // full: recording ends here
        } else {
          auto *h = reinterpret_cast<WAVEHDR *>(lParam);
          if (waveInAddBuffer(r->in, h, sizeof *h) == MMSYSERR_NOERROR) ++r->inQueued;
        }
        return TRUE;
      case MM_WOM_DONE:
        if (r && HWAVEOUT(wParam) == r->out) {
          CloseOutput(*r);
          r->state = RecordState::kStopped;
          ShowButtons(*r);
        }
        return TRUE;
    }
    return FALSE;
  });
}

// The handle sized for the recording (capacity + prefix), whatever it held; when memory is
// short a smaller capacity is tried once, never below a useful size.
OSErr SizeHandle(Handle *sound, Recorder &r) {
  auto fit = [&](size_t capacity) -> OSErr {
    long bytes = long(capacity + kSndPrefixBytes);
    if (*sound) return MemSetHandleSize(*sound, bytes);
    return MemNewHandle(sound, bytes, 0);
  };
  if (fit(r.capacity) == noErr) return noErr;
  long largest = MemMaximize();
  if (largest < kLeastFallbackBytes) return memFullErr;
  size_t smaller = size_t(largest - kFallbackReserve);
  if (smaller < r.capacity) r.capacity = smaller;
  r.maxSeconds = long(r.capacity / size_t(r.rate));
  return fit(r.capacity);
}

void Discard(Handle *sound) {
  if (*sound) MemDisposeHandle(*sound);
  *sound = nullptr;
}

}  // namespace
}  // namespace tstools::sound

using namespace tstools;
using namespace tstools::sound;

OSErr WINAPI ML_SndRecord(HWND window, Handle *sound) {
  if (!sound) return paramErr;
  return Guarded(OSErr(memFullErr), [&]() -> OSErr {
    const SoundSettings &settings = CurrentSoundSettings();
    Recorder r;
    r.rate = settings.rate;
    r.maxSeconds = settings.maxSeconds;
    r.capacity = RecordCapacity(r.rate, r.maxSeconds);
    size_t bufferBytes = size_t(r.rate / 20) ? size_t(r.rate / 20) : 1;
    r.inHeaders.resize(size_t(settings.buffers));
    r.inBuffers.resize(bufferBytes * r.inHeaders.size());
    if (SizeHandle(sound, r) != noErr) {
      ShowSoundError(window, kNoMemoryError);
      Discard(sound);
      return memFullErr;
    }
    WriteSndPrefix(reinterpret_cast<uint8_t *>(**sound), 0, uint16_t(r.rate));
    if (!waveInGetNumDevs()) {
      ShowSoundError(window, kNoDeviceError);
      Discard(sound);
      return noHardwareErr;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    MemSetHandleLock(*sound, 1);
    r.sound = *sound;
    r.samples = reinterpret_cast<uint8_t *>(**sound) + kSndPrefixBytes;
    INT_PTR ended = DialogBoxParamA(frameState.resourceInstance, TSRES_DLG_RECORD_NAME, window,
                                    RecordDialogProc, LPARAM(&r));
    CloseInput(r);
    CloseOutput(r);
    for (HICON icon : r.icons) DestroyIcon(icon);
    if (r.buttonImages) ImageList_Destroy(r.buttonImages);
    if (r.levelImages) ImageList_Destroy(r.levelImages);
    MemSetHandleLock(*sound, -1);
    if (ended != noErr) {
      Discard(sound);
      return ended == -1 ? OSErr(badChannel) : OSErr(userCanceledErr);
    }
    uint8_t *data = reinterpret_cast<uint8_t *>(**sound);
    WriteSndPrefix(data, uint32_t(r.recorded), uint16_t(r.rate));
    MemSetHandleSize(*sound, long(r.recorded + kSndPrefixBytes));  // shrinking cannot fail
    return noErr;
  });
}
