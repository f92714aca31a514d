// SPDX-License-Identifier: GPL-3.0-or-later
// A sweep of a widened band taken up where the band first changed finds what
// a sweep from scratch finds, to the last bit; so does one that copies the
// scores an earlier sweep kept.
#include "align/alignment_dp.h"
#include "align/alignment_pass.h"
#include "align/scoring_crew.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

using namespace solandre;
using namespace solandre::align;

namespace {

// Texts long enough for many blocks, whose words render each other, with a
// sentence merged here and there.
struct LongPair {
    std::vector<std::string> source, target;
    Texts texts;
    std::unique_ptr<PassModel> model;

    explicit LongPair(std::size_t sentences)
    {
        std::mt19937 random(11);
        for (std::size_t k = 0; k < sentences; ++k) {
            std::string s, t;
            const std::size_t words = 3 + random() % 12;
            for (std::size_t w = 0; w < words; ++w) {
                const auto word = std::to_string(random() % 4000);
                s += (w ? " w" : "W") + word;
                t += (w ? " m" : "M") + word + (random() % 3 ? "" : " de");
            }
            source.push_back(s + ".");
            if (k % 97 == 5 && !target.empty())
                target.back() += " " + t + ".";
            else
                target.push_back(t + ".");
        }
        std::vector<std::string_view> sourceViews(source.begin(), source.end());
        std::vector<std::string_view> targetViews(target.begin(), target.end());
        texts.source = readSide(sourceViews, texts.forms);
        texts.target = readSide(targetViews, texts.forms);
        std::vector<double> diagonal(source.size() + 1);
        for (std::size_t row = 0; row <= source.size(); ++row)
            diagonal[row] = double(row) * double(target.size()) / double(source.size());
        model = std::make_unique<PassModel>(texts, diagonal, 1.0);
    }

    std::uint32_t rows() const { return static_cast<std::uint32_t>(source.size()); }
    std::uint32_t columns() const { return static_cast<std::uint32_t>(target.size()); }

