// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/alignment_notes.h"
#include "align/bead_edits.h"
#include "support/parallel_text.h"
#include "support/temp_files.h"

#include <QFile>
#include <QFileInfo>
#include <QDateTime>
#include <gtest/gtest.h>

namespace solandre {
namespace {

using testing::readBytes;
using testing::TempDir;

// The French with sentences 3 and 4 run together and sentence 9 left out;
// the Spanish with sentence 20 split in two: the aligner joins them again.
std::string french()
{
    const auto& s = test::valleyText(test::Language::French);
    std::string text;
    int n = 0;
    for (size_t k = 0; k < s.size(); ++k) {
        if (k == 8) continue;
        std::string record(s[k]);
        if (k == 2) record += " " + std::string(s[++k]);
        text += "[" + std::to_string(++n) + "] " + record + "\r\n";
    }
    return text;
}

std::string spanish()
{
    const auto& s = test::valleyText(test::Language::Spanish);
    std::string text;
    int n = 0;
    for (size_t k = 0; k < s.size(); ++k) {
        const std::string record(s[k]);
        if (k == 19) {
            const size_t blank = record.find(' ', record.size() / 2);
            text += "[" + std::to_string(++n) + "] " + record.substr(0, blank) + "\r\n";
            text += "[" + std::to_string(++n) + "] " + record.substr(blank + 1) + "\r\n";
        } else {
            text += "[" + std::to_string(++n) + "] " + record + "\r\n";
        }
    }
    return text;
}

std::vector<std::string> sentencesOf(const NumberedRecords& records)
{
    return {records.sentences.begin(), records.sentences.end()};
}

std::vector<std::string> markersOf(const NumberedRecords& records)
{
    return {records.markers.begin(), records.markers.end()};
}

void expectSameBeads(const std::vector<Bead>& a, const std::vector<Bead>& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (size_t k = 0; k < a.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(a[k].sourceFirst, b[k].sourceFirst);
        EXPECT_EQ(a[k].sourceCount, b[k].sourceCount);
        EXPECT_EQ(a[k].targetFirst, b[k].targetFirst);
        EXPECT_EQ(a[k].targetCount, b[k].targetCount);
        EXPECT_EQ(a[k].confidence, b[k].confidence);
        EXPECT_EQ(a[k].byUser, b[k].byUser);
    }
}

class AlignmentNotesTest : public ::testing::Test {
protected:
    TempDir dir;
    AlignmentNotes notes{dir.path("cache")};
    QString es = dir.write("es_ref.txt", spanish());
    QString fr = dir.write("fr_ref.txt", french());
    QString esOut = dir.path("es_al.txt");
    QString frOut = dir.path("fr_al.txt");

