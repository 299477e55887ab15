#pragma once

#include <cstdint>

// The most memory this process has held at once so far, in KiB; 0 where the system does
// not tell.
std::int64_t PeakMemoryKiB();
