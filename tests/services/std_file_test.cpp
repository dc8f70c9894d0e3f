// Filter lists as the resource or the host hands them over, whatever their shape; replies.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "services/filter_list.h"
#include "services/std_file.h"

namespace tstools::services {
namespace {

template <size_t N>
FilterList ParseText(const char (&bytes)[N]) { return FilterList::Parse(bytes, N - 1); }

TEST(FilterList, BoundedCopyWithTerminatorsAdded) {
  EXPECT_EQ(ParseText("Text files (*.txt)\0*.txt\0All files (*.*)\0*.*\0\0ignored\0*.x\0").Count(), 2u);
  EXPECT_EQ(ParseText("A (*.a)\0*.a").DialogText(), std::string("A (*.a)\0*.a\0\0", 13)) << "the end ends the pattern";
  EXPECT_EQ(ParseText("A\0*.a\0B").Count(), 1u) << "an unpaired description is dropped";
  EXPECT_EQ(ParseText("A\0\0B\0*.b\0").Count(), 0u);
  EXPECT_EQ(FilterList::Parse(nullptr, 5).DialogText(), std::string(2, '\0'));
  EXPECT_EQ(FilterList::FromHostText("A\0*.a\0\0B\0*.b\0").Count(), 1u) << "a host's list ends at its empty string";
}

TEST(FilterList, DefaultExtensionsWholeOrNone) {
  const FilterList list = ParseText("a\0*.txt;*.text\0b\0*.xhtml\0c\0*.*\0d\0*.tx?\0e\0*\0f\0*.\0g\0*.abcdefghijklmnop\0h\0*.tar.gz\0\0");
  const char *expected[] = {"", "txt", "xhtml", "", "", "", "", "", "tar.gz", ""};
  for (int i = 0; i <= 9; ++i) EXPECT_EQ(list.DefaultExtension(i), expected[i]) << "filter " << i;
}

TEST(FilterList, MenuTextCutBeforeTheParenthesis) {
  const std::string longName(300, 'n');
  const std::string bytes = std::string("Text files (*.txt)\0*.txt\0(*.c)\0*.c\0Data(*.d) \0*.d\0", 50) + longName + '\0' + '*';
  const FilterList list = FilterList::Parse(bytes.data(), bytes.size());
  const char *expected[] = {"", "Text files", "" /* nothing before a leading "(" */, "Data", nullptr, ""};
  for (int i = 0; i <= 5; ++i) EXPECT_EQ(list.MenuText(i), expected[i] ? expected[i] : longName.substr(0, 255)) << i;
}

TEST(AppendDefaultExtension, OnlyToAPlainNameThatStillFits) {
  const auto cp932 = [](uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); };
  const struct { std::string name; bool directory; std::string expected; } cases[] = {
      {"REPORT", false, "REPORT.txt"}, {"C:\\v1.0\\REPORT", false, "C:\\v1.0\\REPORT.txt"},
      {"a.b", false, "a.b"}, {"*", false, "*"}, {"C:\\dir\\", false, "C:\\dir\\"}, {"C:", false, "C:"},
      {"docs", true, "docs"}, {"C:\\\x95\\", false, "C:\\\x95\\.txt"} /* the 0x5C is a trail byte */,
      {std::string(255, 'n'), false, std::string(255, 'n') + ".txt"}, {std::string(256, 'n'), false, std::string(256, 'n')}};
  for (auto c : cases) EXPECT_EQ((AppendDefaultExtension(c.name, "txt", c.directory, cp932), c.name), c.expected);
}

TEST(StdFileReply, FieldsAndBounds) {
  uint8_t reply[kReplySize];
  std::memset(reply, 0xAA, sizeof reply);  // bytes 2..5 are not ours
  const MacConverter toMac = [](uint8_t *t, size_t n) { for (size_t i = 0; i < n; ++i) t[i] = t[i] == 0xE9 ? 0x8E : t[i]; };
  ASSERT_TRUE(WriteStdFileReply(reply, "C:\\Docs\\R\xE9sum\xE9.txt", nullptr, toMac));
  EXPECT_EQ(std::string(reinterpret_cast<char *>(reply), 17), std::string("\1\0\xAA\xAA\xAA\xAA\x0AR\x8Esum\x8E.txt", 17));
  EXPECT_EQ(reply[262] * 100 + reply[270] * 10 + reply[271], 10);
  EXPECT_STREQ(reinterpret_cast<char *>(reply + 272), "C:\\Docs\\");
  for (std::string bad : {std::string("C:\\"), "C:\\" + std::string(256, 'n'), std::string(260, 'd') + "\\n"})
    EXPECT_FALSE(WriteStdFileReply(reply, bad, nullptr, toMac) || reply[0]) << bad.size();
  EXPECT_EQ(ReplaceCaption("Save", "Save &As && Go", 260), "Save - Save As & Go");
  EXPECT_EQ(ReplaceCaption("Save", "&As", 8), "Save - ");
}

TEST(StdFileRequest, CreateOfferCentringAndDefaultName) {
  using namespace dialog_flags;
  for (bool ex : {false, true}) EXPECT_EQ(RequestFlags(false, ex, true, TemplateFor(4002, ex)) & (kFileMustExist | kCreatePrompt), kCreatePrompt);
  int x = 0, y = (CentredOrigin(100, 0, 1124, 768, 2000, 200, x, y), y);
  EXPECT_EQ(x * 10000 + y, 100 * 10000 + 284) << "too wide: kept at the area's left edge";
  const uint8_t mac[] = {5, 'R', 0x8E, 's', 'u', 'm'};
  EXPECT_EQ(InitialFileName(mac, [](uint8_t *t, size_t) { t[1] = 0xE9; }), "R\xE9sum");
  EXPECT_EQ(mac[2], 0x8E) << "converted in a copy, the host's string left as it was";
}

}  // namespace
}  // namespace tstools::services
