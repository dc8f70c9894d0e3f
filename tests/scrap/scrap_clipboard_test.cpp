// The scrap on Wine's clipboard, which under X is the X clipboard: another X program (xclip,
// through xclip_peer.py) reads what we put there and offers what we read.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "sound/wave_image.h"
#include "support/gdi_objects.h"
#include "tstools/tstools.h"

namespace {

using Bytes = std::string;
constexpr char kWork[] = TSTOOLS_SCRAP_WORK;  // a Unix directory, Z: to us

std::map<UINT, int> renders;  // WM_RENDERFORMAT received, by format
bool forwardDestroy = true;
ScrapRecord *records[2];

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ScrapRecord *scrap = records[0] && records[0]->window == window ? records[0] : records[1];
  PictConvContext context{window, nullptr};
  switch (message) {
    case WM_RENDERFORMAT: ++renders[UINT(wParam)]; ML_RenderMsg(&context, UINT(wParam), 0); return 0;
    case WM_RENDERALLFORMATS: ML_RenderAllMsg(&context, 0, 0); return 0;
    case WM_DESTROYCLIPBOARD: if (forwardDestroy) ML_DestroyClipMsg(&context); return 0;
    case WM_DRAWCLIPBOARD: if (scrap) ML_DrawClipMsg(scrap, wParam, lParam); return 0;
    case WM_CHANGECBCHAIN: if (scrap) ML_ChangeChainMsg(scrap, wParam, lParam); return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND NewOwner() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = OwnerProc;
  wc.lpszClassName = "ScrapOwner";
  RegisterClassA(&wc);
  return CreateWindowExA(0, "ScrapOwner", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

void Pump(DWORD ms) {
  DWORD end = GetTickCount() + ms;
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(5);
  } while (LONG(GetTickCount() - end) < 0);
}

std::string WinPath(const std::string &name) { return std::string("Z:") + kWork + "/" + name; }
void WriteFile(const std::string &name, const Bytes &bytes) { std::ofstream(WinPath(name), std::ios::binary) << bytes; }

// Runs the peer and pumps our messages (it may ask us to render) until `out` appears.
Bytes Peer(const std::string &arguments, const std::string &out) {
  DeleteFileA(WinPath(out).c_str());
  std::string command = std::string("start.exe /unix ") + TSTOOLS_SCRAP_PEER + " " + arguments;
  STARTUPINFOA si{sizeof si};
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return "no peer";
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  for (int i = 0; i < 600 && GetFileAttributesA(WinPath(out).c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Pump(20);
  std::ifstream f(WinPath(out), std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), {});
}
Bytes XGet(const std::string &target) { return Peer("get " + target + " " + kWork + "/got", "got"); }
void XSet(const std::string &target, const Bytes &bytes) {
  WriteFile("offer", bytes);
  Peer("set " + target + " " + kWork + "/offer " + kWork + "/set", "set");
  Pump(100);
}

Bytes Scrap(HWND *window, const char *type) {
  Handle h = nullptr;
  MemNewHandle(&h, 0, 0);
  OSType t;
  std::memcpy(&t, type, 4);
  long n = ML_GetScrap(window, h, t, nullptr);
  Bytes got = n < 0 ? "error " + std::to_string(n) : Bytes(*h, size_t(n));
  MemDisposeHandle(h);
  return got;
}
OSType T(const char *type) { OSType t; std::memcpy(&t, type, 4); return t; }
Bytes Prefixed(const Bytes &data) {
  uint32_t n = uint32_t(data.size());
  return Bytes(reinterpret_cast<const char *>(&n), 4) + data;
}

class ScrapClipboard : public testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryA((std::string("Z:") + kWork).c_str(), nullptr);
    owner = NewOwner();
    renders.clear();
    forwardDestroy = true;
    ASSERT_EQ(ML_ZeroScrap(&owner), 0);
  }
  void TearDown() override { DestroyWindow(owner); }
  HWND owner;
};

TEST_F(ScrapClipboard, MacTextCrossesBothWays) {
  // Characters Mac Roman and code page 1252 share, and line ends.
  const Bytes mac = "caf\x8e \xd2quoted\xd3\r\x87 na\x95ve\rlast";
  ASSERT_EQ(ML_PutScrapTEXT(&owner, long(mac.size()), mac.data()), noErr);
  WriteFile("mac", mac);
  EXPECT_EQ(XGet("UTF8_STRING"), Peer(std::string("mac-as-utf8 ") + kWork + "/mac " + kWork + "/want", "want"));
  XGet("TARGETS");  // Wine offers registered formats to X once it has listed its targets
  EXPECT_EQ(XGet("Mac-TEXT"), Prefixed(mac));
  XGet("UTF8_STRING");
  EXPECT_EQ(renders[CF_TEXT], 1);  // delayed formats render once
  EXPECT_EQ(renders[ML_MapMacToWinType(T("TEXT"), nullptr)], 1);
  EXPECT_EQ(Scrap(&owner, "TEXT"), mac);

  // From X: LF line ends, and a letter code page 1252 lacks.
  const Bytes utf8 = "na\xc3\xafve \xe2\x80\x9cquote\xe2\x80\x9d\n\xe4\xb8\xad ideograph\nend";
  XSet("UTF8_STRING", utf8);
  WriteFile("utf8", utf8);
  EXPECT_TRUE(ML_TestScrap(&owner, T("TEXT")));
  EXPECT_EQ(Scrap(&owner, "TEXT"), Peer(std::string("utf8-as-mac ") + kWork + "/utf8 " + kWork + "/want", "want"));
}

TEST_F(ScrapClipboard, RawTypesBothWays) {
  Bytes pict(70000, 0);
  for (size_t i = 0; i < pict.size(); ++i) pict[i] = char(i * 13);
  pict[0] = 0x11, pict[1] = 0x70;  // the picSize field: 70000's low 16 bits
  Handle h = nullptr;
  PtrToHand(pict.data(), &h, Size(pict.size()));
  ASSERT_EQ(ML_PutScrapPICT(&owner, reinterpret_cast<PicHandle>(h)), noErr);
  XGet("TARGETS");
  Bytes block = XGet("Mac-PICT");
  ASSERT_EQ(block.size(), pict.size() + 6);
  EXPECT_EQ(block.substr(pict.size()), Bytes("PICT") + pict.substr(0, 2));
  EXPECT_EQ(Scrap(&owner, "PICT"), pict);
  EXPECT_EQ(ML_PutScrap(&owner, 3, T("XXXX"), "abc"), 0);
  XGet("TARGETS");
  EXPECT_EQ(XGet("Mac-XXXX"), Prefixed("abc"));

  // Another program's bare PICT comes whole; a prefix that claims more than its block is
  // cut to the block.
  XSet("Mac-PICT", pict.substr(0, 500));
  EXPECT_EQ(Scrap(&owner, "PICT"), pict.substr(0, 500));
  XSet("Mac-XXXX", Bytes("\xff\0\0\0" "abcd", 8));
  EXPECT_EQ(Scrap(&owner, "XXXX"), "abcd");
  XSet("Mac-XXXX", Bytes("\xfe\xff\xff\xff" "abcd", 8));
  EXPECT_EQ(Scrap(&owner, "XXXX"), "error -50");
  MemDisposeHandle(h);
}

TEST_F(ScrapClipboard, SoundsRenderAsWave) {
  Handle snd = nullptr;
  MemNewHandle(&snd, Size(tstools::sound::kSndPrefixBytes + 1000), 0);
  tstools::sound::WriteSndPrefix(reinterpret_cast<uint8_t *>(*snd), 1000, 11025);
  for (int i = 0; i < 1000; ++i) (*snd)[42 + i] = char(128 + i % 50);
  ASSERT_EQ(ML_PutScrapSnd(&owner, snd), noErr);
  HGLOBAL wave = nullptr;
  ASSERT_EQ(ML_SndToWave(nullptr, *snd, 0, &wave), noErr);
  EXPECT_EQ(XGet("WCF_WAVE"), Bytes(static_cast<const char *>(GlobalLock(wave)), GlobalSize(wave)));
  GlobalFree(wave);
  MemSetHandleSize(snd, 30);  // a header cut short
  EXPECT_EQ(ML_PutScrapSnd(&owner, snd), -204);
  MemDisposeHandle(snd);
}

TEST_F(ScrapClipboard, KeptDataOutlivesItsOwnerOnlyWhileOwning) {
  HWND other = NewOwner();
  ASSERT_EQ(ML_PutScrapTEXT(&owner, 3, "old"), noErr);
  // Another window empties and fills the clipboard without our hearing of it: our kept text
  // must not come back over its data.
  forwardDestroy = false;
  ASSERT_EQ(ML_ZeroScrap(&other), 0);
  ASSERT_EQ(ML_PutScrap(&other, 3, T("XXXX"), "new"), 0);
  EXPECT_EQ(ML_RenderAllMsg(&owner, 0, 0), noErr);
  EXPECT_FALSE(ML_TestScrap(&owner, T("TEXT")));

  forwardDestroy = true;
  ASSERT_EQ(ML_ZeroScrap(&owner), 0);
  ASSERT_EQ(ML_PutScrapTEXT(&owner, 4, "kept"), noErr);
  DestroyWindow(owner);  // WM_RENDERALLFORMATS
  owner = other;
  EXPECT_EQ(Scrap(&other, "TEXT"), "kept");
  EXPECT_EQ(renders.size(), 0u);
}

TEST_F(ScrapClipboard, ReplacedAndDiscardedMetafilesAreDeleted) {
  HDC dc = CreateMetaFileA(nullptr);
  Rectangle(dc, 0, 0, 50, 50);
  METAFILEPICT mfp{MM_ANISOTROPIC, 1000, 1000, CloseMetaFile(dc)};
  Handle picMeta = nullptr;
  MemNewHandle(&picMeta, 0, 0);
  ASSERT_EQ(ML_MetaToPicMeta(0, &mfp, picMeta, 0), noErr);
  long before = tstools::test::LiveGdiObjects();
  for (int i = 0; i < 3; ++i) ASSERT_EQ(ML_PutScrapPicMeta(&owner, picMeta), noErr);
  EXPECT_EQ(tstools::test::LiveGdiObjects(), before + 1);
  ML_DestroyClipMsg(&owner);
  EXPECT_EQ(tstools::test::LiveGdiObjects(), before);
  DeleteMetaFile(mfp.hMF);
  MemDisposeHandle(picMeta);
}

TEST_F(ScrapClipboard, ViewerChainCountsChangesAndHealsItself) {
  HWND second = NewOwner();
  ASSERT_EQ(ML_InitWinScrap(&records[0], owner, 7), noErr);
  ASSERT_EQ(ML_InitWinScrap(&records[1], second, 0), noErr);
  EXPECT_EQ(records[1]->nextViewer, owner);
  EXPECT_EQ(ML_InfoScrap(records[0])->scrapName[0], 11);
  short counts[2] = {records[0]->info.scrapCount, records[1]->info.scrapCount};
  ML_ZeroScrap(&owner);
  Pump(200);
  EXPECT_EQ(records[0]->info.scrapCount, counts[0] + 1);  // passed on by the second
  EXPECT_EQ(records[1]->info.scrapCount, counts[1] + 1);
  ML_StopWinScrap(records[0]);
  records[0] = nullptr;
  EXPECT_EQ(records[1]->nextViewer, nullptr);
  ML_StopWinScrap(records[1]);
  records[1] = nullptr;
  DestroyWindow(second);
}

}  // namespace
