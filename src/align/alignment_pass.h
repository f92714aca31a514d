// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One pass of the aligner: the model it scores beads with, and the search for
// the best path in a band that widens where the path presses against it.
//
// The first pass knows only the texts: surface keys, anchors, the shapes'
// usual shares and Gale and Church's spread of lengths; how reliably each word
// turns up in its counterpart it measures near the line of anchors. Each later
// pass learns from the path of the one before: a dictionary from its sure 1:1
// beads, the spread of lengths and the shapes' shares of these texts, and the
// words' reliability in its beads.

#include "align/bead.h"
#include "align/alignment_dp.h"
#include "align/band.h"
#include "align/bead_model.h"
#include "align/lexical_evidence.h"
#include "align/lexical_keys.h"
#include "align/progress_span.h"
#include "align/reliability.h"
#include "align/text_features.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace solandre::align {

struct Texts {
    FormTable forms;
    SideText source, target;
};

class PassModel {
public:
    // `line`: a rough column for each row, near which the first pass measures
    // how reliably words turn up in their counterparts; `ratio`: of the texts'
    // lengths.
    PassModel(const Texts& texts, const std::vector<double>& line, double ratio);
    PassModel(const Texts& texts, const std::vector<Bead>& previous);
    PassModel(const PassModel&) = delete; // the bead model points into it
    PassModel& operator=(const PassModel&) = delete;

    const BeadModel& beadModel() const { return model_; }

private:
    void countKeys(const Texts& texts);
    // `tallyOf(side)`: how often each form of that side's text found its keys
    // in its counterparts.
    void buildEvidence(const Texts& texts, const std::function<FormTally(int)>& tallyOf);

    FormKeys keys_;
    std::vector<std::uint32_t> sourceFrequency_, targetFrequency_;
    SideEvidence sourceEvidence_, targetEvidence_;
    BeadModel model_;
};

// The best path in `band`, with each bead's posterior probability as its
// confidence; nullopt when cancelled. Where the path runs along the band's
// edge, the band widens there by multiples of halfWidth[row]; the band keeps
// the scores of its last rows for the sweeps after its first. `tables` is
// working memory.
std::optional<std::vector<Bead>> alignInBand(const BeadModel& model, Band band,
                                             std::vector<std::uint32_t> halfWidth, DpTables& tables,
                                             const ProgressSpan& progress);

// Columns later bands reach either side of the path before.
inline constexpr std::uint32_t kLaterHalfWidth = 6;

// The band a later pass sweeps: around the path of the pass before, reaching
// as far as the path spreads in each row and `margin` columns more, which
// halfWidth receives.
Band bandAlong(const std::vector<Bead>& path, std::uint32_t rows, std::uint32_t columns, std::uint32_t margin,
               std::vector<std::uint32_t>& halfWidth);

// The best path in a band around `center` reaching halfWidth[row] either
// side, widened as alignInBand widens it; its beads are left without
// confidences (tables.total still holds the log of all its paths' summed
// scores).
std::optional<std::vector<Bead>> alignAround(const BeadModel& model,
                                             const std::vector<double>& center,
                                             const std::vector<std::uint32_t>& halfWidth,
                                             std::uint32_t columns, DpTables& tables,
                                             const ProgressSpan& progress);

} // namespace solandre::align
