// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/memory_export.h"
#include "tmx/memory_import.h"
#include "support/temp_files.h"

#include <QFile>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace solandre {
namespace {

using testing::cp1252;
using testing::readBytes;
using testing::TempDir;

const std::string kBom = "\xEF\xBB\xBF";

std::string tmx(const std::string& header, const std::string& body, const std::string& declaration =
                                                                         R"(<?xml version="1.0" encoding="UTF-8"?>)")
{
    return declaration + "\n<tmx version=\"1.4\"><header creationtool=\"t\" creationtoolversion=\"1\" "
                         "segtype=\"sentence\" o-tmf=\"t\" adminlang=\"en\" datatype=\"plaintext\" " +
           header + "/><body>" + body + "</body></tmx>\n";
}

std::string tu(const std::string& es, const std::string& fr)
{
    std::string unit = "<tu>";
    if (!es.empty()) unit += "<tuv xml:lang=\"es-ES\"><seg>" + es + "</seg></tuv>";
    if (!fr.empty()) unit += "<tuv xml:lang=\"fr-FR\"><seg>" + fr + "</seg></tuv>";
    return unit + "</tu>";
}

struct Imported {
    Result<MemoryImport> result;
    std::string source, target;
};

Imported import(const TempDir& dir, const QString& input, const TmxLanguageChoice& languages = {})
{
    auto result = importMemory(input, dir.path("s_ref.txt"), dir.path("c_ref.txt"), languages);
    return {std::move(result), readBytes(dir.path("s_ref.txt")), readBytes(dir.path("c_ref.txt"))};
}

TEST(MemoryImport, UnitKBecomesRecordKOfBothFiles)
{
    TempDir dir;
    const QString input = dir.write(
        "m.tmx", tmx("srclang=\"es-ES\"",
                     tu("Hola <bpt i=\"1\">&lt;b&gt;</bpt>mundo<ept i=\"1\">&lt;/b&gt;</ept>.", "Bonjour le monde.") +
                         tu("Dos\nlíneas [y] <hi>más</hi> &amp; <![CDATA[<texto>]]>", "Deux\tlignes") +
                         tu("Sólo origen", "") + tu("", "Seulement la cible")));
    const Imported out = import(dir, input);
    ASSERT_TRUE(out.result.ok()) << out.result.error().message.toStdString();
    EXPECT_EQ(out.source, kBom + "[1] Hola mundo.\r\n[2] Dos líneas <y> más & <texto>\r\n[3] Sólo origen\r\n[4] \r\n");
    EXPECT_EQ(out.target, kBom + "[1] Bonjour le monde.\r\n[2] Deux lignes\r\n[3] \r\n[4] Seulement la cible\r\n");
    const MemoryImport& summary = out.result.value();
    EXPECT_EQ(summary.units, 4);
    EXPECT_EQ(summary.unitsWithoutSource, 1);
    EXPECT_EQ(summary.unitsWithoutTarget, 1);
    EXPECT_EQ(summary.sourceLanguage, "es-ES");
    EXPECT_EQ(summary.targetLanguage, "fr-FR");
}

TEST(MemoryImport, TheLanguagesChosenAreTakenWhateverTheHeaderSays)
{
    TempDir dir;
    const std::string unit = "<tu><tuv xml:lang=\"en\"><seg>One</seg></tuv><tuv xml:lang=\"fr-FR\"><seg>Un</seg></tuv>"
                             "<tuv xml:lang=\"es-ES\"><seg>Uno</seg></tuv></tu>";
    const QString input = dir.write("m.tmx", tmx("srclang=\"en\"", unit));
    const Imported byDefault = import(dir, input);
    ASSERT_TRUE(byDefault.result.ok());
    EXPECT_EQ(byDefault.source, kBom + "[1] One\r\n");
    EXPECT_EQ(byDefault.target, kBom + "[1] Un\r\n");
    const Imported chosen = import(dir, input, {"ES", "fr"});
    ASSERT_TRUE(chosen.result.ok());
    EXPECT_EQ(chosen.source, kBom + "[1] Uno\r\n");
    EXPECT_EQ(chosen.target, kBom + "[1] Un\r\n");
}

TEST(MemoryImport, AnEightBitMemoryStaysInWindows1252WhileEveryCharacterFits)
{
    TempDir dir;
    const std::string declaration = R"(<?xml version="1.0" encoding="windows-1252"?>)";
    const QString fits = dir.write("a.tmx", tmx("srclang=\"es\"", tu(cp1252("Canción"), cp1252("Chanson œuvre")),
                                                 declaration));
    const Imported a = import(dir, fits);
    ASSERT_TRUE(a.result.ok()) << a.result.error().message.toStdString();
    EXPECT_EQ(a.result.value().encoding, Encoding::Windows1252);
    EXPECT_EQ(a.source, cp1252("[1] Canción\r\n"));
    EXPECT_EQ(a.target, cp1252("[1] Chanson œuvre\r\n"));

    // A character reference brings a character the code page lacks.
    const QString misfit =
        dir.write("b.tmx", tmx("srclang=\"es\"", tu(cp1252("Canción"), "&#x4E2D;&#x6587;"), declaration));
    const Imported b = import(dir, misfit);
    ASSERT_TRUE(b.result.ok());
    EXPECT_EQ(b.result.value().encoding, Encoding::Utf8);
    EXPECT_EQ(b.source, kBom + "[1] Canción\r\n");
    EXPECT_EQ(b.target, kBom + "[1] 中文\r\n");
}

TEST(MemoryImport, TablesKeepTheirEncodingAndTheirQuotes)
{
    TempDir dir;
    struct Case {
        const char* name;
        std::string table;
        std::string source, target;
    };
    const Case cases[] = {
        {"UTF-8 with Windows line ends", "Hola\tBonjour\r\n\"Dijo \"\"sí\"\"\"\t\"Il a dit\r\n« oui »\"\r\n",
         kBom + "[1] Hola\r\n[2] Dijo \"sí\"\r\n", kBom + "[1] Bonjour\r\n[2] Il a dit « oui »\r\n"},
        {"Windows-1252", cp1252("Canción\tChanson\n"), cp1252("[1] Canción\r\n"), cp1252("[1] Chanson\r\n")},
        {"empty fields and a row without a tab", "\tSeul\nSolo\n\t\n", "[1] \r\n[2] Solo\r\n[3] \r\n",
         "[1] Seul\r\n[2] \r\n[3] \r\n"},
        {"a quoted sentence stays as written", "\"Hola\", dijo.\t[Nota] a\tb\n",
         "[1] \"Hola\", dijo.\r\n", "[1] <Nota> a b\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Imported out = import(dir, dir.write("t.tsv", c.table));
        ASSERT_TRUE(out.result.ok()) << out.result.error().message.toStdString();
        EXPECT_EQ(out.result.value().format, MemoryFormat::Table);
        EXPECT_EQ(out.source, c.source);
        EXPECT_EQ(out.target, c.target);
    }
}

TEST(MemoryImport, RefusalsAndFaultsWriteNothing)
{
    TempDir dir;
    const QString good = dir.write("good.tmx", tmx("srclang=\"es\"", tu("Uno", "Un")));
    const QString malformed = dir.write("bad.tmx", tmx("srclang=\"es\"", tu("Uno", "Un") + "<tu><tuv>"));
    const QString noUnits = dir.write("empty.tmx", tmx("srclang=\"es\"", ""));
    const QString emptyTable = dir.write("empty.tsv", "");
    dir.write("s_ref.txt", "old source");
    dir.write("c_ref.txt", "old target");
    struct Case {
        const char* name;
        QString input, sourceOut, targetOut;
        const char* reason;
    };
    const Case cases[] = {
        {"malformed XML", malformed, dir.path("s_ref.txt"), dir.path("c_ref.txt"), "en la línea 2, columna"},
        {"no unit", noUnits, dir.path("s_ref.txt"), dir.path("c_ref.txt"), "ninguna unidad"},
        {"an empty table", emptyTable, dir.path("s_ref.txt"), dir.path("c_ref.txt"), "ninguna fila"},
        {"an output that is the input", good, good, dir.path("c_ref.txt"), "es uno de los textos de entrada"},
        {"both outputs the same", good, dir.path("s_ref.txt"), dir.path("s_ref.txt"), "es uno de los textos"},
        {"a missing input", dir.path("none.tmx"), dir.path("s_ref.txt"), dir.path("c_ref.txt"), "none.tmx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = importMemory(c.input, c.sourceOut, c.targetOut);
        ASSERT_FALSE(result.ok());
        EXPECT_TRUE(result.error().message.contains(c.reason)) << result.error().message.toStdString();
        EXPECT_EQ(readBytes(dir.path("s_ref.txt")), "old source");
        EXPECT_EQ(readBytes(dir.path("c_ref.txt")), "old target");
    }
    EXPECT_EQ(readBytes(good), tmx("srclang=\"es\"", tu("Uno", "Un")));
    EXPECT_EQ(dir.entries().size(), 6) << "no temporary file left";
}

// What TMX 1.4b asks of a document, read back with QXmlStreamReader.
struct TmxShape {
    QString problem; // empty when the document is as TMX 1.4b asks
    std::vector<std::map<QString, QString>> units;
};

TmxShape readShape(const QByteArray& bytes)
{
    TmxShape shape;
    QXmlStreamReader xml(bytes);
    auto fail = [&](const QString& what) { return shape.problem = what, shape; };
    if (!xml.readNextStartElement() || xml.name() != u"tmx") return fail("no tmx root");
    if (xml.attributes().value("version") != u"1.4") return fail("version");
    if (!xml.readNextStartElement() || xml.name() != u"header") return fail("no header");
    for (const char* required :
         {"creationtool", "creationtoolversion", "segtype", "o-tmf", "adminlang", "srclang", "datatype"})
        if (!xml.attributes().hasAttribute(required)) return fail(QString("header without ") + required);
    if (xml.attributes().value("segtype") != u"sentence") return fail("segtype");
    xml.skipCurrentElement();
    if (!xml.readNextStartElement() || xml.name() != u"body") return fail("no body");
    while (xml.readNextStartElement()) {
        if (xml.name() != u"tu") return fail("not a tu in the body");
        auto& unit = shape.units.emplace_back();
        while (xml.readNextStartElement()) {
            if (xml.name() != u"tuv") return fail("not a tuv in a tu");
            const QString language = xml.attributes().value("xml:lang").toString();
            if (language.isEmpty()) return fail("tuv without xml:lang");
            int segs = 0;
            while (xml.readNextStartElement()) {
                if (xml.name() != u"seg") return fail("not a seg in a tuv");
                ++segs;
                unit[language] = xml.readElementText();
            }
            if (segs != 1) return fail("not one seg");
        }
    }
    if (xml.hasError()) return fail(xml.errorString());
    return shape;
}

TEST(MemoryExport, ANumberedPairBecomesAWellFormedTmxAndComesBackTheSame)
{
    TempDir dir;
    const std::string source = kBom + "[1] Uno & <dos>\r\n[2] \r\n[3] Tres \"comillas\"\r\n[4] Cuatro\r\n";
    const std::string target = kBom + "[1] Un & <deux>\r\n[2] \r\n[3] Trois \"guillemets\"\r\n[4] \r\n";
    const QString es = dir.write("es_ref.txt", source), fr = dir.write("fr_ref.txt", target);
    const auto written = exportNumberedPair(es, fr, dir.path("m.tmx"), {"es", "fr"});
    ASSERT_TRUE(written.ok()) << written.error().message.toStdString();
    EXPECT_EQ(written.value().units, 3);
    EXPECT_EQ(written.value().skipped, 1) << "the pair empty on both sides";

    QFile file(dir.path("m.tmx"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const TmxShape shape = readShape(file.readAll());
    ASSERT_TRUE(shape.problem.isEmpty()) << shape.problem.toStdString();
    ASSERT_EQ(shape.units.size(), 3u);
    EXPECT_EQ(shape.units[0].at("es"), "Uno & <dos>");
    EXPECT_EQ(shape.units[2].count("fr"), 0u) << "an empty side has no variant";

    // Back to a pair: the same records, the skipped pair aside.
    const auto back = importMemory(dir.path("m.tmx"), dir.path("es2.txt"), dir.path("fr2.txt"));
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(readBytes(dir.path("es2.txt")), kBom + "[1] Uno & <dos>\r\n[2] Tres \"comillas\"\r\n[3] Cuatro\r\n");
    EXPECT_EQ(readBytes(dir.path("fr2.txt")), kBom + "[1] Un & <deux>\r\n[2] Trois \"guillemets\"\r\n[3] \r\n");
}

TEST(MemoryExport, TextsInWindows1252RoundTripRecordForRecord)
{
    TempDir dir;
    std::string source, target;
    for (int k = 1; k <= 300; ++k) {
        source += "[" + std::to_string(k) + "] " + cp1252("Canción número ") + std::to_string(k) + ".\r\n";
        target += "[" + std::to_string(k) + "] " + cp1252("Chanson numéro ") + std::to_string(k) + ".\r\n";
    }
    const QString es = dir.write("es.txt", source), fr = dir.write("fr.txt", target);
    ASSERT_TRUE(exportNumberedPair(es, fr, dir.path("m.tmx"), {"es", "fr"}).ok());
    const auto back = importMemory(dir.path("m.tmx"), dir.path("es2.txt"), dir.path("fr2.txt"));
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.value().units, 300);
    // The memory is UTF-8, and so is the pair made from it.
    EXPECT_EQ(readBytes(dir.path("es2.txt")), kBom + QString::fromLatin1(source).toStdString());
    EXPECT_EQ(readBytes(dir.path("fr2.txt")), kBom + QString::fromLatin1(target).toStdString());
}

TEST(MemoryExport, RefusalsLeaveTheOldFile)
{
    TempDir dir;
    const QString es = dir.write("es.txt", "[1] Uno\r\n"), fr = dir.write("fr.txt", "[1] Un\r\n");
    const QString old = dir.write("m.tmx", "old");
    struct Case {
        const char* name;
        QString out;
        MemoryLanguages languages;
        const char* reason;
    };
    const Case cases[] = {
        {"no target language", old, {"es", ""}, "faltan las lenguas"},
        {"the same language twice", old, {"es", "ES"}, "son la misma"},
        {"the output is a text", es, {"es", "fr"}, "es uno de los textos de entrada"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = exportNumberedPair(es, fr, c.out, c.languages);
        ASSERT_FALSE(result.ok());
        EXPECT_TRUE(result.error().message.contains(c.reason)) << result.error().message.toStdString();
    }
    EXPECT_EQ(readBytes(old), "old");
    EXPECT_EQ(readBytes(es), "[1] Uno\r\n");
}

} // namespace
} // namespace solandre
