// The three process-wide caches of pens, brushes and fonts shared by all ports.
#include <cstring>
#include <memory>
#include <vector>

#include "font/font_manager.h"
#include "frame/export_guard.h"
#include "quickdraw/drawing_state.h"
#include "quickdraw/gdi_scopes.h"
#include "quickdraw/port_internal.h"
#include "quickdraw/quickdraw_state.h"

namespace tstools::qd {

QuickDrawState quickDrawState;

void MaskSurface::Free() {
  if (oldBitmap) SelectObject(dc, oldBitmap);
  if (bitmap) DeleteObject(bitmap);
  if (dc) DeleteDC(dc);
  *this = MaskSurface{};
}

namespace {

constexpr size_t kBrushEntries = 10, kFontEntries = 20, kPenEntries = 10;

// The names the cache code uses, bound to quickDrawState's fields.
std::unique_ptr<PenCache> &pens = quickDrawState.pens;
std::unique_ptr<BrushCache> &brushes = quickDrawState.brushes;
std::unique_ptr<FontCache> &fonts = quickDrawState.fonts;
std::vector<std::unique_ptr<PenCache>> &closedPens = quickDrawState.closedPens;
std::vector<std::unique_ptr<BrushCache>> &closedBrushes = quickDrawState.closedBrushes;
std::vector<std::unique_ptr<FontCache>> &closedFonts = quickDrawState.closedFonts;
HDC &transferDC = quickDrawState.transferDC;
MaskSurface &maskSurface = quickDrawState.maskSurface;

// Masks above this many pixels are made for their call alone rather than kept.
constexpr long kLargestKeptMask = 512 * 512;

void DestroyObject(uintptr_t object) { DeleteObject(reinterpret_cast<HGDIOBJ>(object)); }

uint32_t ColorRef(const RGBColor &c) { return PaletteColorRef(QdColor{c.red, c.green, c.blue}); }

bool SameHighBytes(const RGBColor &a, const RGBColor &b) {
  return (a.red >> 8) == (b.red >> 8) && (a.green >> 8) == (b.green >> 8) &&
         (a.blue >> 8) == (b.blue >> 8);
}

// The screen-grid brush origin of a window port: where local (0,0) lands on the screen,
// reduced modulo 8.
POINT BrushAlignment(GrafPort *port) {
  POINT p{0, 0};
  HDC dc = port->refDC;
  if (GetMapMode(dc) == MM_TEXT && GetGraphicsMode(dc) == GM_COMPATIBLE) {
    // Units are pixels and there is no world transform: the offset of the two origins,
    // read from the DC's attributes without a transformation call per verb.
    POINT window{}, viewport{};
    GetWindowOrgEx(dc, &window);
    GetViewportOrgEx(dc, &viewport);
    p = POINT{viewport.x - window.x, viewport.y - window.y};
  } else {
    LPtoDP(dc, &p, 1);
  }
  ClientToScreen(port->window, &p);
  return POINT{BrushGridOffset(p.x), BrushGridOffset(p.y)};
}

// Brings the DC's brush origin onto the grid. The origin belongs to the DC, not the brush,
// so it is checked on every port that shares the brush, not only when the entry's record
// of it changes.
void AlignBrush(BrushCache::Entry &entry, GrafPort *port) {
  POINT want = BrushAlignment(port);
  POINT have{};
  GetBrushOrgEx(port->refDC, &have);
  if (have.x != want.x || have.y != want.y) {
    auto brush = reinterpret_cast<HGDIOBJ>(entry.object);
    UnrealizeObject(brush);
    SetBrushOrgEx(port->refDC, want.x, want.y, nullptr);
    // A new origin applies from the next selection; a drawing verb may keep the port's
    // brush selected as it is.
    if (port->brushSlot == brush) {
      gdi::SelectedObject deselected(port->refDC, GetStockObject(NULL_BRUSH));  // and back at once
    }
  }
  entry.key.originH = static_cast<short>(want.x);
  entry.key.originV = static_cast<short>(want.y);
}

// Solid brushes look the same from any origin: they need no alignment.
bool SolidPattern(const Pattern &p) {
  bool ones = true, zeros = true;
  for (unsigned char b : p.pat) {
    ones = ones && b == 0xFF;
    zeros = zeros && b == 0;
  }
  return ones || zeros;
}

const PenCache::Hooks kPenHooks{
    [](PenCache::Entry &e, const LOGPEN &key, GrafPort *) {
      return e.key.lopnStyle == key.lopnStyle && e.key.lopnWidth.x == key.lopnWidth.x &&
             e.key.lopnWidth.y == key.lopnWidth.y && e.key.lopnColor == key.lopnColor;
    },
    [](PenCache::Entry &e, GrafPort *) {
      // A wide frame pen is square: mitred joins keep a frame's corners, which a cosmetic
      // pen's round joins would leave unpainted.
      const LOGPEN &k = e.key;
      if ((k.lopnStyle & PS_STYLE_MASK) == PS_INSIDEFRAME && k.lopnWidth.x > 1) {
        LOGBRUSH brush{BS_SOLID, k.lopnColor, 0};
        return reinterpret_cast<uintptr_t>(
            ExtCreatePen(PS_GEOMETRIC | PS_INSIDEFRAME | PS_ENDCAP_SQUARE | PS_JOIN_MITER,
                         static_cast<DWORD>(k.lopnWidth.x), &brush, 0, nullptr));
      }
      return reinterpret_cast<uintptr_t>(CreatePenIndirect(&k));
    },
    DestroyObject};

const FontCache::Hooks kFontHooks{
    [](FontCache::Entry &e, const FontKey &key, GrafPort *) {
      const LOGFONTA &a = e.key.font, &b = key.font;
      return e.key.portKind == key.portKind && a.lfHeight == b.lfHeight &&
             a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
             a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight &&
             std::memcmp(&a.lfItalic, &b.lfItalic, 8) == 0 &&
             std::strncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
    },
    [](FontCache::Entry &e, GrafPort *) {
      return reinterpret_cast<uintptr_t>(CreateFontIndirectA(&e.key.font));
    },
    DestroyObject};

const BrushCache::Hooks kBrushHooks{
    [](BrushCache::Entry &e, const BrushKey &key, GrafPort *port) {
      if (!SameHighBytes(e.key.fg, key.fg) || !SameHighBytes(e.key.bk, key.bk) ||
          std::memcmp(&e.key.pattern, &key.pattern, sizeof(Pattern)) != 0)
        return false;
      if (port && port->portKind == portKindWindowOrDC && port->window && !SolidPattern(key.pattern))
        AlignBrush(e, port);
      return true;
    },
    [](BrushCache::Entry &e, GrafPort *port) -> uintptr_t {
      static const Pattern kBlack = {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};
      static const Pattern kWhite = {};
      HBRUSH brush = nullptr;
      bool solidFg = std::memcmp(&e.key.pattern, &kBlack, sizeof(Pattern)) == 0;
      bool solidBk = std::memcmp(&e.key.pattern, &kWhite, sizeof(Pattern)) == 0;
      if (solidFg || solidBk) {
        COLORREF ref = ColorRef(solidFg ? e.key.fg : e.key.bk);
        if (port && port->portKind != portKindPrinter) {
          COLORREF nearest = GetNearestColor(port->refDC, ref);
          if (nearest != CLR_INVALID) ref = (nearest & 0x00FFFFFF) | 0x02000000;
        }
        brush = CreateSolidBrush(ref);
      } else {
        struct {
          BITMAPINFOHEADER header;
          RGBQUAD colours[2];
          uint8_t bits[32];
        } dib{};
        dib.header.biSize = sizeof(BITMAPINFOHEADER);
        dib.header.biWidth = 8;
        dib.header.biHeight = 8;  // bottom-up
        dib.header.biPlanes = 1;
        dib.header.biBitCount = 1;
        dib.header.biClrUsed = 2;
        dib.colours[0] = RGBQUAD{BYTE(e.key.fg.blue >> 8), BYTE(e.key.fg.green >> 8), BYTE(e.key.fg.red >> 8), 0};
        dib.colours[1] = RGBQUAD{BYTE(e.key.bk.blue >> 8), BYTE(e.key.bk.green >> 8), BYTE(e.key.bk.red >> 8), 0};
        PatternBrushBits(e.key.pattern.pat, dib.bits);
        brush = CreateDIBPatternBrushPt(&dib, DIB_RGB_COLORS);
      }
      if (brush && port && port->portKind == portKindWindowOrDC && port->window && !solidFg && !solidBk)
        AlignBrush(e, port);
      return reinterpret_cast<uintptr_t>(brush);
    },
    DestroyObject};

template <typename Cache>
bool AddReferencesIn(std::unique_ptr<Cache> &live, std::vector<std::unique_ptr<Cache>> &closed,
                     HGDIOBJ object, int count) {
  auto handle = reinterpret_cast<uintptr_t>(object);
  if (live && live->AddReferences(handle, count)) return true;
  for (auto it = closed.begin(); it != closed.end(); ++it) {
    if (!(*it)->AddReferences(handle, count)) continue;
    if ((*it)->LiveObjects() == 0) closed.erase(it);
    return true;
  }
  return false;
}

// A cache is made with room reserved in its closed list, so that closing it never allocates.
template <typename Cache>
std::unique_ptr<Cache> MakeCache(const std::unique_ptr<Cache> &live, std::vector<std::unique_ptr<Cache>> &closed,
                                 size_t entries, const typename Cache::Hooks &hooks) {
  if (live) return nullptr;
  closed.reserve(closed.size() + 1);
  return std::make_unique<Cache>(entries, hooks);
}

template <typename Cache>
void CloseCache(std::unique_ptr<Cache> &live, std::vector<std::unique_ptr<Cache>> &closed) {
  if (!live) return;
  if (live->Close() > 0) closed.push_back(std::move(live));  // within the room reserved
  live.reset();
}

template <typename Cache>
size_t LiveIn(const std::unique_ptr<Cache> &live, const std::vector<std::unique_ptr<Cache>> &closed) {
  size_t n = live ? live->LiveObjects() : 0;
  for (auto &c : closed) n += c->LiveObjects();
  return n;
}

}  // namespace

HPEN GetCachedPen(const LOGPEN &pen, GrafPort *port) {
  if (!pens) return nullptr;
  // GDI reads only the width's x. A pen of one pixel or less has no inside to keep to: solid
  // and inside-frame draw alike, and one object serves both, so a port's initial pen is
  // also its line and frame pen.
  LOGPEN key = pen;
  key.lopnWidth.y = 0;
  if ((key.lopnStyle & PS_STYLE_MASK) == PS_SOLID && key.lopnWidth.x <= 1)
    key.lopnStyle = (key.lopnStyle & ~PS_STYLE_MASK) | PS_INSIDEFRAME;
  return reinterpret_cast<HPEN>(pens->Get(key, port));
}

HBRUSH GetCachedBrush(const RGBColor &fg, const RGBColor &bk, const Pattern &pattern, GrafPort *port) {
  if (!brushes) return nullptr;
  BrushKey key{fg, bk, pattern, 0, 0};
  return reinterpret_cast<HBRUSH>(brushes->Get(key, port));
}

HFONT GetCachedFont(const LOGFONTA &font, GrafPort *port) {
  if (!fonts) return nullptr;
  FontKey key{font, port ? port->portKind : static_cast<unsigned char>(0)};
  return reinterpret_cast<HFONT>(fonts->Get(key, port));
}

bool AddCacheReferences(CacheKind kind, HGDIOBJ object, int count) {
  switch (kind) {
    case CacheKind::Pen: return AddReferencesIn(pens, closedPens, object, count);
    case CacheKind::Brush: return AddReferencesIn(brushes, closedBrushes, object, count);
    case CacheKind::Font: return AddReferencesIn(fonts, closedFonts, object, count);
  }
  return false;
}

bool ReleaseCached(CacheKind kind, HGDIOBJ object) { return AddCacheReferences(kind, object, -1); }

void FlushCache(CacheKind kind) {
  if (kind == CacheKind::Pen && pens) pens->Flush();
  if (kind == CacheKind::Brush && brushes) brushes->Flush();
  if (kind == CacheKind::Font && fonts) fonts->Flush();
}

size_t LiveCachedObjects(CacheKind kind) {
  switch (kind) {
    case CacheKind::Pen: return LiveIn(pens, closedPens);
    case CacheKind::Brush: return LiveIn(brushes, closedBrushes);
    case CacheKind::Font: return LiveIn(fonts, closedFonts);
  }
  return 0;
}

HDC SharedTransferDC() {
  if (!transferDC) transferDC = CreateCompatibleDC(nullptr);
  return transferDC;
}

HDC SharedMaskDC(HDC like, int w, int h) {
  if (w < 1 || h < 1 || long(w) * h > kLargestKeptMask) return nullptr;
  MaskSurface &m = maskSurface;
  // The format of a DC is that of the bitmap it holds (a window DC holds none of its own);
  // asking the device for its depth costs far more than a whole mask.
  HGDIOBJ likeBitmap = GetCurrentObject(like, OBJ_BITMAP);
  bool sameFormat = m.dc && m.like == like && m.likeBitmap == likeBitmap;
  if (!sameFormat || m.width < w || m.height < h) {
    int width = sameFormat && m.width > w ? m.width : w;
    int height = sameFormat && m.height > h ? m.height : h;
    m.Free();
    m.dc = CreateCompatibleDC(like);
    m.bitmap = m.dc ? CreateCompatibleBitmap(like, width, height) : nullptr;
    HGDIOBJ old = m.bitmap ? SelectObject(m.dc, m.bitmap) : nullptr;
    if (!old || old == HGDI_ERROR) {
      m.Free();
      return nullptr;
    }
    m.oldBitmap = old;
    m.width = width;
    m.height = height;
    m.like = like;
    m.likeBitmap = likeBitmap;
  }
  PatBlt(m.dc, 0, 0, w, h, WHITENESS);
  return m.dc;
}

void PinPortObjects(GrafPort *port) {
  AddCacheReferences(CacheKind::Pen, port->penSlot, 1);
  AddCacheReferences(CacheKind::Font, port->fontSlot, 1);
  AddCacheReferences(CacheKind::Brush, port->brushSlot, 1);
}

void UnpinPortObjects(GrafPort *port) {
  AddCacheReferences(CacheKind::Pen, port->penSlot, -1);
  AddCacheReferences(CacheKind::Font, port->fontSlot, -1);
  AddCacheReferences(CacheKind::Brush, port->brushSlot, -1);
}

}  // namespace tstools::qd

