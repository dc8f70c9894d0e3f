// Drags through the OLE bridge under Wine: between two windows of this process, driven by
// SendInput from a helper thread (OLE captures the mouse and reads the buttons from the key
// state), and from another program's bare OLE drag onto one of ours. The first test runs
// before the bridge is loaded.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "support/child_process.h"
#include "tstools/tstools.h"

namespace {

using tstools::test::ParseReport;
using tstools::test::ProgramDirectory;

OSType Type(const char (&chars)[5]) {
  OSType t;
  memcpy(&t, chars, 4);
  return t;
}

TEST(DragWithoutBridge, NothingIsBoundAndEveryCallIsParamErr) {
  ASSERT_EQ(GetModuleHandleA("TSOLE.DLL"), nullptr);
  EXPECT_FALSE(DragInit());
  DragReference drag = reinterpret_cast<DragReference>(1);
  EXPECT_EQ(NewDrag(&drag), paramErr);
  EXPECT_EQ(drag, nullptr);
  WindowRecord window{};
  Size size = 0;
  char buffer[4];
  EXPECT_EQ(InstallReceiveHandler(reinterpret_cast<DragReceiveHandler>(1), &window, nullptr), paramErr);
  EXPECT_EQ(InstallTrackingHandler(reinterpret_cast<DragTrackingHandler>(1), &window, nullptr), paramErr);
  EXPECT_EQ(DisposeDrag(nullptr), paramErr);
  EXPECT_EQ(GetFlavorData(nullptr, 1, Type("TEXT"), buffer, &size, 0), paramErr);
  EXPECT_EQ(TrackDrag(nullptr, nullptr, &window, Point{}, 0, nullptr), paramErr);
}

TEST(DragWithoutBridge, ABridgeMissingAnEntryIsNotBound) {
  HMODULE incomplete = LoadLibraryA((ProgramDirectory() + "tsole_incomplete\\TSOLE.DLL").c_str());
  ASSERT_NE(incomplete, nullptr);
  EXPECT_FALSE(DragInit());
  DragReference drag = nullptr;
  EXPECT_EQ(NewDrag(&drag), paramErr);
  WindowRecord window{};
  EXPECT_EQ(InstallReceiveHandler(reinterpret_cast<DragReceiveHandler>(1), &window, nullptr), paramErr);
  EXPECT_TRUE(FreeLibrary(incomplete));
  EXPECT_EQ(GetModuleHandleA("TSOLE.DLL"), nullptr) << "no reference kept to a module not bound";
}

long LiveBridgeObjects() {
  using Fn = long(__stdcall *)();
  auto fn = reinterpret_cast<Fn>(reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("TSOLE.DLL"), "_TsOleLiveObjects@0")));
  return fn ? fn() : -1;
}

class Drag : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { LoadLibraryA("TSOLE.DLL"); }
  void SetUp() override { ASSERT_TRUE(DragInit()) << "TSOLE.DLL beside the test"; }
};

// Promises kept by counting how often the send procedure was asked.
int sendCalls = 0;
OSErr __stdcall SendPromise(FlavorType type, void *refCon, ItemReference item, DragReference drag) {
  ++sendCalls;
  if (type != Type("prom") || item != 1 || refCon != &sendCalls) return -1;
  return SetDragItemFlavorData(drag, item, type, "kept", 4, 0);
}

std::string FlavorText(DragReference drag, const char (&type)[5], unsigned long offset = 0, OSErr *err = nullptr) {
  char buffer[64] = {};
  Size size = sizeof buffer;
  OSErr e = GetFlavorData(drag, 1, Type(type), buffer, &size, offset);
  if (err) *err = e;
  return e ? "" : std::string(buffer, size);
}

const unsigned char kPict[] = {0x12, 0x34, 0, 0, 0, 0, 0, 10, 0, 20, 0x00, 0x11, 0x02, 0xFF};

