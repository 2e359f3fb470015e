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

// The non-throwing form too (the standard library's temporary buffers use
// it), so every block freed below came from this malloc.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  g_allocations += g_counting ? 1 : 0;
  return std::malloc(size == 0 ? 1 : size);
}

void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
  std::free(memory);
}
