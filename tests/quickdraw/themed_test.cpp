// Themed control drawing against user32's own pictures on 32-bit DIBs. The tests set system
// colours (the ctest runs alone) and put them back. Accepted differences of the emulating
// drawer, left out: check boxes and radio buttons are the host's images; the combo arrow is
// the system's arrow bitmap, framed a pixel outside; mono and flat push buttons and diagonal
// edges are not emulated; disabled images are embossed from the host's strip.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "quickdraw/themed_drawer.h"
#include "support/child_process.h"
#include "support/dib_canvas.h"
#include "support/gdi_objects.h"
#include "tstools/host_resource_ids.h"
#include "tstools/themed_drawing.h"
#include "tstools/tstools.h"

using namespace tstools::qd;
using tstools::test::DibCanvas;

namespace {

constexpr int kWidth = 96, kHeight = 40;

// The Standard scheme with the given system colours changed, for the test's length.
class Scheme {
 public:
  using Changes = std::map<int, COLORREF>;
  explicit Scheme(const Changes &changes = {}) {
    for (int i = 0; i < 8; ++i) saved_[i] = GetSysColor(kIds[i]);
    Set(changes);
  }
  ~Scheme() { SetSysColors(8, kIds, saved_); }
  void Set(const Changes &changes) {
    COLORREF values[8] = {0xC0C0C0, 0x808080, 0xFFFFFF, 0, 0, 0xFFFFFF, 0xC0C0C0, 0};
    for (int i = 0; i < 8; ++i) values[i] = changes.count(kIds[i]) ? changes.at(kIds[i]) : values[i];
    SetSysColors(8, kIds, values);
  }

 private:
  static constexpr INT kIds[8] = {COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNTEXT,
                                  COLOR_WINDOWFRAME, COLOR_WINDOW, COLOR_3DLIGHT, COLOR_3DDKSHADOW};
  COLORREF saved_[8];
};

HINSTANCE HostResources() {
  static HINSTANCE module = LoadLibraryA("TSHOSTRES.DLL");
  return module;
}

HIMAGELIST Strip(int id, int width) {
  return ImageList_LoadImageA(HostResources(), MAKEINTRESOURCEA(id), width, 0, RGB(255, 0, 255), IMAGE_BITMAP,
                              LR_CREATEDIBSECTION);
}
HIMAGELIST RecordButtons() { return Strip(TSRES_BMP_RECORD_BUTTONS, TSRES_BMP_RECORD_BUTTONS_WIDTH); }
HIMAGELIST CheckImages() { return Strip(TSRES_BMP_CHECK_IMAGES, TSRES_BMP_CHECK_IMAGES_WIDTH); }

// The first pixel where two canvases differ, as text; empty when they are equal.
std::string FirstDifference(const DibCanvas &a, const DibCanvas &b) {
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.At(x, y) != b.At(x, y)) {
        char text[80];
        snprintf(text, sizeof text, "(%d, %d): %06X vs %06X", x, y, unsigned(a.At(x, y)), unsigned(b.At(x, y)));
        return text;
      }
  return "";
}

// Drawings on a bare DC and rectangle by either drawer, by name.
using Drawing = std::pair<std::string, std::function<long(ThemedDrawer &, HDC, const RECT &)>>;

