// The settings profile through TSTOOLS.DLL, in scratch sections that the tests create and
// delete.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "support/child_process.h"
#include "tstools/tstools.h"

namespace {

const char kProductKey[] = "Software\\Vantor Corp.\\Tessaly Pro\\";

// A section name no one else uses, deleted with its key at the end.
class ScratchSection {
 public:
  ScratchSection() {
    name_ = "TSTOOLS test " + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter_++);
  }
  ~ScratchSection() { RegDeleteKeyA(HKEY_CURRENT_USER, (kProductKey + name_).c_str()); }
  const char *name() const { return name_.c_str(); }

 private:
  static int counter_;
  std::string name_;
};
int ScratchSection::counter_ = 0;

TEST(SettingsProfile, StringsRoundTripAndMissingKeysGiveTheDefault) {
  ScratchSection s;
  char buffer[64];
  EXPECT_EQ(ML_GetVantorProfileString(s.name(), "missing", "x", buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "x");
  EXPECT_EQ(ML_GetVantorProfileString(s.name(), "missing", nullptr, buffer, sizeof buffer), 0);

  EXPECT_EQ(ML_WriteVantorProfileString(s.name(), "Name", "value"), 6) << "bytes with the terminator";
  EXPECT_EQ(ML_GetVantorProfileString(s.name(), "Name", "x", buffer, sizeof buffer), 5);
  EXPECT_STREQ(buffer, "value");
  EXPECT_EQ(ML_GetVantorProfileStringSize(s.name(), "Name"), 6);
  EXPECT_EQ(ML_GetVantorProfileString(s.name(), "Name", "x", buffer, 0), 6) << "size 0 asks for the size";
  EXPECT_EQ(ML_GetVantorProfileStringSize(s.name(), "missing"), 0);

  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kProductKey) + s.name()).c_str(), 0, KEY_READ, &key),
            ERROR_SUCCESS)
      << "sections other than Vantor live under the product key";
  RegCloseKey(key);
}

TEST(SettingsProfile, AValueLongerThanTheBufferIsNeverCutOrUnterminated) {
  ScratchSection s;
  ML_WriteVantorProfileString(s.name(), "Long", "0123456789");
  char buffer[12];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(ML_GetVantorProfileString(s.name(), "Long", "dflt", buffer, 8), 4) << "too small counts as missing";
  EXPECT_STREQ(buffer, "dflt");
  EXPECT_EQ(ML_GetVantorProfileString(s.name(), "Long", "a default too long", buffer, 8), 7);
  EXPECT_STREQ(buffer, "a defau") << "the default is cut to the buffer and terminated";
  EXPECT_EQ(ML_GetVantorProfileString(s.name(), "Long", nullptr, buffer, 8), 0);
  EXPECT_EQ(std::memcmp(buffer + 8, "####", 4), 0) << "nothing written past the given size";
  char exact[11];
  EXPECT_EQ(ML_GetVantorProfileString(s.name(), "Long", "", exact, 11), 10) << "exactly enough room";
  EXPECT_STREQ(exact, "0123456789");
}

TEST(SettingsProfile, ClearReturnsTheValueOnce) {
  ScratchSection s;
  ML_WriteVantorProfileString(s.name(), "Once", "token");
  char buffer[32];
  EXPECT_EQ(ML_GetVantorProfileStringClear(s.name(), "Once", "d", buffer, sizeof buffer), 5);
  EXPECT_STREQ(buffer, "token");
  EXPECT_EQ(ML_GetVantorProfileStringClear(s.name(), "Once", "d", buffer, sizeof buffer), 0)
      << "the value is now empty (found, length 0)";
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(ML_GetVantorProfileStringSize(s.name(), "Once"), 1);
  ML_WriteVantorProfileString(s.name(), "Kept", "abc");
  EXPECT_EQ(ML_GetVantorProfileStringClear(s.name(), "Kept", "d", buffer, 0), 4) << "a size query clears nothing";
  EXPECT_EQ(ML_GetVantorProfileStringSize(s.name(), "Kept"), 4);
}

