// Font download and the document list through TSTOOLS.DLL on real files: each installed
// base-35 outline goes to a capture that check_font_captures.py compares with the original
// through other programs; command lines name real files by long and short names.
#include <gtest/gtest.h>
#include <shellapi.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <tuple>
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
void Register(const std::string &key, const std::string *value) {
  char dir[MAX_PATH];
  const std::string ini = std::string(dir, GetWindowsDirectoryA(dir, MAX_PATH)) + "\\atm.ini";
  WritePrivateProfileStringA("Fonts", ("TsTest " + key).c_str(), value ? value->c_str() : nullptr, ini.c_str());
}
std::string TempDir() {
  char dir[MAX_PATH];
  return std::string(dir, GetTempPathA(MAX_PATH, dir));
}
void WriteBytes(const std::string &path, const std::string &bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// The host's routine: pieces go to the innermost download's list. It scribbles on each
// piece, as hosts may; the next one is built afresh.
Strings *pieces = nullptr;
void __stdcall Collect(unsigned char *piece, long reserved) {
  pieces->emplace_back(reinterpret_cast<char *>(piece + 1), piece[0] + reserved);
  piece[0] = 255;
}
// The pieces of the font registered as key; "refused" when DownloadFont said false.
Strings Download(const std::string &key, FontPieceProc routine = Collect) {
  Strings got, *outer = pieces;
  pieces = &got;
  const std::string name = char(key.size() + 7) + "TsTest "s + key;
  if (!DownloadFont(reinterpret_cast<const unsigned char *>(name.data()), routine)) got.push_back("refused");
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
  int count = 0;
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found), ++count) {
    const std::string stem = std::string(found.cFileName).substr(0, strlen(found.cFileName) - 4);
    const std::string pfb = fonts + "/" + found.cFileName, value = "Z:\\x\\" + stem + ".afm," + WinePath(pfb);
    Register(stem, &value);
    const Strings got = Download(stem);
    Register(stem, nullptr);
    std::string capture, lengths;
    for (const std::string &p : got) capture += p, lengths += std::to_string(p.size()) + ",";
    EXPECT_NE(capture, "refused") << pfb;
    WriteBytes(WinePath(out + "/" + stem + ".ps"), capture);
    manifest << stem << '\t' << pfb << '\t' << lengths << '\n';
  }
  FindClose(search);
  EXPECT_EQ(count, 35);
}

// What only the glue decides: a value filling atm.ini's buffer, the routine per call, the file closed.
TEST(DownloadFont, EntriesRoutinesAndTheOpenFile) {
  const std::string ok = TempDir() + "ts_ok.pfb", value = "a.afm," + ok, full = std::string(600, 'm') + value;
  const Strings font = {"%!T\r", "12AB"};
  WriteBytes(ok, "\x80\x01\x04\0\0\0%!T\r\x80\x02\x02\0\0\0\x12\xAB\x80\x03"s);
  Register("ok", &value), Register("nocomma", &ok), Register("full", &full);
  for (const char *key : {"nocomma", "full", "not listed"}) EXPECT_EQ(Download(key), Strings({"refused"})) << key;
  EXPECT_FALSE(DownloadFont(reinterpret_cast<const unsigned char *>("\x09TsTest ok"), nullptr));
  // A download started from the routine's first piece has its own routine; the outer one carries on.
  static Strings inner;
  struct Nested {
    static void __stdcall Routine(unsigned char *piece, long) {
      if (pieces->empty()) inner = Download("ok");
      pieces->emplace_back(reinterpret_cast<char *>(piece + 1), piece[0]);
    }
  };
  EXPECT_EQ(Download("ok", Nested::Routine), font);
  EXPECT_EQ(inner, font);
  EXPECT_TRUE(DeleteFileA(ok.c_str())) << "the outline file is closed once sent";
  Register("ok", nullptr), Register("nocomma", nullptr), Register("full", nullptr);
}

