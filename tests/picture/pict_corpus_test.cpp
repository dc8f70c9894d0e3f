// Real pictures written by other programs (the shared corpus, and those the build has
// ImageMagick and netpbm write): every one plays to its end or stops cleanly at its fault,
// and never reads past its data.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "picture/pict_player.h"
#include "pict_files.h"
#include "recording_sink.h"

namespace tstools::pict::test {
namespace {

TEST(PictCorpus, EveryRealPicturePlaysOrStopsCleanly) {
  namespace fs = std::filesystem;
  std::vector<fs::path> paths;
  std::error_code missing;  // no shared corpus: only the written pictures
  for (auto &e : fs::directory_iterator(TSTOOLS_PICT_CORPUS, missing)) paths.push_back(e.path());
  size_t corpus = paths.size();
  for (auto &e : fs::directory_iterator(TSTOOLS_PICT_REFS))
    if (e.path().extension() == ".pct") paths.push_back(e.path());
  EXPECT_GT(paths.size(), corpus) << "no pictures in " << TSTOOLS_PICT_REFS;
  for (const fs::path &path : paths) {
    SCOPED_TRACE(path.string());
    std::vector<uint8_t> block = PictureBlock(path.string());
    RecordingSink sink;
    PlayResult r = PlayPicture(block.data(), block.size(), nullptr, sink, {0, 0, 640, 480});
    EXPECT_LE(r.bytesRead, block.size());
    EXPECT_EQ(sink.ended, r.outcome != PlayOutcome::kEmpty);
    std::string name = path.filename().string();
    bool malformed = name.find("fail") != std::string::npos || name == "tm-oom.pict";
    EXPECT_TRUE(malformed || r.outcome == PlayOutcome::kEnded);
  }
}

}  // namespace
}  // namespace tstools::pict::test
