// Filtered metafile playback and rendering into bitmaps.
#include "picture/metafile_playback.h"

#include <cstring>

#include "frame/export_guard.h"

namespace tstools::pict {

namespace {

int CALLBACK PlayRecord(HDC dc, HANDLETABLE *table, METARECORD *record, int objects, LPARAM data) {
  auto *filter = reinterpret_cast<MetafileFilter *>(data);
  return tstools::Guarded(1, [&] {
    FilterDecision d = filter->Decide(reinterpret_cast<const uint8_t *>(record), size_t(record->rdSize) * 2);
    if (d.kind == FilterDecision::kPlay) {
      PlayMetaFileRecord(dc, table, record, objects);
    } else if (d.kind == FilterDecision::kPlayRewritten) {
      for (int i = 0; i < d.count; ++i) {
        DWORD copy[3];  // METARECORD is DWORD-aligned
        std::memcpy(copy, d.records[i], sizeof d.records[i]);
        PlayMetaFileRecord(dc, table, reinterpret_cast<METARECORD *>(copy), objects);
      }
    }
    return 1;
  });
}

}  // namespace

bool PlayFilteredMetafile(HDC dc, HMETAFILE mf, const NestingGeometry *nesting) {
  int level = SaveDC(dc);
  if (!level) return false;
  MoveToEx(dc, 0, 0, nullptr);
  SetROP2(dc, R2_COPYPEN);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, RGB(255, 255, 255));
  SetPolyFillMode(dc, ALTERNATE);
  SetStretchBltMode(dc, COLORONCOLOR);
  SetTextColor(dc, RGB(0, 0, 0));
  SetTextCharacterExtra(dc, 0);
  SetTextAlign(dc, 0);
  SetMapperFlags(dc, 0);
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  SelectObject(dc, GetStockObject(BLACK_PEN));
  // A metafile DC numbers no levels of its own: absolute restores are then refused.
  MetafileFilter filter(GetObjectType(dc) == OBJ_METADC ? 0 : level, nesting);
  EnumMetaFile(dc, mf, PlayRecord, reinterpret_cast<LPARAM>(&filter));
  for (int i = filter.UnmatchedSaves(); i >= 0; --i) RestoreDC(dc, -1);
  return true;
}

HBITMAP RenderMetafile(HDC like, HMETAFILE mf, int width, int height, const RECT &window, HPALETTE palette) {
  HDC screen = like ? nullptr : GetDC(nullptr);
  HDC reference = like ? like : screen;
  HDC dc = reference ? CreateCompatibleDC(reference) : nullptr;
  HBITMAP bitmap = dc ? CreateCompatibleBitmap(reference, width, height) : nullptr;
  HGDIOBJ old = bitmap ? SelectObject(dc, bitmap) : nullptr;
  bool ok = old != nullptr;
  if (ok) {
    HPALETTE oldPalette = palette ? SelectPalette(dc, palette, FALSE) : nullptr;
    if (oldPalette) RealizePalette(dc);
    PatBlt(dc, 0, 0, width, height, WHITENESS);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowOrgEx(dc, window.left, window.top, nullptr);
    SetWindowExtEx(dc, window.right, window.bottom, nullptr);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetViewportExtEx(dc, width, height, nullptr);
    ok = PlayFilteredMetafile(dc, mf, nullptr);
    if (oldPalette) SelectPalette(dc, oldPalette, FALSE);
    SelectObject(dc, old);
  }
  if (dc) DeleteDC(dc);
  if (screen) ReleaseDC(nullptr, screen);
  if (!ok && bitmap) {
    DeleteObject(bitmap);
    bitmap = nullptr;
  }
  return bitmap;
}

}  // namespace tstools::pict
