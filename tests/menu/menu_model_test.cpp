// The menu model against Wine's own menus: after every step of random operations each item is
// read back with GetMenuItemInfoA and compared with a deliberately simple model of what the
// host asked for. Then the bar on an MDI frame, menus from resources, and the mended faults.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "tstools/host_resource_ids.h"
#include "tstools/tstools.h"
#include "window/mdi_host.h"

namespace {

using tstools::test::MdiHost;

HMODULE Load(const char *name) { return LoadLibraryExA(name, nullptr, LOAD_LIBRARY_AS_DATAFILE); }
const HMODULE hostres = Load("TSHOSTRES.DLL"), crafted = Load("TSMENURES.DLL");

std::string P(const std::string &s) { return std::string(1, char(s.size())) + s; }
const unsigned char *U(const std::string &s) { return reinterpret_cast<const unsigned char *>(s.c_str()); }
std::string Prefix() {
  char text[256] = {};
  LoadStringA(hostres, TSRES_STR_SHORTCUT_PREFIX, text, sizeof text);
  return text;
}
struct TableHeader { unsigned short capacity, firstFree; };
TableHeader Header(Handle table) { return *reinterpret_cast<TableHeader *>(*table); }

class Menus : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ML_InitWindows();
    shared = new MdiHost;
  }
  static void TearDownTestSuite() { delete shared; }
  void SetUp() override {
    SetTSToolsResourceInstance(hostres);
    ASSERT_EQ(ML_InitMenus(7, &bar, &table, 1, host.frame), noErr);
  }
  void TearDown() override {
    ML_ClearMenuBar(bar);
    ML_MenuShutdown(&bar, &table);
    EXPECT_EQ(bar, nullptr);
  }
  short BarCount() { return *reinterpret_cast<short *>(*bar); }
  static inline MdiHost *shared = nullptr;
  MdiHost &host = *shared;
  Handle bar = nullptr, table = nullptr;
};

// What the host asked for, item by item.
struct Item {
  std::string text;
  char command = 0;
  bool disabled = false, checked = false, hidden = false, separator = false;
};

