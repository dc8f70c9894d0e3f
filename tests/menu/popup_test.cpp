// Popup menus tracked with real input from a helper thread, and owner-drawn items in Wine's
// own menus.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/gdi_objects.h"
#include "tstools/tstools.h"

namespace {

using tstools::test::LiveGdiObjects;

// Menus made through the Menu Manager's calls, sharing one bar and item table.
struct Menus {
  Handle bar = nullptr, table = nullptr;
  std::vector<MenuHandle> made;
  Menus() { MemInitZone(), ML_InitMenus(0, &bar, &table, 0, nullptr); }
  ~Menus() {  // titles are global atoms: they outlive the process unless the menus go
    for (MenuHandle menu : made) M_DisposeMenu(menu);
    ML_MenuShutdown(&bar, &table);
  }
  // items is a Mac item list; hidden lists items made hidden (command character 1).
  MenuHandle Add(short id, std::string items, std::vector<short> hidden = {}, bool submenu = false) {
    MenuHandle menu = ML_NewMenu(id, reinterpret_cast<ConstStr255Param>("\x05Popup"), table, bar);
    made.push_back(menu);
    items.insert(items.begin(), char(items.size()));
    M_AppendMenu(menu, reinterpret_cast<ConstStr255Param>(items.data()));
    for (short item : hidden) ML_SetItemCmd(menu, item, 1, 0);
    if (submenu) M_InsertMenu(menu, -1, 0);
    return menu;
  }
};

// The owner: answers the owner-drawn items' measuring with 33 x 21 and notes nested calls.
struct Owner {
  static inline long nestedResult = -1;
  static inline int measured = 0;
  static inline MenuHandle nestedMenu = nullptr;
  static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_MEASUREITEM) {
      auto *mis = reinterpret_cast<MEASUREITEMSTRUCT *>(lp);
      mis->itemWidth = 33, mis->itemHeight = 21, ++measured;
      nestedResult = ML_PopUpMenuSelect(nestedMenu, 0, 0, w, nullptr, 0, 2, 0);
      return TRUE;
    }
    return DefWindowProcA(w, m, wp, lp);
  }
  WNDCLASSA wc{0, Proc, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr, "PopupOwner"};
  ATOM registered = RegisterClassA(&wc);
  HWND window = CreateWindowA("PopupOwner", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, 0, 0,
                              GetModuleHandleA(nullptr), 0);
  Owner() { SetForegroundWindow(window); }
  ~Owner() { DestroyWindow(window); }
};

