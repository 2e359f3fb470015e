#pragma once
// Work items made on several threads and used in order on the calling one:
// the importers decode frames on every core and write them one after the
// other.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cli {

// How many items each thread may make ahead of the one in use.
inline constexpr int kItemsAheadPerJob = 4;

// Fills the buffer for item `index`; returns why it cannot, or nothing.
using MakeItem = std::function<std::optional<std::string>(int index, std::vector<std::uint8_t>&)>;
// Uses item `index`; returns why it cannot, or nothing.
using UseItem =
    std::function<std::optional<std::string>(int index, const std::vector<std::uint8_t>&)>;

struct ItemFailure {
  int index = 0;
  std::string reason;
};

// Makes items 0 to count − 1 on `jobs` threads (at least one) and uses them
// in order on the calling thread, at most a few items per thread ahead of the
// one in use. The first failure in item order, of making or of using, stops
// the run: no later item is used. `make` must be safe to call from several
// threads at once; an exception it throws counts as its failure.
std::optional<ItemFailure> MakeAndUseInOrder(int count, int jobs, const MakeItem& make,
                                             const UseItem& use);

}  // namespace cli
