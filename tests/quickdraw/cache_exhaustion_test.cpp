// White box: the port glue compiled into the test, driving the caches to exhaustion.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <tuple>

#include "frame/library_globals.h"
#include "quickdraw/port_internal.h"
#include "quickdraw/quickdraw_state.h"

using namespace tstools::qd;

namespace {

struct MemoryPort {
  HDC dc = CreateCompatibleDC(nullptr);
  GrafPort port{};
  MemoryPort() {
    port.dc = dc;
    port.portRect = Rect{0, 0, 16, 16};
    ML_OpenPort(&port);
  }
  ~MemoryPort() {
    ClosePort(&port);
    DeleteDC(dc);
  }
};

Pattern Numbered(int i) {
  Pattern p{};
  p.pat[0] = static_cast<unsigned char>(i + 1);
  return p;
}

class CacheExhaustion : public ::testing::Test {
 protected:
  void SetUp() override {
    tstools::scratchRegion = CreateRectRgn(0, 0, 0, 0);
    QDrawCacheInit();
  }
  void TearDown() override {
    QDrawCacheClose();
    EXPECT_EQ(LiveCachedObjects(CacheKind::Pen) + LiveCachedObjects(CacheKind::Brush) +
                  LiveCachedObjects(CacheKind::Font), 0u);
    quickDrawState.Reset();  // the next test starts as a fresh process would
    DeleteObject(tstools::scratchRegion);
  }
};

}  // namespace

TEST_F(CacheExhaustion, EleventhBrushLeavesThePortDrawingWithWhatItHas) {
  MemoryPort ports[10];
  HBRUSH white = ports[0].port.brushSlot;
  for (int i = 0; i < 9; ++i) ASSERT_TRUE(UsePortBrush(&ports[i].port, Numbered(i)));
  // Nine patterns and the white brush port 9 still holds fill all ten entries.
  EXPECT_FALSE(UsePortBrush(&ports[9].port, Numbered(9)));
  EXPECT_EQ(std::make_tuple(ports[9].port.brushSlot, GetCurrentObject(ports[9].dc, OBJ_BRUSH), GetObjectType(white)),
            std::make_tuple(white, HGDIOBJ(white), DWORD(OBJ_BRUSH)));
  // Freeing one entry lets the request through and recycles that entry's brush.
  HBRUSH first = ports[0].port.brushSlot;
  ASSERT_TRUE(UsePortBrush(&ports[0].port, Numbered(5)));
  EXPECT_EQ(ports[0].port.brushSlot, ports[5].port.brushSlot) << "same pattern, same brush";
  EXPECT_TRUE(UsePortBrush(&ports[9].port, Numbered(9)));
  EXPECT_EQ(GetObjectType(first), 0u) << "the unreferenced entry's brush was deleted";
  EXPECT_NE(ports[9].port.brushSlot, first);
}

// A flush spares what a port has selected or pinned.
TEST_F(CacheExhaustion, SelectedAndPinnedObjectsSurviveAFlush) {
  GrafPort copy;
  {
    MemoryPort port;
    LOGFONTA font{};
    font.lfHeight = -30;
    std::strcpy(font.lfFaceName, "Arial");
    ASSERT_TRUE(UsePortFont(&port.port, font));
    FlushCache(CacheKind::Font);
    EXPECT_EQ(GetObjectType(port.port.fontSlot), DWORD(OBJ_FONT));
    EXPECT_EQ(LiveCachedObjects(CacheKind::Font), 1u) << "the unused Helv font was flushed";
    PinPortObjects(&port.port);
    copy = port.port;
  }  // closed: its references are gone, the pins remain
  FlushCache(CacheKind::Pen);
  EXPECT_EQ(GetObjectType(copy.penSlot), static_cast<DWORD>(OBJ_PEN));
  UnpinPortObjects(&copy);
  FlushCache(CacheKind::Pen);
  EXPECT_EQ(GetObjectType(copy.penSlot), 0u);
}
