// The font settings and the sample cache on the faces installed in the Wine prefix, with the
// cache's glue compiled in: each test points the Vantor directory at a folder of its own and
// starts from a process with no cache.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/font/stray_caches.h"
#include "font/font_samples.h"
#include "frame/library_globals.h"
#include "frame/vantor_directory.h"
#include "tstools/tstools.h"

namespace {

using namespace tstools;
using fontcache::MemoryFile;
using fontcache::OpenResult;
using fontcache::SampleCache;

constexpr char kFontSection[] = "Software\\Vantor Corp.\\Tessaly Pro\\Font Menu";

std::vector<uint8_t> ReadAll(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

int CALLBACK AddFace(const LOGFONTA *font, const TEXTMETRICA *, DWORD, LPARAM set) {
  reinterpret_cast<std::set<std::string> *>(set)->insert(font->lfFaceName);
  return 1;
}

std::set<std::string> InstalledFaces() {
  std::set<std::string> faces;
  LOGFONTA all = {};
  all.lfCharSet = DEFAULT_CHARSET;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExA(dc, &all, reinterpret_cast<FONTENUMPROCA>(AddFace), reinterpret_cast<LPARAM>(&faces), 0);
  ReleaseDC(nullptr, dc);
  return faces;
}

std::string Setting(const char *key) {
  char value[16] = {};
  DWORD bytes = sizeof value - 1;
  LONG rc = RegGetValueA(HKEY_CURRENT_USER, kFontSection, key, RRF_RT_REG_SZ, nullptr, value, &bytes);
  return rc == ERROR_SUCCESS ? value : "(none)";
}

class FontCache : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    dir_ = std::string(temp) + "font_cache_test_" + std::to_string(GetCurrentProcessId());
    path_ = dir_ + "\\Demo Host Font Samples.dat";
    CreateDirectoryA(dir_.c_str(), nullptr);
    RemoveCachesBesideProgram();
    frameState.resourceInstance = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(frameState.resourceInstance);
    ML_WriteVantorProfileString("Vantor", "Vantor Directory", dir_.c_str());
    profileState.Reset();
    fontCacheState.Reset();
    RegDeleteKeyA(HKEY_CURRENT_USER, kFontSection);
  }
  void TearDown() override {
    fontCacheState.Reset();
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path_.c_str());
    RemoveDirectoryA(dir_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, kFontSection);
  }
  // Opens the cache file as it is on disk.
  OpenResult Load(SampleCache &cache, MemoryFile &file) { return file.bytes = ReadAll(path_), cache.Open(file, false); }
  void Place(const char *generated) {
    ASSERT_TRUE(CopyFileA((std::string("Z:") + TSTOOLS_SAMPLE_CACHES + "/" + generated).c_str(), path_.c_str(), FALSE));
  }
  fontcache::SampleHeader HeaderOf(const char *face, bool *allZero = nullptr) {
    void *p = nullptr;
    HLOCAL block = GetFontBitmap(face, &p);
    if (!block) return fontcache::SampleHeader();
    fontcache::SampleHeader header = fontcache::DecodeHeader(static_cast<uint8_t *>(p));
    const uint8_t *bits = static_cast<uint8_t *>(p) + fontcache::kBitmapHeaderBytes;
    if (allZero) *allZero = std::all_of(bits, bits + header.BitsBytes(), [](uint8_t b) { return b == 0; });
    LocalUnlock(block);
    return header;
  }
  std::string dir_, path_;
};

