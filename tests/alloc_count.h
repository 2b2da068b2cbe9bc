// Counts heap allocations made through operator new, for tests that bound them.
#pragma once

#include <cstddef>

namespace alloc_count {
// Allocations made since the program started.
std::size_t total();
}  // namespace alloc_count
