// The integer reader: fscanf "%d" rules with saturation instead of overflow.

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <memory>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "tracks/IntegerReader.h"

namespace {

constexpr ReadResult kNaN = ReadResult::kNotANumber;
constexpr ReadResult kEnd = ReadResult::kEndOfInput;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Each read of the text gives the next step: a number, or a result that
// leaves the value as it was.
TEST(IntegerReader, ReadsLikeScanfAndSaturates) {
  using namespace std::string_literals;
  using Step = std::variant<int, ReadResult>;
  const std::vector<std::pair<std::string, std::vector<Step>>> cases = {
      {" \t12\n-7\r\n+3\v\f0042   -0", {12, -7, 3, 42, 0, kEnd, kEnd}},
      {"", {kEnd, kEnd}},
      {" \n\t ", {kEnd}},
      // A non-number is not consumed, so every later read stops at it.
      {"12x5", {12, kNaN, kNaN}},
      // A sign without digits is consumed; what follows it is not.
      {"-", {kNaN, kEnd}},
      {"- 5", {kNaN, 5}},
      {"+-3", {kNaN, -3}},
      {".5", {kNaN, kNaN}},
      {"\0007"s, {kNaN}},
      {"2147483647 2147483648 -2147483648 -2147483649 "
       "99999999999999999999999999999999999999 -00000000000000000000000000000000012 "
       "-18446744073709551616 18446744073709551617 7",
       {INT_MAX, INT_MAX, INT_MIN, INT_MIN, INT_MAX, -12, INT_MIN, INT_MAX, 7, kEnd}},
  };
  for (const auto& [text, steps] : cases) {
    SCOPED_TRACE(text);
    const std::unique_ptr<std::FILE, FileCloser> file(std::tmpfile());
    ASSERT_TRUE(file);
    std::fwrite(text.data(), 1, text.size(), file.get());
    std::rewind(file.get());
    IntegerReader reader(file.get());
    int value = 99;
    for (const Step& step : steps) {
      if (const int* number = std::get_if<int>(&step)) {
        ASSERT_EQ(reader.Read(value), ReadResult::kNumber);
        EXPECT_EQ(value, *number);
      } else {
        const int kept = value;
        EXPECT_EQ(reader.Read(value), std::get<ReadResult>(step));
        EXPECT_EQ(value, kept);
      }
    }
  }
}

// The line after each read, and the count of numbers that saturated so far:
// a line end is counted once however the reads fall around it.
TEST(IntegerReader, CountsLinesAndSaturatedNumbers) {
  const std::string text = "1\n\n99999999999\r\n-2147483648 -2147483649\n x\n";
  const std::unique_ptr<std::FILE, FileCloser> file(
      fmemopen(const_cast<char*>(text.data()), text.size(), "r"));
  ASSERT_TRUE(file);
  IntegerReader reader(file.get());
  const std::vector<std::tuple<ReadResult, long long, long long>> steps = {
      {ReadResult::kNumber, 1, 0},
      {ReadResult::kNumber, 3, 1},
      {ReadResult::kNumber, 4, 1},
      {ReadResult::kNumber, 4, 2},
      {kNaN, 5, 2},
      {kNaN, 5, 2},
  };
  for (const auto& [result, line, saturated] : steps) {
    int value = 0;
    EXPECT_EQ(reader.Read(value), result);
    EXPECT_EQ(reader.Line(), line);
    EXPECT_EQ(reader.Saturated(), saturated);
  }
}

}  // namespace

// A byte order mark where the reading starts is passed over; anything else
// that begins like one is left whole to be read, in a file and in memory.
TEST(IntegerReader, PassesOverAByteOrderMarkAndNothingElse) {
  using namespace std::string_literals;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\xEF\xBB\xBF"
       "12 7",
       "12 7"},
      {"12 7", "12 7"},
      {"\xEF\xBB"
       "12",
       "\xEF\xBB"
       "12"},
      {"\xEF"
       "12",
       "\xEF"
       "12"},
      {"\xEF", "\xEF"},
      {"\xEF\xBB\xBF", ""},
      {"", ""},
  };
  for (const auto& [text, left] : cases) {
    SCOPED_TRACE(::testing::PrintToString(text));
    const std::unique_ptr<std::FILE, FileCloser> file(std::tmpfile());
    ASSERT_TRUE(file);
    std::fwrite(text.data(), 1, text.size(), file.get());
    std::rewind(file.get());
    std::string memoryText = text;
    const std::unique_ptr<std::FILE, FileCloser> memory(
        fmemopen(memoryText.data(), memoryText.size(), "r"));
    for (std::FILE* stream : {file.get(), memory.get()}) {
      ASSERT_NE(stream, nullptr);
      IntegerReader(stream).SkipByteOrderMark();
      std::string rest;
      for (int c = std::getc(stream); c != EOF; c = std::getc(stream))
        rest += static_cast<char>(c);
      EXPECT_EQ(rest, left);
    }
  }
}
