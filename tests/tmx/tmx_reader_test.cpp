// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/tmx_reader.h"
#include "tmx_test_support.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace solandre {
namespace {

using testing::oracleUnits;
using testing::pair;
using testing::readTmxBytes;
using testing::sourceOnly;
using testing::targetOnly;

using Pairs = std::vector<SegmentPair>;

// One sample per TMX version, written the way tools of each period did.
struct VersionSample {
    const char* name;
    const char* tmx;
    Pairs expected;
};

void PrintTo(const VersionSample& c, std::ostream* os)
{
    *os << c.name;
}

const VersionSample kVersionSamples[] = {
    {"Tmx11_LangAttributeAndUt", R"(<?xml version="1.0" ?>
<!DOCTYPE tmx SYSTEM "tmx11.dtd">
<tmx version="1.1">
<header creationtool="Hand" creationtoolversion="1" segtype="sentence" o-tmf="none"
 adminlang="EN-US" srclang="EN-US" datatype="PlainText">
</header>
<body>
<tu>
<tuv lang="EN-US"><seg>Click <ut>{\b </ut>OK<ut>}</ut>.</seg></tuv>
<tuv lang="FR-FR"><seg>Cliquez sur <ut>{\b </ut>OK<ut>}</ut>.</seg></tuv>
</tu>
</body>
</tmx>
)",
     {pair("Click OK.", "Cliquez sur OK.")}},
    {"Tmx12_PairedAndPlaceholderCodes", R"(<?xml version="1.0" encoding="UTF-8"?>
<tmx version="1.2">
<header creationtool="Hand" creationtoolversion="1" segtype="sentence" o-tmf="none"
 adminlang="en" srclang="en" datatype="html"/>
<body>
<tu tuid="1">
<prop type="x-client">ACME</prop>
<tuv xml:lang="en"><seg>Press <bpt i="1">&lt;b></bpt>Enter<ept i="1">&lt;/b></ept> now</seg></tuv>
<tuv xml:lang="de"><seg>Drücken Sie <bpt i="1">&lt;b></bpt>Eingabe<ept i="1">&lt;/b></ept></seg></tuv>
</tu>
<tu tuid="2">
<tuv xml:lang="en"><seg>See <ph x="1">&lt;img alt="<sub>Logo</sub>"&gt;</ph> here<it pos="begin">&lt;i></it></seg></tuv>
<tuv xml:lang="de"><seg>Siehe <ph x="1">&lt;img/></ph> hier</seg></tuv>
</tu>
</body>
</tmx>
)",
     {pair("Press Enter now", "Drücken Sie Eingabe"), pair("See  here", "Siehe  hier")}},
    {"Tmx13_HighlightAndNotes", R"(<?xml version="1.0" encoding="utf-8"?>
<tmx version="1.3">
<header creationtool="Hand" creationtoolversion="1" segtype="sentence" o-tmf="none"
 adminlang="en-us" srclang="en-us" datatype="rtf">
<note>Exported by hand</note>
<ude name="MacRoman" base="Macintosh"><map unicode="#xF8FF" code="#xF0"/></ude>
</header>
<body>
<tu><note>first</note>
<tuv xml:lang="en-us"><note>x</note><seg>A <hi type="b">bold <hi x="2">and more</hi></hi> word</seg></tuv>
<tuv xml:lang="it-it"><seg>Una parola <hi type="b">in grassetto</hi></seg></tuv>
</tu>
</body>
</tmx>
)",
     {pair("A bold and more word", "Una parola in grassetto")}},
    {"Tmx14b_AllLanguagesAndInternalSubset", R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE tmx SYSTEM "tmx14.dtd" [
  <!-- a comment holding ]> and "quotes -->
  <!ENTITY company "ACME">
  <?pi in the subset?>
]>
<tmx version="1.4">
  <header creationtool="Hand" creationtoolversion="1.0" segtype="sentence" o-tmf="none"
    adminlang="en-US" srclang="*all*" datatype="plaintext" creationdate="20240101T000000Z"/>
  <body>
    <tu>
      <tuv xml:lang="es-ES"><seg>Hola <hi type="bold">mundo</hi></seg></tuv>
      <tuv xml:lang="en-GB"><seg>Hello <hi type="bold">world</hi></seg></tuv>
    </tu>
    <tu>
      <tuv xml:lang="en-GB"><seg>Note<bpt i="1" x="1">&lt;fn text="<sub>inner</sub>"&gt;</bpt>1<ept i="1">&lt;/fn&gt;</ept></seg></tuv>
      <tuv xml:lang="es-ES"><seg>Nota<bpt i="1">{fn}</bpt>1<ept i="1">{/fn}</ept></seg></tuv>
    </tu>
  </body>
