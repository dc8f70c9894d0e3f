// The text record on a screen and under the user's hands: marks drawn by exclusive-or against
// a twin drawn fresh, keys and clicks sent through the system's input queue, edits that must
// leave everything as it was when refused, and the clipboard seen by another X program.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "support/dib_canvas.h"
#include "support/gdi_objects.h"
#include "tests/font/pascal_string.h"
#include "tests/scrap/drag_input.h"
#include "tstools/tstools.h"

namespace {

using namespace tstools::test;

constexpr int kW = 360, kH = 240;
constexpr OSType kText = 0x54584554;  // "TEXT" in memory order

std::vector<uint32_t> Snapshot(const DibCanvas &c) {  // 0x00RRGGBB: the DIB leaves the top byte alone
  return std::vector<uint32_t>(c.pixels(), c.pixels() + size_t(c.width()) * c.height());
}
std::vector<long> errors;
void __stdcall OnError(long code) { errors.push_back(code); }

// Another X program on the clipboard (xclip through the scrap tests' peer script). Wine
// returns from starting a Unix program at once: the peer writes `out` when it is done, and
// our messages are pumped meanwhile (it may ask us to render).
std::string Peer(const std::string &arguments, const std::string &out) {
  std::string dir = std::string("Z:") + TSTOOLS_EDIT_WORK;
  CreateDirectoryA(dir.c_str(), nullptr);
  std::string path = dir + "/" + out;
  DeleteFileA(path.c_str());
  std::string command = std::string("start.exe /unix ") + TSTOOLS_SCRAP_PEER + " " + arguments;
  STARTUPINFOA si{sizeof si};
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return "no peer";
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  for (int i = 0; i < 500 && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Pump(20);
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}
std::string XGet(const std::string &target) { return Peer("get " + target + " " + TSTOOLS_EDIT_WORK + "/got", "got"); }
void XSet(const std::string &target, const std::string &bytes) {
  std::ofstream(std::string("Z:") + TSTOOLS_EDIT_WORK + "/offer", std::ios::binary) << bytes;
  Peer("set " + target + " " + TSTOOLS_EDIT_WORK + "/offer " + TSTOOLS_EDIT_WORK + "/set", "set");
  Pump(100);
}

// Busy blocks of every heap of the process: the Memory Manager's zone, global memory, the runtime's.
long HeapBlocks() {
  HANDLE heaps[64];
  long busy = 0;
  for (DWORD i = 0, n = GetProcessHeaps(64, heaps); i < n && i < 64; ++i)
    for (PROCESS_HEAP_ENTRY entry{}; HeapWalk(heaps[i], &entry);) busy += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
  return busy;
}

std::string Bytes(Handle h) {
  Size n = 0;
  return MemGetHandleSize(h, &n) ? "" : std::string(*h, size_t(n));
}
std::string Text(QTERecord *r) { return std::string(*QTEGetTextHandle(r), size_t(QTEGetTextLen(r))); }
std::vector<long> Sel(QTERecord *r) { return {QTEGetSelStart(r), QTEGetSelEnd(r)}; }

Handle NewHandleOf(const void *bytes, Size n) {
  Handle h = nullptr;
  MemNewHandle(&h, n, 0);
  if (h && n) std::memcpy(*h, bytes, size_t(n));
  return h;
}

// A window whose client area the tests click and type into; messages go to the record.
QTERecord *target = nullptr;
ScrapRecord *scrap = nullptr;
LRESULT CALLBACK FieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  PictConvContext context{window, nullptr};
  switch (message) {
    case WM_CHAR: {
      char c = char(wParam);
      MapText(&c, 1, 1, 0);  // the host hands the engine Mac text
      if (target) QTEKey(short(uint8_t(c)), (GetKeyState(VK_SHIFT) & 0x8000) ? 0x0200 : 0, 1, target);
      return 0;
    }
    case WM_LBUTTONDOWN:
      if (target) {
        Point pt{short(LOWORD(lParam)), short(HIWORD(lParam))};
        QTEClick(pt, (wParam & MK_SHIFT) ? 1 : 0, target);
      }
      return 0;
    case WM_RENDERFORMAT: ML_RenderMsg(&context, UINT(wParam), 0); return 0;
    case WM_RENDERALLFORMATS: ML_RenderAllMsg(&context, 0, 0); return 0;
    case WM_DESTROYCLIPBOARD: ML_DestroyClipMsg(&context); return 0;
    case WM_DRAWCLIPBOARD: if (scrap) ML_DrawClipMsg(scrap, wParam, lParam); return 0;
    case WM_CHANGECBCHAIN: if (scrap) ML_ChangeChainMsg(scrap, wParam, lParam); return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class Screen : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitFonts(); }
  void SetUp() override {
    MemInitZone();
    QDrawCacheInit();
    static const WNDCLASSA wc{0, FieldProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "EditField"};
    static ATOM registered = RegisterClassA(&wc);
    (void)registered;
    window = CreateWindowA("EditField", "", WS_POPUP | WS_VISIBLE, 50, 50, kW, kH, 0, 0, 0, 0);
    ASSERT_EQ(ML_InitWinScrap(&scrap, window, 0), 0);
    canvas.OpenPort(&port);
    port.window = window;  // the mouse in the window's coordinates, drawing on the DIB
    GetFNum(P255("DejaVu Sans").bytes, &style.tsFont);
    ASSERT_GT(style.tsFont, 1) << "the set-up installs DejaVu";
    style.tsSize = 12;
    static HMODULE resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(ML_QTEInit(&portSlot, scrap, resources, 1, 0), 0);
    record = NewRecord();
    errors.clear();
  }
  void TearDown() override {
    target = nullptr;
    for (QTERecord *r : others) QTEDispose(r);
    QTEDispose(record);
    QTEShutdown();
    ClosePort(&port);
    ML_StopWinScrap(scrap);
    scrap = nullptr;
    DestroyWindow(window);
    QDrawCacheClose();
  }
  QTERecord *NewRecord() {
    Rect dest{10, 10, 330, 220}, view{10, 10, 330, 220};
    QTERecord *r = QTENew(&dest, &view, &style);
    QTESetErrorProc(OnError, r);
    if (r != record && record) others.push_back(r);
    return r;
  }
  // The width of text as the record measures it, in its first run's font.
  long Width(const char *text, long n) {
    QTETextStyle shown{};
    QTEGetStyle(0, &shown, record);
    ML_TextFont(&port, shown.tsFont), ML_TextSize(&port, shown.tsSize);
    unsigned short face = 0;
    return VTBTextWidth(text, 0, n, &face);
  }
  // A fresh record with the text, styles, paragraphs, rectangles and selection of r, drawn on
  // its own canvas; the pixels of both views must agree.
  void ExpectSameAsTwin(QTERecord *r, const char *what) {
    Handle t = NewHandleOf("", 0), s = NewHandleOf("", 0), p = NewHandleOf("", 0);
    ASSERT_TRUE(QTECopyData(r, 0, QTEGetTextLen(r), t, s, p));
    DibCanvas fresh(kW, kH);
    GrafPort freshPort{};
    fresh.OpenPort(&freshPort);
    GrafPort *saved = portSlot;
    portSlot = &freshPort;
    QTERecord *twin = NewRecord();
    QTEReplace(*t, long(Bytes(t).size()), s, p, twin);
    Rect dest, view;
    QTEGetDVRects(&dest, &view, r);
    QTESetDestRect(&dest, twin);
    QTESetViewRect(&view, twin);
    QTECalText(twin);
    QTESetSelect(QTEGetSelStart(r), QTEGetSelEnd(r), twin);
    if (QTEGetEditDraw(r) && active) QTEActivate(twin);
    QTEDraw(nullptr, 0, twin);
    portSlot = saved;
    std::vector<uint32_t> mine = Snapshot(canvas), theirs = Snapshot(fresh);
    int differing = 0, first = -1;
    for (int y = view.top; y < view.bottom; ++y)
      for (int x = view.left; x < view.right; ++x)
        if (mine[size_t(y) * kW + x] != theirs[size_t(y) * kW + x] && !differing++) first = y * kW + x;
    EXPECT_EQ(differing, 0) << what << ": pixels differ from a twin drawn fresh, first at (" << first % kW << ", "
                            << first / kW << "); text \"" << Text(r) << "\"";
    ClosePort(&freshPort);
    MemDisposeHandle(t), MemDisposeHandle(s), MemDisposeHandle(p);
  }

  DibCanvas canvas{kW, kH};
  GrafPort port{};
  GrafPort *portSlot = &port;
  HWND window = nullptr;
  QTETextStyle style{1, 0, 12, {0, 0, 0}};
  QTERecord *record = nullptr;
  std::vector<QTERecord *> others;
  bool active = true;
};

// 10,000 edits, scrolls and selection changes with drawing switched off and on: whatever the mix,
// the screen ends as a twin drawn once, and no GDI object or memory block is left behind.
TEST_F(Screen, ExclusiveOrMarksNeverDriftAndNothingLeaks) {
  const char lorem[] = "Lorem ipsum dolor sit amet,\rconsectetur adipiscing elit, sed do eiusmod tempor "
                      "incididunt ut labore et dolore magna aliqua.\rUt enim ad minim veniam.\r";
  QTEReplace(lorem, long(strlen(lorem)), nullptr, nullptr, record);
  Rect view{10, 10, 330, 90};  // shorter than the text: scrolling moves pixels
  QTESetViewRect(&view, record);
  QTEActivate(record);
  QTEDraw(nullptr, 0, record);
  QTEDeactivate(1, record), QTEActivate(record);  // the grey caret's brush joins the shared cache
  long before = LiveGdiObjects(), blocks = HeapBlocks();
  std::mt19937 rng(7);
  for (int step = 0; step < 10000; ++step) {
    long len = QTEGetTextLen(record), at = long(rng() % (len + 1));
    int op = int(rng() % 9);
    switch (op) {
      case 0: QTESetSelect(at, at + long(rng() % 6), record); break;  // short: the text keeps its size
      case 1: QTEKey(short('a' + rng() % 26), 0, 0, record); break;
      case 2: QTEKey(short(rng() % 2 ? 8 : 127), 0, 0, record); break;
      case 3: QTEKey(short(28 + rng() % 4), short(rng() % 2 ? 0x0200 : 0), 0, record); break;
      case 4: QTEPinScroll(long(rng() % 21) - 10, long(rng() % 41) - 20, record); break;
      case 5: if (rng() % 4 == 0) QTESetEditDraw(0, record); break;  // back on only with the host's redraw
      case 6: QTEInsert(" x\r", 3, nullptr, 0, record); break;
      case 7:
        if (rng() % 2) QTEDeactivate(Boolean(rng() % 2), record), active = false;
        else QTEActivate(record), active = true;
        break;
      case 8: if (!QTEGetEditDraw(record)) QTESetEditDraw(1, record), QTEDraw(nullptr, 0, record); break;
    }
    if (step % 50 == 49) {
      // Drawing back on, the host redraws once; then drawn edits, scrolls and selections
      // must keep the marks true without any further full redraw.
      if (!QTEGetEditDraw(record)) QTESetEditDraw(1, record), QTEDraw(nullptr, 0, record);
      QTEActivate(record);
      active = true;
      if (QTEGetTextLen(record) < 300) QTEInsert(lorem, long(strlen(lorem)), nullptr, 0, record);
      for (int i = 0; i < 12; ++i) {
        long n = QTEGetTextLen(record);
        switch (rng() % 4) {
          case 0: QTEKey(short('a' + rng() % 26), 0, 0, record); break;
          case 1: QTEKey(8, 0, 0, record); break;
          case 2: QTEPinScroll(0, long(rng() % 61) - 30, record); break;
          case 3: at = long(rng() % (n + 1)), QTESetSelect(at, at + long(rng() % 30), record); break;
        }
      }
      QTESetSelect(QTEGetSelStart(record), QTEGetSelEnd(record), record);
      ExpectSameAsTwin(record, ("step " + std::to_string(step)).c_str());
      if (HasFailure()) return;
    }
  }
  for (QTERecord *r : others) QTEDispose(r);
  others.clear();
  EXPECT_EQ(LiveGdiObjects(), before);
  EXPECT_LT(HeapBlocks(), blocks + 50) << "a block kept by one operation in a hundred";
}

// The highlight of a selection is exactly the rectangles the text predicts, and the caret is
// a single line, seen as the exclusive-or with an unselected twin.
TEST_F(Screen, HighlightAndCaretPixels) {
  const char text[] = "Hello world\rsecond line here\rthird";
  QTEReplace(text, long(strlen(text)), nullptr, nullptr, record);
  QTEDraw(nullptr, 0, record);
  std::vector<uint32_t> plain = Snapshot(canvas);
  long h0 = QTEGetHeight(0, 0, record, 0), h1 = QTEGetHeight(1, 1, record, 0), h2 = QTEGetHeight(2, 2, record, 0);
  struct Box { long l, t, r, b; };
  // Boxes overlapping an odd number of times are inside; marked(x, y) must say the same.
  auto sameArea = [&](const std::vector<Box> &boxes, auto &&marked, const char *what) {
    int wrong = 0;
    struct { int x, y; bool inside; } first{};
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        bool inside = false;
        for (const Box &b : boxes) inside ^= x >= b.l && x < b.r && y >= b.t && y < b.b;
        bool changed = marked(x, y);
        if (inside != changed && !wrong++) first = {x, y, inside};
      }
    EXPECT_EQ(wrong, 0) << what << "; first at (" << first.x << ", " << first.y << ") expected "
                        << (first.inside ? "inverted" : "plain");
  };
  auto xorMatches = [&](const std::vector<Box> &boxes, const char *what) {
    std::vector<uint32_t> now = Snapshot(canvas);
    sameArea(boxes, [&](int x, int y) { return now[size_t(y) * kW + x] != plain[size_t(y) * kW + x]; }, what);
  };
  QTEActivate(record);
  QTESetSelect(2, 7, record);
  xorMatches({{10 + Width("He", 2), 10, 10 + Width("Hello w", 7), 10 + h0}}, "one line");
  QTESetSelect(8, 31, record);  // "rld\r" .. "th"
  xorMatches({{10 + Width(text, 8), 10, 330, 10 + h0},
              {10, 10 + h0, 330, 10 + h0 + h1},
              {10, 10 + h0 + h1, 10 + Width("th", 2), 10 + h0 + h1 + h2}},
             "three lines, the difference drawn from the last");
  RgnHandle changed = QTEGetSelectionRgn(record);
  sameArea({{10 + Width("He", 2), 10, 10 + Width("Hello w", 7), 10 + h0},
            {10 + Width(text, 8), 10, 330, 10 + h0},
            {10, 10 + h0, 330, 10 + h0 + h1},
            {10, 10 + h0 + h1, 10 + Width("th", 2), 10 + h0 + h1 + h2}},
           [&](int x, int y) { return PtInRegion(changed, x, y) != 0; }, "the region: what the change inverted");
  QTESetSelect(4, 4, record);
  long x = 10 + Width("Hell", 4);
  xorMatches({{x, 10, x + 1, 10 + h0}}, "the caret");
  QTEDeactivate(1, record);
  std::vector<uint32_t> grey = Snapshot(canvas);
  int shown = 0;
  for (long y = 10; y < 10 + h0; ++y)  // a pattern brush also sets the top byte
    shown += ((grey[size_t(y) * kW + x] ^ plain[size_t(y) * kW + x]) & 0xFFFFFF) != 0;
  EXPECT_EQ(shown, h0 / 2) << "inactive, a kept caret is grey: every other pixel";
  QTEActivate(record);
  xorMatches({{x, 10, x + 1, 10 + h0}}, "active again, the caret is black");
}

