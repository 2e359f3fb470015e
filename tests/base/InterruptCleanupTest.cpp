// Scratch paths registered for removal go with the process when SIGTERM or
// SIGINT ends it: a folder with nested content and a lone file; what is no
// longer registered, or never was, stays; the signal still ends the process.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>

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
  for (const int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    const TempDir parent;
    std::ofstream(parent.File("unrelated.txt")) << "stays";
    EXPECT_EXIT(MakeScratchAndRaise(parent.Path(), signal), ::testing::KilledBySignal(signal), "");
    EXPECT_EQ(FilesIn(parent.Path()),
              (std::vector<std::string>{"kept.bmp.tmp-654321", "unrelated.txt"}));
  }
}

}  // namespace
