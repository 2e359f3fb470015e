#pragma once
// Counts the allocations made through operator new while counting is on. The
// test program replaces the global operator new for this in a file of its
// own, so that no other code sees the replacement's insides.

namespace alloc_test {

void StartCounting();
// Stops counting and returns the allocations since StartCounting.
int StopCounting();

}  // namespace alloc_test
