// Portable rules of the settings profile: key names, paths, listing, Vantor directory discovery.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "frame/profile_paths.h"

namespace tstools {
namespace {

// Shift-JIS lead bytes: 0x81-0x9F and 0xE0-0xFC.
bool ShiftJisLead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

TEST(SectionRegistryKey, CompanyProductAndHostSections) {
  const std::string product = "Software\\Vantor Corp.\\Tessaly Pro\\";
  EXPECT_EQ(SectionRegistryKey("Vantor", "Demo Host"), "Software\\Vantor Corp.\\Vantor");
  EXPECT_EQ(SectionRegistryKey("Demo Host", "Demo Host"), product + "Demo Host 3.0");
  EXPECT_EQ(SectionRegistryKey("vantor", "demo host"), product + "vantor") << "case-sensitive";
}

// 0x95 0x5C is one Shift-JIS character whose trail byte is a backslash.
TEST(StripFileName, CutsAtTheLastRealBackslash) {
  const struct {
    const char *path;
    bool shiftJis;
    const char *expected;
  } cases[] = {
      {"C:\\dir\\sub\\file.txt", false, "C:\\dir\\sub"},
      {"C:\\\x95\x5C\\\x95\x5C.txt", true, "C:\\\x95\x5C"},
      {"C:\\\x95\x5C", false, "C:\\\x95"},  // single-byte systems see a backslash
      {"a\\\x95", true, "a"},                // a lead byte at the very end is not a pair
  };
  for (const auto &c : cases) {
    std::string path = c.path;
    StripFileNameInPlace(&path[0], c.shiftJis ? ShiftJisLead : nullptr);
    EXPECT_STREQ(path.c_str(), c.expected) << c.path;
  }
  EXPECT_EQ(JoinPath("C:\\", "VANTOR.INI", nullptr), "C:\\VANTOR.INI");
  EXPECT_EQ(JoinPath("C:\\\x95\x5C", "x", ShiftJisLead), "C:\\\x95\x5C\\x");
}

// A store of names handed out in order, as the registry enumerates them.
NextKeyName NamesFrom(const std::vector<std::string> &names) {
  return [names](size_t index, char *dst, size_t room) -> long {
    if (index >= names.size() || names[index].size() + 1 > room) return -1;
    std::memcpy(dst, names[index].c_str(), names[index].size() + 1);
    return long(names[index].size());
  };
}

TEST(KeyNameList, StopsBeforeTheBufferEndsAndAlwaysTerminates) {
  std::vector<std::string> names;
  for (int i = 0; i < 400; ++i) names.push_back("name" + std::to_string(i));
  for (size_t capacity : {size_t(1), size_t(2), size_t(12), size_t(100), size_t(2048), size_t(5000)}) {
    SCOPED_TRACE(capacity);
    std::vector<char> buffer(capacity + 8, '#');
    KeyNameList list = ListKeyNames(buffer.data(), capacity, NamesFrom(names));
    size_t limit = std::min(capacity, kKeyListCapacity);
    ASSERT_TRUE(list.length >= 1 && list.length <= limit) << list.length;
    EXPECT_EQ(buffer[list.length - 1], '\0');
    for (size_t i = limit; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], '#') << "written past the end at " << i;
    size_t count = 0;
    for (const char *p = buffer.data(); *p; p += std::strlen(p) + 1) EXPECT_EQ(std::string(p), names[count++]);
    EXPECT_EQ(count, list.count);
  }
  char buffer[16];
  // "abcdefg" + zero + "abcdef" + zero + final zero = 16 bytes exactly.
  KeyNameList fit = ListKeyNames(buffer, sizeof buffer, NamesFrom({"abcdefg", "abcdef", "x"}));
  EXPECT_EQ(fit.count, 2u);
  EXPECT_EQ(fit.length, 16u);
  EXPECT_EQ(ListKeyNames(nullptr, 10, NamesFrom(names)).length, 0u);
}

TEST(VantorDiscovery, ConfiguredDirectoryThenEachFallbackInOrder) {
  std::set<std::string> dirs = {"F:\\Data", "D:\\WINDOWS\\Vantor", "D:\\Vantor", "E:\\Apps\\Host\\Vantor"};
  VantorDiscoveryInput in;
  in.windowsDirectory = "D:\\WINDOWS";
  in.hostExecutable = "E:\\Apps\\Host\\HOST.EXE";
  in.directoryExists = [&](const std::string &d) { return dirs.count(d) > 0; };
  in.profileValue = "F:\\Data";
  VantorDiscovery d = DiscoverVantorDirectory(in);
  EXPECT_EQ(d.directory + (d.storeDirectory ? " stored" : ""), "F:\\Data");

  in.profileValue = "F:\\Gone";
  // Each found directory is removed to reach the next; the last resorts are not stored.
  for (const char *expected : {"D:\\WINDOWS\\Vantor stored", "D:\\Vantor stored", "E:\\Apps\\Host\\Vantor stored",
                               "E:\\Apps\\Host"}) {
    d = DiscoverVantorDirectory(in);
    EXPECT_EQ(d.directory + (d.storeDirectory ? " stored" : ""), expected);
    dirs.erase(d.directory);
  }
  in.hostExecutable = "";
  in.windowsDirectory = "\\\\server\\windows";
  EXPECT_EQ(DiscoverVantorDirectory(in).directory, "C:\\") << "no host, no drive letter: C:";

  in.profileValue = "";
  in.legacyValue = "G:\\Old";
  dirs = {"G:\\Old"};
  d = DiscoverVantorDirectory(in);
  EXPECT_TRUE(d.directory == "G:\\Old" && d.storeLegacyValue);
  in.legacyValue = "";
  EXPECT_FALSE(DiscoverVantorDirectory(in).storeLegacyValue) << "an empty value never overwrites the stored one";

  std::string deep = "E:\\" + std::string(300, 'd');
  dirs = {deep, deep + "\\Vantor"};
  in.windowsDirectory = "D:\\WINDOWS";
  in.profileValue = deep;
  in.hostExecutable = deep + "\\HOST.EXE";
  EXPECT_EQ(DiscoverVantorDirectory(in).directory, "D:\\") << "overlong paths are never used";
}

}  // namespace
}  // namespace tstools
