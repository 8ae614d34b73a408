// A heap block from the runtime's malloc, freed with the runtime's free.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/crt.h"

namespace platform {

struct FreeWithRuntime {
  void operator()(void* block) const noexcept { crt::free(block); }
};

template <typename T>
using RuntimeBlock = std::unique_ptr<T, FreeWithRuntime>;

// Null when the runtime has no memory for `bytes`.
template <typename T>
RuntimeBlock<T> allocate(std::size_t bytes) noexcept {
  return RuntimeBlock<T>(static_cast<T*>(crt::malloc(bytes)));
}

}  // namespace platform
