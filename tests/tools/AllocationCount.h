#pragma once
// Counts what is allocated through operator new between Start and Stop. The
// test program replaces the global operator new for this (in its own file,
// so no other code sees the replacement's insides).

namespace alloc_test {

void StartCounting();
// Stops counting and returns the allocations since StartCounting.
int StopCounting();

}  // namespace alloc_test
