// Portable rules of the settings profile: key names, path trimming, the bounded key-name
// listing and the order in which the Vantor directory is discovered.
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
  EXPECT_EQ(SectionRegistryKey("Vantor", "Demo Host"), "Software\\Vantor Corp.\\Vantor");
  EXPECT_EQ(SectionRegistryKey("Preferences", "Demo Host"), "Software\\Vantor Corp.\\Tessaly Pro\\Preferences");
  EXPECT_EQ(SectionRegistryKey("Demo Host", "Demo Host"), "Software\\Vantor Corp.\\Tessaly Pro\\Demo Host 3.0");
  EXPECT_EQ(SectionRegistryKey("demo host", "Demo Host"), "Software\\Vantor Corp.\\Tessaly Pro\\demo host")
      << "sections compare case-sensitively";
  EXPECT_EQ(SectionRegistryKey("vantor", ""), "Software\\Vantor Corp.\\Tessaly Pro\\vantor");
  EXPECT_EQ(SectionRegistryKey("", ""), "Software\\Vantor Corp.\\Tessaly Pro\\") << "no host section set";
}

TEST(StripFileName, CutsAtTheLastRealBackslash) {
  struct Case {
    const char *path;
    bool shiftJis;
    const char *expected;
  } const cases[] = {
      {"C:\\dir\\sub\\file.txt", false, "C:\\dir\\sub"},
      {"file.txt", false, ""},
      {"C:\\", false, "C:"},
      // 0x95 0x5C is one Shift-JIS character whose trail byte is a backslash.
      {"C:\\\x95\x5C\\\x95\x5C.txt", true, "C:\\\x95\x5C"},
      {"\x95\x5C", true, ""},
      {"C:\\\x95\x5C", false, "C:\\\x95"},  // single-byte systems see a backslash
      {"a\\\x95", true, "a"},                // a lead byte at the very end is not a pair
  };
  for (const Case &c : cases) {
    std::string path = c.path;
    StripFileNameInPlace(&path[0], c.shiftJis ? ShiftJisLead : nullptr);
    EXPECT_STREQ(path.c_str(), c.expected) << c.path;
  }
}

TEST(EndsWithSingleByte, IgnoresTrailBytes) {
  EXPECT_TRUE(EndsWithSingleByte("C:\\", '\\', ShiftJisLead));
  EXPECT_FALSE(EndsWithSingleByte("C:\\\x95\x5C", '\\', ShiftJisLead));
  EXPECT_TRUE(EndsWithSingleByte("C:\\\x95\x5C", '\\', nullptr));
  EXPECT_FALSE(EndsWithSingleByte("", '\\', nullptr));
  EXPECT_EQ(JoinPath("C:\\WINDOWS", "VANTOR.INI", nullptr), "C:\\WINDOWS\\VANTOR.INI");
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
  for (size_t capacity : {size_t(1), size_t(2), size_t(7), size_t(8), size_t(100), size_t(2048), size_t(5000)}) {
    SCOPED_TRACE(capacity);
    std::vector<char> buffer(capacity + 8, '#');
    KeyNameList list = ListKeyNames(buffer.data(), capacity, NamesFrom(names));
    size_t limit = std::min(capacity, kKeyListCapacity);
    ASSERT_LE(list.length, limit);
    EXPECT_EQ(buffer[list.length - 1], '\0');
    if (list.length >= 2) {
      EXPECT_EQ(buffer[list.length - 2], '\0');
    }
    for (size_t i = limit; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], '#') << "written past the end at " << i;
    size_t count = 0;
    for (const char *p = buffer.data(); *p; p += std::strlen(p) + 1) EXPECT_EQ(std::string(p), names[count++]);
    EXPECT_EQ(count, list.count);
  }
  char one[1] = {'#'};
  EXPECT_EQ(ListKeyNames(one, 1, NamesFrom(names)).count, 0u);
  EXPECT_EQ(one[0], '\0');
  EXPECT_EQ(ListKeyNames(nullptr, 10, NamesFrom(names)).length, 0u);
}

