// ML_PopUpMenuSelect: a popup window of item windows per menu level, each level tracked by its
// own message loop. Submenus open from the loop of their parent's level (never from inside a
// focus message), so closing levels only needs their done flags and the stack unwinds itself.
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "frame/export_guard.h"
#include "menu/owner_draw.h"
#include "menu/popup_classes.h"
#include "menu/popup_items.h"
#include "menu/popup_layout.h"
#include "menu/popup_records.h"
#include "menu/popup_tracking.h"
#include "tstools/font.h"
#include "tstools/popup_menu.h"

namespace tstools::menu {

PopupTracking tracking;

namespace {

constexpr UINT kCheckFocus = WM_APP + 0x3F0;  // re-checks where the focus went, once it has settled

LONG_PTR Slot(HWND window, int slot) { return GetWindowLongPtrA(window, slot * int(sizeof(LONG_PTR))); }
void SetSlot(HWND window, int slot, LONG_PTR value) {
  SetWindowLongPtrA(window, slot * int(sizeof(LONG_PTR)), value);
}
HWND SlotWindow(HWND window, int slot) { return reinterpret_cast<HWND>(Slot(window, slot)); }

bool HasClass(HWND window, const char *name) {
  char found[32];
  return window && GetClassNameA(window, found, sizeof found) && lstrcmpiA(found, name) == 0;
}
bool IsPopupWindow(HWND window) { return HasClass(window, kPopupClassName); }
bool IsItemWindow(HWND window) { return HasClass(window, kPopupItemClassName); }

int LevelOf(HWND popup) {
  for (int level = 1; level <= tracking.depth; ++level)
    if (popup && tracking.popups[level] == popup) return level;
  return 0;
}
MenuHandle MenuOf(HWND popup) { return reinterpret_cast<MenuHandle>(Slot(popup, kPopupMenu)); }
int IndexOf(HWND item) { return int(Slot(item, kItemIndex)); }

// The popup state, locked while in use.
class LockedState {
 public:
  explicit LockedState(HWND popup) : handle_(reinterpret_cast<HLOCAL>(Slot(popup, kPopupState))) {
    state_ = handle_ ? static_cast<PopupState *>(LocalLock(handle_)) : nullptr;
  }
  ~LockedState() {
    if (state_) LocalUnlock(handle_);
  }
  LockedState(const LockedState &) = delete;
  LockedState &operator=(const LockedState &) = delete;
  PopupState *operator->() const { return state_; }
  explicit operator bool() const { return state_ != nullptr; }

