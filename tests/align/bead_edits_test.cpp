// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/bead_edits.h"

#include <gtest/gtest.h>

namespace solandre {
namespace {

// Beads written "s:t" by their counts, for readable cases; they are laid
// one after the other from sentence 0.
std::vector<Bead> beads(const std::vector<std::pair<int, int>>& counts)
{
    std::vector<Bead> out;
    std::uint32_t s = 0, t = 0;
    for (const auto& [sc, tc] : counts) {
        out.push_back({s, std::uint32_t(sc), t, std::uint32_t(tc), 0.3f});
        s += std::uint32_t(sc);
        t += std::uint32_t(tc);
    }
    return out;
}

std::vector<std::pair<int, int>> shape(const std::vector<Bead>& beads)
{
    std::vector<std::pair<int, int>> out;
    for (const Bead& b : beads) out.emplace_back(int(b.sourceCount), int(b.targetCount));
    return out;
}

// Every sentence of both texts in one bead, in order; an empty side starts
// where its text stands, so that a later correction moves the right sentence.
void expectCovering(const std::vector<Bead>& beads, std::uint32_t sources, std::uint32_t targets)
{
    std::uint32_t s = 0, t = 0;
    for (size_t k = 0; k < beads.size(); ++k) {
        const Bead& b = beads[k];
        EXPECT_EQ(b.sourceFirst, s) << "bead " << k;
        EXPECT_EQ(b.targetFirst, t) << "bead " << k;
        EXPECT_GT(b.sourceCount + b.targetCount, 0u);
        s += b.sourceCount;
        t += b.targetCount;
    }
    EXPECT_EQ(s, sources);
    EXPECT_EQ(t, targets);
}

TEST(BeadEdits, EachCorrectionKeepsBothTextsCoveredInOrder)
{
    using Shape = std::vector<std::pair<int, int>>;
    struct Case {
        const char* name;
        Shape before;
        std::function<bool(std::vector<Bead>&)> edit;
        bool applies;
        Shape after;
    };
    const Case cases[] = {
        {"first source sentence back to the bead before", {{1, 1}, {2, 1}},
         [](auto& b) { return giveFirstToPrevious(b, 1, Side::Source); }, true, {{2, 1}, {1, 1}}},
        {"last target sentence on to the bead after", {{1, 2}, {1, 0}},
         [](auto& b) { return giveLastToNext(b, 0, Side::Target); }, true, {{1, 1}, {1, 1}}},
        {"into a bead with nothing on that side", {{1, 0}, {0, 1}},
         [](auto& b) { return giveLastToNext(b, 0, Side::Source); }, true, {{1, 1}}},
        {"a bead left empty goes", {{1, 1}, {0, 1}},
         [](auto& b) { return giveFirstToPrevious(b, 1, Side::Target); }, true, {{1, 2}}},
        {"no bead before the first", {{1, 1}, {1, 1}},
         [](auto& b) { return giveFirstToPrevious(b, 0, Side::Source); }, false, {{1, 1}, {1, 1}}},
        {"no bead after the last", {{1, 1}, {1, 1}},
         [](auto& b) { return giveLastToNext(b, 1, Side::Target); }, false, {{1, 1}, {1, 1}}},
        {"no sentence on that side", {{1, 1}, {0, 1}},
         [](auto& b) { return giveFirstToPrevious(b, 1, Side::Source); }, false, {{1, 1}, {0, 1}}},
        {"merge with the next", {{1, 1}, {1, 0}, {1, 1}},
         [](auto& b) { return mergeWithNext(b, 0); }, true, {{2, 1}, {1, 1}}},
        {"merge a missing translation with its neighbour", {{0, 1}, {1, 1}},
         [](auto& b) { return mergeWithNext(b, 0); }, true, {{1, 2}}},
        {"nothing after the last to merge", {{1, 1}},
         [](auto& b) { return mergeWithNext(b, 0); }, false, {{1, 1}}},
        {"merge a missing source with its neighbour", {{1, 1}, {1, 0}, {1, 1}},
         [](auto& b) { return mergeWithNext(b, 1); }, true, {{1, 1}, {2, 1}}},
        {"merge two missing translations", {{1, 1}, {1, 0}, {1, 0}, {1, 1}},
         [](auto& b) { return mergeWithNext(b, 1); }, true, {{1, 1}, {2, 0}, {1, 1}}},
        {"merge two sentences without a source", {{1, 1}, {0, 1}, {0, 1}, {1, 1}},
         [](auto& b) { return mergeWithNext(b, 1); }, true, {{1, 1}, {0, 2}, {1, 1}}},
        {"merge a missing translation with a missing source", {{1, 1}, {1, 0}, {0, 1}},
         [](auto& b) { return mergeWithNext(b, 1); }, true, {{1, 1}, {1, 1}}},
        {"merge a missing source with a missing translation", {{0, 1}, {1, 0}, {1, 1}},
         [](auto& b) { return mergeWithNext(b, 0); }, true, {{1, 1}, {1, 1}}},
        {"merge with a missing translation after it", {{1, 1}, {1, 0}},
         [](auto& b) { return mergeWithNext(b, 0); }, true, {{2, 1}}},
        {"the last target sentence leaves its bead empty on that side", {{1, 1}, {1, 1}, {1, 1}},
         [](auto& b) { return giveLastToNext(b, 1, Side::Target); }, true, {{1, 1}, {1, 0}, {1, 2}}},
        {"the first source sentence leaves its bead empty on that side", {{1, 1}, {1, 1}, {1, 1}},
         [](auto& b) { return giveFirstToPrevious(b, 1, Side::Source); }, true, {{2, 1}, {0, 1}, {1, 1}}},
        {"a sentence into a bead with nothing on that side, before", {{1, 0}, {1, 1}},
         [](auto& b) { return giveFirstToPrevious(b, 1, Side::Target); }, true, {{1, 1}, {1, 0}}},
        {"split 2:0 into 1:0 and 1:0", {{1, 1}, {2, 0}, {1, 1}},
         [](auto& b) { return split(b, 1); }, true, {{1, 1}, {1, 0}, {1, 0}, {1, 1}}},
        {"split 0:2 into 0:1 and 0:1", {{0, 2}, {1, 1}},
         [](auto& b) { return split(b, 0); }, true, {{0, 1}, {0, 1}, {1, 1}}},
        {"split 2:2 into 1:1 and 1:1", {{2, 2}},
         [](auto& b) { return split(b, 0); }, true, {{1, 1}, {1, 1}}},
        {"split 3:1 into 1:1 and 2:0", {{1, 1}, {3, 1}},
         [](auto& b) { return split(b, 1); }, true, {{1, 1}, {1, 1}, {2, 0}}},
        {"a 1:1 bead does not split", {{1, 1}},
         [](auto& b) { return split(b, 0); }, false, {{1, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Bead> b = beads(c.before);
        std::uint32_t sources = 0, targets = 0;
        for (const auto& [s, t] : c.before) sources += std::uint32_t(s), targets += std::uint32_t(t);
        EXPECT_EQ(c.edit(b), c.applies);
        EXPECT_EQ(shape(b), c.after);
        expectCovering(b, sources, targets);
        for (const Bead& bead : b) EXPECT_TRUE(bead.confidence == 1.0f || bead.confidence == 0.3f);
    }
}

TEST(BeadEdits, AnEditedBeadIsSure)
{
    std::vector<Bead> b = beads({{1, 1}, {2, 1}, {1, 1}});
    ASSERT_TRUE(giveFirstToPrevious(b, 1, Side::Source));
    EXPECT_EQ(b[0].confidence, 1.0f);
    EXPECT_EQ(b[1].confidence, 1.0f);
    EXPECT_EQ(b[2].confidence, 0.3f);
}

// The doubt rule: what the user has not looked at and is not one to one, or
// is unsure; never what the user has shaped, whatever its shape.
TEST(BeadEdits, ABeadTheUserShapedIsNoLongerDoubtful)
{
    struct Case {
        const char* name;
        Bead bead;
        bool doubtful;
    };
    const Case cases[] = {
        {"1:1, sure", {0, 1, 0, 1, 0.9f}, false},
        {"1:1, unsure", {0, 1, 0, 1, 0.2f}, true},
        {"2:1 from the aligner, however sure", {0, 2, 0, 1, 1.0f}, true},
        {"1:0 from the aligner", {0, 1, 0, 0, 0.9f}, true},
        {"2:1 shaped by the user", {0, 2, 0, 1, 1.0f, true}, false},
        {"0:1 shaped by the user", {0, 0, 0, 1, 1.0f, true}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(isDoubtful(c.bead), c.doubtful) << c.name;

    // A merge leaves a 2:1 bead, which the next "Siguiente dudoso" passes.
    std::vector<Bead> b = beads({{1, 1}, {1, 0}, {1, 1}});
    ASSERT_TRUE(isDoubtful(b[1]));
    ASSERT_TRUE(mergeWithNext(b, 1));
    EXPECT_FALSE(isDoubtful(b[1]));
    EXPECT_TRUE(isDoubtful(beads({{2, 1}})[0]));
}

} // namespace
} // namespace solandre
