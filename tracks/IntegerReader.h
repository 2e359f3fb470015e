#pragma once
// Reads decimal integers from a C stdio stream by the rules of fscanf's "%d",
// but with a defined result for every input.

#include <cstdio>

enum class ReadResult {
  kNumber,      // an integer was read into the out argument
  kNotANumber,  // the next item is not an integer; nothing was stored
  kEndOfInput,  // the input ended (or failed) before anything but white space
};

class IntegerReader {
 public:
  // The reader borrows the stream; the caller keeps it open while reading.
  explicit IntegerReader(std::FILE* file) : m_file(file) {}

  // Skips white space, then reads an optional sign and decimal digits. The
  // first character that cannot continue the number is left in the stream.
  // A value beyond the range of int saturates to INT_MAX or INT_MIN. When
  // the item is not a number, value is left unchanged.
  ReadResult Read(int& value);

  // Passes over a UTF-8 byte order mark where the stream stands (its start,
  // as some editors write it); anything else is left to be read.
  void SkipByteOrderMark();

  // The line the reader stands on: 1 plus the line ends it has passed.
  long long Line() const { return m_line; }
  // How many numbers read so far lay beyond the range of int and saturated.
  long long Saturated() const { return m_saturated; }

 private:
  std::FILE* m_file = nullptr;
  long long m_line = 1;
  long long m_saturated = 0;
};
