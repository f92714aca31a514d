// SPDX-License-Identifier: GPL-3.0-or-later
// A collection's hits written out: the export for a spreadsheet and the
// results file, each read back apart from the writers and checked against a
// plain reading of every pair's numbered texts; the old file kept whole when
// the writing cannot finish.

#include "collection/collection_output.h"
#include "opened_folder.h"
#include "common/encoding.h"
#include "search/concordance_lines.h"
#include "search/reference_lines.h"
#include "search/reference_search.h"
#include "study/sentence_table.h"
#include "support/delimited_reader.h"
#include "support/temp_files.h"
#include "support/xlsx_reader.h"

#include <QFile>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

using namespace solandre;
using solandre::testing::cp1252;
using solandre::testing::parseDelimited;
using solandre::testing::readBytes;
using solandre::testing::TempDir;

namespace {

const char* kTmx = R"(<?xml version="1.0" encoding="UTF-8"?>
<tmx version="1.4"><header srclang="es" datatype="plaintext" segtype="sentence" adminlang="es"
 o-tmf="x" creationtool="x" creationtoolversion="1"/><body>
<tu><tuv xml:lang="es"><seg>La casa del río.</seg></tuv><tuv xml:lang="fr"><seg>La maison de la rivière.</seg></tuv></tu>
<tu><tuv xml:lang="es"><seg>-Otra casa.</seg></tuv><tuv xml:lang="fr"><seg>+Une autre maison.</seg></tuv></tu>
</body></tmx>
)";

// A numbered pair in Windows-1252 whose sentences a spreadsheet would run,
// a memory in UTF-8 and two plain texts, opened and indexed.
struct Corpus {
    TempDir dir;
    TempDir cache;
    TempDir out;
    CollectionStore store{dir.root(), cache.root()};
    CollectionListing listing;
    CollectionConcordance concordance;

    Corpus()
    {
        dir.write("obra_source_ref.txt", cp1252("[1] =Casa grande.\r\n[2] Una casa,\r\n@dos casas.\r\n[3] Año.\r\n"));
        dir.write("obra_cible_ref.txt", "[1] =Grande maison.\r\n[2] Une maison.\r\n");
        dir.write("mem.tmx", kTmx);
        dir.write("sub/cap1.es.txt", "Casa de campo. La CASA vieja.");
        dir.write("sub/cap1.fr.txt", "Maison de campagne. La vieille maison.");
        auto listed = listCollection(dir.root(), store);
        EXPECT_TRUE(listed.ok());
        listing = listed.value();
        EXPECT_TRUE(concordance.load(listing, store).ok());
    }
};

// A numbered text as it is on the disk, its encoding told by its bytes.
struct PlainText {
    std::string bytes;
    Encoding encoding = Encoding::Windows1252;
};

PlainText plainText(const QString& path)
{
    PlainText t{readBytes(path)};
    if (t.bytes.starts_with("\xEF\xBB\xBF")) {
        t.bytes.erase(0, 3);
        t.encoding = Encoding::Utf8;
    } else if (isValidUtf8(t.bytes) && hasHighByte(t.bytes)) {
        t.encoding = Encoding::Utf8;
    }
    return t;
}

std::string sentenceOf(const PlainText& text, const std::string& markerUtf8)
{
    const std::string marker = text.encoding == Encoding::Utf8 ? markerUtf8 : *encodeText(QString::fromStdString(markerUtf8), Encoding::Windows1252);
    const std::string record = reference::segment(text.bytes, marker);
    return toUtf8(sentenceOfRecord(record, marker), text.encoding);
}

// The export's rows as a plain reading of every pair gives them, member by
// member in the order of their names, each hit in text order.
std::vector<std::vector<std::string>> expectedRows(const CollectionListing& listing, const char* typed)
{
    std::vector<std::vector<std::string>> rows = {
        {"Texto", "Forma", "Referencia", "Contexto izquierdo", "Contexto derecho", "Frase", "Traducción"}};
    for (const CollectionPair& p : listing.pairs) {
        const PlainText source = plainText(p.pair.source), target = plainText(p.pair.target);
        for (const reference::Line& line :
             reference::concordanceLines(source.bytes, typed, source.encoding, ConcordanceLines::kContext)) {
            const std::string marker = toUtf8(line.marker, source.encoding);
            rows.push_back({p.member.name.toStdString(), toUtf8(line.form, source.encoding), marker,
                            toUtf8(line.left, source.encoding), toUtf8(line.right, source.encoding),
                            sentenceOf(source, marker), sentenceOf(target, marker)});
        }
    }
    return rows;
}

