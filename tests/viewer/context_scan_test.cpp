// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/temp_files.h"
#include "viewer/context_scan.h"
#include "viewer/record_table.h"
#include "viewer/reference_context.h"

#include <algorithm>
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

using Marks = std::vector<std::pair<qsizetype, qsizetype>>;

TEST(WordsToMark, WholeWordsInAnyCaseNeverPartsOfLongerWords)
{
    struct Case { const char* name; const char* text; Marks marks; };
    const Case cases[] = {
        {"every spelling", "casa CASA Casa casas Casablanca.", {{0, 4}, {5, 4}, {10, 4}}},
        {"the criterion ending a longer word", "lacasa casa.", {{7, 4}}},
        {"the criterion starting a longer word", "casas casa.", {{6, 4}}},
        {"the criterion inside a longer word", "encasado.", {}},
        {"split by a sign", "la×casa÷casa.", {{3, 4}, {8, 4}}},
    };
    for (const Case& c : cases) EXPECT_EQ(wordsToMark(QString::fromUtf8(c.text), u"Casa"), c.marks) << c.name;
}

TEST(WordsToMark, AccentsMatterAndTheLastWordNeedsAFollower)
{
    EXPECT_EQ(wordsToMark(u"él dijo ÉL.", u"él").size(), 2u);
    EXPECT_TRUE(wordsToMark(u"el él", u"él").empty()); // "él" ends the text
    EXPECT_EQ(wordsToMark(u"l'eau, eau.", u"eau"), (Marks{{2, 3}, {7, 3}}));
    EXPECT_TRUE(wordsToMark(u"a  b.", u"").empty());
}

