// Command-line documents against a fake file system that maps full paths, any case, to
// stored names (long names for short aliases) and counts its open searches.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <map>
#include <string>

#include "services/app_files.h"

namespace tstools::services {
namespace {

const LeadByteTest kCp932 = [](uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); };

struct FakeFiles : FileLookup {
  std::map<std::string, std::string> entries;  // lower-case path -> stored name
  int open = 0, firsts = 0;
  bool First(const std::string &path, std::string &stored) override {
    EXPECT_EQ(open, 0) << "a search left open before " << path;
    std::string key = path;
    for (char &c : key) c = (c == '\xC9') ? '\xE9' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    auto it = (++firsts, entries.find(key));
    return it != entries.end() && (stored = it->second, ++open);
  }
  void Close() override { --open; }
};

TEST(CountAppFiles, SwitchDocumentsAndTrailingBackslash) {
  const struct { std::string line; bool print; int count; } cases[] = {
      {"/p C:\\DOCS\\A.DAT D:\\B.DAT", true, 2}, {"\\\\SERVER\\SHARE\\X.DAT", false, 1},
      {"C:\\a.txt /P D:\\b.txt", true, 1} /* documents before the switch are ignored */,
      {"", false, 0} /* no last character to test */, {"\\", false, 0}, {"C:\\dir\\", false, 0},
      {std::string("C:\\a\\\0\\b", 8), false, 2} /* the NUL is dropped, joining a pair */,
      {"C:\\\x95\\\\x.txt", false, 1} /* cp932 trail 0x5C is not half of a pair */,
      {"C:\\\x95\\", false, 1} /* nor a last backslash */};
  for (const auto &c : cases) EXPECT_EQ(CountAppFiles(c.line, kCp932).print * 1000 + CountAppFiles(c.line, kCp932).count, c.print * 1000 + c.count) << c.line;
  EXPECT_EQ(CountAppFiles(std::string(70000, ':'), nullptr).count, 32767);
}

TEST(TypedAppFile, DelimitedWithinTheScannedText) {
  const std::string quoted = "\"C:\\My Docs\\a b.txt\" \"D:\\b.txt\"  ", mixed = "C:\\a.txt \\\\srv\\sh\\b.txt";
  const struct { std::string line; int index; std::string typed; } cases[] = {
      {quoted, 1, "C:\\My Docs\\a b.txt"} /* the first of two quoted loses `" ` */, {quoted, 2, "D:\\b.txt"},
      {quoted, 3, ""}, {mixed, 1, "C:\\a.txt"}, {mixed, 2, "\\\\srv\\sh\\b.txt"}, {mixed, 0, ""}, {mixed, -32768, ""},
      {":x", 1, ""} /* no drive letter before the colon */, {"C/p:x", 1, ""} /* nor before the scan start */,
      {"C:\\" + std::string(256, 'a'), 1, "C:\\" + std::string(256, 'a')}, {"C:\\" + std::string(257, 'a'), 1, ""}};
  for (const auto &c : cases) EXPECT_EQ(TypedAppFile(c.line, c.index, nullptr), c.typed) << c.line << " #" << c.index;
}

class Resolve : public ::testing::Test {
 protected:
  Resolve() {
    fs.entries = {{"c:\\docs", "Docs"}, {"c:\\docs\\a.dat", "A.dat"}, {"c:\\progra~1", "Program Files"},
                  {"c:\\program files\\report~1.txt", "Report for 2026.txt"}, {"c:\\caf\xe9", "Caf\xe9"},
                  {"c:\\caf\xe9\\menu.txt", "Menu.txt"}, {"\\\\srv\\share\\x.dat", "X.dat"},
                  {"c:\\\x95\\", "\x95\\"}, {"c:\\\x95\\\\x.txt", "x.txt"}, {"c:\\docs\\.", "."},
                  {"c:\\docs\\.\\a.dat", "A.dat"}, {"c:\\docs\\long", std::string(250, 'L')},
                  {"c:\\caf\xe9\\\xe9t\xe9.txt", "\xc9t\xe9.txt"}};
  }
  void TearDown() override { EXPECT_EQ(fs.open, 0) << "every search closed"; }
  // Windows-1252 (no lead bytes) unless asked: 0xE9 leads a character in cp932.
  AppFile Run(const std::string &typed, bool cp932 = false) { return ResolvePath(typed, fs, cp932 ? kCp932 : nullptr); }
  FakeFiles fs;
};

TEST_F(Resolve, StoredNamesReplaceTypedOnes) {
  const struct { const char *typed, *dir, *name; bool cp932; } cases[] = {
      {"c:\\DOCS\\a.DAT", "c:\\Docs\\", "A.dat", false} /* root as typed */,
      {"C:\\PROGRA~1\\REPORT~1.TXT", "C:\\Program Files\\", "Report for 2026.txt", false},
      {"C:\\CAF\xC9\\MENU.TXT", "C:\\Caf\xE9\\", "Menu.txt", false},
      {"\\\\srv\\share\\X.DAT", "\\\\srv\\share\\", "X.dat", false} /* the root is never looked up */,
      {"C:\\\x95\\\\X.TXT", "C:\\\x95\\\\", "x.txt", true} /* cp932: a trail 0x5C does not split */,
      {"C:\\docs\\.\\a.dat", "C:\\Docs\\.\\", "A.dat", false} /* "." keeps what was typed */};
  for (const auto &c : cases)
    EXPECT_TRUE(Run(c.typed, c.cp932).resolved && Run(c.typed, c.cp932).directory + "|" + Run(c.typed, c.cp932).name == std::string(c.dir) + "|" + c.name) << c.typed;
}

TEST_F(Resolve, UnresolvedWithoutGuessing) {
  for (const char *typed : {"C:\\docs\\missing.dat", "C:\\docs\\*.dat", "C:\\d?cs\\a.dat", "C:\\docs\\",
                            "C:docs", "docs\\a.dat", "\\\\srv\\a.dat", "C:\\docs\\long\\more.txt"})
    EXPECT_FALSE((fs.firsts = 0, Run(typed).resolved)) << typed;
  EXPECT_EQ(fs.firsts, 2) << "nothing looked up past 260 characters";
  EXPECT_EQ((Run("C:\\docs\\*.dat"), fs.firsts), 3) << "a wildcard component is never looked up";
}

TEST_F(Resolve, RecordFromCommandLine) {
  uint8_t rec[kAppFileRecordSize];  // bytes 257..263 and past the name stay as they were
  std::memset(rec, 0xAA, sizeof rec);
  const ToMacText toMac = [](uint8_t *t, size_t n) { for (size_t i = 0; i < n; ++i) t[i] = t[i] == 0xE9 ? 0x8E : t[i] == 0xC9 ? 0x83 : t[i]; };
  WriteAppFileRecord(rec, ResolveAppFile("/p x C:\\caf\xc9\\\xc9T\xc9.TXT", 1, fs, nullptr), toMac);
  EXPECT_EQ(std::string(reinterpret_cast<char *>(rec), 8), "\x07\x83t\x8E.txt");
  EXPECT_EQ(std::string(reinterpret_cast<char *>(rec + 256), 10), std::string("\0\xAA\xAA\xAA\xAA\xAA\xAA\xAA\x01\0", 10));
  EXPECT_STREQ(reinterpret_cast<char *>(rec + 266), "C:\\Caf\xE9\\") << "only the name changes set";
  WriteAppFileRecord(rec, ResolveAppFile("C:\\nothing.txt", 1, fs, nullptr), toMac);
  EXPECT_EQ(rec[0] | rec[256] | rec[264] | rec[265] | rec[266], 0) << "unresolved";
}

}  // namespace
}  // namespace tstools::services
