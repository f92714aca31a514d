// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/notices.h"
#include "common/text_file.h"
#include "support/temp_files.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <thread>

namespace solandre {
namespace {

TEST(Notices, EachMessageOnceToTheLastHandlerInstalled)
{
    QStringList outer, inner;
    const NoticeScope first([&](const QString& m) { outer << m; });
    notice("uno");
    {
        const NoticeScope second([&](const QString& m) { inner << m; });
        notice("dos");
        notice("dos");
        std::thread([] { notice("tres"); }).join();
    }
    notice("uno");
    notice("cuatro");
    EXPECT_EQ(outer, (QStringList{"uno", "cuatro"}));
    EXPECT_EQ(inner, (QStringList{"dos", "tres"}));
}

TEST(Notices, OpeningAMostlyUtf8TextSaysItOnce)
{
    testing::TempDir dir;
    std::string bytes;
    for (int k = 0; k < 150; ++k) bytes += "[" + std::to_string(k + 1) + "] Canci\xC3\xB3n.\r\n";
    bytes += "[151] caf\xE9.\r\n";
    const QString path = dir.write("obra.txt", bytes);
    QStringList said;
    const NoticeScope scope([&](const QString& m) { said << m; });
    for (int k = 0; k < 2; ++k) {
        const Result<TextFile> text = TextFile::open(path);
        ASSERT_TRUE(text);
        EXPECT_EQ(text.value().encoding(), Encoding::Utf8);
    }
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].contains(path) && said[0].contains("línea 151")) << said[0].toStdString();
    EXPECT_TRUE(TextFile::open(dir.write("limpio.txt", "[1] Canci\xC3\xB3n.\r\n")));
    EXPECT_EQ(said.size(), 1) << "a clean text says nothing";
}

} // namespace
} // namespace solandre
