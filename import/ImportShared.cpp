#include "import/ImportShared.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <system_error>

#include "base/FileStatus.h"
#include "import/ImageDecode.h"

namespace cli {
namespace {

std::string Canonical(const std::string& path) {
  std::error_code error;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
  return error ? path : canonical.string();
}

}  // namespace

std::optional<std::string> OutputOverSource(const std::vector<std::string>& sources,
                                            const std::vector<std::string>& outputs) {
  std::set<std::string> read;
  for (const std::string& source : sources)
    read.insert(Canonical(source));
  for (const std::string& output : outputs) {
    if (read.contains(Canonical(output)))
      return output;
  }
  return std::nullopt;
}

std::optional<std::string> MakeOutputFolder(const std::string& outRoot) {
  const std::filesystem::path folder = std::filesystem::path(outRoot).parent_path();
  std::error_code error;
  if (folder.empty() || std::filesystem::is_directory(folder, error))
    return std::nullopt;
  std::filesystem::create_directories(folder, error);
  if (error)
    return folder.string() + ": the output folder cannot be made: " + error.message();
  return std::nullopt;
}

std::string Completed(const std::vector<std::string>& outputs, int written) {
  if (written == 0)
    return "no frame was written";
  if (written == 1)
    return outputs.front() + " is complete";
  return outputs.front() + " to " + outputs[static_cast<std::size_t>(written) - 1] +
         " are complete";
}

bool IsVideoSource(const std::string& source) {
  if (!base::RegularFileSize(source))
    return false;
  std::string ending = std::filesystem::path(source).extension().string();
  if (!ending.empty())
    ending.erase(0, 1);
  std::transform(ending.begin(), ending.end(), ending.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const std::vector<std::string> pictures = PictureFileEndings();
  return std::find(pictures.begin(), pictures.end(), ending) == pictures.end();
}

}  // namespace cli
