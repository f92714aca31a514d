// SPDX-License-Identifier: GPL-3.0-or-later
// A folder opened as one corpus: its members made numbered pairs in the
// cache and nowhere else, the bad ones set aside with their reason, and one
// search over all of them that agrees with a plain reading of each text.

#include "collection/collection_concordance.h"
#include "common/encoding.h"
#include "search/reference_search.h"
#include "opened_folder.h"
#include "support/temp_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <random>
#include <utime.h>

using namespace solandre;
using solandre::testing::OpenedFolder;
using solandre::testing::readBytes;
using solandre::testing::TempDir;

namespace {

const char* kTmx = R"(<?xml version="1.0" encoding="UTF-8"?>
<tmx version="1.4"><header srclang="es" datatype="plaintext" segtype="sentence" adminlang="es"
 o-tmf="x" creationtool="x" creationtoolversion="1"/><body>
<tu><tuv xml:lang="es"><seg>La casa del río.</seg></tuv><tuv xml:lang="fr"><seg>La maison de la rivière.</seg></tuv></tu>
<tu><tuv xml:lang="es"><seg>Otra casa.</seg></tuv><tuv xml:lang="fr"><seg>Une autre maison.</seg></tuv></tu>
</body></tmx>
)";

// A folder with one member of each kind and a few that cannot open.
struct Corpus {
    TempDir dir;
    TempDir cache;
    Corpus()
    {
        dir.write("obra_source_ref.txt", "[1] Casa grande.\r\n[2] Una casa, dos casas.\r\n");
        dir.write("obra_cible_ref.txt", "[1] Grande maison.\r\n[2] Une maison, deux maisons.\r\n");
        dir.write("mem.tmx", kTmx);
        dir.write("tabla.tsv", "El perro de la casa\tLe chien de la maison\r\n");
        dir.write("sub/cap1.es.txt", "Casa de campo. La CASA vieja.");
        dir.write("sub/cap1.fr.txt", "Maison de campagne. La vieille maison.");
        dir.write("roto.tmx", "<tmx><body><tu>");
        dir.write("informe.es.txt", "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
        dir.write("informe.fr.txt", "Rapport.");
        dir.write("solo_source_ref.txt", "[1] Casa.\r\n");
    }
};

std::vector<std::string> hitLines(const CollectionConcordance& c)
{
    std::vector<std::string> lines;
    for (size_t k = 0; k < c.hitCount(); ++k)
        lines.push_back(c.nameOf(c.hit(k).member).toStdString() + "\t" + toUtf8(c.form(k), c.encodingOf(k)) + "\t" +
                        toUtf8(c.marker(k), c.encodingOf(k)));
    return lines;
}

// The same lines from a plain reading of each member's numbered source.
std::vector<std::string> referenceLines(const CollectionListing& listing, const std::string& typed)
{
    std::vector<std::string> lines;
    for (const CollectionPair& p : listing.pairs) {
        std::string bytes = readBytes(p.pair.source);
        Encoding encoding = Encoding::Windows1252;
        if (bytes.starts_with("\xEF\xBB\xBF")) {
            bytes.erase(0, 3);
            encoding = Encoding::Utf8;
        } else if (isValidUtf8(bytes) && hasHighByte(bytes)) {
            encoding = Encoding::Utf8;
        }
        for (const auto& e : reference::search(reference::wordIndex(bytes, encoding), typed, encoding))
            lines.push_back(p.member.name.toStdString() + "\t" + toUtf8(e.form, encoding) + "\t" +
                            toUtf8(e.marker, encoding));
    }
    return lines;
}

} // namespace

