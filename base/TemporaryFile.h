#pragma once
// Files and folders of a run's own beside what a command is about to write:
// a file for writing the content whole before a rename puts it under its
// final name, a folder for scratch work. Each is named to its interrupt
// clean-up before it is made, so no moment is left in which an interrupt
// would leave it behind.

#include <string>

#include "base/InterruptCleanup.h"

namespace base {

// Creates an empty file named path + ".tmp-XXXXXX" (the X's made unique)
// with the permissions any new file of the process gets, and returns its
// open descriptor, its name in `temporary`. When that name would be longer
// than a file name or a path may be, the name part of path is cut short in
// it, so every name the system takes can be written. -1 with errno set when
// it cannot be made. `removal` names the file from before it exists.
int CreateTemporaryBeside(const std::string& path, std::string& temporary,
                          RemovedOnInterrupt& removal);

// Makes an empty folder prefix + "-XXXXXX" (the X's made unique) that only
// its owner may enter, and returns its path; empty with errno set when it
// cannot be made. `removal` names the folder from before it exists.
std::string MakeTemporaryFolder(const std::string& prefix, RemovedOnInterrupt& removal);

}  // namespace base
