// SPDX-License-Identifier: GPL-3.0-or-later
// Inputs a user may name by mistake or on purpose: each one gives a clear
// message or a correct result, with memory in proportion to the input.
#include "common/fileio.h"
#include "numbering/number_files.h"
#include "numbering/numbering_engine.h"
#include "numbering/reference_numbering.h"
#include "search/reference_search.h"
#include "search/concordance.h"
#include "search/concordance_lines.h"
#include "search/reference_lines.h"
#include "study/candidates.h"
#include "study/export_file.h"
#include "support/temp_files.h"
#include "viewer/context_scan.h"
#include "viewer/reference_context.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace solandre {
namespace {

using testing::TempDir;

std::string repeat(std::string_view piece, size_t bytes)
{
    std::string out;
    while (out.size() < bytes) out.append(piece);
    return out;
}

struct Hostile {
    const char* name;
    std::string text;
};

// Each shape at a size the plain reference readings handle quickly, and at a
// size where only the product code is run, checked for linear output.
std::vector<Hostile> hostileTexts(size_t bytes)
{
    return {
        {"NUL bytes", std::string("[1] a\0b c.\0\r\n[2] \0.\r\n", 22)},
        {"only brackets", repeat("[[]][]]][", bytes)},
        {"only end marks", repeat(".?!", bytes)},
        {"only line breaks", repeat("\r\n", bytes)},
        {"unclosed marker", "[1" + repeat(" casa", bytes) + ".\r\n"},
    };
}

constexpr size_t kSmall = 16 << 10;
constexpr size_t kLarge = 1 << 20;

std::vector<Hostile> largeHostileTexts()
{
    std::vector<Hostile> all = hostileTexts(kLarge);
    all.push_back({"one line of 50 MB", repeat("casa del rio ", 50 << 20)});
    return all;
}

TEST(HostileInputs, NumberingAgreesWithTheReading)
{
    for (const Hostile& h : hostileTexts(kSmall)) {
        SCOPED_TRACE(h.name);
        EXPECT_EQ(numberText(h.text), testing::referenceNumbering(h.text));
    }
}

TEST(HostileInputs, NumberingStaysLinear)
{
    for (const Hostile& h : largeHostileTexts()) {
        SCOPED_TRACE(h.name);
        // Each sentence adds its prefix and line end to at least one character.
        EXPECT_LE(numberText(h.text).size(), h.text.size() * 10 + 16);
    }
}

TEST(HostileInputs, WordIndexAgreesWithTheRules)
{
    for (const Hostile& h : hostileTexts(kSmall)) {
        SCOPED_TRACE(h.name);
        const WordIndex index = WordIndex::build(h.text);
        const auto words = reference::wordIndex(h.text);
        ASSERT_EQ(words.size(), index.size());
        for (size_t k = 0; k < words.size(); ++k) {
            ASSERT_EQ(index.form(WordId(k)), words[k].form) << k;
            ASSERT_EQ(index.marker(WordId(k)), words[k].marker) << k;
        }
    }
}

TEST(HostileInputs, WordIndexStaysInBoundedMemory)
{
    for (const Hostile& h : largeHostileTexts()) {
        SCOPED_TRACE(h.name);
        const WordIndex index = WordIndex::build(h.text);
        EXPECT_LE(index.bytesUsed(), 5 * h.text.size() + (1u << 20));
        WordList hits;
        index.search(parsePattern(u"*"), hits);
        EXPECT_EQ(hits.size(), index.size());
    }
}

TEST(HostileInputs, ViewerScanAndMarkingAgreeWithTheReading)
{
    for (const Hostile& h : hostileTexts(kSmall)) {
        for (const char* marker : {"[1]", "[2]", "[", "]"}) {
            SCOPED_TRACE(std::string(h.name) + ", marker " + marker);
            reference::ViewerState expected{"old pane", "old previous", "old next"};
            reference::scanInto(expected, h.text, marker);
            const ContextScan scan = scanForMarker(h.text, marker);
            EXPECT_EQ(scan.found ? scan.record : "old pane", expected.pane);
            EXPECT_EQ(scan.previous.value_or("old previous"), expected.previous);
            EXPECT_EQ(scan.next.value_or("old next"), expected.next);
            const QString pane = decodeText(expected.pane, Encoding::Windows1252);
            EXPECT_EQ(wordsToMark(pane, u"casa"), reference::marks(pane, "casa"));
        }
    }
}

TEST(HostileInputs, ViewerScanStaysLinear)
{
    for (const Hostile& h : largeHostileTexts()) {
        SCOPED_TRACE(h.name);
        const ContextScan scan = scanForMarker(h.text, "[1]");
        EXPECT_LE(scan.record.size(), h.text.size());
        EXPECT_LE(wordsToMark(decodeText(scan.record, Encoding::Windows1252), u"casa").size(),
                  scan.record.size());
    }
}

TEST(HostileInputs, ConcordanceLinesAgreeWithTheReading)
{
    for (const Hostile& h : hostileTexts(kSmall)) {
        SCOPED_TRACE(h.name);
        Concordance concordance(h.text);
        concordance.search("*");
        ConcordanceLines lines = ConcordanceLines::ofGrid(concordance.grid());
        const auto expected = reference::concordanceLines(h.text, "*", concordance.encoding(), 20);
        ASSERT_EQ(lines.size(), expected.size());
        for (size_t k = 0; k < lines.size(); ++k) {
            ASSERT_EQ(lines.line(k, 20).left, expected[k].left) << k;
            ASSERT_EQ(lines.line(k, 20).right, expected[k].right) << k;
            ASSERT_EQ(lines.keyWord(k, LineKey::Left2), expected[k].keys[reference::kLeft2]) << k;
            ASSERT_EQ(lines.keyWord(k, LineKey::Right2), expected[k].keys[reference::kRight2]) << k;
        }
    }
}

TEST(HostileInputs, SortsCandidatesAndExportsStayLinear)
{
    TempDir dir;
    for (const Hostile& h : largeHostileTexts()) {
        SCOPED_TRACE(h.name);
        Concordance concordance(h.text);
        concordance.search("*");
        ConcordanceLines lines = ConcordanceLines::ofGrid(concordance.grid());
        for (const LineKey key : {LineKey::Left2, LineKey::Right2}) EXPECT_TRUE(lines.sort(key));
        WordList hits;
        findHits(concordance.index(), "casa", hits);
        const auto found = findCandidates(concordance.index(), hits, h.text, Encoding::Windows1252, 10);
        ASSERT_TRUE(found.has_value());
        EXPECT_LE(found->pairs, h.text.size());
        if (h.text.size() > (8u << 20)) continue; // its export would be gigabytes
        const QString out = dir.path("lineas.csv");
        EXPECT_TRUE(exportLines(out, lines, QString(), QString(), ExportFormat::Csv).ok());
        EXPECT_LE(QFileInfo(out).size(), qint64(lines.size() * 1024 + 256)) << "a kilobyte a line at most";
    }
}

TEST(HostileInputs, UnreadableNamesGiveAMessageNamingTheFile)
{
    TempDir dir;
    QDir(dir.root()).mkdir("carpeta");
    const QString gone = dir.write("borrado.txt", "[1] x.\r\n");
    QFile::remove(gone); // chosen, then deleted before it is read
    struct Case {
        const char* name;
        QString path;
    };
    std::vector<Case> cases = {{"a folder", dir.path("carpeta")}, {"deleted file", gone}};
    if (!testing::runningAsRoot()) {
        const QString locked = dir.write("cerrado.txt", "[1] x.\r\n");
        QFile::setPermissions(locked, QFileDevice::Permissions());
        cases.push_back({"unreadable file", locked});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Concordance concordance;
        for (const Error& error : {concordance.load(c.path).error(), readWholeFile(c.path).error(),
                                   numberFile(c.path, dir.path("salida.txt")).error()})
            EXPECT_TRUE(error.message.contains(c.path)) << error.message.toStdString();
        EXPECT_FALSE(QFile::exists(dir.path("salida.txt")));
    }
    const QString empty = dir.write("vacio.txt", "");
    EXPECT_FALSE(Concordance().load(empty).ok());
    EXPECT_TRUE(numberFile(empty, dir.path("vacio_ref.txt")).ok());
    EXPECT_EQ(testing::readBytes(dir.path("vacio_ref.txt")), "");
}

} // namespace
} // namespace solandre
