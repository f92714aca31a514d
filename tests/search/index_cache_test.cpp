// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/concordance.h"
#include "search/index_cache.h"
#include "support/temp_files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

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

} // namespace
} // namespace solandre
