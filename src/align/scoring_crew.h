// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bead scores of a block of rows, made by this thread and a second one:
// whichever is free takes the next few rows, so the second thread scores the
// next block while this one sweeps the last, and neither waits for the
// other. A score does not depend on which thread made it.

#include "align/band.h"
#include "align/bead_model.h"
#include "align/kept_scores.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace solandre::align {

class ScoringCrew {
public:
    // Rows `kept` holds are copied from there, and those it has room for
    // kept there once scored.
    ScoringCrew(const Band& band, const BeadModel& model, KeptScores* kept = nullptr);
    ~ScoringCrew();
    ScoringCrew(const ScoringCrew&) = delete;
    ScoringCrew& operator=(const ScoringCrew&) = delete;

    // Hands the rows [first, end) to the second thread; `out` receives their
    // cells' scores, kShapeCount a cell, from the first cell of row `first`.
    void start(std::uint32_t first, std::uint32_t end, float* out);
    // Scores rows of the block started last on this thread too, and returns
    // once every row of it is scored.
    void finish();

private:
    void scoreShare(BeadScorer& scorer);
    void serve();

    const Band& band_;
    const BeadModel& model_;
    KeptScores* kept_;
    TargetRuns runs_;
    BeadScorer here_;

    // The block under way.
    std::uint32_t first_ = 0, end_ = 0;
    float* out_ = nullptr;
    std::atomic<std::uint32_t> next_{0};
    std::atomic<std::uint32_t> done_{0};
    std::atomic<bool> stopping_{false};

    std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t block_ = 0; // blocks handed over
    bool busy_ = false;       // the second thread is taking rows
    bool quit_ = false;
    std::exception_ptr failure_; // of the second thread
    std::thread worker_;
};

} // namespace solandre::align
