#include "base/MadeFolders.h"

#include <system_error>

namespace base {

MadeFolders::~MadeFolders() {
  for (auto it = m_made.rbegin(); it != m_made.rend(); ++it) {
    std::error_code error;
    if (std::filesystem::is_empty(*it, error) && !error)
      std::filesystem::remove(*it, error);
  }
}

std::error_code MadeFolders::MakeAll(const std::filesystem::path& folder) {
  std::error_code error;
  if (folder.empty() || std::filesystem::is_directory(folder, error))
    return {};
  // The missing folders, innermost first, each made on its own so that the
  // ones made are known.
  std::vector<std::filesystem::path> missing;
  for (std::filesystem::path at = folder; !at.empty(); at = at.parent_path()) {
    if (std::filesystem::exists(at, error))
      break;
    missing.push_back(at);
    if (at == at.parent_path())
      break;
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (std::filesystem::create_directory(*it, error))
      m_made.push_back(*it);
    if (error)
      return error;
  }
  if (!std::filesystem::is_directory(folder, error))
    return std::make_error_code(std::errc::not_a_directory);
  return {};
}

std::optional<std::string> MadeFolders::Make(const std::filesystem::path& folder) {
  const std::error_code error = MakeAll(folder);
  if (!error)
    return std::nullopt;
  return folder.string() + ": the output folder cannot be made: " +
         (error == std::errc::not_a_directory ? std::string("not a folder") : error.message());
}

std::optional<std::string> MadeFolders::MakeForRoot(const std::string& outRoot) {
  return Make(std::filesystem::path(outRoot).parent_path());
}

}  // namespace base
