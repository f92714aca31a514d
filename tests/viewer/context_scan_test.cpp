#include "support/temp_files.h"
#include "viewer/context_scan.h"
#include "viewer/reference_context.h"

#include <gtest/gtest.h>
#include <random>

namespace solandre {
namespace {

using testing::cp1252;

const std::string kText = "[1] Uno.\r\n[2] Dos,\r\nen dos l\xEDneas.\r\n[3] Tres.\r\n";

TEST(ScanForMarker, FirstMiddleAndLastRecords)
{
    struct Case {
        const char* marker;
        const char* record;
        const char* previous;
        const char* next;
    };
    const Case cases[] = {
        {"[1]", "[1] Uno.\r\n", "[1]", "[2]"},
        {"[2]", "[2] Dos,\r\nen dos l\xEDneas.\r\n", "[1]", "[3]"},
        {"[3]", "[3] Tres.\r\n", "[2]", "[3]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.marker);
        const ContextScan scan = scanForMarker(kText, c.marker);
        EXPECT_TRUE(scan.found);
        EXPECT_EQ(scan.record, c.record);
        EXPECT_EQ(scan.previous, c.previous);
        EXPECT_EQ(scan.next, c.next);
    }
}

TEST(ScanForMarker, MissingMarkersAndLookalikes)
{
    const ContextScan beyond = scanForMarker(kText, "[4]");
    EXPECT_FALSE(beyond.found);
    EXPECT_EQ(beyond.record, "");
    EXPECT_EQ(beyond.previous, "[3]"); // the last complete marker
    EXPECT_FALSE(beyond.next);

    // "[1]" is not a prefix match of "[12]".
    const ContextScan twelve = scanForMarker("[1] a.\r\n[12] b.\r\n", "[12]");
    EXPECT_EQ(twelve.record, "[12] b.\r\n");
    EXPECT_EQ(twelve.previous, "[1]");

    EXPECT_FALSE(scanForMarker("", "[1]").found);
    EXPECT_FALSE(scanForMarker("sin marcas.", "[1]").found);
}

TEST(ScanForMarker, AgreesWithTheStepByStepScanOnRandomTexts)
{
    std::mt19937 random(42);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    const char* pieces[] = {"[", "]", "1", "2", "12", " ", "a", "\r\n", "[1]", "[2] ", "[12]", "x y."};
    const char* markers[] = {"[1]", "[2]", "[12]", "[", "[1", "", "[1]]", "]"};
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (size_t k = pick(30); k > 0; --k) text += pieces[pick(std::size(pieces))];
        const std::string marker = markers[pick(std::size(markers))];
        reference::ViewerState expected{"old pane", "old previous", "old next"};
        reference::scanInto(expected, text, marker);

        const ContextScan scan = scanForMarker(text, marker);
        reference::ViewerState actual{"old pane", "old previous", "old next"};
        if (scan.found) actual.pane = scan.record;
        if (scan.previous) actual.previous = *scan.previous;
        if (scan.next) actual.next = *scan.next;
        ASSERT_EQ(actual.pane, expected.pane) << "text: " << text << " marker: " << marker;
        ASSERT_EQ(actual.previous, expected.previous) << "text: " << text << " marker: " << marker;
        ASSERT_EQ(actual.next, expected.next) << "text: " << text << " marker: " << marker;
    }
}

TEST(WordsToMark, WholeWordsInAnyCaseNeverPartsOfLongerWords)
{
    using Marks = std::vector<std::pair<size_t, size_t>>;
    struct Case { const char* name; const char* text; Marks marks; };
    const Case cases[] = {
        {"every spelling", "casa CASA Casa casas Casablanca.", {{0, 4}, {5, 4}, {10, 4}}},
        {"the criterion ending a longer word", "lacasa casa.", {{7, 4}}},
        {"the criterion starting a longer word", "casas casa.", {{6, 4}}},
        {"the criterion inside a longer word", "encasado.", {}},
        {"split by a sign", "la×casa÷casa.", {{3, 4}, {8, 4}}},
    };
    for (const Case& c : cases) EXPECT_EQ(wordsToMark(cp1252(c.text), "Casa"), c.marks) << c.name;
}

TEST(WordsToMark, AccentsMatterAndTheLastWordNeedsAFollower)
{
    EXPECT_EQ(wordsToMark(cp1252("él dijo ÉL."), cp1252("él")).size(), 2u);
    EXPECT_TRUE(wordsToMark(cp1252("el él"), cp1252("él")).empty()); // "él" ends the text
    EXPECT_EQ(wordsToMark("l'eau, eau.", "eau"),
              (std::vector<std::pair<size_t, size_t>>{{2, 3}, {7, 3}}));
    EXPECT_TRUE(wordsToMark("a  b.", "").empty());
}

TEST(WordsToMark, BeyondSixteenBitOffsets)
{
    const std::string text = std::string(40000, ' ') + "casa.";
    EXPECT_EQ(wordsToMark(text, "casa"), (std::vector<std::pair<size_t, size_t>>{{40000, 4}}));
}

} // namespace
} // namespace solandre
