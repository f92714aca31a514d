// SPDX-License-Identifier: GPL-3.0-or-later
// What a folder's names make of it: which files pair, under which name, and
// what is set aside and why.

#include "collection/members.h"
#include "support/temp_files.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace solandre;
using solandre::testing::TempDir;

namespace {

std::string describe(const FolderScan& scan)
{
    std::string out;
    const char* kinds[] = {"numbered", "memory", "table", "plain"};
    for (const Member& m : scan.members) {
        out += m.name.toStdString() + " " + kinds[int(m.kind)];
        if (!m.sourceLanguage.isEmpty()) out += " " + m.sourceLanguage.toStdString() + ">" + m.targetLanguage.toStdString();
        out += "; ";
    }
    for (const SetAside& s : scan.setAside) out += "aside " + s.path.toStdString() + "; ";
    return out;
}

struct Case {
    const char* name;
    std::vector<const char*> files;
    const char* expected;
};

} // namespace

TEST(CollectionMembers, EachNamingFormAndItsFaults)
{
    const Case cases[] = {
        {"numbered pair", {"obra_source_ref.txt", "obra_cible_ref.txt"}, "obra numbered; "},
        {"numbered pair missing its target", {"obra_source_ref.txt"}, "aside obra_source_ref.txt; "},
        {"memory and table", {"mem.tmx", "tabla.tsv"}, "mem memory; tabla table; "},
        {"dotted language pair", {"cap1.es.txt", "cap1.fr.txt"}, "cap1 plain es>fr; "},
        {"underscored language pair", {"cap1_es.txt", "cap1_fr.txt"}, "cap1 plain es>fr; "},
        {"region subtags", {"doc.en-GB.txt", "doc.es.txt"}, "doc plain en-GB>es; "},
        {"subfolders keep their path", {"sub/cap1.es.txt", "sub/cap1.fr.txt", "cap1.es.txt", "cap1.fr.txt"},
         "cap1 plain es>fr; sub/cap1 plain es>fr; "},
        {"one side of a language pair", {"cap1.es.txt"}, "aside cap1.es.txt; "},
        {"words that look like tags are not languages", {"notas_on.txt", "notas_off.txt"},
         "aside notas_off.txt; aside notas_on.txt; "},
        {"a text without a language", {"libro.txt"}, "aside libro.txt; "},
        {"other kinds of file", {"informe.pdf", "foto.png"}, "aside foto.png; aside informe.pdf; "},
        {"a memory beside its own numbered pair", {"mem.tmx", "mem_source_ref.txt", "mem_cible_ref.txt"},
         "mem numbered; aside mem.tmx; "},
        {"a third language", {"c.es.txt", "c.fr.txt", "c.de.txt"}, "c plain de>es; aside c.fr.txt; "},
    };
    for (const Case& c : cases) {
        TempDir dir;
        for (const char* f : c.files) dir.write(QString::fromUtf8(f), "[1] Uno.\r\n");
        EXPECT_EQ(describe(scanFolder(dir.root())), c.expected) << c.name;
    }
}

TEST(CollectionMembers, OneSourceLanguageForTheWholeCollection)
{
    TempDir dir;
    for (const char* f : {"a.fr.txt", "a.es.txt", "b.fr.txt", "b.es.txt", "c.fr.txt", "c.de.txt"})
        dir.write(QString::fromUtf8(f), "Uno.");
    // French is held by every pair, so it is the source wherever it is there.
    EXPECT_EQ(describe(scanFolder(dir.root())), "a plain fr>es; b plain fr>es; c plain fr>de; ");
    EXPECT_EQ(describe(scanFolder(dir.root(), "es")), "a plain es>fr; b plain es>fr; c plain de>fr; ");
}

TEST(CollectionMembers, NamesAreRelativeToTheFolderHoweverItIsGiven)
{
    TempDir dir;
    dir.write("col/sub/cap1.es.txt", "Uno.");
    dir.write("col/sub/cap1.fr.txt", "Un.");
    const QString here = QDir::currentPath();
    QDir::setCurrent(dir.root());
    const FolderScan scan = scanFolder("col");
    QDir::setCurrent(here);
    EXPECT_EQ(describe(scan), "sub/cap1 plain es>fr; ");
}

TEST(CollectionMembers, LanguageOfName)
{
    QString stem;
    EXPECT_EQ(languageOfName("cap1.es.txt", &stem), "es");
    EXPECT_EQ(stem, "cap1");
    EXPECT_EQ(languageOfName("la_casa_del_rio_fr.txt", &stem), "fr");
    EXPECT_EQ(stem, "la_casa_del_rio");
    EXPECT_EQ(languageOfName("obra_source_ref.txt"), "");
    EXPECT_EQ(languageOfName("cap1.es.tmx"), "");
}
