#include "AllocationCount.h"

#include <cstdlib>
#include <new>

namespace {

int g_allocations = 0;
bool g_counting = false;

}  // namespace

namespace alloc_test {

void StartCounting() {
  g_allocations = 0;
  g_counting = true;
}

int StopCounting() {
  g_counting = false;
  return g_allocations;
}

}  // namespace alloc_test

void* operator new(std::size_t size) {
  if (g_counting)
    ++g_allocations;
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
