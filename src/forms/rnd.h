// The program's one pseudo-random sequence: never seeded, so every run repeats it.
#pragma once

#include <cstdint>

#include "forms/types.h"

namespace forms {

class RandomSequence {
 public:
  // Next value, uniform in [0, 1), with 24 bits of precision.
  Single Next() {
    state_ = (state_ * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
    return static_cast<Single>(state_) / 16777216.0f;
  }

 private:
  std::uint32_t state_ = 0x50000;
};

}  // namespace forms