class AppFiles : public ::testing::Test {
 protected:
  void SetUp() override { CreateDirectoryA(dir.c_str(), nullptr), WriteBytes(dir + files[0], "x"), WriteBytes(dir + files[1], "x"); }
  void TearDown() override { DeleteFileA((dir + files[0]).c_str()), DeleteFileA((dir + files[1]).c_str()), RemoveDirectoryA(dir.c_str()); }
  const std::string dir = TempDir() + "Ts Docs \xE9", files[2] = {"\\Long Name \xE9t\xE9.txt", "\\MiXed.CaSe.Dat"};
};

TEST_F(AppFiles, DocumentsAreTheArgumentsAfterTheSwitchWithStoredNames) {
  char shortName[MAX_PATH];
  ASSERT_NE(GetShortPathNameA((dir + files[0]).c_str(), shortName, MAX_PATH), 0u);
  CharLowerA(shortName + 3);  // the root is kept as typed
  std::string upper = dir + "\\MIXED.CASE.DAT";
  CharUpperA(upper.data());
  const std::string line = "\"" + dir + files[0] + "\" " + shortName + " /p " + shortName + " \"" + upper + "\"";
  wchar_t wide[2048];
  int args = 0;
  MultiByteToWideChar(CP_ACP, 0, ("host.exe " + line).c_str(), -1, wide, 2048);
  LPWSTR *argv = CommandLineToArgvW(wide, &args);
  short message = -1, count = -1;
  ML_CountAppFiles(&message, &count, line.c_str());
  EXPECT_EQ(message, 1);
  ASSERT_EQ(count, args - 4) << "the program, the documents before /p and /p itself are not counted";
  for (short i = 1; i <= count; ++i) {
    char typed[MAX_PATH], stored[MAX_PATH], name[512];
    WideCharToMultiByte(CP_ACP, 0, argv[3 + i], -1, typed, MAX_PATH, nullptr, nullptr);
    ASSERT_NE(GetLongPathNameA(typed, stored, MAX_PATH), 0u) << typed;
    AppFileRecord r;
    ML_GetAppFiles(i, &r, line.c_str());
    // The Mac name back to Windows through the system's Mac Roman code page.
    wchar_t back[256];
    const int n = MultiByteToWideChar(10000, 0, reinterpret_cast<char *>(r.fileName + 1), r.fileName[0], back, 256);
    const std::string got = r.directory + std::string(name, WideCharToMultiByte(CP_ACP, 0, back, n, name, 512, nullptr, nullptr));
    // Stored names, each as created (Wine's GetLongPathName keeps the typed case).
    EXPECT_TRUE(r.resolved && lstrcmpiA(got.c_str(), stored) == 0 && (got == dir + files[0] || got == dir + files[1]))
        << typed << " -> " << got;
  }
  LocalFree(argv);
}

#ifdef _WIN64
// A leaked search never gives back its handle or, where the system keeps no handle open for a
// search without wildcards (Wine), its block on the process heap: the next handle's value,
// the process's handle count or the heap's busy blocks would grow.
TEST_F(AppFiles, NoHandleGrowthOverManyLookups) {
  const std::string line = "C:\\ts_leak.dat";  // one lookup a round
  WriteBytes(line, "x");
  auto probe = [] {
    HANDLE h = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    DWORD count = 0, blocks = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    CloseHandle(h);
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(GetProcessHeap(), &entry)) blocks += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
    return std::make_tuple(h, count, blocks / 256);  // a leak per round shows as hundreds
  };
  AppFileRecord record;
  ML_GetAppFiles(1, &record, line.c_str());
  const auto [h0, n0, b0] = probe();
  for (int i = 0; i < 70000; ++i) ML_GetAppFiles(1, &record, line.c_str());
  const auto [h1, n1, b1] = probe();
  EXPECT_TRUE(h1 == h0 && n1 == n0 && b1 <= b0 + 1) << b0 << " -> " << b1 << " x256 heap blocks";
  EXPECT_EQ(record.resolved, 1);
  DeleteFileA(line.c_str());
}
#endif

}  // namespace