// Refused edits change nothing; a move onto its own selection neither; reversed ends are put
// in order; the baseline and the fitted view stay in range.
TEST_F(Screen, RefusedEditsAndRangesChangeNothing) {
  std::string big(63990, 'x');
  QTEReplace(big.data(), long(big.size()), nullptr, nullptr, record);
  QTESetSelect(100, 105, record);
  std::string over(16, 'y');
  errors.clear();
  QTEInsert(over.data(), long(over.size()), nullptr, 0, record);  // 63990 - 5 + 16 > 64000
  EXPECT_EQ(errors, std::vector<long>{5});
  EXPECT_EQ(QTEGetTextLen(record), 63990);
  EXPECT_EQ(Sel(record), (std::vector<long>{100, 105})) << "the selection survives a refusal";
  QTEInsert(over.data(), 15, nullptr, 0, record);  // exactly 64000
  EXPECT_EQ(QTEGetTextLen(record), 64000);
  EXPECT_EQ(Sel(record), (std::vector<long>{115, 115}));
  QTEInsert("zz", 2, nullptr, 1, record);  // replaceAll is one replacement too
  EXPECT_EQ(Text(record), "zz");

  QTEReplace("abcdef", 6, nullptr, nullptr, record);
  QTESetSelect(4, 1, record);
  EXPECT_EQ(Sel(record), (std::vector<long>{1, 4})) << "reversed ends swapped";
  Handle t = NewHandleOf("", 0);
  ASSERT_TRUE(QTECopyData(record, 5, 2, t, nullptr, nullptr));
  EXPECT_EQ(Bytes(t), "cde");
  MemDisposeHandle(t);

  QTEDragEnter(Point{10 + 1, 15}, record);  // over "a": outside the selection [1, 4)
  QTEDragWithin(Point{10 + 3 * 7, 15}, record);
  long at = QTEDoGetDragPosition(record);
  ASSERT_GT(at, 1);
  ASSERT_LT(at, 4);
  QTEDrop("bcd", 3, nullptr, 1, 1, record);
  EXPECT_EQ(Text(record), "abcdef") << "a move onto its own selection";
  EXPECT_EQ(QTEDoGetDragPosition(record), -1);

  EXPECT_EQ(QTEGetBaseline(1000, record), QTEGetBaseline(QTENumLines(record) - 1, record)) << "clamped";
  std::string tall;
  for (int i = 0; i < 3000; ++i) tall += "line\r";
  QTEReplace(tall.data(), long(tall.size()), nullptr, nullptr, record);
  QTERecalBounds(0, 1, 0, 0, record);
  Rect view;
  QTEGetViewRect(&view, record);
  EXPECT_EQ(view.bottom, 32767) << "a 16-bit view bottom";
}

