// The interpreter's pseudo-random generator: one per process, starting from
// a fixed seed so that runs repeat until RANDOMIZA seeds it from the clock.
#pragma once

#include <cstdint>

namespace kal {

struct InterpreterState;

// A number r with 0 <= r < bound (0 when bound is 0 or less).
uint32_t RandomBelow(InterpreterState& in, uint32_t bound);
void SeedRandomFromClock(InterpreterState& in);

}  // namespace kal
