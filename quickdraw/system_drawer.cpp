// The system drawer: user32's edge, frame-control and state-drawing calls, with the DC's
// text alignment, colour and background mode set for them and put back after.
#include "quickdraw/gdi_scopes.h"
#include "quickdraw/themed_drawer.h"

namespace tstools::qd {

ThemeColours CaptureSystemColours() {
  ThemeColours c;
  c.face = GetSysColor(COLOR_BTNFACE);
  c.shadow = GetSysColor(COLOR_BTNSHADOW);
  c.highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  c.text = GetSysColor(COLOR_BTNTEXT);
  c.frame = GetSysColor(COLOR_WINDOWFRAME);
  c.window = GetSysColor(COLOR_WINDOW);
  HIGHCONTRASTA contrast{sizeof contrast, 0, nullptr};
  bool high = SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
              (contrast.dwFlags & HCF_HIGHCONTRASTON);
  c.mono = MonoLook(high, c.face);
  return c;
}

namespace {

// Text alignment 0 for the call: frame controls and state text place themselves from the
// rectangle's top-left, which a port's baseline alignment would shift.
class PlainAlignment {
 public:
  explicit PlainAlignment(HDC dc) : dc_(dc), old_(GetTextAlign(dc)) { SetTextAlign(dc, 0); }
  ~PlainAlignment() {
    if (old_ != GDI_ERROR) SetTextAlign(dc_, old_);
  }
  PlainAlignment(const PlainAlignment &) = delete;
  PlainAlignment &operator=(const PlainAlignment &) = delete;

 private:
  HDC dc_;
  UINT old_;
};

class SystemDrawer : public ThemedDrawer {
 public:
  explicit SystemDrawer(const ThemeColours &colours) : colours_(colours) {}

  long DrawEdge(HDC dc, const RECT &r, unsigned edge, unsigned flags) override {
    RECT copy = r;  // BF_ADJUST writes the inner rectangle back
    return ::DrawEdge(dc, &copy, edge, flags);
  }

  long DrawFrameControl(HDC dc, const RECT &r, unsigned type, unsigned state) override {
    PlainAlignment align(dc);
    RECT copy = r;
    return ::DrawFrameControl(dc, &copy, type, state);
  }

  long DrawImageState(HDC dc, HIMAGELIST list, HINSTANCE, long, long index, const RECT &r,
                      unsigned flags) override {
    if (!list) return 0;
    HICON icon = ImageList_GetIcon(list, index, ILD_NORMAL);
    if (!icon) return 0;
    // The monochrome look draws an enabled image in the button text colour.
    bool mono = colours_.mono && flags == 0;
    gdi::OwnedObject<HBRUSH> brush(mono ? CreateSolidBrush(colours_.text) : nullptr);
    if (mono) flags = DSS_MONO;
    long drawn = DrawStateA(dc, brush.get(), nullptr, reinterpret_cast<LPARAM>(icon), 0, r.left, r.top, 0, 0,
                            DST_ICON | flags);
    DestroyIcon(icon);
    return drawn;
  }

  long DrawTextState(HDC dc, const char *text, const RECT &r, unsigned flags) override {
    if (!text) return 0;
    PlainAlignment align(dc);
    COLORREF colour = SetTextColor(dc, colours_.text);
    int mode = SetBkMode(dc, TRANSPARENT);
    long drawn = DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(text), 0, r.left, r.top,
                            r.right - r.left, r.bottom - r.top, DST_PREFIXTEXT | flags);
    if (mode) SetBkMode(dc, mode);
    if (colour != CLR_INVALID) SetTextColor(dc, colour);
    return drawn;
  }

 private:
  const ThemeColours &colours_;
};

}  // namespace

std::unique_ptr<ThemedDrawer> MakeSystemDrawer(const ThemeColours &colours) {
  return std::make_unique<SystemDrawer>(colours);
}

}  // namespace tstools::qd