// Characters queued behind the first key join its insertion mapped to Mac text; a Ctrl
// shortcut ends the batch and stays queued for the host.
TEST_F(Screen, TypingBatchMapsAndLeavesShortcutsQueued) {
  Pump(50);  // nothing else queued in front of the keys
  PostMessageA(window, WM_CHAR, 0xE9, 1);  // e acute in the Windows code page
  PostMessageA(window, WM_CHAR, 'b', 1);
  PostMessageA(window, WM_KEYDOWN, VK_CONTROL, 1);
  PostMessageA(window, WM_CHAR, 'c', 1);
  QTEKey('a', 0, 1, record);
  EXPECT_EQ(Text(record), "a\x8E" "b");
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT(WM_KEYDOWN));
  EXPECT_EQ(msg.wParam, WPARAM(VK_CONTROL));

  // Drawing off: the caret still follows, so nothing comes out reversed.
  QTESetEditDraw(0, record);
  QTEKey('x', 0, 0, record);
  QTEKey('y', 0, 0, record);
  EXPECT_EQ(Text(record), "a\x8E" "bxy");
  EXPECT_EQ(Sel(record), (std::vector<long>{5, 5}));

  // URLs: found around the caret; the handle must be able to take it.
  QTEReplace("see HTTP://x.org/a. now", 23, nullptr, nullptr, record);
  QTESetSelect(8, 8, record);
  Handle h = NewHandleOf("", 0);
  ASSERT_TRUE(QTEGetURLText(record, h));
  EXPECT_EQ(Bytes(h), "HTTP://x.org/a.");
  MemDisposeHandle(h);
  char outside[] = "unused", *fake = outside;  // not our handle: it cannot be resized, nothing is written
  EXPECT_FALSE(QTEGetURLText(record, &fake));
  EXPECT_STREQ(outside, "unused");
}

