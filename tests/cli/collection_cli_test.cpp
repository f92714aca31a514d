// SPDX-License-Identifier: GPL-3.0-or-later
// solandre-cli given a folder where it takes a numbered text.

#include "cli/cli.h"
#include "support/delimited_reader.h"
#include "support/temp_files.h"
#include "support/xlsx_reader.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sstream>

namespace solandre {
namespace {

using testing::parseDelimited;
using testing::readBytes;
using testing::TempDir;

struct CliResult {
    int status;
    std::string out, err;
};

CliResult run(std::vector<std::string> args)
{
    std::ostringstream out, err;
    const int status = cli::run(args, out, err);
    return {status, out.str(), err.str()};
}

class CliCollection : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.write("obra_source_ref.txt", "[1] Casa grande.\r\n[2] Una casa.\r\n");
        dir.write("obra_cible_ref.txt", "[1] Grande maison.\r\n[2] Une maison.\r\n");
        dir.write("sub/cap1.es.txt", "La casa. Otra CASA.");
        dir.write("sub/cap1.fr.txt", "La maison. Une autre maison.");
        dir.write("mem.tsv", "casa\tmaison\r\n");
        dir.write("notas.txt", "Sin lengua.");
        folder = dir.root().toStdString();
    }
    TempDir dir;
    std::string folder;
};

