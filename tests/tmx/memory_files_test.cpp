// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/memory_export.h"
#include "tmx/memory_import.h"
#include "support/temp_files.h"
#include "tmx_test_support.h"

#include <QFile>
#include <QXmlStreamReader>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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
        {"an empty table", emptyTable, dir.path("s_ref.txt"), dir.path("c_ref.txt"), "no contiene ninguna unidad"},
        {"an output that is the input", good, good, dir.path("c_ref.txt"), "es uno de los textos de entrada"},
        {"both outputs the same", good, dir.path("s_ref.txt"), dir.path("s_ref.txt"), "las dos salidas son el mismo fichero"},
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

// A memory of `units` units, "Uno k" and "Un k".
std::string manyUnits(int units)
{
    std::string body;
    for (int k = 1; k <= units; ++k)
        body += tu("Uno " + std::to_string(k), "Un " + std::to_string(k));
    return tmx("srclang=\"es-ES\"", body);
}

// Writes `bytes` to the write end of a pipe on a thread of its own.
class PipeWriter {
public:
    PipeWriter(int fd, std::string bytes)
        : thread_([fd, bytes = std::move(bytes)] {
              for (size_t at = 0; at < bytes.size();) {
                  const ssize_t n = ::write(fd, bytes.data() + at, std::min<size_t>(bytes.size() - at, 3000));
                  if (n <= 0) break;
                  at += size_t(n);
              }
              ::close(fd);
          })
    {
    }
    ~PipeWriter() { thread_.join(); }

private:
    std::thread thread_;
};

// A process substitution ("<(cat m.tmx)") and a named pipe are read once,
// with the first bytes that told the format, and nothing is lost.
TEST(MemoryImport, PipesAreReadOnceAndWhole)
{
    TempDir dir;
    const std::string memory = manyUnits(3000);
    std::string table, expectedSource, expectedTarget;
    for (int k = 1; k <= 3000; ++k) {
        table += "Uno " + std::to_string(k) + "\tUn " + std::to_string(k) + "\n";
        expectedSource += "[" + std::to_string(k) + "] Uno " + std::to_string(k) + "\r\n";
        expectedTarget += "[" + std::to_string(k) + "] Un " + std::to_string(k) + "\r\n";
    }
    ASSERT_GT(memory.size(), 64u * 1024);
    for (const std::string& content : {memory, table}) {
        for (const bool named : {false, true}) {
            SCOPED_TRACE(std::string(named ? "a named pipe, " : "a pipe, ") + (content == memory ? "a memory" : "a table"));
            QString path;
            std::unique_ptr<PipeWriter> writer;
            if (named) {
                path = dir.path("fifo");
                QFile::remove(path);
                ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
                std::thread opener([&] { writer = std::make_unique<PipeWriter>(::open(QFile::encodeName(path).constData(), O_WRONLY), content); });
                const auto result = importMemory(path, dir.path("s_ref.txt"), dir.path("c_ref.txt"));
                opener.join();
                writer.reset();
                ASSERT_TRUE(result.ok()) << result.error().message.toStdString();
                EXPECT_EQ(result.value().units, 3000);
            } else {
                int ends[2];
                ASSERT_EQ(pipe(ends), 0);
                writer = std::make_unique<PipeWriter>(ends[1], content);
                path = QStringLiteral("/dev/fd/%1").arg(ends[0]);
                const auto result = importMemory(path, dir.path("s_ref.txt"), dir.path("c_ref.txt"));
                writer.reset();
                ::close(ends[0]);
                ASSERT_TRUE(result.ok()) << result.error().message.toStdString();
                EXPECT_EQ(result.value().units, 3000);
            }
            // A table all in ASCII is taken as Windows-1252, and written so.
            const std::string mark = content == memory ? kBom : "";
            const std::string source = readBytes(dir.path("s_ref.txt")), target = readBytes(dir.path("c_ref.txt"));
            EXPECT_TRUE(source == mark + expectedSource) << source.substr(0, 200);
            EXPECT_TRUE(target == mark + expectedTarget) << target.substr(0, 200);
        }
    }
}

