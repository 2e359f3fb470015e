// Feeds arbitrary bytes to ReadBmpFile as a frame file, into a full frame
// buffer and into a buffer of a few bytes. Each buffer is allocated to its
// exact size, so the address sanitizer reports any byte read or written past
// it; both are kept from one input to the next. After each read the result
// must be consistent: either a refusal (width and height 0, at most the first
// byte changed) or dimensions whose pixel block fits the buffer, with nothing
// past that block changed.

#include <algorithm>
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

// A buffer of exactly `capacity` bytes, kept from input to input and filled
// with FILL before each read, with a twin that stays FILL to compare it to.
// Allocating and filling a frame buffer per input would cost more than the
// read under test.
class FilledBuffer {
 public:
  explicit FilledBuffer(std::size_t capacity)
      : m_capacity(capacity),
        m_bytes(std::make_unique<unsigned char[]>(capacity)),
        m_pattern(std::make_unique<unsigned char[]>(capacity)) {
    std::memset(m_bytes.get(), FILL, capacity);
    std::memset(m_pattern.get(), FILL, capacity);
  }

  void ReadInto(const char* path) {
    int width = -1;
    int height = -1;
    ReadBmpFile(path, {m_bytes.get(), m_capacity}, width, height);

    if (width < 0 || height < 0) {
      std::abort();
    }
    const std::uint64_t bytes =
        std::uint64_t{static_cast<unsigned>(width)} * static_cast<unsigned>(height) * 3;
    if (bytes > m_capacity) {
      std::abort();
    }
    // A refusal, like an empty frame, may change the first byte but no other;
    // a frame read changes nothing past its pixel block.
    const std::size_t written = std::max<std::size_t>(bytes, 1);
    if (std::memcmp(m_bytes.get() + written, m_pattern.get() + written, m_capacity - written) !=
        0) {
      std::abort();
    }
    // Only what the read may have written is filled again.
    std::memset(m_bytes.get(), FILL, written);
  }

 private:
  std::size_t m_capacity;
  std::unique_ptr<unsigned char[]> m_bytes;
  std::unique_ptr<unsigned char[]> m_pattern;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The one input file of this process.
  static fuzz::ScratchFile input("input.bmp");
  input.Write(data, size);
  static FilledBuffer frame(FRAME_BYTES);
  static FilledBuffer tiny(TINY_BYTES);
  frame.ReadInto(input.Path().c_str());
  tiny.ReadInto(input.Path().c_str());
  return 0;
}
