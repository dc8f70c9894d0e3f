// The two drawers behind the themed drawing calls, on a bare DC and rectangle: the system
// drawer hands each operation to user32; the emulating drawer paints the same pictures
// itself for systems without those calls. Neither reads the library's globals, so a test or
// a sheet can build either one directly.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "quickdraw/theme_colours.h"

namespace tstools::qd {

class ThemedDrawer {
 public:
  virtual ~ThemedDrawer() = default;
  // Each returns nonzero when something was drawn.
  virtual long DrawEdge(HDC dc, const RECT &r, unsigned edge, unsigned flags) = 0;
  virtual long DrawFrameControl(HDC dc, const RECT &r, unsigned type, unsigned state) = 0;
  virtual long DrawImageState(HDC dc, HIMAGELIST list, HINSTANCE module, long bitmapId, long index,
                              const RECT &r, unsigned flags) = 0;
  virtual long DrawTextState(HDC dc, const char *text, const RECT &r, unsigned flags) = 0;
  // The colours changed: anything made from them is made again.
  virtual void ColoursChanged() {}
};

// The drawers read the colours through this reference for their whole life.
std::unique_ptr<ThemedDrawer> MakeSystemDrawer(const ThemeColours &colours);
// resources: the module holding the check image strip (bitmap 200).
std::unique_ptr<ThemedDrawer> MakeEmulatingDrawer(const ThemeColours &colours, HINSTANCE resources);

// The button colours and the monochrome look as the system reports them now.
ThemeColours CaptureSystemColours();

struct ThemeState {
  ThemeColours colours;
  std::unique_ptr<ThemedDrawer> drawer;  // null before WinUiInit and after WinUiClose

  void Reset() { drawer.reset(), colours = ThemeColours(); }
};

extern ThemeState themeState;

}  // namespace tstools::qd