TEST_F(Menus, RandomOperationsKeepModelAndWindowsInStep) {
  const std::string prefix = Prefix();
  for (unsigned options : {0u, 8u, 16u, 130u}) {
    std::mt19937 random(options + 1);
    MenuHandle menu = ML_NewMenu(5, U(P("Test")), table, bar), sub = ML_NewMenu(6, U(P("Sub")), table, bar);
    M_AppendMenu(sub, U(P("One;Two")));
    M_InsertMenu(menu, 0, short(options));
    std::vector<Item> model;
    int subAt = 0;  // the item leading to the submenu, 0 none
    for (int step = 0; step < 160; ++step) {
      int count = int(model.size()), n = count ? 1 + int(random() % count) : 0;
      switch (random() % 9) {
        case 0: case 1: {  // an item list of one or two items, appended or inserted
          std::string list, t1 = "A&b" + std::to_string(step), t2 = "C" + std::to_string(step);
          Item a{t1}, b{t2};
          a.command = char('A' + random() % 26);
          b.disabled = random() % 2;
          list = t1 + "/" + a.command + ";" + (b.disabled ? "(" : "") + t2;
          if (random() % 2 || !count) {
            M_AppendMenu(menu, U(P(list)));
            model.push_back(a), model.push_back(b);
          } else {
            InsMenuItem(menu, U(P(list)), short(n));
            model.insert(model.begin() + n, {b, a});
            if (subAt > n) subAt += 2;
          }
          break;
        }
        case 2:
          if (!n || n == subAt) break;
          DelMenuItem(menu, short(n));
          model.erase(model.begin() + n - 1);
          if (subAt > n) --subAt;
          break;
        case 3: if (n) { bool on = random() % 2; on ? EnableItem(menu, short(n)) : DisableItem(menu, short(n)); model[n - 1].disabled = !on; } break;
        case 4: if (n && n != subAt) { bool c = random() % 2; CheckItem(menu, short(n), c); model[n - 1].checked = c; } break;
        case 5: if (n && n != subAt) { ML_SetItemCmd(menu, short(n), 1, short(options)); model[n - 1].hidden = true; } break;
        case 6: if (n && n != subAt) { char c = random() % 3 ? char('a' + random() % 26) : 0; ML_SetItemCmd(menu, short(n), c, short(options)); model[n - 1].command = c; model[n - 1].hidden = false; } break;
        case 7: if (n && n != subAt) { bool sep = random() % 4 == 0; std::string t = sep ? "-" : "S" + std::to_string(step); SetItem(menu, short(n), U(P(t))); model[n - 1].text = t; model[n - 1].separator = sep; } break;
        case 8:
          if (subAt) break;
          M_AppendMenu(menu, U(P("Sub/\x1B!\x06")));
          model.push_back({"Sub", 0x1B});
          subAt = int(model.size());
          M_InsertMenu(sub, -1, short(options));
          break;
      }
      ASSERT_EQ(CountMItems(menu), short(model.size())) << step;
      HMENU win = ML_GetWinMenuHandle(menu);
      int position = 0;
      for (int k = 1; k <= int(model.size()); ++k) {
        const Item &m = model[k - 1];
        SCOPED_TRACE("options " + std::to_string(options) + " step " + std::to_string(step) + " item " + std::to_string(k));
        Str255 text;
        GetItem(menu, short(k), text);
        EXPECT_EQ(std::string(reinterpret_cast<char *>(text + 1), text[0]), m.text);
        short command = 0;
        GetItemCmd(menu, short(k), &command);
        EXPECT_EQ(toupper(command), toupper((unsigned char)m.command));  // atoms ignore case
        EXPECT_EQ(ItemChecked(menu, short(k)) != 0, m.checked);
        EXPECT_EQ(ItemEnabled(menu, short(k)) != 0, !m.disabled);
        if (m.hidden && !(options & 8)) continue;
        char buffer[600] = {};
        MENUITEMINFOA mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
        mi.dwTypeData = buffer;
        mi.cch = sizeof buffer;
        ASSERT_TRUE(GetMenuItemInfoA(win, UINT(position++), TRUE, &mi));
        EXPECT_EQ((mi.fState & MFS_GRAYED) != 0, m.disabled);
        EXPECT_EQ((mi.fState & MFS_CHECKED) != 0, m.checked);
        EXPECT_EQ((mi.fType & MFT_SEPARATOR) != 0, m.separator);
        if (k == subAt) {
          EXPECT_EQ(mi.hSubMenu, ML_GetWinMenuHandle(sub));
          continue;
        }
        EXPECT_EQ(mi.wID, (options & 16) ? UINT(k) : UINT(5 << 8 | k));
        if (m.separator) continue;
        std::string shown = m.text + (m.command ? prefix + m.command : "");
        if (options & 2) shown.erase(shown.find('&') == std::string::npos ? shown.size() : shown.find('&'), 1);
        if (options & 128) for (size_t at = shown.find('&'); at != std::string::npos; at = shown.find('&', at + 2)) shown.insert(at, "&");
        EXPECT_STREQ(CharUpperA(buffer), CharUpperA(shown.data()));
      }
      ASSERT_EQ(GetMenuItemCount(win), position);
    }
    M_DisposeMenu(sub);
    M_DisposeMenu(menu);
  }
  for (int slot = 1; slot < Header(table).capacity; ++slot) ASSERT_EQ(GetMItemHandle(table, short(slot)), nullptr);
  EXPECT_EQ(GlobalFindAtomA((prefix + 'A').c_str()), 0) << "shortcut atoms outlive their items";
}

