// Drags through the OLE bridge under Wine: between two windows of this process, driven by
// SendInput from a helper thread (OLE captures the mouse and reads the buttons from the key
// state), and from another program's bare OLE drag onto one of ours. The first test runs
// before the bridge is loaded.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "drag_input.h"
#include "support/child_process.h"
#include "support/dib_canvas.h"
#include "tstools/tstools.h"

namespace {

using namespace tstools::test;

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
  char buffer[256] = {};
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

// Windows carrying zeroed window records: the Drag Manager reads only the window handle.
struct TestWindow {
  WindowRecord record{};
  TestWindow(int x, int y) { record.port.window = PlainWindow(x, y, 200); }
  ~TestWindow() { DestroyWindow(record.port.window); }
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

OSErr DragBetween(TestWindow &source, POINT to, DragReference drag, bool escape, Boolean *dropped) {
  Hand hand{source.Center(), to, escape};
  HANDLE thread = hand.Start();
  Point origin{short(hand.from.x), short(hand.from.y)};
  OSErr err = TrackDrag(drag, source.record.port.window, &source.record, origin, 0, dropped);
  hand.Finish(thread);
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
  POINT from = a.Center();
  Rect item{short(from.x - 10), short(from.y - 5), short(from.x + 10), short(from.y + 5)};
  ASSERT_EQ(SetDragItemBounds(drag, 1, &item), noErr);
  Boolean dropped = false;
  EXPECT_EQ(DragBetween(a, b.Center(), drag, false, &dropped), noErr);
  EXPECT_TRUE(dropped);
  EXPECT_EQ(seen.messages, (std::vector<short>{2, 3, 4})) << "enter, in window, leave";
  ASSERT_EQ(seen.receives, 1);
  EXPECT_EQ(seen.drag, drag) << "our own windows see the sender's record (whose flavours are tested above)";
  EXPECT_EQ(seen.text, "moved");
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
  EXPECT_EQ(DragBetween(a, b.Center(), drag, true, &dropped), userCanceledErr);
  EXPECT_EQ(seen.receives, 0);
  EXPECT_EQ(seen.messages, (std::vector<short>{2, 3, 4}));
  EXPECT_EQ(DisposeDrag(drag), noErr);
}

// Text records in the windows: the handlers give the drag feedback and drop "TEXT" and "styl".
OSErr __stdcall TextTracking(short message, WindowPtr window, void *refCon, DragReference drag, DWORD *) {
  Point mouse{};
  GetDragMouse(drag, &mouse, nullptr);
  POINT p{mouse.h, mouse.v};
  ScreenToClient(window->port.window, &p);
  auto *record = static_cast<QTERecord *>(refCon);
  if (message == dragTrackingLeaveWindow) QTEDragLeave(record);
  else (message == dragTrackingEnterWindow ? QTEDragEnter : QTEDragWithin)(Point{short(p.x), short(p.y)}, record);
  return noErr;
}

long dropAt = -1;
OSErr __stdcall TextReceive(WindowPtr, void *refCon, DragReference drag, DWORD *) {
  auto *record = static_cast<QTERecord *>(refCon);
  std::string text = FlavorText(drag, "TEXT"), styl = FlavorText(drag, "styl");
  Handle h = nullptr;
  DragAttributes attributes = 0;
  if (PtrToHand(styl.data(), &h, Size(styl.size())) || GetDragAttributes(drag, &attributes)) return -1;
  dropAt = QTEDoGetDragPosition(record);
  QTEDrop(text.data(), long(text.size()), h, 1, (attributes & kDragInsideSenderWindow) != 0, record);
  return MemDisposeHandle(h);
}

// A range's "TEXT" and "styl", as a drag carries them.
std::string Flavours(QTERecord *r, long start, long end, DragReference drag = nullptr) {
  Handle h[2] = {};
  MemNewHandle(&h[0], 0, 0), MemNewHandle(&h[1], 0, 0);
  QTECopyData(r, start, end, h[0], h[1], nullptr);
  std::string both;
  for (int i = 0; i < 2; ++i) {
    Size n = 0;
    MemGetHandleSize(h[i], &n);
    if (drag) AddDragItemFlavor(drag, 1, Type(i ? "styl" : "TEXT"), *h[i], n, 0);
    both += std::string(*h[i], size_t(n)) + "|";
    MemDisposeHandle(h[i]);
  }
  return both;
}

TEST_F(WindowDrag, TextAndStylesMoveBetweenAndWithinRecords) {
  MemInitZone();
  QDrawCacheInit();
  DibCanvas canvas(200, 200);
  GrafPort port{}, *portSlot = &port;
  canvas.OpenPort(&port);
  ASSERT_NE(ML_QTEInit(&portSlot, nullptr, LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE), 1, 0), 0);
  Rect dest{10, 95, 190, 190};  // the windows' centres on the first line
  QTETextStyle plain{1, 0, 12, {}}, bold{1, 1, 12, {0xFFFF, 0, 0}};
  QTERecord *ra = QTENew(&dest, &dest, &plain), *rb = QTENew(&dest, &dest, &plain);
  ASSERT_TRUE(ra && rb);
  std::string text = "one two three\rfour five\rsix";
  QTEReplace(text.data(), long(text.size()), nullptr, nullptr, ra);
  QTEReplace("ab", 2, nullptr, nullptr, rb);
  QTESetSelect(4, 8, ra);
  QTESetStyle(qteFace | qteColor, &bold, ra);  // "two " bold and red between plain runs
  QTESetSelect(2, 10, ra);
  // The fixture's handlers give way to the records' and come back for its tear-down.
  RemoveTrackingHandler(Tracking, &b.record), RemoveReceiveHandler(Receive, &b.record);
  for (auto [window, record] : {std::pair(&a, ra), std::pair(&b, rb)})
    InstallTrackingHandler(TextTracking, &window->record, record), InstallReceiveHandler(TextReceive, &window->record, record);
  auto drag = [&](POINT to) {  // from A's centre, inside the selection
    DragReference d = nullptr;
    NewDrag(&d);
    std::string sent = Flavours(ra, QTEGetSelStart(ra), QTEGetSelEnd(ra), d);
    Boolean dropped = false;
    EXPECT_EQ(DragBetween(a, to, d, false, &dropped), noErr);
    DisposeDrag(d);
    return dropped ? sent : "not dropped";
  };
  std::string sent = drag(b.Center());
  EXPECT_EQ(Flavours(rb, 2, 10), sent) << "text and styles as they left A, at B's text end";
  EXPECT_EQ(sent.substr(0, 9), "e two th|");

