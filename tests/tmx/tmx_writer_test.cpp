// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/tmx_writer.h"
#include "tmx/tmx_reader.h"
#include "tmx_test_support.h"

#include <QTimeZone>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <random>

namespace solandre {
namespace {

using testing::pair;
using testing::readTmxBytes;
using testing::sourceOnly;
using testing::targetOnly;

using Pairs = std::vector<SegmentPair>;

TmxWriterSettings settings()
{
    return {"es-ES", "en-GB", "2.0", QDateTime(QDate(2024, 5, 1), QTime(10, 15, 30), QTimeZone::utc())};
}

// Writes the pairs and returns the document and the pieces it came in.
QByteArray write(const Pairs& pairs, const TmxWriterSettings& s = settings(), std::vector<size_t>* pieces = nullptr)
{
    QByteArray out;
    TmxWriter writer(
        [&](std::string_view bytes) {
            out.append(bytes.data(), qsizetype(bytes.size()));
            if (pieces) pieces->push_back(bytes.size());
        },
        s);
    for (const SegmentPair& p : pairs) writer.add(p.source, p.target);
    writer.finish();
    return out;
}

// Checks with QXmlStreamReader what a TMX 1.4b document must hold, and
// returns the header's attributes.
std::map<QString, QString> checkTmx14(const QByteArray& document, int units)
{
    std::map<QString, QString> header;
    QXmlStreamReader xml(document);
    EXPECT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.name(), u"tmx");
    EXPECT_EQ(xml.attributes().value(QStringLiteral("version")), u"1.4");
    EXPECT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.name(), u"header");
    for (const auto& a : xml.attributes()) header[a.qualifiedName().toString()] = a.value().toString();
    xml.skipCurrentElement();
    EXPECT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.name(), u"body");
    int seen = 0;
    while (xml.readNextStartElement()) {
        EXPECT_EQ(xml.name(), u"tu");
        ++seen;
        int variants = 0;
        while (xml.readNextStartElement()) {
            EXPECT_EQ(xml.name(), u"tuv");
            EXPECT_FALSE(xml.attributes().value(QStringLiteral("xml:lang")).isEmpty());
            ++variants;
            int segments = 0;
            while (xml.readNextStartElement()) {
                EXPECT_EQ(xml.name(), u"seg");
                ++segments;
                xml.readElementText();
            }
            EXPECT_EQ(segments, 1);
        }
        EXPECT_GE(variants, 1);
    }
    EXPECT_EQ(seen, units);
    while (!xml.atEnd()) xml.readNext();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line " << xml.lineNumber();
    return header;
}

TEST(TmxWriter, WritesWhatTmx14bRequires)
{
    const QByteArray document = write({pair("Hola", "Hello"), sourceOnly("Solo"), targetOnly("Only"), pair("", "")});
    EXPECT_TRUE(document.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<tmx version=\"1.4\">"));
    const auto header = checkTmx14(document, 3);
    const std::map<QString, QString> expected = {
        {"creationtool", "Solandre"},   {"creationtoolversion", "2.0"}, {"segtype", "sentence"},
        {"o-tmf", "Solandre"},          {"adminlang", "es"},            {"srclang", "es-ES"},
        {"datatype", "plaintext"},      {"creationdate", "20240501T101530Z"},
    };
    EXPECT_EQ(header, expected);
}

TEST(TmxWriter, CreationDateIsInUtcAndOptional)
{
    TmxWriterSettings s = settings();
    s.creationDate = QDateTime(QDate(2024, 1, 2), QTime(1, 2, 3), QTimeZone(2 * 3600));
    EXPECT_EQ(checkTmx14(write({}, s), 0).at("creationdate"), "20240101T230203Z");
    s.creationDate = QDateTime();
    EXPECT_EQ(checkTmx14(write({}, s), 0).count("creationdate"), 0u);
}

TEST(TmxWriter, AnEmptySideGetsNoVariantAndTwoEmptySidesNoUnit)
{
    const QByteArray document = write({sourceOnly("a"), targetOnly("b"), pair("", ""), pair("\x01", "\x02")});
    EXPECT_EQ(document.count("<tu>"), 2);
    EXPECT_EQ(document.count("<tuv"), 2);
    EXPECT_TRUE(document.contains("<tuv xml:lang=\"es-ES\"><seg>a</seg></tuv>"));
    EXPECT_TRUE(document.contains("<tuv xml:lang=\"en-GB\"><seg>b</seg></tuv>"));
}

TEST(TmxWriter, EscapesWhatXmlRequires)
{
    struct Case {
        const char* name;
        std::string text;
        const char* written;
    };
    const Case cases[] = {
        {"Markup", "a & b <c> d", "a &amp; b &lt;c&gt; d"},
        {"CdataEnd", "]]>", "]]&gt;"},
        {"QuotesStayInText", "\"q\" 'a'", "\"q\" 'a'"},
        {"ControlsBecomeBlanks", "a\x01\x1F" "b\x7F", "a  b\x7F"},
        {"AFormFeedKeepsTwoWordsApart", "Page one\fpage two", "Page one page two"},
        {"CarriageReturnIsAReference", "a\rb", "a&#13;b"},
        {"TabAndLineFeedStay", "a\tb\nc", "a\tb\nc"},
        {"NoncharactersAreDropped", "a\xEF\xBF\xBE\xEF\xBF\xBF" "b", "ab"},
        {"InvalidUtf8IsReplaced", "a\xFF" "b\xC3", "a\xEF\xBF\xBD" "b\xEF\xBF\xBD"},
        {"OtherCharactersStay", "\xC3\xB1\xE2\x82\xAC\xF0\x9D\x84\x9E\xC2\x85", "\xC3\xB1\xE2\x82\xAC\xF0\x9D\x84\x9E\xC2\x85"},
    };
    for (const Case& c : cases) {
        const QByteArray document = write({sourceOnly(c.text)});
        const QByteArray expected = QByteArray("<seg>") + c.written + "</seg>";
        EXPECT_TRUE(document.contains(expected)) << c.name << "\n" << document.toStdString();
    }
}

