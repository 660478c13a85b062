#pragma once
// The system's clocks, read in one place: the window and the report tool hand the same
// functions to the code that needs the time.
#include <cstdint>

// The current local date and time (days since 30 December 1899), to the second.
double NowLocal();
// Milliseconds of a monotonic clock; CLOCK_MONOTONIC counts from boot, so far above 0.
std::uint64_t MonotonicMilliseconds();
