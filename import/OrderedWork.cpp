#include "import/OrderedWork.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace cli {
namespace {

struct Slot {
  std::vector<std::uint8_t> buffer;
  std::optional<std::string> failure;
  bool ready = false;
};

class Shared {
 public:
  Shared(int count, int window) : m_count(count), m_window(window), m_slots(window) {}

  // The next item for a worker to make, or nothing when there is none left
  // or the run stops. Waits while the window ahead of the user is full.
  std::optional<int> Take() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_stop || m_next >= m_count || m_next < m_used + m_window; });
    if (m_stop || m_next >= m_count)
      return std::nullopt;
    return m_next++;
  }

  Slot& SlotOf(int index) { return m_slots[static_cast<std::size_t>(index % m_window)]; }

  void Made(int index, std::optional<std::string> failure) {
    const std::lock_guard lock(m_mutex);
    Slot& slot = SlotOf(index);
    slot.failure = std::move(failure);
    slot.ready = true;
    m_changed.notify_all();
  }

  // Waits until item index is made; the slot is then the caller's until
  // Release.
  Slot& Await(int index) {
    std::unique_lock lock(m_mutex);
    Slot& slot = SlotOf(index);
    m_changed.wait(lock, [&] { return slot.ready; });
    return slot;
  }

  void Release(int index) {
    const std::lock_guard lock(m_mutex);
    SlotOf(index).ready = false;
    m_used = index + 1;
    m_changed.notify_all();
  }

  void Stop() {
    const std::lock_guard lock(m_mutex);
    m_stop = true;
    m_changed.notify_all();
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  const int m_count;
  const int m_window;
  std::vector<Slot> m_slots;
  int m_next = 0;  // the next item to make
  int m_used = 0;  // items used so far
  bool m_stop = false;
};

void Work(Shared& shared, const MakeItem& make) {
  while (const std::optional<int> index = shared.Take()) {
    std::optional<std::string> failure;
    try {
      failure = make(*index, shared.SlotOf(*index).buffer);
    } catch (const std::exception& error) {
      failure = error.what();
    }
    shared.Made(*index, std::move(failure));
  }
}

}  // namespace

std::optional<ItemFailure> MakeAndUseInOrder(int count, int jobs, const MakeItem& make,
                                             const UseItem& use) {
  if (count <= 0)
    return std::nullopt;
  jobs = std::clamp(jobs, 1, count);
  Shared shared(count, jobs * kItemsAheadPerJob);
  std::optional<ItemFailure> failure;
  {
    std::vector<std::jthread> workers;
    for (int j = 0; j < jobs; ++j)
      workers.emplace_back([&] { Work(shared, make); });
    // Stops the workers before they are joined, on every way out: those still
    // making items finish the one in hand and take no other.
    const struct StopOnExit {
      Shared& shared;
      ~StopOnExit() { shared.Stop(); }
    } stopOnExit{shared};
    for (int index = 0; index < count && !failure; ++index) {
      Slot& slot = shared.Await(index);
      if (slot.failure)
        failure = ItemFailure{index, *slot.failure};
      else if (auto reason = use(index, slot.buffer))
        failure = ItemFailure{index, std::move(*reason)};
      shared.Release(index);
    }
  }
  return failure;
}

}  // namespace cli
