// Recording pictures and the metafile conversions through the DLL: recorded drawing played
// back equals direct drawing, nesting, the record filter against a real DC, the recorder's
// bookkeeping (whose metafile is deleted when), and GDI objects over many cycles.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "pict_builder.h"
#include "picture_surface.h"
#include "support/gdi_objects.h"
#include "tstools/tstools.h"

namespace tstools::pict::test {
namespace {

constexpr uint32_t kBlack = 0, kRed = 0xFF0000;
const Rect kFrame{0, 0, 120, 80};
const HDC kBadDC = reinterpret_cast<HDC>(0x7FF0);

class PictureRecord : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    MemInitZone();
    QDrawCacheInit();
  }
  static void TearDownTestSuite() { QDrawCacheClose(); }
};

std::vector<uint32_t> Pixels(const Surface &s) { return {s.pixels(), s.pixels() + s.width() * s.height()}; }

std::vector<uint8_t> Bits(HMETAFILE mf) {
  std::vector<uint8_t> bits(GetMetaFileBitsEx(mf, 0, nullptr));
  GetMetaFileBitsEx(mf, UINT(bits.size()), bits.data());
  return bits;
}

bool Contains(const std::vector<uint8_t> &bytes, std::vector<uint8_t> part) {
  return std::search(bytes.begin(), bytes.end(), part.begin(), part.end()) != bytes.end();
}

// Every kind of verb: shapes, lines, patterns, colours, text, a bit transfer.
void DrawScene(GrafPort *port) {
  static const Pattern kChecker = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
  Rect r{5, 5, 40, 30}, oval{45, 5, 80, 30}, round{85, 5, 115, 35}, src{0, 0, 8, 8}, dst{90, 50, 106, 66};
  ML_PaintRect(port, &r);
  ML_FillOval(port, &oval, &kChecker);
  ML_PenSize(port, 3, 2);
  ML_MoveTo(port, 5, 40);
  ML_LineTo(port, 60, 70);
  ML_PenNormal(port);
  ML_ForeColor(port, redColor);
  ML_FrameRoundRect(port, &round, 8, 8);
  ML_PaintArc(port, &round, 0, 90);
  ML_ForeColor(port, blackColor);
  ML_MoveTo(port, 64, 60);
  ML_DrawString(port, reinterpret_cast<ConstStr255Param>("\x05Hello"));
  HBITMAP bitmap = PatternToBitmap(&kChecker);
  ML_CopyBits(port, bitmap, nullptr, &src, &dst, srcCopy, nullptr);
  DeleteObject(bitmap);
}

PicHandle Record(GrafPort *port, const Rect &frame, const std::function<void(GrafPort *)> &draw) {
  PicHandle h = ML_OpenPicture(port, &frame);
  if (h) draw(port);
  ML_ClosePicture(port, h);
  return h;
}

const PicMeta *Meta(Handle h) { return reinterpret_cast<const PicMeta *>(*h); }

TEST_F(PictureRecord, RecordedSceneDrawsLikeDirectDrawing) {
  Surface direct(120, 80), played(120, 80);
  DrawScene(&direct.port);
  GrafPort before = played.port;
  PicHandle h = Record(&played.port, kFrame, DrawScene);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(played.port.picture, Meta(h)->hMF);
  before.picture = played.port.picture;
  before.clipChanged = played.port.clipChanged;
  EXPECT_EQ(std::memcmp(&before, &played.port, sizeof before), 0) << "the port is as before recording";
  EXPECT_EQ(played.Count(kPaper), 120 * 80) << "nothing reached the port's own device";
  EXPECT_EQ(ML_DrawMetaFile(&played.port, Meta(h), &kFrame), noErr);
  EXPECT_EQ(Pixels(played), Pixels(direct));
  EXPECT_GT(direct.Count(kRed), 50);
  ML_KillPicture(&played.port, h);
}

