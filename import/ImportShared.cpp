#include "import/ImportShared.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "base/FileStatus.h"
#include "import/ImageDecode.h"

namespace cli {

std::optional<std::string> OutputOverSource(const std::vector<std::string>& sources,
                                            const std::vector<std::string>& outputs) {
  return base::OutputOverInput(sources, outputs);
}

std::string Completed(const std::vector<std::string>& outputs, int written) {
  if (written == 0)
    return "no frame was written";
  if (written == 1)
    return outputs.front() + " is complete";
  return outputs.front() + " to " + outputs[static_cast<std::size_t>(written) - 1] +
         " are complete";
}

ImportOutcome FailedImport(std::string text) {
  ImportOutcome outcome;
  outcome.problem = ImportProblem{ImportProblem::Kind::kFailure, std::move(text)};
  return outcome;
}

ImportOutcome RefusedImport(std::string text) {
  ImportOutcome outcome;
  outcome.problem = ImportProblem{ImportProblem::Kind::kUsage, std::move(text)};
  return outcome;
}

bool IsVideoSource(const std::string& source) {
  return base::RegularFileSize(source) && !HasPictureEnding(source);
}

bool HasPictureEnding(const std::string& name) {
  std::string ending = std::filesystem::path(name).extension().string();
  if (!ending.empty())
    ending.erase(0, 1);
  std::transform(ending.begin(), ending.end(), ending.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const std::vector<std::string> pictures = PictureFileEndings();
  return std::find(pictures.begin(), pictures.end(), ending) != pictures.end();
}

}  // namespace cli