std::vector<Drawing> EdgesAndButtons() {
  std::vector<Drawing> list;
  const unsigned kinds[] = {EDGE_RAISED, EDGE_SUNKEN, EDGE_ETCHED, EDGE_BUMP, BDR_RAISEDOUTER, BDR_SUNKENOUTER,
                            BDR_RAISEDINNER, BDR_SUNKENINNER, BDR_OUTER, BDR_INNER | BDR_RAISEDOUTER};
  const unsigned flags[] = {BF_RECT, BF_RECT | BF_SOFT, BF_RECT | BF_MIDDLE, BF_TOPLEFT, BF_BOTTOMRIGHT, BF_TOP,
                            BF_LEFT | BF_BOTTOM, BF_RECT | BF_FLAT, BF_RECT | BF_MONO | BF_MIDDLE};
  for (unsigned k : kinds)
    for (unsigned f : flags)
      list.push_back({"edge " + std::to_string(k) + " flags " + std::to_string(f),
                      [k, f](ThemedDrawer &d, HDC dc, const RECT &r) { return d.DrawEdge(dc, r, k, f); }});
  for (unsigned state : {0u, unsigned(DFCS_PUSHED), unsigned(DFCS_CHECKED), unsigned(DFCS_PUSHED | DFCS_CHECKED)})
    list.push_back({"push button " + std::to_string(state), [state](ThemedDrawer &d, HDC dc, const RECT &r) {
                      return d.DrawFrameControl(dc, r, DFC_BUTTON, DFCS_BUTTONPUSH | state);
                    }});
  for (unsigned flags : {0u, unsigned(DSS_DISABLED)})
    list.push_back({"text " + std::to_string(flags), [flags](ThemedDrawer &d, HDC dc, const RECT &r) {
                      return d.DrawTextState(dc, "S&ave", r, flags);
                    }});
  return list;
}

// A port over a canvas with its origin moved and a clip set; drawings at local (l, t) land
// at device (l - 20, t - 10), and only inside the clip.
struct ClippedPort {
  explicit ClippedPort(DibCanvas &canvas) {
    canvas.OpenPort(&port);
    ML_SetOrigin(&port, 20, 10);
    Rect clip{24, 12, 24 + 60, 12 + 26};
    ML_ClipRect(&port, &clip);
  }
  ~ClippedPort() { ClosePort(&port); }
  GrafPort port{};
};

class Themed : public ::testing::Test {
 protected:
  void SetUp() override { QDrawCacheInit(); }
  void TearDown() override {
    WinUiClose();
    QDrawCacheClose();
  }
};

