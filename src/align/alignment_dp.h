// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dynamic programme over the band: the best-scoring path of beads from
// corner to corner (Viterbi), and how probable each of its beads is among all
// paths (forward-backward, in log space). Every bead's score is computed once,
// half of the band on each core, and both directions read them.

#include "align/band.h"
#include "align/bead_model.h"
#include "align/progress_span.h"

#include <cstdint>
#include <vector>

namespace solandre::align {

// The tables of one band, kept from pass to pass so that their memory is
// taken from the system once.
struct DpTables {
    // Per cell, kShapeCount scores of the beads ending there; -infinity where
    // a bead would start outside the band.
    std::vector<float> scores;
    std::vector<double> best, forward, backward; // per cell, logs
    std::vector<std::uint8_t> shapeTo;           // per cell, the best bead's shape
};

// Fills scores; false when cancelled. `before`, if given, is a band inside
// this one whose scores under the same model the tables hold: its rows are
// taken over where they and the three before them are unchanged.
bool scoreBand(const Band& band, const BeadModel& model, DpTables& tables, const Band* before,
               const ProgressSpan& progress);

// The best path; fills best, forward (the log of the summed scores of all paths
// to each cell) and shapeTo. Confidences are not yet set.
std::vector<Bead> bestPath(const Band& band, DpTables& tables);

// Fills backward: the log of the summed scores of all paths from each cell to
// the end.
void sumPathsToEnd(const Band& band, DpTables& tables);

// Sets each bead of the path to its posterior probability.
void setConfidences(const Band& band, const DpTables& tables, std::vector<Bead>& path);

} // namespace solandre::align
