// The temporary file beside an output: made in the output's folder under
// the output's name and a unique suffix, for every name the system takes
// (its name part cut short where the suffix would make it too long), with
// the permissions of any new file, and named to the interrupt clean-up.

#include "base/TemporaryFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <set>

#include "base/AtomicFile.h"
#include "support/FolderEntries.h"
#include "support/TempDir.h"
#include "support/TextFiles.h"

namespace {

TEST(TemporaryFile, EveryLegalNameGetsATemporaryBesideIt) {
  const TempDir dir;
  const mode_t mask = ::umask(022);
  std::set<std::string> made;
  for (const std::size_t length : {std::size_t{1}, std::size_t{200}, std::size_t{244},
                                   std::size_t{245}, std::size_t{NAME_MAX}}) {
    SCOPED_TRACE(length);
    const std::string name(length, 'n');
    std::string temporary;
    base::RemovedOnInterrupt removal;
    const int fd = base::CreateTemporaryBeside(dir.File(name), temporary, removal);
    ASSERT_GE(fd, 0) << std::strerror(errno);
    ::close(fd);
    const std::filesystem::path path(temporary);
    EXPECT_EQ(path.parent_path(), dir.Path());
    const std::string made_name = path.filename().string();
    EXPECT_LE(made_name.size(), std::size_t{NAME_MAX});
    // The name, as much of it as leaves room, then ".tmp-" and six more.
    const std::size_t kept = std::min(length, std::size_t{NAME_MAX} - 11);
    EXPECT_EQ(made_name.substr(0, kept + 5), name.substr(0, kept) + ".tmp-");
    EXPECT_EQ(made_name.size(), kept + 11);
    struct stat info {};
    ASSERT_EQ(::stat(temporary.c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    EXPECT_TRUE(removal.Registered());
    made.insert(temporary);
  }
  ::umask(mask);
  EXPECT_EQ(made.size(), 5u);
  // A whole file under the longest name, and nothing left beside it.
  const std::string longest = dir.File(std::string(NAME_MAX, 'w'));
  EXPECT_EQ(base::WriteFileAtomically(longest, "whole"), std::nullopt);
  EXPECT_EQ(test_files::ReadText(longest), "whole");
}

// Runs in a death test's child: a temporary made, then the signal.
void MakeTemporaryAndRaise(const std::string& path) {
  std::string temporary;
  base::RemovedOnInterrupt removal;
  if (base::CreateTemporaryBeside(path, temporary, removal) >= 0)
    std::raise(SIGTERM);
}

TEST(TemporaryFileDeathTest, TheTemporaryIsNamedToTheInterruptCleanUp) {
  const TempDir dir;
  EXPECT_EXIT(MakeTemporaryAndRaise(dir.File("out.bmp")), ::testing::KilledBySignal(SIGTERM), "");
  EXPECT_TRUE(FilesIn(dir.Path()).empty());
}

}  // namespace