TEST(CollectionOutput, TheExportAgreesWithAPlainReadingOfEveryPairInEachDelimitedFormat)
{
    Corpus corpus;
    for (const char* typed : {"cas*", "*", "nada"}) {
        corpus.concordance.search(QString::fromUtf8(typed));
        ASSERT_GT(corpus.concordance.members(), 2u);
        auto expected = expectedRows(corpus.listing, typed);
        ASSERT_EQ(expected.size(), corpus.concordance.hitCount() + 1) << typed;
        struct Case { const char* name; ExportFormat format; char separator; };
        for (const Case c : {Case{"tsv", ExportFormat::Tsv, '\t'}, Case{"csv", ExportFormat::Csv, ','}}) {
            const QString file = corpus.out.path(QStringLiteral("lineas.") + c.name);
            ASSERT_TRUE(exportCollection(file, corpus.concordance, c.format).ok()) << c.name;
            const std::string bytes = readBytes(file);
            ASSERT_TRUE(bytes.starts_with("\xEF\xBB\xBF")) << c.name;
            auto written = expected;
            // In CSV a text a spreadsheet would run as a formula shows as text.
            if (c.format == ExportFormat::Csv)
                for (auto& row : written)
                    for (std::string& field : row)
                        if (!field.empty() && std::string_view("=+-@\t\r").find(field[0]) != std::string_view::npos)
                            field.insert(0, "'");
            EXPECT_EQ(parseDelimited(std::string_view(bytes).substr(3), c.separator), written)
                << typed << " " << c.name;
        }
    }
    // What the corpus is there to show.
    corpus.concordance.search("*");
    ASSERT_TRUE(exportCollection(corpus.out.path("lineas.csv"), corpus.concordance, ExportFormat::Csv).ok());
    const std::string csv = readBytes(corpus.out.path("lineas.csv"));
    EXPECT_NE(csv.find("'=Casa grande."), std::string::npos);
    EXPECT_NE(csv.find("'-Otra casa."), std::string::npos);
    EXPECT_NE(csv.find("\"Una casa,\r\n@dos casas.\""), std::string::npos) << "a sentence keeps its line break";
}

TEST(CollectionOutput, TheExportFollowsTheOrderOfFormasAcrossTexts)
{
    Corpus corpus;
    corpus.concordance.search("cas*");
    corpus.concordance.sortByForm();
    ASSERT_TRUE(exportCollection(corpus.out.path("l.tsv"), corpus.concordance, ExportFormat::Tsv).ok());
    const auto rows = parseDelimited(std::string_view(readBytes(corpus.out.path("l.tsv"))).substr(3), '\t');
    ASSERT_EQ(rows.size(), corpus.concordance.hitCount() + 1);
    // Each row is the hit the list shows at its place, with the sentence of its own pair.
    auto expected = expectedRows(corpus.listing, "cas*");
    for (size_t k = 0; k < corpus.concordance.hitCount(); ++k) {
        const std::string name = corpus.concordance.nameOf(corpus.concordance.hit(k).member).toStdString();
        const std::string marker = toUtf8(corpus.concordance.marker(k), corpus.concordance.encodingOf(k));
        EXPECT_EQ(rows[k + 1][0], name);
        EXPECT_EQ(rows[k + 1][1], toUtf8(corpus.concordance.form(k), corpus.concordance.encodingOf(k)));
        EXPECT_EQ(rows[k + 1][2], marker);
        const auto same = std::find(expected.begin(), expected.end(), rows[k + 1]);
        EXPECT_NE(same, expected.end()) << name << " " << marker;
        if (same != expected.end()) expected.erase(same);
    }
    EXPECT_EQ(expected.size(), 1u) << "every hit once";
    std::vector<std::string> forms;
    for (size_t k = 1; k < rows.size(); ++k) forms.push_back(QString::fromStdString(rows[k][1]).toLower().toStdString());
    EXPECT_TRUE(std::is_sorted(forms.begin(), forms.end())) << "by form across texts";
}

