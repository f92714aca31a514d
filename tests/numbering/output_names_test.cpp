#include "common/same_file.h"
#include "numbering/output_names.h"
#include "support/temp_files.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

namespace solandre {
namespace {

TEST(DefaultOutputName, SuffixGoesBeforeTheLastFourCharacters)
{
    struct Case { const char* input; const char* suffix; std::optional<QString> expected; };
    const Case cases[] = {
        {"C:\\textos\\obra.txt", "_source_ref", "C:\\textos\\obra_source_ref.txt"},
        {"C:\\t\\b.txt", "_cible_ref", "C:\\t\\b_cible_ref.txt"},
        {"C:\\t\\obra", "_source_ref", "C:\\t\\_source_refobra"},
        {"abcd", "_x", "_xabcd"},
        {"abc", "_x", std::nullopt},
        {"", "_x", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(defaultOutputName(c.input, c.suffix), c.expected) << c.input;
}

TEST(IsSameFile, OtherSpellingsOfOneFile)
{
    testing::TempDir dir;
    const QString file = dir.write("obra.txt", "x");
    QDir(dir.root()).mkdir("sub");
    QFile::link(file, dir.path("enlace.txt"));
    ASSERT_EQ(::link(QFile::encodeName(file).constData(),
                     QFile::encodeName(dir.path("duro.txt")).constData()), 0);
    dir.write("Obra.txt", "y");
    dir.write("otra.txt", "z");

    struct Case { const char* name; QString other; bool same; };
    const Case cases[] = {
        {"same string", file, true},
        {"through ..", dir.root() + "/sub/../obra.txt", true},
        {"symbolic link", dir.path("enlace.txt"), true},
        {"hard link", dir.path("duro.txt"), true},
        {"other letter case is another file here", dir.path("Obra.txt"), false},
        {"another file", dir.path("otra.txt"), false},
        {"empty", QString(), false},
        {"a new file beside it", dir.path("nueva.txt"), false},
    };
    for (const auto& c : cases) EXPECT_EQ(isSameFile(file, c.other), c.same) << c.name;

    EXPECT_TRUE(isSameFile(dir.path("nueva.txt"), dir.root() + "/sub/../nueva.txt"))
        << "a file not yet written, spelt two ways";
}

} // namespace
} // namespace solandre
