// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer's two texts, opened at once: each side ends as it would alone,
// a failure is told in the order of the sides, and a stop stops both.
#include "viewer/viewed_pair.h"

#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

namespace solandre {
namespace {

using testing::TempDir;

struct Case {
    const char* name;
    bool source, target;             // named
    bool sourceExists, targetExists; // on disk
    int failures;
};

class ViewedPairOpening : public ::testing::TestWithParam<Case> {};

TEST_P(ViewedPairOpening, EachSideEndsAsItWouldAlone)
{
    const Case& c = GetParam();
    TempDir dir;
    if (c.sourceExists) dir.write("s.txt", "[1] Una casa.\r\n[2] Dos.\r\n");
    if (c.targetExists) dir.write("c.txt", "[1] Une maison.\r\n[2] Deux.\r\n");
    ViewedPair pair;
    ASSERT_TRUE(openViewedPair(c.source ? dir.path("s.txt") : QString(), c.target ? dir.path("c.txt") : QString(),
                               pair));
    EXPECT_EQ(pair.source.named, c.source);
    EXPECT_EQ(pair.target.named, c.target);
    EXPECT_EQ(pair.source.readable, c.source && c.sourceExists);
    EXPECT_EQ(pair.target.readable, c.target && c.targetExists);
    ASSERT_EQ(pair.failures.size(), c.failures);
    if (c.failures == 2) {
        EXPECT_TRUE(pair.failures[0].contains("s.txt")) << pair.failures[0].toStdString();
        EXPECT_TRUE(pair.failures[1].contains("c.txt")) << pair.failures[1].toStdString();
    }
    if (pair.source.readable) EXPECT_EQ(pair.source.records.find("[2]").record, "[2] Dos.\r\n");
    if (pair.target.readable) EXPECT_EQ(pair.target.records.find("[1]").record, "[1] Une maison.\r\n");
}

INSTANTIATE_TEST_SUITE_P(Sides, ViewedPairOpening,
                         ::testing::Values(Case{"BothRead", true, true, true, true, 0},
                                           Case{"SourceAlone", true, false, true, false, 0},
                                           Case{"TranslationAlone", false, true, false, true, 0},
                                           Case{"TranslationMissing", true, true, true, false, 1},
                                           Case{"BothMissingToldSourceFirst", true, true, false, false, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

// A translation that is not numbered has no sentence of any number to show:
// the user is told why its pane stays empty, once, when the texts open.
struct TranslationCase {
    const char* name;
    const char* bytes;
    bool told;
};

class TranslationNumbering : public ::testing::TestWithParam<TranslationCase> {};

TEST_P(TranslationNumbering, ATranslationNotNumberedIsTold)
{
    const TranslationCase& c = GetParam();
    TempDir dir;
    dir.write("s.txt", "[1] Una casa.\r\n");
    const QString target = dir.write("c.txt", c.bytes);
    ViewedPair pair;
    ASSERT_TRUE(openViewedPair(dir.path("s.txt"), target, pair));
    EXPECT_TRUE(pair.target.readable);
    ASSERT_EQ(pair.failures.size(), c.told ? 1 : 0);
    if (c.told) {
        EXPECT_TRUE(pair.failures[0].contains(target)) << pair.failures[0].toStdString();
        EXPECT_TRUE(pair.failures[0].contains("no parece un texto numerado")) << pair.failures[0].toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Translations, TranslationNumbering,
                         ::testing::Values(TranslationCase{"Numbered", "[1] Une maison.\r\n", false},
                                           TranslationCase{"NumberedWithAByteOrderMark",
                                                           "\xEF\xBB\xBF[1] Une maison.\r\n", false},
                                           TranslationCase{"PlainText", "Une maison. Deux.\n", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A stop asked while the records are found ends the opening as stopped,
// whether it reaches the side on the caller's thread or the other one.
TEST(ViewedPairOpening, AStopStopsTheOpening)
{
    TempDir dir;
    std::string text;
    for (int k = 1; k <= 20000; ++k) text += "[" + std::to_string(k) + "] Frase.\r\n";
    dir.write("s.txt", text);
    dir.write("c.txt", text);
    for (const int stopAt : {1, 2}) {
        std::atomic<int> calls{0};
        ViewedPair pair;
        EXPECT_FALSE(openViewedPair(dir.path("s.txt"), dir.path("c.txt"), pair,
                                    [&](double) { return ++calls < stopAt; }))
            << "stopped at call " << stopAt;
    }
}

} // namespace
} // namespace solandre
