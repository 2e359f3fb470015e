#pragma once
// FFmpeg's error codes as text for messages.

#include <string>

namespace video {

// The library's own wording of error code `code` (a negative AVERROR value).
std::string ErrorText(int code);

// Keeps the libraries from printing on standard error: every failure reaches
// the caller as a message of ours with the library's reason.
void SilenceLibraryLog();

}  // namespace video