 private:
  HLOCAL handle_;
  PopupState *state_;
};

// Ends the level and every level nested in it.
void EndFrom(int level) {
  for (int j = std::max(level, 1); j <= tracking.depth; ++j) tracking.done[j] = true;
}

bool Selectable(MenuHandle menu, int index) {
  MenuItemSlot *slot = SlotOfItem(menu, index + 1);
  return slot && !(slot->itemFlags & kItemFlagSeparator) && PopupItemEnabled(menu, index + 1);
}
bool Hierarchical(MenuHandle menu, int index) {
  MenuItemSlot *slot = SlotOfItem(menu, index + 1);
  return slot && (slot->itemFlags & kItemFlagHierarchical);
}

void Choose(HWND popup, int index) {
  MenuHandle menu = MenuOf(popup);
  if (index >= 0 && Selectable(menu, index) && !Hierarchical(menu, index)) {
    tracking.chosenMenu = menu;
    tracking.chosenIndex = index;
  }
  EndFrom(1);
}

// The item window whose submenu is open at level + 1, or null.
HWND OpenerBelow(int level) {
  return level < tracking.depth ? SlotWindow(tracking.popups[level + 1], kPopupParentItem) : nullptr;
}

// Ends this popup's level, giving the focus back to the item that opened it.
void CloseLevel(HWND popup) {
  int level = LevelOf(popup);
  if (!level) return;
  HWND parentItem = SlotWindow(popup, kPopupParentItem);
  if (parentItem && IsWindow(parentItem)) SetFocus(parentItem);
  EndFrom(level);
}

// Focuses an item of any open popup: one nested less deeply waits until the deeper levels
// have closed.
void FocusItemOfAnyLevel(HWND item) {
  int level = LevelOf(GetParent(item));
  if (!level || item == OpenerBelow(level)) return;
  if (level < tracking.depth) {
    EndFrom(level + 1);
    tracking.pendingFocus = item;
  } else {
    SetFocus(item);
  }
}

void EnterSubmenu(HWND item) {
  int level = LevelOf(GetParent(item));
  if (item == OpenerBelow(level)) {
    if (HWND first = SlotWindow(tracking.popups[level + 1], kPopupFirstItem)) SetFocus(first);
  } else if (Selectable(MenuOf(GetParent(item)), IndexOf(item)) && Hierarchical(MenuOf(GetParent(item)), IndexOf(item))) {
    tracking.enterSubmenu = true;
    tracking.pendingOpen = item;
  }
}

bool EndsLevelKey(WPARAM key) {
  return key == VK_TAB || key == VK_MENU || key == VK_ESCAPE || key == VK_F2;
}

// ---- Item windows ------------------------------------------------------------------------

void OnItemFocus(HWND item) {
  HWND popup = GetParent(item);
  int level = LevelOf(popup), index = IndexOf(item);
  if (!level || tracking.done[level]) return;
  MenuHandle menu = MenuOf(popup);
  bool selectable = Selectable(menu, index);
  SetSlot(popup, kPopupCurrentItem, selectable ? index : -1);
  InvalidateRect(item, nullptr, FALSE);
  if (level < tracking.depth) {
    if (item == OpenerBelow(level)) return;  // its submenu is open already
    EndFrom(level + 1);
  }
  tracking.pendingOpen = selectable && Hierarchical(menu, index) ? item : nullptr;
}

void OnItemBlur(HWND item, HWND next) {
  HWND popup = GetParent(item);
  int level = LevelOf(popup);
  InvalidateRect(item, nullptr, FALSE);
  if (!level || tracking.done[level]) return;
  if (IsItemWindow(next) || IsPopupWindow(next)) {
    if (Slot(popup, kPopupCurrentItem) == IndexOf(item)) SetSlot(popup, kPopupCurrentItem, -1);
  } else {
    // Activation passes through other windows on its way between popups: judge once settled.
    PostMessageA(popup, kCheckFocus, 0, 0);
  }
}

void OnItemKey(HWND item, WPARAM key) {
  HWND popup = GetParent(item);
  int level = LevelOf(popup);
  if (!level || tracking.done[level]) return;
  MenuHandle menu = MenuOf(popup);
  auto follow = [&](int slot) {
    HWND to = SlotWindow(item, slot);
    if (to) SetFocus(to);
    return to != nullptr;
  };
  if (EndsLevelKey(key)) {
    CloseLevel(popup);
  } else if (key == VK_RETURN) {
    int current = int(Slot(popup, kPopupCurrentItem));
    if (current >= 0 && Hierarchical(menu, current))
      EnterSubmenu(item);
    else if (current >= 0)
      Choose(popup, current);
    else
      CloseLevel(popup);
  } else if (key == VK_UP) {
    follow(kItemAbove);
  } else if (key == VK_DOWN) {
    follow(kItemBelow);
  } else if (key == VK_LEFT) {
    if (!follow(kItemLeft) && level > 1) CloseLevel(popup);
  } else if (key == VK_RIGHT) {
    if (!follow(kItemRight) && Hierarchical(menu, IndexOf(item))) EnterSubmenu(item);
  }
}

void PaintItem(HWND item) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(item, &paint);
  HWND popup = GetParent(item);
  RECT client;
  GetClientRect(item, &client);
  if (dc && LevelOf(popup))
    PaintPopupItem(MenuOf(popup), IndexOf(item), item, dc, client, Slot(popup, kPopupCurrentItem) == IndexOf(item));
  EndPaint(item, &paint);
}

// ---- Popup windows -----------------------------------------------------------------------

LRESULT OnPopupCreate(HWND popup, const CREATESTRUCTA *create) {
  HLOCAL handle = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, sizeof(PopupState));
  if (!handle) return -1;
  SetSlot(popup, kPopupState, reinterpret_cast<LONG_PTR>(handle));
  SetSlot(popup, kPopupItemTable, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  SetSlot(popup, kPopupCurrentItem, -1);
  LockedState state(popup);
  state->mode = uint16_t(TrackMode::kOpened);
  state->openedTick = GetTickCount();
  GetCursorPos(&state->openedAt);
  state->callerLow = int16_t(tracking.callerValue & 0xFFFF);
  state->callerHigh = int16_t((tracking.callerValue >> 16) & 0xFFFF);
  state->level = int16_t(tracking.creatingLevel);
  state->previousCapture = SetCapture(popup);
  state->hadCapture = 1;
  return 0;
}

void OnPopupDestroy(HWND popup) {
  HLOCAL handle = reinterpret_cast<HLOCAL>(Slot(popup, kPopupState));
  HWND parentItem = SlotWindow(popup, kPopupParentItem);
  if (parentItem && IsWindow(parentItem) && SlotWindow(GetParent(parentItem), kPopupOpenChild) == popup)
    SetSlot(GetParent(parentItem), kPopupOpenChild, 0);
  if (handle) {
    {
      LockedState state(popup);
      if (state && state->hadCapture && GetCapture() == popup) {
        HWND previous = state->previousCapture;
        if (previous && IsWindow(previous))
          SetCapture(previous);
        else
          ReleaseCapture();
      }
    }
    SetSlot(popup, kPopupState, 0);
    LocalFree(handle);
  }
  if (int level = LevelOf(popup)) EndFrom(level);
}

HWND ItemAt(HWND popup, POINT screen) {
  for (HWND child = GetWindow(popup, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r;
    if (GetWindowRect(child, &r) && PtInRect(&r, screen)) return child;
  }
  return nullptr;
}

void OnPointer(HWND popup, UINT message, WPARAM wParam, LPARAM lParam) {
  int level = LevelOf(popup);
  if (!level || tracking.done[level]) return;
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(popup, &at);
  PointerEvent event = PointerEvent::kMove;
  bool left = tracking.button == 2;
  switch (message) {
    case WM_MOUSEMOVE:
      // Windows repeats the last position when windows appear or capture moves: not a move.
      if (at.x == tracking.lastPointer.x && at.y == tracking.lastPointer.y) return;
      tracking.lastPointer = at;
      break;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: event = PointerEvent::kPress; break;
    case WM_LBUTTONUP: if (!left) return; event = PointerEvent::kRelease; break;
    case WM_RBUTTONUP: if (left) return; event = PointerEvent::kRelease; break;
    default: return;
  }
  HWND hitPopup = nullptr, hitItem = nullptr;
  for (int j = tracking.depth; j >= 1 && !hitPopup; --j) {
    RECT r;
    if (tracking.popups[j] && GetWindowRect(tracking.popups[j], &r) && PtInRect(&r, at)) {
      hitPopup = tracking.popups[j];
      hitItem = ItemAt(hitPopup, at);
    }
  }
  PointerInput in{};
  in.event = event;
  in.buttonDown = (wParam & (left ? MK_LBUTTON : MK_RBUTTON)) != 0;
  in.hit = !hitPopup ? PointerHit::kOutside
           : !hitItem ? PointerHit::kPopup
           : Slot(hitPopup, kPopupCurrentItem) == IndexOf(hitItem) ? PointerHit::kCurrentItem
                                                                  : PointerHit::kItem;
  in.hitHierarchical = hitItem && Hierarchical(MenuOf(hitPopup), IndexOf(hitItem));
  PointerDecision decision;
  {
    LockedState state(popup);
    if (!state) return;
    in.mode = TrackMode(state->mode);
    in.quick = GetTickCount() - state->openedTick <= GetDoubleClickTime();
    in.still = std::abs(at.x - state->openedAt.x) < 6 && std::abs(at.y - state->openedAt.y) < 6;
    decision = DecidePointer(in);
    state->mode = uint16_t(decision.mode);
  }
  switch (decision.action) {
    case PointerAction::kFocusItem: FocusItemOfAnyLevel(hitItem); break;
    case PointerAction::kFocusPopup: if (GetFocus() != popup) SetFocus(popup); break;
    case PointerAction::kChoose: Choose(hitPopup, IndexOf(hitItem)); break;
    case PointerAction::kCancel: EndFrom(1); break;
    case PointerAction::kNone: break;
  }
}

void OnPopupKey(HWND popup, WPARAM key) {
  if (EndsLevelKey(key)) {
    CloseLevel(popup);
  } else if (key == VK_RIGHT || key == VK_DOWN) {
    if (HWND first = SlotWindow(popup, kPopupFirstItem)) SetFocus(first);
  }
}

void CheckFocus() {
  if (!tracking.depth || tracking.done[1]) return;
  HWND focus = GetFocus();
  if (!IsItemWindow(focus) && !IsPopupWindow(focus)) EndFrom(1);
}

// ---- Owner windows -----------------------------------------------------------------------

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC previous = nullptr;
  for (int i = 0; i < tracking.subclassCount; ++i)
    if (tracking.subclassed[i].window == window) previous = tracking.subclassed[i].previous;
  // The caption stays active while the popup has the activation.
  if (message == WM_NCACTIVATE && !wParam && tracking.depth > 0 && !tracking.done[1]) return TRUE;
  return previous ? CallWindowProcA(previous, window, message, wParam, lParam)
                  : DefWindowProcA(window, message, wParam, lParam);
}

void Subclass(HWND window) {
  if (!window || !IsWindow(window) || tracking.subclassCount == 2) return;
  for (int i = 0; i < tracking.subclassCount; ++i)
    if (tracking.subclassed[i].window == window) return;  // twice would call itself
  auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OwnerProc)));
  if (previous) tracking.subclassed[tracking.subclassCount++] = {window, previous};
}

