// SPDX-License-Identifier: GPL-3.0-or-later
#include "reference_table.h"
#include "tmx/tsv_reader.h"
#include "tmx_test_support.h"

#include <QBuffer>
#include <gtest/gtest.h>
#include <random>

namespace solandre {
namespace {

using testing::pair;
using testing::sourceOnly;
using testing::TrickleDevice;

using Pairs = std::vector<SegmentPair>;

struct TsvReading {
    Pairs rows;
    TsvSummary summary;
};

TsvReading readTsvBytes(const QByteArray& bytes, TableEncoding encoding, qint64 step)
{
    TrickleDevice device(bytes, step);
    TsvReading reading;
    auto result = readTsv(device, "t.tsv", encoding, [&](const SegmentPair& p) {
        reading.rows.push_back(p);
        return true;
    });
    EXPECT_TRUE(result.ok());
    if (result) reading.summary = result.value();
    return reading;
}

struct TsvCase {
    const char* name;
    QByteArray bytes;
    Pairs expected;
    TableEncoding encoding = TableEncoding::Utf8;
};

void PrintTo(const TsvCase& c, std::ostream* os)
{
    *os << c.name;
}

const TsvCase kCases[] = {
    {"TabPartsSourceAndTarget", "one\tuno\ntwo\tdos\n", {pair("one", "uno"), pair("two", "dos")}},
    {"LastLineBreakIsOptional", "one\tuno", {pair("one", "uno")}},
    {"WindowsLineEnds", "one\tuno\r\ntwo\tdos\r\n", {pair("one", "uno"), pair("two", "dos")}},
    {"OldMacLineEnds", "one\tuno\rtwo\tdos", {pair("one", "uno"), pair("two", "dos")}},
    {"MixedLineEnds", "a\r\n\nb\r\rc", {sourceOnly("a"), sourceOnly(""), sourceOnly("b"), sourceOnly(""), sourceOnly("c")}},
    {"NoTabIsASourceAlone", "alone\n", {sourceOnly("alone")}},
    {"EmptyLinesKeepTheNumbering", "a\tb\n\nc\td\n", {pair("a", "b"), sourceOnly(""), pair("c", "d")}},
    {"EmptyFields", "\tb\na\t\n\t\n", {pair("", "b"), pair("a", ""), pair("", "")}},
    {"FurtherTabsBelongToTheTarget", "a\tb\tc\t\td", {pair("a", "b c  d")}},
    {"QuotedFields", "\"a \"\"b\"\" c\"\t\"d\"\n", {pair("a \"b\" c", "d")}},
    {"QuotedTabsAndLineBreaks", "\"x\ty\r\nz\"\t\"1\n2\r3\"\nnext\trow",
     {pair("x y z", "1 2 3"), pair("next", "row")}},
    {"QuotedFieldsAmongFurtherTabs", "a\t\"b\tc\"\t\"d\"", {pair("a", "b c d")}},
    {"QuotedEmptyFields", "\"\"\t\"\"\n", {pair("", "")}},
    {"QuotedAtTheEndOfTheFile", "a\t\"b\"", {pair("a", "b")}},
    {"QuotesInsideAFieldAreText", "say \"hi\"\the said \"hi\"", {pair("say \"hi\"", "he said \"hi\"")}},
    {"TextAfterTheClosingQuoteKeepsTheQuotes", "\"Hola\", dijo.\t\"Hi\", he said.",
     {pair("\"Hola\", dijo.", "\"Hi\", he said.")}},
    {"UnclosedQuoteIsText", "\"abc\tdef\nghi\tjkl", {pair("\"abc", "def"), pair("ghi", "jkl")}},
    {"Brackets", "[1] a\t[2] b]", {pair("<1> a", "<2> b>")}},
    {"UnicodeLineBreaks", "a\u2028b\tc\u0085d\u2029", {pair("a b", "c d ")}},
    {"Utf8ByteOrderMarkIsSkipped", "\xEF\xBB\xBF" "a\tb", {pair("a", "b")}},
    {"InvalidUtf8BecomesReplacementCharacters", "a\xFF\tb\xE2\x82", {pair("a\uFFFD", "b\uFFFD")}},
    {"Windows1252", "\x80 \x93x\x94\t\xE9\x85", {pair("\u20AC \u201Cx\u201D", "\u00E9\u2026")},
     TableEncoding::Windows1252},
    {"Windows1252QuotedLineBreak", "\"a\r\nb\"\tc", {pair("a b", "c")}, TableEncoding::Windows1252},
    {"EmptyFile", "", {}},
    {"OnlyALineBreak", "\n", {sourceOnly("")}},
};

class TsvRows : public ::testing::TestWithParam<TsvCase> {};

TEST_P(TsvRows, AreReadAsPairs)
{
    const TsvCase& c = GetParam();
    for (const qint64 step : {0, 1, 2, 3}) {
        const auto reading = readTsvBytes(c.bytes, c.encoding, step);
        EXPECT_EQ(reading.rows, c.expected) << "read " << step << " bytes at a time";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, TsvRows, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TsvSummary, CountsRowsAndRowsWithoutTab)
{
    const auto reading = readTsvBytes("a\tb\nc\n\n\"d\te\"\n", TableEncoding::Utf8, 0);
    EXPECT_EQ(reading.summary.rows, 4);
    EXPECT_EQ(reading.summary.rowsWithoutTab, 3);
    EXPECT_FALSE(reading.summary.stopped);
}

// A quote at the start of a field opens it only if it closes within 1 MB:
// a stray quote must not swallow the rest of a large file.
TEST(TsvQuotes, TheClosingQuoteIsLookedForOverOneMegabyte)
{
    const QByteArray near = "\"" + QByteArray(1'000'000, 'x') + "\"\tb\nc\td\n";
    const auto quoted = readTsvBytes(near, TableEncoding::Utf8, 0);
    ASSERT_EQ(quoted.rows.size(), 2u);
    EXPECT_EQ(quoted.rows[0].source, std::string(1'000'000, 'x'));

    const QByteArray far = "\"" + QByteArray(1'100'000, 'x') + "\"\tb\nc\td\n";
    for (const qint64 step : {0, 65536}) {
        const auto literal = readTsvBytes(far, TableEncoding::Utf8, step);
        ASSERT_EQ(literal.rows.size(), 2u);
        EXPECT_EQ(literal.rows[0].source, "\"" + std::string(1'100'000, 'x') + "\"");
        EXPECT_EQ(literal.rows[1], pair("c", "d"));
    }
}

// A doubled quote that straddles the limit of the search for the closing
// quote, wherever the reads end: the field is taken as written.
TEST(TsvQuotes, ADoubledQuoteAcrossTheLimitIsRead)
{
    for (const int shift : {-2, -1, 0, 1}) {
        SCOPED_TRACE(shift);
        const QByteArray field = "\"" + QByteArray((1 << 20) - 2 + shift, 'x') + "\"\"" + QByteArray(300, 'y');
        for (const qint64 step : {0, 65536, 1 << 20}) {
            const auto reading = readTsvBytes(field + "\tb\nc\td\n", TableEncoding::Utf8, step);
            ASSERT_EQ(reading.rows.size(), 2u) << "read " << step << " bytes at a time";
            EXPECT_EQ(reading.rows[0].source.size(), size_t(field.size()));
            EXPECT_EQ(reading.rows[1], pair("c", "d"));
        }
    }
}

TEST(TsvRows, ARowThatNeverEndsIsRefusedByItsNumber)
{
    const QByteArray bytes = "a\tb\n" + QByteArray(17 << 20, 'x');
    for (const qint64 step : {0, 1 << 20}) {
        TrickleDevice device(bytes, step);
        Pairs rows;
        auto result = readTsv(device, "t.tsv", TableEncoding::Utf8, [&](const SegmentPair& p) {
            rows.push_back(p);
            return true;
        });
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().message, "No se puede leer el fichero \"t.tsv\": la fila 2 pasa de 16 MB");
        EXPECT_EQ(rows, Pairs{pair("a", "b")});
    }
}

TEST(TsvRows, AgreeWithThePlainReadingOnRandomTables)
{
    const std::vector<std::string> pieces = {"a", "Z", " ", "\t", "\t", "\n", "\r", "\r\n", "\"", "\"\"", "[", "]",
                                             "\xC3\xA9", "\xE2\x80\xA8", "\xC2\x85", "\xFF", "\xE2\x82", "\xED\xA0\x80",
                                             "\x80", "\xEF\xBB\xBF", "\xF0\x9F\x98\x80"};
    std::mt19937 random(24);
    for (int round = 0; round < 3000; ++round) {
        std::string table;
        for (int n = int(random() % 24); n > 0; --n) table += pieces[random() % pieces.size()];
        for (const TableEncoding encoding : {TableEncoding::Utf8, TableEncoding::Windows1252}) {
            const auto expected = reference::tableRows(table, encoding);
            for (const qint64 step : {0, 1, 3}) {
                const auto reading = readTsvBytes(QByteArray::fromStdString(table), encoding, step);
                ASSERT_EQ(reading.rows, expected) << "table: " << ::testing::PrintToString(table) << ", read " << step
                                                  << " bytes at a time";
            }
        }
    }
}

TEST(TsvRows, TheSinkCanStopTheReading)
{
    QByteArray bytes = "a\tb\nc\td\ne\tf\n";
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    int calls = 0;
    auto result = readTsv(buffer, "t.tsv", TableEncoding::Utf8, [&](const SegmentPair&) { return ++calls < 2; });
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(result.value().stopped);
}

TEST(TsvRows, AReadErrorIsReportedAfterTheRowsBeforeIt)
{
    for (const qint64 step : {0, 4}) {
        TrickleDevice device("a\tb\nc\td\ne\tf\n", step);
        device.failFrom(9);
        Pairs rows;
        auto result = readTsv(device, "t.tsv", TableEncoding::Utf8, [&](const SegmentPair& p) {
            rows.push_back(p);
            return true;
        });
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().message, "No se puede leer el fichero \"t.tsv\": error de lectura: disco ilegible");
        EXPECT_EQ(rows, (Pairs{pair("a", "b"), pair("c", "d")}));
    }
}

} // namespace
} // namespace solandre
