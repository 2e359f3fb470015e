#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <memory>
#include <string_view>

#include "tracks/IntegerReader.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// An anonymous temporary file holding text, positioned at its start.
FilePtr StreamOf(std::string_view text) {
  FilePtr file(std::tmpfile());
  if (file) {
    std::fwrite(text.data(), 1, text.size(), file.get());
    std::rewind(file.get());
  }
  return file;
}

TEST(IntegerReader, ReadsSignedNumbersAcrossAnyWhiteSpace) {
  const FilePtr file = StreamOf(" \t12\n-7\r\n+3\v\f0042   -0");
  ASSERT_TRUE(file);
  IntegerReader reader(file.get());
  int value = 99;
  for (const int expected : {12, -7, 3, 42, 0}) {
    ASSERT_EQ(reader.Read(value), ReadResult::kNumber);
    EXPECT_EQ(value, expected);
  }
  EXPECT_EQ(reader.Read(value), ReadResult::kEndOfInput);
  EXPECT_EQ(reader.Read(value), ReadResult::kEndOfInput);
  EXPECT_EQ(value, 0);
}

TEST(IntegerReader, EndOfInputOnlyBeforeAnyNumber) {
  const FilePtr empty = StreamOf("");
  const FilePtr blank = StreamOf(" \n\t ");
  ASSERT_TRUE(empty && blank);
  int value = 5;
  EXPECT_EQ(IntegerReader(empty.get()).Read(value), ReadResult::kEndOfInput);
  EXPECT_EQ(IntegerReader(blank.get()).Read(value), ReadResult::kEndOfInput);
  EXPECT_EQ(value, 5);
}

TEST(IntegerReader, NumberStopsAtTheFirstOtherCharacterAndLeavesIt) {
  const FilePtr file = StreamOf("12abc");
  ASSERT_TRUE(file);
  IntegerReader reader(file.get());
  int value = 0;
  ASSERT_EQ(reader.Read(value), ReadResult::kNumber);
  EXPECT_EQ(value, 12);
  EXPECT_EQ(reader.Read(value), ReadResult::kNotANumber);
  EXPECT_EQ(value, 12);
  // The non-number is not consumed, so every later read stops at it too.
  EXPECT_EQ(reader.Read(value), ReadResult::kNotANumber);
  EXPECT_EQ(std::getc(file.get()), 'a');
}

TEST(IntegerReader, SignsWithoutDigitsAndOtherTokensAreNotNumbers) {
  using std::string_view_literals::operator""sv;
  for (const std::string_view text :
       {"-"sv, "+"sv, "- 5"sv, "+-3"sv, "x1"sv, ".5"sv, "\0007"sv, "one"sv}) {
    SCOPED_TRACE(text);
    const FilePtr file = StreamOf(text);
    ASSERT_TRUE(file);
    int value = 8;
    EXPECT_EQ(IntegerReader(file.get()).Read(value), ReadResult::kNotANumber);
    EXPECT_EQ(value, 8);
  }
}

TEST(IntegerReader, IntegersBeyondIntSaturate) {
  const FilePtr file = StreamOf(
      "2147483647 2147483648 -2147483648 -2147483649 "
      "99999999999999999999999999999999999999 -00000000000000000000000000000000012 "
      "-18446744073709551616 18446744073709551617 7");
  ASSERT_TRUE(file);
  IntegerReader reader(file.get());
  int value = 0;
  for (const int expected :
       {INT_MAX, INT_MAX, INT_MIN, INT_MIN, INT_MAX, -12, INT_MIN, INT_MAX, 7}) {
    ASSERT_EQ(reader.Read(value), ReadResult::kNumber);
    EXPECT_EQ(value, expected);
  }
  EXPECT_EQ(reader.Read(value), ReadResult::kEndOfInput);
}

}  // namespace