// What a file holds is told by its content, or said outright.
TEST(MemoryImport, TablesAndMemoriesAreToldApartByTheirContent)
{
    TempDir dir;
    struct Case {
        const char* name;
        std::string bytes;
        std::optional<MemoryFormat> said;
        MemoryFormat read;
        std::string source;
    };
    const std::string utf16Table = testing::utf16("Canci\xC3\xB3n\tChanson\r\n<b>Dos</b>\tDeux\r\n", true, true).toStdString();
    const Case cases[] = {
        {"a UTF-16 table with its mark", utf16Table, {}, MemoryFormat::Table, kBom + "[1] Canción\r\n[2] <b>Dos</b>\r\n"},
        {"a big-endian UTF-16 table", testing::utf16("Uno\tUn\n", false, true).toStdString(), {}, MemoryFormat::Table,
         kBom + "[1] Uno\r\n"},
        {"a table whose first cell is a tag", "<b>Hola</b>\tBonjour\nDos\tDeux\n", {}, MemoryFormat::Table,
         "[1] <b>Hola</b>\r\n[2] Dos\r\n"},
        {"a memory that starts with a comment", "<!-- m -->" + tmx("srclang=\"es-ES\"", tu("Uno", "Un"), ""), {},
         MemoryFormat::Tmx, kBom + "[1] Uno\r\n"},
        {"a memory without a declaration", tmx("srclang=\"es-ES\"", tu("Uno", "Un"), ""), {}, MemoryFormat::Tmx,
         kBom + "[1] Uno\r\n"},
        {"a table said to be one", "<b>Hola</b>\n<i>Dos</i>\tDeux\n", MemoryFormat::Table, MemoryFormat::Table,
         "[1] <b>Hola</b>\r\n[2] <i>Dos</i>\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString input = dir.write("entrada", c.bytes);
        const auto result = importMemory(input, dir.path("s_ref.txt"), dir.path("c_ref.txt"), {}, {}, c.said);
        ASSERT_TRUE(result.ok()) << result.error().message.toStdString();
        EXPECT_EQ(result.value().format, c.read);
        EXPECT_EQ(readBytes(dir.path("s_ref.txt")), c.source);
    }
    // Said to be a memory, a table is refused as one.
    const auto wrong = importMemory(dir.write("t.tsv", "Uno\tUn\n"), dir.path("s.txt"), dir.path("c.txt"), {}, {},
                                    MemoryFormat::Tmx);
    ASSERT_FALSE(wrong.ok());
    EXPECT_TRUE(wrong.error().message.contains("XML mal formado")) << wrong.error().message.toStdString();
}

TEST(MemoryImport, NothingToWriteIsAFailureThatSaysWhy)
{
    TempDir dir;
    dir.write("s_ref.txt", "old source");
    dir.write("c_ref.txt", "old target");
    struct Case { const char* name; std::string bytes; TmxLanguageChoice languages; const char* reason; };
    const Case cases[] = {
        {"an empty file", "", {}, "el fichero está vacío: no contiene ninguna unidad"},
        {"a byte-order mark alone", kBom, {}, "el fichero está vacío: no contiene ninguna unidad"},
        {"neither language in any unit", manyUnits(3), {"de", "it"},
         "ninguna de sus 3 unidades tiene texto en la lengua de origen (de) ni en la meta (it)"},
        {"endless zeros", "", {}, "no es un fichero de texto"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString input = std::string(c.name) == "endless zeros" ? QString("/dev/zero") : dir.write("m", c.bytes);
        const auto result = importMemory(input, dir.path("s_ref.txt"), dir.path("c_ref.txt"), c.languages);
        ASSERT_FALSE(result.ok());
        EXPECT_TRUE(result.error().message.contains(QString::fromUtf8(c.reason))) << result.error().message.toStdString();
        EXPECT_EQ(readBytes(dir.path("s_ref.txt")), "old source");
        EXPECT_EQ(readBytes(dir.path("c_ref.txt")), "old target");
    }
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
