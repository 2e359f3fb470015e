#pragma once
// Scratch files and folders that must not outlive an interrupted run. While
// a RemovedOnInterrupt object lives, its path is removed (a folder with all
// it holds) if SIGINT or SIGTERM ends the process; the signal then ends the
// process as it would have. The handler is installed with the first path,
// and only where the signal's handling is still the default: a process that
// handles the signals itself keeps its own handling. Only the process that
// registered a path removes it, not a child forked from it.

#include <string>

namespace base {

class RemovedOnInterrupt {
 public:
  explicit RemovedOnInterrupt(const std::string& path);
  ~RemovedOnInterrupt();
  RemovedOnInterrupt(const RemovedOnInterrupt&) = delete;
  RemovedOnInterrupt& operator=(const RemovedOnInterrupt&) = delete;

  // False when the table of paths was full or the path too long: the path
  // is then left behind by an interrupted run, as without this object.
  bool Registered() const { return m_slot >= 0; }

 private:
  int m_slot = -1;
};

}  // namespace base