// The shell runs the handler registered for a scheme: this program, which records its argument.
TEST(OpenURL, ReachesTheSchemesHandlerInWindowsText) {
  std::string work = std::string("Z:") + TSTOOLS_EDIT_WORK, out = work + "/url";
  if (const char *url = strstr(GetCommandLineA(), "--url=\"")) {  // started by the shell below
    std::ofstream(out, std::ios::binary | std::ios::app) << std::string(url + 7, strcspn(url + 7, "\"")) << "\n";
    return;
  }
  CreateDirectoryA(work.c_str(), nullptr), DeleteFileA(out.c_str());
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string handler = std::string("\"") + self + "\" --gtest_filter=OpenURL.* --url=\"%1\"";
  // In the classes root itself: Wine's shell does not look at the user's classes.
  const char *keys[] = {"news", "tstest"};
  for (const char *key : keys) {
    RegSetKeyValueA(HKEY_CLASSES_ROOT, key, "URL Protocol", REG_SZ, "", 1);
    RegSetKeyValueA(HKEY_CLASSES_ROOT, (std::string(key) + "\\shell\\open\\command").c_str(), nullptr, REG_SZ,
                    handler.c_str(), DWORD(handler.size() + 1));
  }
  EXPECT_FALSE(XOpenURL("tstest://host/x", 15)) << "a scheme the engine does not know";
  EXPECT_TRUE(XOpenURL("news://host/caf\x8E", 16)) << "Mac text";
  std::string got;
  for (int i = 0; i < 200 && got.empty(); ++i, Sleep(50)) {
    std::ifstream f(out, std::ios::binary);
    got.assign(std::istreambuf_iterator<char>(f), {});
  }
  for (const char *key : keys) RegDeleteTreeA(HKEY_CLASSES_ROOT, key);
  EXPECT_EQ(got, "news://host/caf\xE9\n") << "only the news URL was run, in the Windows code page";
}

