// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/xml_tokenizer.h"
#include "tmx_test_support.h"

#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <random>

namespace solandre {
namespace {

using testing::oracleError;
using testing::readTmxBytes;
using testing::TrickleDevice;

struct Verdict {
    bool wellFormed = true;
    std::string reason;
    qint64 line = 0;
    qint64 column = 0;
};

// Runs the tokenizer alone over the bytes, keeping the text (so that the
// cleaning paths run too) or dropping it.
Verdict tokenize(const QByteArray& bytes, qint64 step, bool keepText)
{
    TrickleDevice device(bytes, step);
    XmlDecoder decoder(device);
    if (auto refused = decoder.start()) return {false, refused->toStdString(), 0, 0};
    XmlInput input(decoder);
    XmlTokenizer tokenizer(input);
    std::string text;
    if (keepText) tokenizer.setTextOutput(&text);
    try {
        while (tokenizer.next() != XmlTokenizer::Event::EndOfDocument) {
        }
    } catch (const XmlFault& fault) {
        return {false, fault.reason.toStdString(), fault.where ? fault.where->line : 0,
                fault.where ? fault.where->column : 0};
    }
    return {};
}

// A document with "¶" where the fault is; the mark is taken out, and its
// line and column (in characters) worked out here.
struct Marked {
    QByteArray bytes;
    qint64 line = 1;
    qint64 column = 1;
};

Marked unmark(const std::string& marked)
{
    const size_t at = marked.find("¶");
    EXPECT_NE(at, std::string::npos) << marked;
    Marked m;
    m.bytes = QByteArray::fromStdString(marked.substr(0, at) + marked.substr(at + 2));
    for (size_t i = 0; i < at; ++i) {
        const char c = marked[i];
        if (c == '\n' && i > 0 && marked[i - 1] == '\r') continue;
        if (c == '\r' || c == '\n') {
            ++m.line;
            m.column = 1;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++m.column;
        }
    }
    return m;
}

struct MalformedCase {
    const char* name;
    std::string marked;
    const char* reason;  // part of the message
    bool oracle = true;  // QXmlStreamReader refuses it too (it lets a few pass)
};

void PrintTo(const MalformedCase& c, std::ostream* os)
{
    *os << c.name;
}

const MalformedCase kMalformed[] = {
    {"MismatchedEndTag", "<a><b>x¶</a></b>", "se esperaba </b>"},
    {"MismatchedAfterNonAsciiText", "<a>\n  <b>añ€\U0001D11E¶</c></b></a>", "se esperaba </b>"},
    {"MismatchedAfterCrLfAndCr", "<a>\r\n\r\n\r<b>¶</a>", "se esperaba </b>"},
    {"EndTagWithOtherNameSamePrefix", "<seg>x¶</se></seg>", "se esperaba </seg>"},
    {"UnclosedAtTheEnd", "<a><b>x</b>\n¶", "acaba sin cerrar <a>"},
    {"EndTagWithoutStart", "<a></a>¶</b>", "</b> no cierra"},
    {"TextAfterTheRoot", "<a/>\n¶x", "texto tras el elemento raíz"},
    {"ReferenceAfterTheRoot", "<a/>¶&amp;", "texto tras el elemento raíz"},
    {"SecondRoot", "<a/>\n¶<b/>", "otro elemento tras el elemento raíz"},
    {"TextBeforeTheRoot", "\n ¶x<a/>", "texto antes del elemento raíz"},
    {"NoRoot", "<?xml version=\"1.0\"?>\n<!-- nothing -->\n¶", "no tiene ningún elemento"},
    {"EmptyFile", "¶", "no tiene ningún elemento"},
    {"UndeclaredEntity", "<a>x ¶&nbsp; y</a>", "entidad no declarada: &nbsp;"},
    {"BareAmpersand", "<a>x ¶& y</a>", "que no empieza una referencia"},
    {"EntityWithoutSemicolon", "<a>&amp¶ x</a>", "se esperaba \";\""},
    {"ReferenceToNul", "<a>¶&#0;</a>", "no admite"},
    {"ReferenceToSurrogate", "<a>¶&#xD800;</a>", "no admite"},
    {"ReferenceBeyondUnicode", "<a>¶&#x110000;</a>", "no admite"},
    {"HugeReference", "<a>¶&#99999999999999999999;</a>", "no admite"},
    {"ReferenceToFffe", "<a>¶&#xFFFE;</a>", "no admite"},
    {"ReferenceWithoutDigits", "<a>¶&#x;</a>", "mal escrita"},
    {"DecimalReferenceWithHexDigit", "<a>¶&#12a;</a>", "mal escrita"},
    {"UppercaseX", "<a>¶&#X41;</a>", "mal escrita"},
    {"ReferenceInAttribute", "<a b=\"¶&foo;\"/>", "entidad no declarada"},
    {"LessThanInAttribute", "<a b=\"x¶<y\"/>", "\"<\" no se admite"},
    {"UnquotedAttribute", "<a b=¶x/>", "entre comillas"},
    {"RepeatedAttribute", "<a b=\"1\" ¶b='2'/>", "atributo repetido: b"},
    {"NoBlankBetweenAttributes", "<a b=\"1\"¶c=\"2\"/>", "se esperaba un espacio"},
    {"AttributeWithoutValue", "<a b ¶c=\"1\"/>", "se esperaba \"=\""},
    {"UnclosedAttributeValue", "<a b=\"1>text¶", "acaba dentro de una etiqueta"},
    {"NameStartingWithDigit", "<¶1a/>", "nombre de un elemento"},
    {"LessThanInText", "<a>1 <¶ 2</a>", "nombre de un elemento"},
    {"SlashWithoutGreaterThan", "<a¶/ >", "se esperaba \"/>\""},
    {"JunkInEndTag", "<a></a ¶b>", "se esperaba \">\""},
    {"CdataEndInText", "<a>x¶]]>y</a>", "\"]]>\" no se admite"},
    {"DoubleHyphenInComment", "<a><!-- x ¶-- y --></a>", "\"--\" no se admite"},
    {"CommentEndingInThreeHyphens", "<a><!-- x¶---></a>", "\"--\" no se admite"},
    {"UnclosedComment", "<a><!-- x -¶", "acaba dentro de un comentario"},
    {"UnclosedCdata", "<a><![CDATA[x]]¶", "acaba dentro de una sección CDATA"},
    {"CdataOutsideTheRoot", "¶<![CDATA[x]]><a/>", "CDATA fuera del elemento raíz"},
    {"DeclarationNotAtTheStart", " ¶<?xml version=\"1.0\"?><a/>", "solo puede ir al principio"},
    {"DeclarationInsideTheRoot", "<a>¶<?xml version=\"1.0\"?></a>", "solo puede ir al principio"},
    {"DeclarationWithoutVersion", "<?xml ¶?><a/>", "falta la versión"},
    {"DeclarationWithBadVersion", "<?xml version=\"¶2.0\"?><a/>", "versión de XML no admitida"},
    {"Xml11", "<?xml version=\"¶1.1\"?><a/>", "versión de XML no admitida"},
    {"DeclarationOutOfOrder", "<?xml ¶encoding=\"UTF-8\" version=\"1.0\"?><a/>", "debe empezar por version"},
    {"DeclarationBadStandalone", "<?xml version=\"1.0\" standalone=\"¶maybe\"?><a/>", "valor no válido"},
    {"DoctypeAfterTheRoot", "<a/>¶<!DOCTYPE a>", "DOCTYPE fuera de lugar", false},
    {"SecondDoctype", "<!DOCTYPE a>¶<!DOCTYPE a><a/>", "DOCTYPE fuera de lugar", false},
    {"TwoColonsInAName", "<a ¶xml::lang=\"x\"/>", "nombre no válido: xml::lang"},
    {"ColonEndingAName", "<¶a:/>", "nombre no válido: a:"},
    {"ColonStartingAName", "<a ¶:b=\"1\"/>", "nombre no válido: :b"},
    {"UnknownMarkupDeclaration", "<a>¶<!ELEMENT x></a>", "se esperaba \"<!--\""},
    {"ProcessingInstructionWithoutBlank", "<a><?pi¶\"x\"?></a>", "se esperaba un espacio o \"?>\""},
    {"UnclosedProcessingInstruction", "<a><?pi x ?¶", "acaba dentro de una instrucción de proceso"},
    {"InvalidUtf8", "<a>x¶\xC3\x28</a>", "UTF-8 no válido"},
    {"OverlongUtf8", "<a>¶\xC0\xAF</a>", "UTF-8 no válido"},
    {"EncodedSurrogate", "<a>¶\xED\xA0\x80</a>", "UTF-8 no válido"},
    {"Utf8CutByTheEnd", "<a>x</a>¶\xE2\x82", "cortado al final", false},
    {"ControlCharacter", "<a>x¶\x01</a>", "U+0001"},
    {"ControlCharacterInAName", "<a¶\x1B/>", "U+001B"},
    {"Fffe", "<a>¶\xEF\xBF\xBE</a>", "U+FFFE"},
    {"TagCutByTheEnd", "<a><b c=\"1\"¶", "acaba dentro de una etiqueta"},
    {"LessThanAtTheEnd", "<a><¶", "acaba dentro de una etiqueta"},
};

class Malformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(Malformed, IsRefusedWhereTheFaultIs)
{
    const MalformedCase& c = GetParam();
    const Marked m = unmark(c.marked);
    for (const qint64 step : {0, 1, 2, 3, 7}) {
        const Verdict v = tokenize(m.bytes, step, step % 2 == 0);
        ASSERT_FALSE(v.wellFormed) << "read " << step << " bytes at a time";
        EXPECT_NE(v.reason.find(c.reason), std::string::npos) << v.reason;
        EXPECT_EQ(v.line, m.line) << v.reason << " (read " << step << " bytes at a time)";
        EXPECT_EQ(v.column, m.column) << v.reason << " (read " << step << " bytes at a time)";
    }
}

TEST_P(Malformed, IsRefusedByQXmlStreamReaderToo)
{
    const Marked m = unmark(GetParam().marked);
    EXPECT_EQ(oracleError(m.bytes).has_value(), GetParam().oracle);
}

INSTANTIATE_TEST_SUITE_P(Cases, Malformed, ::testing::ValuesIn(kMalformed),
                         [](const auto& info) { return std::string(info.param.name); });

struct WellFormedCase {
    const char* name;
    const char* xml;
};

void PrintTo(const WellFormedCase& c, std::ostream* os)
{
    *os << c.name;
}

const WellFormedCase kWellFormed[] = {
    {"EmptyRoot", "<a/>"},
    {"DeclarationAndBlanks", "<?xml version='1.0' encoding='utf-8' standalone='yes' ?>\n\n<a>\n</a>\n\n"},
    {"CommentsAndInstructionsAround", "<!-- c --><?pi data?><a><!----><?p?></a><!-- -x- --><?q  ?>\n"},
    {"DoctypeWithSubset",
     "<!DOCTYPE a PUBLIC \"-//x//y\" 'a.dtd' [<!ELEMENT a (#PCDATA)><!-- ]> --><!ATTLIST a b CDATA \"]\">]>\n<a b=\"1\"/>"},
    {"AttributesEveryWay", "<a b = \"1\" c='2' d=\"'\" e='\"' f=\"a>b\" g=\"&amp;&#65;\"\n\th=\"\r\n\"/>"},
    {"BlanksInEndTags", "<a><b></b\n><c ></c\t></a >"},
    {"NamesWithColonsDotsAndNonAscii", "<x:a xml:lang=\"es\" _b.c-d=\"1\"><ñandú/><x\u00B7y\u0300/></x:a>"
                                         "<!-- only the first root -->"},
    {"CdataAndTextWithGreaterThan", "<a>x > y <![CDATA[<&]]]]><![CDATA[>]]> ]] > </a>"},
    {"ReferencesOfEveryKind", "<a>&lt;&gt;&amp;&apos;&quot;&#9;&#xA;&#xd;&#x10FFFF;&#xE000;&#65533;</a>"},
    {"DeepNesting", "<a><a><a><a><a><a><a><a><a><a><a/></a></a></a></a></a></a></a></a></a></a>"},
    {"ProcessingInstructionLikeDeclaration", "<a><?xml-stylesheet href=\"a\"?><?xmlfoo?></a>"},
};

class WellFormed : public ::testing::TestWithParam<WellFormedCase> {};

TEST_P(WellFormed, IsReadByBothReaders)
{
    const QByteArray bytes(GetParam().xml);
    for (const qint64 step : {0, 1, 4}) {
        const Verdict v = tokenize(bytes, step, step != 1);
        EXPECT_TRUE(v.wellFormed) << v.reason << " at " << v.line << ":" << v.column;
    }
    const auto oracle = oracleError(bytes);
    EXPECT_FALSE(oracle.has_value()) << oracle.value_or(QString()).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, WellFormed, ::testing::ValuesIn(kWellFormed),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MalformedTmx, MessageNamesFileLineColumnAndFault)
{
    const char* tmx = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<tmx version=\"1.4\">\n"
                      "<header srclang=\"en\"/>\n"
                      "<body>\n"
                      "<tu>\n"
                      "<tuv xml:lang=\"en\">\n"
                      "<seg>Hello</tuv>\n";
    EXPECT_EQ(readTmxBytes(tmx).error,
              "No se puede leer el fichero \"m.tmx\": XML mal formado en la línea 7, columna 11: "
              "se esperaba </seg>");
}

TEST(MalformedTmx, WhatIsNotATranslationMemoryIsRefusedWhereItShows)
{
    struct Case {
        const char* name;
        std::string marked;
        const char* reason;
    };
    const Case cases[] = {
        {"OtherRoot", "<?xml version=\"1.0\"?>\n¶<html><body/></html>", "el elemento raíz es <html>, no <tmx>"},
        {"NoBody", "<tmx version=\"1.4\">\n<header srclang=\"en\"/>\n¶</tmx>", "falta el elemento <body>"},
        {"BodyOnlyInsideTheHeader", "<tmx><header><body/></header>¶</tmx>", "falta el elemento <body>"},
    };
    for (const Case& c : cases) {
        const Marked m = unmark(c.marked);
        const std::string expected = "No se puede leer el fichero \"m.tmx\": no es una memoria TMX (en la línea " +
                                     std::to_string(m.line) + ", columna " + std::to_string(m.column) +
                                     "): " + c.reason;
        EXPECT_EQ(readTmxBytes(m.bytes).error, expected) << c.name;
    }
}

TEST(MalformedTmx, UnitsBeforeTheFaultWereHandedOver)
{
    const char* tmx = "<tmx><header srclang=\"en\"/><body>"
                      "<tu><tuv xml:lang=\"en\"><seg>a</seg></tuv></tu>"
                      "<tu><tuv xml:lang=\"en\"><seg>b</tuv></tu></body></tmx>";
    const auto reading = readTmxBytes(tmx);
    EXPECT_NE(reading.error, "");
    EXPECT_EQ(reading.pairs.size(), 1u);
}

// Tags are kept whole in memory; one that never ends must not take it all.
TEST(MalformedTmx, AnEndlessTagIsRefused)
{
    const QByteArray bytes = "<tmx>\n  <tu note=\"" + QByteArray(17 << 20, 'x');
    EXPECT_EQ(readTmxBytes(bytes).error, "No se puede leer el fichero \"m.tmx\": XML mal formado en la línea 2, "
                                         "columna 3: una etiqueta o referencia de más de 16 MB");
}

TEST(MalformedTmx, AReadErrorIsReportedWithoutAPlace)
{
    const QByteArray tmx = "<tmx><body><tu><tuv xml:lang=\"en\"><seg>a</seg></tuv></tu></body></tmx>";
    for (const qint64 at : {0, 3, 30}) {
        TrickleDevice device(tmx, at % 2 ? 5 : 0); // read here, or ahead by a second thread
        device.failFrom(at);
        auto result = readTmx(device, "m.tmx", {}, [](const SegmentPair&) { return true; });
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().message, "No se puede leer el fichero \"m.tmx\": error de lectura: disco ilegible");
    }
}

// Input that never ends: a prefix, then one pattern over and over.
class EndlessDevice : public QIODevice {
public:
    EndlessDevice(QByteArray prefix, QByteArray pattern) : prefix_(std::move(prefix)), pattern_(std::move(pattern))
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 max) override
    {
        for (qint64 k = 0; k < max; ++k, ++served_)
            data[k] = served_ < prefix_.size() ? prefix_[served_]
                                               : pattern_[(served_ - prefix_.size()) % pattern_.size()];
        return max;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray prefix_, pattern_;
    qint64 served_ = 0;
};

// What a hostile file may try: it is refused where it goes too far, with
// the file, the line and the column, and memory stays bounded.
TEST(HostileXml, LimitsAreReportedWhereTheyArePassed)
{
    struct Case { const char* name; std::function<std::unique_ptr<QIODevice>()> device; const char* reason; qint64 line, column; };
    const QByteArray unit = "<tmx>\n<body><tu><tuv xml:lang=\"en\"><seg>";
    const Case cases[] = {
        {"an endless segment", [&] { return std::make_unique<EndlessDevice>(unit, "a"); },
         "un segmento de más de 16 MB", 2, 0},
        {"an endless segment of references", [&] { return std::make_unique<EndlessDevice>(unit, "&amp;[x]"); },
         "un segmento de más de 16 MB", 2, 0},
        {"endless nesting", [] { return std::make_unique<EndlessDevice>("<tmx>\n", "<a>"); },
         "más de 1000 elementos anidados", 2, 3 * 999 + 1},
        {"endless zeros", [] { return std::make_unique<EndlessDevice>("", QByteArray(1, '\0')); },
         "U+0000", 1, 1},
        {"an endless comment in a segment, then a segment", [&] {
             return std::make_unique<EndlessDevice>(unit + "x<!--" + QByteArray(20 << 20, '-').replace("--", "- ") + "-->",
                                                    "b");
         },
         "un segmento de más de 16 MB", 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::unique_ptr<QIODevice> device = c.device();
        auto result = readTmx(*device, "m.tmx", {}, [](const SegmentPair&) { return true; });
        ASSERT_FALSE(result.ok());
        const std::string message = result.error().message.toStdString();
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
        const std::string place = "en la línea " + std::to_string(c.line) + ", columna " +
                                  (c.column ? std::to_string(c.column) : std::string());
        EXPECT_NE(message.find(place), std::string::npos) << message;
    }
}

TEST(HostileXml, NestingStopsAtAThousandElements)
{
    QByteArray deep = "<tmx>";
    for (int k = 1; k < XmlTokenizer::kMaxDepth; ++k) deep += "<a>";
    QByteArray closing;
    for (int k = 1; k < XmlTokenizer::kMaxDepth; ++k) closing += "</a>";
    EXPECT_TRUE(tokenize(deep + closing + "</tmx>", 0, false).wellFormed) << "a thousand is allowed";
    const Verdict deeper = tokenize(deep + "<b></b>" + closing + "</tmx>", 0, false);
    EXPECT_FALSE(deeper.wellFormed);
    EXPECT_EQ(deeper.column, 5 + 3 * 999 + 1);
}

// A repeated attribute is found in linear time: a tag of 400,000 attributes
// is read at once (a check of every pair would take many minutes).
TEST(HostileXml, ManyAttributesOnOneElement)
{
    QByteArray tag = "<tmx";
    for (int k = 0; k < 400'000; ++k) tag += " a" + QByteArray::number(k) + "=\"1\"";
    EXPECT_TRUE(tokenize(tag + "/>", 0, false).wellFormed);
    const Verdict repeated = tokenize(tag + " a399999='2'/>", 0, false);
    EXPECT_FALSE(repeated.wellFormed);
    EXPECT_EQ(repeated.reason, "atributo repetido: a399999");
    const Verdict early = tokenize(tag + " a7='2'/>", 0, false);
    EXPECT_EQ(early.reason, "atributo repetido: a7");
}

// Changes a few bytes of well-formed memories at random; both readers must
// then agree on whether the result is still well-formed.
TEST(MalformedTmx, RandomDamageIsJudgedLikeQXmlStreamReader)
{
    const std::string bases[] = {
        "<tmx version=\"1.4\"><header srclang=\"en\" o-tmf='x'/><body>\n"
        "<tu tuid=\"1\"><tuv xml:lang=\"en\"><seg>Press <bpt i=\"1\">&lt;b></bpt>Enter &amp; go</seg></tuv>\n"
        "<tuv xml:lang=\"es\"><seg>Pulse <![CDATA[<Intro>]]> &#233;</seg></tuv></tu>\n"
        "<!-- note --><tu><tuv xml:lang='es'><seg>a<ph/>b<hi>c</hi></seg></tuv></tu>\n"
        "</body></tmx>\n",
        "<?xml version=\"1.0\"?>\n<?pi x?><tmx><body><tu><tuv lang=\"fr\"><seg>\u00E9t\u00E9 [1] "
        "\u20AC</seg></tuv></tu></body></tmx>",
    };
    std::mt19937 random(20240501);
    const std::string inserts = "<>&;/=\"' ]-!?[#x";
    int damaged = 0, disagreements = 0;
    for (const std::string& base : bases) {
        for (int round = 0; round < 1500; ++round) {
            std::string bytes = base;
            const int changes = 1 + int(random() % 3);
            for (int k = 0; k < changes; ++k) {
                const size_t at = random() % bytes.size();
                switch (random() % 4) {
                case 0: bytes.erase(at, 1); break;
                case 1: bytes.insert(at, 1, inserts[random() % inserts.size()]); break;
                case 2: std::swap(bytes[at], bytes[random() % bytes.size()]); break;
                default: bytes.insert(at, bytes.substr(random() % bytes.size(), 1 + random() % 6)); break;
                }
            }
            const QByteArray input = QByteArray::fromStdString(bytes);
            const Verdict ours = tokenize(input, 0, true);
            const auto theirs = oracleError(input);
            damaged += !ours.wellFormed;
            if (ours.wellFormed != !theirs.has_value()) {
                ++disagreements;
                ADD_FAILURE() << "ours: " << (ours.wellFormed ? "well-formed" : ours.reason)
                              << "; QXmlStreamReader: " << theirs.value_or("well-formed").toStdString()
                              << "\n" << bytes;
                if (disagreements > 5) return;
            }
            // Reading a byte at a time gives the same verdict at the same place.
            const Verdict slow = tokenize(input, 1, false);
            EXPECT_EQ(slow.reason, ours.reason);
            EXPECT_EQ(slow.line, ours.line);
            EXPECT_EQ(slow.column, ours.column);
        }
    }
    EXPECT_GT(damaged, 1000); // most changes do break the document
}

} // namespace
} // namespace solandre
