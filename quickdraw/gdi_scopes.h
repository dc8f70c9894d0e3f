// Scopes for GDI state that a drawing call borrows and must give back: an object selected
// into a DC, a saved DC state, a memory DC holding a bitmap, an object to delete. Each
// undoes only what it really did, so a failed GDI call never leads to a bogus restore.
#pragma once

#include <windows.h>

namespace tstools::gdi {

// An object selected into a DC for the scope; the DC's previous object goes back at the
// end. SelectObject reports failure as null (HGDI_ERROR for regions and some drivers):
// either way nothing was selected and nothing is put back.
class SelectedObject {
 public:
  SelectedObject() = default;
  SelectedObject(HDC dc, HGDIOBJ object) { Select(dc, object); }
  ~SelectedObject() { Restore(); }
  SelectedObject(const SelectedObject &) = delete;
  SelectedObject &operator=(const SelectedObject &) = delete;

  // Selects object, putting back first whatever this scope selected before.
  bool Select(HDC dc, HGDIOBJ object) {
    Restore();
    if (!dc || !object) return false;
    HGDIOBJ old = SelectObject(dc, object);
    if (!old || old == HGDI_ERROR) return false;
    dc_ = dc;
    old_ = old;
    return true;
  }
  void Restore() {
    if (old_) SelectObject(dc_, old_);
    old_ = nullptr;
  }
  bool ok() const { return old_ != nullptr; }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// The DC's whole state (clip, mapping, objects, colours) saved for the scope and restored at
// the end, to exactly the level saved: states pushed inside the scope go too. A recording
// DC is restored by one level back instead: a metafile replays the level it stores, and
// an absolute one would mean another state in the DC it is played into. Nothing is
// restored when SaveDC failed.
class SavedDC {
 public:
  explicit SavedDC(HDC dc) : dc_(dc), level_(dc ? SaveDC(dc) : 0) {
    DWORD type = level_ > 0 ? GetObjectType(dc) : 0;
    if (type == OBJ_METADC || type == OBJ_ENHMETADC) level_ = -1;
  }
  ~SavedDC() {
    if (level_) RestoreDC(dc_, level_);
  }
  SavedDC(const SavedDC &) = delete;
  SavedDC &operator=(const SavedDC &) = delete;
  bool ok() const { return level_ != 0; }

 private:
  HDC dc_;
  int level_;  // 0: nothing saved; -1: the state just above
};

// A GDI object (pen, brush, bitmap, region, font) deleted at the end of the scope. It must
// no longer be selected anywhere by then: declare it before the scopes that select it.
template <typename Handle>
class OwnedObject {
 public:
  explicit OwnedObject(Handle object = nullptr) : object_(object) {}
  ~OwnedObject() {
    if (object_) DeleteObject(object_);
  }
  OwnedObject(const OwnedObject &) = delete;
  OwnedObject &operator=(const OwnedObject &) = delete;
  Handle get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  Handle object_;
};

// A memory DC compatible with `like` holding a bitmap for the scope: the bitmap is selected
// out and the DC deleted at the end. Owning the bitmap too is the caller's choice (an
// OwnedObject declared before this scope).
class BitmapDC {
 public:
  BitmapDC(HDC like, HBITMAP bitmap) : dc_(CreateCompatibleDC(like)) {
    if (dc_) bitmap_.Select(dc_, bitmap);
  }
  ~BitmapDC() {
    bitmap_.Restore();
    if (dc_) DeleteDC(dc_);
  }
  BitmapDC(const BitmapDC &) = delete;
  BitmapDC &operator=(const BitmapDC &) = delete;
  HDC dc() const { return dc_; }
  bool ok() const { return bitmap_.ok(); }

 private:
  HDC dc_;
  SelectedObject bitmap_;
};

}  // namespace tstools::gdi
