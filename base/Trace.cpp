#include "base/Trace.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <string_view>

namespace base {
namespace {

TraceSink& CurrentSink() {
  static TraceSink sink;
  return sink;
}

}  // namespace

void Trace(const char* format, ...) {
  // The playback tick traces once per frame: a line that fits the stack
  // buffer is formatted once and costs no allocation; only a longer one is
  // formatted again into a string of its own size.
  char line[512];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  std::string longLine;
  std::string_view text;
  if (length < 0) {
    va_end(again);
    return;
  }
  if (static_cast<std::size_t>(length) < sizeof line) {
    text = std::string_view(line, static_cast<std::size_t>(length));
  } else {
    longLine.resize(static_cast<std::size_t>(length));
    std::vsnprintf(longLine.data(), longLine.size() + 1, format, again);
    text = longLine;
  }
  va_end(again);

  if (const TraceSink& sink = CurrentSink()) {
    sink(text);
  } else {
    std::fwrite(text.data(), 1, text.size(), stderr);
  }
}

TraceSink SetTraceSink(TraceSink sink) {
  TraceSink previous = std::move(CurrentSink());
  CurrentSink() = std::move(sink);
  return previous;
}

}  // namespace base
