#pragma once
// A folder of the process's own for scratch files: made empty under the
// system's temporary folder ($TMPDIR, else /tmp) with a name prefix-XXXXXX,
// and removed with everything in it when the object goes, or when a signal
// that ends the process (see InterruptCleanup.h) comes while it lives.

#include <filesystem>
#include <string>
#include <string_view>

#include "base/InterruptCleanup.h"

namespace base {

class TempFolder {
 public:
  // Whether a caller can do without the folder. A required folder that
  // cannot be made ends the process with status 1 and a message naming the
  // prefix on standard error; an optional one leaves Path() empty.
  enum class Need { Optional, Required };

  explicit TempFolder(std::string_view prefix, Need need = Need::Optional);
  // A folder made inside parent instead, where files written in it can be
  // renamed into parent. Path() is empty when it cannot be made; errno then
  // says why.
  TempFolder(const std::filesystem::path& parent, std::string_view prefix);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return m_path; }

  // The full path of the file or folder named name inside this folder, as
  // text ready for functions that take a C string.
  std::string File(std::string_view name) const;

 private:
  std::filesystem::path m_path;
  RemovedOnInterrupt m_interrupted;
};

}  // namespace base
