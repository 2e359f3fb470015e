#pragma once
// Scratch files and folders that must not outlive an interrupted run. While
// a RemovedOnInterrupt object lives, its path is removed (a folder with all
// it holds) if SIGINT, SIGTERM, SIGHUP (the terminal closed) or SIGPIPE (a
// closed pipe written to) ends the process; the signal then ends the
// process as it would have. The handler is installed with the first path,
// and only where the signal's handling is still the default: a process that
// handles the signals itself keeps its own handling. Only the process that
// registered a path removes it, not a child forked from it.

#include <string>

namespace base {

class RemovedOnInterrupt {
 public:
  explicit RemovedOnInterrupt(const std::string& path);
  // A place in the table with no path yet: Set gives it one. A path named
  // before the file or folder is made is removed by an interrupt that comes
  // at any moment after it exists.
  RemovedOnInterrupt();
  ~RemovedOnInterrupt();
  RemovedOnInterrupt(const RemovedOnInterrupt&) = delete;
  RemovedOnInterrupt& operator=(const RemovedOnInterrupt&) = delete;

  // False when the table of paths was full (or the path given to the
  // constructor too long): the path is then left behind by an interrupted
  // run, as without this object.
  bool Registered() const { return m_slot >= 0; }

  // Names the path to remove in place of the one before (none: Clear).
  // False when there is no place in the table or the path is too long.
  bool Set(const std::string& path);
  void Clear();

 private:
  int m_slot = -1;
};

}  // namespace base