void Key(WORD key) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = key;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
  Sleep(60);
}
void Mouse(DWORD flags, POINT at = {-1, -1}) {
  if (at.x >= 0) SetCursorPos(at.x, at.y);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  if (flags) SendInput(1, &in, sizeof in);
  Sleep(60);
}
HWND Popup(int n = 1, int tries = 200) {  // the first popup once n are shown, waiting for them
  for (; tries > 0; --tries, Sleep(20)) {
    std::vector<HWND> found;
    for (HWND w = FindWindowExA(nullptr, nullptr, "TSAPP3POPUP", nullptr); w;
         w = FindWindowExA(nullptr, w, "TSAPP3POPUP", nullptr))
      if (IsWindowVisible(w)) found.push_back(w);
    if (int(found.size()) >= n) return found[0];
  }
  return nullptr;
}
POINT ItemCentre(HWND popup, int k) {  // k-th item window (0-based)
  HWND item = GetWindow(popup, GW_CHILD);
  while (item && k--) item = GetWindow(item, GW_HWNDNEXT);
  RECT r{};
  GetWindowRect(item, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Runs ML_PopUpMenuSelect at (left, top) while `input` plays on another thread.
long Track(MenuHandle menu, HWND owner, std::function<void()> input, short left = 200, short top = 150,
           HWND measuring = nullptr, short options = 0) {
  bool ignored = false;
  std::thread player([&] {
    Popup();
    input();
    // A popup still open has ignored the input: end it rather than hang the suite. (Wine
    // without a window manager may take 2 s to take a window off the screen.)
    for (int waited = 0; waited < 150 && Popup(1, 1); ++waited) Sleep(20);
    for (HWND left; (left = Popup(1, 1)) != nullptr; Sleep(100)) ignored = PostMessageA(left, WM_CANCELMODE, 0, 0);
  });
  long result = ML_PopUpMenuSelect(menu, top, left, owner, measuring, 0x12345678, 2, options);
  player.join();
  EXPECT_FALSE(ignored) << "the popup ignored the input";
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return PostQuitMessage(int(msg.wParam)), result;
    DispatchMessageA(&msg);
  }
  return result;
}

TEST(PopupMenu, KeysChooseOnlyEnabledItemsAndTheResultWord) {
  Menus m;
  Owner owner;
  InitFonts();
  MenuHandle menu = m.Add(200, "One;Two;Three;(Four");
  MenuHandle hidden = m.Add(202, "gone;gone too;Shown", {1, 2});
  auto before = GetWindowLongPtrA(owner.window, GWLP_WNDPROC);
  EXPECT_EQ(Track(menu, owner.window, [] { Key(VK_DOWN), Key(VK_DOWN), Key(VK_DOWN), Key(VK_RETURN); }), 0x00C80003);
  long gdi = LiveGdiObjects();  // after the first popup: the class DC and the system's bitmaps stay
  EXPECT_EQ(Track(menu, owner.window, [] { Key(VK_DOWN), Key(VK_ESCAPE); }), 0) << "ESC over a highlight";
  EXPECT_EQ(Track(menu, owner.window, [] { Key(VK_DOWN), Key(VK_UP), Key(VK_RETURN); }), 0) << "RETURN on a disabled item";
  for (WORD key : {VK_TAB, VK_F2, VK_MENU}) EXPECT_EQ(Track(menu, owner.window, [=] { Key(VK_DOWN), Key(key); }), 0);
  EXPECT_EQ(Track(menu, owner.window, [] { Key(VK_DOWN), PostMessageA(Popup(), WM_ACTIVATEAPP, FALSE, 0); }), 0);
  EXPECT_EQ(Track(hidden, owner.window, [] { Key(VK_DOWN), Key(VK_RETURN); }), 0x00CA0003) << "Mac numbers";
  EXPECT_EQ(Track(hidden, owner.window, [] { Key(VK_DOWN), Key(VK_RETURN); }, 200, 150, nullptr, kPopupShowHidden),
            0x00CA0001);
  EXPECT_EQ(GetWindowLongPtrA(owner.window, GWLP_WNDPROC), before);
  EXPECT_EQ(LiveGdiObjects(), gdi) << "fonts and bitmaps of the popups";
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST(PopupMenu, RightOpensTheSubmenuAndLeftComesBack) {
  Menus m;
  Owner owner;
  MenuHandle menu = m.Add(200, "One;More!\xC9/\x1B;Three");
  m.Add(201, "Sub one;Sub two", {}, true);
  EXPECT_EQ(Track(menu, owner.window, [] { Key(VK_DOWN), Key(VK_DOWN), Key(VK_RIGHT), Key(VK_DOWN), Key(VK_RETURN); }),
            0x00C90002);
  EXPECT_EQ(Track(menu, owner.window,
                  [] { Key(VK_DOWN), Key(VK_DOWN), Key(VK_RIGHT), Key(VK_LEFT), Key(VK_DOWN), Key(VK_RETURN); }),
            0x00C80003);
  EXPECT_EQ(Track(menu, owner.window, [] { Key(VK_DOWN), Key(VK_DOWN), Key(VK_RIGHT), Key(VK_ESCAPE), Key(VK_ESCAPE); }),
            0);
}

TEST(PopupMenu, MouseReleaseSoonAfterOpeningWaitsForAClick) {
  Menus m;
  Owner owner;
  MenuHandle menu = m.Add(200, "One;Two;Three");
  SetCursorPos(200, 150);
  std::atomic<bool> stayedOpen{false};
  EXPECT_EQ(Track(menu, owner.window,
                  [&] {
                    Mouse(MOUSEEVENTF_LEFTUP);
                    Sleep(GetDoubleClickTime() + 100);
                    stayedOpen = IsWindowVisible(Popup());
                    POINT second = ItemCentre(Popup(), 1);
                    Mouse(0, second), Mouse(MOUSEEVENTF_LEFTDOWN), Mouse(MOUSEEVENTF_LEFTUP);
                  }),
            0x00C80002);
  EXPECT_TRUE(stayedOpen);
  // A release outside ends with nothing, though the keyboard highlighted an item.
  EXPECT_EQ(Track(menu, owner.window,
                  [&] {
                    Sleep(GetDoubleClickTime() + 100);
                    Key(VK_DOWN);
                    Mouse(MOUSEEVENTF_LEFTUP, {700, 700});
                  }),
            0);
}

TEST(PopupMenu, StaysOnScreenMeasuresThroughTheOwnerOnceAndEndsOnQuit) {
  Menus m;
  Owner owner;
  MenuHandle menu = m.Add(200, "One;Drawn");
  SetCustomPopup(menu, 2, false);
  Owner::nestedMenu = menu;
  auto before = GetWindowLongPtrA(owner.window, GWLP_WNDPROC);
  RECT placed{}, drawn{};
  Owner::measured = 0;
  // The measuring window is the owner: one subclass, or measuring would call itself forever.
  EXPECT_EQ(Track(menu, owner.window,
                  [&] {
                    HWND popup = Popup();
                    GetWindowRect(popup, &placed);
                    GetWindowRect(GetWindow(GetWindow(popup, GW_CHILD), GW_HWNDNEXT), &drawn);
                    Key(VK_ESCAPE);
                  },
                  1270, 1020, owner.window),
            0);
  EXPECT_TRUE(placed.right <= 1280 && placed.bottom <= 1024 && placed.left > 1000 && placed.top > 900);
  EXPECT_EQ(drawn.bottom - drawn.top, 21);
  EXPECT_EQ(Owner::measured, 1);
  EXPECT_EQ(Owner::nestedResult, 0) << "a popup inside a popup";
  EXPECT_EQ(GetWindowLongPtrA(owner.window, GWLP_WNDPROC), before);
  DWORD mainThread = GetCurrentThreadId();
  EXPECT_EQ(Track(menu, owner.window, [&] { PostThreadMessageA(mainThread, WM_QUIT, 7, 0); }), 0);
  MSG msg{};
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 7) << "posted again";
  EXPECT_EQ(ML_PopUpMenuSelect(nullptr, 0, 0, owner.window, nullptr, 0, 2, 0), 0);
}

}  // namespace

