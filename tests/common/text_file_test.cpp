// SPDX-License-Identifier: GPL-3.0-or-later
// Texts kept open: a collection holds a thousand, two per pair, and the
// system gives a program about a thousand open files.

#include "common/text_file.h"
#include "support/temp_files.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <vector>

namespace solandre {
namespace {

using namespace std::string_literals;

// The files this process holds open, where the system lists them.
qsizetype openFiles() { return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size(); }

TEST(TextFile, TextsKeptOpenHoldNoFileOpen)
{
    if (!QDir(QStringLiteral("/proc/self/fd")).exists()) GTEST_SKIP() << "the system does not list open files";
    struct Case {
        const char* name;
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {"Windows-1252", "[1] Casa \xF3.\r\n"s, "[1] Casa \xF3.\r\n"s},
        {"UTF-8", "[1] Casa \xC3\xB3.\r\n"s, "[1] Casa \xC3\xB3.\r\n"s},
        {"UTF-8 with its mark", "\xEF\xBB\xBF[1] Casa.\r\n"s, "[1] Casa.\r\n"s},
        {"UTF-16, read whole", "\xFF\xFE[\0001\0]\0"s, "[1]"s},
    };
    testing::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.write(QString::fromUtf8(c.name) + ".txt", c.bytes);
        const qsizetype before = openFiles();
        std::vector<TextFile> texts;
        for (int k = 0; k < 50; ++k) {
            auto text = TextFile::open(FileRef(path));
            ASSERT_TRUE(text.ok());
            texts.push_back(text.value());
        }
        EXPECT_EQ(openFiles(), before);
        for (const TextFile& text : texts) EXPECT_EQ(text.text(), c.text);
    }
}

TEST(TextFile, ATextCutShortWhileOpenReadsAsEmptiedThereInsteadOfEndingTheProgram)
{
    // As an editor that writes in place, or a truncate, leaves it.
    std::string bytes;
    for (int k = 1; bytes.size() < 50000; ++k) bytes += "[" + std::to_string(k) + "] Una casa.\r\n";
    testing::TempDir dir;
    const QString path = dir.write(QStringLiteral("obra_source_ref.txt"), bytes);
    const Result<TextFile> text = TextFile::open(FileRef(path));
    ASSERT_TRUE(text.ok());
    QFile file(path);
    ASSERT_TRUE(file.resize(100));
    const std::string_view read = text.value().text();
    ASSERT_EQ(read.size(), bytes.size());
    EXPECT_EQ(read.substr(0, 100), std::string_view(bytes).substr(0, 100)) << "what is still there reads as it was";
    size_t zeros = 0;
    for (size_t k = 100; k < read.size(); ++k) zeros += read[k] == '\0';
    EXPECT_EQ(zeros, read.size() - 100) << "the pages past the new end read as zeros";
}

TEST(TextFileDeathTest, AnyOtherBusErrorStillEndsTheProgram)
{
    testing::TempDir dir;
    ASSERT_TRUE(TextFile::open(FileRef(dir.write(QStringLiteral("a.txt"), std::string("[1] Casa.\r\n")))).ok());
    EXPECT_DEATH(raise(SIGBUS), "");
}

} // namespace
} // namespace solandre
