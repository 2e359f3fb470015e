#pragma once
// A binary file held for the duration of one operation. The file is closed on
// every way out: by Close(), or by the destructor when the object goes out of
// scope, also when a failure of the file layer passes through as an exception.

#include <cstddef>
#include <stdexcept>
#include <string>

namespace base {

// A failure of the file layer other than end of file (a full disk during a
// write, an I/O error during a read). The message names the file.
class FileException : public std::runtime_error {
 public:
  FileException(const char* fileName, int error);
  int Error() const { return m_error; }

 private:
  int m_error;
};

class BinaryFile {
 public:
  enum class Mode {
    Read,            // the file must exist
    CreateTruncate,  // create the file, or empty it if it exists
  };

  BinaryFile() { m_fileName[0] = '\0'; }
  ~BinaryFile();
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;

  // Opens the named file; false when it cannot be opened (nothing is thrown).
  bool Open(const char* fileName, Mode mode);
  bool IsOpen() const { return m_fd >= 0; }

  // Reads up to count bytes; returns how many came. Fewer than asked means the
  // end of the file was reached. Other failures throw FileException.
  std::size_t Read(void* buffer, std::size_t count);

  // Writes all count bytes or throws FileException.
  void Write(const void* buffer, std::size_t count);

  void Close();

 private:
  int m_fd = -1;
  // The name, for the message of a failure. Held in place rather than in a
  // string so that opening a file allocates nothing (the recorder opens one
  // per tick), and not cleared beyond its first byte, as every open writes
  // it; a name longer than any path the system takes is cut.
  char m_fileName[4096];
};

}  // namespace base
