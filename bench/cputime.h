// The benchmarks time both sides of a ratio on the thread's own CPU clock, so
// that other work on a shared machine does not tilt it.
#pragma once

#include <ctime>

inline double cpuSeconds()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}