// Copy leaves the clipboard alone without a selection and otherwise reaches other programs as
// text; paste without text only deletes; a busy clipboard changes nothing.
TEST_F(Screen, ClipboardCopyPasteAndBusy) {
  QTEReplace("caf\x8E au lait", 12, nullptr, nullptr, record);
  QTESetSelect(0, 4, record);
  ASSERT_TRUE(QTECopy(record));
  Pump(50);
  ASSERT_TRUE(OpenClipboard(window));
  HANDLE g = GetClipboardData(CF_TEXT);
  std::string got = g ? static_cast<const char *>(GlobalLock(g)) : "";
  if (g) GlobalUnlock(g);
  CloseClipboard();
  EXPECT_EQ(got, "caf\xE9") << "CF_TEXT in the Windows code page";

  QTESetSelect(5, 5, record);
  ASSERT_TRUE(QTECopy(record));
  EXPECT_TRUE(ML_TestScrap(scrap, kText)) << "an empty selection leaves the clipboard alone";
  QTEStylPaste(nullptr, 1, record);
  EXPECT_EQ(Text(record), "caf\x8E caf\x8E" "au lait");

  // Another window holds the clipboard open: the paste changes nothing.
  HWND other = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, 0, 0, 0, 0);
  ASSERT_TRUE(OpenClipboard(other));
  QTESetSelect(0, 3, record);
  QTEStylPaste(nullptr, 1, record);
  EXPECT_EQ(QTEGetTextLen(record), 16);
  EmptyClipboard();
  CloseClipboard();
  DestroyWindow(other);
  QTEStylPaste(nullptr, 1, record);
  EXPECT_EQ(Text(record), "\x8E caf\x8E" "au lait") << "no TEXT: the selection goes";

  // Another program reads what we copy, and what it offers pastes as Mac text with returns.
  QTESetSelect(2, 6, record);
  ASSERT_TRUE(QTECopy(record));
  EXPECT_EQ(XGet("UTF8_STRING"), "caf\xC3\xA9");
  XSet("UTF8_STRING", "na\xC3\xAFve\nx");
  QTESetSelect(0, 0, record);
  QTEStylPaste(nullptr, 1, record);
  EXPECT_EQ(Text(record).substr(0, 7), "na\x95ve\rx");
  QTESetSelect(0, 2, record);
  QTECopy(record);  // taking the clipboard back lets the peer's xclip end
  Pump(200);
}