TEST(WordsToMark, CharactersOfEveryScriptInPanePositions)
{
    struct Case { const char* name; const char* text; const char* criterion; Marks marks; };
    const Case cases[] = {
        {"final sigma", "ΣΟΦΌΣ σοφός.", "Σοφός", {{0, 5}, {6, 5}}},
        {"Œ in any case", "Œuvre, œuvre.", "œuvre", {{0, 5}, {7, 5}}},
        {"Polish", "ŁÓDŹ łódź", "Łódź", {{0, 4}}},
        {"a character outside the first plane counts two positions", "😀 casa.", "casa", {{3, 4}}},
        // "कि" is "क" and a vowel sign, which belongs to the word.
        {"Devanagari signs belong to their word", "किताब क.", "क", {{6, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(wordsToMark(QString::fromUtf8(c.text), QString::fromUtf8(c.criterion)), c.marks);
        EXPECT_EQ(reference::marks(QString::fromUtf8(c.text), QString::fromUtf8(c.criterion)), c.marks);
    }
}

TEST(WordsToMark, RealSentencesOfManyScriptsMarkTheWordAsItStands)
{
    struct Case { const char* name; const char* pane; const char* criterion; Marks marks; };
    const Case cases[] = {
        {"Hindi", "[1] भारत एक बड़ा देश है।", "भारत", {{4, 4}}},
        {"Hindi with a nukta", "[1] भारत एक बड़ा देश है।", "बड़ा", {{12, 4}}},
        {"Arabic with vowel marks", "[1] ذَهَبَ الوَلَدُ إِلَى المَدْرَسَةِ.", "الوَلَدُ", {{11, 8}}},
        {"Hebrew with points", "[1] בָּרָא אֱלֹהִים.", "אֱלֹהִים", {{11, 8}}},
        // Decomposed in the pane, composed as typed: the marking covers the
        // five characters as they stand.
        {"Vietnamese decomposed", "[1] Tie\u0302\u0301ng Vi\u1EC7t.", "tiếng", {{4, 7}}},
        {"Chinese", "[1] 我爱中国人民。", "中国", {{6, 2}}},
        {"Chinese, the end of a run", "[1] 我爱中国。", "中国", {{6, 2}}},
        {"Japanese", "[1] 私は日本語を勉強しています。", "日本語", {{6, 3}}},
        {"Thai", "[1] ฉันรักภาษาไทย.", "ภาษา", {{10, 4}}},
        {"a word cut off by the end of the pane is not tested", "[1] 我爱中国", "中国", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString pane = QString::fromUtf8(c.pane), criterion = QString::fromUtf8(c.criterion);
        EXPECT_EQ(wordsToMark(pane, criterion), c.marks);
        EXPECT_EQ(reference::marks(pane, criterion), c.marks);
    }
}

TEST(WordsToMark, BeyondSixteenBitOffsets)
{
    const QString text = QString(40000, ' ') + "casa.";
    EXPECT_EQ(wordsToMark(text, u"casa"), (Marks{{40000, 4}}));
}

TEST(RecordTable, RegularTextsFoundByPlaceAsTheScanFindsThem)
{
    const std::string text = "[1] Uno.\r\n[2] Dos,\r\nen dos líneas.\r\n[3] Tres.\r\n";
    const RecordTable table = *RecordTable::build(text);
    EXPECT_TRUE(table.regular());
    EXPECT_EQ(table.records(), 3u);
    for (const char* marker : {"[1]", "[2]", "[3]", "[4]", "[0]", "[01]", "[", "", "[2", "2]"}) {
        SCOPED_TRACE(marker);
        const ContextScan fast = table.find(marker);
        const ContextScan whole = scanForMarker(text, marker);
        EXPECT_EQ(fast.found, whole.found);
        EXPECT_EQ(fast.record, whole.record);
        EXPECT_EQ(fast.previous, whole.previous);
        EXPECT_EQ(fast.next, whole.next);
    }
}

TEST(RecordTable, OtherTextsAreScannedWholeWithTheSameResults)
{
    struct Case { const char* name; const char* text; };
    const Case cases[] = {
        {"a repeated marker", "[1] a.\r\n[2] b.\r\n[1] c.\r\n"},
        {"a gap", "[1] a.\r\n[3] b.\r\n"},
        {"a stray closing bracket", "[1] a] b.\r\n[2] c.\r\n"},
        {"letters in a marker", "[1a] a.\r\n[2] b.\r\n"},
        {"a preamble with a bracket", "x] [1] a.\r\n"},
        {"no marker at all", "uno dos."},
        {"an unclosed marker", "[1] a.\r\n[2 b."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RecordTable table = *RecordTable::build(c.text);
        EXPECT_FALSE(table.regular() && std::string_view(c.text).find('[') != std::string_view::npos &&
                     std::string(c.name) != "no marker at all");
        for (const char* marker : {"[1]", "[2]", "[3]", "[1a]", "[", ""}) {
            const ContextScan fast = table.find(marker);
            const ContextScan whole = scanForMarker(c.text, marker);
            EXPECT_EQ(fast.found, whole.found) << marker;
            EXPECT_EQ(fast.record, whole.record) << marker;
            EXPECT_EQ(fast.previous, whole.previous) << marker;
            EXPECT_EQ(fast.next, whole.next) << marker;
        }
    }
}

TEST(RecordTable, BigTextsReadInTwoHalvesAsInOne)
{
    // Over 8 MB a text is read in two halves at once; a fault in either, or
    // a number that does not follow on between them, makes it irregular.
    std::string regular;
    const std::string sentence = "Una frase de prueba bastante larga para llenar la linea.\r\n";
    for (size_t k = 1; regular.size() < (size_t(9) << 20); ++k) regular += "[" + std::to_string(k) + "] " + sentence;
    const size_t records = size_t(std::count(regular.begin(), regular.end(), '['));
    const size_t late = regular.find('[', regular.size() * 3 / 4);
    const size_t middle = regular.find('[', regular.size() / 2);
    struct Case { const char* name; std::string text; bool regular; };
    const Case cases[] = {
        {"regular", regular, true},
        {"a stray bracket late", regular.substr(0, late) + "]" + regular.substr(late), false},
        {"a stray bracket early", "x]" + regular, false},
        {"a gap at the middle", regular.substr(0, middle) + "[0" + regular.substr(middle + 1), false},
        {"a marker repeated across the middle",
         regular.substr(0, middle) + regular.substr(regular.rfind('[', middle - 1)), false},
        {"an unclosed marker at the end", regular + "[" + std::to_string(records + 1) + " b.", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RecordTable table = *RecordTable::build(c.text);
        EXPECT_EQ(table.regular(), c.regular);
        if (c.regular) {
            EXPECT_EQ(table.records(), records);
            for (const size_t k : {size_t(1), records / 2, records / 2 + 1, records}) {
                const std::string marker = "[" + std::to_string(k) + "]";
                EXPECT_EQ(table.find(marker).record, scanForMarker(c.text, marker).record) << marker;
            }
        }
    }
    int reports = 0;
    EXPECT_FALSE(RecordTable::build(regular, [&](double) { return ++reports < 1; }));
}

} // namespace
} // namespace solandre
