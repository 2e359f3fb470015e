// The pure checks behind the data exchange of integer fields, without a window.

#include "ui/core/FieldChecks.h"

#include <gtest/gtest.h>

#include <climits>
#include <string_view>

namespace {

constexpr const char* kNotAnInteger = "Please enter an integer.";
constexpr const char* kOutOfIntRange =
    "Please enter an integer between -2147483648 and 2147483647.";

TEST(ParseIntField, AcceptsOneSignedDecimalIntegerAndLeavesTheValueAloneOtherwise) {
  struct Case {
    std::string_view text;
    const char* message;  // nullptr: accepted
    int value;            // the variable afterwards; it starts at 4242
  };
  const Case cases[] = {
      {"-17", nullptr, -17},
      {"+17", nullptr, 17},
      {" \t\v\f-0\r\n", nullptr, 0},
      {"007", nullptr, 7},
      {"2147483647", nullptr, INT_MAX},
      {" -2147483648 ", nullptr, INT_MIN},
      // Not one integer: the variable is left alone.
      {"", kNotAnInteger, 4242},
      {"+", kNotAnInteger, 4242},
      {"12a", kNotAnInteger, 4242},
      {"1 2", kNotAnInteger, 4242},
      {"0x10", kNotAnInteger, 4242},
      {"+ 5", kNotAnInteger, 4242},
      {"--5", kNotAnInteger, 4242},
      // A '+' must not let a '-' through behind it.
      {"+-5", kNotAnInteger, 4242},
      {std::string_view("12\0"
                        "3",
                        4),
       kNotAnInteger, 4242},
      {"99999999999x", kNotAnInteger, 4242},
      // An integer too big for the field names the range.
      {"2147483648", kOutOfIntRange, 4242},
      {"-2147483649", kOutOfIntRange, 4242},
      {" +99999999999999999999 ", kOutOfIntRange, 4242},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    int value = 4242;
    EXPECT_EQ(ui::ParseIntField(c.text, value).value_or("accepted"),
              c.message ? c.message : "accepted");
    EXPECT_EQ(value, c.value);
  }
}

TEST(CheckIntRange, AcceptsTheBoundsAndNamesThemWhenOutside) {
  EXPECT_FALSE(ui::CheckIntRange(1, 1, 30).has_value());
  EXPECT_FALSE(ui::CheckIntRange(30, 1, 30).has_value());
  EXPECT_FALSE(ui::CheckIntRange(INT_MIN, INT_MIN, INT_MAX).has_value());
  EXPECT_EQ(ui::CheckIntRange(0, 1, 30), "Please enter an integer between 1 and 30.");
  EXPECT_EQ(ui::CheckIntRange(31, 1, 30), "Please enter an integer between 1 and 30.");
  EXPECT_EQ(ui::CheckIntRange(-6, -5, -1), "Please enter an integer between -5 and -1.");
}

}  // namespace
