// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/anchors.h"
#include "align/band.h"
#include "align/coarse_line.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace solandre;
using namespace solandre::align;

namespace {

void expectUsable(const Band& band, std::uint32_t rows, std::uint32_t columns)
{
    ASSERT_EQ(band.lastRow(), rows);
    EXPECT_EQ(band.lastColumn(), columns);
    EXPECT_TRUE(band.contains(0, 0));
    EXPECT_TRUE(band.contains(rows, columns));
    std::size_t cells = 0;
    for (std::uint32_t row = 0; row <= rows; ++row) {
        cells += band.hi(row) - band.lo(row) + 1;
        if (row == 0) continue;
        EXPECT_GE(band.lo(row), band.lo(row - 1)) << row;
        EXPECT_GE(band.hi(row), band.hi(row - 1)) << row;
        EXPECT_LE(band.lo(row), band.hi(row - 1)) << "rows " << row << " and before do not meet";
    }
    EXPECT_EQ(band.cells(), cells);
}

TEST(Band, MonotoneAndConnectedWhateverTheCentre)
{
    struct Case {
        const char* name;
        std::vector<double> center;
        std::uint32_t halfWidth, columns;
    };
    const Case cases[] = {
        {"Diagonal", {0, 1, 2, 3, 4, 5}, 1, 5},      {"Steep", {0, 40, 80, 120}, 2, 120},
        {"Flat", {0, 0, 0, 0, 0, 0, 0, 1}, 1, 1},    {"Backwards", {0, 9, 2, 8, 1, 10}, 1, 10},
        {"OutsideTheGrid", {-5, -5, 50, 50}, 3, 20}, {"NoWidth", {0, 1, 2, 3}, 0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::uint32_t> halfWidth(c.center.size(), c.halfWidth);
        expectUsable(bandAround(c.center, halfWidth, c.columns),
                     static_cast<std::uint32_t>(c.center.size() - 1), c.columns);
    }
}

TEST(Band, PathAlongAnInnerEdgeIsReported)
{
    const Band band = bandAround({0, 1, 2, 3, 4, 5, 6}, std::vector<std::uint32_t>(7, 3), 6);
    std::vector<Bead> diagonal, hugging;
    for (std::uint32_t k = 0; k < 6; ++k)
        diagonal.push_back({k, 1, k, 1, 1.0f});
    EXPECT_TRUE(rowsNearEdge(band, diagonal, 1).empty());
    // Three target sentences first: row 0 at column 3 is the band's inner edge.
    hugging = {{0, 0, 0, 3, 1.0f}, {0, 3, 3, 3, 1.0f}, {3, 3, 6, 0, 1.0f}};
    const std::vector<std::uint32_t> near = rowsNearEdge(band, hugging, 1);
    EXPECT_EQ(near, std::vector<std::uint32_t>({0}));
}

TEST(Band, PathRowsCentreOnWhatThePathVisits)
{
    const std::vector<Bead> path = {{0, 1, 0, 1, 1.0f}, {1, 0, 1, 4, 1.0f}, {1, 2, 5, 1, 1.0f}};
    const PathRows rows = pathRows(path, 3);
    EXPECT_EQ(rows.center, std::vector<double>({0, 3, 5.5, 6}));
    EXPECT_EQ(rows.extent, std::vector<double>({0, 2, 0, 0}));
}

std::vector<std::pair<std::uint32_t, std::uint32_t>>
anchorPairs(const std::vector<std::string>& sourceLines,
            const std::vector<std::string>& targetLines)
{
    FormTable forms;
    const SideText source = readSide({sourceLines.begin(), sourceLines.end()}, forms);
    const SideText target = readSide({targetLines.begin(), targetLines.end()}, forms);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;
    for (const Anchor& anchor : findAnchors(source, target, forms))
        pairs.emplace_back(anchor.source, anchor.target);
    return pairs;
}

TEST(Anchors, WordsAsRareInBothTextsPairTheirSentencesInOrder)
{
    // "Bravo" twice in each text pairs first with first and second with
    // second; "Delta" and "Hotel" appear more often in one text than in the
    // other; "Echo" is too short to tell.
    const auto pairs = anchorPairs(
        {"Alpha", "Bravo", "x", "Charlie 1956", "Delta", "Bravo", "Hotel", "Echo", "Foxtrot"},
        {"Alpha", "Bravo", "y", "Charlie", "Delta", "Delta", "1956", "Bravo", "Foxtrot Hotel",
         "Hotel", "Echo"});
    EXPECT_EQ(pairs, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{
                         {0, 0}, {1, 1}, {3, 3}, {5, 7}, {8, 8}}));
}

TEST(Anchors, LonePairingFarOffTheLineIsDropped)
{
    std::vector<std::string> source(60, "x"), target(60, "y");
    for (int k = 0; k < 60; ++k)
        if (k < 10 || k >= 50) source[k] = target[k] = std::to_string(1000 + k);
    source[20] = "Zulu";
    target[48] = "Zulu";
    const auto pairs = anchorPairs(source, target);
    EXPECT_EQ(pairs.size(), 20u);
    for (const auto& [s, t] : pairs)
        EXPECT_EQ(s, t);
}

TEST(Anchors, CentreRunsStraightBetweenAnchors)
{
    const std::vector<double> center = anchorCenter({{4, 6}, {5, 7}}, 9, 10);
    EXPECT_DOUBLE_EQ(center[0], 0);
    EXPECT_DOUBLE_EQ(center[5], 7); // halfway between (4.5, 6.5) and (5.5, 7.5)
    EXPECT_DOUBLE_EQ(center[9], 10);
}

TEST(CoarseLine, FollowsAPassageMissingFromTheTargetByLengthsAlone)
{
    // Sentences of random lengths; the target has none for source 300..499.
    std::mt19937 random(2);
    std::vector<std::string> source, target;
    for (int k = 0; k < 1000; ++k) {
        const std::size_t length = 20 + random() % 180;
        source.push_back(std::string(length, 'a'));
        if (k < 300 || k >= 500) target.push_back(std::string(length + random() % 5, 'b'));
    }
    FormTable forms;
    const SideText sourceText = readSide({source.begin(), source.end()}, forms);
    const SideText targetText = readSide({target.begin(), target.end()}, forms);
    DpTables tables;
    bool cancelled = false;
    const Progress none;
    const auto coarse =
        coarseLine(sourceText, targetText, tables, ProgressSpan(none, cancelled, 0, 1));
    ASSERT_TRUE(coarse.has_value());
    ASSERT_EQ(coarse->line.size(), 1001u);
    for (const auto& [row, column] : {std::pair{100, 100}, {400, 300}, {520, 320}, {800, 600}})
        EXPECT_NEAR(coarse->line[row], column, 2.0 * coarse->block) << "row " << row;
    EXPECT_NEAR(coarse->ratio, 1.02, 0.01); // not the 0.8 of the totals
}

TEST(Anchors, BandReachesFurtherFarFromAnchors)
{
    const std::vector<std::uint32_t> width = anchorHalfWidth(rowsFromAnchors({{50, 50}}, 200), 4);
    EXPECT_EQ(width[0], 4u);
    EXPECT_EQ(width[50], 4u);
    EXPECT_EQ(width[200], 4u);
    EXPECT_EQ(width[125], 4u + 8u); // 75 rows from either: sqrt(75)
    EXPECT_GT(width[125], width[100]);
}

} // namespace
