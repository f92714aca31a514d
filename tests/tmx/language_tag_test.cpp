// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/language_tag.h"
#include "tmx/memory_export.h"
#include "tmx/tmx_writer.h"
#include "support/temp_files.h"
#include "tmx_test_support.h"

#include <QFile>

#include <gtest/gtest.h>

namespace solandre {
namespace {

TEST(LanguageTag, CanonicalCasingAndWellFormedness)
{
    struct Case { const char* tag; const char* canonical; }; // nullptr: not well formed
    const Case cases[] = {
        {"en-GB", "en-GB"},        {"en_GB", "en-GB"},           {"en-gb", "en-GB"},
        {"EN_gb", "en-GB"},        {"es", "es"},                 {"es-419", "es-419"},
        {"zh-hant-tw", "zh-Hant-TW"}, {"sr_latn_rs", "sr-Latn-RS"}, {"de-CH-1996", "de-CH-1996"},
        {"sl-rozaj-biske", "sl-rozaj-biske"}, {"zh-yue-HK", "zh-yue-HK"}, {"en-a-bbb-x-a-ccc", "en-a-bbb-x-a-ccc"},
        {"X-Private", "x-private"}, {"i-Klingon", "i-klingon"},   {"en-GB-oed", "en-gb-oed"},
        {"x y<", nullptr},         {"en\"x", nullptr},           {"", nullptr},
        {"e", nullptr},            {"en-", nullptr},             {"-en", nullptr},
        {"en--GB", nullptr},       {"toolongtag", nullptr},      {"en-a", nullptr},
        {"x", nullptr},            {"1en", nullptr},             {"*all*", nullptr},
        {"en-GB-toolongvariant", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag);
        const auto canonical = canonicalLanguageTag(c.tag);
        if (c.canonical) EXPECT_EQ(canonical, QString(c.canonical));
        else EXPECT_FALSE(canonical.has_value()) << canonical->toStdString();
    }
}

// "en_GB", "en-GB" and "en-gb" are one language to the reader, the options
// and the writer alike.
TEST(LanguageTag, OneLanguageHoweverItIsSpelt)
{
    const QByteArray memory = "<tmx><header srclang=\"en_GB\"/><body><tu><tuv xml:lang=\"en-gb\"><seg>colour</seg></tuv>"
                              "<tuv xml:lang=\"fr_FR\"><seg>couleur</seg></tuv></tu></body></tmx>";
    const auto byDefault = testing::readTmxBytes(memory);
    ASSERT_EQ(byDefault.error, "");
    EXPECT_EQ(byDefault.pairs.at(0), testing::pair("colour", "couleur"));
    const auto chosen = testing::readTmxBytes(memory, {"EN-GB", "fr-fr"});
    EXPECT_EQ(chosen.pairs.at(0), testing::pair("colour", "couleur"));

    for (const auto& [source, target] : {std::pair{"en_GB", "en-gb"}, std::pair{"en-GB", "EN_gb"}}) {
        const auto same = testing::readTmxBytes(memory, {source, target});
        EXPECT_NE(same.error.find("son la misma"), std::string::npos) << same.error;
        EXPECT_TRUE(same.pairs.empty());
    }

    QByteArray written;
    TmxWriter writer([&](std::string_view s) { written.append(s.data(), qsizetype(s.size())); },
                     {"en_gb", "FR", "1", {}});
    writer.add("a", "b");
    writer.finish();
    EXPECT_TRUE(written.contains("srclang=\"en-GB\"")) << written.toStdString();
    EXPECT_TRUE(written.contains("<tuv xml:lang=\"fr\">")) << written.toStdString();

    testing::TempDir dir;
    const QString es = dir.write("es.txt", "[1] Uno\r\n"), fr = dir.write("fr.txt", "[1] Un\r\n");
    const auto twice = exportNumberedPair(es, fr, dir.path("m.tmx"), {"en_GB", "en-gb"});
    ASSERT_FALSE(twice.ok());
    EXPECT_TRUE(twice.error().message.contains("son la misma"));
    const auto bad = exportNumberedPair(es, fr, dir.path("m.tmx"), {"es", "en\"x"});
    ASSERT_FALSE(bad.ok());
    EXPECT_TRUE(bad.error().message.contains("no es una etiqueta de lengua")) << bad.error().message.toStdString();
    EXPECT_FALSE(QFile::exists(dir.path("m.tmx")));
}

} // namespace
} // namespace solandre