</tmx>
)",
     {pair("Hola mundo", "Hello world"), pair("Nota1", "Note1")}},
};

class TmxVersions : public ::testing::TestWithParam<VersionSample> {};

TEST_P(TmxVersions, GiveTheirSegmentsWithoutMarkup)
{
    const VersionSample& sample = GetParam();
    const auto reading = readTmxBytes(sample.tmx);
    ASSERT_EQ(reading.error, "");
    EXPECT_EQ(reading.pairs, sample.expected);
    // Read again a few bytes at a time: the same pairs.
    EXPECT_EQ(readTmxBytes(sample.tmx, {}, 3).pairs, sample.expected);
}

TEST_P(TmxVersions, AgreeWithQXmlStreamReader)
{
    const VersionSample& sample = GetParam();
    const auto units = oracleUnits(sample.tmx);
    ASSERT_EQ(units.size(), sample.expected.size());
    const auto reading = readTmxBytes(sample.tmx);
    for (size_t i = 0; i < units.size(); ++i) {
        std::vector<std::string> texts;
        for (const auto& [language, text] : units[i]) texts.push_back(text);
        std::sort(texts.begin(), texts.end());
        std::vector<std::string> ours = {reading.pairs[i].source, reading.pairs[i].target};
        std::sort(ours.begin(), ours.end());
        EXPECT_EQ(ours, texts) << "unit " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, TmxVersions, ::testing::ValuesIn(kVersionSamples),
                         [](const auto& info) { return std::string(info.param.name); });

std::string memory(const std::string& units, const std::string& srclang = "en")
{
    return "<?xml version=\"1.0\"?>\n<tmx version=\"1.4\"><header srclang=\"" + srclang +
           "\" creationtool=\"t\" creationtoolversion=\"1\" segtype=\"sentence\" o-tmf=\"t\" "
           "adminlang=\"en\" datatype=\"plaintext\"/>\n<body>\n" +
           units + "\n</body>\n</tmx>\n";
}

std::string unit(const std::string& english, const std::string& spanish)
{
    return "<tu><tuv xml:lang=\"en\"><seg>" + english + "</seg></tuv><tuv xml:lang=\"es\"><seg>" + spanish +
           "</seg></tuv></tu>";
}

struct TextCase {
    const char* name;
    std::string seg; // as written in the file
    std::string expected;
};

void PrintTo(const TextCase& c, std::ostream* os)
{
    *os << c.name;
}

const TextCase kTextCases[] = {
    {"PredefinedEntities", "a &amp; b &lt;c&gt; &quot;d&quot; &apos;e&apos;", "a & b <c> \"d\" 'e'"},
    {"CharacterReferences", "&#233;&#xE9;&#x1D11E;&#65;&#x00041;", "\u00E9\u00E9\U0001D11EAA"},
    {"Cdata", "x <![CDATA[<b> & [y]]]> z", "x <b> & <y> z"},
    {"CdataLineBreaks", "<![CDATA[a\r\nb\tc]]>", "a b c"},
    {"LineBreaksOfTheFile", "a\r\nb\rc\nd", "a b c d"},
    {"BlankLinesKeepTheirBreaks", "a\n\nb\r\n\r\nc", "a  b  c"},
    {"Tabs", "a\tb\t\tc", "a b  c"},
    {"ReferencedCrLfIsOneBreak", "a&#13;&#10;b&#xD;c&#10;d", "a b c d"},
    {"ReferencedCrThenLineBreakOfTheFile", "a&#13;\nb", "a b"},
    {"LineBreakOfTheFileThenReferencedLf", "a\r&#10;b", "a  b"},
    {"UnicodeLineBreaks", "a\u2028b\u2029c\u0085d&#x2028;e&#133;f", "a b c d e f"},
    {"Brackets", "[1] see [note]", "<1> see <note>"},
    {"BracketsFromReferencesAndCdata", "&#91;&#x5D;<![CDATA[[]]]>", "<><>"},
    {"BlanksAreKept", "  two  spaces  ", "  two  spaces  "},
    {"GreaterThanAlone", "a > b", "a > b"},
    {"CrLfAcrossAnInlineCode", "a&#13;<ph>x</ph>&#10;b", "a b"},
    {"EmptySegment", "", ""},
    {"NonBreakingSpaceAndOtherC2", "a\u00A0b\u00BFc\u2026d\u20AC", "a\u00A0b\u00BFc\u2026d\u20AC"},
};

class SegmentText : public ::testing::TestWithParam<TextCase> {};

TEST_P(SegmentText, IsDecodedAndCleaned)
{
    const TextCase& c = GetParam();
    const std::string tmx = memory(unit(c.seg, "x"));
    for (const qint64 step : {0, 1, 2, 5}) {
        const auto reading = readTmxBytes(QByteArray::fromStdString(tmx), {}, step);
        ASSERT_EQ(reading.error, "") << step;
        ASSERT_EQ(reading.pairs.size(), 1u);
        EXPECT_EQ(reading.pairs[0].source, c.expected) << "read " << step << " bytes at a time";
    }
    const auto units = oracleUnits(QByteArray::fromStdString(tmx));
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].at("en"), c.expected) << "QXmlStreamReader";
}

