// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <string>

namespace solandre::bench {

// About `bytes` of Spanish-looking Windows-1252 prose: accents, ¿? and ¡!,
// abbreviations, numbers, quotes and line breaks, reproducible from `seed`.
std::string generateText(size_t bytes, unsigned seed = 1);

// The same kind of prose over a vocabulary of about `forms` made-up words of
// syllables, drawn with Zipf-like frequencies as in real texts.
std::string generateRichText(size_t bytes, size_t forms, unsigned seed = 1);

// Seconds of wall-clock time spent in `work`.
template <class F> double timeIt(F&& work);

} // namespace solandre::bench

#include <chrono>
template <class F> double solandre::bench::timeIt(F&& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

namespace solandre::bench {

// About `bytes` of sentences of made-up words of random letters, nearly
// every one distinct: the worst case of a vocabulary.
std::string generateManyFormsText(size_t bytes, unsigned seed = 1);

// The peak of the process's resident memory since the last reset, in MB
// (Linux: VmHWM, reset through /proc/self/clear_refs); 0 where unknown.
void resetPeakMemory();
double peakMemoryMb();
double currentMemoryMb();

} // namespace solandre::bench

namespace solandre::bench {

// A piece of work's time and the peak memory it reached.
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