// The system drawer through the exports equals user32 on the same device pixels.
TEST_F(Themed, ExportsEqualUser32ThroughOriginAndClip) {
  if (LOBYTE(GetVersion()) < 4) GTEST_SKIP() << "the emulating drawer's system";
  ASSERT_TRUE(WinUiInit());
  HIMAGELIST images = RecordButtons();
  ASSERT_TRUE(images);
  // Draws through the export on a port and with bare user32 on the device pixels it maps to.
  auto check = [](const char *name, auto ours, auto bare) {
    DibCanvas canvas(kWidth, kHeight), model(kWidth, kHeight);
    {
      ClippedPort p(canvas);
      Rect r{22, 11, 22 + 75, 11 + 23};  // crosses the clip's left, top and right sides
      EXPECT_NE(ours(&p.port, &r), 0) << name;
      HGDIOBJ old = SelectObject(model.dc(), GetCurrentObject(p.port.dc, OBJ_FONT));  // the port's font
      IntersectClipRect(model.dc(), 4, 2, 4 + 60, 2 + 26);
      RECT device{2, 1, 2 + 75, 1 + 23};
      bare(model.dc(), &device);
      SelectObject(model.dc(), old);
    }
    EXPECT_EQ(FirstDifference(canvas, model), "") << name;
  };
  check("edge", [](GrafPort *p, const Rect *r) { return WinUiDrawEdge(p, r, EDGE_BUMP, BF_RECT | BF_MIDDLE); },
        [](HDC dc, RECT *r) { DrawEdge(dc, r, EDGE_BUMP, BF_RECT | BF_MIDDLE); });
  auto frame = [&](const char *name, UINT type, UINT state) {
    check(name, [=](GrafPort *p, const Rect *r) { return WinUiDrawFrameControl(p, r, type, state); },
          [=](HDC dc, RECT *r) { DrawFrameControl(dc, r, type, state); });
  };
  frame("checked push", DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_CHECKED);
  frame("combo", DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
  check("disabled image",
        [&](GrafPort *p, const Rect *r) {
          return WinUiDrawImageState(p, images, HostResources(), TSRES_BMP_RECORD_BUTTONS, 1, r, DSS_DISABLED);
        },
        [&](HDC dc, RECT *r) {
          HICON icon = ImageList_GetIcon(images, 1, ILD_NORMAL);
          DrawStateA(dc, nullptr, nullptr, LPARAM(icon), 0, r->left, r->top, 0, 0, DST_ICON | DSS_DISABLED);
          DestroyIcon(icon);
        });
  check("disabled text", [](GrafPort *p, const Rect *r) { return WinUiDrawTextState(p, "&Open", r, DSS_DISABLED); },
        [](HDC dc, RECT *r) {
          SetBkMode(dc, TRANSPARENT);
          SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
          DrawStateA(dc, nullptr, nullptr, LPARAM("&Open"), 0, r->left, r->top, r->right - r->left, r->bottom - r->top,
                     DST_PREFIXTEXT | DSS_DISABLED);
        });
  ImageList_Destroy(images);
}

// The emulating drawer draws the system's pictures under the Standard scheme (disabled text
// among them: the shadow copy in place over the highlight one a pixel below right), radio
// buttons from the strip's second half, and a dither that follows the colours.
TEST_F(Themed, EmulatedDrawerUnderTheStandardSchemeAndAfterAChange) {
  Scheme scheme;
  ThemeColours colours = CaptureSystemColours();
  auto system = MakeSystemDrawer(colours);
  auto emulated = MakeEmulatingDrawer(colours, HostResources());
  HIMAGELIST strip = CheckImages();
  ASSERT_TRUE(system && emulated && strip);
  HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial");
  for (const auto &[name, draw] : EdgesAndButtons()) {
    DibCanvas a(40, 28, 0x123456), b(40, 28, 0x123456);
    RECT r{3, 2, 3 + 30, 2 + 21};
    HGDIOBJ oldA = SelectObject(a.dc(), font), oldB = SelectObject(b.dc(), font);
    draw(*system, a.dc(), r);
    EXPECT_NE(draw(*emulated, b.dc(), r), 0) << name;
    EXPECT_EQ(FirstDifference(a, b), "") << name;
    SelectObject(a.dc(), oldA), SelectObject(b.dc(), oldB);
  }
  DeleteObject(font);
  const unsigned states[] = {0, DFCS_CHECKED, DFCS_PUSHED, DFCS_PUSHED | DFCS_CHECKED, DFCS_INACTIVE};
  for (unsigned kind : {unsigned(DFCS_BUTTONCHECK), unsigned(DFCS_BUTTONRADIO)}) {
    for (int i = 0; i < 5; ++i) {
      DibCanvas ours(20, 20), model(20, 20);
      EXPECT_NE(emulated->DrawFrameControl(ours.dc(), RECT{3, 4, 19, 19}, DFC_BUTTON, kind | states[i]), 0);
      ImageList_Draw(strip, (kind == DFCS_BUTTONRADIO ? TSRES_BMP_CHECK_RADIO_FIRST : 0) + i, model.dc(), 3, 4,
                     ILD_TRANSPARENT);
      EXPECT_EQ(FirstDifference(ours, model), "") << kind << " " << i;
    }
  }
  ImageList_Destroy(strip);

  scheme.Set({{COLOR_BTNFACE, 0x808000}, {COLOR_BTNHIGHLIGHT, 0xFFFF80}});
  colours = CaptureSystemColours();  // the drawers read the colours they were made with
  emulated->ColoursChanged();
  DibCanvas checked(20, 20);
  emulated->DrawFrameControl(checked.dc(), RECT{0, 0, 20, 20}, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_CHECKED);
  // Inside the edge the pattern alternates, face on even pixel sums (colours read as RGB).
  EXPECT_EQ(std::vector<uint32_t>({checked.At(4, 4), checked.At(5, 4), checked.At(5, 5)}),
            std::vector<uint32_t>({0x008080, 0x80FFFF, 0x008080}));
}

// A black face or high contrast draws enabled images in one colour: the button text's.
TEST_F(Themed, BlackFaceDrawsImagesMono) {
  Scheme scheme({{COLOR_BTNFACE, 0}, {COLOR_BTNTEXT, 0x0000FF}});
  ThemeColours colours = CaptureSystemColours();
  ASSERT_TRUE(colours.mono);
  HIMAGELIST images = RecordButtons();
  auto system = MakeSystemDrawer(colours);
  DibCanvas ours(30, 30), model(30, 30);
  EXPECT_NE(system->DrawImageState(ours.dc(), images, nullptr, 0, 0, RECT{2, 2, 28, 28}, 0), 0);
  HICON icon = ImageList_GetIcon(images, 0, ILD_NORMAL);
  HBRUSH red = CreateSolidBrush(0x0000FF);
  DrawStateA(model.dc(), red, nullptr, LPARAM(icon), 0, 2, 2, 0, 0, DST_ICON | DSS_MONO);
  DestroyIcon(icon);
  DeleteObject(red);
  EXPECT_EQ(FirstDifference(ours, model), "");
  ImageList_Destroy(images);
}

// XLoadSysColorBitmap recolours a copy: the Standard scheme after another one still gives
// the resource's own greys, each mapped to that scheme's colour.
TEST_F(Themed, SysColorBitmapsFollowTheScheme) {
  ML_QTEInit(nullptr, nullptr, HostResources(), 0, 0);
  EXPECT_EQ(XLoadSysColorBitmap(9999), nullptr);
  auto pixels = [](HBITMAP bitmap) {
    std::vector<uint32_t> bits(TSRES_BMP_CHECK_IMAGES_WIDTH * 10 * 14);
    BITMAPINFOHEADER h{sizeof h, TSRES_BMP_CHECK_IMAGES_WIDTH * 10, -14, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, 14, bits.data(), reinterpret_cast<BITMAPINFO *>(&h), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    for (uint32_t &p : bits) p &= 0xFFFFFF;
    return bits;
  };
  std::vector<uint32_t> recoloured, standard;
  {
    Scheme scheme({{COLOR_BTNFACE, RGB(0x10, 0x20, 0x30)}, {COLOR_BTNSHADOW, RGB(0x40, 0x50, 0x60)},
                   {COLOR_BTNHIGHLIGHT, RGB(0x70, 0x80, 0x90)}, {COLOR_BTNTEXT, RGB(0xA0, 0xB0, 0xC0)}});
    recoloured = pixels(XLoadSysColorBitmap(TSRES_BMP_CHECK_IMAGES));
    scheme.Set({});
    standard = pixels(XLoadSysColorBitmap(TSRES_BMP_CHECK_IMAGES));
  }
  // Pixel by pixel (0xRRGGBB here): the greys map to the first scheme's colours, magenta stays.
  std::map<uint32_t, uint32_t> expected = {{0x000000, 0xA0B0C0}, {0x808080, 0x405060}, {0xC0C0C0, 0x102030},
                                           {0xFFFFFF, 0x708090}, {0xFF00FF, 0xFF00FF}};
  ASSERT_EQ(standard.size(), recoloured.size());
  int wrong = 0;
  for (size_t i = 0; i < standard.size(); ++i) wrong += expected.count(standard[i]) == 0 || expected[standard[i]] != recoloured[i];
  EXPECT_EQ(wrong, 0);
  QTEShutdown();
}

// Without a drawer every call draws nothing and says so.
TEST_F(Themed, NoDrawerDrawsNothing) {
  WinUiClose();
  DibCanvas canvas(40, 30);
  GrafPort port{};
  canvas.OpenPort(&port);
  Rect r{0, 0, 30, 20};
  EXPECT_EQ(std::vector<long>({WinUiDrawEdge(&port, &r, EDGE_RAISED, BF_RECT),
                               WinUiDrawFrameControl(&port, &r, DFC_BUTTON, DFCS_BUTTONPUSH),
                               WinUiDrawImageState(&port, nullptr, nullptr, 0, 0, &r, 0),
                               WinUiDrawTextState(&port, "x", &r, 0)}),
            std::vector<long>({0, 0, 0, 0}));
  ClosePort(&port);
  EXPECT_EQ(canvas.At(0, 0), 0xFFFFFFu);
}

// Many rounds of making, drawing with and destroying both drawers leave no GDI object behind.
TEST_F(Themed, NothingLeaks) {
  HIMAGELIST images = RecordButtons();
  ML_QTEInit(nullptr, nullptr, HostResources(), 0, 0);
  DibCanvas canvas(60, 40);
  auto round = [&](ThemedDrawer &d) {
    RECT r{2, 2, 40, 30};
    d.DrawEdge(canvas.dc(), r, EDGE_SUNKEN, BF_RECT | BF_MIDDLE);
    d.DrawFrameControl(canvas.dc(), r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_CHECKED);
    d.DrawFrameControl(canvas.dc(), r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
    d.DrawFrameControl(canvas.dc(), RECT{2, 2, 18, 18}, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_PUSHED);
    d.DrawImageState(canvas.dc(), images, HostResources(), TSRES_BMP_RECORD_BUTTONS, 2, r, 0);
    d.DrawImageState(canvas.dc(), images, HostResources(), TSRES_BMP_RECORD_BUTTONS, 2, r, DSS_DISABLED);
    d.DrawTextState(canvas.dc(), "&Go", r, DSS_DISABLED);
    d.ColoursChanged();
  };
  ThemeColours colours = CaptureSystemColours();
  long before = 0;
  for (int i = 0; i < 42; ++i) {
    if (i == 2) before = tstools::test::LiveGdiObjects();  // after the caches have warmed up
    round(*MakeSystemDrawer(colours));
    round(*MakeEmulatingDrawer(colours, HostResources()));
    WinUiInit();
    WinUiInit();
    WinUiSysColorChanged();
    DeleteObject(XLoadSysColorBitmap(TSRES_BMP_CHECK_IMAGES));
    WinUiClose();
    WinUiClose();
  }
  EXPECT_EQ(tstools::test::LiveGdiObjects(), before);
  QTEShutdown();
  ImageList_Destroy(images);
}

// Without the new shell WinUiInit picks the emulating drawer: a radio button through the
// exports is the strip's image. Run in a copy of this program that Wine tells it is NT 3.51.
TEST_F(Themed, OldSystemsGetTheEmulatingDrawer) {
  using namespace tstools::test;
  if (LOBYTE(GetVersion()) >= 4) {
    std::string name = "themed_nt351.exe", copy = CopyProgramAs(ProgramDirectory() + "quickdraw_themed_tests.exe", name);
    ASSERT_TRUE(SetWineAppDefault(name, "Version", "nt351") && !copy.empty());
    auto result = RunProgram(copy, "--gtest_filter=Themed.OldSystems*");
    DeleteFileA(copy.c_str());
    EXPECT_TRUE(result.exitCode == 0 && ParseReport(result.output)["emulated"] == "1") << result.output;
    return;
  }
  SetTSToolsResourceInstance(HostResources());
  ASSERT_TRUE(WinUiInit());
  DibCanvas ours(kWidth, kHeight), model(kWidth, kHeight);
  {
    ClippedPort p(ours);
    Rect r{30, 20, 50, 40};
    EXPECT_NE(WinUiDrawFrameControl(&p.port, &r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_PUSHED), 0);
  }
  HIMAGELIST strip = CheckImages();
  ImageList_Draw(strip, TSRES_BMP_CHECK_RADIO_FIRST + 2, model.dc(), 10, 10, ILD_TRANSPARENT);
  ImageList_Destroy(strip);
  std::string difference = FirstDifference(ours, model);
  EXPECT_EQ(difference, "");
  printf("emulated=%d\n", difference.empty() ? 1 : 0);
}

}  // namespace
