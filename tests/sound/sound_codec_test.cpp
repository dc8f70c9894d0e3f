// 'snd ' reading on hand-built resources, WAVE images checked by Python's wave module and sox,
// sox-made WAVEs read back, the "Sound" setting and the recording dialog's state table.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "sound/record_states.h"
#include "sound/snd_resource.h"
#include "sound/sound_settings.h"
#include "sound/wave_image.h"

namespace tstools::sound {
namespace {

using Bytes = std::vector<uint8_t>;

void Be(Bytes &b, uint32_t v, int n) {
  for (int i = n - 1; i >= 0; --i) b.push_back(uint8_t(v >> (8 * i)));
}
void Header(Bytes &b, uint32_t samplePtr, uint32_t length, uint32_t rate, uint8_t encode = 0) {
  Be(b, samplePtr, 4), Be(b, length, 4), Be(b, rate, 4), Be(b, 0, 4), Be(b, 0, 4), b.push_back(encode), b.push_back(60);
}
// Format 1, one synthesizer, the given commands (command, param2).
Bytes Format1(std::vector<std::pair<uint16_t, uint32_t>> commands) {
  Bytes b;
  Be(b, 1, 2), Be(b, 1, 2), Be(b, 5, 2), Be(b, 0x80, 4), Be(b, uint32_t(commands.size()), 2);
  for (auto [c, p] : commands) Be(b, c, 2), Be(b, 0, 2), Be(b, p, 4);
  return b;
}

std::string Shell(const std::string &command) {
  std::string out;
  if (FILE *f = popen(command.c_str(), "r")) {
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;) out.append(buf, n);
    pclose(f);
  }
  return out;
}
bool HaveSox() { return std::system("sox --version >/dev/null 2>&1") == 0; }
std::string TempPath(const char *name) { return testing::TempDir() + name; }
Bytes ReadFile(const std::string &path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), {});
}

TEST(SndResource, FormatsCommandsAndLies) {
  // Two bufferCmds: the second by offset; the first by address (the block lies at 0x1000).
  Bytes two = Format1({{0x0051, 0x1000 + 36}, {0x0000, 0}, {0x8051, 36 + 22 + 3}});
  ASSERT_EQ(two.size(), 36u);
  Header(two, 0, 3, 0x56EE8BA3), two.insert(two.end(), {1, 2, 3});     // 22254.545 Hz
  Header(two, 0, 9, 0xAC440000), two.insert(two.end(), {7, 8});        // length past the end
  std::vector<SampledSound> s;
  ASSERT_EQ(ReadSampledSounds(two.data(), two.size(), 0x1000, &s), 0);
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].samples, two.data() + 58);
  EXPECT_EQ(s[0].length, 3u);
  EXPECT_EQ(s[0].rate >> 16, 22254u);
  EXPECT_EQ(s[1].length, 2u) << "cut to the samples present";
  EXPECT_EQ(s[1].rate >> 16, 44100u) << "rate is unsigned 16.16";

  Bytes f2;  // format 2: header right after the command list, whatever param2 says
  Be(f2, 2, 2), Be(f2, 0, 2), Be(f2, 1, 2), Be(f2, 0x8051, 2), Be(f2, 0, 2), Be(f2, 999, 4);
  Header(f2, 0, 1, 11025u << 16), f2.push_back(200);
  ASSERT_EQ(ReadSampledSounds(f2.data(), f2.size(), 0, &s), 0);
  EXPECT_EQ(s.at(0).samples, f2.data() + 36);

  auto result = [&](Bytes b, uintptr_t at = 0x1000) { return ReadSampledSounds(b.data(), b.size(), at, &s); };
  Bytes lie = Format1({{0x8051, 20}});
  Header(lie, 0, 4, 11025u << 16, 1), lie.push_back(0);
  EXPECT_EQ(result(lie), -206) << "encode not 0";
  lie = Format1({{0x8051, 20}}), Header(lie, 0x1000 + 500, 4, 1 << 16);
  EXPECT_EQ(result(lie), -204) << "samplePtr outside the block";
  EXPECT_EQ(result(Format1({{0x0051, 0x0FFF}})), -204) << "param2 address before the block";
  EXPECT_EQ(result(Format1({{0x8051, 10}})), -204) << "header running past the end";
  EXPECT_EQ(result(Format1({{0x8051, 0xFFFFFFF0u}})), -204) << "header offset wraps";
  EXPECT_EQ(result(Format1({{0x0028, 0}})), -102) << "no bufferCmd";
  lie = Format1({{0x8051, 20}}), lie[11] = 9;
  EXPECT_EQ(result(lie), -204) << "command count past the end";
  lie = Format1({{0x8051, 20}}), Header(lie, 0, 0, 1 << 16);
  EXPECT_EQ(result(lie), -204) << "no samples";
  EXPECT_EQ(result(Bytes{0, 3, 0, 0, 0, 0}), -206) << "format 3";
  EXPECT_EQ(result(Bytes{}), -204);
}

