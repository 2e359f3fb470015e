#include "AllocationCount.h"

#include <cstdlib>
#include <new>

namespace {

int g_allocations = 0;
bool g_counting = false;

}  // namespace

void alloc_test::StartCounting() {
  g_allocations = 0;
  g_counting = true;
}

int alloc_test::StopCounting() {
  g_counting = false;
  return g_allocations;
}

void* operator new(std::size_t size) {
  g_allocations += g_counting ? 1 : 0;
  if (void* memory = std::malloc(size == 0 ? 1 : size))
    return memory;
  throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