    PairAlignment aligned()
    {
        auto pair = alignNumberedPair(es, fr);
        EXPECT_TRUE(pair.ok());
        return std::move(pair.value());
    }
};

TEST_F(AlignmentNotesTest, TheReviewOfAlignedCopiesPairsTheirRecordsWithTheSentencesApart)
{
    PairAlignment pair = aligned();
    ASSERT_FALSE(pair.oneToOne());
    // The user corrects one pair: its shape and sureness are kept too.
    std::vector<Bead> beads = pair.beads;
    ASSERT_TRUE(split(beads, 2));
    ASSERT_TRUE(writeAlignedCopies(pair, beads, esOut, frOut, false, {}, notes).ok());
    ASSERT_TRUE(notes.known(esOut, frOut));

    const auto review = pairForReview(esOut, frOut, {}, notes);
    ASSERT_TRUE(review.ok());
    expectSameBeads(review.value().beads, beads);
    EXPECT_EQ(sentencesOf(review.value().source), sentencesOf(pair.source));
    EXPECT_EQ(sentencesOf(review.value().target), sentencesOf(pair.target));
    EXPECT_EQ(markersOf(review.value().source), markersOf(pair.source)) << "each sentence keeps its marker";
    EXPECT_EQ(markersOf(review.value().target), markersOf(pair.target));

    // Written again unchanged, the copies are the same bytes.
    ASSERT_TRUE(writeAlignedCopies(review.value(), review.value().beads, dir.path("es2.txt"), dir.path("fr2.txt"),
                                   false, {}, notes)
                    .ok());
    EXPECT_EQ(readBytes(dir.path("es2.txt")), readBytes(esOut));
    EXPECT_EQ(readBytes(dir.path("fr2.txt")), readBytes(frOut));
}

TEST_F(AlignmentNotesTest, ARecordOfSeveralSentencesSplitsSentenceBySentence)
{
    PairAlignment pair = aligned();
    const size_t k = *pair.firstNotOneToOne();
    ASSERT_GT(std::max(pair.beads[k].sourceCount, pair.beads[k].targetCount), 1u);
    ASSERT_TRUE(writeAlignedCopies(pair, pair.beads, esOut, frOut, false, {}, notes).ok());
    const auto review = pairForReview(esOut, frOut, {}, notes);
    ASSERT_TRUE(review.ok());
    std::vector<Bead> beads = review.value().beads;
    ASSERT_TRUE(split(beads, k));
    ASSERT_EQ(beads.size(), pair.beads.size() + 1);
    // The record's first sentence of each side alone, as it was numbered.
    const Bead& first = beads[k];
    EXPECT_LE(first.sourceCount, 1u);
    EXPECT_LE(first.targetCount, 1u);
    if (first.sourceCount) {
        EXPECT_EQ(review.value().source.sentences[first.sourceFirst], pair.source.sentences[pair.beads[k].sourceFirst]);
    }
    if (first.targetCount) {
        EXPECT_EQ(review.value().target.sentences[first.targetFirst], pair.target.sentences[pair.beads[k].targetFirst]);
    }
}

TEST_F(AlignmentNotesTest, NotesThatDoNotMatchTheCopiesAreNotUsed)
{
    PairAlignment pair = aligned();
    const auto touch = [](const QString& path) {
        QFile f(path);
        f.open(QIODevice::ReadWrite);
        f.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
    };
    struct Case {
        const char* name;
        std::function<void()> spoil;
        bool headerSpoilt = true;
    };
    const Case cases[] = {
        {"a copy rewritten", [&] { dir.write("fr_al.txt", french()); }},
        {"a copy touched since", [&] { touch(esOut); }},
        {"the notes cut short",
         [&] {
             const QString file = dir.path("cache/") + QDir(dir.path("cache")).entryList(QDir::Files).front();
             const std::string bytes = readBytes(file);
             dir.write(file.mid(dir.root().size() + 1), bytes.substr(0, bytes.size() - 7));
         },
         false},
        {"the cache emptied", [&] { QDir(dir.path("cache")).removeRecursively(); }},
        {"forgotten", [&] { notes.forget(esOut, frOut); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeAlignedCopies(pair, pair.beads, esOut, frOut, false, {}, notes).ok());
        c.spoil();
        if (c.headerSpoilt) {
            EXPECT_FALSE(notes.known(esOut, frOut));
        }
        const auto review = pairForReview(esOut, frOut, {}, notes);
        ASSERT_TRUE(review.ok());
        // The aligner's pairing of the records as they are, never a wrong cut.
        const auto fresh = alignNumberedPair(esOut, frOut);
        expectSameBeads(review.value().beads, fresh.value().beads);
    }
    // The notes of one pair are not another's.
    ASSERT_TRUE(writeAlignedCopies(pair, pair.beads, esOut, frOut, false, {}, notes).ok());
    EXPECT_FALSE(notes.known(esOut, fr));
    EXPECT_FALSE(notes.known(frOut, esOut));
}

TEST_F(AlignmentNotesTest, TextsThatWereNeverAlignedAreAlignedForTheReview)
{
    const auto review = pairForReview(es, fr, {}, notes);
    ASSERT_TRUE(review.ok());
    expectSameBeads(review.value().beads, aligned().beads);
    EXPECT_FALSE(notes.known(es, fr));
}

TEST_F(AlignmentNotesTest, TheLanguagesOfAMemoryAreKeptPerPair)
{
    EXPECT_EQ(notes.memoryLanguages(es, fr), std::nullopt);
    notes.keepMemoryLanguages(es, fr, {"de-DE", "fr-FR"});
    const QString other = dir.write("ca_ref.txt", "[1] Hola.\r\n");
    notes.keepMemoryLanguages(es, other, {"es", "ca"});
    EXPECT_EQ(notes.memoryLanguages(es, fr), (std::pair<QString, QString>{"de-DE", "fr-FR"}));
    EXPECT_EQ(notes.memoryLanguages(es, other), (std::pair<QString, QString>{"es", "ca"}));
    EXPECT_EQ(notes.memoryLanguages(fr, es), std::nullopt) << "a pair is ordered";
}

TEST_F(AlignmentNotesTest, NotesThatCannotBeKeptDoNotFailTheWriting)
{
    const AlignmentNotes nowhere(dir.write("cache_is_a_file", "x") + "/sub");
    PairAlignment pair = aligned();
    ASSERT_TRUE(writeAlignedCopies(pair, pair.beads, esOut, frOut, false, {}, nowhere).ok());
    EXPECT_FALSE(nowhere.known(esOut, frOut));
    EXPECT_FALSE(readBytes(esOut).empty());
}

} // namespace
} // namespace solandre
