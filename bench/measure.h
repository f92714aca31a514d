// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one measure of every benchmark: a piece of work's wall-clock time and
// the peak of resident memory it reached.

#include <chrono>

namespace solandre::bench {

// Seconds of wall-clock time spent in `work`.
template <class F> double timeIt(F&& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The peak of the process's resident memory since the last reset, in MB
// (Linux: VmHWM, reset through /proc/self/clear_refs); 0 where unknown.
void resetPeakMemory();
double peakMemoryMb();
double currentMemoryMb();
// What the process holds beyond the pages of mapped files (which the system
// may take back at any time): its own memory.
double currentAnonymousMemoryMb();

struct Figure {
    double seconds;
    double peakMb;
};

template <class F> Figure measure(F&& work)
{
    resetPeakMemory();
    const double seconds = timeIt(work);
    return {seconds, peakMemoryMb()};
}

} // namespace solandre::bench
