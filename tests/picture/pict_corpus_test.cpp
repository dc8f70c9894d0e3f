// Real pictures written by other programs (the shared corpus, and those the build has
// ImageMagick and netpbm write): every one plays to its end or stops cleanly at its fault,
// and never reads past its data.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "picture/pict_player.h"
#include "pict_files.h"
#include "recording_sink.h"

namespace tstools::pict::test {
namespace {

// Paths of the files in dir whose names end with suffix.
std::vector<std::string> Files(const std::string &dir, const std::string &suffix) {
  std::vector<std::string> paths;
  if (DIR *d = opendir(dir.c_str())) {
    while (dirent *e = readdir(d)) {
      std::string name = e->d_name;
      if (name[0] != '.' && name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        paths.push_back(dir + "/" + name);
    }
    closedir(d);
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

TEST(PictCorpus, EveryRealPicturePlaysOrStopsCleanly) {
  std::vector<std::string> paths = Files(TSTOOLS_PICT_CORPUS, ""), written = Files(TSTOOLS_PICT_REFS, ".pct");
  if (paths.empty()) std::printf("no corpus at %s\n", TSTOOLS_PICT_CORPUS);
  EXPECT_FALSE(written.empty()) << "no pictures in " << TSTOOLS_PICT_REFS;
  paths.insert(paths.end(), written.begin(), written.end());
  for (const std::string &path : paths) {
    SCOPED_TRACE(path);
    std::vector<uint8_t> block = PictureBlock(path);
    RecordingSink sink;
    PlayResult r = PlayPicture(block.data(), block.size(), nullptr, sink, {0, 0, 640, 480});
    EXPECT_LE(r.bytesRead, block.size());
    EXPECT_EQ(sink.ended, r.outcome != PlayOutcome::kEmpty);
    std::string name = path.substr(path.rfind('/') + 1);
    if (name.find("fail") == std::string::npos && name != "tm-oom.pict") EXPECT_EQ(r.outcome, PlayOutcome::kEnded);
  }
}

}  // namespace
}  // namespace tstools::pict::test
