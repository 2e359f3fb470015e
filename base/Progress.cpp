#include "base/Progress.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>

namespace base {
namespace {

constexpr int kBarWidth = 30;
constexpr double kRedrawSeconds = 0.1;

double SteadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::string Duration(double seconds) {
  const long long whole = std::llround(std::max(seconds, 0.0));
  char text[40];
  if (whole >= 3600)
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                  whole % 60);
  else
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  return text;
}

}  // namespace

ProgressStyle ProgressStyleFor(const std::ostream& stream) {
  const bool standardError = &stream == &std::cerr || &stream == &std::clog;
  return standardError && ::isatty(STDERR_FILENO) == 1 ? ProgressStyle::Bar : ProgressStyle::Lines;
}

std::string ProgressText(int done, int total, double seconds) {
  std::string text = std::to_string(done) + "/" + std::to_string(total) + " frames, ";
  if (done <= 0 || seconds <= 0.0)
    return text + "-- frames/s, -- left";
  const double rate = done / seconds;
  char speed[32];
  std::snprintf(speed, sizeof speed, "%.1f", rate);
  return text + speed + " frames/s, " + Duration((total - done) / rate) + " left";
}

Progress::Progress(std::ostream& stream, ProgressStyle style, std::string_view label, int total,
                   Clock clock)
    : m_stream(stream),
      m_style(style),
      m_label(label),
      m_total(total),
      m_clock(clock ? std::move(clock) : Clock(&SteadySeconds)),
      m_start(m_clock()) {}

void Progress::Update(int done) {
  const double now = m_clock() - m_start;
  const bool last = done >= m_total;
  if (m_style == ProgressStyle::Lines) {
    const int tenth = m_total > 0 ? static_cast<int>(10LL * done / m_total) : 10;
    if (tenth == m_lastTenth && !last)
      return;
    if (last && m_lastTenth == 10)
      return;
    m_lastTenth = tenth;
    m_stream << m_label << ": " << ProgressText(done, m_total, now) << '\n';
    return;
  }
  if (!last && m_lastDraw >= 0.0 && now - m_lastDraw < kRedrawSeconds)
    return;
  m_lastDraw = now;
  const int filled = m_total > 0
                         ? static_cast<int>(std::clamp(1LL * kBarWidth * done / m_total, 0LL,
                                                       static_cast<long long>(kBarWidth)))
                         : kBarWidth;
  m_stream << '\r' << m_label << " [" << std::string(static_cast<std::size_t>(filled), '#')
           << std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') << "] "
           << ProgressText(done, m_total, now) << "   " << std::flush;
  m_drawn = true;
}

void Progress::Finish() {
  if (m_drawn)
    m_stream << '\n';
  m_drawn = false;
}

}  // namespace base
