#pragma once
// The debug trace: printf-style diagnostic lines. They go to standard error
// unless a sink has been installed (tests install one to read the lines).

#include <functional>
#include <string_view>

namespace base {

using TraceSink = std::function<void(std::string_view)>;

// Formats like printf and hands the text, unchanged, to the current sink.
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Replaces the sink; an empty function restores standard error. Returns the
// sink that was installed before, so a test can put it back.
TraceSink SetTraceSink(TraceSink sink);

// Installs a sink for the lifetime of the object and restores the previous one.
class ScopedTraceSink {
 public:
  explicit ScopedTraceSink(TraceSink sink) : m_previous(SetTraceSink(std::move(sink))) {}
  ~ScopedTraceSink() { SetTraceSink(std::move(m_previous)); }
  ScopedTraceSink(const ScopedTraceSink&) = delete;
  ScopedTraceSink& operator=(const ScopedTraceSink&) = delete;

 private:
  TraceSink m_previous;
};

}  // namespace base
