// SPDX-License-Identifier: GPL-3.0-or-later
// Texts kept open: a collection holds a thousand, two per pair, and the
// system gives a program about a thousand open files.

#include "common/text_file.h"
#include "support/temp_files.h"

#include <QDir>
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

} // namespace
} // namespace solandre
