// Counts every call into the C heap (malloc, calloc, realloc, aligned allocations):
// operator new and the C libraries alike, so a bench shows a path calls none.
#pragma once

#include <cstdint>

namespace bench {
std::uint64_t MallocCalls();
}
