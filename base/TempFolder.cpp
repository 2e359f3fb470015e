#include "base/TempFolder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace base {

TempFolder::TempFolder(std::string_view prefix, Need need) {
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  std::string pattern =
      ((error ? std::filesystem::path("/tmp") : base) / (std::string(prefix) + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) != nullptr) {
    m_path = pattern;
    m_interrupted.emplace(pattern);
  } else if (need == Need::Required) {
    std::perror((std::string(prefix) + ": cannot create a temporary folder").c_str());
    std::exit(1);
  }
}

TempFolder::TempFolder(const std::filesystem::path& parent, std::string_view prefix) {
  std::string pattern = (parent / (std::string(prefix) + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) != nullptr) {
    m_path = pattern;
    m_interrupted.emplace(pattern);
  }
}

TempFolder::~TempFolder() {
  if (m_path.empty())
    return;
  // The error_code overload never throws: a folder that cannot be removed is
  // left behind rather than ending the program from a destructor.
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
  m_interrupted.reset();
}

std::string TempFolder::File(std::string_view name) const {
  return (m_path / name).string();
}

}  // namespace base
