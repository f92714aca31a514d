// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/concordance.h"
#include "search/index_cache.h"
#include "support/temp_files.h"

#include "search/text_key.h"

#include <QDateTime>
#include <cstring>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace solandre {
namespace {

std::string numberedText(int sentences, const char* word = "casa")
{
    std::string text;
    for (int s = 1; s <= sentences; ++s)
        text += "[" + std::to_string(s) + "] Una " + word + " y canci\xF3n " + std::to_string(s % 97) + ".\r\n";
    return text;
}

std::vector<std::string> listing(const Concordance& c)
{
    std::vector<std::string> rows;
    for (size_t r = 1; r < c.grid().rows(); ++r)
        rows.push_back(std::string(c.grid().text(r, 0)) + std::string(c.grid().text(r, 1)));
    return rows;
}

class IndexCacheTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    IndexCache cache{dir.path("cache"), 0, 3};
    QString text = dir.write("obra_source_ref.txt", numberedText(3000));

    // The same searches with and without the cache.
    void expectSameResults(Concordance& cached)
    {
        Concordance fresh;
        ASSERT_TRUE(fresh.load(text).ok());
        for (const char* form : {"casa", "c*", "*n", "una", "*"}) {
            cached.search(form);
            fresh.search(form);
            cached.sortByForm();
            fresh.sortByForm();
            ASSERT_EQ(listing(cached), listing(fresh)) << form;
        }
    }
};

TEST_F(IndexCacheTest, TheSecondOpeningReadsTheIndexKept)
{
    Concordance first;
    ASSERT_TRUE(first.load(text, {}, &cache).ok());
    const auto opened = TextFile::open(text);
    ASSERT_TRUE(opened.ok());
    ASSERT_TRUE(cache.store(opened.value(), first.index()));
    ASSERT_TRUE(cache.load(opened.value()).has_value());

    Concordance second;
    ASSERT_TRUE(second.load(text, {}, &cache).ok());
    expectSameResults(second);
    // Nothing beside the user's text.
    EXPECT_EQ(dir.entries(), (QStringList{"cache", "obra_source_ref.txt"}));
}

TEST_F(IndexCacheTest, AChangedTextIsIndexedAnew)
{
    struct Change { const char* name; std::function<void()> apply; };
    const Change changes[] = {
        {"another size", [&] { dir.write("obra_source_ref.txt", numberedText(3001)); }},
        {"the same size, another word, another time", [&] {
             dir.write("obra_source_ref.txt", numberedText(3000, "cosa"));
         }},
        {"the same size and time, another word", [&] {
             const QDateTime time = QFileInfo(text).lastModified();
             dir.write("obra_source_ref.txt", numberedText(3000, "mesa"));
             QFile file(text);
             file.open(QIODevice::ReadWrite);
             file.setFileTime(time, QFileDevice::FileModificationTime);
         }},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        const auto old = TextFile::open(text);
        Concordance kept;
        ASSERT_TRUE(kept.load(text).ok());
        ASSERT_TRUE(cache.store(old.value(), kept.index()));
        change.apply();
        const auto now = TextFile::open(text);
        EXPECT_FALSE(cache.load(now.value()).has_value());
        Concordance reopened;
        ASSERT_TRUE(reopened.load(text, {}, &cache).ok());
        expectSameResults(reopened);
    }
}

TEST_F(IndexCacheTest, ADamagedCacheIsNeverTrusted)
{
    const auto opened = TextFile::open(text);
    Concordance first;
    ASSERT_TRUE(first.load(text).ok());
    const QString file = cache.fileFor(opened.value());
    struct Damage { const char* name; std::function<void(QByteArray&)> apply; };
    const Damage damages[] = {
        {"cut short", [](QByteArray& b) { b.truncate(b.size() / 2); }},
        {"a byte changed in the postings", [](QByteArray& b) { b[b.size() - 5000] = char(b[b.size() - 5000] ^ 0x40); }},
        {"a byte changed in the header", [](QByteArray& b) { b[60] = char(b[60] ^ 1); }},
        {"empty", [](QByteArray& b) { b.clear(); }},
        {"zeros", [](QByteArray& b) { b.fill('\0'); }},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        ASSERT_TRUE(cache.store(opened.value(), first.index()));
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QByteArray bytes = f.readAll();
        f.close();
        damage.apply(bytes);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        EXPECT_FALSE(cache.load(opened.value()).has_value());
        Concordance reopened;
        ASSERT_TRUE(reopened.load(text, {}, &cache).ok());
        expectSameResults(reopened);
    }
}