TEST(TmxWriter, EscapesLanguagesAndVersionInAttributes)
{
    TmxWriterSettings s{"a\"b", "c<d\te", "1 & 2", {}};
    const QByteArray document = write({pair("x", "y")}, s);
    EXPECT_TRUE(document.contains("srclang=\"a&quot;b\"")) << document.toStdString();
    EXPECT_TRUE(document.contains("xml:lang=\"c&lt;d&#9;e\"")) << document.toStdString();
    const auto header = checkTmx14(document, 1);
    EXPECT_EQ(header.at("creationtoolversion"), "1 & 2");
}

TEST(TmxWriter, HandsTheDocumentOverInPieces)
{
    Pairs pairs;
    for (int i = 0; i < 20000; ++i) pairs.push_back(pair("segment " + std::to_string(i), "segmento"));
    std::vector<size_t> pieces;
    const QByteArray document = write(pairs, settings(), &pieces);
    EXPECT_GT(pieces.size(), 10u);
    for (const size_t piece : pieces) EXPECT_LT(piece, 70'000u);
    checkTmx14(document, 20000);
}

TEST(TmxWriter, CountsUnitsAndSkippedPairs)
{
    TmxWriter writer([](std::string_view) {}, settings());
    writer.add("a", "b");
    writer.add("", "");
    writer.add("", "c");
    EXPECT_EQ(writer.unitsWritten(), 2);
    EXPECT_EQ(writer.pairsSkipped(), 1);
}

// What the reader gives back for a pair the writer was handed.
SegmentPair readBack(const SegmentPair& written)
{
    auto clean = [](const std::string& text) {
        QString kept;
        for (const char32_t c : QString::fromStdString(text).toUcs4())
            if (c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c != 0xFFFE && c != 0xFFFF))
                kept += QString::fromUcs4(&c, 1);
            else if (c < 0x20)
                kept += u' ';
        return testing::cleanedForTest(kept).toStdString();
    };
    return {clean(written.source), clean(written.target), !written.source.empty(), !written.target.empty()};
}

TEST(TmxRoundTrip, PairsComeBackAsWritten)
{
    const Pairs pairs = {
        pair("Hola, mundo.", "Hello, world."),
        pair("a & b < c > d \"e\" 'f' ]]>", "x"),
        pair("  blanks  kept  ", "\xC3\xB1\xE2\x82\xAC\xF0\x9D\x84\x9E"),
        sourceOnly("solo origen"),
        targetOnly("target only"),
        pair("line\r\nbreaks\rand\ttabs\n", "[1] bracket"),
        pair("&amp; stays text", "&#65;"),
    };
    const auto reading = readTmxBytes(write(pairs));
    ASSERT_EQ(reading.error, "");
    Pairs expected;
    for (const SegmentPair& p : pairs) expected.push_back(readBack(p));
    EXPECT_EQ(reading.pairs, expected);
    EXPECT_EQ(reading.summary.sourceLanguage, "es-ES");
    EXPECT_EQ(reading.summary.targetLanguage, "en-GB");
}

TEST(TmxRoundTrip, RandomPairsComeBack)
{
    const std::vector<std::string> pieces = {
        "a", "Z", " ", "  ", "&", "<", ">", "\"", "'", "]]>", "[", "]", "\t", "\r", "\n", "\r\n",
        "\x01", "\x1F", "\x7F", "\xC3\xA9", "\xC2\x85", "\xE2\x80\xA8", "\xE2\x82\xAC", "\xEF\xBF\xBE",
        "\xEF\xBF\xBD", "\xF0\x9F\x98\x80", "&amp;", "<seg>", "</tuv>", "<![CDATA[", "-->", "?>",
    };
    std::mt19937 random(7);
    auto text = [&] {
        std::string s;
        for (int n = int(random() % 8); n > 0; --n) s += pieces[random() % pieces.size()];
        return s;
    };
    for (int round = 0; round < 200; ++round) {
        Pairs pairs;
        for (int i = 0; i < 30; ++i) pairs.push_back({text(), text(), true, true});
        const QByteArray document = write(pairs);
        ASSERT_FALSE(testing::oracleError(document).has_value()) << document.toStdString();
        Pairs expected;
        for (const SegmentPair& p : pairs) {
            SegmentPair back = readBack(p);
            // A side of nothing but characters XML refuses counts as empty.
            auto dropsToNothing = [](const std::string& s) {
                for (const char32_t c : QString::fromStdString(s).toUcs4())
                    if (c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c != 0xFFFE && c != 0xFFFF)) return false;
                return true;
            };
            back.hasSource = !dropsToNothing(p.source);
            back.hasTarget = !dropsToNothing(p.target);
            if (!back.hasSource) back.source.clear();
            if (!back.hasTarget) back.target.clear();
            if (back.hasSource || back.hasTarget) expected.push_back(back);
        }
        for (const qint64 step : {0, 13}) {
            const auto reading = readTmxBytes(document, {}, step);
            ASSERT_EQ(reading.error, "");
            ASSERT_EQ(reading.pairs, expected) << document.toStdString();
        }
    }
}

} // namespace
} // namespace solandre
