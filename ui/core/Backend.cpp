#include "ui/core/Backend.h"

#include <cstdio>
#include <cstdlib>

namespace ui {
namespace {
Backend* g_backend = nullptr;
}

Backend& CurrentBackend() {
  if (g_backend == nullptr) {
    // A program or test that opens a window without choosing a backend is
    // broken; say so plainly instead of dereferencing nothing.
    std::fputs("korvane: no window backend has been set up\n", stderr);
    std::abort();
  }
  return *g_backend;
}

void SetBackend(Backend* backend) {
  g_backend = backend;
}

void YieldTimeSlice() {
  if (g_backend != nullptr)
    g_backend->Yield();
}

}  // namespace ui