// ---- Levels ------------------------------------------------------------------------------

void OpenAndTrack(MenuHandle menu, int level, HWND parentItem, int left, int top);

void OpenSubmenu(HWND item) {
  HWND popup = GetParent(item);
  int level = LevelOf(popup);
  MenuHandle submenu = SubmenuOf(MenuOf(popup), IndexOf(item) + 1);
  if (!submenu || level >= kMaxPopupDepth) {
    tracking.enterSubmenu = false;
    return;
  }
  RECT r;
  GetWindowRect(item, &r);
  OpenAndTrack(submenu, level + 1, item, r.right, r.top);
}

// Requests that waited for the deeper levels to close.
void ProcessPending(int level) {
  if (tracking.done[level] || level != tracking.depth) return;
  if (HWND focus = tracking.pendingFocus) {
    tracking.pendingFocus = nullptr;
    if (IsWindow(focus) && LevelOf(GetParent(focus)) == level) SetFocus(focus);
  }
  if (HWND item = tracking.pendingOpen) {
    tracking.pendingOpen = nullptr;
    if (IsWindow(item) && LevelOf(GetParent(item)) == level && !tracking.done[level] &&
        Slot(GetParent(item), kPopupCurrentItem) == IndexOf(item))
      OpenSubmenu(item);
  }
}

