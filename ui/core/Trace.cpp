#include "ui/core/Trace.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

namespace ui {
namespace {

TraceSink& CurrentSink() {
  static TraceSink sink;
  return sink;
}

}  // namespace

void Trace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (length < 0) {
    va_end(args);
    return;
  }
  std::string text(static_cast<std::size_t>(length), '\0');
  std::vsnprintf(text.data(), text.size() + 1, format, args);
  va_end(args);

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

}  // namespace ui