TEST_F(Drag, FlavoursComeBackWithoutTheirLayouts) {
  DragReference drag = nullptr;
  ASSERT_EQ(NewDrag(&drag), noErr);
  EXPECT_EQ(AddDragItemFlavor(drag, 1, Type("TEXT"), "hello", 5, 0), noErr);
  EXPECT_EQ(AddDragItemFlavor(drag, 1, Type("PICT"), kPict, sizeof kPict, 0), noErr);
  EXPECT_EQ(AddDragItemFlavor(drag, 1, Type("prom"), nullptr, 0, 0), noErr);
  EXPECT_EQ(SetDragSendProc(drag, SendPromise, &sendCalls), noErr);

  Size size = 0;
  EXPECT_EQ(GetFlavorDataSize(drag, 1, Type("TEXT"), &size), noErr);
  EXPECT_EQ(size, 5) << "the text's length, not the block's";
  EXPECT_EQ(FlavorText(drag, "TEXT"), "hello");
  EXPECT_EQ(FlavorText(drag, "TEXT", 1), "ello") << "the offset applies";
  EXPECT_EQ(FlavorText(drag, "TEXT", 9), "");
  EXPECT_EQ(GetFlavorDataSize(drag, 1, Type("PICT"), &size), noErr);
  EXPECT_EQ(size, Size(sizeof kPict));
  std::string pict = FlavorText(drag, "PICT");
  EXPECT_EQ(pict, std::string(reinterpret_cast<const char *>(kPict), sizeof kPict)) << "picSize kept";

  sendCalls = 0;
  EXPECT_EQ(GetFlavorDataSize(drag, 1, Type("prom"), &size), noErr);
  EXPECT_EQ(size, 4);
  EXPECT_EQ(FlavorText(drag, "prom"), "kept");
  EXPECT_EQ(sendCalls, 1) << "size then data of one type fetch once";

  FlavorFlags flags = 9;
  EXPECT_EQ(GetFlavorFlags(drag, 1, Type("TEXT"), &flags), noErr);
  EXPECT_EQ(flags, 0u);
  EXPECT_EQ(GetFlavorFlags(drag, 1, Type("none"), &flags), badDragFlavorErr);
  EXPECT_EQ(GetFlavorDataSize(drag, 1, Type("none"), &size), badDragFlavorErr);
  EXPECT_EQ(AddDragItemFlavor(drag, 1, Type("EMBO"), nullptr, 0, 0), paramErr);
  EXPECT_EQ(SetDragItemFlavorData(drag, 1, Type("OFN "), "x", 1, 0), paramErr);
  EXPECT_EQ(GetFlavorDataSize(drag, 1, Type("OFN "), &size), noErr);
  EXPECT_EQ(size, -1);

  unsigned short count = 0;
  ItemReference item = 0;
  EXPECT_EQ(CountDragItems(drag, &count), noErr);
  EXPECT_EQ(GetDragItemReferenceNumber(drag, 1, &item), noErr);
  EXPECT_EQ(count * 10 + item, 11u);
  EXPECT_EQ(TrackDrag(nullptr, nullptr, nullptr, Point{}, 0, nullptr), paramErr);
  EXPECT_EQ(DisposeDrag(drag), noErr);
  EXPECT_EQ(LiveBridgeObjects(), 0);
}

TEST_F(Drag, TheBoundBridgeOutlivesTheHostsReference) {
  HMODULE bridge = GetModuleHandleA("TSOLE.DLL");
  ASSERT_TRUE(FreeLibrary(bridge));
  EXPECT_EQ(GetModuleHandleA("TSOLE.DLL"), bridge) << "the library holds its own reference";
  EXPECT_EQ(LoadLibraryA("TSOLE.DLL"), bridge);
}

OSErr __stdcall NoTracking(short, WindowPtr, void *, DragReference, DWORD *) { return noErr; }
OSErr __stdcall NoReceive(WindowPtr, void *, DragReference, DWORD *) { return noErr; }

