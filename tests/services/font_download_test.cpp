// Font files to printer pieces and font comments in PostScript text. What the download reads
// from atm.ini and the file system is checked through the DLL (services_dll_test.cpp).
#include <gtest/gtest.h>

#include <string>
#include <vector>
#include "services/dsc_scanner.h"
#include "services/font_file.h"

namespace tstools::services {
namespace {

using namespace std::string_literals;
using Strings = std::vector<std::string>;
const unsigned char *U(const char *s) { return reinterpret_cast<const unsigned char *>(s); }

struct Pieces : PieceSink {
  Strings got;
  void Piece(unsigned char *p) override { got.emplace_back(reinterpret_cast<char *>(p + 1), p[0]); }
};
std::string Seg(int type, const std::string &data, int64_t claimed = -1) {
  const uint32_t n = uint32_t(claimed < 0 ? int64_t(data.size()) : claimed);
  return "\x80"s + char(type) + char(n) + char(n >> 8) + char(n >> 16) + char(n >> 24) + data;
}
// The pieces sent, and "refused" when the call returned false.
Strings Send(const std::string &file) {
  Pieces sink;
  if (!SendFontFile(U(file.data()), file.size(), sink)) sink.got.push_back("refused");
  return sink.got;
}

TEST(FontFile, PieceSizesAndEncodingOfWholeFilesOnly) {
  const std::string x(250, 'x'), hex(250, 'F'), text = Seg(1, "%!FontType1");
  EXPECT_EQ(Send(Seg(2, std::string(125, '\xFF')) + "\x80\x03"), Strings({hex}));
  EXPECT_EQ(Send(Seg(2, std::string(126, '\xFF'))), Strings({hex, "FF"}));
  EXPECT_EQ(Send(Seg(1, x)), Strings({x.substr(1), "x"}));
  EXPECT_EQ(Send(Seg(1, "a\0\r\nb"s) + Seg(2, "\x00\xA5\x3c"s) + Seg(1, "\0"s) + Seg(3, "") + "junk"),
            Strings({"a\r\nb", "00A53C", ""}));
  EXPECT_EQ(Send("%!PS\0\r\n"s), Strings({"%!PS\r\n"}));
  for (const std::string &bad : {""s, "\x80\x03"s, "garbage"s, text + Seg(2, "abc", 4),
                                 text + Seg(2, "abc", 0xFFFFFFFF), text + "\x80\x02\x01\x00"s,
                                 text + "\x80", text + Seg(2, "ab").replace(0, 1, "\x81")})
    EXPECT_EQ(Send(bad), Strings({"refused"})) << bad;
}

// "position name" after a scan that starts with position -7 and name "old"; CR LF is one line end.
std::string Scan(const std::string &text, int lengthByte = -1) {
  unsigned char s[256] = {}, name[256] = {3, 'o', 'l', 'd'};
  s[0] = uint8_t(lengthByte < 0 ? text.size() : size_t(lengthByte));
  text.copy(reinterpret_cast<char *>(s + 1), 255);
  int16_t position = -7;
  bool found = NextFontComment(s, &position, name);  // before position is read: argument order is unspecified
  EXPECT_EQ(found, position != -7);
  return std::to_string(position) + ' ' + std::string(reinterpret_cast<char *>(name + 1), name[0]);
}
TEST(FontComments, IncludeFontAndFontResourcesWithinTheLength) {
  EXPECT_EQ(Scan("%%IncludeResource: procset X\r%%IncludeResource: font Times-Roman\rnext"), "66 Times-Roman");
  EXPECT_EQ(Scan("% %IncludeFont: A\n %%IncludeFont: B\n%%\t IncludeResource:\tFoNt\tC\r\nD"), "66 C");
  EXPECT_EQ(Scan("%%IncludeFont:X\n%%includefont: Y\n%%IncludeResource: fonts Z"), "-7 Z");
  EXPECT_EQ(Scan("%%IncludeFont: Hidden", 17), "18 Hi");
  EXPECT_EQ(Scan("%%IncludeFont:\t" + std::string(240, 'F')), "256 " + std::string(240, 'F'));
}

}  // namespace
}  // namespace tstools::services
