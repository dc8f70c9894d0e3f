// Draws every themed control part twice, the system drawer on the left and the emulating
// drawer on the right of each row, under the Standard grey scheme, and saves the sheet as
// themed_controls.png in the build tree, for a person to look at. The emulating drawer is
// built directly, whatever the system.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "demo/sheets/png_writer.h"
#include "quickdraw/themed_drawer.h"
#include "tests/support/dib_canvas.h"
#include "tstools/host_resource_ids.h"

using namespace tstools::qd;

namespace {

constexpr int kCellW = 84, kCellH = 34, kLabelW = 170, kColumns = 5;

struct Row {
  std::string label;
  std::vector<std::function<void(ThemedDrawer &, HDC, const RECT &)>> cells;
};

}  // namespace

int main() {
  // The Standard scheme for the sheet's length.
  const INT ids[] = {COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNTEXT,
                     COLOR_WINDOWFRAME, COLOR_WINDOW, COLOR_3DLIGHT, COLOR_3DDKSHADOW};
  const COLORREF standard[] = {0xC0C0C0, 0x808080, 0xFFFFFF, 0, 0, 0xFFFFFF, 0xC0C0C0, 0};
  COLORREF saved[8];
  for (int i = 0; i < 8; ++i) saved[i] = GetSysColor(ids[i]);
  SetSysColors(8, ids, standard);

  HINSTANCE resources = LoadLibraryA("TSHOSTRES.DLL");
  ThemeColours colours = CaptureSystemColours();
  auto system = MakeSystemDrawer(colours);
  auto emulated = MakeEmulatingDrawer(colours, resources);
  HIMAGELIST images = ImageList_LoadImageA(resources, MAKEINTRESOURCEA(TSRES_BMP_RECORD_BUTTONS),
                                           TSRES_BMP_RECORD_BUTTONS_WIDTH, 0, RGB(255, 0, 255), IMAGE_BITMAP,
                                           LR_CREATEDIBSECTION);
  if (!system || !emulated) return 1;

  auto edge = [](unsigned kind, unsigned flags) {
    return [=](ThemedDrawer &d, HDC dc, const RECT &r) { d.DrawEdge(dc, RECT{r.left, r.top, r.left + 60, r.top + 24}, kind, flags); };
  };
  auto frame = [](unsigned type, unsigned state, int w, int h) {
    return [=](ThemedDrawer &d, HDC dc, const RECT &r) {
      d.DrawFrameControl(dc, RECT{r.left + 2, r.top + 2, r.left + 2 + w, r.top + 2 + h}, type, state);
    };
  };
  auto states = [&](unsigned type, unsigned kind, int w, int h) {
    std::vector<std::function<void(ThemedDrawer &, HDC, const RECT &)>> cells;
    for (unsigned s : {0u, unsigned(DFCS_CHECKED), unsigned(DFCS_PUSHED), unsigned(DFCS_PUSHED | DFCS_CHECKED),
                       unsigned(DFCS_INACTIVE)})
      cells.push_back(frame(type, kind | s, w, h));
    return cells;
  };
  std::vector<Row> rows = {
      {"edges", {edge(EDGE_RAISED, BF_RECT), edge(EDGE_SUNKEN, BF_RECT), edge(EDGE_ETCHED, BF_RECT),
                                     edge(EDGE_BUMP, BF_RECT), edge(EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE)}},
      {"borders, sides, mono, flat",
       {edge(BDR_RAISEDOUTER, BF_RECT), edge(BDR_SUNKENINNER, BF_RECT), edge(EDGE_RAISED, BF_TOPLEFT),
        edge(EDGE_SUNKEN, BF_RECT | BF_MONO), edge(EDGE_SUNKEN, BF_RECT | BF_FLAT)}},
      {"push buttons", states(DFC_BUTTON, DFCS_BUTTONPUSH, 75, 23)},
      {"check boxes", states(DFC_BUTTON, DFCS_BUTTONCHECK, 14, 14)},
      {"radio buttons", states(DFC_BUTTON, DFCS_BUTTONRADIO, 14, 14)},
      {"combo arrows", states(DFC_SCROLL, DFCS_SCROLLCOMBOBOX, 16, 18)},
      {"images, text",
       {[&](ThemedDrawer &d, HDC dc, const RECT &r) {
          d.DrawImageState(dc, images, resources, TSRES_BMP_RECORD_BUTTONS, 0, RECT{r.left + 2, r.top + 2, r.right, r.bottom}, 0);
        },
        [&](ThemedDrawer &d, HDC dc, const RECT &r) {
          d.DrawImageState(dc, images, resources, TSRES_BMP_RECORD_BUTTONS, 0, RECT{r.left + 2, r.top + 2, r.right, r.bottom},
                           DSS_DISABLED);
        },
        [](ThemedDrawer &d, HDC dc, const RECT &r) { d.DrawTextState(dc, "&Open", RECT{r.left + 2, r.top + 4, r.right, r.bottom}, 0); },
        [](ThemedDrawer &d, HDC dc, const RECT &r) {
          d.DrawTextState(dc, "&Open", RECT{r.left + 2, r.top + 4, r.right, r.bottom}, DSS_DISABLED);
        }}},
  };

  const int half = kLabelW + kColumns * kCellW;
  const int w = half * 2 + 10, h = 24 + int(rows.size()) * kCellH;
  tstools::test::DibCanvas sheet(w, h, 0xE8E8E8);
  HDC dc = sheet.dc();
  SetBkMode(dc, TRANSPARENT);
  TextOutA(dc, 4, 4, "system drawer", 13);
  TextOutA(dc, half + 14, 4, "emulating drawer", 16);
  for (size_t i = 0; i < rows.size(); ++i) {
    int top = 24 + int(i) * kCellH;
    for (int side = 0; side < 2; ++side) {
      int left = side * (half + 10);
      TextOutA(dc, left + 4, top + 8, rows[i].label.c_str(), int(rows[i].label.size()));
      ThemedDrawer &drawer = side ? *emulated : *system;
      for (size_t c = 0; c < rows[i].cells.size(); ++c) {
        RECT cell{left + kLabelW + int(c) * kCellW, top, left + kLabelW + int(c + 1) * kCellW, top + kCellH};
        rows[i].cells[c](drawer, dc, cell);
      }
    }
  }
  SetSysColors(8, ids, saved);
  std::string path = std::string(TSTOOLS_SHEET_DIR) + "/themed_controls.png";
  if (!tstools::sheets::WritePng(path, sheet.pixels(), w, h)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return 1;
  }
  std::printf("wrote %s\n", path.c_str());
  if (images) ImageList_Destroy(images);
  return 0;
}
