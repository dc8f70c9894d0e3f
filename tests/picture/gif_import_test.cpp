// GIF import through our player: the files make_test_gifs.py wrote play as ImageMagick renders
// the well-formed ones and as the importer defines the damaged ones.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "picture/gif_decoder.h"
#include "picture/pict_player.h"
#include "pixel_canvas.h"
#ifdef _WIN32
#include "tstools/tstools.h"
#endif

namespace tstools::pict::test {
namespace {

std::vector<uint8_t> Load(const std::string &name) {
  std::ifstream f(std::string(TSTOOLS_GIF_REFS) + "/" + name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

TEST(GifImport, GeneratedFilesPlayAsExpected) {
  std::ifstream manifest(std::string(TSTOOLS_GIF_REFS) + "/manifest.tsv");
  std::string name, expected;
  int files = 0, w, h;
  for (; manifest >> name >> expected >> w >> h; ++files) {
    SCOPED_TRACE(name);
    std::vector<uint8_t> gif = Load(name), pict, rgb = expected == "none" ? gif : Load(expected);  // 8-bit RGB
    PictRect frame;
    ASSERT_EQ(GifToPict(gif.data(), gif.size(), &pict), expected != "none");
    ASSERT_EQ(GifFrame(gif.data(), gif.size(), &frame), name != "not-gif.gif" && name != "side-40000.gif");
    if (pict.empty()) continue;
    ASSERT_EQ(frame, (PictRect{0, 0, int16_t(w), int16_t(h)}));
    CanvasSink sink(w, h);
    ASSERT_EQ(PlayPicture(pict.data(), pict.size(), nullptr, sink, frame).outcome, PlayOutcome::kEnded);
    for (int i = 0; i < w * h; ++i)
      ASSERT_EQ(sink.rgb[size_t(i)], uint32_t(rgb[3 * i]) << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2]) << "pixel " << i % w << "," << i / w;
  }
  EXPECT_GT(files, 20);
}

#ifdef _WIN32
// The exports over handles: the decoder's picture and frame, NULL and zeros for what it refuses.
TEST(GifImport, ExportsOverHandles) {
  for (const char *name : {"frames-local.gif", "not-gif.gif", "truncated.gif"}) {
    std::vector<uint8_t> gif = Load(name), pict;
    PictRect frame;
    GifToPict(gif.data(), gif.size(), &pict), GifFrame(gif.data(), gif.size(), &frame);
    Handle h = nullptr;
    ASSERT_EQ(PtrToHand(gif.data(), &h, Size(gif.size())), noErr);
    PicHandle p = GIFtoPICT(h);
    Size size = 0;
    Rect r{1, 1, 1, 1};
    GIFRect(h, &r);
    EXPECT_TRUE(r.left == frame.left && r.top == frame.top && r.right == frame.right && r.bottom == frame.bottom) << name;
    EXPECT_EQ(p && MemGetHandleSize(p, &size) == noErr ? std::vector<uint8_t>(*p, *p + size) : std::vector<uint8_t>(), pict);
    MemDisposeHandle(p), MemDisposeHandle(h);
  }
}
#endif

}  // namespace
}  // namespace tstools::pict::test