TEST_F(IndexCacheTest, AFolderThatCannotBeWrittenIsSkippedAndOnlyAFewIndexesAreKept)
{
    dir.write("no_folder", "a file where the folder should be");
    IndexCache blocked(dir.path("no_folder"), 0);
    const auto opened = TextFile::open(text);
    Concordance first;
    ASSERT_TRUE(first.load(text, {}, &blocked).ok());
    EXPECT_FALSE(blocked.store(opened.value(), first.index()));

    for (int k = 0; k < 5; ++k) {
        const QString other = dir.write(QString("otro%1.txt").arg(k), numberedText(100 + k));
        const auto t = TextFile::open(other);
        Concordance c;
        ASSERT_TRUE(c.load(other).ok());
        ASSERT_TRUE(cache.store(t.value(), c.index()));
    }
    EXPECT_EQ(QDir(dir.path("cache")).entryList({"*.idx"}).size(), 3);
}

// Edits that keep the size and put the modification time back, as tools
// that copy or unpack with times kept do: the changed word must not be
// found where it was.
class StaleCacheTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    QString text;
    std::string original, edited;
    timespec modified[2] {};

    void SetUp() override
    {
        while (original.size() < 2'500'000) original += numberedText(1000);
        original = original.substr(0, original.rfind("\r\n") + 2);
        // An occurrence of "casa" between the pieces a sample looks at.
        const size_t piece = (original.size() - 4096) / 63;
        const size_t at = original.find("casa", piece * 10 + 20'000);
        ASSERT_LT(at + 4, piece * 11);
        edited = original;
        edited[at + 3] = 'o';
        text = dir.write("obra.txt", original);
        struct stat st {};
        ASSERT_EQ(stat(QFile::encodeName(text).constData(), &st), 0);
        modified[0] = st.st_atim;
        modified[1] = st.st_mtim;
    }

    void putTimeBack(const QString& path) const
    {
        ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(path).constData(), modified, 0), 0);
    }

    // Rewrites the file in place, as an editor or "cp" onto it does.
    void overwrite(const QString& path, const std::string& bytes) const
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.write(bytes.data(), qint64(bytes.size()));
    }
};

TEST_F(StaleCacheTest, EveryEditThatKeepsSizeAndTimeIsSeen)
{
    struct Edit { const char* name; std::function<void()> apply; };
    const Edit edits[] = {
        {"one letter changed in place, then touch -r", [&] {
             overwrite(text, edited);
             putTimeBack(text);
         }},
        {"cp -p of an edited copy onto it", [&] {
             const QString copy = dir.write("copia.txt", edited);
             putTimeBack(copy);
             overwrite(text, edited);
             putTimeBack(text);
         }},
        {"rsync -t: an edited copy renamed over it", [&] {
             const QString copy = dir.write(".obra.txt.XXXX", edited);
             putTimeBack(copy);
             ASSERT_EQ(::rename(QFile::encodeName(copy).constData(), QFile::encodeName(text).constData()), 0);
         }},
        {"unpacked from an archive: removed, then written anew", [&] {
             QFile::remove(text);
             dir.write("obra.txt", edited);
             putTimeBack(text);
         }},
    };
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.name);
        dir.write("obra.txt", original);
        putTimeBack(text);
        IndexCache cache(dir.path("cache"), 0); // waits for its store when it goes
        Concordance first;
        ASSERT_TRUE(first.load(text).ok());
        const size_t before = first.search("casa");
        ASSERT_TRUE(cache.store(first.textFile(), first.index()));

        edit.apply();
        const auto now = TextFile::open(text);
        ASSERT_TRUE(now.ok());
        EXPECT_EQ(now.value().text(), edited);
        EXPECT_EQ(now.value().text().size(), original.size());
        EXPECT_FALSE(cache.load(now.value()).has_value());
        Concordance reopened;
        ASSERT_TRUE(reopened.load(text, {}, &cache).ok());
        EXPECT_EQ(reopened.search("casa"), before - 1);
        EXPECT_EQ(reopened.search("caso"), 1u);
    }
}