  // A move within A onto the third line: the text a model makes, the styles moved with it.
  sent = drag(POINT{a.Center().x, a.Center().y + 30});
  ASSERT_GT(dropAt, 10) << "after the selection";
  text.insert(size_t(dropAt), text.substr(2, 8)).erase(2, 8);
  EXPECT_EQ(std::string(*QTEGetTextHandle(ra), size_t(QTEGetTextLen(ra))), text);
  EXPECT_EQ(Flavours(ra, dropAt - 8, dropAt), sent);
  for (TestWindow *window : {&a, &b})
    RemoveTrackingHandler(TextTracking, &window->record), RemoveReceiveHandler(TextReceive, &window->record);
  InstallTrackingHandler(Tracking, &b.record, &seen), InstallReceiveHandler(Receive, &b.record, &seen);
  QTEDispose(ra), QTEDispose(rb), QTEShutdown();
  ClosePort(&port), QDrawCacheClose();
}

// Runs the peer program from a helper thread while this one serves OLE's calls into it.
struct Peer {
  std::string arguments, output;
  static DWORD WINAPI Run(void *self) {
    auto *peer = static_cast<Peer *>(self);
    peer->output = RunProgram(ProgramDirectory() + "drag_peer.exe", peer->arguments, 30000).output;
    return 0;
  }
};

TEST_F(WindowDrag, AnotherProgramsDragIsWrapped) {
  POINT to = b.Center();
  Peer peer;
  peer.arguments = "900 600 " + std::to_string(to.x) + " " + std::to_string(to.y);
  HANDLE thread = CreateThread(nullptr, 0, Peer::Run, &peer, 0, nullptr);
  while (MsgWaitForMultipleObjects(1, &thread, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0) Pump(0);
  CloseHandle(thread);
  const std::string &output = peer.output;
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