TEST(Collection, OpensEveryGoodMemberAndSetsTheRestAsideWithTheReason)
{
    Corpus corpus;
    const QStringList before = corpus.dir.entries();
    CollectionStore store(corpus.dir.root(), corpus.cache.root());
    auto listing = listCollection(corpus.dir.root(), store);
    ASSERT_TRUE(listing.ok()) << listing.error().message.toStdString();

    std::vector<std::string> pairs;
    for (const CollectionPair& p : listing.value().pairs)
        pairs.push_back(p.member.name.toStdString() + " " + std::to_string(p.pair.sourceRecords) + "/" +
                        std::to_string(p.pair.targetRecords));
    EXPECT_EQ(pairs, (std::vector<std::string>{"mem 2/2", "obra 2/2", "sub/cap1 2/2", "tabla 1/1"}));

    std::map<std::string, std::string> aside;
    for (const SetAside& s : listing.value().setAside) aside[s.path.toStdString()] = s.reason.toStdString();
    std::string all;
    for (const auto& [path, reason] : aside) all += path + ": " + reason + "\n";
    ASSERT_EQ(aside.size(), 3u) << all;
    EXPECT_NE(aside["roto.tmx"].find("roto.tmx"), std::string::npos) << aside["roto.tmx"];
    EXPECT_NE(aside["informe.es.txt"].find("PDF"), std::string::npos) << aside["informe.es.txt"];
    EXPECT_EQ(aside["solo_source_ref.txt"], "falta solo_cible_ref.txt");
    EXPECT_EQ(aside.count("informe.fr.txt"), 0u) << "the pair is set aside by its bad side";

    // Nothing was written in the user's folder.
    EXPECT_EQ(corpus.dir.entries(), before);
    for (const CollectionPair& p : listing.value().pairs) {
        if (p.member.kind != MemberKind::NumberedPair) {
            EXPECT_TRUE(p.pair.source.startsWith(corpus.cache.root())) << p.pair.source.toStdString();
        }
    }
}

TEST(Collection, OneSearchOverAllAgreesWithAReadingOfEachText)
{
    Corpus corpus;
    OpenedFolder opened(corpus.dir.root(), corpus.cache.root());
    ASSERT_TRUE(opened.open());
    CollectionConcordance& concordance = opened.concordance;
    for (const char* typed : {"casa", "cas*", "*a", "*", "perro", "nada"}) {
        const size_t count = concordance.search(QString::fromUtf8(typed));
        EXPECT_EQ(count, concordance.hitCount());
        EXPECT_EQ(hitLines(concordance), referenceLines(opened.listing, typed)) << typed;
    }
    concordance.search("casa");
    const std::vector<size_t> counts = concordance.countsPerMember();
    EXPECT_EQ(counts, (std::vector<size_t>{2, 2, 2, 1})); // mem, obra, sub/cap1, tabla
}

TEST(Collection, FormasSortsAcrossTextsAndFrequenciesMergeThem)
{
    Corpus corpus;
    OpenedFolder opened(corpus.dir.root(), corpus.cache.root());
    ASSERT_TRUE(opened.open());
    CollectionConcordance& concordance = opened.concordance;
    concordance.search("cas*");
    concordance.sortByForm();
    EXPECT_EQ(hitLines(concordance), (std::vector<std::string>{
                                         "mem\tcasa\t[1]", "mem\tcasa\t[2]", "obra\tCasa\t[1]", "obra\tcasa\t[2]",
                                         "sub/cap1\tCasa\t[1]", "sub/cap1\tCASA\t[2]", "tabla\tcasa\t[1]",
                                         "obra\tcasas\t[2]"}));
    std::vector<std::string> list;
    for (const auto& f : concordance.frequencies(FrequencyOrder::ByCount))
        list.push_back(f.form + "=" + std::to_string(f.count));
    EXPECT_EQ(list, (std::vector<std::string>{"casa=7", "casas=1"}));
}

TEST(Collection, AChangedMemberIsSeenAtTheNextOpeningEvenWithItsTimeAndSizeKept)
{
    Corpus corpus;
    CollectionStore store(corpus.dir.root(), corpus.cache.root());
    ASSERT_TRUE(listCollection(corpus.dir.root(), store).ok());

    // Same size, modification time put back: only the change time tells.
    const QString path = corpus.dir.path("sub/cap1.es.txt");
    const QFileInfo old(path);
    corpus.dir.write("sub/cap1.es.txt", "Cosa de campo. La CASA vieja.");
    utimbuf times{old.lastRead().toSecsSinceEpoch(), old.lastModified().toSecsSinceEpoch()};
    utime(QFile::encodeName(path).constData(), &times);

    auto again = listCollection(corpus.dir.root(), store);
    ASSERT_TRUE(again.ok());
    CollectionConcordance concordance;
    ASSERT_TRUE(concordance.load(again.value(), store).ok());
    concordance.search("cosa");
    EXPECT_EQ(hitLines(concordance), (std::vector<std::string>{"sub/cap1\tCosa\t[1]"}));
}

