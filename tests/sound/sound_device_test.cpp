// The sound exports under Wine: conversions through Windows blocks, and playback and recording
// on the null ALSA device the test's HOME names (the -200 paths when Wine has no device).
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "sound/wave_image.h"
#include "tstools/tstools.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A format 1 'snd ' of n samples at rate Hz that claims `claimed` samples.
Handle MakeSnd(size_t n, uint16_t rate, uint32_t claimed) {
  Handle h = nullptr;
  MemNewHandle(&h, Size(tstools::sound::kSndPrefixBytes + n), 0);
  auto *p = reinterpret_cast<uint8_t *>(*h);
  tstools::sound::WriteSndPrefix(p, claimed, rate);
  for (size_t i = 0; i < n; ++i) p[42 + i] = uint8_t(128 + (i % 64));
  return h;
}

HWND HiddenWindow() {
  return CreateWindowExA(0, "STATIC", "sound", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

TEST(SoundExports, ConversionsThroughWindowsBlocks) {
  // A resource whose length runs past its handle is cut to the handle, even though the
  // memory after it is readable.
  Handle snd = MakeSnd(1001, 22050, 1u << 20);
  HGLOBAL wave = nullptr;
  ASSERT_EQ(ML_SndToWave(nullptr, *snd, 0, &wave), noErr);
  ASSERT_EQ(GlobalSize(wave), tstools::sound::WaveImageSize(1001));
  EXPECT_EQ(GlobalFlags(wave) & GMEM_DDESHARE, UINT(GMEM_DDESHARE));
  const void *image = GlobalLock(wave);
  Handle back = nullptr;
  MemNewHandle(&back, 3, 0);
  ASSERT_EQ(ML_WaveToSnd(image, long(GlobalSize(wave)), back), noErr);
  Size size = 0;
  MemGetHandleSize(back, &size);
  ASSERT_EQ(size, 1043);
  Bytes expected(reinterpret_cast<uint8_t *>(*snd), reinterpret_cast<uint8_t *>(*snd) + 1043);
  tstools::sound::WriteSndPrefix(expected.data(), 1001, 22050);
  EXPECT_EQ(0, std::memcmp(*back, expected.data(), 1043)) << "samples and integer rate come back";

  // A 16-bit WAVE leaves the handle as it was; a wave in the handle itself converts intact.
  Bytes wide(static_cast<const uint8_t *>(image), static_cast<const uint8_t *>(image) + GlobalSize(wave));
  wide[34] = 16;
  EXPECT_EQ(ML_WaveToSnd(wide.data(), long(wide.size()), back), badFormat);
  EXPECT_EQ(0, std::memcmp(*back, expected.data(), 1043));
  Handle self = nullptr;
  PtrToHand(image, &self, Size(GlobalSize(wave)));
  ASSERT_EQ(ML_WaveToSnd(*self, long(GlobalSize(wave)), self), noErr);
  EXPECT_EQ(0, std::memcmp(*self, expected.data(), 1043));
  GlobalUnlock(wave);
  GlobalFree(wave);
  EXPECT_EQ(ML_SndToWave(nullptr, nullptr, 0, &wave), resProblem);
  EXPECT_EQ(wave, nullptr);
  for (Handle h : {snd, back, self}) MemDisposeHandle(h);
}

// Pumps the thread's messages until pred() or about five seconds.
template <typename Pred>
bool PumpUntil(Pred pred) {
  for (int i = 0; i < 500 && !pred(); ++i) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(10);
  }
  return pred();
}

TEST(SoundExports, PlaybackOnTheNullDevice) {
  HWND window = HiddenWindow();
  Handle snd = MakeSnd(800, 8000, 800);  // a tenth of a second
  if (!(WinSoundInit() & 4)) {
    EXPECT_EQ(ML_SndPlay(window, snd, 1), noHardwareErr) << "no box for a hidden window";
    GTEST_SKIP() << "Wine has no waveform output here";
  }
  auto proc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == MM_WOM_DONE) SetPropA(w, "done", HANDLE(1));
    return DefWindowProcA(w, m, wp, lp);
  };
  SetWindowLongPtrA(window, GWLP_WNDPROC, LONG_PTR(+proc));
  for (int round = 0; round < 2; ++round) {  // play, and replay on the same window
    ASSERT_EQ(ML_SndPlay(window, snd, 1), noErr);
    EXPECT_EQ(ML_SndPlay(window, snd, 1), noErr) << "a second play releases the first";
    EXPECT_TRUE(GetPropA(window, "WAVEINST"));
    EXPECT_TRUE(PumpUntil([&] { return GetPropA(window, "done") != nullptr; }));
    RemovePropA(window, "done");
    WinSoundPlayCleanup(window);
    EXPECT_FALSE(GetPropA(window, "WAVEINST"));
  }
  EXPECT_EQ(ML_SndPlay(window, snd, 0), noErr);
  Handle longSnd = MakeSnd(8000 * 20, 8000, 8000 * 20);  // twenty seconds
  PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
  DWORD start = GetTickCount();
  EXPECT_EQ(ML_SndPlay(window, longSnd, 0), noErr);
  EXPECT_LT(GetTickCount() - start, 10000u) << "Escape ends synchronous play";
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, window, WM_KEYDOWN, WM_KEYUP, PM_NOREMOVE)) << "its key messages are taken";
  MemDisposeHandle(snd), MemDisposeHandle(longSnd);
  DestroyWindow(window);
}

