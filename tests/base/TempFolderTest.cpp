// The scratch folder: made empty under $TMPDIR (or /tmp when that is no
// folder) with the caller's prefix, and removed with everything in it, nested
// folders included, when the object goes.

#include "base/TempFolder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// Sets TMPDIR for the lifetime of the object and puts the old value back.
class ScopedTmpDir {
 public:
  explicit ScopedTmpDir(const std::string& value) {
    if (const char* old = ::getenv("TMPDIR"))
      m_old = old;
    ::setenv("TMPDIR", value.c_str(), 1);
  }
  ~ScopedTmpDir() {
    if (m_old)
      ::setenv("TMPDIR", m_old->c_str(), 1);
    else
      ::unsetenv("TMPDIR");
  }
  ScopedTmpDir(const ScopedTmpDir&) = delete;
  ScopedTmpDir& operator=(const ScopedTmpDir&) = delete;

 private:
  std::optional<std::string> m_old;
};

TEST(TempFolder, IsMadeEmptyUnderTheTemporaryFolderAndRemovedWithItsContent) {
  const TempDir base;
  fs::path made;
  {
    const ScopedTmpDir tmp(base.Path().string());
    const base::TempFolder folder("korvane-probe");
    made = folder.Path();
    ASSERT_EQ(made.parent_path(), base.Path());
    EXPECT_EQ(made.filename().string().rfind("korvane-probe-", 0), 0u) << made;
    EXPECT_TRUE(fs::is_empty(made));
    EXPECT_EQ(folder.File("a.bmp"), (made / "a.bmp").string());
    fs::create_directories(made / "inner" / "deeper");
    std::ofstream(folder.File("inner/deeper/frame.bmp")) << "BM";
  }
  EXPECT_FALSE(fs::exists(made));
  EXPECT_TRUE(fs::is_empty(base.Path()));

  // A TMPDIR that is no folder is passed over for /tmp.
  const ScopedTmpDir tmp(base.File("not-a-folder"));
  const base::TempFolder folder("korvane-probe", base::TempFolder::Need::Required);
  EXPECT_EQ(folder.Path().parent_path(), fs::path("/tmp"));
}

}  // namespace