namespace {

// Font items in Wine's own menu, measured and drawn by the library as a host's frame does.
struct FontMenuOwner {
  static inline std::vector<UINT> measured;
  static inline std::vector<RECT> shown;
  static inline HMENU menu = nullptr;
  static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_MEASUREITEM) {
      auto *mis = reinterpret_cast<MEASUREITEMSTRUCT *>(lp);
      MenuHandleMeasureItem(mis);
      measured.push_back(mis->itemHeight);
      return TRUE;
    }
    if (m == WM_DRAWITEM) return MenuHandleDrawItem(reinterpret_cast<DRAWITEMSTRUCT *>(lp)), TRUE;
    if (m == WM_ENTERIDLE) {
      for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        RECT r{};
        GetMenuItemRect(w, menu, UINT(i), &r);
        shown.push_back(r);
      }
      PostMessageA(w, WM_CANCELMODE, 0, 0);
    }
    return DefWindowProcA(w, m, wp, lp);
  }
};

TEST(OwnerDrawnItems, FontItemsInWindowsMenusAndBitmapItemsOnlyInsideTheMenu) {
  Menus m;
  const char *faces[] = {"Arial", "Courier New", "Times New Roman"};
  MenuHandle fonts = m.Add(300, "Arial;Courier New;Times New Roman");
  WNDCLASSA wc{0, FontMenuOwner::Proc, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr, "FontOwner"};
  RegisterClassA(&wc);
  HWND frame = CreateWindowA("FontOwner", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, 0, 0, 0, 0);
  SetForegroundWindow(frame);
  FontMenuOwner::menu = CreatePopupMenu();
  auto text = [&](int item) { return GetMItemHandle(m.table, short((*fonts)->itemSlots[item - 1])); };
  for (UINT i = 1; i <= 3; ++i)
    AppendMenuA(FontMenuOwner::menu, MF_OWNERDRAW | (i == 2 ? MF_CHECKED : 0), 0x8000 | 300 << 12 | i,
                reinterpret_cast<LPCSTR>(text(int(i))));
  TrackPopupMenu(FontMenuOwner::menu, TPM_LEFTALIGN, 100, 100, 0, frame, nullptr);
  ASSERT_EQ(FontMenuOwner::shown.size(), 3u);
  ASSERT_EQ(FontMenuOwner::measured.size(), 3u);
  HDC screen = GetDC(nullptr);
  SelectObject(screen, GetStockObject(SYSTEM_FONT));
  TEXTMETRICA metrics{};
  GetTextMetricsA(screen, &metrics);
  ReleaseDC(nullptr, screen);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(FontMenuOwner::measured[i], UINT((metrics.tmAscent + 3) & ~1)) << faces[i];
    EXPECT_EQ(UINT(FontMenuOwner::shown[i].bottom - FontMenuOwner::shown[i].top), FontMenuOwner::measured[i]);
  }

  // Bitmap items: measured and drawn only for items of the menu; nothing stays behind.
  HBITMAP picture = CreateBitmap(24, 10, 1, 1, nullptr);
  MenuHandle bitmaps = m.Add(301, "Picture");
  SetItemBitmap(bitmaps, 1, picture);
  ToggleItemBitmap(bitmaps, 1, true);
  CheckItem(bitmaps, 1, true);
  long height = -1, width = -1;
  MeasureItemBitmap(bitmaps, 2, &height, &width);
  EXPECT_EQ(height + width, 0);
  MeasureItemBitmap(bitmaps, 1, &height, &width);
  EXPECT_EQ(width, LOBYTE(GetVersion()) >= 4 ? 24 : 24 + GetCheckWidth());
  EXPECT_GE(height, 10 + 2 * GetSystemMetrics(SM_CYBORDER));
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP canvas = CreateBitmap(80, 20, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, canvas);
  DRAWITEMSTRUCT record{ODT_MENU, 0, 0x12D02, ODA_DRAWENTIRE, ODS_SELECTED, nullptr, dc, {0, 0, 80, 20}, 0};
  SetPixel(dc, 5, 5, RGB(1, 2, 3));
  DrawItemBitmap(&record, bitmaps);
  EXPECT_EQ(GetPixel(dc, 5, 5), RGB(1, 2, 3)) << "item 2 is not in the menu";
  long gdi = 0;
  record.itemID = 0x12D01;
  for (int i = 0; i < 50; ++i) {
    if (i == 1) gdi = LiveGdiObjects();  // after the first draw: the system's brushes are made once
    DrawItemBitmap(&record, bitmaps);
    record.itemData = reinterpret_cast<ULONG_PTR>(text(1));
    MenuHandleDrawItem(&record);
  }
  EXPECT_EQ(LiveGdiObjects(), gdi);
  EXPECT_EQ(GetPixel(dc, 5, 5), GetSysColor(COLOR_HIGHLIGHT));
  SelectObject(dc, old);
  DeleteObject(canvas);
  DeleteDC(dc);
  DestroyMenu(FontMenuOwner::menu);
  DestroyWindow(frame);
}

}  // namespace
