// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/coarse_line.h"
#include "align/first_band.h"

#include <gtest/gtest.h>

#include <random>

using namespace solandre;
using namespace solandre::align;

namespace {

// Two long texts known by their sentences' lengths alone (so nothing anchors
// them), whose true path strays far from the diagonal in the middle: one text
// has sentences of its own early on, the other as many late.
struct DriftingTexts {
    SideText source, target;
    std::vector<std::uint32_t> column; // the true path's column at each source row
};

SideText lengthsOnly(std::vector<std::uint32_t> lengths)
{
    SideText text;
    text.formBegin.assign(lengths.size() + 1, 0);
    text.length = std::move(lengths);
    return text;
}

DriftingTexts drifting(std::uint32_t sentences, std::uint32_t drift, bool targetGainsEarly)
{
    std::mt19937 random(5);
    std::vector<std::uint32_t> source, target, column;
    auto extraSource = [&] {
        column.push_back(static_cast<std::uint32_t>(target.size()));
        source.push_back(20 + random() % 180);
    };
    auto extraTarget = [&] { target.push_back(20 + random() % 180); };
    const std::uint32_t early = sentences / 5, late = sentences - sentences / 5;
    const std::uint32_t every = early / drift;
    for (std::uint32_t k = 0; k < sentences; ++k) {
        if (k < early && k % every == 0 && k / every < drift)
            targetGainsEarly ? extraTarget() : extraSource();
        if (k >= late && (k - late) % every == 0 && (k - late) / every < drift)
            targetGainsEarly ? extraSource() : extraTarget();
        const std::uint32_t length = 20 + random() % 180;
        column.push_back(static_cast<std::uint32_t>(target.size()));
        source.push_back(length);
        target.push_back(length + random() % 9);
    }
    column.push_back(static_cast<std::uint32_t>(target.size()));
    return {lengthsOnly(std::move(source)), lengthsOnly(std::move(target)), std::move(column)};
}

struct DriftCase {
    const char* name;
    std::uint32_t sentences, drift;
    bool targetGainsEarly; // else the source
};

// The drift stays inside the band the diagonal would have far from anchors
// unless the texts are long; long texts are looked at in big blocks first.
const DriftCase kDrifts[] = {
    {"LongTextsTargetGainsEarly", 200000, 70, true},
    {"LongTextsSourceGainsEarly", 200000, 70, false},
    {"ShortTextsFarDrift", 20000, 150, true},
};

class Drifting : public testing::TestWithParam<DriftCase> {};

TEST_P(Drifting, CoarseLinePlacedWithinAFewSentences)
{
    const DriftingTexts texts = drifting(GetParam().sentences, GetParam().drift, GetParam().targetGainsEarly);
    ASSERT_EQ(texts.column.size(), texts.source.size() + 1);
    DpTables tables;
    bool cancelled = false;
    const Progress none;
    const auto coarse =
        coarseLine(texts.source, texts.target, tables, ProgressSpan(none, cancelled, 0, 1));
    ASSERT_TRUE(coarse.has_value());
    EXPECT_LE(coarse->block, 8u);
    std::size_t off = 0;
    for (std::size_t r = 0; r < texts.column.size(); ++r)
        off += std::abs(coarse->line[r] - texts.column[r]) > 2.0 * coarse->block;
    EXPECT_LT(off, texts.column.size() / 100);
}

TEST_P(Drifting, FirstBandHoldsThePathWithoutAnchors)
{
    const DriftingTexts texts = drifting(GetParam().sentences, GetParam().drift, GetParam().targetGainsEarly);
    DpTables tables;
    bool cancelled = false;
    const Progress none;
    const auto coarse =
        coarseLine(texts.source, texts.target, tables, ProgressSpan(none, cancelled, 0, 1));
    ASSERT_TRUE(coarse.has_value());
    const auto rows = static_cast<std::uint32_t>(texts.source.size());
    const FirstBand first =
        firstBand({}, *coarse, rows, static_cast<std::uint32_t>(texts.target.size()));
    // Where blocks misplace the line a little, the path presses against the
    // band's edge and the band widens there; it must not miss the path for
    // long.
    std::size_t outside = 0;
    for (std::uint32_t r = 0; r <= rows; ++r)
        outside += !first.band.contains(r, texts.column[r]);
    EXPECT_LE(outside, rows / 1000);
    // No wider than the band along a straight line far from anchors.
    EXPECT_LE(first.band.cells(), std::size_t{81} * (rows + 1));
}

INSTANTIATE_TEST_SUITE_P(Texts, Drifting, testing::ValuesIn(kDrifts),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
