// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dynamic programme over the band: the best-scoring path of beads from
// corner to corner (Viterbi), and how probable each of its beads is among all
// paths (forward-backward, in log space).
//
// A band of a long text holds hundreds of millions of bead scores, too many
// to keep them all: the band is swept in blocks of rows, each block's scores
// made just before they are read (or copied from those kept of its last
// rows), by this thread and a second one. The forward sweep keeps one byte a
// cell (the best bead's shape) and the forward sums of the rows before each
// block; the backward sweep makes each block's scores and forward sums again
// from there.

#include "align/band.h"
#include "align/bead_model.h"
#include "align/kept_scores.h"
#include "align/progress_span.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace solandre::align {

// Working memory of the sweeps, kept from pass to pass so that it is taken
// from the system once; and what the last forward sweep found.
struct DpTables {
    std::vector<std::uint8_t> shapeTo; // per cell, the best bead's shape ending there
    std::vector<std::uint32_t> blockStart;  // rows, one more than blocks
    std::vector<double> checkpoints;        // forward sums of the rows before each block
    std::vector<double> bestCheckpoints;    // and their best paths' scores
    std::vector<std::size_t> checkpointStart;
    std::vector<float> scores[3];           // of one block each
    std::vector<double> best, forward, backward; // of the rows around one block
    // Every cell's forward sum, kept by the forward sweep of a narrow band
    // given no kept scores, so that the confidences need not sweep forward
    // again.
    std::vector<double> everyForward;
    bool keptForward = false;

    double bestScore = 0; // of the best path, a log
    double total = 0;     // the log of the summed scores of all paths
};

// The best path (confidences not yet set); nullopt when cancelled. When the
// tables hold the last sweep of a band with the same model whose first
// `unchangedRows` rows are those of this one, the sweep takes up from there:
// the sums of those rows cannot differ. `kept`, when given, holds scores of
// rows made with the same model, and keeps those it has room for.
std::optional<std::vector<Bead>> bestPath(const Band& band, const BeadModel& model, DpTables& tables,
                                          const ProgressSpan& progress, std::uint32_t unchangedRows = 0,
                                          KeptScores* kept = nullptr);

// Sets each bead of the path bestPath has just found, in the same band with
// the same tables, to its posterior probability; false when cancelled.
bool setConfidences(const Band& band, const BeadModel& model, DpTables& tables, std::vector<Bead>& path,
                    const ProgressSpan& progress, KeptScores* kept = nullptr);

} // namespace solandre::align
