// Scratch paths registered for removal go with the process when a signal
// ends it (SIGTERM, SIGINT, SIGHUP, SIGPIPE): a folder with nested content
// and a lone file; what is no longer registered, or never was, stays; the
// signal still ends the process. A temporary file is registered before it
// exists, so no moment of a write leaves it behind.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "base/AtomicFile.h"
#include "base/InterruptCleanup.h"
#include "base/TempFolder.h"
#include "support/FolderEntries.h"
#include "support/TempDir.h"

namespace {

// Runs in a death test's child: scratch paths made, then the signal.
void MakeScratchAndRaise(const std::filesystem::path& parent, int signal) {
  const base::TempFolder folder(parent, "scratch");
  std::filesystem::create_directories(folder.Path() / "a" / "b");
  for (int i = 0; i < 300; ++i)  // more entries than one read of the folder gives
    std::ofstream(folder.Path() / ("frame_" + std::to_string(i) + ".bmp")) << "x";
  std::ofstream(folder.Path() / "a" / "b" / "deep") << "x";
  const std::string file = (parent / "out.bmp.tmp-123456").string();
  std::ofstream(file) << "partial";
  const base::RemovedOnInterrupt temporary(file);
  const std::string kept = (parent / "kept.bmp.tmp-654321").string();
  std::ofstream(kept) << "whole";
  { const base::RemovedOnInterrupt released(kept); }
  std::raise(signal);
}

TEST(InterruptCleanupDeathTest, RegisteredPathsGoWithTheProcessAndTheSignalEndsIt) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) {
    SCOPED_TRACE(signal);
    const TempDir parent;
    std::ofstream(parent.File("unrelated.txt")) << "stays";
    EXPECT_EXIT(MakeScratchAndRaise(parent.Path(), signal), ::testing::KilledBySignal(signal), "");
    EXPECT_EQ(FilesIn(parent.Path()),
              (std::vector<std::string>{"kept.bmp.tmp-654321", "unrelated.txt"}));
  }
}

// A child writes one file after another, each under a temporary name and
// renamed, and is ended at a different moment of that loop each time: the
// file may be there, its temporary never. Where the name was registered
// only after the file was made, some of the moments fall in between.
TEST(InterruptCleanup, NoMomentOfAWriteLeavesItsTemporary) {
  for (int run = 0; run < 60; ++run) {
    SCOPED_TRACE(run);
    const TempDir dir;
    const std::string file = dir.File("frame.bmp");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;)
        base::WriteFileAtomically(file, std::string(512, 'x'));
    }
    // Once the writes have begun, at moments spread over a write's length.
    for (int wait = 0; wait < 1000 && !std::filesystem::exists(file); ++wait)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::microseconds(200 + run * 37));
    ::kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"frame.bmp"});
  }
}

}  // namespace
