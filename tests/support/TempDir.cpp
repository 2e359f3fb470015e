#include "support/TempDir.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>

#include <unistd.h>

TempDir::TempDir() {
  std::string pattern = "/tmp/korvane-test-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    // Without a folder of its own no test that uses one can mean anything.
    std::perror("TempDir: cannot create a folder under /tmp");
    std::abort();
  }
  m_path = pattern;
}

TempDir::~TempDir() {
  // The error_code overload never throws; a folder that cannot be removed is
  // left behind rather than ending the test run.
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::FilePath(std::string_view name) const {
  return (m_path / name).string();
}
