// The emulating drawer: the system's edges, push buttons, check boxes, radio buttons, combo
// arrows and disabled images and text painted with plain GDI, for systems whose user32 has
// no such calls. Every line is a rectangle filled in a captured colour; check boxes and radio
// buttons are images of the host's strip.
#include <cstring>

#include "quickdraw/gdi_scopes.h"
#include "quickdraw/themed_drawer.h"

namespace tstools::qd {
namespace {

constexpr COLORREF kMaskColour = RGB(255, 0, 255);
constexpr int kCheckImageResource = 200, kCheckImageWidth = 14;
constexpr int kComboArrowBitmap = 32738;  // OBM_COMBO, a system bitmap
constexpr DWORD kPatternWhereSourceBlack = 0x00B8074A;  // PSDPxax: pattern where the source is 0

// A DC's text colour, background colour and mode for one operation.
class TextColours {
 public:
  explicit TextColours(HDC dc)
      : dc_(dc), text_(GetTextColor(dc)), back_(GetBkColor(dc)), mode_(GetBkMode(dc)), align_(GetTextAlign(dc)) {}
  ~TextColours() {
    if (text_ != CLR_INVALID) SetTextColor(dc_, text_);
    if (back_ != CLR_INVALID) SetBkColor(dc_, back_);
    if (mode_) SetBkMode(dc_, mode_);
    if (align_ != GDI_ERROR) SetTextAlign(dc_, align_);
  }
  TextColours(const TextColours &) = delete;
  TextColours &operator=(const TextColours &) = delete;

 private:
  HDC dc_;
  COLORREF text_, back_;
  int mode_;
  UINT align_;
};

class EmulatingDrawer : public ThemedDrawer {
 public:
  EmulatingDrawer(const ThemeColours &colours, HINSTANCE resources) : colours_(colours) {
    imageDC_ = CreateCompatibleDC(nullptr);
    maskDC_ = CreateCompatibleDC(nullptr);
    if (resources)
      checkImages_ = ImageList_LoadImageA(resources, MAKEINTRESOURCEA(kCheckImageResource), kCheckImageWidth, 0,
                                          kMaskColour, IMAGE_BITMAP, LR_CREATEDIBSECTION);
    MakeBrushes();
  }
  ~EmulatingDrawer() override {
    FreeBrushes();
    if (imageDC_) DeleteDC(imageDC_);
    if (maskDC_) DeleteDC(maskDC_);
    if (comboArrow_) DeleteObject(comboArrow_);
    if (checkImages_) ImageList_Destroy(checkImages_);
  }
  EmulatingDrawer(const EmulatingDrawer &) = delete;
  EmulatingDrawer &operator=(const EmulatingDrawer &) = delete;

  bool ok() const { return imageDC_ && maskDC_; }

  void ColoursChanged() override { MakeBrushes(); }

  long DrawEdge(HDC dc, const RECT &r, unsigned edge, unsigned flags) override {
    if (flags & kEdgeDiagonal) return 0;
    PaintEdge(dc, r, edge, flags);
    return 1;
  }

  long DrawFrameControl(HDC dc, const RECT &r, unsigned type, unsigned state) override {
    if (type == kFrameButton) {
      if ((state & kButtonTypeMask) == kButtonPush) return PushButton(dc, r, state);
      int index = CheckImageIndex(state);
      if (index < 0 || !checkImages_) return 0;
      return ImageList_Draw(checkImages_, index, dc, r.left, r.top, ILD_TRANSPARENT);
    }
    if (type == kFrameScroll && (state & (1 | 4))) return ComboArrow(dc, r, state);
    return 0;
  }

  long DrawImageState(HDC dc, HIMAGELIST list, HINSTANCE module, long bitmapId, long index, const RECT &r,
                      unsigned flags) override {
    if (!list) return 0;
    if (!(flags & DSS_DISABLED)) return ImageList_Draw(list, index, dc, r.left, r.top, ILD_TRANSPARENT);
    int w = 0, h = 0;
    if (!ImageList_GetIconSize(list, &w, &h) || w < 1 || h < 1 || index < 0) return 0;
    // The embossed look, from the strip the list was made of: every pixel that is neither
    // transparent nor highlight shows once in highlight below right, then in shadow.
    gdi::OwnedObject<HBITMAP> strip(LoadBitmapA(module, MAKEINTRESOURCEA(bitmapId)));
    gdi::OwnedObject<HBITMAP> mask(CreateBitmap(w, h, 1, 1, nullptr));
    if (!strip || !mask) return 0;
    gdi::SelectedObject source(imageDC_, strip.get()), target(maskDC_, mask.get());
    if (!source.ok() || !target.ok()) return 0;
    COLORREF sourceBack = SetBkColor(imageDC_, kMaskColour);
    BitBlt(maskDC_, 0, 0, w, h, imageDC_, int(index) * w, 0, SRCCOPY);
    SetBkColor(imageDC_, colours_.highlight);
    BitBlt(maskDC_, 0, 0, w, h, imageDC_, int(index) * w, 0, SRCPAINT);
    SetBkColor(imageDC_, sourceBack);

    TextColours keep(dc);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    gdi::OwnedObject<HBRUSH> light(CreateSolidBrush(colours_.highlight)), dark(CreateSolidBrush(colours_.shadow));
    gdi::SelectedObject brush(dc, light.get());
    BitBlt(dc, r.left + 1, r.top + 1, w, h, maskDC_, 0, 0, kPatternWhereSourceBlack);
    brush.Select(dc, dark.get());
    BitBlt(dc, r.left, r.top, w, h, maskDC_, 0, 0, kPatternWhereSourceBlack);
    return 1;
  }