TEST(Collection, AnUnchangedCollectionIsNotConvertedAgain)
{
    Corpus corpus;
    CollectionStore store(corpus.dir.root(), corpus.cache.root());
    auto first = listCollection(corpus.dir.root(), store);
    ASSERT_TRUE(first.ok());
    const QString converted = first.value().pairs[0].pair.source; // mem, in the cache
    const QDateTime written = QFileInfo(converted).lastModified();
    auto second = listCollection(corpus.dir.root(), store);
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(second.value().pairs[0].pair.source, converted);
    EXPECT_EQ(QFileInfo(converted).lastModified(), written);
    // The memory's languages, as it names them, are kept with it.
    for (const auto* listing : {&first.value(), &second.value()}) {
        EXPECT_EQ(listing->pairs[0].pair.sourceLanguage, "es");
        EXPECT_EQ(listing->pairs[0].pair.targetLanguage, "fr");
    }
}

TEST(Collection, AlignAllAlignsInTheCacheOnlyThePairsThatNeedIt)
{
    TempDir dir, cache;
    dir.write("a.es.txt", "Uno. Dos. Tres.");
    dir.write("a.fr.txt", "Un. Deux et trois.");
    dir.write("b.es.txt", "Uno. Dos.");
    dir.write("b.fr.txt", "Un. Deux.");
    const QStringList before = dir.entries();
    CollectionStore store(dir.root(), cache.root());
    auto listing = listCollection(dir.root(), store);
    ASSERT_TRUE(listing.ok());
    EXPECT_EQ(listing.value().notOneToOne(), 1u);
    const QString unaligned = listing.value().pairs[1].pair.source;
    ASSERT_TRUE(alignAll(listing.value(), store).ok());
    EXPECT_EQ(listing.value().notOneToOne(), 0u);
    EXPECT_TRUE(listing.value().pairs[0].pair.aligned);
    EXPECT_FALSE(listing.value().pairs[1].pair.aligned);
    EXPECT_EQ(listing.value().pairs[1].pair.source, unaligned);
    EXPECT_EQ(dir.entries(), before);
    // The next opening keeps the aligned copies.
    auto again = listCollection(dir.root(), store);
    ASSERT_TRUE(again.ok());
    EXPECT_TRUE(again.value().pairs[0].pair.aligned);
}

TEST(Collection, AFolderThatIsNotThereIsNamed)
{
    TempDir cache;
    CollectionStore store("/no/such/folder", cache.root());
    auto listing = listCollection("/no/such/folder", store);
    ASSERT_FALSE(listing.ok());
    EXPECT_TRUE(listing.error().message.contains("/no/such/folder"));
}

TEST(Collection, ACancelledFirstOpeningLeavesAStoreTheNextOpeningTrusts)
{
    struct Cut {
        const char* name;
        double at; // the share of the work done when "Cancelar" is pressed
    };
    const Cut cuts[] = {{"at once", 0.0}, {"half-way", 0.5}, {"before the last pair", 0.8}};
    for (const Cut& cut : cuts) {
        SCOPED_TRACE(cut.name);
        Corpus corpus;
        {
            CollectionStore store(corpus.dir.root(), corpus.cache.root());
            auto listing = listCollection(corpus.dir.root(), store);
            ASSERT_TRUE(listing.ok());
            CollectionConcordance concordance;
            const Status loaded = concordance.load(listing.value(), store, [&](double done) { return done < cut.at; });
            ASSERT_FALSE(loaded.ok());
            EXPECT_TRUE(loaded.error().cancelled);
        }
        OpenedFolder opened(corpus.dir.root(), corpus.cache.root());
        ASSERT_TRUE(opened.open());
        CollectionConcordance& concordance = opened.concordance;
        for (const char* typed : {"casa", "*a"}) {
            concordance.search(QString::fromUtf8(typed));
            EXPECT_EQ(hitLines(concordance), referenceLines(opened.listing, typed)) << typed;
        }
    }
}