TEST(WaveImage, WrittenImagesReadByPythonAndSox) {
  for (size_t n : {size_t(5), size_t(6)}) {
    Bytes samples;
    for (size_t i = 0; i < n; ++i) samples.push_back(uint8_t(128 + 17 * i));
    Bytes wave(WaveImageSize(n));
    WriteWaveImage(wave.data(), samples.data(), n, 44100);
    EXPECT_EQ(wave.size(), 46 + n + n % 2) << "pad byte after odd data";
    std::string path = TempPath("written.wav");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<char *>(wave.data()), wave.size());
    std::string py = Shell("python3 -c \"import wave,sys; w=wave.open('" + path +
                         "'); print(w.getnchannels(), w.getsampwidth(), w.getframerate(), "
                         "w.readframes(99).hex())\"");
    char hex[40] = {};
    for (size_t i = 0; i < n; ++i) snprintf(hex + 2 * i, 3, "%02x", samples[i]);
    EXPECT_EQ(py, "1 1 44100 " + std::string(hex) + "\n");
    if (HaveSox()) {
      std::string raw = Shell("sox " + path + " -t u8 -");
      EXPECT_EQ(Bytes(raw.begin(), raw.end()), samples);
      EXPECT_EQ(Shell("sox --i -r " + path), "44100\n");
    }
    WaveSamples back;  // and our own reader takes it back
    ASSERT_EQ(ReadWaveImage(wave.data(), wave.size(), &back), 0);
    EXPECT_EQ(Bytes(back.samples, back.samples + back.length), samples);
  }
}

TEST(WaveImage, SoxMadeWaves) {
  if (!HaveSox()) GTEST_SKIP() << "sox not installed";
  std::string raw = TempPath("in.u8"), wav = TempPath("sox.wav");
  Bytes samples;
  for (int i = 0; i < 1001; ++i) samples.push_back(uint8_t(i * 7));
  std::ofstream(raw, std::ios::binary).write(reinterpret_cast<char *>(samples.data()), samples.size());
  // A comment makes sox add a LIST chunk before the data.
  ASSERT_EQ(std::system(("sox -t u8 -r 22050 -c 1 " + raw + " --comment hello " + wav).c_str()), 0);
  Bytes file = ReadFile(wav);
  WaveSamples w;
  ASSERT_EQ(ReadWaveImage(file.data(), file.size(), &w), 0);
  EXPECT_EQ(w.rate, 22050u);
  EXPECT_EQ(Bytes(w.samples, w.samples + w.length), samples);
  Bytes prefix(kSndPrefixBytes);
  WriteSndPrefix(prefix.data(), uint32_t(w.length), uint16_t(w.rate));
  std::string packed = Shell("python3 -c \"import struct; print(struct.pack('>HHHIHHHIIIIIIBB', 1, 1, 5, "
                           "128, 1, 0x8051, 0, 20, 0, 1001, 22050 << 16, 0, 0, 0, 60).hex())\"");
  std::string ours;
  for (uint8_t b : prefix) ours += "0123456789abcdef"[b >> 4], ours += "0123456789abcdef"[b & 15];
  EXPECT_EQ(ours + "\n", packed);

  file.resize(file.size() - 10);
  EXPECT_EQ(ReadWaveImage(file.data(), file.size(), &w), -204) << "data cut short";
  for (const char *refused : {"-b 16", "-c 2", "-r 96000"}) {
    ASSERT_EQ(std::system(("sox -t u8 -r 22050 -c 1 " + raw + " " + refused + " " + wav + " 2>/dev/null").c_str()), 0);
    file = ReadFile(wav);
    EXPECT_EQ(ReadWaveImage(file.data(), file.size(), &w), -206) << refused;
  }
}

