// The text record's exports under Windows: start-up from the host's resources, records, text
// getters and the length limit, styles, callbacks and flags, paragraph formats, ParaScrap
// handles.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <tstools/tstools.h>

namespace {

std::vector<long> errors;
void __stdcall OnError(long code) { errors.push_back(code); }
Fixed __stdcall Double(long, Fixed f) { return f * 2; }
Fixed __stdcall Zero(long, Fixed) { return 0; }
Fixed __stdcall Same(long, Fixed f) { return f; }
void *Spacing(ParaStyle &s) { return reinterpret_cast<char *>(&s) + 2; }  // from the left indent

Size SizeOf(Handle h) {
  Size n = -1;
  MemGetHandleSize(h, &n);
  return n;
}

Handle NewHandleOf(const void *bytes, Size n) {
  Handle h = nullptr;
  MemNewHandle(&h, n, 0);
  if (h && n) std::memcpy(*h, bytes, size_t(n));
  return h;
}

class RecordExports : public ::testing::Test {
 protected:
  void SetUp() override {
    MemInitZone();
    static HMODULE resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(ML_QTEInit(&portSlot, nullptr, resources, 0, 0), 0);
    Rect dest{10, 20, 310, 400}, view{10, 20, 310, 220};
    ASSERT_TRUE(record = QTENew(&dest, &view, nullptr));
    QTESetErrorProc(OnError, record);
    errors.clear();
  }
  void TearDown() override { QTEDispose(record), QTEShutdown(); }
  GrafPort *portSlot = nullptr;  // no measuring port: nothing is measured
  QTERecord *record = nullptr;
};

TEST(RecordStartUp, FailsWithoutTheCharacterTablesAndRecordsStillWork) {
  MemInitZone();
  EXPECT_EQ(ML_QTEInit(nullptr, nullptr, GetModuleHandleA(nullptr), 0, 0), 0) << "no CONV here";
  Rect r{0, 0, 100, 100};
  QTERecord *rec = QTENew(&r, &r, nullptr);  // no measuring port at all
  ASSERT_TRUE(rec);
  QTEReplace("abc\rdef", 7, nullptr, nullptr, rec);
  EXPECT_EQ(QTEGetTextLen(rec), 7);
  QTEDispose(rec);
  QTEShutdown();
}

TEST_F(RecordExports, TextGettersLengthLimitCallbacksAndFlags) {
  EXPECT_FALSE(QTEHasData(record));
  QTEReplace("Hello", 5, nullptr, nullptr, record);
  EXPECT_EQ(errors, std::vector<long>{0});
  EXPECT_TRUE(QTEHasData(record));
  EXPECT_EQ(SizeOf(QTEGetTextHandle(record)), 256) << "capacity in steps of 256";
  EXPECT_EQ(SizeOf(QTEGetText(record)), 5);
  EXPECT_EQ(std::memcmp(*QTEGetText(record), "Hello", 5), 0);
  std::string big(70000, 'x');
  QTEReplace(big.data(), long(big.size()), nullptr, nullptr, record);
  EXPECT_EQ(QTEGetTextLen(record), 64000);
  // From the record's own text: the copy is taken before the store changes.
  Handle own = QTEGetTextHandle(record);
  std::memcpy(*own + 100, "Tail", 4);
  QTEReplace(*own + 100, 4, nullptr, nullptr, record);
  EXPECT_EQ(std::string(*QTEGetTextHandle(record), 4), "Tail");
  QTEReplace("x", -5, nullptr, nullptr, record);
  EXPECT_EQ(QTEGetTextLen(record), 0) << "a negative length is empty";
  EXPECT_EQ(QTEGetErrorProc(record), &OnError);
  EXPECT_FALSE(QTESetEditDraw(2, record) & 4) << "bit 0 of the byte only";
  EXPECT_TRUE(QTESetCalcAlways(0, record)) << "set at creation: the previous state";
}

TEST_F(RecordExports, StylesFromStylHandlesAndTheNullStyle) {
  const unsigned char styl[42] = {2, 0, 0, 0, 0, 0, 16, 0, 12, 0, 3, 0, 0x41, 0x01, 12, 0, 0, 0, 0, 0, 0, 0,
                                  4, 0, 0, 0, 16, 0, 12, 0, 5, 0, 0, 0, 12};
  Handle h = NewHandleOf(styl, sizeof styl);
  QTEReplace("abcdefgh", 8, h, nullptr, record);
  QTETextStyle s{};
  QTEGetStyle(0, &s, record);
  EXPECT_EQ(s.tsFont, 3);
  EXPECT_EQ(s.tsFace, 0x0141);
  // An empty selection styles the null style, which QTEGetStyle reports at the caret.
  QTETextStyle bold{7, 0x0100, 14, {0, 0, 0}};
  QTESetStyle(qteFont | qteFace, &bold, record);
  QTEGetStyle(0, &s, record);
  EXPECT_EQ(s.tsFont, 7);
  short mode = qteAll;
  EXPECT_TRUE(QTEContinuousStyle(&mode, &s, record));
  EXPECT_EQ(s.tsFont, 7);
  MemDisposeHandle(h);
}

TEST_F(RecordExports, SetRecordWithParaScrapAndScale) {
  ParaStyle centre{};
  centre.just = 1;
  centre.lineSpacing = 0x10000;
  Handle ps = NewHandleOf(nullptr, 0);
  ASSERT_TRUE(QTEParaScrapFromParaStyle(ps, &centre));
  EXPECT_EQ(SizeOf(ps), 4 + 34);
  Rect dest{0, 0, 200, 50};
  auto set = [&](short just, Handle paras, QTEScaleProc scale) {
    QTESetRecord(&dest, &dest, 8000, "one\rtwo", 7, nullptr, just, 1, 0, 0, 1, 0, 0, nullptr, paras, 0, 0, scale, 1, record);
  };
  set(0, ps, nullptr);
  EXPECT_EQ(QTEGetJust(record), 1);
  EXPECT_EQ(QTEGetSpacing(record), 0);
  EXPECT_TRUE(QTEAutoView(1, record) & 0x80);
  set(2, nullptr, nullptr);  // without a scrap: the justification and spacing given
  EXPECT_EQ(QTEGetJust(record), 2);
  EXPECT_EQ(QTEGetSpacing(record), 1);
  QTESetJust(-1, record);
  EXPECT_EQ(QTEGetJust(record), -1);
  set(0, nullptr, Double);  // the scale callback sets the line unit; a result of 0 keeps it
  EXPECT_EQ(ConvertToPixels(1 << 16, 0, 72 << 16), 32 << 16);
  set(0, nullptr, Zero);
  EXPECT_EQ(ConvertToPixels(1 << 16, 0, 72 << 16), 32 << 16);
  set(0, nullptr, Same);
  MemDisposeHandle(ps);
}

TEST_F(RecordExports, ParaScrapHandles) {
  ParaStyle s{};
  s.lineSpacing = 0x10000;
  QTETab tab{1, '.', 0, 0, 72 << 16};
  EXPECT_EQ(QTEAddTab(&tab, &s), 0);
  Handle ps = NewHandleOf(nullptr, 0);
  ASSERT_TRUE(QTEParaScrapFromParaStyle(ps, &s));
  EXPECT_EQ(SizeOf(ps), 4 + 34 + 12);
  short mode = 0xFF;
  EXPECT_TRUE(QTEIsEqualParaScrap(ps, &s, &mode));
  EXPECT_FALSE(QTEIsDefaultParaScrap(ps, 0, 0));
  QTEZoomParaScrap(Double, 1, ps);
  QTESwapParaScrap(ps, 0);
  EXPECT_EQ((*ps)[1], 1) << "big-endian count";
  QTESwapParaScrap(ps, 1);
  ParaStyle back{};
  ASSERT_TRUE(QTEParaScrapToParaStyle(ps, &back));
  EXPECT_EQ(+back.tabs[0].position, 144 << 16);
  EXPECT_FALSE(QTEParaScrapToParaStyle(reinterpret_cast<Handle>(&back), &back)) << "not a handle";
  QTESetSpacingInfo(1 << 16, 1, 2, Spacing(s));
  EXPECT_EQ(QTEGetSpacingInfo(1, 1, nullptr, Spacing(s)), 72 << 16) << "an inch";
  MemDisposeHandle(ps);
}

}  // namespace
