// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/same_file.h"
#include "support/temp_files.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

namespace solandre {
namespace {

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

TEST(RefuseInputAsOutput, NamesTheOutputAndIgnoresEmptyNames)
{
    testing::TempDir dir;
    const QString text = dir.write("obra.txt", "x");
    const QString other = dir.write("otra.txt", "y");
    QFile::link(text, dir.path("enlace.txt"));

    EXPECT_TRUE(refuseInputAsOutput(dir.path("salida.txt"), {text, other, QString()}).ok());
    EXPECT_TRUE(refuseInputAsOutput(dir.path("salida.txt"), {}).ok());
    const Status refused = refuseInputAsOutput(dir.path("enlace.txt"), {QString(), other, text});
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().message,
              QString::fromUtf8("No se puede escribir el fichero \"%1\": es uno de los textos de "
                                "entrada; elija otro nombre para el fichero")
                  .arg(dir.path("enlace.txt")));
}

TEST(RefuseSameOutputs, TwoOutputsThatAreOneFileByAnySpelling)
{
    testing::TempDir dir;
    const QString old = dir.write("es_ref.txt", "x");
    QDir(dir.root()).mkdir("sub");
    QFile::link(old, dir.path("enlace.txt"));
    ASSERT_EQ(::link(QFile::encodeName(old).constData(), QFile::encodeName(dir.path("duro.txt")).constData()), 0);
    // A link to an output that is not written yet.
    QFile::link(dir.path("fr_ref.txt"), dir.path("adelantado.txt"));
    const FileRef stream = FileRef::standardStream();

    struct Case { const char* name; FileRef first, second; bool refused; };
    const Case cases[] = {
        {"the same name", old, old, true},
        {"through ..", old, dir.root() + "/sub/../es_ref.txt", true},
        {"a symbolic link to the other", old, dir.path("enlace.txt"), true},
        {"a hard link", old, dir.path("duro.txt"), true},
        {"a link to the other, which does not exist yet", dir.path("fr_ref.txt"), dir.path("adelantado.txt"), true},
        {"both new, spelt two ways", dir.path("n.txt"), dir.root() + "/sub/../n.txt", true},
        {"both the standard output", stream, stream, true},
        {"two files", old, dir.path("fr_ref.txt"), false},
        {"a file and the standard output", old, stream, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Status status = refuseSameOutputs(c.first, c.second);
        EXPECT_EQ(!status.ok(), c.refused);
        if (!status.ok())
            EXPECT_EQ(status.error().message,
                      QString::fromUtf8("No se puede escribir el fichero \"%1\": las dos salidas son el mismo "
                                        "fichero; elija otro nombre para una de ellas")
                          .arg(c.second.name()));
    }
}

} // namespace
} // namespace solandre