// Where file times are coarse, an edit made soon after the text was read
// can leave its stamp as it was: the whole content is compared then.
TEST_F(StaleCacheTest, AStampThatMayHideAChangeHasTheWholeContentCompared)
{
    const auto before = TextFile::open(text);
    const std::optional<TextKey> key = TextKey::of(before.value());
    ASSERT_TRUE(key.has_value());
    EXPECT_TRUE(key->checkWhole) << "the text was written just now";
    EXPECT_TRUE(key->describes(before.value()));

    overwrite(text, edited);
    const auto after = TextFile::open(text);
    TextKey coarse = *key;
    coarse.stamp = *after.value().stamp(); // what a coarse file system would show
    EXPECT_FALSE(coarse.describes(after.value()));

    // A text left alone for a while is known by its stamp and a sample, so
    // that reopening a gigabyte costs no full read.
    QThread::msleep(2100);
    const auto settled = TextFile::open(text);
    const std::optional<TextKey> quiet = TextKey::of(settled.value());
    EXPECT_FALSE(quiet->checkWhole);
    EXPECT_TRUE(quiet->describes(settled.value()));
}

// The checksums as the cache files written before hold them, read in one
// plain pass per half: however the reading is cut into pieces now, those
// files must still be recognised.
std::uint64_t plainChecksum(const char* data, size_t size)
{
    std::uint64_t lanes[4] = {1, 2, 3, 4}, h = size;
    size_t i = 0;
    for (; i + 32 <= size; i += 32)
        for (int k = 0; k < 4; ++k) {
            std::uint64_t v;
            std::memcpy(&v, data + i + 8 * k, 8);
            lanes[k] = (lanes[k] ^ v) * 0x9E3779B97F4A7C15ull;
        }
    for (const std::uint64_t lane : lanes) h = mixChecksums(h, lane);
    for (; i < size; ++i) h = mixChecksums(h, static_cast<unsigned char>(data[i]));
    return h;
}

std::uint64_t plainChecksumInHalves(const std::string& bytes)
{
    if (bytes.size() < (size_t(16) << 20)) return plainChecksum(bytes.data(), bytes.size());
    const size_t half = (bytes.size() / 2) & ~size_t(31);
    return mixChecksums(plainChecksum(bytes.data(), half), plainChecksum(bytes.data() + half, bytes.size() - half));
}

TEST(TextChecksums, AreTheSameWhateverPiecesTheyAreReadIn)
{
    const struct {
        const char* name;
        size_t size;
    } cases[] = {{"empty", 0},
                 {"less than one block", 31},
                 {"one block and a byte", 33},
                 {"a byte short of a piece", (size_t(8) << 20) - 1},
                 {"a piece and a block and a byte", (size_t(8) << 20) + 33},
                 {"two halves of pieces", (size_t(17) << 20) + 5}};
    std::string bytes;
    for (size_t k = 0; bytes.size() < (size_t(18) << 20); ++k) bytes += "abc de\xF1o, "[(k * 2654435761u >> 13) % 10];
    for (const auto& c : cases) {
        const std::string piece = bytes.substr(0, c.size);
        EXPECT_EQ(checksumOf(piece.data(), piece.size()), plainChecksumInHalves(piece)) << c.name;
    }
    // A text's whole checksum, read from its file, gives the same too.
    testing::TempDir dir;
    const std::string text = "[1] " + bytes.substr(0, (size_t(17) << 20) + 5);
    const auto file = TextFile::open(dir.write("obra_grande_ref.txt", text));
    ASSERT_TRUE(file.ok()) << file.error().message.toStdString();
    const std::optional<TextKey> key = TextKey::of(file.value());
    ASSERT_TRUE(key.has_value());
    ASSERT_TRUE(key->checkWhole) << "the text was written just now";
    EXPECT_EQ(key->whole, plainChecksumInHalves(std::string(file.value().text())));
    EXPECT_TRUE(key->describes(file.value()));
}