TEST_F(CliCollection, EachHitLineIsTheNameTheFormAndTheMarker)
{
    const CliResult r = run({"search", folder, "casa"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "mem\tcasa\t[1]\n"
                     "obra\tCasa\t[1]\nobra\tcasa\t[2]\n"
                     "sub/cap1\tcasa\t[1]\nsub/cap1\tCASA\t[2]\n"
                     "Total de ocurrencia(s) para : casa = 5\n");
    EXPECT_NE(r.err.find("notas.txt"), std::string::npos) << "what was set aside is said: " << r.err;
}

TEST_F(CliCollection, CountGivesATotalPerPairAndTheOverallOne)
{
    const CliResult r = run({"search", folder, "casa", "--count"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "mem\t1\nobra\t2\nsub/cap1\t2\nTotal de ocurrencia(s) para : casa = 5\n");
}

TEST_F(CliCollection, FrequenciesCountOverEveryText)
{
    const CliResult r = run({"search", folder, "*", "--frequencies"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "casa\t5");
}

TEST_F(CliCollection, PhrasesAndConditionsReadEachPairsOwnTranslation)
{
    const CliResult phrase = run({"search", folder, "una casa"});
    EXPECT_EQ(phrase.out, "obra\tUna casa\t[2]\nTotal de ocurrencia(s) para : una casa = 1\n") << phrase.err;
    const CliResult without = run({"search", folder, "casa", "--without", "grande"});
    EXPECT_EQ(without.status, 0) << without.err;
    EXPECT_EQ(without.out, "mem\tcasa\t[1]\nobra\tcasa\t[2]\nsub/cap1\tcasa\t[1]\nsub/cap1\tCASA\t[2]\n"
                           "Total de ocurrencia(s) para : casa = 4\n");
    const CliResult with = run({"search", folder, "casa", "--with", "autre"});
    EXPECT_EQ(with.out, "sub/cap1\tCASA\t[2]\nTotal de ocurrencia(s) para : casa = 1\n") << with.err;
    const CliResult bad = run({"search", folder, "ca(sa", "--regex"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");
}

using Rows = std::vector<std::vector<std::string>>;

TEST_F(CliCollection, ExportWritesEveryPairsLinesWithTheTextFirstInEachFormat)
{
    dir.write("calc_source_ref.txt", "[1] =casa+1\r\n");
    dir.write("calc_cible_ref.txt", "[1] @maison\r\n");
    TempDir out;
    const std::string header = "Texto|Forma|Referencia|Contexto izquierdo|Contexto derecho|Frase|Traducción";
    const Rows expected = {
        {"Texto", "Forma", "Referencia", "Contexto izquierdo", "Contexto derecho", "Frase", "Traducción"},
        {"calc", "casa", "[1]", "=", "+1", "=casa+1", "@maison"},
        {"mem", "casa", "[1]", "", "", "casa", "maison"},
        {"obra", "Casa", "[1]", "", "grande.", "Casa grande.", "Grande maison."},
        {"obra", "casa", "[2]", "Una", ".", "Una casa.", "Une maison."},
        {"sub/cap1", "casa", "[1]", "La", ".", "La casa.", "La maison."},
        {"sub/cap1", "CASA", "[2]", "Otra", ".", "Otra CASA.", "Une autre maison."}};
    struct Case { const char* name; std::vector<std::string> options; const char* file; char separator; bool csv; };
    const Case cases[] = {
        {"tsv by the name", {}, "lineas.tsv", '\t', false},
        {"csv by the name", {}, "lineas.csv", ',', true},
        {"csv by --format", {"--format", "csv"}, "lineas.txt", ',', true},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"export", folder, "casa", "-o", out.path(c.file).toStdString()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliResult r = run(args);
        ASSERT_EQ(r.status, 0) << c.name << ": " << r.err;
        const std::string bytes = readBytes(out.path(c.file));
        ASSERT_TRUE(bytes.starts_with("\xEF\xBB\xBF")) << c.name;
        Rows written = expected;
        if (c.csv) { // what a spreadsheet would run shows as text
            written[1][3] = "'=";
            written[1][4] = "'+1";
            written[1][5] = "'=casa+1";
            written[1][6] = "'@maison";
        }
        EXPECT_EQ(parseDelimited(std::string_view(bytes).substr(3), c.separator), written) << c.name;
    }

    const CliResult book = run({"export", folder, "cas*", "--sort-forms", "-o", out.path("l.xlsx").toStdString()});
    ASSERT_EQ(book.status, 0) << book.err;
    std::string why;
    const auto read = testing::readXlsx(out.path("l.xlsx"), &why);
    ASSERT_TRUE(read) << why;
    const std::vector<std::string> rows = testing::rowTexts(read->sheets.at(0));
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0], header);
    std::vector<std::string> forms;
    for (size_t k = 1; k < rows.size(); ++k) forms.push_back(rows[k].substr(rows[k].find('|') + 1, 4));
    EXPECT_EQ(forms, (std::vector<std::string>{"casa", "casa", "Casa", "casa", "casa", "CASA"}))
        << "\"Formas\" across texts";
}

TEST_F(CliCollection, ExportRefusesATargetAndAnyFileOfTheCollection)
{
    struct Case { const char* name; std::vector<std::string> args; int status; const char* said; };
    const std::string member = dir.path("obra_cible_ref.txt").toStdString();
    const Case cases[] = {
        {"--target", {"export", folder, "casa", "-o", dir.path("x.tsv").toStdString(), "--target", member}, 2,
         "--target"},
        {"a text of the collection", {"export", folder, "casa", "-o", member}, 1, "obra_cible_ref.txt"},
        {"the memory itself", {"export", folder, "casa", "-o", dir.path("mem.tsv").toStdString()}, 1, "mem.tsv"},
        {"a bad format", {"export", folder, "casa", "-o", dir.path("x").toStdString(), "--format", "ods"}, 2, "ods"},
    };
    for (const Case& c : cases) {
        const CliResult r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << c.name << ": " << r.err;
    }
    EXPECT_EQ(readBytes(dir.path("obra_cible_ref.txt")), "[1] Grande maison.\r\n[2] Une maison.\r\n");
    EXPECT_EQ(readBytes(dir.path("mem.tsv")), "casa\tmaison\r\n");
    EXPECT_FALSE(QFile::exists(dir.path("x.tsv")));
}

TEST_F(CliCollection, SaveNamesEachHitsTextInTheListAndAboveItsSentences)
{
    TempDir out;
    const CliResult r = run({"save", folder, "una casa", "-o", out.path("r.txt").toStdString(), "--title", "Obras",
                             "--date", "hoy"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string sep(74, '-');
    EXPECT_EQ(readBytes(out.path("r.txt")), "Colecci\xF3n : Obras\r\nB\xFAsqueda efectuada el : hoy\r\n" + sep +
                                                "\r\n\r\nTexto" + std::string(31, ' ') + "Forma(s)" +
                                                std::string(28, ' ') + "Referencia(s)\r\nobra" + std::string(32, ' ') +
                                                "Una casa" + std::string(28, ' ') + "[2]\r\n" + sep +
                                                "\r\nobra\r\n[2] Una casa.\r\n\r\n[2] Une maison.\r\n\r\n");
}

TEST_F(CliCollection, AFolderThatCannotBeReadFails)
{
    const CliResult r = run({"search", folder + "/sub/../nada/", "casa"});
    EXPECT_NE(r.status, 0);
}

} // namespace
} // namespace solandre