    // Around the diagonal, `narrow` columns either side before row `from`
    // and `wide` from there on (up to row `until`).
    Band band(std::uint32_t from, std::uint32_t narrow, std::uint32_t wide,
              std::uint32_t until = UINT32_MAX) const
    {
        std::vector<double> diagonal(rows() + 1);
        std::vector<std::uint32_t> halfWidth(rows() + 1);
        for (std::uint32_t row = 0; row <= rows(); ++row) {
            diagonal[row] = double(row) * columns() / rows();
            halfWidth[row] = row < from || row >= until ? narrow : wide;
        }
        return bandAround(diagonal, halfWidth, columns());
    }
};

struct Sweep {
    std::vector<Bead> path;
    double bestScore = 0, total = 0;
};

Sweep sweep(const Band& band, const BeadModel& model, DpTables& tables, std::uint32_t unchangedRows,
            KeptScores* kept = nullptr)
{
    const Progress none;
    bool cancelled = false;
    const ProgressSpan span(none, cancelled, 0, 1);
    Sweep result;
    result.path = bestPath(band, model, tables, span, unchangedRows, kept).value();
    result.bestScore = tables.bestScore;
    result.total = tables.total;
    EXPECT_TRUE(setConfidences(band, model, tables, result.path, span, kept));
    return result;
}

std::uint32_t firstChange(const Band& a, const Band& b)
{
    std::uint32_t row = 0;
    while (row <= a.lastRow() && a.lo(row) == b.lo(row) && a.hi(row) == b.hi(row))
        ++row;
    return row;
}

struct WideningCase {
    const char* name;
    std::uint32_t widenedFrom; // in thousandths of the rows
    std::uint32_t narrow, wide;
};

class TakenUp : public testing::TestWithParam<WideningCase> {};

void expectSame(const Sweep& a, const Sweep& b)
{
    EXPECT_EQ(a.bestScore, b.bestScore);
    EXPECT_EQ(a.total, b.total);
    ASSERT_EQ(a.path.size(), b.path.size());
    for (std::size_t k = 0; k < b.path.size(); ++k) {
        ASSERT_EQ(a.path[k].sourceFirst, b.path[k].sourceFirst) << k;
        ASSERT_EQ(a.path[k].targetFirst, b.path[k].targetFirst) << k;
        ASSERT_EQ(a.path[k].sourceCount, b.path[k].sourceCount) << k;
        ASSERT_EQ(a.path[k].targetCount, b.path[k].targetCount) << k;
        ASSERT_EQ(a.path[k].confidence, b.path[k].confidence) << k;
    }
}

TEST_P(TakenUp, SameBeadsSumsAndConfidencesAsFromScratch)
{
    static const LongPair pair(3000);
    const BeadModel& model = pair.model->beadModel();
    const std::uint32_t from = pair.rows() * GetParam().widenedFrom / 1000;
    const Band before = pair.band(from, GetParam().narrow, GetParam().narrow);
    const Band after = pair.band(from, GetParam().narrow, GetParam().wide);

    DpTables kept;
    sweep(before, model, kept, 0);
    const Sweep takenUp = sweep(after, model, kept, firstChange(before, after));
    DpTables fresh;
    const Sweep anew = sweep(after, model, fresh, 0);

    expectSame(takenUp, anew);
}

// Scores kept from the band before the widening serve only rows whose beads
// start as they did: a row just after widened ones has new beads, and scores
// made for the old band would leave them out. Some rooms hold the whole
// band, some only its last rows; some widenings run to the end, some only
// over a few rows.
TEST_P(TakenUp, SameWithScoresKeptFromTheBandBefore)
{
    static const LongPair pair(3000);
    const BeadModel& model = pair.model->beadModel();
    const std::uint32_t from = pair.rows() * GetParam().widenedFrom / 1000;
    const Band before = pair.band(from, GetParam().narrow, GetParam().narrow);
    for (const std::uint32_t until : {UINT32_MAX, from + 20}) {
        const Band after = pair.band(from, GetParam().narrow, GetParam().wide, until);
        DpTables fresh;
        const Sweep anew = sweep(after, model, fresh, 0);
        for (const std::size_t room : {before.cells() * 3, before.cells() / 3}) {
            SCOPED_TRACE(testing::Message() << "widened up to row " << until << ", room for " << room);
            KeptScores kept(room);
            DpTables tables;
            sweep(before, model, tables, 0, &kept);
            expectSame(sweep(after, model, tables, firstChange(before, after), &kept), anew);
            // And the same band swept again.
            expectSame(sweep(after, model, tables, pair.rows() + 1, &kept), anew);
        }
    }
}

// Every score copied from those kept for the band before a widening is the
// score made afresh for the widened band, to the bit; rows whose beads may
// now start elsewhere (the widened ones and the three after them) are made
// afresh.
TEST(KeptScores, CopiedOnlyWhereTheBeadsStartAsBefore)
{
    static const LongPair pair(3000);
    const BeadModel& model = pair.model->beadModel();
    const Band before = pair.band(0, 3, 3);
    const Band after = pair.band(1000, 3, 40, 1020);
    auto scoresOf = [&](const Band& band, KeptScores* kept) {
        std::vector<float> scores(band.cells() * kShapeCount);
        ScoringCrew crew(band, model, kept);
        crew.start(0, band.lastRow() + 1, scores.data());
        crew.finish();
        return scores;
    };
    KeptScores kept(before.cells());
    scoresOf(before, &kept);
    EXPECT_TRUE(scoresOf(after, &kept) == scoresOf(after, nullptr));

    const std::uint32_t changed = firstChange(before, after);
    ASSERT_GT(changed, 900u);
    EXPECT_NE(kept.find(after, changed - 1), nullptr);
    EXPECT_EQ(kept.find(after, changed), nullptr);
    std::uint32_t same = 1020;
    while (after.lo(same) != before.lo(same) || after.hi(same) != before.hi(same))
        ++same;
    for (std::uint32_t row = same; row < same + kMaxBeadSide; ++row)
        EXPECT_EQ(kept.find(after, row), nullptr) << row;
    EXPECT_NE(kept.find(after, same + kMaxBeadSide), nullptr);
}

// A narrow band of a long text keeps every cell's forward sum for the
// confidences; a wider one sweeps forward again. Where the two bands agree
// and the path keeps inside both, so do the sums that decide its beads.
TEST(KeptForwardSums, SameConfidencesAsSweptAgain)
{
    const LongPair pair(80000);
    const BeadModel& model = pair.model->beadModel();
    const Band narrow = pair.band(0, 6, 6); // about 13 cells a row: kept
    ASSERT_GE(narrow.cells(), std::size_t{1} << 20);
    DpTables tables;
    const Sweep kept = sweep(narrow, model, tables, 0);
    EXPECT_TRUE(tables.keptForward);
    // The same band with the sums swept again: its tables told they were not kept.
    const Progress none;
    bool cancelled = false;
    const ProgressSpan span(none, cancelled, 0, 1);
    Sweep again;
    again.path = bestPath(narrow, model, tables, span).value();
    again.bestScore = tables.bestScore;
    again.total = tables.total;
    tables.keptForward = false;
    ASSERT_TRUE(setConfidences(narrow, model, tables, again.path, span));
    expectSame(kept, again);
}

const WideningCase kWidenings[] = {
    {"FromTheStart", 0, 3, 8},
    {"NearTheStart", 40, 3, 8},
    {"InTheMiddle", 500, 3, 8},
    {"InTheLastBlocks", 990, 3, 8},
    {"NowhereAtAll", 1000, 4, 4},
    // Blocks are a share of the band: wider, it splits otherwise.
    {"IntoOtherBlocks", 300, 3, 80},
};

INSTANTIATE_TEST_SUITE_P(Bands, TakenUp, testing::ValuesIn(kWidenings),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
