#include "base/TempFolder.h"

#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "base/TemporaryFile.h"

namespace base {

TempFolder::TempFolder(std::string_view prefix, Need need) {
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  m_path = MakeTemporaryFolder(
      ((error ? std::filesystem::path("/tmp") : base) / std::string(prefix)).string(),
      m_interrupted);
  if (m_path.empty() && need == Need::Required) {
    std::perror((std::string(prefix) + ": cannot create a temporary folder").c_str());
    std::exit(1);
  }
}

TempFolder::TempFolder(const std::filesystem::path& parent, std::string_view prefix) {
  m_path = MakeTemporaryFolder((parent / std::string(prefix)).string(), m_interrupted);
}

TempFolder::~TempFolder() {
  if (m_path.empty())
    return;
  // The error_code overload never throws: a folder that cannot be removed is
  // left behind rather than ending the program from a destructor.
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
  m_interrupted.Clear();
}

std::string TempFolder::File(std::string_view name) const {
  return (m_path / name).string();
}

}  // namespace base
