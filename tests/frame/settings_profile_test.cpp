// The settings profile through TSTOOLS.DLL, in scratch sections; the rules are the portable tests'.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "tstools/tstools.h"

namespace {

const std::string kProductKey = "Software\\Vantor Corp.\\Tessaly Pro\\";

// A section name no one else uses, deleted with its key at the end.
struct ScratchSection {
  static inline int counter = 0;
  std::string text = "TSTOOLS test " + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
  ~ScratchSection() { RegDeleteKeyA(HKEY_CURRENT_USER, (kProductKey + text).c_str()); }
  const char *name() const { return text.c_str(); }
};

std::string Read(const char *section, const char *key) {
  char buffer[4096];
  long n = ML_GetVantorProfileString(section, key, "(default)", buffer, sizeof buffer);
  return std::string(buffer, n > 0 ? size_t(n) : 0);
}

TEST(SettingsProfile, StringsRoundTripWithinTheCallersBuffer) {
  ScratchSection s;
  char buffer[16];
  EXPECT_EQ(ML_WriteVantorProfileString(s.name(), "Name", "0123456789"), 11) << "bytes with the terminator";
  EXPECT_EQ(Read(s.name(), "Name"), "0123456789");
  EXPECT_EQ(ML_GetVantorProfileStringSize(s.name(), "Name"), 11);
  EXPECT_EQ(ML_GetVantorProfileString(s.name(), "Name", "x", buffer, 0), 11) << "size 0 asks for the size";

  // A value that does not fit with its terminator counts as missing; the default is cut.
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(ML_GetVantorProfileString(s.name(), "Name", "dflt", buffer, 10), 4);
  EXPECT_STREQ(buffer, "dflt");
  EXPECT_EQ(buffer[10], '#') << "nothing written past the given size";
  EXPECT_EQ(ML_GetVantorProfileString(s.name(), "Name", "a default too long", buffer, 8), 7);
  EXPECT_STREQ(buffer, "a defau");
  EXPECT_EQ(ML_GetVantorProfileString(s.name(), "Name", "", buffer, 11), 10) << "exactly enough room";
}

// Each call must close the key it opens. Wine's handle count does not show leaked keys, but its
// table hands out the lowest free slot: a key left open pushes the next key's handle up.
uintptr_t NextKeySlot() {
  HKEY key = nullptr;
  RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key);
  RegCloseKey(key);
  return reinterpret_cast<uintptr_t>(key);
}

TEST(SettingsProfile, ClearAppendAndIntegersLeavingNoKeyOpen) {
  ScratchSection s;
  char buffer[32];
  ML_WriteVantorProfileString(s.name(), "Once", "token");
  uintptr_t slot = NextKeySlot();
  EXPECT_EQ(ML_GetVantorProfileStringClear(s.name(), "Once", "d", buffer, 0), 6) << "a size query clears nothing";
  EXPECT_EQ(ML_GetVantorProfileStringClear(s.name(), "Once", "d", buffer, sizeof buffer), 5);
  EXPECT_EQ(Read(s.name(), "Once"), "") << "found, and now empty";

  EXPECT_EQ(ML_AppendVantorProfileString(s.name(), "List", "a"), 2) << "missing: written alone";
  EXPECT_EQ(ML_AppendVantorProfileString(s.name(), "List", "b"), 4);
  ML_AppendVantorProfileString(s.name(), "Once", "b");
  EXPECT_EQ(Read(s.name(), "List") + "|" + Read(s.name(), "Once"), "a b|b") << "no space after an empty value";

  EXPECT_EQ(GetVantorProfileInt(s.name(), "N", -7), -7);
  EXPECT_EQ(ML_WriteVantorProfileInt(s.name(), "N", LONG_MIN), 4) << "a double word";
  EXPECT_EQ(GetVantorProfileInt(s.name(), "N", 0), LONG_MIN);
  EXPECT_EQ(NextKeySlot(), slot) << "keys left open";
}

TEST(SettingsProfile, NullKeyListsTheSectionsNamesWithinTheBuffer) {
  ScratchSection s;
  char list[64];
  for (int i = 0; i < 8; ++i) ML_WriteVantorProfileString(s.name(), ("Key number " + std::to_string(i)).c_str(), "v");
  EXPECT_EQ(ML_GetVantorProfileString(s.name(), nullptr, "", list, 0), 8 * 13 + 1) << "size query of the list";
  std::memset(list, '#', sizeof list);
  // A third name with its zero would end at byte 39, where the final zero must go.
  long length = ML_GetVantorProfileString(s.name(), nullptr, "", list, 39);
  EXPECT_EQ(std::string(list, size_t(length) + 1), std::string("Key number 0\0Key number 1\0\0", 27));
  EXPECT_EQ(list[39], '#') << "the caller's size is respected";
}

TEST(SettingsProfile, HostSectionFromTheResourceModuleAndTheVantorDirectory) {
  HMODULE resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(SetTSToolsResourceInstance(resources));
  // String 10000 of TSHOSTRES.DLL is "Demo Host": its key carries the version suffix.
  ASSERT_GT(ML_WriteVantorProfileString("Demo Host", "TSTOOLS probe", "1"), 0);
  EXPECT_EQ(RegDeleteKeyValueA(HKEY_CURRENT_USER, (kProductKey + "Demo Host 3.0").c_str(), "TSTOOLS probe"), 0);
  SetTSToolsResourceInstance(nullptr);
  FreeLibrary(resources);

  char dir[MAX_PATH + 16];
  ML_WriteVantorProfileString("Vantor", "Vantor Directory", "C:\\Some\\Where\\file.txt");
  EXPECT_TRUE(GetVantorDir(dir));
  StripFileName(dir);
  EXPECT_STREQ(dir, "C:\\Some\\Where");
  ML_WriteVantorProfileString("Vantor", "Vantor Directory", std::string(400, 'd').c_str());
  std::memset(dir, '#', sizeof dir);
  EXPECT_TRUE(GetVantorDir(dir));
  EXPECT_LT(std::strlen(dir), size_t(MAX_PATH)) << "never more than 260 bytes";
  EXPECT_EQ(dir[MAX_PATH + 1], '#');
  DWORD attributes = GetFileAttributesA(dir);
  EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
      << "discovery ends on an existing directory: " << dir;
  EXPECT_EQ(RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Vantor Corp.\\Vantor", "Vantor Directory"), 0)
      << "section Vantor sits under the company key";
}

}  // namespace
