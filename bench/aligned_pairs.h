// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text pairs for the aligner's benchmarks, reproducible from a seed, with the
// beads they were made of; and the score of an alignment against them.

#include "align/bead.h"

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace solandre::bench {

using Sides = std::pair<std::vector<std::uint32_t>, std::vector<std::uint32_t>>;

struct Score {
    double precision = 0, recall = 0, f1 = 0;
};

// Beads with an empty side count neither as found nor as expected.
Score score(const std::vector<Bead>& found, const std::set<Sides>& expected);

struct GeneratedPair {
    std::vector<std::string> source, target;
    std::set<Sides> gold;
};

// Sentence pairs of a made-up language pair with, at 2% each, a source or
// target sentence dropped, two target sentences merged, or one split in two;
// and a passage of 300 source sentences, 40% into the text, left untranslated.
GeneratedPair generatePair(std::size_t sentences, std::uint32_t seed);

std::vector<std::string_view> views(const std::vector<std::string>& lines);

} // namespace solandre::bench
