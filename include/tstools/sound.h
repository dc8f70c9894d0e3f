/* Sounds: 'snd ' resources of 8-bit mono sampled sound, played through the waveform output,
 * converted to and from RIFF WAVE images, and recorded through the host's "RECORDDLG". */
#ifndef TSTOOLS_SOUND_H
#define TSTOOLS_SOUND_H

#include <tstools/types.h>

/* Sound Manager results (with noErr, memFullErr and userCanceledErr of types.h). */
enum {
  noSoundBufferErr = -102, /* no bufferCmd in the resource */
  noHardwareErr = -200,    /* no waveform device */
  resProblem = -204,       /* no sound, no samples, or a resource that lies about them */
  badChannel = -205,       /* the device could not be opened or fed */
  badFormat = -206         /* not 8-bit mono sampled sound, or a rate out of range */
};

/* Reads the "Sound" setting; returns 1, plus 2 when a waveform input device exists and 4 when
 * an output device does. */
TSAPI(short, WinSoundInit, (void));
/* Plays every bufferCmd's sound of the resource in turn. async 0 returns when playback ends
 * (Escape stops it); otherwise returns at once and the window gets MM_WOM_DONE, on which the
 * host calls WinSoundPlayCleanup. A second play on the same window releases the first. */
TSAPI(OSErr, ML_SndPlay, (HWND window, Handle sound, short async));
/* Releases the playback started for the window; harmless when there is none. */
TSAPI(void, WinSoundPlayCleanup, (HWND window));
/* A new movable, shareable global block holding a RIFF WAVE image of the sound at snd (the
 * locked data of a 'snd ' handle); *wave is 0 on failure. */
TSAPI(OSErr, ML_SndToWave, (HWND window, const void *snd, long reserved, HGLOBAL *wave));
/* Replaces the handle's contents with a format 1 'snd ' resource of the WAVE's samples (PCM,
 * 8-bit, mono, at most 65535 samples per second). On failure the handle is left as it was. */
TSAPI(OSErr, ML_WaveToSnd, (const void *wave, long waveSize, Handle sound));
/* Runs the recording dialog; on success *sound holds the recording (allocated when NULL).
 * userCanceledErr (-128) when the user cancels; the handle is then disposed and set to NULL. */
TSAPI(OSErr, ML_SndRecord, (HWND window, Handle *sound));

#endif