void RunLevel(int level) {
  MSG msg;
  while (!tracking.done[level]) {
    ProcessPending(level);
    if (tracking.done[level]) break;
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      tracking.quit = true;
      tracking.quitCode = msg.wParam;
    }
    if (got == 0 || got == -1) {
      EndFrom(1);
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

HWND CreateItems(HWND popup, MenuHandle menu, const std::vector<int> &indices, const PopupLayout &layout) {
  std::vector<HWND> items(indices.size());
  for (size_t i = 0; i < indices.size(); ++i) {
    const PopupPlace &p = layout.places[i];
    items[i] = CreateWindowExA(WS_EX_NOPARENTNOTIFY, kPopupItemClassName, "", WS_CHILD | WS_VISIBLE, p.left,
                               p.top, p.width, p.height, popup, nullptr, menuState.registeredInstance, nullptr);
    if (!items[i]) return nullptr;
    SetSlot(items[i], kItemIndex, indices[i]);
  }
  auto link = [&](int to) { return to < 0 ? 0 : reinterpret_cast<LONG_PTR>(items[size_t(to)]); };
  for (size_t i = 0; i < items.size(); ++i) {
    const PopupPlace &p = layout.places[i];
    SetSlot(items[i], kItemAbove, link(p.above));
    SetSlot(items[i], kItemBelow, link(p.below));
    SetSlot(items[i], kItemLeft, link(p.toLeft));
    SetSlot(items[i], kItemRight, link(p.toRight));
  }
  (void)menu;
  return items.empty() ? nullptr : items[0];
}

void OpenAndTrack(MenuHandle menu, int level, HWND parentItem, int left, int top) {
  MenuInfo *info = LiveMenu(menu);
  if (!info) return;
  std::vector<int> indices;
  for (int index = 0; index < info->itemCount; ++index)
    if (PopupItemShown(menu, index)) indices.push_back(index);
  if (indices.empty()) return;
  bool rowMajor = (info->menuFlags & kMenuFlagRowMajor) != 0;

  std::vector<PopupCell> cells;
  HDC screen = GetDC(nullptr);
  int screenWidth = GetDeviceCaps(screen, HORZRES), screenHeight = GetDeviceCaps(screen, VERTRES);
  for (int index : indices) cells.push_back(MeasurePopupItem(menu, index, screen));
  ReleaseDC(nullptr, screen);
  int margin = menuState.windows4 ? 2 : 0;
  DWORD style = WS_POPUP | WS_CLIPCHILDREN | (menuState.windows4 ? 0 : WS_BORDER);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
  PopupLayout layout = LayOutPopup(cells, margin, screenWidth - frameWidth, screenHeight - frameHeight, rowMajor);
  int width = layout.width + frameWidth, height = layout.height + frameHeight;

  tracking.creatingLevel = level;
  HWND popup = CreateWindowExA(0, kPopupClassName, "", style, KeepOnScreen(left, width, screenWidth),
                               KeepOnScreen(top, height, screenHeight), width, height, tracking.owner, nullptr,
                               menuState.registeredInstance, info->itemTable);
  if (!popup) return;
  tracking.popups[level] = popup;
  tracking.done[level] = false;
  tracking.depth = level;
  SetSlot(popup, kPopupMenu, reinterpret_cast<LONG_PTR>(menu));
  SetSlot(popup, kPopupParentItem, reinterpret_cast<LONG_PTR>(parentItem));
  if (parentItem) SetSlot(GetParent(parentItem), kPopupOpenChild, reinterpret_cast<LONG_PTR>(popup));
  {
    LockedState state(popup);
    if (state) state->visibleCount = int16_t(indices.size());
  }
  HWND first = CreateItems(popup, menu, indices, layout);
  SetSlot(popup, kPopupFirstItem, reinterpret_cast<LONG_PTR>(first));
  if (first) {
    // The first level takes the activation (and so the keyboard); submenus appear beside
    // their item, which keeps the focus until the user moves into them.
    ShowWindow(popup, level == 1 ? SW_SHOW : SW_SHOWNOACTIVATE);
    UpdateWindow(popup);
    if (tracking.enterSubmenu) {
      tracking.enterSubmenu = false;
      SetFocus(first);
    }
    RunLevel(level);
  }
  HWND focus = GetFocus();
  if (parentItem && IsWindow(parentItem) && !tracking.done[level - 1] && focus &&
      (focus == popup || IsChild(popup, focus)))
    SetFocus(parentItem);
  if (IsWindow(popup)) DestroyWindow(popup);
  tracking.popups[level] = nullptr;
  tracking.depth = level - 1;
}

void MakeFonts(unsigned options) {
  LOGFONTA font{};
  if ((options & kPopupMenuFont) && menuState.windows4) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) font = metrics.lfMenuFont;
  } else if (options & kPopupMenuFont) {
    GetObjectA(GetStockObject(SYSTEM_FONT), sizeof font, &font);
    LOGFONTA system = font;
    font = LOGFONTA{};
    font.lfHeight = system.lfHeight;
    lstrcpynA(font.lfFaceName, system.lfFaceName, LF_FACESIZE);
  } else {
    Str255 name{};
    GetFontName(1, name);
    font.lfHeight = -8;
    lstrcpynA(font.lfFaceName, reinterpret_cast<const char *>(name + 1), std::min<int>(name[0] + 1, LF_FACESIZE));
  }
  font.lfWeight = FW_NORMAL;
  tracking.normalFont = CreateFontIndirectA(&font);
  font.lfWeight = FW_BOLD;
  tracking.boldFont = CreateFontIndirectA(&font);
}

