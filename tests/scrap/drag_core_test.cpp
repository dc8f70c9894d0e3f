// The Drag Manager's portable rules: modifiers, attributes, flavour blocks from any program and
// the order of drop-target events.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "scrap/drag_core.h"

namespace tstools::drag {
namespace {

TEST(DragCore, KeyStateGivesMacModifiers) {
  EXPECT_EQ(ModifiersForKeyState(0x0001), 0);  // the button alone
  EXPECT_EQ(ModifiersForKeyState(kKeyControl), 0x0100);
  EXPECT_EQ(ModifiersForKeyState(kKeyShift), 0x0200);
  EXPECT_EQ(ModifiersForKeyState(kKeyControl | kKeyShift), 0x0300);
  EXPECT_EQ(ModifiersForKeyState(kKeyControl | kKeyShift | kKeyAlt | 0x0001), 0x0B00);
}

TEST(DragCore, LeavingTheSenderWindowIsRemembered) {
  uint8_t a = NextAttributes(0, false, true, true);
  EXPECT_EQ(a, kInsideSenderApplication | kInsideSenderWindow);
  a = NextAttributes(a, false, true, false);
  EXPECT_EQ(a, kInsideSenderApplication | kHasLeftSenderWindow);
  a = NextAttributes(a, false, false, false);
  EXPECT_EQ(a, kHasLeftSenderWindow);
  a = NextAttributes(a, false, true, true);  // back home: it has still left once
  EXPECT_EQ(a, kInsideSenderApplication | kInsideSenderWindow | kHasLeftSenderWindow);
  EXPECT_EQ(NextAttributes(kInsideSenderWindow, true, true, true), kHasLeftSenderWindow);
}

std::vector<uint8_t> Block(FlavorLayout layout, const std::vector<uint8_t> &data) {
  std::vector<uint8_t> block(FlavorBlockSize(layout, data.size()));
  WriteFlavorBlock(layout, data.data(), data.size(), block.data());
  return block;
}

std::vector<uint8_t> Read(FlavorLayout layout, std::vector<uint8_t> block) {
  FlavorView view = ReadFlavorBlock(layout, block.data(), block.size());
  EXPECT_TRUE(view.present);
  if (view.restoreSizeWord) block[view.offset] = view.sizeWord[0], block[view.offset + 1] = view.sizeWord[1];
  return {block.begin() + view.offset, block.begin() + view.offset + view.length};
}

TEST(DragCore, FlavourBlocksRoundTrip) {
  std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o'};
  std::vector<uint8_t> prefixed = Block(FlavorLayout::kLengthPrefixed, text);
  EXPECT_EQ(prefixed, (std::vector<uint8_t>{5, 0, 0, 0, 'h', 'e', 'l', 'l', 'o'}));
  EXPECT_EQ(Read(FlavorLayout::kLengthPrefixed, prefixed), text);
  // A PICT whose picSize word (0x1234) is not its size: the word travels in the trailer.
  std::vector<uint8_t> pict = {0x12, 0x34, 0, 0, 0, 0, 0, 10, 0, 20, 0x00, 0xFF};
  std::vector<uint8_t> macPict = Block(FlavorLayout::kMacPict, pict);
  EXPECT_EQ(macPict.size(), pict.size() + 6);
  EXPECT_EQ(macPict[0], 0);
  EXPECT_EQ(macPict[1], 12);
  EXPECT_EQ(Read(FlavorLayout::kMacPict, macPict), pict);
  EXPECT_EQ(Read(FlavorLayout::kMacPict, pict), pict) << "another program's bare PICT comes whole";
  EXPECT_EQ(Read(FlavorLayout::kLengthPrefixed, {0, 0, 0, 0}), std::vector<uint8_t>{});
}

TEST(DragCore, LyingFlavourBlocksAreAbsent) {
  std::vector<uint8_t> tooLong = {9, 0, 0, 0, 'a', 'b'};
  EXPECT_FALSE(ReadFlavorBlock(FlavorLayout::kLengthPrefixed, tooLong.data(), tooLong.size()).present);
  EXPECT_FALSE(ReadFlavorBlock(FlavorLayout::kLengthPrefixed, tooLong.data(), 3).present);
  uint8_t one = 7;
  EXPECT_FALSE(ReadFlavorBlock(FlavorLayout::kMacPict, &one, 1).present);
  EXPECT_FALSE(ReadFlavorBlock(FlavorLayout::kMacPict, nullptr, 0).present);
}

TEST(DragCore, DropEventsNeedAnEnterFirst) {
  for (int event = 1; event <= 3; ++event) EXPECT_FALSE(PlanDropEvent(event, true, false).valid) << event;
  for (int event : {-1, 4}) EXPECT_FALSE(PlanDropEvent(event, true, true).valid) << event;
  EXPECT_FALSE(PlanDropEvent(0, false, false).valid) << "no handler record";
  // Each event's tracking message, and which ones end the drag (a drop as well as a leave).
  const short messages[] = {kEnterWindow, kInWindow, kLeaveWindow, kLeaveWindow};
  for (int event = 0; event <= 3; ++event) {
    DropPlan plan = PlanDropEvent(event, true, event != 0);
    EXPECT_TRUE(plan.valid);
    EXPECT_EQ(plan.trackingMessage, messages[event]);
    EXPECT_EQ(plan.beginDrag, event == 0);
    EXPECT_EQ(plan.endDrag, event >= 2);
    EXPECT_EQ(plan.callReceive, event == 3);
    EXPECT_EQ(plan.setModifiers, event != 2);
  }
  EXPECT_FALSE(DropAccepted(false, true)) << "a drop on a window without a receive handler";
}

}  // namespace
}  // namespace tstools::drag