TEST(SettingsProfile, AppendJoinsWithASpace) {
  ScratchSection s;
  char buffer[64];
  EXPECT_EQ(ML_AppendVantorProfileString(s.name(), "List", "b"), 2) << "missing: written alone";
  ML_GetVantorProfileString(s.name(), "List", "", buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "b");
  ML_WriteVantorProfileString(s.name(), "List", "a");
  EXPECT_EQ(ML_AppendVantorProfileString(s.name(), "List", "b"), 4);
  ML_GetVantorProfileString(s.name(), "List", "", buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "a b");
  ML_WriteVantorProfileString(s.name(), "Empty", "");
  ML_AppendVantorProfileString(s.name(), "Empty", "b");
  ML_GetVantorProfileString(s.name(), "Empty", "", buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "b");
  std::string big(3000, 'q');
  ML_WriteVantorProfileString(s.name(), "Big", big.c_str());
  ML_AppendVantorProfileString(s.name(), "Big", "tail");
  EXPECT_EQ(ML_GetVantorProfileStringSize(s.name(), "Big"), long(big.size() + 6));
}

TEST(SettingsProfile, IntegersAreDoubleWords) {
  ScratchSection s;
  EXPECT_EQ(GetVantorProfileInt(s.name(), "N", -7), -7);
  EXPECT_EQ(ML_WriteVantorProfileInt(s.name(), "N", -123456), 4);
  EXPECT_EQ(GetVantorProfileInt(s.name(), "N", 0), -123456);
  EXPECT_EQ(ML_WriteVantorProfileInt(s.name(), "N", LONG_MIN), 4);
  EXPECT_EQ(GetVantorProfileInt(s.name(), "N", 0), LONG_MIN);
  ML_WriteVantorProfileString(s.name(), "Text", "42");
  EXPECT_EQ(GetVantorProfileInt(s.name(), "Text", 9), 9) << "a string value is not a number";
  char buffer[16] = "unchanged";
  EXPECT_EQ(ML_GetVantorProfileString(s.name(), "N", "d", buffer, sizeof buffer), 1)
      << "a number is not read as text";
  EXPECT_STREQ(buffer, "d");
}

// The listing's bounds are the portable KeyNameList tests'; here the registry feeds it.
TEST(SettingsProfile, NullKeyListsTheSectionsNames) {
  ScratchSection s;
  char list[2048];
  EXPECT_EQ(ML_GetVantorProfileString(s.name(), nullptr, "none", list, sizeof list), 4) << "missing section";
  for (int i = 0; i < 150; ++i)
    ML_WriteVantorProfileString(s.name(), ("Key number " + std::to_string(i)).c_str(), "v");
  long length = ML_GetVantorProfileString(s.name(), nullptr, "", list, sizeof list);
  ASSERT_TRUE(length > 0 && length < 2048) << length;
  EXPECT_EQ(list[length], '\0') << "the final zero ends the list";
  size_t names = 0;
  for (const char *p = list; *p; p += std::strlen(p) + 1, ++names)
    EXPECT_EQ(std::string(p).rfind("Key number ", 0), 0u) << p;
  EXPECT_TRUE(names > 100 && names < 150) << names << " names: the listing stops short of 2048 bytes";
  EXPECT_EQ(ML_GetVantorProfileString(s.name(), nullptr, "", list, 0), length + 1) << "size query of the list";
  std::memset(list, '#', sizeof list);
  long shortLength = ML_GetVantorProfileString(s.name(), nullptr, "", list, 40);
  ASSERT_TRUE(shortLength >= 0 && shortLength < 40) << shortLength;
  EXPECT_EQ(list[shortLength], '\0');
  EXPECT_EQ(list[40], '#') << "the caller's size is respected";
}

TEST(SettingsProfile, VantorSectionAndTheHostsOwnSection) {
  HMODULE resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(resources, nullptr);
  ASSERT_TRUE(SetTSToolsResourceInstance(resources));
  // String 10000 of TSHOSTRES.DLL is "Demo Host": its key carries the version suffix.
  const std::string hostKey = std::string(kProductKey) + "Demo Host 3.0";
  ASSERT_GT(ML_WriteVantorProfileString("Demo Host", "TSTOOLS probe", "1"), 0);
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, hostKey.c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  RegDeleteValueA(key, "TSTOOLS probe");
  RegCloseKey(key);
  ASSERT_GT(ML_WriteVantorProfileString("demo host", "TSTOOLS probe", "1"), 0);
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kProductKey) + "demo host").c_str(), 0, KEY_ALL_ACCESS, &key),
            ERROR_SUCCESS)
      << "another spelling is another section, without the suffix";
  RegCloseKey(key);
  RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kProductKey) + "demo host").c_str());
  SetTSToolsResourceInstance(nullptr);
  FreeLibrary(resources);
}