  long DrawTextState(HDC dc, const char *text, const RECT &r, unsigned flags) override {
    if (!text) return 0;
    TextColours keep(dc);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, 0);
    auto draw = [&](int dx, int dy, COLORREF colour) {
      RECT at{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
      SetTextColor(dc, colour);
      return DrawTextA(dc, text, -1, &at, DT_SINGLELINE);
    };
    if (!(flags & DSS_DISABLED)) return draw(0, 0, colours_.text) != 0;
    // Engraved: the highlight copy lies under the shadow one, one pixel below right.
    draw(1, 1, colours_.highlight);
    return draw(0, 0, colours_.shadow) != 0;
  }

 private:
  void Fill(HDC dc, const RECT &r, HBRUSH brush) {
    if (brush) FillRect(dc, &r, brush);
  }
  void FillFace(HDC dc, const RECT &r) { Fill(dc, r, solid_[int(EdgeColour::Face)]); }

  // covered: a rectangle drawn over afterwards, whose fill is left out.
  void PaintEdge(HDC dc, const RECT &r, unsigned edge, unsigned flags, const RECT *covered = nullptr) {
    EdgeFill fills[kMaxEdgeFills];
    size_t n = PlanEdge(r.left, r.top, r.right, r.bottom, edge, flags, fills);
    for (size_t i = 0; i < n; ++i) {
      RECT fill{fills[i].left, fills[i].top, fills[i].right, fills[i].bottom};
      if (covered && EqualRect(&fill, covered)) continue;
      Fill(dc, fill, solid_[int(fills[i].colour)]);
    }
  }

  // The checked look is the sunken button with the dither inside its edge.
  long PushButton(HDC dc, const RECT &r, unsigned state) {
    bool checked = (state & kStateChecked) && dither_, pushed = state & kStatePushed;
    RECT inside{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
    PaintEdge(dc, r, checked || pushed ? kEdgeSunken : kEdgeRaised, kSidesAll | kEdgeSoft | kEdgeMiddle,
              checked ? &inside : nullptr);
    if (checked) Fill(dc, inside, dither_);
    return 1;
  }

  long ComboArrow(HDC dc, const RECT &r, unsigned state) {
    bool checked = state & kStateChecked, pushed = state & kStatePushed;
    if (checked && !pushed && dither_) Fill(dc, r, dither_);
    else FillFace(dc, r);
    RECT frame{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
    DrawEdge(dc, frame, pushed || checked ? kEdgeSunken : kEdgeRaised, kSidesAll | kEdgeSoft);
    if (!comboArrow_) comboArrow_ = LoadBitmapA(nullptr, MAKEINTRESOURCEA(kComboArrowBitmap));
    BITMAP info{};
    if (!comboArrow_ || !GetObjectA(comboArrow_, sizeof info, &info)) return 1;
    gdi::SelectedObject arrow(imageDC_, comboArrow_);
    if (!arrow.ok()) return 1;
    int shift = pushed || checked ? 1 : 0;
    int x = r.left + (r.right - r.left - info.bmWidth) / 2 + shift;
    int y = r.top + (r.bottom - r.top - info.bmHeight) / 2 + shift;
    BitBlt(dc, x, y, info.bmWidth, info.bmHeight, imageDC_, 0, 0, SRCCOPY);
    return 1;
  }

  void FreeBrushes() {
    for (HBRUSH &b : solid_) {
      if (b) DeleteObject(b);
      b = nullptr;
    }
    if (dither_) DeleteObject(dither_);
    dither_ = nullptr;
  }

  // A solid brush per edge colour, and the checked look's 50% dither of face and highlight,
  // made again when the colours change.
  void MakeBrushes() {
    FreeBrushes();
    for (int i = 0; i < kEdgeColours; ++i) solid_[i] = CreateSolidBrush(ColourOf(colours_, EdgeColour(i)));
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colours[2];
      uint32_t rows[8];
    } dib{};
    dib.header = {sizeof(BITMAPINFOHEADER), 8, 8, 1, 1, BI_RGB, 0, 0, 0, 2, 0};
    auto quad = [](COLORREF c) { return RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0}; };
    dib.colours[0] = quad(colours_.face);
    dib.colours[1] = quad(colours_.highlight);
    DitherRows(dib.rows);
    dither_ = CreateDIBPatternBrushPt(&dib, DIB_RGB_COLORS);
  }

  const ThemeColours &colours_;
  HDC imageDC_ = nullptr, maskDC_ = nullptr;
  static constexpr int kEdgeColours = int(EdgeColour::Window) + 1;
  HBRUSH solid_[kEdgeColours] = {};  // by EdgeColour
  HBRUSH dither_ = nullptr;
  HBITMAP comboArrow_ = nullptr;  // loaded at the first combo arrow
  HIMAGELIST checkImages_ = nullptr;
};

}  // namespace

std::unique_ptr<ThemedDrawer> MakeEmulatingDrawer(const ThemeColours &colours, HINSTANCE resources) {
  auto drawer = std::make_unique<EmulatingDrawer>(colours, resources);
  if (!drawer->ok()) return nullptr;
  return drawer;
}

}  // namespace tstools::qd
