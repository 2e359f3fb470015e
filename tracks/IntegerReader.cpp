#include "tracks/IntegerReader.h"

#include <climits>
#include <cstdint>

namespace {

// White space as the C locale defines it, independent of the current locale.
bool IsSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(int c) {
  return c >= '0' && c <= '9';
}

// One past the largest magnitude an int can hold (that of INT_MIN). Digits
// beyond it no longer change the saturated result, so the magnitude stops
// growing there and cannot overflow however long the digit run is.
constexpr std::uint64_t kMagnitudeCap = static_cast<std::uint64_t>(INT_MAX) + 1;

}  // namespace

ReadResult IntegerReader::Read(int& value) {
  // White space is the only place a line end is consumed: every other
  // character that ends an item goes back into the stream.
  int c = std::getc(m_file);
  while (c != EOF && IsSpace(c)) {
    m_line += c == '\n' ? 1 : 0;
    c = std::getc(m_file);
  }
  if (c == EOF) {
    return ReadResult::kEndOfInput;
  }

  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    c = std::getc(m_file);
  }
  if (!IsDigit(c)) {
    // A sign alone is a matching failure, like "%d": the sign stays consumed,
    // the offending character goes back.
    if (c != EOF) {
      std::ungetc(c, m_file);
    }
    return ReadResult::kNotANumber;
  }

  std::uint64_t magnitude = 0;
  while (IsDigit(c)) {
    if (magnitude <= kMagnitudeCap) {
      magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
    }
    c = std::getc(m_file);
  }
  if (c != EOF) {
    std::ungetc(c, m_file);
  }

  const std::uint64_t limit = negative ? kMagnitudeCap : kMagnitudeCap - 1;
  m_saturated += magnitude > limit ? 1 : 0;
  if (negative) {
    value = magnitude >= kMagnitudeCap ? INT_MIN : -static_cast<int>(magnitude);
  } else {
    value = magnitude > static_cast<std::uint64_t>(INT_MAX) ? INT_MAX : static_cast<int>(magnitude);
  }
  return ReadResult::kNumber;
}

void IntegerReader::SkipByteOrderMark() {
  const int c = std::getc(m_file);
  if (c == EOF)
    return;
  if (c != 0xEF) {
    std::ungetc(c, m_file);
    return;
  }
  // The rest of a mark, or back to where it began: the loader's streams (a
  // file, text in memory) can seek, and a stream that cannot gets the first
  // byte back, which no number starts with either way.
  const long after = std::ftell(m_file);
  unsigned char rest[2] = {};
  if (std::fread(rest, 1, 2, m_file) == 2 && rest[0] == 0xBB && rest[1] == 0xBF)
    return;
  if (after < 1 || std::fseek(m_file, after - 1, SEEK_SET) != 0) {
    std::clearerr(m_file);
    std::ungetc(c, m_file);
  }
}
