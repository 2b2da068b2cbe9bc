// Counts heap allocations made through operator new, and can make one of them fail.
#pragma once

#include <cstddef>

namespace alloc_count {
// Allocations made since the program started.
std::size_t total();
// The nth allocation from now on (1 is the next one) throws std::bad_alloc; 0 fails none.
void failAt(std::size_t n);
}  // namespace alloc_count