TEST(KeyNameList, EmptySectionAndExactFit) {
  char buffer[16];
  KeyNameList none = ListKeyNames(buffer, sizeof buffer, NamesFrom({}));
  EXPECT_EQ(none.count, 0u);
  EXPECT_EQ(none.length, 1u);
  // "abcdefg" + zero + "abcdef" + zero + final zero = 16 bytes exactly.
  KeyNameList fit = ListKeyNames(buffer, sizeof buffer, NamesFrom({"abcdefg", "abcdef", "x"}));
  EXPECT_EQ(fit.count, 2u);
  EXPECT_EQ(fit.length, 16u);
}

struct FakeMachine {
  std::set<std::string> directories;
  VantorDiscoveryInput Input() const {
    VantorDiscoveryInput in;
    in.windowsDirectory = "D:\\WINDOWS";
    in.hostExecutable = "E:\\Apps\\Host\\HOST.EXE";
    in.directoryExists = [this](const std::string &d) { return directories.count(d) > 0; };
    return in;
  }
};

TEST(VantorDiscovery, ConfiguredDirectoryThenEachFallbackInOrder) {
  FakeMachine m;
  m.directories = {"F:\\Data", "D:\\WINDOWS\\Vantor", "D:\\Vantor", "E:\\Apps\\Host\\Vantor"};
  VantorDiscoveryInput in = m.Input();
  in.profileValue = "F:\\Data";
  VantorDiscovery d = DiscoverVantorDirectory(in);
  EXPECT_EQ(d.directory, "F:\\Data");
  EXPECT_FALSE(d.storeDirectory);

  in.profileValue = "F:\\Gone";
  d = DiscoverVantorDirectory(in);
  EXPECT_EQ(d.directory, "D:\\WINDOWS\\Vantor");
  EXPECT_TRUE(d.storeDirectory);
  m.directories.erase("D:\\WINDOWS\\Vantor");
  EXPECT_EQ(DiscoverVantorDirectory(in).directory, "D:\\Vantor") << "root of the Windows drive";
  m.directories.erase("D:\\Vantor");
  EXPECT_EQ(DiscoverVantorDirectory(in).directory, "E:\\Apps\\Host\\Vantor") << "beside the host";
  m.directories.erase("E:\\Apps\\Host\\Vantor");
  d = DiscoverVantorDirectory(in);
  EXPECT_EQ(d.directory, "E:\\Apps\\Host") << "the host's own directory";
  EXPECT_FALSE(d.storeDirectory) << "the last resort is not stored";

  in.hostExecutable = "";
  EXPECT_EQ(DiscoverVantorDirectory(in).directory, "D:\\");
  in.windowsDirectory = "\\\\server\\windows";
  EXPECT_EQ(DiscoverVantorDirectory(in).directory, "C:\\");
  m.directories.insert("C:\\Vantor");
  EXPECT_EQ(DiscoverVantorDirectory(in).directory, "C:\\Vantor") << "no drive letter: C:";
}

TEST(VantorDiscovery, LegacyKeyIsCopiedOnlyWhenItHasAValue) {
  FakeMachine m;
  m.directories = {"G:\\Old"};
  VantorDiscoveryInput in = m.Input();
  in.legacyValue = "G:\\Old";
  VantorDiscovery d = DiscoverVantorDirectory(in);
  EXPECT_EQ(d.directory, "G:\\Old");
  EXPECT_TRUE(d.storeLegacyValue);
  in.legacyValue = "";
  d = DiscoverVantorDirectory(in);
  EXPECT_FALSE(d.storeLegacyValue) << "an empty value never overwrites the stored directory";
}

TEST(VantorDiscovery, OverlongPathsAreNeverUsed) {
  FakeMachine m;
  std::string deep = "E:\\" + std::string(300, 'd');
  m.directories = {deep, deep + "\\Vantor"};
  VantorDiscoveryInput in = m.Input();
  in.profileValue = deep;
  in.hostExecutable = deep + "\\HOST.EXE";
  VantorDiscovery d = DiscoverVantorDirectory(in);
  EXPECT_EQ(d.directory, "D:\\");
  EXPECT_LT(d.directory.size(), kPathCapacity);
}

}  // namespace
}  // namespace tstools