TEST_F(Menus, BarFollowsTheMaximisedChildsSystemMenu) {
  MenuHandle file = ML_GetMenu(table, 128, bar), edit = ML_GetMenu(table, 129, bar);
  ASSERT_TRUE(file && edit);
  M_InsertMenu(edit, 0, 0);
  M_InsertMenu(file, 129, 0);  // before Edit
  EXPECT_TRUE(MenuInstalled(file) && MenuInstalled(edit));
  HMENU frameBar = GetMenu(host.frame);
  ASSERT_EQ(GetSubMenu(frameBar, 0), ML_GetWinMenuHandle(file));
  WindowPtr doc = host.NewDocument(10, 10, 200, 200);
  SendMessageA(MdiHost::client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(doc->port.window), 0);
  MdiHost::Pump();
  int shift = GetSubMenu(frameBar, 0) == ML_GetWinMenuHandle(file) ? 0 : 1;  // the child's system menu
  EXPECT_EQ(shift, 1);
  DisableItem(edit, 0);
  EXPECT_TRUE(GetMenuState(frameBar, 1 + shift, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_FALSE(GetMenuState(frameBar, shift, MF_BYPOSITION) & MF_GRAYED);
  ML_SetTitle(edit, U(P("Edit2")));
  char title[32] = {};
  GetMenuStringA(frameBar, 1 + shift, title, sizeof title, MF_BYPOSITION);
  EXPECT_STREQ(title, "Edit2");
  SetMenuID(edit, 140);
  EXPECT_EQ(ML_GetMHandle(bar, 140), edit);
  EXPECT_EQ(ML_GetMHandle(bar, 129), nullptr);
  EXPECT_EQ(GetMenuItemID(ML_GetWinMenuHandle(edit), 0), UINT(140 << 8 | 1));
  ML_DeleteMenu(bar, 128);
  EXPECT_EQ(GetSubMenu(frameBar, shift), ML_GetWinMenuHandle(edit));
  EXPECT_FALSE(MenuInstalled(file));
  int before = GetMenuItemCount(frameBar);
  M_DisposeMenu(edit);  // still in the bar: detached first
  EXPECT_EQ(GetMenuItemCount(frameBar), before - 1);
  EXPECT_EQ(BarCount(), 0);
  M_DisposeMenu(file);
  MdiHost::Close(doc);
}

TEST_F(Menus, ResourceMenusMatchTheHostModule) {
  const std::string prefix = Prefix();
  MenuHandle file = ML_GetMenu(table, 128, bar);
  ASSERT_NE(file, nullptr);
  const char *texts[] = {"New", "Open...", "-", "Close", "Save", "Save As...", "-", "Quit"};
  const char commands[] = "NO\0WS\0\0Q";
  ASSERT_EQ(CountMItems(file), 8);
  for (short n = 1; n <= 8; ++n) {
    Str255 text;
    GetItem(file, n, text);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(text + 1), text[0]), texts[n - 1]);
    short command = -1;
    GetItemCmd(file, n, &command);
    EXPECT_EQ(command, commands[n - 1]);
    EXPECT_EQ(ItemEnabled(file, n) != 0, texts[n - 1][0] != '-') << n;
  }
  char title[16] = {};
  GlobalGetAtomNameA((*file)->titleAtom, title, sizeof title);
  EXPECT_STREQ(title, "&File");
  M_InsertMenu(file, 0, 0);
  char shown[64] = {};
  GetMenuStringA(ML_GetWinMenuHandle(file), 0, shown, sizeof shown, MF_BYPOSITION);
  EXPECT_EQ(std::string(shown), "New" + prefix + "N");
  EXPECT_EQ(GetMenuItemID(ML_GetWinMenuHandle(file), 7), UINT(128 << 8 | 8));
  M_DisposeMenu(file);
  EXPECT_EQ(GlobalFindAtomA("&File"), 0);
  EXPECT_EQ(GlobalFindAtomA((prefix + "N").c_str()), 0);
}

