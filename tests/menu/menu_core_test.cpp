// The menu model's portable rules: the resource reader, item lists, identifiers, enable bits,
// item texts and the font menu's search.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "menu/column_breaks.h"
#include "menu/item_list.h"
#include "menu/menu_resource.h"
#include "menu/menu_rules.h"

namespace {

using namespace tstools::menu;

std::vector<uint8_t> MacMenuBytes(int16_t id, uint32_t mask, uint16_t enabled, int16_t count, size_t items) {
  std::vector<uint8_t> b = {uint8_t(id), uint8_t(id >> 8), uint8_t(mask), uint8_t(mask >> 8), uint8_t(mask >> 16),
                            uint8_t(mask >> 24), uint8_t(enabled), uint8_t(enabled >> 8), uint8_t(count),
                            uint8_t(count >> 8)};
  for (size_t i = 0; i < items; ++i) b.insert(b.end(), {uint8_t('A' + i), 0, uint8_t(i), 0, 0xEE, 0xEE});
  return b;
}

TEST(MenuResource, ReadsItemsOnlyWhenTheCountFits) {
  MacMenuResource menu;
  auto bytes = MacMenuBytes(130, 0xFFFFFFFD, 0, 3, 3);
  ASSERT_TRUE(ReadMacMenu(bytes.data(), bytes.size(), menu));
  EXPECT_EQ(menu.menuId, 130);
  EXPECT_EQ(menu.enableMask, 0xFFFFFFFDu);
  EXPECT_FALSE(menu.menuEnabled);
  ASSERT_EQ(menu.items.size(), 3u);
  EXPECT_EQ(menu.items[2].command, 'C');
  EXPECT_EQ(menu.items[2].mark, 2);
  menu.menuId = 7;
  for (auto bad : {MacMenuBytes(1, 0, 1, 3, 2), MacMenuBytes(1, 0, 1, -1, 0), MacMenuBytes(1, 0, 1, 0, 0)}) {
    bad.pop_back();  // one byte short of what the count needs (or of the header)
    EXPECT_FALSE(ReadMacMenu(bad.data(), bad.size(), menu));
  }
  EXPECT_EQ(menu.menuId, 7) << "a refused resource leaves the result alone";
}

std::string Describe(const std::vector<ListedItem> &items) {
  std::string out;
  for (const auto &i : items) {
    out += "[" + i.text;
    if (i.mark) out += " !" + std::string(1, char(i.mark));
    if (i.command) out += " /" + std::string(1, char(i.command));
    if (i.separator) out += " sep";
    if (i.disabled) out += " off";
    out += "]";
  }
  return out;
}

TEST(ItemList, MetacharactersShapeTheItems) {
  auto isLead = [](uint8_t c) { return c == 0x81; };
  const std::pair<std::string, std::string> rows[] = {
      {"Open/O;(-;Quit/Q", "[Open /O][- sep][Quit /Q]"},
      {"Mark!*\rNext", "[Mark !*][Next]"},
      {"(Gray;^1Icon;Sub/\x1B", "[Gray off][Icon][Sub /\x1B]"},
      {"A;;B;", "[A][][B]"},
      {"", ""},
      {"\x81\x3B;x", "[\x81\x3B][x]"},  // a trail byte is never ";"
      // A metacharacter or lead byte at the end takes nothing from past the string.
      {"A!", "[A]"}, {"A/", "[A]"}, {"A^", "[A]"}, {"A(", "[A]"}, {"A\x81", "[A]"},
  };
  for (const auto &row : rows) {
    // ";X" lies past the length byte's end: it must not be read.
    const std::string list = std::string(1, char(row.first.size())) + row.first + ";X";
    EXPECT_EQ(Describe(ScanItemList(reinterpret_cast<const unsigned char *>(list.data()), isLead)), row.second)
        << row.first;
  }
}

TEST(MenuRules, IdentifiersAndEnableBits) {
  EXPECT_EQ(ItemCommandId(130, 3, false, 0), 0x8203);
  EXPECT_EQ(ItemCommandId(3, 5, true, 0), 0xB005);
  EXPECT_EQ(ItemCommandId(130, 3, false, kBareItemNumber), 3);
  EXPECT_EQ(FontExtraEntryId(3), 0x3FFF);
  // Items past 32 wrap round the mask instead of shifting by 32 or more.
  EXPECT_TRUE(MaskEnablesItem(1u, 1) && MaskEnablesItem(1u, 33) && !MaskEnablesItem(1u, 32) && !MaskEnablesItem(~0u, 0));
  EXPECT_EQ(EnableBit(31), 0x80000000u);
  EXPECT_EQ(EnableBit(32), 1u);
  // Insert after item 2: items 3.. move up, the new item 3 is enabled, old bit 31 drops out.
  EXPECT_EQ(FlagsAfterInsert(0x80000013u, 2), 0x0000002Bu);
  EXPECT_EQ(FlagsAfterInsert(0u, 30), 0x80000000u);
  // Delete item 2: items 3.. move down; bit 31 from the item now at 31.
  EXPECT_EQ(FlagsAfterDelete(0x0000000Du, 2, false), 0x00000005u);
  EXPECT_EQ(FlagsAfterDelete(0x0000000Du, 2, true), 0x80000005u);
}

TEST(MenuRules, WindowsItemTextAppliesTheOptionsInOrder) {
  const std::string text = "Save && &Close\tnote", shortcut = "\tCtrl+S";
  EXPECT_EQ(WindowsItemText(text, shortcut, true, 0), text + shortcut);
  EXPECT_EQ(WindowsItemText(text, "\x1B", true, 0), text) << "a submenu's marker is never shown";
  EXPECT_EQ(WindowsItemText(text, shortcut, false, kCutAtTab), "Save && &Close");
  EXPECT_EQ(WindowsItemText(text, shortcut, false, kCutAtTab | kRemoveAmpersands), "Save && Close");
  EXPECT_EQ(WindowsItemText("A&B", "", false, kDoubleAmpersands), "A&&B");
  // Long texts are whole: no fixed buffer between the item and Windows.
  EXPECT_EQ(WindowsItemText(std::string(300, '&'), "", false, kDoubleAmpersands).size(), 600u);
}

// std::lower_bound is the oracle for where a key belongs.
TEST(MenuRules, BinarySearchFindsOrPlacesLikeLowerBound) {
  std::mt19937 random(14);
  for (int round = 0; round < 500; ++round) {
    std::vector<int> items(random() % 12);
    for (int &v : items) v = int(random() % 20) * 2;
    std::sort(items.begin(), items.end());
    items.erase(std::unique(items.begin(), items.end()), items.end());
    int key = int(random() % 42) - 1;
    long at = -1;
    bool found = BinarySearch(long(items.size()), [&](long i) { return key - items[size_t(i)]; }, &at);
    long expected = std::lower_bound(items.begin(), items.end(), key) - items.begin();
    ASSERT_EQ(found, std::binary_search(items.begin(), items.end(), key));
    ASSERT_EQ(at, expected) << "key " << key << " among " << items.size();
  }
}

TEST(ColumnBreaks, ColumnsFillToTheScreenAndEachTakesAnItem) {
  auto describe = [](const std::vector<bool> &b) {
    std::string s;
    for (bool x : b) s += x ? '|' : '.';
    return s;
  };
  // 10-pixel items on a 35-pixel screen: three per column.
  std::vector<BreakInput> items(7, BreakInput{10});
  EXPECT_EQ(describe(AutomaticBreaks(items, 35, 0)), "...|..|");
  // The font menu's extra entry takes the first column's room.
  EXPECT_EQ(describe(AutomaticBreaks(items, 35, 20)), ".|..|..");
  // A host break restarts the count without an automatic break; hidden items take no room.
  items[1].hostBreak = true;
  items[3].skipped = true;
  EXPECT_EQ(describe(AutomaticBreaks(items, 35, 0)), ".....|.");
  // An item taller than the screen still fills a column of its own.
  std::vector<BreakInput> tall = {{50}, {50}, {10}};
  EXPECT_EQ(describe(AutomaticBreaks(tall, 35, 0)), ".||");
}

}  // namespace