// Everything ML_PopUpMenuSelect changed, undone on every way out.
struct TrackingScope {
  TrackingScope() { tracking.Reset(); tracking.active = true; }
  ~TrackingScope() {
    for (int level = tracking.depth; level >= 1; --level)
      if (tracking.popups[level] && IsWindow(tracking.popups[level])) DestroyWindow(tracking.popups[level]);
    for (int i = tracking.subclassCount - 1; i >= 0; --i) {
      const PopupTracking::Subclass &s = tracking.subclassed[i];
      if (IsWindow(s.window)) SetWindowLongPtrA(s.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s.previous));
    }
    // Items select the fonts only while they draw, so no DC holds them now.
    if (tracking.normalFont) DeleteObject(tracking.normalFont);
    if (tracking.boldFont) DeleteObject(tracking.boldFont);
    bool quit = tracking.quit;
    WPARAM code = tracking.quitCode;
    tracking.Reset();
    if (quit) PostQuitMessage(int(code));
  }
  TrackingScope(const TrackingScope &) = delete;
  TrackingScope &operator=(const TrackingScope &) = delete;
};

}  // namespace

LRESULT CALLBACK PopupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Guarded(LRESULT(0), [&]() -> LRESULT {
    switch (message) {
      case WM_CREATE: return OnPopupCreate(window, reinterpret_cast<const CREATESTRUCTA *>(lParam));
      case WM_DESTROY: OnPopupDestroy(window); return 0;
      case WM_PAINT:
        if (menuState.windows4) {
          PAINTSTRUCT paint;
          HDC dc = BeginPaint(window, &paint);
          RECT client;
          GetClientRect(window, &client);
          if (dc) DrawEdge(dc, &client, EDGE_RAISED, BF_RECT);
          EndPaint(window, &paint);
          return 0;
        }
        break;
      case WM_KEYDOWN: case WM_SYSKEYDOWN: OnPopupKey(window, wParam); return 0;
      case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_RBUTTONDOWN: case WM_RBUTTONUP:
        OnPointer(window, message, wParam, lParam);
        return 0;
      case WM_ACTIVATEAPP: if (!wParam) EndFrom(1); break;
      case WM_CANCELMODE: EndFrom(1); return 0;
      case kCheckFocus: CheckFocus(); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  });
}