TEST_F(Menus, BadResourcesLeaveNothingBehind) {
  ASSERT_NE(crafted, nullptr);
  SetTSToolsResourceInstance(crafted);
  TableHeader before = Header(table);
  for (short id : {300, 301, 302, 303}) {  // short MAC_MENU, too few strings, no strings, none at all
    EXPECT_EQ(ML_GetMenu(table, id, bar), nullptr) << id;
    EXPECT_EQ(Header(table).firstFree, before.firstFree) << id;
  }
  EXPECT_EQ(GlobalFindAtomA("Short"), 0);
  EXPECT_EQ(GlobalFindAtomA("Few"), 0);
}

TEST_F(Menus, MendedFaults) {
  MenuHandle menu = ML_NewMenu(9, U(P("M")), table, bar), sub = ML_NewMenu(10, U(P("S")), table, bar);
  for (int n = 0; n < 40; ++n) M_AppendMenu(menu, U(P("I" + std::to_string(n + 1))));
  M_AppendMenu(menu, U(P("Sub/\x1B!\x0A")));
  M_InsertMenu(menu, 0, 128);
  M_InsertMenu(sub, -1, 0);
  HMENU win = ML_GetWinMenuHandle(menu);
  // Items above 32 follow bit (n-1) mod 32, never a shift by 32 or more.
  SetItems(menu, ~(1L << 7));
  EXPECT_FALSE(ItemEnabled(menu, 8));
  EXPECT_FALSE(ItemEnabled(menu, 40));
  EXPECT_TRUE(GetMenuState(win, 39, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_TRUE(ItemEnabled(menu, 33));
  // Deleting item 1 moves item 33 (enabled) to 32 and item 32 to bit 31: ItemEnabled agrees.
  DisableItem(menu, 32);
  DelMenuItem(menu, 1);
  EXPECT_TRUE(ItemEnabled(menu, 31) == !(GetMenuState(win, 30, MF_BYPOSITION) & MF_GRAYED));
  EXPECT_FALSE(ItemEnabled(menu, 31));
  // Texts of 1 KB: 255 "&" doubled, with a shortcut.
  SetItem(menu, 2, U(P(std::string(255, '&'))));
  ML_SetItemCmd(menu, 2, 'K', 128);
  EXPECT_GE(GetMenuStringA(win, 1, nullptr, 0, MF_BYPOSITION), 511);
  // The same bitmap again is kept; a new one deletes the old.
  HBITMAP first = CreateBitmap(8, 8, 1, 1, nullptr), second = CreateBitmap(8, 8, 1, 1, nullptr);
  ToggleItemBitmap(menu, 3, true);
  SetItemBitmap(menu, 3, first);
  SetItemBitmap(menu, 3, first);
  EXPECT_EQ(GetObjectType(first), DWORD(OBJ_BITMAP));
  SetItemBitmap(menu, 3, second);
  EXPECT_EQ(GetObjectType(first), 0u);
  // A submenu disposed under its parent item leaves the parent no dead handle.
  ASSERT_NE(GetSubMenu(win, 39), nullptr);
  M_DisposeMenu(sub);
  EXPECT_EQ(GetSubMenu(win, 39), nullptr);
  EXPECT_EQ(CountMItems(menu), 40);
  // Raw slots: bad, free and out-of-range slots read 0 and take nothing.
  for (short slot : {0, -1, 127, 200, 32767}) {
    SetMItemFlags(table, slot, 0x0400);
    Str255 text = {1, 'x'};
    GetMItemText(table, slot, text, 1);
    EXPECT_TRUE(!GetMItemFlags(table, slot) && !GetMItemHandle(table, slot) && !text[0]) << slot;
  }
  // The table grows by 128 slots at a time.
  for (int n = 0; n < 100; ++n) M_AppendMenu(menu, U(P("More")));
  EXPECT_EQ(Header(table).capacity, 256);
  M_DisposeMenu(menu);
  EXPECT_EQ(GlobalFindAtomA("M"), 0);
  Handle none = nullptr;
  EXPECT_EQ(ML_InitMenus(0, &none, nullptr, 0, nullptr), paramErr);
  EXPECT_EQ(none, nullptr);
}

}  // namespace
