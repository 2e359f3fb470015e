// The debug trace: printf formatting and the replaceable sink.

#include "base/Trace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

TEST(Trace, FormatsLikePrintfIntoNestedSinksAndElseToStandardError) {
  Lines outer, inner;
  const std::string longLine(10000, 'q');  // longer than any fixed buffer would be
  {
    base::ScopedTraceSink outerSink([&](std::string_view text) { outer.emplace_back(text); });
    base::Trace("%s_%d.bmp\n", "take9", -12);
    {
      base::ScopedTraceSink innerSink([&](std::string_view text) { inner.emplace_back(text); });
      base::Trace("%06.2f|%x|%-3s|%c%%", 3.14159, 255u, "a", 'z');
    }
    base::Trace("%s!", longLine.c_str());
    for (std::size_t size : {510u, 511u, 512u})  // around the stack buffer's end
      base::Trace("%s", std::string(size, 'b').c_str());
  }
  EXPECT_EQ(outer, (Lines{"take9_-12.bmp\n", longLine + "!", std::string(510, 'b'),
                          std::string(511, 'b'), std::string(512, 'b')}));
  EXPECT_EQ(inner, (Lines{"003.14|ff|a  |z%"}));
  ::testing::internal::CaptureStderr();
  base::Trace("after %s\n", "all");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "after all\n");
}

}  // namespace
