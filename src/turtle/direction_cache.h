// DirectionCache: the direction of recently used headings, keyed by the heading's bits.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "turtle_state.h"

// A walk meets few distinct headings (51 in the million-symbol figure), so most segments can
// reuse a direction instead of computing sine and cosine again. The same bits give the same
// direction, so a hit is exactly what TurtleState::direction would return.
class DirectionCache {
 public:
  DirectionCache() {
    const Slot zero{0, TurtleState::direction(0.0f)};  // heading +0.0 has bits 0
    slots.fill(zero);
  }

  const Direction& of(float heading) {
    uint32_t bits;
    std::memcpy(&bits, &heading, sizeof bits);
    // Headings differ in their high mantissa bits; the multiply spreads them over the index.
    Slot& slot = slots[(bits * 0x9E3779B1u) >> (32 - kIndexBits)];
    if (slot.bits != bits) slot = {bits, TurtleState::direction(heading)};
    return slot.direction;
  }

 private:
  static constexpr int kIndexBits = 8;  // 256 slots: 280 misses per walk of that figure
  struct Slot {
    uint32_t bits;
    Direction direction;
  };
  std::array<Slot, std::size_t{1} << kIndexBits> slots;
};
