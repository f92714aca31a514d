// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/aligner.h"

#include "align/alignment_pass.h"
#include "align/anchors.h"
#include "align/band.h"
#include "align/coarse_line.h"
#include "align/first_band.h"
#include "align/side_by_side.h"

#include <algorithm>

namespace solandre {

namespace {

using namespace align;

// Passes in all: each after the first learns from the one before; a third
// still gains a little over the second.
constexpr int kPasses = 3;

std::vector<Bead> oneSided(std::size_t count, bool source)
{
    std::vector<Bead> beads(count);
    for (std::size_t k = 0; k < count; ++k) {
        Bead& bead = beads[k];
        (source ? bead.sourceFirst : bead.targetFirst) = static_cast<std::uint32_t>(k);
        (source ? bead.sourceCount : bead.targetCount) = 1;
    }
    return beads;
}

Texts readTexts(const std::vector<std::string_view>& source,
                const std::vector<std::string_view>& target)
{
    Texts texts;
    FormTable targetForms;
    sideBySide([&] { texts.target = readSide(target, targetForms); },
               [&] { texts.source = readSide(source, texts.forms); });
    absorbForms(texts.forms, targetForms, texts.target);
    texts.forms.compact();
    return texts;
}

} // namespace

std::optional<std::vector<Bead>> alignSentences(const std::vector<std::string_view>& source,
                                                const std::vector<std::string_view>& target,
                                                const Progress& progress)
{
    if (progress && !progress(0.0)) return std::nullopt;
    if (source.empty() || target.empty()) {
        if (progress && !progress(1.0)) return std::nullopt;
        return source.empty() ? oneSided(target.size(), false) : oneSided(source.size(), true);
    }
    bool cancelled = false;
    const ProgressSpan whole(progress, cancelled, 0.0, 1.0);
    const auto rows = static_cast<std::uint32_t>(source.size());
    const auto columns = static_cast<std::uint32_t>(target.size());

    const Texts texts = readTexts(source, target);
    if (!whole.at(0.05)) return std::nullopt;

    // A first look: pairs of sentences sharing a rare name or number, and the
    // texts aligned by blocks of sentences.
    DpTables tables;
    const std::vector<Anchor> anchors = findAnchors(texts.source, texts.target, texts.forms);
    const std::optional<CoarseLine> blocks =
        coarseLine(texts.source, texts.target, tables, whole.part(0.05, 0.1));
    if (!blocks) return std::nullopt;

    // First pass: in a band along both.
    std::optional<std::vector<Bead>> path;
    {
        const PassModel first(texts, anchorCenter(anchors, rows, columns), blocks->ratio);
        FirstBand band = firstBand(anchors, *blocks, rows, columns);
        path = alignInBand(first.beadModel(), std::move(band.band), std::move(band.halfWidth),
                           tables, whole.part(0.1, 0.45));
    }
    // Later passes: in a narrower band along the path before.
    for (int pass = 2; path && pass <= kPasses; ++pass) {
        const double from = 0.45 + 0.55 * (pass - 2) / (kPasses - 1);
        const double to = 0.45 + 0.55 * (pass - 1) / (kPasses - 1);
        // Building a model is when a pass needs most memory: the sweeps'
        // tables are given back, to be taken again for the pass.
        tables = {};
        const PassModel learned(texts, *path);
        if (!whole.at(from)) return std::nullopt;
        // The band holds all the pass needs of the path before.
        std::vector<std::uint32_t> halfWidth;
        Band band = bandAlong(*path, rows, columns, kLaterHalfWidth, halfWidth);
        path.reset();
        path = alignInBand(learned.beadModel(), std::move(band), std::move(halfWidth), tables,
                           whole.part(from, to));
    }
    if (!path || !whole.at(1.0)) return std::nullopt;
    return path;
}

} // namespace solandre
