// Portable rules of the font table.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "font/font_table_rules.h"

namespace tstools {
namespace {

TEST(FontKinds, TrueTypeThenDeviceThenBridge) {
  using M = EnumerationMode;
  for (M mode : {M::kScreen, M::kPrinter, M::kScreenWithAtm, M::kPrinterWithAtm})
    for (bool atm : {false, true}) EXPECT_EQ(KindOfFace(true, mode, atm), FontKind::kTrueType);
  EXPECT_EQ(KindOfFace(false, M::kScreen, true), FontKind::kScreen) << "no bridge running: never ATM";
  EXPECT_EQ(KindOfFace(false, M::kPrinter, true), FontKind::kPrinter);
  EXPECT_EQ(KindOfFace(false, M::kScreenWithAtm, true), FontKind::kAtm);
  EXPECT_EQ(KindOfFace(false, M::kPrinterWithAtm, false), FontKind::kPrinter);
}

TEST(FixedEntries, MinchoOnShiftJisSystems) {
  // The other entries are checked through the exports.
  EXPECT_EQ(FixedFaceName(0, 128), "System");
  EXPECT_EQ(FixedFaceName(1, 129), "MS Sans Serif");
  EXPECT_EQ(FixedFaceName(1, 128), std::string("\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9"));
}

TEST(MinBoldSize, OwnKeyThenDefaultKey) {
  EXPECT_EQ(MinBoldSizeFromSettings(" +14", "9"), 14);
  EXPECT_EQ(MinBoldSizeFromSettings("-1", "9"), 9) << "no key of its own";
  EXPECT_EQ(MinBoldSizeFromSettings("x", "9"), 0) << "no digits";
}

// "device,driver,port": the device name keeps its blanks, blanks end driver and port.
TEST(PrinterSetting, DeviceDriverAndPort) {
  const std::pair<const char *, const char *> cases[] = {
      {"HP LaserJet 4,HPPCL5MS,LPT1:", "HP LaserJet 4|HPPCL5MS|LPT1:"}, {"Dev,winspool, Ne00: extra", "Dev|winspool|Ne00:"},
      {"", nullptr}, {"Dev", nullptr}, {"Dev,drv", nullptr}, {"Dev,drv,  ,", nullptr} /* an empty port is missing */};
  for (const auto &c : cases) {
    PrinterSetting p;
    bool ok = ParsePrinterSetting(c.first, p);
    EXPECT_EQ(ok ? p.device + "|" + p.driver + "|" + p.port : "refused", c.second ? c.second : "refused") << c.first;
  }
}

TEST(LookupName, First32BytesEndedByNul) {
  unsigned char s[256] = {5, 'A', 'r', 0, 'a', 'l'};
  EXPECT_EQ(LookupName(s), "Ar");
  s[0] = 200;
  std::memset(s + 1, 'x', 200);
  EXPECT_EQ(LookupName(s).size(), 32u);
  EXPECT_EQ(LookupName(nullptr), "");
}

}  // namespace
}  // namespace tstools
