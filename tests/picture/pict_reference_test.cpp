// Pictures written by other programs play to the same pixels as those programs' own
// decoding, through a sink that draws bit images as a device would.
#include <gtest/gtest.h>

#include "picture/pict_player.h"
#include "pict_references.h"
#include "raster_sink.h"

namespace tstools::pict::test {
namespace {

TEST(PictReference, PlaysAsTheWritersOwnDecoding) {
  std::vector<Reference> refs = References();
  ASSERT_FALSE(refs.empty()) << "no manifest in " << TSTOOLS_PICT_REFS;
  for (const Reference &ref : refs) {
    SCOPED_TRACE(ref.name);
    RgbImage want;
    PictRect destination;
    ASSERT_TRUE(ReadPpm(ref.ppm, &want));
    ASSERT_TRUE(ReferenceDestination(ref, want.width, want.height, &destination));
    std::vector<uint8_t> block = PictureBlock(ref.pict);
    RasterSink sink(want.width, want.height);
    PlayResult result = PlayPicture(block.data(), block.size(), nullptr, sink, destination);
    EXPECT_EQ(result.outcome, PlayOutcome::kEnded);
    // Only the picture's own frame: the reference's canvas may be larger.
    PictRect compared = destination;
    if (ref.destination == "images") {
      compared = sink.Painted();
      EXPECT_GT(compared.Width(), 0) << "no image drawn";
    }
    int differing = 0, firstX = 0, firstY = 0;
    for (int y = std::max<int>(compared.top, 0); y < std::min<int>(compared.bottom, want.height); ++y)
      for (int x = std::max<int>(compared.left, 0); x < std::min<int>(compared.right, want.width); ++x)
        if (!Near(want.At(x, y), &sink.Rgb()[(size_t(y) * want.width + x) * 3], ref.tolerance) &&
            differing++ == 0)
          firstX = x, firstY = y;
    const uint8_t *got = &sink.Rgb()[(size_t(firstY) * want.width + firstX) * 3];
    const uint8_t *w = want.At(firstX, firstY);
    EXPECT_EQ(differing, 0) << "first at " << firstX << "," << firstY << ": " << int(got[0]) << " "
                            << int(got[1]) << " " << int(got[2]) << " instead of " << int(w[0])
                            << " " << int(w[1]) << " " << int(w[2]);
  }
}

}  // namespace
}  // namespace tstools::pict::test