LRESULT CALLBACK PopupItemWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Guarded(LRESULT(0), [&]() -> LRESULT {
    switch (message) {
      case WM_SETFOCUS: OnItemFocus(window); return 0;
      case WM_KILLFOCUS: OnItemBlur(window, reinterpret_cast<HWND>(wParam)); return 0;
      case WM_PAINT: PaintItem(window); return 0;
      case WM_ERASEBKGND: return 1;  // painting fills the whole item
      case WM_KEYDOWN: case WM_SYSKEYDOWN: OnItemKey(window, wParam); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  });
}

}  // namespace tstools::menu

using namespace tstools;
using namespace tstools::menu;

long WINAPI ML_PopUpMenuSelect(MenuHandle menu, short top, short left, HWND owner, HWND measuring,
                               long callerValue, short button, short options) {
  if (tracking.active || !menuState.registeredInstance || !LiveMenu(menu)) return 0;
  return Guarded(0L, [&]() -> long {
    TrackingScope scope;
    tracking.options = unsigned(uint16_t(options));
    tracking.button = button;
    tracking.owner = owner;
    tracking.measuring = measuring;
    tracking.callerValue = callerValue;
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    tracking.arrow = SystemBitmapSize(kSubmenuArrow);
    GetCursorPos(&tracking.lastPointer);
    MakeFonts(tracking.options);
    Subclass(owner);
    Subclass(measuring);
    OpenAndTrack(menu, 1, nullptr, left, top);
    if (!tracking.chosenMenu || tracking.chosenIndex < 0) return 0;
    MenuItemSlot *slot = SlotOfItem(tracking.chosenMenu, tracking.chosenIndex + 1);
    MenuInfo *info = LiveMenu(tracking.chosenMenu);
    if (!slot || !info) return 0;
    return long(PopupResult(info->menuID, tracking.chosenIndex + 1, (slot->itemFlags & kItemFlagOwnerDraw) != 0,
                            WindowsCommandId(tracking.chosenMenu, tracking.chosenIndex + 1)));
  });
}