TEST(Collection, TheFirstOpeningHasKeptEveryIndexWhenItReturns)
{
    // Kept before load() returns and used from the store, so that a
    // thousand indexes do not stay in the program's own memory.
    Corpus corpus;
    OpenedFolder opened(corpus.dir.root(), corpus.cache.root());
    ASSERT_TRUE(opened.open());
    CollectionConcordance& concordance = opened.concordance;
    for (size_t m = 0; m < concordance.members(); ++m) {
        const QString kept = opened.store.indexes().fileFor(concordance.concordance(m).textFile());
        EXPECT_TRUE(QFileInfo(kept).isFile()) << concordance.nameOf(m).toStdString();
    }
}

TEST(Collection, ConditionsOnEachPairsOwnTranslationAgreeWithEachPairSearchedAlone)
{
    struct Case {
        const char* name;
        const char* typed;
        TranslationTest test;
        const char* condition;
    };
    const Case cases[] = {
        {"a form whose translation holds a form", "casa", TranslationTest::Contains, "maison"},
        {"a form whose translation lacks a form", "casa", TranslationTest::Lacks, "grande"},
        {"a prefix with a suffix on the translation", "cas*", TranslationTest::Contains, "*son"},
        {"a suffix with a prefix on the translation", "*a", TranslationTest::Lacks, "mai*"},
    };
    Corpus corpus;
    OpenedFolder opened(corpus.dir.root(), corpus.cache.root());
    ASSERT_TRUE(opened.open());
    CollectionConcordance& concordance = opened.concordance;
    // Twice over: the tables each text gives back after its search are made again.
    for (int round = 0; round < 2; ++round)
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            SearchRequest request;
            request.typed = QString::fromUtf8(c.typed);
            request.condition = TranslationCondition{c.test, QString::fromUtf8(c.condition), nullptr};
            ASSERT_TRUE(concordance.search(request).ok());
            std::vector<std::string> expected;
            for (const CollectionPair& p : opened.listing.pairs) {
                Concordance source, target;
                ASSERT_TRUE(source.load(FileRef(p.pair.source)).ok());
                ASSERT_TRUE(target.load(FileRef(p.pair.target)).ok());
                SearchRequest alone = request;
                alone.condition->target = &target;
                ASSERT_TRUE(source.search(alone).ok());
                for (size_t row = 1; row <= source.grid().hitCount(); ++row)
                    expected.push_back(p.member.name.toStdString() + "\t" +
                                       toUtf8(source.grid().text(row, 0), source.encoding()) + "\t" +
                                       toUtf8(source.grid().text(row, 1), source.encoding()));
            }
            EXPECT_FALSE(expected.empty() && c.test == TranslationTest::Contains);
            EXPECT_EQ(hitLines(concordance), expected);
        }
}

TEST(Collection, ATextThatCannotBeReadStopsTheOpeningAndIsNamed)
{
    Corpus corpus;
    CollectionStore store(corpus.dir.root(), corpus.cache.root());
    auto listing = listCollection(corpus.dir.root(), store);
    ASSERT_TRUE(listing.ok());
    ASSERT_TRUE(QFile::remove(corpus.dir.path("obra_source_ref.txt")));
    CollectionConcordance concordance;
    const Status loaded = concordance.load(listing.value(), store);
    ASSERT_FALSE(loaded.ok());
    EXPECT_FALSE(loaded.error().cancelled);
    EXPECT_TRUE(loaded.error().message.contains("obra_source_ref.txt")) << loaded.error().message.toStdString();
    EXPECT_EQ(concordance.members(), 0u);
}

