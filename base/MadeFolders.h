#pragma once
// Output folders made for a run, and taken away again when the run put
// nothing in them: a command that fails before writing leaves no folder it
// made behind.

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace base {

class MadeFolders {
 public:
  MadeFolders() = default;
  MadeFolders(const MadeFolders&) = delete;
  MadeFolders& operator=(const MadeFolders&) = delete;
  // Removes every folder it made that is still empty, the deepest first.
  ~MadeFolders();

  // Makes `folder` and the folders above it that are missing. Returns why it
  // cannot (with the system's reason), or nothing.
  std::optional<std::string> Make(const std::filesystem::path& folder);
  // The same, giving the system's error (not_a_directory when what is
  // there is no folder), or none, for a caller that words its own message.
  std::error_code MakeAll(const std::filesystem::path& folder);
  // Makes the folder an output root (FOLDER/NAME) lies in.
  std::optional<std::string> MakeForRoot(const std::string& outRoot);

  // The folders stay whatever they hold.
  void Keep() { m_made.clear(); }

 private:
  std::vector<std::filesystem::path> m_made;  // outermost first
};

}  // namespace base
