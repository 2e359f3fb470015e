#pragma once
// The progress of a long command on standard error: a bar redrawn in place
// when standard error is a terminal, plain lines otherwise (a log file, a
// pipe, a test's stream). Both give frames done of the total, frames per
// second and the time left.

#include <functional>
#include <ostream>
#include <string>
#include <string_view>

namespace base {

enum class ProgressStyle { Bar, Lines };

// Bar for the process's standard error when it is a terminal, Lines for
// every other stream.
ProgressStyle ProgressStyleFor(const std::ostream& stream);

// "120/1000 frames, 85.3 frames/s, 0:10 left" for `done` frames after
// `seconds`; speed and time left read "--" until there is a first frame.
std::string ProgressText(int done, int total, double seconds);

class Progress {
 public:
  // Seconds since some fixed moment; the steady clock unless a test says.
  using Clock = std::function<double()>;

  Progress(std::ostream& stream, ProgressStyle style, std::string_view label, int total,
           Clock clock = {});
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // Reports `done` frames. The bar is redrawn at most ten times a second and
  // at the last frame; a line is printed at every tenth of the total and at
  // the last frame.
  void Update(int done);
  // Ends the bar's line, so later messages start on a line of their own.
  void Finish();

  int Total() const { return m_total; }
  // A new total, for work whose size is learnt on the way (a video longer
  // than its container said).
  void SetTotal(int total) { m_total = total; }

 private:
  std::ostream& m_stream;
  ProgressStyle m_style;
  std::string m_label;
  int m_total;
  Clock m_clock;
  double m_start = 0.0;
  double m_lastDraw = -1.0;
  int m_lastTenth = 0;
  bool m_drawn = false;
};

}  // namespace base