// Plain top-level windows carrying zeroed window records: the Drag Manager reads only the
// window handle.
// (Not STATIC controls: those are transparent to hit testing, and OLE finds targets by it.)
struct TestWindow {
  WindowRecord record{};
  explicit TestWindow(int x, int y) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "DragTestWindow";
    RegisterClassA(&wc);  // once; later calls fail harmlessly
    record.port.window = CreateWindowExA(WS_EX_TOPMOST, "DragTestWindow", "", WS_POPUP | WS_VISIBLE, x, y, 200, 200,
                                         nullptr, nullptr, wc.hInstance, nullptr);
  }
  ~TestWindow() { DestroyWindow(record.port.window); }
  HWND Handle() const { return record.port.window; }
  POINT Center() const {
    RECT r;
    GetWindowRect(record.port.window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
};

TEST_F(Drag, HandlersAreOnePerWindow) {
  TestWindow window(40, 500);
  EXPECT_EQ(InstallTrackingHandler(NoTracking, nullptr, nullptr), paramErr);
  EXPECT_EQ(InstallTrackingHandler(NoTracking, &window.record, nullptr), noErr);
  EXPECT_EQ(InstallTrackingHandler(NoTracking, &window.record, nullptr), duplicateHandlerErr);
  EXPECT_EQ(RemoveTrackingHandler(reinterpret_cast<DragTrackingHandler>(2), &window.record), duplicateHandlerErr);
  EXPECT_EQ(RemoveTrackingHandler(NoTracking, &window.record), noErr);
  EXPECT_EQ(RemoveTrackingHandler(NoTracking, &window.record), duplicateHandlerErr);
  EXPECT_EQ(RemoveReceiveHandler(NoReceive, &window.record), duplicateHandlerErr);
  EXPECT_EQ(InstallReceiveHandler(NoReceive, &window.record, nullptr), noErr);
  EXPECT_EQ(InstallReceiveHandler(NoReceive, &window.record, nullptr), duplicateHandlerErr);
  EXPECT_EQ(RemoveReceiveHandler(NoReceive, &window.record), noErr);
  EXPECT_EQ(LiveBridgeObjects(), 0);
}

// What the target window's handlers saw.
struct Seen {
  std::vector<short> messages;
  int receives = 0;
  DragReference drag = nullptr;
  std::string text, pict, lies;
  OSErr textErr = 1, pictErr = 1, liesErr = 1, originErr = 1, boundsErr = 1;
  DragAttributes attributes = 0;
  Rect bounds{};
  short modifiers = -1;
};
Seen seen;

OSErr __stdcall Tracking(short message, WindowPtr, void *refCon, DragReference drag, DWORD *) {
  if (refCon != &seen) return -1;
  if (seen.messages.empty() || seen.messages.back() != message) seen.messages.push_back(message);
  if (message == dragTrackingInWindow) seen.boundsErr = GetDragItemBounds(drag, 1, &seen.bounds);
  return noErr;
}

OSErr __stdcall Receive(WindowPtr, void *refCon, DragReference drag, DWORD *) {
  if (refCon != &seen) return -1;
  ++seen.receives;
  seen.drag = drag;
  seen.text = FlavorText(drag, "TEXT", 0, &seen.textErr);
  seen.pict = FlavorText(drag, "PICT", 0, &seen.pictErr);
  seen.lies = FlavorText(drag, "lies", 0, &seen.liesErr);
  GetDragAttributes(drag, &seen.attributes);
  Point origin;
  seen.originErr = GetDragOrigin(drag, &origin);
  GetDragModifiers(drag, &seen.modifiers, nullptr, nullptr);
  return noErr;
}

void Mouse(DWORD flags, POINT at = {}) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_MOVE) {
    in.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
    in.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  }
  SendInput(1, &in, sizeof in);
}

void Key(WORD key, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = key;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
}

void Pump(DWORD ms) {
  MSG msg;
  DWORD end = GetTickCount() + ms;
  do {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (ms) Sleep(10);
  } while (GetTickCount() < end);
}

// The hand that drags: from wherever the button went down to `to`, then the ending (the
// button released, or Esc) repeated until the drag is over, so that a lost event cannot hang.
struct Hand {
  POINT from, to;
  bool escape;
  volatile LONG done = 0;
  static DWORD WINAPI Run(void *self) {
    auto *hand = static_cast<Hand *>(self);
    Sleep(300);
    for (int i = 1; i <= 8; ++i) {
      Mouse(MOUSEEVENTF_MOVE, POINT{hand->from.x + (hand->to.x - hand->from.x) * i / 8,
                                    hand->from.y + (hand->to.y - hand->from.y) * i / 8});
      Sleep(80);
    }
    Sleep(300);
    for (int tries = 0; !hand->done && tries < 40; ++tries) {
      if (hand->escape) {
        Key(VK_ESCAPE, false);
        Key(VK_ESCAPE, true);
      } else {
        Mouse(MOUSEEVENTF_LEFTUP);
      }
      Sleep(250);
    }
    return 0;
  }
};

OSErr DragBetween(TestWindow &source, TestWindow &target, DragReference drag, bool escape, Boolean *dropped) {
  Hand hand{source.Center(), target.Center(), escape};
  Mouse(MOUSEEVENTF_MOVE, hand.from);
  Mouse(MOUSEEVENTF_LEFTDOWN);
  Pump(200);
  HANDLE thread = CreateThread(nullptr, 0, Hand::Run, &hand, 0, nullptr);
  Point origin{short(hand.from.x), short(hand.from.y)};
  OSErr err = TrackDrag(drag, source.Handle(), &source.record, origin, 0, dropped);
  hand.done = 1;
  WaitForSingleObject(thread, 15000);
  CloseHandle(thread);
  Mouse(MOUSEEVENTF_LEFTUP);
  Pump(100);
  return err;
}

class WindowDrag : public Drag {
 protected:
  TestWindow a{100, 100}, b{500, 100};
  void SetUp() override {
    Drag::SetUp();
    seen = Seen{};
    ASSERT_EQ(InstallTrackingHandler(Tracking, &b.record, &seen), noErr);
    ASSERT_EQ(InstallReceiveHandler(Receive, &b.record, &seen), noErr);
    Pump(100);
  }
  void TearDown() override {
    EXPECT_EQ(RemoveTrackingHandler(Tracking, &b.record), noErr);
    EXPECT_EQ(RemoveReceiveHandler(Receive, &b.record), noErr);
    EXPECT_EQ(LiveBridgeObjects(), 0) << "every data object, source and target released";
  }
};