TEST(SoundSettings, FieldsDefaultsAndLimits) {
  struct { const char *text; long seconds, rate, buffers; } cases[] = {
      {"30,11025,2048,4", 30, 11025, 4}, {"0,0,0,99", 30, 11025, 16}, {"", 30, 11025, 4},
      {"5,8", 5, 20, 4},  {"10,99999,,2", 10, 65535, 2}, {"x,-3,1", 30, 11025, 4},
      {"99999999999,22050", 0x7FFFFFF, 22050, 4}};
  for (auto &c : cases) {
    SoundSettings s = ParseSoundSettings(c.text);
    EXPECT_EQ(s.maxSeconds, c.seconds) << c.text;
    EXPECT_EQ(s.rate, c.rate) << c.text;
    EXPECT_EQ(s.buffers, c.buffers) << c.text;
  }
  EXPECT_EQ(SoundMessageId(6), 15105u);
  EXPECT_EQ(SoundMessageId(4), 15103u);
  EXPECT_EQ(SoundMessageId(7), 15106u);
  EXPECT_EQ(SoundMessageId(32), 15104u);
  EXPECT_EQ(SoundMessageId(1), 15100u);
  EXPECT_EQ(SoundMessageId(15102), 15102u);
}

TEST(RecordStates, ButtonsInEveryState) {
  using S = RecordState;
  using B = RecordButton;
  using A = RecordAction;
  struct { S from; B button; A action; S to; bool ends; } steps[] = {
      {S::kStopped, B::kRecord, A::kStartRecording, S::kRecording, false},
      {S::kStopped, B::kPlay, A::kStartPlaying, S::kPlaying, false},
      {S::kStopped, B::kPause, A::kNone, S::kStopped, false},
      {S::kRecording, B::kPause, A::kPauseRecording, S::kRecordPaused, false},
      {S::kRecording, B::kRecord, A::kNone, S::kRecording, false},
      {S::kRecordPaused, B::kRecord, A::kResumeRecording, S::kRecording, false},
      {S::kRecordPaused, B::kPause, A::kResumeRecording, S::kRecording, false},
      {S::kRecordPaused, B::kStop, A::kStopRecording, S::kStopped, false},
      {S::kPlaying, B::kPause, A::kPausePlaying, S::kPlayPaused, false},
      {S::kPlayPaused, B::kPlay, A::kResumePlaying, S::kPlaying, false},
      {S::kPlayPaused, B::kStop, A::kStopPlaying, S::kStopped, false},
      {S::kRecording, B::kOk, A::kStopRecording, S::kStopped, true},
      {S::kPlayPaused, B::kCancel, A::kStopPlaying, S::kStopped, true},
      {S::kStopped, B::kCancel, A::kNone, S::kStopped, true},
  };
  for (auto &s : steps) {
    RecordStep r = PressButton(s.from, s.button, true);
    EXPECT_EQ(r.action, s.action) << int(s.from) << "/" << int(s.button);
    EXPECT_EQ(r.next, s.to) << int(s.from) << "/" << int(s.button);
    EXPECT_EQ(r.ends, s.ends);
  }
  EXPECT_EQ(PressButton(S::kStopped, B::kPlay, false).action, A::kNone) << "nothing to play";
  EXPECT_EQ(EnabledButtons(S::kRecording, true), 0b110110u) << "stop, pause, OK, cancel";

  EXPECT_EQ(RecordTimeText(RecordSeconds(11025 * 59 + 5512, 11025)), "  :59");
  EXPECT_EQ(RecordTimeText(RecordSeconds(11025 * 59 + 5513, 11025)), " 1:00");
  EXPECT_EQ(RecordCapacity(65535, 0x7FFFFFF), 16777213u - 42) << "no overflow, within a handle";
  const uint8_t loud[] = {0, 128, 255}, quiet[] = {128, 100, 150};
  EXPECT_EQ(RecordLevel(loud, 3), 3);
  EXPECT_EQ(RecordLevel(quiet, 3), 0);
}

}  // namespace
}  // namespace tstools::sound
