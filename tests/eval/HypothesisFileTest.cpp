// A track file given as a tracker's output: its targets are the hypotheses,
// no targets is an answer, but a file of another layout is refused.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "scoring/HypothesisFile.h"
#include "support/TempDir.h"
#include "support/TextFiles.h"

namespace {

TEST(HypothesisFile, TrackLayoutRefusesOtherLayoutsButTakesNoTargets) {
  const TempDir dir;
  struct Case {
    const char* text;
    std::optional<std::string> problem;  // after the file's name
    std::size_t objects;
  };
  for (const Case& c : {
           Case{"1 0\n3 4\n", std::nullopt, 1},
           Case{"", std::nullopt, 0},
           Case{"# rows\n1,1,10,10,5,5,1,1,1\n",
                ": not a track file: it looks like MOTChallenge rows (convert it with mot2tracks)",
                0},
           Case{"0,1,5,5\n", ": not a track file: it looks like frame,id,x,y points", 0},
       }) {
    const std::string file = dir.File("hyp.txt");
    test_files::WriteText(file, c.text);
    LoadedHypotheses loaded;
    const auto problem = LoadHypotheses({file, HypLayout::kTracks, ""}, loaded);
    EXPECT_EQ(problem, c.problem ? std::optional(file + *c.problem) : std::nullopt) << c.text;
    EXPECT_EQ(loaded.objects.All().size(), c.objects) << c.text;
  }
}

}  // namespace