// Anything but a regular file of ours where an index goes: it is set aside,
// never written through nor opened for writing, and the search answers from
// an index built anew.
TEST_F(IndexCacheTest, WhatIsNotAnIndexFileIsSetAsideAndNeverWrittenThrough)
{
    const QString document = dir.write("documento.txt", "el documento del usuario");
    const auto opened = TextFile::open(text);
    const QString index = cache.fileFor(opened.value());
    ASSERT_TRUE(QDir().mkpath(dir.path("cache")));
    struct Odd { const char* name; std::function<bool()> place; };
    std::vector<Odd> odds = {
        {"a link to the user's document", [&] { return QFile::link(document, index); }},
        {"a link to nowhere", [&] { return QFile::link(dir.path("ninguno.txt"), index); }},
        {"a link to a device", [&] { return QFile::link("/dev/null", index); }},
        {"a named pipe", [&] { return mkfifo(QFile::encodeName(index).constData(), 0600) == 0; }},
        {"a folder", [&] { return QDir().mkdir(index); }},
    };
    if (testing::runningAsRoot())
        odds.push_back({"a device node", [&] {
                            return mknod(QFile::encodeName(index).constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;
                        }});
    for (const Odd& odd : odds) {
        SCOPED_TRACE(odd.name);
        for (const QString& entry : QDir(dir.path("cache")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System))
            if (!QFile::remove(dir.path("cache/" + entry))) QDir(dir.path("cache/" + entry)).removeRecursively();
        ASSERT_TRUE(odd.place());
        const bool link = QFileInfo(index).isSymLink();
        const QString pointsTo = QFileInfo(index).symLinkTarget();

        {
            IndexCache local(dir.path("cache"), 0); // waits for its store when it goes
            Concordance reopened;
            ASSERT_TRUE(reopened.load(text, {}, &local).ok());
            expectSameResults(reopened);
        }

        EXPECT_EQ(testing::readBytes(document), "el documento del usuario");
        EXPECT_FALSE(QFileInfo(dir.path("ninguno.txt")).exists());
        struct stat st {};
        ASSERT_EQ(lstat(QFile::encodeName(index).constData(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode)) << "an index of ours in its place";
        const QStringList aside = QDir(dir.path("cache")).entryList({"*apartado*"}, QDir::AllEntries | QDir::System);
        ASSERT_EQ(aside.size(), 1);
        const QFileInfo kept(dir.path("cache/" + aside.front()));
        EXPECT_EQ(kept.isSymLink(), link);
        EXPECT_EQ(kept.symLinkTarget(), pointsTo);
        EXPECT_TRUE(cache.load(opened.value()).has_value());
    }
}

mode_t modeOf(const QString& path)
{
    struct stat st {};
    stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 0777;
}

TEST_F(IndexCacheTest, TheFolderIsTheOwnersAlone)
{
    const auto opened = TextFile::open(text);
    Concordance first;
    ASSERT_TRUE(first.load(text).ok());
    ASSERT_TRUE(cache.store(opened.value(), first.index()));
    EXPECT_EQ(modeOf(dir.path("cache")), 0700);

    // A folder made open to all before is closed.
    QFile::setPermissions(dir.path("cache"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther);
    ASSERT_TRUE(cache.store(opened.value(), first.index()));
    EXPECT_EQ(modeOf(dir.path("cache")), 0700);

    // A folder that is a link is not used: nothing is written where it points.
    QDir().mkdir(dir.path("otra"));
    QFile::link(dir.path("otra"), dir.path("enlace"));
    IndexCache linked(dir.path("enlace"), 0);
    EXPECT_FALSE(linked.store(opened.value(), first.index()));
    EXPECT_TRUE(QDir(dir.path("otra")).isEmpty());
    Concordance reopened;
    ASSERT_TRUE(reopened.load(text, {}, &linked).ok());
    expectSameResults(reopened);
}

} // namespace
} // namespace solandre