TEST_F(PictureRecord, NestedPictureLandsInItsDestination) {
  Surface s(120, 80), big(240, 160), third(120, 80);
  Rect inner{0, 0, 40, 40}, dst{60, 20, 80, 60}, twice{0, 0, 240, 160};  // half as wide, as high
  PicHandle in = Record(&s.port, inner, [&](GrafPort *p) { ML_PaintRect(p, &inner); });
  PicHandle out = Record(&s.port, kFrame, [&](GrafPort *p) { ML_DrawMetaFile(p, Meta(in), &dst); });
  ASSERT_TRUE(in && out);
  EXPECT_EQ(ML_DrawMetaFile(&big.port, Meta(out), &twice), noErr);
  EXPECT_EQ(big.Count(kBlack), 40 * 80);
  EXPECT_EQ(big.Count(kBlack, 120, 40, 160, 120), 40 * 80);

  // 300 units onto 1 pixel of a 120-wide port scales the window past 16 bits: the picture
  // is embedded as a bitmap (META_STRETCHDIB).
  Rect large{0, 0, 300, 300}, thin{10, 10, 11, 20};
  PicHandle wide = Record(&s.port, large, [&](GrafPort *p) {
    ML_ClipRect(p, &large);
    ML_PaintRect(p, &large);
  });
  PicHandle bitmapped = Record(&s.port, kFrame, [&](GrafPort *p) { EXPECT_EQ(ML_DrawMetaFile(p, Meta(wide), &thin), noErr); });
  EXPECT_TRUE(Contains(Bits(Meta(bitmapped)->hMF), {0x43, 0x0F, 0x20, 0x00, 0xCC, 0x00}));
  ML_DrawMetaFile(&third.port, Meta(bitmapped), &kFrame);
  EXPECT_EQ(third.Count(kBlack), 10);
  EXPECT_EQ(third.Count(kBlack, 10, 10, 11, 20), 10);
  for (PicHandle h : {in, out, wide, bitmapped}) ML_KillPicture(&s.port, h);
}

// The metafile's extra restores (relative beyond its own saves, or absolute) leave the
// caller's saved states alone; an empty destination draws nothing.
TEST_F(PictureRecord, PlaybackKeepsTheCallersSavedStates) {
  HDC mdc = CreateMetaFileA(nullptr);
  SetWindowExtEx(mdc, 20, 20, nullptr);
  SaveDC(mdc);
  for (int level : {-3, 1, -1, -1}) RestoreDC(mdc, level);
  Rectangle(mdc, 0, 0, 10, 10);
  METAFILEPICT mfp{MM_ANISOTROPIC, 1000, 1000, CloseMetaFile(mdc)};
  Handle h = nullptr;
  MemNewHandle(&h, 0, 0);
  ASSERT_EQ(ML_MetaToPicMeta(0, &mfp, h, false), noErr);
  Surface s(40, 40);
  SaveDC(s.dc());
  int level = SaveDC(s.dc());
  RestoreDC(s.dc(), -1);
  Rect dst{0, 0, 20, 20}, empty{5, 5, 5, 20};
  EXPECT_EQ(ML_DrawMetaFile(&s.port, Meta(h), &dst), noErr);
  EXPECT_EQ(SaveDC(s.dc()), level);
  EXPECT_LT(s.Count(kPaper), 40 * 40);
  s.Fill(kPaper);
  EXPECT_EQ(ML_DrawMetaFile(&s.port, Meta(h), &empty), noErr);
  EXPECT_EQ(s.Count(kPaper), 40 * 40);
  MemDisposeHandle(h);
  DeleteMetaFile(mfp.hMF);
}