// Keys through the input queue reach the record as WM_CHAR; typing fast (batched) and slowly
// give the same text. Clicks: counts 1 to 5, shift, a drag.
TEST_F(Screen, SentKeysAndClicks) {
  target = record;
  SetForegroundWindow(window);
  SetFocus(window);
  Pump(100);
  const wchar_t typed[] = L"Tr\u00e8s bien, na\u00efve caf\u00e9";
  auto type = [&](bool fast) {
    QTEReplace("", 0, nullptr, nullptr, record);
    std::vector<INPUT> in;
    for (const wchar_t *p = typed; *p; ++p)
      for (DWORD up : {DWORD(0), DWORD(KEYEVENTF_KEYUP)}) {
        INPUT i{};
        i.type = INPUT_KEYBOARD, i.ki.wScan = *p, i.ki.dwFlags = KEYEVENTF_UNICODE | up;
        in.push_back(i);
      }
    if (fast) {
      SendInput(UINT(in.size()), in.data(), sizeof(INPUT));  // all queued at once: batched
      Pump(300);
    } else {
      for (INPUT &i : in) SendInput(1, &i, sizeof(INPUT)), Pump(10);
    }
    return Text(record);
  };
  std::string slow = type(false);
  EXPECT_EQ(slow, "Tr\x8Fs bien, na\x95ve caf\x8E");
  EXPECT_EQ(type(true), slow);

  QTEReplace("one two three\rfour five\rsix", 27, nullptr, nullptr, record);
  QTEActivate(record);
  QTEDraw(nullptr, 0, record);
  long h0 = QTEGetHeight(0, 0, record, 0);
  RECT wr;
  GetWindowRect(window, &wr);
  // A point inside "two" on the first line, and inside "five" on the second.
  int x1 = 10 + int(Width("one tw", 6)), y1 = 10 + int(h0) / 2;
  int x2 = 10 + int(Width("four fi", 7)), y2 = y1 + int(h0);
  auto click = [&](int x, int y, int count, bool shift) {
    Sleep(GetDoubleClickTime() + 50);  // not counted with the last press
    SetCursorPos(wr.left + x, wr.top + y);
    if (shift) Key(VK_SHIFT);
    for (int i = 0; i < count; ++i) Mouse(MOUSEEVENTF_LEFTDOWN), Mouse(MOUSEEVENTF_LEFTUP);
    if (shift) Key(VK_SHIFT, KEYEVENTF_KEYUP);
    Pump(300);
    return Sel(record);
  };
  // The press is tracked inside QTEClick until the button comes up: the hand's thread lets it go.
  auto drag = [&](int x, int y, int toX, int toY) {
    Sleep(GetDoubleClickTime() + 50);
    Hand hand{{wr.left + x, wr.top + y}, {wr.left + toX, wr.top + toY}};
    SetCursorPos(hand.from.x, hand.from.y), Mouse(MOUSEEVENTF_LEFTDOWN);
    HANDLE thread = CreateThread(nullptr, 0, Hand::Run, &hand, 0, nullptr);
    Pump(1300);
    hand.Finish(thread);
    return Sel(record);
  };
  EXPECT_EQ(click(x1, y1, 1, false), (std::vector<long>{6, 6}));
  EXPECT_EQ(click(x1, y1, 2, false), (std::vector<long>{4, 7})) << "a word";
  EXPECT_EQ(click(x1, y1, 3, false), (std::vector<long>{0, 14})) << "a line";
  EXPECT_EQ(click(x2, y2, 4, false), (std::vector<long>{14, 24})) << "a paragraph";
  EXPECT_EQ(click(x2, y2, 5, false), (std::vector<long>{0, 27})) << "everything";
  click(x1, y1, 1, false);
  EXPECT_EQ(click(x2, y2, 1, true), (std::vector<long>{6, 21})) << "shift extends from the anchor";
  EXPECT_EQ(drag(x1, y1, x2, y2), (std::vector<long>{6, 21})) << "a drag";
}