TEST(CollectionOutput, TheWorkbookHoldsEveryHitAsStringsUnderTheHeader)
{
    Corpus corpus;
    corpus.concordance.search("*");
    const QString file = corpus.out.path("lineas.xlsx");
    ASSERT_TRUE(exportCollection(file, corpus.concordance, ExportFormat::Xlsx).ok());
    std::string why;
    const auto book = solandre::testing::readXlsx(file, &why);
    ASSERT_TRUE(book) << why;
    ASSERT_EQ(book->sheets.size(), 1u);
    const solandre::testing::XlsxSheet& sheet = book->sheets[0];
    ASSERT_EQ(sheet.rows.size(), corpus.concordance.hitCount() + 1);
    const auto expected = expectedRows(corpus.listing, "*");
    std::vector<std::string> joined;
    for (auto row : expected) {
        while (row.back().empty()) row.pop_back(); // a workbook keeps no empty cell
        std::string line = row.front();
        for (size_t f = 1; f < row.size(); ++f) line += "|" + row[f];
        joined.push_back(line);
    }
    EXPECT_EQ(solandre::testing::rowTexts(sheet), joined);
    for (const auto& row : sheet.rows)
        for (const auto& cell : row) EXPECT_FALSE(cell.formula) << cell.text;
    EXPECT_TRUE(sheet.headerFrozen);
}

// The results file read back: heading, listing, then blocks.
struct ReadResults {
    std::vector<std::string> lines; // without the byte-order mark, split at CR LF
    bool utf8 = false;
};

ReadResults readResults(const QString& path)
{
    ReadResults r;
    std::string bytes = readBytes(path);
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        r.utf8 = true;
        bytes.erase(0, 3);
    }
    size_t at = 0;
    for (size_t end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2)
        r.lines.push_back(bytes.substr(at, end - at));
    EXPECT_EQ(at, bytes.size()) << "the file ends with CR LF";
    return r;
}

std::string padded(const std::string& cell, size_t characters)
{
    return cell + (characters < 35 ? std::string(36 - characters, ' ') : std::string());
}

TEST(CollectionOutput, TheResultsFileNamesEachHitsTextAboveItsSentences)
{
    Corpus corpus;
    corpus.concordance.search("cas*");
    const QString file = corpus.out.path("resultados.txt");
    const ResultsHeading heading = makeHeading(kCollectionPrefixes, "col", "07/12/2026 10:30:00");
    ASSERT_TRUE(saveCollectionResults(file, corpus.concordance, heading).ok());
    const ReadResults r = readResults(file);
    EXPECT_TRUE(r.utf8) << "a memory is UTF-8: every part converted";
    const std::string sep(74, '-');
    std::vector<std::string> expected = {"Colección : col", "Búsqueda efectuada el : 07/12/2026 10:30:00", sep, "",
                                         padded("Texto", 5) + padded("Forma(s)", 8) + "Referencia(s)"};
    std::vector<std::string> blocks;
    for (const CollectionPair& p : corpus.listing.pairs) {
        const PlainText source = plainText(p.pair.source), target = plainText(p.pair.target);
        const std::string name = p.member.name.toStdString();
        for (const reference::Entry& e :
             reference::search(reference::wordIndex(source.bytes, source.encoding), "cas*", source.encoding)) {
            const std::string form = toUtf8(e.form, source.encoding);
            expected.push_back(padded(name, name.size()) + padded(form, QString::fromStdString(form).size()) +
                               toUtf8(e.marker, source.encoding));
            blocks.push_back(sep);
            blocks.push_back(name);
            // A segment is the marker and its record up to the next "[", line breaks and all.
            for (const PlainText* text : {&source, &target}) {
                const std::string marker = text->encoding == source.encoding ? e.marker : toUtf8(e.marker, source.encoding);
                std::string segment = toUtf8(reference::segment(text->bytes, marker), text->encoding);
                size_t at = 0;
                for (size_t end; (end = segment.find("\r\n", at)) != std::string::npos; at = end + 2)
                    blocks.push_back(segment.substr(at, end - at));
                blocks.push_back(segment.substr(at));
            }
        }
    }
    expected.insert(expected.end(), blocks.begin(), blocks.end());
    EXPECT_EQ(r.lines, expected);
}