TEST_F(PictureRecord, PlayedPictToMetaEqualsDrawPicture) {
  auto pict = PictBuilder(0, 0, 40, 60).ClipRect(0, 0, 40, 60).Op(0x1A).Word(0xFFFF).Word(0).Word(0)
                  .Op(0x31).Rect(5, 5, 30, 50).Op(0x51).Rect(20, 30, 38, 58).End();
  Handle h = nullptr;
  ASSERT_EQ(PtrToHand(pict.data(), &h, Size(pict.size())), noErr);
  Surface direct(60, 40), played(60, 40);
  Rect all{0, 0, 60, 40};
  ML_DrawPicture(&direct.port, h, &all);
  PictConvContext context{};
  HGLOBAL block = nullptr;
  ASSERT_EQ(ML_PictToMeta(&context, h, &block), noErr);
  auto *mfp = static_cast<METAFILEPICT *>(GlobalLock(block));
  EXPECT_EQ(mfp->xExt, 2117);  // 60 points in hundredths of a millimetre
  SetMapMode(played.dc(), MM_ANISOTROPIC);
  SetViewportExtEx(played.dc(), 60, 40, nullptr);
  PlayMetaFile(played.dc(), mfp->hMF);
  EXPECT_EQ(Pixels(played), Pixels(direct));
  EXPECT_GT(direct.Count(kRed), 100);

  HBITMAP bitmap = nullptr;
  ASSERT_EQ(ML_MetaToBitmap(&context, mfp, &bitmap), noErr);
  Surface fromBitmap(60, 40);
  const Point origin{0, 0};
  ML_DrawBitmap(&fromBitmap.port, bitmap, &origin, SRCCOPY);
  EXPECT_EQ(fromBitmap.Count(kRed), direct.Count(kRed));
  DeleteObject(bitmap);
  // Flattened and back: the header and the bits.
  Handle flat = nullptr;
  MemNewHandle(&flat, 0, 0);
  ASSERT_EQ(ML_MetaToMetaFlat(0, mfp, flat), noErr);
  auto *header = reinterpret_cast<MetaFlat *>(*flat);
  EXPECT_EQ(header->right * 100000 + header->tag, 6019020);
  HGLOBAL again = nullptr;
  ASSERT_EQ(ML_MetaFlatToMeta(0, header, mfp->hMF, &again), noErr);
  EXPECT_EQ(std::memcmp(GlobalLock(again), mfp, sizeof *mfp), 0);
  std::vector<uint8_t> bits = Bits(mfp->hMF);
  EXPECT_TRUE(std::equal(bits.begin(), bits.end(), reinterpret_cast<uint8_t *>(*flat) + sizeof(MetaFlat)));
  GlobalFree(again);
  MemDisposeHandle(flat);
  DeleteMetaFile(mfp->hMF);
  GlobalFree(block);
  MemDisposeHandle(h);
}

// A metafile whose left half is black, in each mapping mode, becomes a PICT of the header's
// size (magnitudes: y-up modes have negative heights) rendered at min(units, 300, 150, 72)
// per inch, the lower ones when the bitmap would pass 1 MiB.
TEST_F(PictureRecord, MetaToPictPerMappingMode) {
  struct Row { LONG mm, xExt, yExt; int size, resolution; } rows[] = {
      {MM_ANISOTROPIC, 2540, 2540, 72, 300}, {MM_ISOTROPIC, -1, -1, 256, 72}, {MM_TWIPS, 1440, 1440, 72, 300},
      {MM_LOENGLISH, 100, 100, 72, 100},     {MM_TEXT, 72, 72, 72, 72},
  };
  HDC mdc = CreateMetaFileA(nullptr);
  SetWindowExtEx(mdc, 100, 100, nullptr);
  SelectObject(mdc, GetStockObject(BLACK_BRUSH));
  SelectObject(mdc, GetStockObject(NULL_PEN));
  Rectangle(mdc, 0, 0, 51, 101);
  HMETAFILE mf = CloseMetaFile(mdc);
  for (const Row &r : rows) {
    METAFILEPICT mfp{r.mm, r.xExt, r.yExt, mf};
    Handle pict = nullptr;
    MemNewHandle(&pict, 0, 0);
    ASSERT_EQ(ML_MetaToPict(nullptr, &mfp, pict), noErr) << r.mm;
    Size size = 0;
    MemGetHandleSize(pict, &size);
    std::vector<uint8_t> bytes(*pict, *pict + size);
    EXPECT_EQ(bytes[6] << 8 | bytes[7], r.size) << r.mm;  // picFrame bottom
    EXPECT_EQ(bytes[8] << 8 | bytes[9], r.size) << r.mm;  // right
    EXPECT_TRUE(Contains(bytes, {uint8_t(r.resolution >> 8), uint8_t(r.resolution), 0, 0})) << "hRes " << r.mm;
    Surface s(r.size, r.size);
    s.Draw(bytes, Rect{0, 0, short(r.size), short(r.size)});
    int half = r.size / 2;
    EXPECT_GE(s.Count(kBlack, 0, 0, half - 1, r.size), (half - 1) * r.size * 9 / 10) << r.mm;
    EXPECT_EQ(s.Count(kBlack, half + 2, 0, r.size, r.size), 0) << r.mm;
    MemDisposeHandle(pict);
  }
  DeleteMetaFile(mf);
}

