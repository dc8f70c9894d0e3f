// Real pictures written by other programs: every one plays to its end or stops cleanly at
// its fault, and never reads past its data.
#include <gtest/gtest.h>

#include <dirent.h>

#include <string>
#include <vector>

#include "picture/pict_player.h"
#include "pict_files.h"

namespace tstools::pict::test {
namespace {

// Counts what playback does without keeping it: the corpus holds large images.
class CountingSink final : public PictSink {
 public:
  int ended = 0;
  size_t calls = 0;
  PictRect DestinationClipBox() override { return {-32768, -32768, 32767, 32767}; }
  void BeginPlayback(PictPoint p) override { pen_ = p; }
  void EndPlayback() override { ++ended; }
  PictPoint PenLocation() override { return pen_; }
  void SetPenLocation(PictPoint p) override { pen_ = p; }
  void MoveTo(PictPoint p) override { pen_ = p, ++calls; }
  void LineTo(PictPoint p) override { pen_ = p, ++calls; }
  void Image(const ImageBand &) override { ++calls; }

 private:
  PictPoint pen_;
};

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> names;
  if (DIR *dir = opendir(TSTOOLS_PICT_CORPUS)) {
    while (dirent *e = readdir(dir))
      if (e->d_name[0] != '.') names.push_back(e->d_name);
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(PictCorpus, EveryRealPicturePlaysOrStopsCleanly) {
  auto names = CorpusFiles();
  if (names.empty()) GTEST_SKIP() << "no corpus at " << TSTOOLS_PICT_CORPUS;
  int ended = 0;
  for (const std::string &name : names) {
    SCOPED_TRACE(name);
    std::vector<uint8_t> block = PictureBlock(std::string(TSTOOLS_PICT_CORPUS) + "/" + name);
    CountingSink sink;
    PlayResult r = PlayPicture(block.data(), block.size(), nullptr, sink, {0, 0, 640, 480});
    EXPECT_LE(r.bytesRead, block.size());
    if (r.outcome != PlayOutcome::kEmpty) {
      EXPECT_EQ(sink.ended, 1);
    }
    bool malformed = name.find("fail") != std::string::npos || name == "tm-oom.pict";
    if (!malformed) {
      EXPECT_EQ(r.outcome, PlayOutcome::kEnded);
      ended += r.outcome == PlayOutcome::kEnded;
    }
  }
  RecordProperty("ended", ended);
}

}  // namespace
}  // namespace tstools::pict::test