TEST(CollectionOutput, AfterFormasEachBlockIsStillItsHitsTextAndSentence)
{
    Corpus corpus;
    corpus.concordance.search("*a");
    corpus.concordance.sortByForm();
    const QString file = corpus.out.path("r.txt");
    ASSERT_TRUE(saveCollectionResults(file, corpus.concordance, makeHeading(kCollectionPrefixes, "c", "d")).ok());
    const ReadResults r = readResults(file);
    const CollectionConcordance& c = corpus.concordance;
    std::vector<size_t> separators; // of the blocks, past the heading's
    for (size_t at = 3; at < r.lines.size(); ++at)
        if (r.lines[at] == std::string(74, '-')) separators.push_back(at);
    ASSERT_EQ(separators.size(), c.hitCount());
    ASSERT_GT(c.hitCount(), 4u);
    // The texts' hits come in many runs: each block names its own.
    for (size_t k = 0; k < c.hitCount(); ++k) {
        const std::string marker = toUtf8(c.marker(k), c.encodingOf(k));
        const size_t at = separators[k];
        EXPECT_EQ(r.lines[at + 1], c.nameOf(c.hit(k).member).toStdString()) << k;
        EXPECT_TRUE(r.lines[at + 2].starts_with(marker + " ")) << k << ": " << r.lines[at + 2];
    }
}

TEST(CollectionOutput, TheResultsFileIsInWindows1252WhenEveryTextAndNameIsAndUtf8Otherwise)
{
    struct Case { const char* name; const char* title; bool utf8; };
    const Case cases[] = {{"every text and the title in the code page", "Año", false},
                          {"a title the code page cannot write", "Ωmega", true}};
    for (const Case& c : cases) {
        TempDir dir, cache, out;
        dir.write("año_source_ref.txt", cp1252("[1] Casa.\r\n"));
        dir.write("año_cible_ref.txt", cp1252("[1] Maison là.\r\n"));
        dir.write("b_source_ref.txt", cp1252("[1] Otra casa.\r\n"));
        dir.write("b_cible_ref.txt", cp1252("[1] Une autre.\r\n"));
        CollectionStore store(dir.root(), cache.root());
        auto listing = listCollection(dir.root(), store);
        ASSERT_TRUE(listing.ok());
        CollectionConcordance concordance;
        ASSERT_TRUE(concordance.load(listing.value(), store).ok());
        concordance.search("casa");
        const QString file = out.path("r.txt");
        ASSERT_TRUE(saveCollectionResults(file, concordance, makeHeading(kCollectionPrefixes, QString::fromUtf8(c.title), "x")).ok());
        const ReadResults r = readResults(file);
        EXPECT_EQ(r.utf8, c.utf8) << c.name;
        auto text = [&](const char* utf8) { return c.utf8 ? std::string(utf8) : cp1252(utf8); };
        ASSERT_EQ(r.lines.size(), 5u + 2 + 2 * 6) << c.name;
        EXPECT_EQ(r.lines[5], text("año") + std::string(33, ' ') + "Casa" + std::string(32, ' ') + "[1]") << c.name;
        EXPECT_EQ(r.lines[8], text("año")) << c.name;
        EXPECT_EQ(r.lines[11], text("[1] Maison là.")) << c.name;
    }
}