TEST(SettingsProfile, VantorDirectoryFromTheSettingThenDiscovered) {
  const char kVantorKey[] = "Software\\Vantor Corp.\\Vantor";
  char saved[MAX_PATH] = {};
  bool had = ML_GetVantorProfileString("Vantor", "Vantor Directory", nullptr, saved, sizeof saved) > 0;

  ML_WriteVantorProfileString("Vantor", "Vantor Directory", "C:\\Some\\Where");
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kVantorKey, 0, KEY_READ, &key), ERROR_SUCCESS)
      << "section Vantor sits under the company key";
  RegCloseKey(key);
  char dir[MAX_PATH];
  EXPECT_TRUE(GetVantorDir(dir));
  EXPECT_STREQ(dir, "C:\\Some\\Where");

  std::string tooLong(400, 'd');
  ML_WriteVantorProfileString("Vantor", "Vantor Directory", tooLong.c_str());
  char bounded[MAX_PATH + 16];
  std::memset(bounded, '#', sizeof bounded);
  EXPECT_TRUE(GetVantorDir(bounded));
  EXPECT_LT(std::strlen(bounded), size_t(MAX_PATH)) << "never more than 260 bytes";
  EXPECT_EQ(bounded[MAX_PATH + 1], '#');

  ML_WriteVantorProfileString("Vantor", "Vantor Directory", "");
  EXPECT_TRUE(GetVantorDir(dir));
  DWORD attributes = GetFileAttributesA(dir);
  EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES) << dir;
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << "discovery ends on an existing directory: " << dir;

  if (had) {
    ML_WriteVantorProfileString("Vantor", "Vantor Directory", saved);
  } else if (RegOpenKeyExA(HKEY_CURRENT_USER, kVantorKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    RegDeleteValueA(key, "Vantor Directory");
    RegCloseKey(key);
  }
}

TEST(SettingsProfile, StripFileName) {
  char path[] = "C:\\dir\\sub\\file.txt";
  StripFileName(path);
  EXPECT_STREQ(path, "C:\\dir\\sub");
}

// Wine reports platform 0 (Win32s) to a program set to "win31".
TEST(SettingsProfile, Win32sKeepsTheProfileInVantorIni_ManyProcesses) {
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, sizeof windows);
  const std::string ini = std::string(windows) + "\\VANTOR.INI";
  const std::string vantor = std::string(windows) + "\\Vantor";
  if (GetFileAttributesA(ini.c_str()) != INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "a real VANTOR.INI is present";

  const std::string name = "profile_win32s_probe.exe";
  ASSERT_TRUE(tstools::test::SetWineAppDefault(name, "Version", "win31"));
  std::string probe = tstools::test::CopyProgramAs(tstools::test::ProgramDirectory() + "frame_profile_win32s_host.exe", name);
  ASSERT_FALSE(probe.empty());
  auto result = tstools::test::RunProgram(probe);
  DeleteFileA(probe.c_str());
  EXPECT_EQ(result.exitCode, 0u) << result.output;
  const std::string &out = result.output;
  auto has = [&](const char *line) { return out.find(line) != std::string::npos; };
  EXPECT_TRUE(has("read=5:value")) << out;
  EXPECT_TRUE(has("size=0")) << "no size queries on a profile file";
  EXPECT_TRUE(has("appended=value more") == false && has("appended=more")) << "no appending under Win32s";
  EXPECT_TRUE(has("clear=4")) << "a plain read";
  EXPECT_TRUE(has("intread=-42")) << out;
  EXPECT_TRUE(has(("dir=1:" + vantor).c_str())) << "the Vantor directory made beside the new file: " << out;

  char text[4096] = {};
  GetPrivateProfileSectionA("Probe", text, sizeof text, ini.c_str());
  EXPECT_STREQ(text, "Name=more") << "kept in the file";
  HANDLE file = CreateFileA(ini.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD got = 0;
  ReadFile(file, text, sizeof text - 1, &got, nullptr);
  CloseHandle(file);
  EXPECT_EQ(std::string(text, got).rfind("; Settings of the Demo Host", 0), 0u) << "made from the TEMPLATE text";
  DeleteFileA(ini.c_str());
  RemoveDirectoryA(vantor.c_str());
}

}  // namespace
