#include "review/ReviewPipeline.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include "import/OrderedWork.h"
#include "review/Painting.h"

namespace review {
namespace {

// Lets the makers of a sequential source's frames read in list order, one
// at a time: position p reads after position p - 1 has read (or failed).
// Every position of the list is taken by some maker, in increasing order,
// so the one before is always under way.
class Turns {
 public:
  void Await(int position) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_next == position; });
  }
  void Pass() {
    const std::lock_guard lock(m_mutex);
    ++m_next;
    m_changed.notify_all();
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  int m_next = 0;
};

// Holds the turn while it lives, and passes it on every way out.
class Turn {
 public:
  Turn(Turns* turns, int position) : m_turns(turns) {
    if (m_turns != nullptr)
      m_turns->Await(position);
  }
  ~Turn() {
    if (m_turns != nullptr)
      m_turns->Pass();
  }
  Turn(const Turn&) = delete;
  Turn& operator=(const Turn&) = delete;

 private:
  Turns* m_turns;
};

}  // namespace

std::optional<PipelineFailure> RunPipeline(FrameSource& source, std::span<const int> frames,
                                           PipelineSize size, int jobs, const PaintFrame& paint,
                                           const EncodeFrame& encode, const FramesDone& done) {
  if (frames.empty())
    return std::nullopt;
  const int sourceWidth = source.Width();
  const int sourceHeight = source.Height();
  if (size.width < sourceWidth || size.height < sourceHeight || sourceWidth < 1 || sourceHeight < 1)
    return PipelineFailure{0, frames.front(), "the frames are smaller than the source's pictures"};
  const std::size_t bytes =
      static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height) * 3;
  // Each thread keeps a few frames ahead; threads beyond what the memory
  // bound leaves room for would only hold more frames, not make them faster.
  const auto roomFor = static_cast<int>(std::clamp<std::size_t>(
      kMaxFramesBytes / (bytes * static_cast<std::size_t>(cli::kItemsAheadPerJob)), 1, 1024));
  jobs = std::clamp(jobs, 1, roomFor);
  Turns turns;
  Turns* const order = source.Sequential() ? &turns : nullptr;

  const cli::MakeItem make = [&](int position,
                                 std::vector<std::uint8_t>& buffer) -> std::optional<std::string> {
    const int index = frames[static_cast<std::size_t>(position)];
    {
      const Turn turn(order, position);
      // A buffer is used again for later frames; the part beside and below
      // the source's picture is made black again each time.
      buffer.resize(bytes);
      const Canvas canvas{buffer, size.width, size.height};
      if (auto problem = source.Read(index, canvas))
        return problem;
      FillRect(canvas, {sourceWidth, 0, size.width, sourceHeight}, {});
      FillRect(canvas, {0, sourceHeight, size.width, size.height}, {});
    }
    paint(index, Canvas{buffer, size.width, size.height});
    return std::nullopt;
  };
  int encoded = 0;
  const cli::UseItem use = [&](int, const std::vector<std::uint8_t>& buffer) {
    std::optional<std::string> problem = encode(buffer);
    if (!problem && done)
      done(++encoded);
    return problem;
  };
  const int count = static_cast<int>(frames.size());
  if (auto failure = cli::MakeAndUseInOrder(count, jobs, make, use))
    return PipelineFailure{failure->index, frames[static_cast<std::size_t>(failure->index)],
                           std::move(failure->reason)};
  return std::nullopt;
}

}  // namespace review