// Clicks the recording dialog's buttons from another thread, waiting for each state.
void Click(HWND dialog, int id) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
HWND WaitForDialog() {
  for (int i = 0; i < 500; ++i, Sleep(10))
    if (HWND d = FindWindowA("#32770", nullptr)) return d;
  return nullptr;
}
bool WaitEnabled(HWND dialog, int id, bool enabled) {
  for (int i = 0; i < 1000; ++i, Sleep(10))
    if (bool(IsWindowEnabled(GetDlgItem(dialog, id))) == enabled) return true;
  return false;
}

TEST(SoundExports, RecordingDialog) {
  HMODULE resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(SetTSToolsResourceInstance(resources));
  char section[64] = {};
  LoadStringA(resources, 2075, section, sizeof section);
  ML_WriteVantorProfileString(section, "Sound", "1,8000,0,2");  // a one-second capacity
  short caps = WinSoundInit();
  HWND window = HiddenWindow();
  Handle sound = nullptr;
  if (!(caps & 2)) {
    EXPECT_EQ(ML_SndRecord(window, &sound), noHardwareErr);
    EXPECT_EQ(sound, nullptr);
    GTEST_SKIP() << "Wine has no waveform input here";
  }
  std::thread user([] {
    HWND d = WaitForDialog();
    Click(d, 101);                                  // record
    EXPECT_TRUE(WaitEnabled(d, 101, false));
    EXPECT_TRUE(WaitEnabled(d, 101, true));         // stopped by the full capacity
    Click(d, IDOK);
  });
  MemNewHandle(&sound, 5, 0);  // whatever it held, it is sized for the capacity
  ASSERT_EQ(ML_SndRecord(window, &sound), noErr);
  user.join();
  Size size = 0;
  MemGetHandleSize(sound, &size);
  EXPECT_EQ(size, 8000 + 42) << "appends stop at the capacity";
  Bytes prefix(42);
  tstools::sound::WriteSndPrefix(prefix.data(), 8000, 8000);
  EXPECT_EQ(0, std::memcmp(*sound, prefix.data(), 42));

  std::thread canceller([] {
    HWND d = WaitForDialog();
    Click(d, 101);
    EXPECT_TRUE(WaitEnabled(d, 101, false));
    Click(d, IDCANCEL);
  });
  EXPECT_EQ(ML_SndRecord(window, &sound), userCanceledErr);
  canceller.join();
  EXPECT_EQ(sound, nullptr);
  ML_WriteVantorProfileString(section, "Sound", "30,11025,2048,4");
  DestroyWindow(window);
}

}  // namespace
