// A 200-item menu built from item lists with command keys, installed and disposed, and item
// state changes, each next to the Windows calls a host would make without the library.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "support/bench.h"
#include "tstools/tstools.h"

using tstools::bench::KeepAlive;
using tstools::bench::TimePerOp;

namespace {

constexpr int kItems = 200;

// Item lists of at most 255 characters: "Item 1/A;Item 2/B;...".
std::vector<std::vector<unsigned char>> ItemLists() {
  std::vector<std::vector<unsigned char>> lists;
  std::string list;
  auto flush = [&] {
    std::vector<unsigned char> s(list.size() + 1, static_cast<unsigned char>(list.size()));
    std::copy(list.begin(), list.end(), s.begin() + 1);
    lists.push_back(s);
    list.clear();
  };
  for (int n = 1; n <= kItems; ++n) {
    std::string item = "Item " + std::to_string(n) + "/" + char('A' + n % 26);
    if (list.size() + item.size() + 1 > 255) flush();
    if (!list.empty()) list += ';';
    list += item;
  }
  flush();
  return lists;
}

void Report(const char *name, double ours, double peer) {
  std::printf("%-52s %9.3f us/item   peer %9.3f us/item   ratio %.2fx\n", name, ours / 1000, peer / 1000,
              ours / peer);
}

}  // namespace

int main() {
  MemInitZone();
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA frameClass{};
  frameClass.lpfnWndProc = DefWindowProcA;
  frameClass.hInstance = instance;
  frameClass.lpszClassName = "TSMenuBenchFrame";
  RegisterClassA(&frameClass);
  HWND frame = CreateWindowA("TSMenuBenchFrame", "menu bench", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr,
                             CreateMenu(), instance, nullptr);
  Handle bar = nullptr, table = nullptr;
  if (ML_InitMenus(0, &bar, &table, 1, frame) != noErr) return 1;

  const auto lists = ItemLists();
  const unsigned char title[] = "\x05" "Bench";
  double ours = TimePerOp([&] {
    MenuHandle menu = ML_NewMenu(200, title, table, bar);
    for (const auto &list : lists) M_AppendMenu(menu, list.data());
    M_InsertMenu(menu, 0, 0);
    ML_DeleteMenu(bar, 200);
    M_DisposeMenu(menu);
  }, kItems);
  double model = TimePerOp([&] {
    MenuHandle menu = ML_NewMenu(200, title, table, bar);
    for (const auto &list : lists) M_AppendMenu(menu, list.data());
    M_DisposeMenu(menu);
  }, kItems);
  std::printf("  of which the model alone (no Windows items)         %9.3f us/item\n", model / 1000);
  std::vector<std::string> texts;
  for (int n = 1; n <= kItems; ++n) texts.push_back("Item " + std::to_string(n) + "\tCtrl+" + char('A' + n % 26));
  HMENU windowsBar = GetMenu(frame);
  double peer = TimePerOp([&] {
    HMENU menu = CreatePopupMenu();
    for (int n = 1; n <= kItems; ++n) {
      MENUITEMINFOA item{};
      item.cbSize = sizeof item;
      item.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE;
      item.fType = MFT_STRING;
      item.wID = static_cast<UINT>((200 << 8) | n);
      item.dwTypeData = const_cast<char *>(texts[n - 1].c_str());
      InsertMenuItemA(menu, static_cast<UINT>(n - 1), TRUE, &item);
    }
    InsertMenuA(windowsBar, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(menu), "Bench");
    RemoveMenu(windowsBar, 0, MF_BYPOSITION);
    DestroyMenu(menu);
  }, kItems);
  Report("build, install and dispose a 200-item menu", ours, peer);

  MenuHandle menu = ML_NewMenu(200, title, table, bar);
  for (const auto &list : lists) M_AppendMenu(menu, list.data());
  M_InsertMenu(menu, 0, 0);
  HMENU windowsMenu = ML_GetWinMenuHandle(menu);
  int item = 0;
  ours = TimePerOp([&] {
    item = item % kItems + 1;
    if (item & 1) DisableItem(menu, short(item)); else EnableItem(menu, short(item));
  });
  peer = TimePerOp([&] {
    item = item % kItems + 1;
    EnableMenuItem(windowsMenu, UINT((200 << 8) | item), MF_BYCOMMAND | ((item & 1) ? MF_GRAYED : MF_ENABLED));
  });
  Report("EnableItem/DisableItem vs EnableMenuItem", ours, peer);
  ours = TimePerOp([&] {
    item = item % kItems + 1;
    CheckItem(menu, short(item), Boolean(item & 1));
  });
  peer = TimePerOp([&] {
    item = item % kItems + 1;
    CheckMenuItem(windowsMenu, UINT((200 << 8) | item), MF_BYCOMMAND | ((item & 1) ? MF_CHECKED : MF_UNCHECKED));
  });
  Report("CheckItem vs CheckMenuItem", ours, peer);
  KeepAlive(item);

  ML_DeleteMenu(bar, 200);
  M_DisposeMenu(menu);
  ML_MenuShutdown(&bar, &table);
  DestroyWindow(frame);
  return 0;
}
