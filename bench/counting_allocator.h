// Counts every heap allocation the process makes, so a benchmark can show a code path
// makes none.
#pragma once

#include <cstdint>

namespace bench {
std::uint64_t Allocations();
}
