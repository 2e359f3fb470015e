// The one reader of MOTChallenge text: what ground truth and tracker output
// may look like, read the same way for every command.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "eval/HypothesisReader.h"
#include "mot/MotRows.h"
#include "support/TempDir.h"
#include "support/TextFiles.h"

namespace {

using cli::MotRow;

// Lines some trackers and annotation tools write: comments, whole numbers
// written as decimals, other separators; each read as the same box.
TEST(MotRows, CommentsAndWholeDecimalsAreTheRowsTheyWrite) {
  const char* const lines[] = {
      "3,7,10,20,4,6,1,1,1",
      "3.0,7.0,10,20,4,6,1,1.0,1   # a comment after the row",
      "3 7 10 20 4 6 1 1 1",
      "  3, 7 ,10,20 , 4,6,1,1,1\r",
  };
  for (const char* line : lines) {
    SCOPED_TRACE(line);
    std::optional<MotRow> row;
    ASSERT_EQ(cli::ParseMotLine(line, row), std::nullopt);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->frame, 3);
    EXPECT_EQ(row->id, 7);
    EXPECT_EQ(row->classId, 1);
    EXPECT_DOUBLE_EQ(row->left + row->width / 2, 12.0);
  }
  std::optional<MotRow> row = MotRow{};
  EXPECT_EQ(cli::ParseMotLine("   # only a comment", row), std::nullopt);
  EXPECT_FALSE(row);
  EXPECT_NE(cli::ParseMotLine("1.5,7,10,20,4,6", row), std::nullopt);
  EXPECT_NE(cli::ParseMotLine("1,7,10,20,4,6,1,2.5", row), std::nullopt);
  EXPECT_NE(cli::ParseMotLine("3e9,7,10,20,4,6", row), std::nullopt);
}

// The file reader and the evaluation's reader take the same text: a file
// mot2tracks reads is a file evaluate reads, with the same line numbers in
// its messages.
TEST(MotRows, TheFileReaderAndTheHypothesisReaderAgree) {
  const std::string text =
      "# frame,id,left,top,width,height,conf,x,y,z\n"
      "1,1,10,10,4,4,0.9,-1,-1,-1\n"
      "\n"
      "2.0,1,12,10,4,4,0.8,-1,-1,-1\n"
      "2,2,50,60,8,8\n";
  const TempDir dir;
  test_files::WriteText(dir.File("rows.txt"), text);
  std::vector<MotRow> rows;
  ASSERT_EQ(cli::ReadMotFile(dir.File("rows.txt"), rows), std::nullopt);
  std::vector<ObjectRow> objects;
  ASSERT_EQ(ReadHypotheses(text, HypothesisFormat::kMot, objects), std::nullopt);
  ASSERT_EQ(rows.size(), 3u);
  ASSERT_EQ(objects.size(), 3u);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(objects[i].frame, rows[i].frame);
    EXPECT_EQ(objects[i].object.id, rows[i].id);
    EXPECT_DOUBLE_EQ(objects[i].object.x, rows[i].left + rows[i].width / 2);
  }
  EXPECT_EQ(rows[2].line, 5);

  const std::string bad = text + "3,1,1,1,-2,2\n";
  test_files::WriteText(dir.File("bad.txt"), bad);
  const auto fileProblem = cli::ReadMotFile(dir.File("bad.txt"), rows);
  const auto textProblem = ReadHypotheses(bad, HypothesisFormat::kMot, objects);
  ASSERT_TRUE(fileProblem && textProblem);
  EXPECT_EQ(*fileProblem, dir.File("bad.txt") + ":6: " + textProblem->what);
}

// Missing files and files that are not regular are named as every input is.
TEST(MotRows, FileFaultsAreNamedInTheInputsWords) {
  const TempDir dir;
  std::vector<MotRow> rows;
  EXPECT_EQ(cli::ReadMotFile(dir.File("none.txt"), rows), dir.File("none.txt") + ": missing");
  const auto folder = cli::ReadMotFile(dir.Path().string(), rows);
  ASSERT_TRUE(folder);
  EXPECT_TRUE(folder->starts_with(dir.Path().string() + ": not a regular file")) << *folder;
}

}  // namespace