using namespace tstools::qd;

void WINAPI QDrawCacheInit(void) {
  // A second call keeps the caches ports are already using. All three are made before any
  // is kept: running out of memory part-way leaves none made.
  tstools::Guarded(tstools::Nothing, [] {
    auto pen = MakeCache(pens, closedPens, kPenEntries, kPenHooks);
    auto brush = MakeCache(brushes, closedBrushes, kBrushEntries, kBrushHooks);
    auto font = MakeCache(fonts, closedFonts, kFontEntries, kFontHooks);
    if (pen) pens = std::move(pen);
    if (brush) brushes = std::move(brush);
    if (font) fonts = std::move(font);
    // A rebuilt font table may give the numbers other faces: unused cached fonts must go.
    tstools::onFontTableReplaced = [] { FlushCache(CacheKind::Font); };
  });
}

// Allocates nothing (see MakeCache and ObjectCache::Flush), so it cannot stop half-way.
void WINAPI QDrawCacheClose(void) {
  CloseCache(pens, closedPens);
  CloseCache(brushes, closedBrushes);
  CloseCache(fonts, closedFonts);
  if (transferDC) DeleteDC(transferDC);
  transferDC = nullptr;
  maskSurface.Free();
}

void tstools::qd::QuickDrawState::Reset() {
  QDrawCacheClose();
  MakeMetaFileRoutine routine = makeMetaFile;  // installed once at library start, not state
  *this = QuickDrawState();
  makeMetaFile = routine;
}

void WINAPI ML_LockGDIHack(Boolean flag) { quickDrawState.lockGdiFlag = flag; }