TEST_F(FontCache, HoldsASampleOfEveryFaceAndLoadsItWithoutWriting) {
  InitFontFile();
  MemoryFile file;
  SampleCache cache(fontcache::FoldedCompare);
  ASSERT_EQ(Load(cache, file), OpenResult::kOk);
  std::set<std::string> faces = InstalledFaces();
  ASSERT_TRUE(faces.count("DejaVu Sans"));
  for (const std::string &face : faces) EXPECT_GE(cache.Find(face.c_str(), fontcache::kKindAny), 0) << face;

  // The face at a character height of 12 pixels, exactly as GDI measures its name.
  HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "DejaVu Sans");
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE extent = {};
  TEXTMETRICA metrics = {};
  GetTextExtentPoint32A(dc, "DejaVu Sans", 11, &extent);
  GetTextMetricsA(dc, &metrics);
  DeleteObject(SelectObject(dc, old));
  DeleteDC(dc);
  bool blank = true;
  fontcache::SampleHeader header = HeaderOf("dejavu sans", &blank);
  EXPECT_TRUE(header.width == uint32_t(extent.cx) && header.height == uint32_t(metrics.tmHeight));
  EXPECT_TRUE(header.rowBytes == (header.width + 15) / 16 * 2 && !blank && FontBitmapExists("DejaVu Sans"));
  void *p = &p;
  EXPECT_FALSE(GetFontBitmap("", &p) || p);
  EXPECT_FALSE(GetFontBitmap(("DejaVu Sans" + std::string(25, ' ')).c_str(), &p)) << "over 31 characters";

  std::vector<uint8_t> written = file.bytes;
  InitFontFile();
  EXPECT_EQ(ReadAll(path_), written) << "an up-to-date file is not written";
  EXPECT_TRUE(FontBitmapExists("DejaVu Sans"));
  HANDLE exclusive = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(exclusive, INVALID_HANDLE_VALUE) << "the file is closed after the update";
  CloseHandle(exclusive);
}

TEST_F(FontCache, DamagedFilesAreMadeAnewAndSoundOnesKept) {
  for (const char *damaged : {"dirty.dat", "cycle.dat", "badkind.dat"}) {
    Place(damaged);
    InitFontFile();
    MemoryFile file;
    SampleCache cache(fontcache::FoldedCompare);
    EXPECT_EQ(Load(cache, file), OpenResult::kOk) << damaged;
    EXPECT_LT(cache.Find("No Such Face", fontcache::kKindAny), 0) << damaged;
    EXPECT_NE(HeaderOf("DejaVu Sans").width, 20u) << damaged << ": drawn again";
  }
  Place("valid.dat");
  InitFontFile();
  MemoryFile file;
  SampleCache cache(fontcache::FoldedCompare);
  ASSERT_EQ(Load(cache, file), OpenResult::kOk);
  EXPECT_GE(cache.Find("No Such Face", fontcache::kKindAny), 0) << "entries are never dropped";
  EXPECT_GE(cache.Find("Liberation Sans", fontcache::kKindAny), 0) << "missing faces are added";
  bool blank = false;
  EXPECT_EQ(HeaderOf("DejaVu Sans", &blank).width, 20u);
  EXPECT_TRUE(blank) << "the stored sample, not a new one";
}

TEST_F(FontCache, ReadOnlyFilesAreReadAndNeverWritten) {
  for (const char *name : {"valid.dat", "dirty.dat"}) {
    Place(name);
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY);
    std::vector<uint8_t> before = ReadAll(path_);
    InitFontFile();
    EXPECT_EQ(ReadAll(path_), before) << name;
    EXPECT_FALSE(FontBitmapExists("Liberation Sans")) << name << ": nothing added";
    EXPECT_EQ(FontBitmapExists("DejaVu Sans"), std::string(name) == "valid.dat") << name;
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

TEST_F(FontCache, SettingsSwitchTheCacheOnAndOff) {
  EXPECT_TRUE(WriteFontProfileString("DejaVu Sans", "1"));
  EXPECT_EQ(Setting("DejaVu Sans"), "1");
  char buffer[8] = "junk";
  EXPECT_TRUE(GetFontProfileString("DejaVu Sans", "0", buffer, sizeof buffer) && std::string(buffer) == "1");
  EXPECT_TRUE(GetFontProfileString("Nothing", "0", buffer, sizeof buffer) && std::string(buffer) == "0");
  EXPECT_FALSE(GetFontProfileString("Nothing", nullptr, buffer, sizeof buffer) || buffer[0]) << "emptied";

  WriteFontProfileString("No Samples", "1");
  InitFontFile();
  UpdateFontFile(TRUE);
  EXPECT_EQ(GetFileAttributesA(path_.c_str()), INVALID_FILE_ATTRIBUTES) << "no cache at all";
  WriteFontProfileString("No Samples", "0");
  WriteFontProfileString("Show Samples", "0");
  InitFontFile();
  EXPECT_EQ(GetFileAttributesA(path_.c_str()), INVALID_FILE_ATTRIBUTES) << "samples off";
  UpdateFontFile(TRUE);
  EXPECT_TRUE(FontBitmapExists("DejaVu Sans")) << "forced";
}

}  // namespace
