// The debug trace: printf formatting and the replaceable sink.

#include "ui/core/Trace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

TEST(Trace, FormatsLikePrintfAndHandsTheTextOnUnchanged) {
  Lines lines;
  ui::ScopedTraceSink sink([&](std::string_view text) { lines.emplace_back(text); });
  ui::Trace("%s_%d.bmp\n", "take9", -12);
  ui::Trace("%06.2f|%x|%-3s|%c%%", 3.14159, 255u, "a", 'z');
  const std::string longLine(10000, 'q');  // longer than any fixed buffer would be
  ui::Trace("%s!", longLine.c_str());
  EXPECT_EQ(lines, (Lines{"take9_-12.bmp\n", "003.14|ff|a  |z%", longLine + "!"}));
}

TEST(Trace, SinksNestAndTheDefaultIsStandardError) {
  Lines outer, inner;
  {
    ui::ScopedTraceSink outerSink([&](std::string_view text) { outer.emplace_back(text); });
    ui::Trace("one");
    {
      ui::ScopedTraceSink innerSink([&](std::string_view text) { inner.emplace_back(text); });
      ui::Trace("two");
    }
    ui::Trace("three");
    // SetTraceSink hands back the sink it replaces; an empty one means stderr.
    ui::TraceSink previous = ui::SetTraceSink({});
    ::testing::internal::CaptureStderr();
    ui::Trace("to stderr %d\n", 1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "to stderr 1\n");
    ui::SetTraceSink(std::move(previous));
    ui::Trace("four");
  }
  EXPECT_EQ(outer, (Lines{"one", "three", "four"}));
  EXPECT_EQ(inner, (Lines{"two"}));
  ::testing::internal::CaptureStderr();
  ui::Trace("after %s\n", "all");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "after all\n");
}

}  // namespace