TEST(Collection, EachSourceLanguageOfAPlainPairHasItsOwnPreparedPair)
{
    // Successive openings of one folder in one store, each from a side:
    // every opening must search the side it was asked for.
    struct Case {
        const char* name;
        std::vector<const char*> languages; // "" lets the folder choose
    };
    const std::vector<Case> cases{
        {"the folder's choice, then French, then again the folder's", {"", "fr", ""}},
        {"French first, then the folder's choice", {"fr", "", "fr"}},
        {"named both ways in turn", {"es", "fr", "es", "fr"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir, cache;
        dir.write("cuento.es.txt", "La casa del río. Otra casa. La casa.");
        dir.write("cuento.fr.txt", "La maison de la rivière. Une autre maison.");
        dir.write("otro.es.txt", "Una casa.");
        dir.write("otro.fr.txt", "Une maison.");
        const QStringList before = dir.entries();
        CollectionStore store(dir.root(), cache.root());
        for (const char* language : c.languages) {
            const bool french = std::string(language) == "fr";
            SCOPED_TRACE(french ? "fr" : language);
            auto listing = listCollection(dir.root(), store, {}, QString::fromUtf8(language));
            ASSERT_TRUE(listing.ok()) << listing.error().message.toStdString();
            ASSERT_EQ(listing.value().pairs.size(), 2u);
            const CollectionPair& cuento = listing.value().pairs[0];
            EXPECT_EQ(cuento.member.sourceLanguage.toStdString(), french ? "fr" : "es");
            EXPECT_EQ(cuento.pair.sourceRecords, french ? 2 : 3);
            EXPECT_EQ(cuento.pair.targetRecords, french ? 3 : 2);
            CollectionConcordance concordance;
            ASSERT_TRUE(concordance.load(listing.value(), store).ok());
            EXPECT_EQ(concordance.search(french ? "maison" : "casa"), french ? 3u : 4u);
            EXPECT_EQ(concordance.search(french ? "casa" : "maison"), 0u);
        }
        EXPECT_EQ(dir.entries(), before) << "nothing is written in the user's folder";
    }
}

TEST(Collection, AnEmptySideSetsItsPairAsideUnderTheUsersFile)
{
    struct Case {
        const char* name;
        const char* spanish;
        const char* french;
        const char* setAside; // the file named, relative to the folder
    };
    const std::vector<Case> cases{
        {"both sides empty", "", "", "cuentos/vacio.es.txt"},
        {"the source empty", "", "Une maison.", "cuentos/vacio.es.txt"},
        {"the translation empty", "Una casa.", "", "cuentos/vacio.fr.txt"},
        {"only blanks and line ends", " \r\n\t \r\n", "Une maison.", "cuentos/vacio.es.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir, cache;
        dir.write("cuentos/rio.es.txt", "La casa del río. Otra casa.");
        dir.write("cuentos/rio.fr.txt", "La maison de la rivière. Une autre maison.");
        dir.write("cuentos/vacio.es.txt", c.spanish);
        dir.write("cuentos/vacio.fr.txt", c.french);
        CollectionStore store(dir.root(), cache.root());
        // The second opening reads the notes the first one left.
        for (int opening = 0; opening < 2; ++opening) {
            auto listing = listCollection(dir.root(), store);
            ASSERT_TRUE(listing.ok()) << listing.error().message.toStdString();
            ASSERT_EQ(listing.value().pairs.size(), 1u);
            EXPECT_EQ(listing.value().pairs[0].member.name.toStdString(), "cuentos/rio");
            ASSERT_EQ(listing.value().setAside.size(), 1u);
            const SetAside& aside = listing.value().setAside[0];
            EXPECT_EQ(aside.path.toStdString(), "cuentos/vacio.es.txt") << "listed by its source";
            EXPECT_TRUE(aside.reason.contains(dir.path(c.setAside))) << aside.reason.toStdString();
            EXPECT_TRUE(aside.reason.contains(QStringLiteral("el texto está vacío"))) << aside.reason.toStdString();
            EXPECT_FALSE(aside.reason.contains(cache.root())) << aside.reason.toStdString();
            CollectionConcordance concordance;
            ASSERT_TRUE(concordance.load(listing.value(), store).ok());
            EXPECT_EQ(concordance.search("casa"), 2u);
        }
    }
}

TEST(Collection, AConvertedTextThatCannotBeReadIsNamedByTheUsersFile)
{
    TempDir dir, cache;
    dir.write("rio.es.txt", "La casa del río.");
    dir.write("rio.fr.txt", "La maison de la rivière.");
    CollectionStore store(dir.root(), cache.root());
    auto listing = listCollection(dir.root(), store);
    ASSERT_TRUE(listing.ok());
    ASSERT_TRUE(QFile::remove(listing.value().pairs[0].pair.source));
    CollectionConcordance concordance;
    const Status loaded = concordance.load(listing.value(), store);
    ASSERT_FALSE(loaded.ok());
    EXPECT_TRUE(loaded.error().message.contains(dir.path("rio.es.txt"))) << loaded.error().message.toStdString();
    EXPECT_FALSE(loaded.error().message.contains(cache.root())) << loaded.error().message.toStdString();
}