TEST_F(WindowDrag, FlavoursArriveInTheOtherWindow) {
  DragReference drag = nullptr;
  ASSERT_EQ(NewDrag(&drag), noErr);
  ASSERT_EQ(AddDragItemFlavor(drag, 1, Type("TEXT"), "moved", 5, 0), noErr);
  ASSERT_EQ(AddDragItemFlavor(drag, 1, Type("PICT"), kPict, sizeof kPict, 0), noErr);
  POINT from = a.Center();
  Rect item{short(from.x - 10), short(from.y - 5), short(from.x + 10), short(from.y + 5)};
  ASSERT_EQ(SetDragItemBounds(drag, 1, &item), noErr);
  Boolean dropped = false;
  EXPECT_EQ(DragBetween(a, b, drag, false, &dropped), noErr);
  EXPECT_TRUE(dropped);
  EXPECT_EQ(seen.messages, (std::vector<short>{2, 3, 4})) << "enter, in window, leave";
  ASSERT_EQ(seen.receives, 1);
  EXPECT_EQ(seen.drag, drag) << "our own windows see the sender's record";
  EXPECT_EQ(seen.text, "moved");
  EXPECT_EQ(seen.pict, std::string(reinterpret_cast<const char *>(kPict), sizeof kPict));
  EXPECT_EQ(seen.liesErr, badDragFlavorErr);
  EXPECT_EQ(seen.originErr, noErr);
  EXPECT_EQ(seen.attributes & (kDragHasLeftSenderWindow | kDragInsideSenderWindow), DragAttributes(kDragHasLeftSenderWindow));
  EXPECT_EQ(seen.boundsErr, noErr);
  EXPECT_GT(seen.bounds.left, item.left) << "bounds follow the cursor";
  EXPECT_EQ(seen.bounds.right - seen.bounds.left, 20);
  EXPECT_EQ(DisposeDrag(drag), noErr);
}

TEST_F(WindowDrag, EscapeCancels) {
  DragReference drag = nullptr;
  ASSERT_EQ(NewDrag(&drag), noErr);
  ASSERT_EQ(AddDragItemFlavor(drag, 1, Type("TEXT"), "never", 5, 0), noErr);
  Boolean dropped = false;
  EXPECT_EQ(DragBetween(a, b, drag, true, &dropped), userCanceledErr);
  EXPECT_EQ(seen.receives, 0);
  EXPECT_EQ(seen.messages, (std::vector<short>{2, 3, 4}));
  EXPECT_EQ(DisposeDrag(drag), noErr);
}

// Runs the peer program while this thread answers OLE's calls into it.
std::string RunPeer(POINT from, POINT to) {
  std::string command = "\"" + ProgramDirectory() + "drag_peer.exe\" " + std::to_string(from.x) + " " +
                        std::to_string(from.y) + " " + std::to_string(to.x) + " " + std::to_string(to.y);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd, writeEnd;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 1 << 16)) return "";
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = writeEnd;
  PROCESS_INFORMATION pi{};
  std::vector<char> line(command.begin(), command.end());
  line.push_back(0);
  BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  CloseHandle(writeEnd);
  std::string output;
  if (started) {
    DWORD end = GetTickCount() + 30000;
    while (MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0) {
      Pump(0);
      if (GetTickCount() > end) {
        TerminateProcess(pi.hProcess, 1);
        break;
      }
    }
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got) output.append(buffer, got);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  CloseHandle(readEnd);
  return output;
}

TEST_F(WindowDrag, AnotherProgramsDragIsWrapped) {
  std::string output = RunPeer(POINT{900, 600}, b.Center());
  auto report = ParseReport(output);
  EXPECT_EQ(report["result"], std::to_string(DRAGDROP_S_DROP)) << output;
  EXPECT_EQ(report["effect"], "1") << output;
  ASSERT_EQ(seen.receives, 1) << output;
  EXPECT_EQ(seen.messages, (std::vector<short>{2, 3, 4}));
  EXPECT_EQ(seen.text, "abc");
  EXPECT_EQ(seen.liesErr, badDragFlavorErr) << "a prefix past its block";
  EXPECT_EQ(seen.pictErr, badDragFlavorErr) << "a Mac-PICT of one byte";
  EXPECT_EQ(seen.attributes, DragAttributes(kDragHasLeftSenderWindow));
  EXPECT_EQ(seen.originErr, paramErr);
  EXPECT_EQ(seen.boundsErr, paramErr);
  EXPECT_EQ(report["refs"], "1") << "every reference to the peer's object given back";
}

}  // namespace