TEST(CollectionOutput, AWritingThatCannotFinishLeavesTheOldFileWhole)
{
    Corpus corpus;
    corpus.concordance.search("*");
    const QString old = corpus.out.write("viejo.txt", "antes");
    const ResultsHeading heading = makeHeading(kCollectionPrefixes, "col", "x");
    using Write = std::function<Status(const QString&, const Progress&)>;
    struct Case { const char* name; Write write; };
    const Case cases[] = {
        {"results", [&](const QString& f, const Progress& p) { return saveCollectionResults(f, corpus.concordance, heading, p); }},
        {"tsv", [&](const QString& f, const Progress& p) { return exportCollection(f, corpus.concordance, ExportFormat::Tsv, p); }},
        {"xlsx", [&](const QString& f, const Progress& p) { return exportCollection(f, corpus.concordance, ExportFormat::Xlsx, p); }},
    };
    for (const Case& c : cases) {
        for (const double stop : {0.05, 0.5, 0.99}) {
            const Status status = c.write(old, [stop](double done) { return done < stop; });
            ASSERT_FALSE(status.ok()) << c.name << " " << stop;
            EXPECT_TRUE(status.error().cancelled) << c.name;
            EXPECT_EQ(readBytes(old), "antes") << c.name << " " << stop;
            EXPECT_EQ(corpus.out.entries(), QStringList{"viejo.txt"}) << c.name << " no temporary left";
        }
    }

    // A translation gone since the opening is named, and nothing is written.
    const CollectionPair& memory = corpus.concordance.pair(0);
    ASSERT_EQ(memory.member.name, "mem");
    ASSERT_TRUE(QFile::remove(memory.pair.target));
    for (const Case& c : cases) {
        const Status status = c.write(old, {});
        ASSERT_FALSE(status.ok()) << c.name;
        EXPECT_TRUE(status.error().message.contains(memory.pair.target)) << status.error().message.toStdString();
        EXPECT_EQ(readBytes(old), "antes") << c.name;
    }
}

TEST(CollectionOutput, NoTextOfTheCollectionIsEverTheOutput)
{
    Corpus corpus;
    corpus.concordance.search("casa");
    const ResultsHeading heading = makeHeading(kCollectionPrefixes, "col", "x");
    std::vector<QString> texts = collectionTexts(corpus.concordance);
    ASSERT_EQ(texts.size(), 3u + 2 + 4) << "a memory and a plain pair have their own files and their copies";
    for (const QString& text : texts) {
        const std::string before = readBytes(text);
        for (const ExportFormat format : {ExportFormat::Tsv, ExportFormat::Xlsx}) {
            const Status status = exportCollection(text, corpus.concordance, format);
            ASSERT_FALSE(status.ok()) << text.toStdString();
            EXPECT_TRUE(status.error().message.contains(text)) << status.error().message.toStdString();
        }
        EXPECT_FALSE(saveCollectionResults(text, corpus.concordance, heading).ok()) << text.toStdString();
        EXPECT_EQ(readBytes(text), before) << text.toStdString();
    }
}

// A file the opening set aside is still the user's: an unfinished memory, a
// text whose translation is not there yet. Writing over it would lose it.
TEST(CollectionOutput, NoFileSetAsideIsEverTheOutput)
{
    TempDir dir, cache;
    dir.write("obra_source_ref.txt", "[1] Casa grande.\r\n");
    dir.write("obra_cible_ref.txt", "[1] Grande maison.\r\n");
    const std::vector<std::pair<const char*, const char*>> setAside = {
        {"rota.tmx", "<tmx><body><tu>"},
        {"huerfano.es.txt", "Una casa sin traducción."},
        {"sub/solo_source_ref.txt", "[1] Casa sola.\r\n"},
        {"notas.txt", "Casa, sin lengua en el nombre."},
    };
    for (const auto& [name, bytes] : setAside) dir.write(name, bytes);
    solandre::testing::OpenedFolder opened(dir.root(), cache.root());
    ASSERT_TRUE(opened.open());
    ASSERT_EQ(opened.listing.setAside.size(), setAside.size());
    opened.concordance.search("casa");
    const ResultsHeading heading = makeHeading(kCollectionPrefixes, "col", "x");
    for (const auto& [name, bytes] : setAside) {
        const QString file = dir.path(name);
        const Status saved = saveCollectionResults(file, opened.concordance, heading);
        ASSERT_FALSE(saved.ok()) << name;
        EXPECT_TRUE(saved.error().message.contains(file)) << saved.error().message.toStdString();
        EXPECT_FALSE(exportCollection(file, opened.concordance, ExportFormat::Csv).ok()) << name;
        EXPECT_EQ(readBytes(file), bytes) << name;
    }
}

} // namespace
