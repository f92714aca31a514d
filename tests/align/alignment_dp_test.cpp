// SPDX-License-Identifier: GPL-3.0-or-later
// A sweep of a widened band taken up where the band first changed finds what
// a sweep from scratch finds, to the last bit.
#include "align/alignment_dp.h"
#include "align/alignment_pass.h"

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
    // and `wide` from there on.
    Band band(std::uint32_t from, std::uint32_t narrow, std::uint32_t wide) const
    {
        std::vector<double> diagonal(rows() + 1);
        std::vector<std::uint32_t> halfWidth(rows() + 1);
        for (std::uint32_t row = 0; row <= rows(); ++row) {
            diagonal[row] = double(row) * columns() / rows();
            halfWidth[row] = row < from ? narrow : wide;
        }
        return bandAround(diagonal, halfWidth, columns());
    }
};

struct Sweep {
    std::vector<Bead> path;
    double bestScore = 0, total = 0;
};

Sweep sweep(const Band& band, const BeadModel& model, DpTables& tables, std::uint32_t unchangedRows)
{
    const Progress none;
    bool cancelled = false;
    const ProgressSpan span(none, cancelled, 0, 1);
    Sweep result;
    result.path = bestPath(band, model, tables, span, unchangedRows).value();
    result.bestScore = tables.bestScore;
    result.total = tables.total;
    EXPECT_TRUE(setConfidences(band, model, tables, result.path, span));
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

    EXPECT_EQ(takenUp.bestScore, anew.bestScore);
    EXPECT_EQ(takenUp.total, anew.total);
    ASSERT_EQ(takenUp.path.size(), anew.path.size());
    for (std::size_t k = 0; k < anew.path.size(); ++k) {
        const Bead& a = takenUp.path[k];
        const Bead& b = anew.path[k];
        ASSERT_EQ(a.sourceFirst, b.sourceFirst) << k;
        ASSERT_EQ(a.targetFirst, b.targetFirst) << k;
        ASSERT_EQ(a.sourceCount, b.sourceCount) << k;
        ASSERT_EQ(a.targetCount, b.targetCount) << k;
        ASSERT_EQ(a.confidence, b.confidence) << k;
    }
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