// Whose metafile goes when: a failed open leaves the port alone, a picture closes only on
// its own port, a kill deletes the recorder's metafile even after later recordings and never
// a caller's; comments read only what their handles hold.
TEST_F(PictureRecord, RecorderBookkeeping) {
  Surface s(60, 40), t(60, 40);
  GrafPort bogus = s.port;
  bogus.dc = kBadDC;
  bogus.picture = reinterpret_cast<HANDLE>(0x1234);
  GrafPort copy = bogus;
  EXPECT_EQ(ML_OpenPicture(&bogus, &kFrame), nullptr);
  EXPECT_EQ(std::memcmp(&copy, &bogus, sizeof copy), 0) << "a failed open changed the port";

  PicHandle a = ML_OpenPicture(&s.port, &kFrame), b = ML_OpenPicture(&t.port, &kFrame);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(ML_OpenPicture(&s.port, &kFrame), nullptr) << "already recording";
  HGLOBAL block = reinterpret_cast<HGLOBAL>(1);
  EXPECT_EQ(ML_PicMetaToMeta(0, *a, &block, true), memFullErr);
  EXPECT_EQ(block, nullptr);
  ML_ClosePicture(&s.port, b);
  EXPECT_EQ(s.port.portKind, portKindPicture) << "closed from another port's picture";
  Handle data = nullptr;
  PtrToHand("%!P", &data, 3);
  ML_PicComment(&s.port, 192, 4000, data);  // META_ESCAPE 4115 (NT) of the 3 bytes held
  ML_ClosePicture(&s.port, a);
  ML_ClosePicture(&t.port, b);
  EXPECT_TRUE(Contains(Bits(Meta(a)->hMF), {0x26, 0x06, 0x13, 0x10, 5, 0, 3, 0, '%', '!', 'P'}));
  GrafPort printer{};
  printer.portKind = portKindPrinter;
  std::memcpy(*data, "\1\0\1", 3);
  ML_PicComment(&printer, 182, 4, data);
  EXPECT_EQ(printer.hairline, 1) << "the second word lies beyond the handle";
  MemDisposeHandle(data);

  HMETAFILE first = Meta(a)->hMF;
  PicHandle later = Record(&s.port, kFrame, [](GrafPort *) {});
  EXPECT_EQ(s.port.picture, Meta(later)->hMF);
  ML_KillPicture(&s.port, a);
  EXPECT_EQ(GetObjectType(first), 0u) << "the earlier recording's metafile leaks";
  METAFILEPICT mfp{MM_ANISOTROPIC, 100, 100, Meta(later)->hMF};
  Handle alias = nullptr, callers = nullptr;
  MemNewHandle(&alias, 0, 0);
  MemNewHandle(&callers, 0, 0);
  ASSERT_EQ(ML_MetaToPicMeta(0, &mfp, alias, false), noErr);
  ML_KillPicture(&s.port, later);
  EXPECT_EQ(GetObjectType(mfp.hMF), 0u);
  mfp.hMF = CloseMetaFile(CreateMetaFileA(nullptr));
  ASSERT_EQ(ML_MetaToPicMeta(0, &mfp, callers, false), noErr);
  ML_KillPicture(&s.port, callers);
  EXPECT_EQ(GetObjectType(mfp.hMF), DWORD(OBJ_METAFILE)) << "a caller's metafile was deleted";
  DeleteMetaFile(mfp.hMF);
  ML_KillPicture(&s.port, alias);  // the recorder's metafile again: not deleted twice
  ML_KillPicture(&t.port, b);
}

TEST_F(PictureRecord, GdiObjectsStayFlat) {
  Surface s(60, 40), big(120, 80);
  auto cycle = [&] {
    PicHandle h = Record(&s.port, kFrame, DrawScene);
    const Rect wide{0, 0, 400, 300}, thin{1, 1, 2, 3};  // a 1-pixel destination scales past 16 bits
    PicHandle nested = Record(&s.port, wide, [&](GrafPort *p) {
      ML_DrawMetaFile(p, Meta(h), &kFrame);
      ML_DrawMetaFile(p, Meta(h), &thin);
    });
    ML_DrawMetaFile(&big.port, Meta(nested), &kFrame);
    GrafPort failing = s.port;
    MakeMetaFile(&failing, nullptr, &kFrame, kBadDC);
    ML_KillPicture(&s.port, nested);
    ML_KillPicture(&s.port, h);
  };
  cycle();
  long before = tstools::test::LiveGdiObjects();
  for (int i = 0; i < 1000; ++i) cycle();
  EXPECT_EQ(tstools::test::LiveGdiObjects(), before);
}

}  // namespace
}  // namespace tstools::pict::test
