// The layout exports through the DLL. Records come from the core's QTENew, which lands with
// the core; until then only what a null record gives is checked here.
#include <gtest/gtest.h>

#include <tstools/text_layout.h>

TEST(LayoutExports, ANullRecordGivesZeroAndChangesNothing) {
  QTECalText(nullptr);
  QTESetExpandOpt(qteNoWordWrap, nullptr);
  EXPECT_EQ(QTENumLines(nullptr), 0);
  EXPECT_EQ(QTELineOffset(-1, nullptr), 0);
  EXPECT_EQ(QTEDoesWordWrap(nullptr), 0);
  EXPECT_EQ(QTEGetHeight(5, 0, nullptr, 1), 0);
  EXPECT_EQ(QTEGetWidth(5, 0, nullptr), 0);
}
