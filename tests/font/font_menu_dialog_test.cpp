// The font menu dialog through TSTOOLS.DLL, driven from a second thread like a user would:
// one face added, one removed, samples switched on, OK.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "tests/font/stray_caches.h"
#include "tstools/tstools.h"

namespace {

constexpr char kFontSection[] = "Software\\Vantor Corp.\\Tessaly Pro\\Font Menu";

std::string Setting(const char *key) {
  char value[16] = {};
  DWORD bytes = sizeof value - 1;
  LONG rc = RegGetValueA(HKEY_CURRENT_USER, kFontSection, key, RRF_RT_REG_SZ, nullptr, value, &bytes);
  return rc == ERROR_SUCCESS ? value : "(none)";
}

// What the driving thread saw in the dialog.
struct Seen {
  bool propertyWhileOpen = false;
  LRESULT allCount = 0, chosenAtStart = 0, chosenAfterAdd = 0, chosenAfterRemove = 0;
  bool twinHidden = false, checkedAtStart = true;
  std::string removeCaption;
};

void Drive(HWND frame, Seen &seen) {
  HWND dialog = nullptr;
  for (int i = 0; i < 400 && !(dialog && IsWindowVisible(dialog)); ++i, Sleep(25))
    dialog = FindWindowA("#32770", "Font Menu");
  if (!dialog) return;
  auto click = [&](int id) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id))); };
  seen.propertyWhileOpen = GetPropA(frame, "Font Menu") != nullptr;
  seen.allCount = SendDlgItemMessageA(dialog, 7, LB_GETCOUNT, 0, 0);
  seen.chosenAtStart = SendDlgItemMessageA(dialog, 8, LB_GETCOUNT, 0, 0);
  seen.checkedAtStart = IsDlgButtonChecked(dialog, 9) == BST_CHECKED;

  SendDlgItemMessageA(dialog, 7, LB_SETCURSEL, 2, 0);  // "Liberation Serif", hidden so far
  click(11);
  seen.chosenAfterAdd = SendDlgItemMessageA(dialog, 8, LB_GETCOUNT, 0, 0);
  seen.twinHidden = IsWindowVisible(GetDlgItem(dialog, 8)) && !IsWindowVisible(GetDlgItem(dialog, 10));

  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(8, LBN_SETFOCUS), LPARAM(GetDlgItem(dialog, 8)));
  char caption[32] = {};
  GetDlgItemTextA(dialog, 11, caption, sizeof caption);
  seen.removeCaption = caption;
  SendDlgItemMessageA(dialog, 8, LB_SETCURSEL, 0, 0);  // "DejaVu Sans"
  click(11);
  seen.chosenAfterRemove = SendDlgItemMessageA(dialog, 8, LB_GETCOUNT, 0, 0);

  SendDlgItemMessageA(dialog, 9, BM_CLICK, 0, 0);
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

TEST(FontMenuDialog, ChoiceRebuildsTheMenuAndWritesTheSettings) {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  std::string dir = std::string(temp) + "font_dialog_test_" + std::to_string(GetCurrentProcessId());
  std::string cacheFile = dir + "\\Demo Host Font Samples.dat";
  CreateDirectoryA(dir.c_str(), nullptr);
  RemoveCachesBesideProgram();
  ML_WriteVantorProfileString("Vantor", "Vantor Directory", dir.c_str());
  ASSERT_TRUE(SetTSToolsResourceInstance(LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE)));
  RegDeleteKeyA(HKEY_CURRENT_USER, kFontSection);
  WriteFontProfileString("Show Samples", "0");

  HWND frame = CreateWindowExA(0, "STATIC", "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                               nullptr, nullptr, nullptr);
  Handle bar = nullptr, table = nullptr;
  ASSERT_EQ(ML_InitMenus(0, &bar, &table, 0, frame), noErr);
  MenuHandle menu = ML_NewMenu(200, reinterpret_cast<ConstStr255Param>("\x04" "Font"), table, bar);
  ASSERT_TRUE(menu);
  M_AppendMenu(menu, reinterpret_cast<ConstStr255Param>("\x2C" "DejaVu Sans;Liberation Sans;Liberation Serif"));
  for (int n = 1; n <= 3; ++n) {
    short slot = short((*menu)->itemSlots[n - 1]);
    SetMItemFlags(table, slot, short(GetMItemFlags(table, slot) | kItemFlagFont | (n == 3 ? kItemFlagHidden : 0)));
  }
  (*menu)->menuFlags |= kMenuFlagFontMenu;
  M_InsertMenu(menu, 0, 0);
  HMENU replaced = (*menu)->winMenu;

  Seen seen;
  std::thread driver(Drive, frame, std::ref(seen));
  DoFontMenuDialog(menu);
  driver.join();

  EXPECT_TRUE(seen.propertyWhileOpen);
  EXPECT_FALSE(GetPropA(frame, "Font Menu")) << "removed with its block";
  EXPECT_TRUE(seen.allCount == 3 && seen.chosenAtStart == 2) << "all font items; those not hidden";
  EXPECT_FALSE(seen.checkedAtStart) << "samples were off";
  EXPECT_TRUE(seen.chosenAfterAdd == 3 && seen.twinHidden) << "the rebuilt twin took the list's place";
  EXPECT_TRUE(seen.removeCaption == "<< &Remove" && seen.chosenAfterRemove == 2);

  EXPECT_FALSE(IsMenu(replaced)) << "the replaced Windows menu is destroyed";
  EXPECT_TRUE(IsMenu((*menu)->winMenu));
  EXPECT_EQ((*menu)->menuFlags & (kMenuFlagSamples | kMenuFlagHierarchical), kMenuFlagSamples | kMenuFlagHierarchical);
  const uint16_t hidden[] = {kItemFlagHidden, 0, 0};
  for (int n = 1; n <= 3; ++n) {
    short flags = GetMItemFlags(table, short((*menu)->itemSlots[n - 1]));
    EXPECT_EQ(flags & kItemFlagHidden, hidden[n - 1]) << n;
    EXPECT_EQ(flags & kItemFlagPlainFont, 0) << n << ": its sample is in memory";
  }
  EXPECT_EQ(Setting("DejaVu Sans"), "0");
  EXPECT_EQ(Setting("Liberation Serif"), "1");
  EXPECT_EQ(Setting("Show Samples"), "1");
  HANDLE exclusive = CreateFileA(cacheFile.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(exclusive, INVALID_HANDLE_VALUE) << "the cache file is made and closed";
  CloseHandle(exclusive);

  ML_MenuShutdown(&bar, &table);
  DestroyWindow(frame);
  DeleteFileA(cacheFile.c_str());
  RemoveDirectoryA(dir.c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, kFontSection);
}

}  // namespace