// Started without colour (flag byte 0), runs are drawn in the nearest classic colour; with
// it, in their own.
TEST_F(Screen, ClassicColoursWithoutTheColourFlag) {
  style.tsSize = 36;
  style.tsColor = RGBColor{0xC000, 0x4000, 0x1000};
  for (Boolean colour : {0, 1}) {
    ASSERT_NE(QTEInit(colour, 0), 0);
    QTERecord *r = NewRecord();
    QTEReplace("MWM", 3, nullptr, nullptr, r);
    QTEDraw(nullptr, 0, r);
    std::vector<uint32_t> now = Snapshot(canvas);
    EXPECT_EQ(std::count(now.begin(), now.end(), 0xC04010u) > 50, colour != 0) << "its own colour";
    EXPECT_EQ(std::count(now.begin(), now.end(), 0xFF0000u) > 50, colour == 0) << "classic red";
  }
}

// A record turned a quarter turn shows what its upright twin shows, turned: text, highlight
// and caret, after a scroll, and a click at a turned point selects what the same point of
// the twin selects. The twin stands left of it on the same port.
TEST_F(Screen, QuarterTurnedRecordIsItsUprightTwinTurned) {
  const char text[] = "Turned text\rwith a second line and a third that wraps at the edge\rend";
  Rect upright{10, 10, 110, 210}, turned{130, 10, 330, 110};  // 100 x 200, and 200 x 100 on the port
  for (long angle : {900L, 2700L}) {
    QTERecord *twin = NewRecord(), *r = NewRecord();
    QTESetRecord(&upright, &upright, 8000, text, long(strlen(text)), &style, 0, 0, 0, 0, 0, 0, 0, nullptr, nullptr,
                 0, 0, nullptr, 0, twin);
    QTESetRecord(&turned, &turned, 8000, text, long(strlen(text)), &style, 0, 0, 0, angle, 0, 0, 0, nullptr,
                 nullptr, 0, 0, nullptr, 0, r);
    // Where the twin's pixel (x, y) stands on the port when turned.
    auto onPort = [&](int x, int y) {
      int tx = x + 120 - 130, ty = y - 10;  // inside the turned record's view, as its text holds it
      return angle == 900 ? POINT{130 + ty, 10 + 99 - tx} : POINT{130 + 199 - ty, 10 + tx};
    };
    auto expectTurned = [&](const char *what) {
      std::vector<uint32_t> now = Snapshot(canvas);
      int differing = 0, ink = 0;
      for (int y = upright.top; y < upright.bottom; ++y)
        for (int x = upright.left; x < upright.right; ++x) {
          POINT p = onPort(x, y);
          uint32_t mine = now[size_t(y) * kW + x], theirs = now[size_t(p.y) * kW + p.x];
          ink += mine != 0xFFFFFF;
          differing += mine != theirs;
        }
      // Glyphs are rasterised turned, not turned as bitmaps: a pixel in a hundred may differ.
      EXPECT_LE(differing, ink / 100 + 20) << angle << ", " << what << ": " << ink << " ink pixels";
      EXPECT_GT(ink, 1000) << "the highlight and text are drawn";
    };
    for (QTERecord *one : {twin, r}) {
      QTEActivate(one);
      QTESetSelect(5, 30, one);
      QTEDraw(nullptr, 0, one);
    }
    expectTurned("a range");
    for (QTERecord *one : {twin, r}) QTEScroll(0, -13, one);
    expectTurned("scrolled");
    RgnHandle rgn = QTEGetSelectionRgn(r);
    POINT inside = onPort(15, 12);
    EXPECT_TRUE(PtInRegion(rgn, inside.x, inside.y)) << "the region is where the port shows the selection";
    for (POINT at : {POINT{40, 20}, POINT{70, 45}, POINT{20, 150}}) {
      POINT p = onPort(at.x, at.y);
      Sleep(GetDoubleClickTime() + 20);
      QTEClick(Point{short(at.x), short(at.y)}, 0, twin);
      QTEClick(Point{short(p.x), short(p.y)}, 0, r);
      EXPECT_EQ(Sel(r), Sel(twin)) << angle << ": a click at " << at.x << ", " << at.y;
    }
    expectTurned("a caret");
  }
}

}  // namespace

