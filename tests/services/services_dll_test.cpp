// Font download and the document list through TSTOOLS.DLL, on real files: every installed
// base-35 outline goes to a capture file that check_font_captures.py then compares with the
// original through other programs; command lines name real files by long and short names.
#include <gtest/gtest.h>
#include <shellapi.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tstools/app_files.h"
#include "tstools/ps_fonts.h"

namespace {

using namespace std::string_literals;
using Strings = std::vector<std::string>;

std::string WinePath(std::string unix) {
  for (char &c : unix) c = c == '/' ? '\\' : c;
  return "Z:" + unix;
}
std::string AtmIni() {
  char dir[MAX_PATH];
  return std::string(dir, GetWindowsDirectoryA(dir, MAX_PATH)) + "\\atm.ini";
}
void Register(const std::string &key, const char *value) {
  WritePrivateProfileStringA("Fonts", key.c_str(), value, AtmIni().c_str());
}
std::string TempDir() {
  char dir[MAX_PATH];
  return std::string(dir, GetTempPathA(MAX_PATH, dir));
}
void WriteBytes(const std::string &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The host's routine: pieces land in the innermost download's list.
Strings *pieces = nullptr;
void __stdcall Collect(unsigned char *piece, long reserved) {
  EXPECT_EQ(reserved, 0);
  pieces->emplace_back(reinterpret_cast<char *>(piece + 1), piece[0]);
  piece[0] = 255;  // hosts may scribble on the piece; the next one is built afresh
}
// Downloads key's font; "refused" when DownloadFont said false.
Strings Download(const std::string &key, FontPieceProc routine = Collect) {
  Strings got, *outer = pieces;
  pieces = &got;
  unsigned char name[256] = {uint8_t(key.size())};
  key.copy(reinterpret_cast<char *>(name + 1), 255);
  if (!DownloadFont(name, routine)) got.push_back("refused");
  pieces = outer;
  return got;
}

TEST(DownloadFont, EveryBase35OutlineToACaptureFile) {
  const std::string fonts = TSTOOLS_TYPE1_DIR, out = TSTOOLS_FONT_CAPTURES;
  if (fonts.empty()) GTEST_SKIP() << "no Type 1 fonts installed";
  CreateDirectoryA(WinePath(out).c_str(), nullptr);
  std::ofstream manifest(WinePath(out + "/captures.tsv"), std::ios::binary);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(WinePath(fonts + "/*.pfb").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  int count = 0;
  do {
    const std::string stem = std::string(found.cFileName).substr(0, strlen(found.cFileName) - 4);
    const std::string key = "TsTest " + stem, pfb = fonts + "/" + found.cFileName;
    Register(key, ("Z:\\nowhere\\" + stem + ".afm," + WinePath(pfb)).c_str());
    const Strings got = Download(key);
    Register(key, nullptr);
    ASSERT_TRUE(got.empty() || got.back() != "refused") << pfb;
    std::string capture, lengths;
    for (const std::string &p : got) capture += p, lengths += std::to_string(p.size()) + ",";
    WriteBytes(WinePath(out + "/" + stem + ".ps"), capture);
    manifest << stem << '\t' << pfb << '\t' << lengths << '\n';
    ++count;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  EXPECT_EQ(count, 35);
}

TEST(DownloadFont, BrokenFilesAndEntriesSendNothing) {
  const std::string dir = TempDir(), font = dir + "ts_ok.pfb";
  auto seg = [](int type, const std::string &data, uint32_t n) {
    return "\x80"s + char(type) + char(n) + char(n >> 8) + char(n >> 16) + char(n >> 24) + data;
  };
  const std::string head = seg(1, "%!FontType1-1.0: T\r", 19);
  const struct { const char *file; std::string bytes; } files[] = {
      {"ts_ok.pfb", head + seg(2, "\x12\xAB", 2) + "\x80\x03"}, {"ts_cut.pfb", head + seg(2, "\x12", 2)},
      {"ts_huge.pfb", head + seg(2, "\x12", 0xFFFFFFF0)}, {"ts_text.pfb", "just some text\r\n"},
      {"ts_empty.pfb", ""}};
  for (const auto &f : files) WriteBytes(dir + f.file, f.bytes), Register("TsTest "s + f.file, ("a.afm," + dir + f.file).c_str());
  Register("TsTest nocomma", font.c_str());
  Register("TsTest full", (std::string(600, 'm') + "," + font).c_str());
  EXPECT_EQ(Download("TsTest ts_ok.pfb"), Strings({"%!FontType1-1.0: T\r", "12AB"}));
  for (const char *key : {"TsTest ts_cut.pfb", "TsTest ts_huge.pfb", "TsTest ts_text.pfb", "TsTest ts_empty.pfb",
                          "TsTest nocomma", "TsTest full", "TsTest not listed"})
    EXPECT_EQ(Download(key), Strings({"refused"})) << key;
  EXPECT_FALSE(DownloadFont(reinterpret_cast<const unsigned char *>("\x10TsTest ts_ok.pfb"), nullptr));

  // A download started from the routine's first piece sends to its own routine, and the
  // outer one carries on with its own.
  static Strings inner;
  struct Nested {
    static void __stdcall Routine(unsigned char *piece, long) {
      if (pieces->empty()) inner = Download("TsTest ts_ok.pfb");
      pieces->emplace_back(reinterpret_cast<char *>(piece + 1), piece[0]);
    }
  };
  EXPECT_EQ(Download("TsTest ts_ok.pfb", Nested::Routine), Strings({"%!FontType1-1.0: T\r", "12AB"}));
  EXPECT_EQ(inner, Strings({"%!FontType1-1.0: T\r", "12AB"}));
  EXPECT_TRUE(DeleteFileA(font.c_str())) << "the outline file is closed once sent";
  for (const auto &f : files) DeleteFileA((dir + f.file).c_str()), Register("TsTest "s + f.file, nullptr);
  Register("TsTest nocomma", nullptr), Register("TsTest full", nullptr);
}

// "position name" after ML_GetNextDSC, which leaves position at -7 when nothing is found.
std::string Scan(const std::string &text) {
  unsigned char s[256] = {uint8_t(text.size())}, name[256] = {};
  text.copy(reinterpret_cast<char *>(s + 1), 255);
  short position = -7;
  const short found = ML_GetNextDSC(s, &position, name);
  return std::to_string(found) + " " + std::to_string(position) + " " + std::string(reinterpret_cast<char *>(name + 1), name[0]);
}
TEST(GetNextDSC, FontCommentsOnly) {
  EXPECT_EQ(Scan("%%IncludeResource: procset X\r\n%%IncludeResource: font Times-Roman\r\nx"), "1 68 Times-Roman");
  EXPECT_EQ(Scan("% %IncludeFont: A\n %%IncludeFont: B\n%%\tIncludeFont:\tC\n"), "1 55 C");
  EXPECT_EQ(Scan("%%IncludeResource: procset X").substr(0, 5), "0 -7 ");
  EXPECT_EQ(ML_GetNextDSC(nullptr, nullptr, nullptr), 0);
}

// The directory and Windows name of a record, its Mac name taken back through Mac Roman.
std::string RecordPath(const AppFileRecord &r) {
  wchar_t wide[256];
  char name[512];
  const int n = MultiByteToWideChar(10000, 0, reinterpret_cast<const char *>(r.fileName + 1), r.fileName[0], wide, 256);
  return r.directory + std::string(name, WideCharToMultiByte(CP_ACP, 0, wide, n, name, sizeof name, nullptr, nullptr));
}

class AppFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = TempDir() + "Ts Docs \xE9";
    CreateDirectoryA(dir.c_str(), nullptr);
    for (const char *f : files) WriteBytes(dir + f, "x");
  }
  void TearDown() override {
    for (const char *f : files) DeleteFileA((dir + f).c_str());
    RemoveDirectoryA(dir.c_str());
  }
  std::string dir;
  const char *files[2] = {"\\Long Name \xE9t\xE9.txt", "\\MiXed.CaSe.Dat"};
};

TEST_F(AppFiles, DocumentsAreTheArgumentsAfterTheSwitchWithStoredNames) {
  char shortName[MAX_PATH];
  ASSERT_NE(GetShortPathNameA((dir + "\\Long Name \xE9t\xE9.txt").c_str(), shortName, MAX_PATH), 0u);
  CharLowerA(shortName + 3);  // the root is kept as typed
  std::string upper = dir + "\\MIXED.CASE.DAT";
  CharUpperA(upper.data());
  const std::string line = "\"" + dir + "\\Long Name \xE9t\xE9.txt\" " + shortName + " /p " + shortName + " \"" + upper + "\"";
  wchar_t wide[2048];
  int args = 0;
  MultiByteToWideChar(CP_ACP, 0, ("host.exe " + line).c_str(), -1, wide, 2048);
  LPWSTR *argv = CommandLineToArgvW(wide, &args);
  short message = -1, count = -1;
  ML_CountAppFiles(&message, &count, line.c_str());
  EXPECT_EQ(message, 1);
  ASSERT_EQ(count, args - 4) << "the program, the documents before /p and /p itself are not counted";
  for (short i = 1; i <= count; ++i) {
    char typed[MAX_PATH], stored[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, argv[3 + i], -1, typed, MAX_PATH, nullptr, nullptr);
    ASSERT_NE(GetLongPathNameA(typed, stored, MAX_PATH), 0u) << typed;
    AppFileRecord record;
    ML_GetAppFiles(i, &record, line.c_str());
    // Stored names, each as created (Wine's GetLongPathName keeps the typed case).
    const std::string got = RecordPath(record);
    EXPECT_TRUE(record.resolved && lstrcmpiA(got.c_str(), stored) == 0 && (got == dir + files[0] || got == dir + files[1]))
        << typed << " -> " << got;
  }
  LocalFree(argv);
  for (const std::string &bad : {dir + "\\*.txt", dir + "\\MiXed.CaSe.Dat\\", dir + "\\missing.txt",
                                 "C:\\" + std::string(250, 'a') + "\\b.txt"}) {
    AppFileRecord record;
    record.resolved = 7;
    ML_GetAppFiles(1, &record, bad.c_str());
    EXPECT_EQ(record.resolved | record.fileName[0] | record.directory[0], 0) << bad;
  }
}

#ifdef _WIN64
// A leaked search shows as a handle that is never given back: the next new handle's value
// and the process's count both grow.
TEST_F(AppFiles, NoHandleGrowthOverManyLookups) {
  const std::string line = "C:\\ts_leak.dat";  // one lookup a round
  WriteBytes(line, "x");
  auto probe = [] {
    HANDLE h = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(h);
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return std::make_pair(h, count);
  };
  AppFileRecord record;
  ML_GetAppFiles(1, &record, line.c_str());
  const auto before = probe();
  for (int i = 0; i < 70000; ++i) ML_GetAppFiles(1, &record, line.c_str());
  const auto after = probe();
  EXPECT_EQ(after.first, before.first);
  EXPECT_EQ(after.second, before.second);
  EXPECT_EQ(record.resolved, 1);
  DeleteFileA(line.c_str());
}
#endif

}  // namespace