INSTANTIATE_TEST_SUITE_P(Cases, SegmentText, ::testing::ValuesIn(kTextCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TmxUnits, MissingLanguagesGiveEmptySegmentsAndAreCounted)
{
    const std::string tmx = memory(unit("one", "uno") +
                                   "<tu><tuv xml:lang=\"es\"><seg>dos</seg></tuv></tu>"
                                   "<tu><tuv xml:lang=\"en\"><seg>three</seg></tuv></tu>"
                                   "<tu><tuv xml:lang=\"de\"><seg>vier</seg></tuv></tu>"
                                   "<tu/>" +
                                   unit("", ""));
    const auto reading = readTmxBytes(QByteArray::fromStdString(tmx));
    ASSERT_EQ(reading.error, "");
    EXPECT_EQ(reading.pairs, (Pairs{pair("one", "uno"), targetOnly("dos"), sourceOnly("three"), {}, {},
                                    pair("", "")}));
    EXPECT_EQ(reading.summary.units, 6);
    EXPECT_EQ(reading.summary.unitsWithoutSource, 3);
    EXPECT_EQ(reading.summary.unitsWithoutTarget, 3);
    EXPECT_EQ(reading.summary.sourceLanguage, "en");
    EXPECT_EQ(reading.summary.targetLanguage, "es");
}

TEST(TmxUnits, TheFirstVariantOfALanguageIsTaken)
{
    const std::string tmx = memory("<tu><tuv xml:lang=\"en\"><seg>first</seg></tuv>"
                                   "<tuv xml:lang=\"es\"><seg>primero</seg></tuv>"
                                   "<tuv xml:lang=\"en\"><seg>second</seg></tuv>"
                                   "<tuv xml:lang=\"es\"><seg>segundo</seg></tuv></tu>");
    EXPECT_EQ(readTmxBytes(QByteArray::fromStdString(tmx)).pairs, (Pairs{pair("first", "primero")}));
}

TEST(TmxUnits, OnlyUnitsOfTheBodyCount)
{
    const std::string tmx = "<tmx version=\"1.4\"><header srclang=\"en\"><tu><tuv xml:lang=\"en\"><seg>no</seg>"
                            "</tuv></tu></header><body><group><tu/></group>" +
                            unit("yes", "sí") + "</body><tu/></tmx>";
    EXPECT_EQ(readTmxBytes(QByteArray::fromStdString(tmx)).pairs, (Pairs{pair("yes", "sí")}));
}

TEST(TmxUnits, TheSinkCanStopTheReading)
{
    const std::string tmx = memory(unit("1", "1") + unit("2", "2") + unit("3", "3"));
    QByteArray bytes = QByteArray::fromStdString(tmx);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    int calls = 0;
    auto result = readTmx(buffer, "m.tmx", {}, [&](const SegmentPair&) { return ++calls < 2; });
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(result.value().stopped);
    EXPECT_EQ(result.value().units, 2);
    EXPECT_EQ(result.value().targetLanguage, "es");
}

// A memory whose units hold these languages, in this order.
std::string languagesMemory(const std::string& srclang, const std::vector<std::vector<std::string>>& units)
{
    std::string body;
    for (const auto& languages : units) {
        body += "<tu>";
        for (const auto& language : languages)
            body += "<tuv xml:lang=\"" + language + "\"><seg>" + language + "</seg></tuv>";
        body += "</tu>";
    }
    return memory(body, srclang);
}

struct LanguageCase {
    const char* name;
    std::string srclang;
    QString source, target; // chosen; empty: default
    std::vector<std::vector<std::string>> units;
    Pairs expected;
    const char* usedSource;
    const char* usedTarget;
};

void PrintTo(const LanguageCase& c, std::ostream* os)
{
    *os << c.name;
}

const LanguageCase kLanguageCases[] = {
    {"DefaultIsHeaderSourceAndFirstOther", "en-US", "", "", {{"fr-FR", "en-US", "de-DE"}, {"de-DE", "en-US"}},
     {pair("en-US", "fr-FR"), sourceOnly("en-US")}, "en-US", "fr-FR"},
    {"FirstOtherMayComeInALaterUnit", "en-US", "", "", {{"en-US"}, {"en-US", "it-IT"}, {"it-IT"}},
     {sourceOnly("en-US"), pair("en-US", "it-IT"), targetOnly("it-IT")}, "en-US", "it-IT"},
    {"AllMeansTheFirstLanguageMet", "*all*", "", "", {{"pt-BR", "es-ES"}, {"es-ES", "pt-BR"}},
     {pair("pt-BR", "es-ES"), pair("pt-BR", "es-ES")}, "pt-BR", "es-ES"},
    {"MissingSrclangIsLikeAll", "", "", "", {{"nl", "sv"}}, {pair("nl", "sv")}, "nl", "sv"},
    {"CaseAndUnderscoreDoNotMatter", "en-us", "ES_es", "", {{"EN-US", "es-ES"}}, {pair("es-ES", "EN-US")}, "es-ES",
     "EN-US"},
    {"BarePrimaryTagTakesRegions", "en", "es", "en", {{"en-GB", "es-MX"}, {"es-ES", "en-US"}},
     {pair("es-MX", "en-GB"), pair("es-ES", "en-US")}, "es-MX", "en-GB"},
    {"RegionTagTakesNoOtherRegion", "en", "es-ES", "en", {{"en", "es-MX"}, {"es", "en"}},
     {targetOnly("en"), targetOnly("en")}, "es-ES", "en"},
    {"HeaderBarePrimaryTakesRegions", "en", "", "", {{"en-US", "en-GB", "fr-FR"}},
     {pair("en-US", "fr-FR")}, "en-US", "fr-FR"},
    {"ExactMatchBeatsPrimaryTag", "en", "en", "en-GB", {{"en-GB", "en-US"}}, {pair("en-US", "en-GB")}, "en-US",
     "en-GB"},
    {"ChosenTargetOnly", "de", "", "fr", {{"fr", "it", "de"}}, {pair("de", "fr")}, "de", "fr"},
    {"ChosenTargetIsTheHeaderSource", "de", "", "de", {{"it", "de"}}, {pair("it", "de")}, "it", "de"},
    {"UnmatchedChoiceGivesNoSegments", "en", "ja", "ko", {{"en", "es"}}, {{}}, "ja", "ko"},
};

class LanguageChoice : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(LanguageChoice, PicksTheVariants)
{
    const LanguageCase& c = GetParam();
    const auto reading = readTmxBytes(QByteArray::fromStdString(languagesMemory(c.srclang, c.units)),
                                      {c.source, c.target});
    ASSERT_EQ(reading.error, "");
    EXPECT_EQ(reading.pairs, c.expected);
    EXPECT_EQ(reading.summary.sourceLanguage, c.usedSource);
    EXPECT_EQ(reading.summary.targetLanguage, c.usedTarget);
}

INSTANTIATE_TEST_SUITE_P(Cases, LanguageChoice, ::testing::ValuesIn(kLanguageCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LanguageChoice, TheSameLanguageTwiceIsRefused)
{
    const auto reading = readTmxBytes(QByteArray::fromStdString(memory(unit("a", "b"))), {"es", "ES"});
    EXPECT_NE(reading.error.find("son la misma"), std::string::npos) << reading.error;
}

TEST(LanguageMatching, FollowsThePrimaryTagRule)
{
    struct Case {
        const char* wanted;
        const char* actual;
        bool matches;
    };
    const Case cases[] = {
        {"es", "es", true},       {"es", "ES", true},        {"es", "es-ES", true},   {"es", "es_MX", true},
        {"es-ES", "es-es", true}, {"es-ES", "es_ES", true},  {"es-ES", "es-MX", false}, {"es-ES", "es", false},
        {"es", "est", false},     {"es", "e", false},        {"es", "", false},        {"zh-Hant", "zh-Hant-TW", false},
        {"", "es", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(languageMatches(QString::fromUtf8(c.wanted), QString::fromUtf8(c.actual)), c.matches)
            << c.wanted << " / " << c.actual;
}

TEST(TmxLanguageList, GivesEachLanguageOnceWithItsUnits)
{
    const std::string tmx = languagesMemory("*all*", {{"en-US", "es-ES"}, {"EN-us", "fr"}, {"fr", "fr"}, {"en_US"}});
    QByteArray bytes = QByteArray::fromStdString(tmx);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const auto listed = listTmxLanguages(buffer, "m.tmx");
    ASSERT_TRUE(listed.ok()) << listed.error().message.toStdString();
    EXPECT_EQ(listed.value().headerSourceLanguage, "*all*");
    EXPECT_EQ(listed.value().units, 4);
    ASSERT_EQ(listed.value().languages.size(), 3u);
    const std::pair<const char*, qint64> expected[] = {{"en-US", 3}, {"es-ES", 1}, {"fr", 2}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(listed.value().languages[i].language, expected[i].first);
        EXPECT_EQ(listed.value().languages[i].units, expected[i].second);
    }
}

TEST(TmxLanguageList, RefusesAMalformedFile)
{
    QByteArray bytes = "<tmx><body><tu><tuv xml:lang=\"en\"></tu></body></tmx>";
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const auto listed = listTmxLanguages(buffer, "m.tmx");
    ASSERT_FALSE(listed.ok());
    EXPECT_NE(listed.error().message.indexOf("se esperaba </tuv>"), -1);
}

// Larger than the reader's window, with tags, references and segments lying
// across its edges, and one attribute longer than the window itself.
TEST(TmxUnits, LargeFilesReadAlikeWholeOrInPieces)
{
    std::string body;
    Pairs expected;
    for (int i = 0; body.size() < 3'000'000; ++i) {
        std::string english = "unit " + std::to_string(i) + std::string(size_t(i % 97), 'e');
        std::string spanish = "unidad " + std::to_string(i) + " &amp; ñ" + std::string(size_t(i % 89), 'x');
        body += "<tu tuid=\"" + std::to_string(i) + "\"><tuv xml:lang=\"en\"><seg>" + english +
                "</seg></tuv><tuv xml:lang=\"es\"><seg>" + spanish + "</seg></tuv></tu>\n";
        expected.push_back(pair(english, "unidad " + std::to_string(i) + " & ñ" + std::string(size_t(i % 89), 'x')));
    }
    const std::string longSegment(1'500'000, 'L');
    body += "<tu note=\"" + std::string(1'500'000, 'n') + "\"><tuv xml:lang=\"en\"><seg>" + longSegment +
            "</seg></tuv></tu>";
    expected.push_back(sourceOnly(longSegment));
    const QByteArray tmx = QByteArray::fromStdString(memory(body));

    const auto whole = readTmxBytes(tmx);
    ASSERT_EQ(whole.error, "");
    EXPECT_TRUE(whole.pairs == expected);
    const auto pieces = readTmxBytes(tmx, {}, 7777);
    ASSERT_EQ(pieces.error, "");
    EXPECT_TRUE(pieces.pairs == expected);
}

} // namespace
} // namespace solandre
