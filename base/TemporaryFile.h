#pragma once
// A file of its own beside the file a command is about to write, for writing
// the content whole before a rename puts it under its final name.

#include <string>

namespace base {

// Creates an empty file named path + ".tmp-XXXXXX" (the X's made unique) with
// the permissions any new file of the process gets, and returns its open
// descriptor, its name in `temporary`. -1 with errno set when it cannot be
// made.
int CreateTemporaryBeside(const std::string& path, std::string& temporary);

}  // namespace base
