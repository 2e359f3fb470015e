// Feeds arbitrary bytes to ReadBmpFile as a frame file, into a full frame
// buffer and into a buffer of a few bytes. Each buffer is allocated to its
// exact size, so the address sanitizer reports any byte read or written past
// it. After each read the result must be consistent: either a refusal (width
// and height 0, at most the first byte changed) or dimensions whose pixel
// block fits the buffer.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "image/BmpFile.h"

namespace {

constexpr std::size_t FRAME_BYTES = 320 * 240 * 3;
constexpr std::size_t TINY_BYTES = 7;
constexpr unsigned char FILL = 0xA5;

// The one input file of this process.
const std::string& InputPath() {
  static const std::string path = fuzz::ScratchFolder().File("input.bmp");
  return path;
}

void ReadInto(const char* path, std::size_t capacity) {
  const auto buffer = std::make_unique<unsigned char[]>(capacity);
  std::memset(buffer.get(), FILL, capacity);
  int width = -1;
  int height = -1;

  ReadBmpFile(path, {buffer.get(), capacity}, width, height);

  if (width < 0 || height < 0) {
    std::abort();
  }
  const std::uint64_t bytes =
      std::uint64_t{static_cast<unsigned>(width)} * static_cast<unsigned>(height) * 3;
  if (bytes > capacity) {
    std::abort();
  }
  // A refusal, like an empty frame, may change the first byte but no other.
  if (bytes == 0) {
    for (std::size_t i = 1; i < capacity; ++i) {
      if (buffer[i] != FILL) {
        std::abort();
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& input = InputPath();
  fuzz::WriteFreshFile(input, data, size);
  ReadInto(input.c_str(), FRAME_BYTES);
  ReadInto(input.c_str(), TINY_BYTES);
  return 0;
}
