// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/context_scan.h"
#include "viewer/record_table.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace solandre {
namespace {

// Whether a text is numbered the usual way, read marker by marker: every
// "[" opens "[n]" with the next n written without leading zeros, and no "]"
// stands anywhere else. Returns the number of records, or -1.
long regularRecords(const std::string& text)
{
    long records = 0;
    size_t pos = 0;
    for (;;) {
        const size_t open = text.find_first_of("[]", pos);
        if (open == std::string::npos) return records;
        if (text[open] != '[') return -1;
        const size_t close = text.find_first_of("[]", open + 1);
        if (close == std::string::npos || text[close] != ']') return -1;
        if (text.substr(open + 1, close - open - 1) != std::to_string(records + 1)) return -1;
        ++records;
        pos = close + 1;
    }
}

// Records of every length, so that the brackets fall at every place of the
// scan's 64-byte steps.
std::string numbered(int records, unsigned seed)
{
    std::mt19937 random(seed);
    std::string text;
    for (int k = 1; k <= records; ++k) {
        text += "[" + std::to_string(k) + "] ";
        text += std::string(1 + random() % 90, "abcdefghij"[k % 10]);
        text += ".\r\n";
    }
    return text;
}

TEST(RecordTable, LongTextsJudgedAsTheReadingMarkerByMarkerJudgesThem)
{
    const std::string text = numbered(3000, 1);
    const size_t middle = text.find("[1500]");
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"regular", text},
        {"a stray closing bracket", text.substr(0, middle + 3) + "]" + text.substr(middle + 3)},
        {"a stray opening bracket", text.substr(0, middle + 7) + "[" + text.substr(middle + 7)},
        {"a leading zero", text.substr(0, middle + 1) + "0" + text.substr(middle + 1)},
        {"a number skipped", text.substr(0, middle + 4) + "1" + text.substr(middle + 5)},
        {"a letter in a number", text.substr(0, middle + 2) + "O" + text.substr(middle + 3)},
        {"an empty marker", text + "[]"},
        {"a last marker never closed", text + "[3001"},
        {"brackets swapped", text + "]3001["},
        {"the next marker after a tail of plain text", text + "[3001] end"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const long expected = regularRecords(c.text);
        const RecordTable table = *RecordTable::build(c.text);
        EXPECT_EQ(table.regular(), expected >= 0);
        EXPECT_EQ(long(table.records()), std::max(expected, 0L));
        for (const char* marker : {"[1]", "[1499]", "[1500]", "[1501]", "[3000]", "[3001]"}) {
            const ContextScan fast = table.find(marker);
            const ContextScan whole = scanForMarker(c.text, marker);
            EXPECT_EQ(fast.found, whole.found) << marker;
            EXPECT_EQ(fast.record, whole.record) << marker;
            EXPECT_EQ(fast.previous, whole.previous) << marker;
            EXPECT_EQ(fast.next, whole.next) << marker;
        }
    }
}

TEST(RecordTable, MarkersOfEveryWidthAcrossTheScansSteps)
{
    // Numbers of 1 to 5 digits, each record a few bytes long, at every
    // offset of a 64-byte step; one irregular marker at each place in turn.
    const std::string text = numbered(12000, 2);
    EXPECT_EQ(regularRecords(text), 12000);
    EXPECT_EQ(RecordTable::build(text)->records(), 12000u);
    std::mt19937 random(3);
    for (int trial = 0; trial < 40; ++trial) {
        std::string broken = text;
        const size_t at = random() % broken.size();
        broken.insert(at, 1, "[]0"[trial % 3]);
        SCOPED_TRACE(at);
        const long expected = regularRecords(broken);
        const RecordTable table = *RecordTable::build(broken);
        EXPECT_EQ(table.regular(), expected >= 0);
        EXPECT_EQ(long(table.records()), std::max(expected, 0L));
    }
}

TEST(RecordTable, StopsWhenCancelledOnTheWay)
{
    const std::string text = numbered(600000, 4); // over 32 MB: reports on the way
    std::vector<double> reports;
    EXPECT_FALSE(RecordTable::build(text, [&](double done) {
                     reports.push_back(done);
                     return false;
                 }).has_value());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_LT(reports[0], 1.0);
}

} // namespace
} // namespace solandre
