// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx_test_support.h"

#include <gtest/gtest.h>

namespace solandre {
namespace {

using testing::oracleError;
using testing::oracleUnits;
using testing::pair;
using testing::readTmxBytes;

// A memory of one unit whose DOCTYPE declares `entities`.
QByteArray memory(const std::string& entities, const std::string& english, const std::string& spanish,
                  const std::string& spanishLanguage = "es")
{
    return QByteArray::fromStdString("<?xml version=\"1.0\"?>\n<!DOCTYPE tmx [\n" + entities +
                                     "\n]>\n<tmx version=\"1.4\"><header srclang=\"en\"/><body>\n<tu><tuv xml:lang=\"en\"><seg>" +
                                     english + "</seg></tuv><tuv xml:lang=\"" + spanishLanguage + "\"><seg>" + spanish +
                                     "</seg></tuv></tu>\n</body></tmx>\n");
}

struct ExpandedCase {
    const char* name;
    QByteArray bytes;
    SegmentPair expected;
};

TEST(XmlEntities, InternalEntitiesAreExpandedAsQXmlStreamReaderDoes)
{
    const ExpandedCase cases[] = {
        {"a name for a phrase", memory(R"(<!ENTITY club "Club Alpino">)", "The &club; climbs", "El &club; sube"),
         pair("The Club Alpino climbs", "El Club Alpino sube")},
        {"entities in entities, character references, brackets",
         memory(R"(<!ENTITY a "&#233;t&#xE9;"> <!ENTITY b '[&a;] &amp; m&#225;s'>)", "&b;", "&a;"),
         pair("<\u00E9t\u00E9> & m\u00E1s", "\u00E9t\u00E9")},
        {"a reference to an entity declared after the one that holds it",
         memory(R"(<!ENTITY a "x&b;x"><!ENTITY b "y">)", "&a;", "b"), pair("xyx", "b")},
        {"the first declaration binds", memory(R"(<!ENTITY a "one"><!ENTITY a "two">)", "&a;", "a"),
         pair("one", "a")},
        {"markup in an entity: a native code dropped, other tags kept as text",
         memory(R"(<!ENTITY code "<ph>&lt;b></ph>bold<hi>er</hi>">)", "a &code; b", "c"), pair("a bolder b", "c")},
        {"escaped twice, as XML's own example",
         memory(R"(<!ENTITY example "<hi>An ampersand (&#38;#38;) may be escaped numerically (&#38;#38;#38;) or with a general entity (&amp;amp;).</hi>">)",
                "&example;", "x"),
         pair("An ampersand (&) may be escaped numerically (&#38;) or with a general entity (&amp;).", "x")},
        {"an entity in an attribute", memory(R"(<!ENTITY es "es-ES">)", "one", "uno", "&es;"), pair("one", "uno")},
        {"line breaks and a tab in an entity", memory("<!ENTITY lines \"a\r\nb&#9;c\">", "&lines;", "x"),
         pair("a b c", "x")},
        {"parameter entities and other declarations are passed over",
         memory(R"(<!ENTITY % p "ignored"><!ELEMENT seg (#PCDATA)><!ATTLIST seg x CDATA "&#38;"><!-- <!ENTITY c "no"> --><!ENTITY c "yes">)",
                "&c;", "x"),
         pair("yes", "x")},
    };
    for (const ExpandedCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (const qint64 step : {0, 1, 5}) {
            const auto reading = readTmxBytes(c.bytes, {"en", "es"}, step);
            ASSERT_EQ(reading.error, "") << "read " << step << " bytes at a time";
            ASSERT_EQ(reading.pairs.size(), 1u);
            EXPECT_EQ(reading.pairs[0], c.expected);
        }
        const auto units = oracleUnits(c.bytes);
        ASSERT_EQ(units.size(), 1u) << oracleError(c.bytes).value_or("").toStdString();
        EXPECT_EQ(units[0].at("en"), c.expected.source);
    }
}

struct RefusedCase {
    const char* name;
    QByteArray bytes;
    const char* reason;
};

std::string laughs(int levels)
{
    std::string entities = "<!ENTITY lol0 \"lol\">";
    for (int k = 1; k <= levels; ++k) {
        entities += "<!ENTITY lol" + std::to_string(k) + " \"";
        for (int r = 0; r < 10; ++r) entities += "&lol" + std::to_string(k - 1) + ";";
        entities += "\">";
    }
    return entities;
}

TEST(XmlEntities, WhatCannotBeExpandedIsRefusedAndSaysWhy)
{
    std::string manyUses = "&big;</seg></tuv></tu>";
    for (int k = 0; k < 40; ++k) manyUses += "<tu><tuv xml:lang=\"en\"><seg>&big;</seg></tuv></tu>";
    manyUses += "<tu><tuv xml:lang=\"en\"><seg>";
    const RefusedCase cases[] = {
        {"an external entity", memory(R"(<!ENTITY ext SYSTEM "file:///etc/passwd">)", "&ext;", "x"),
         "la memoria remite a la entidad externa &ext;, que no se lee"},
        {"an external entity by a public name",
         memory(R"(<!ENTITY ext PUBLIC "-//x//y" "http://example.com/e.xml">)", "a", "&ext;"),
         "la memoria remite a la entidad externa &ext;"},
        {"billion laughs", memory(laughs(9), "&lol9;", "x"), "una bomba de entidades (\"billion laughs\")"},
        {"billion laughs in an attribute", memory(laughs(9), "a", "b", "&lol9;"), "billion laughs"},
        {"a few laughs used often", memory("<!ENTITY big \"" + std::string(900'000, 'x') + "\">", manyUses, "x"),
         "las entidades se expanden a más de"},
        {"an entity that holds itself", memory(R"(<!ENTITY a "x&b;"><!ENTITY b "&a;">)", "&a;", "x"),
         "se contiene a sí misma"},
        {"markup that does not close in the entity", memory(R"(<!ENTITY open "<hi>">)", "&open;</hi>", "x"),
         "en la entidad &open;:"},
        {"markup in an attribute", memory(R"(<!ENTITY tag "<hi/>">)", "a", "b", "&tag;"),
         "no se admite en el valor de un atributo"},
        {"an entity not declared", memory(R"(<!ENTITY a "x">)", "&b;", "x"), "entidad no declarada: &b;"},
    };
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto reading = readTmxBytes(c.bytes, {"en", "es"});
        EXPECT_NE(reading.error.find(c.reason), std::string::npos) << reading.error;
        EXPECT_NE(reading.error.find("en la línea"), std::string::npos) << reading.error;
    }
}

} // namespace
} // namespace solandre
