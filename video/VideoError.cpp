#include "video/VideoError.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

namespace video {

std::string ErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  if (av_strerror(code, text, sizeof text) < 0)
    return "error " + std::to_string(code);
  return text;
}

void SilenceLibraryLog() {
  av_log_set_level(AV_LOG_QUIET);
}

}  // namespace video
