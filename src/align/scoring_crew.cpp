// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/scoring_crew.h"

#include <algorithm>
#include <system_error>

namespace solandre::align {

namespace {

// Rows taken at once: consecutive rows share most of their sentence pairs'
// matches, which a scorer keeps.
constexpr std::uint32_t kRowsAtOnce = 32;

} // namespace

ScoringCrew::ScoringCrew(const Band& band, const BeadModel& model, KeptScores* kept)
    : band_(band), model_(model), kept_(kept), runs_(model), here_(model, band, runs_)
{
    if (kept_) kept_->offer(band_);
    try {
        worker_ = std::thread([this] { serve(); });
    } catch (const std::system_error&) {
        // No second thread: this one scores every row.
    }
}

ScoringCrew::~ScoringCrew()
{
    stopping_ = true;
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
}

void ScoringCrew::start(std::uint32_t first, std::uint32_t end, float* out)
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !busy_; });
    first_ = first;
    end_ = end;
    out_ = out;
    next_ = first;
    done_ = 0;
    ++block_;
    busy_ = worker_.joinable() && !failure_;
    lock.unlock();
    changed_.notify_all();
}

void ScoringCrew::finish()
{
    scoreShare(here_);
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return done_ == end_ - first_ || failure_; });
    if (failure_) std::rethrow_exception(failure_);
}

void ScoringCrew::scoreShare(BeadScorer& scorer)
{
    const std::size_t base = band_.index(first_, band_.lo(first_));
    while (!stopping_) {
        const std::uint32_t from = next_.fetch_add(kRowsAtOnce);
        if (from >= end_ || from < first_) return;
        const std::uint32_t to = std::min(end_, from + kRowsAtOnce);
        for (std::uint32_t i = from; i < to; ++i) {
            float* out = out_ + (band_.index(i, band_.lo(i)) - base) * kShapeCount;
            const float* held = kept_ ? kept_->find(band_, i) : nullptr;
            if (held) {
                std::copy(held, held + std::size_t{band_.hi(i) - band_.lo(i) + 1} * kShapeCount, out);
                continue;
            }
            scorer.scoreRow(i, out);
            if (kept_) kept_->keep(band_, i, out);
        }
        if (done_.fetch_add(to - from) + (to - from) == end_ - first_) {
            std::lock_guard lock(mutex_);
            changed_.notify_all();
        }
    }
}

void ScoringCrew::serve()
{
    std::unique_lock lock(mutex_);
    try {
        BeadScorer scorer(model_, band_, runs_);
        std::uint64_t seen = 0;
        for (;;) {
            changed_.wait(lock, [&] { return quit_ || block_ != seen; });
            if (quit_) return;
            seen = block_;
            lock.unlock();
            scoreShare(scorer);
            lock.lock();
            busy_ = false;
            changed_.notify_all();
        }
    } catch (...) {
        if (!lock.owns_lock()) lock.lock();
        failure_ = std::current_exception();
        busy_ = false;
        changed_.notify_all();
    }
}

} // namespace solandre::align
