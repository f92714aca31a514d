// SPDX-License-Identifier: GPL-3.0-or-later
// solandre-cli given a folder where it takes a numbered text.

#include "cli/cli.h"
#include "support/delimited_reader.h"
#include "cli/manual.h"
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

// The candidates of a folder of numbered pairs are those of the same
// sentences made one pair, numbered end to end.
TEST(CliCollectionCandidates, PrintWhatTheCollectionMadeOnePairPrints)
{
    const std::vector<std::pair<std::string, std::string>> a = {
        {"La casa blanca.", "La maison blanche."}, {"El perro duerme.", "Le chien dort."},
        {"Otra casa vieja.", "Une autre vieille maison."}};
    const std::vector<std::pair<std::string, std::string>> b = {
        {"La casa y el río.", "La maison et la rivière."}, {"El río baja.", "La rivière descend."},
        {"El perro y la casa.", "Le chien et la maison."}, {"Nada.", "Rien."}};
    const std::vector<std::pair<std::string, std::string>> c = {{"El gato duerme.", "Le chat dort."},
                                                                {"El río.", "La rivière."}};
    TempDir dir, whole;
    std::string wholeSource, wholeTarget;
    size_t number = 0;
    for (const auto& [name, pairs] : {std::pair{"a", &a}, std::pair{"b", &b}, std::pair{"sub/c", &c}}) {
        std::string source, target;
        for (size_t k = 0; k < pairs->size(); ++k) {
            source += "[" + std::to_string(k + 1) + "] " + (*pairs)[k].first + "\r\n";
            target += "[" + std::to_string(k + 1) + "] " + (*pairs)[k].second + "\r\n";
            wholeSource += "[" + std::to_string(++number) + "] " + (*pairs)[k].first + "\r\n";
            wholeTarget += "[" + std::to_string(number) + "] " + (*pairs)[k].second + "\r\n";
        }
        dir.write(QString::fromUtf8(name) + "_source_ref.txt", source);
        dir.write(QString::fromUtf8(name) + "_cible_ref.txt", target);
    }
    const std::string s = whole.write("whole_source_ref.txt", wholeSource).toStdString();
    const std::string t = whole.write("whole_cible_ref.txt", wholeTarget).toStdString();
    const std::string folder = dir.root().toStdString();
    struct Case {
        const char* name;
        std::vector<std::string> query; // the query and its options
    };
    const Case cases[] = {
        {"one form", {"casa"}},
        {"the best two", {"casa", "--top", "2"}},
        {"a phrase", {"el río"}},
        {"a condition on each pair's own translation", {"casa", "--without", "blanche"}},
        {"a regular expression", {"(casa|perro)", "--regex"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        std::vector<std::string> collection{"candidates", folder}, one{"candidates", s, t};
        collection.insert(collection.end(), k.query.begin(), k.query.end());
        one.insert(one.end(), k.query.begin(), k.query.end());
        const CliResult got = run(collection), expected = run(one);
        EXPECT_EQ(got.status, 0) << got.err;
        EXPECT_EQ(expected.status, 0) << expected.err;
        EXPECT_TRUE(got.out.starts_with("Candidato\tPuntuación\tG²\tCon la forma\tEn la traducción\n")) << got.out;
        EXPECT_EQ(got.out, expected.out);
    }
    const CliResult best = run({"candidates", folder, "casa", "--top", "1"});
    EXPECT_NE(best.out.find("\nmaison\t"), std::string::npos) << best.out;
}

TEST(CliCollectionCandidates, TheHelpAndTheManualShowTheFolderForm)
{
    const CliResult help = run({"candidates", "--help"});
    EXPECT_NE(help.out.find("\n     solandre-cli candidates CARPETA BÚSQUEDA [--top N]"), std::string::npos) << help.out;
    const std::string page = cli::cliManualPage(cli::commands(), "1");
    EXPECT_NE(page.find(".B solandre\\-cli\ncandidates CARPETA BÚSQUEDA"), std::string::npos);
    EXPECT_NE(page.find(".B solandre\\-cli candidates CARPETA BÚSQUEDA"), std::string::npos);
}

TEST_F(CliCollection, CandidatesSayWhatIsWrongAsForOnePair)
{
    const CliResult nowhere = run({"candidates", folder, "nada"});
    EXPECT_EQ(nowhere.status, 0) << nowhere.err;
    EXPECT_EQ(nowhere.out, "") << "the reason goes to stderr, alone";
    EXPECT_NE(nowhere.err.find("la forma \"nada\" no está"), std::string::npos) << nowhere.err;
    const CliResult unmet = run({"candidates", folder, "casa", "--with", "nada"});
    EXPECT_EQ(unmet.status, 0) << unmet.err;
    EXPECT_NE(unmet.err.find("tiene \"casa\" con una traducción que contenga \"nada\""), std::string::npos)
        << "the form is there; the condition keeps none of it: " << unmet.err;
    const CliResult extra = run({"candidates", folder, "obra_cible_ref.txt", "casa"});
    EXPECT_EQ(extra.status, 2);
    EXPECT_NE(extra.err.find("candidates CARPETA BÚSQUEDA"), std::string::npos) << extra.err;
    const CliResult both = run({"candidates", folder, "casa", "--with", "a", "--without", "b"});
    EXPECT_EQ(both.status, 2);
    const CliResult bad = run({"candidates", folder, "ca(sa", "--regex"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");
    // "maison" is in every translated sentence, the memory's and the texts'
    // too: with "casa" in every one, no more often than chance.
    const CliResult everywhere = run({"candidates", folder, "casa"});
    EXPECT_EQ(everywhere.status, 0) << everywhere.err;
    EXPECT_EQ(everywhere.out, "Candidato\tPuntuación\tG²\tCon la forma\tEn la traducción\n");
    const CliResult r = run({"candidates", folder, "grande"});
    EXPECT_EQ(r.out.substr(r.out.find('\n') + 1), "grande\t8.05\t5.00\t1\t1\n") << r.out;
}

// The user's check: the pair of tales, searched from one side then the
// other, in any order; each search reads the side it was asked for.
TEST(CliCollectionSides, EachSearchReadsTheSourceLanguageItWasGiven)
{
    struct Step { std::vector<std::string> options; const char* query; const char* total; };
    struct Case { const char* name; std::vector<Step> steps; };
    const std::vector<Case> cases{
        {"Spanish, then French",
         {{{}, "casa", "= 3\n"}, {{"--source-lang", "fr"}, "maison", "= 2\n"}, {{"--source-lang", "fr"}, "casa", "= 0\n"}}},
        {"French, then the folder's choice",
         {{{"--source-lang", "fr"}, "maison", "= 2\n"}, {{}, "casa", "= 3\n"}, {{"--source-lang", "es"}, "casa", "= 3\n"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        dir.write("cuentos/rio.es.txt", "La casa del río. Otra casa. La casa.");
        dir.write("cuentos/rio.fr.txt", "La maison de la rivière. Une autre maison.");
        const QStringList before = dir.entries();
        for (const Step& step : c.steps) {
            std::vector<std::string> args{"search", dir.root().toStdString(), step.query, "--count"};
            args.insert(args.end(), step.options.begin(), step.options.end());
            const CliResult r = run(args);
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_TRUE(r.out.ends_with(step.total)) << step.query << ": " << r.out;
        }
        EXPECT_EQ(dir.entries(), before);
    }
}

TEST(CliCollectionSides, AnEmptyPairIsSetAsideAndTheRestSearched)
{
    struct Case { const char* name; const char* spanish; const char* french; const char* named; };
    const std::vector<Case> cases{
        {"both empty", "", "", "vacio.es.txt"},
        {"the translation empty", "Una casa.", "", "vacio.fr.txt"},
        {"the source only blanks", "  \n\t\n", "Une maison.", "vacio.es.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        dir.write("cuentos/rio.es.txt", "La casa del río. Otra casa. La casa.");
        dir.write("cuentos/rio.fr.txt", "La maison de la rivière. Une autre maison.");
        dir.write("cuentos/vacio.es.txt", c.spanish);
        dir.write("cuentos/vacio.fr.txt", c.french);
        const CliResult r = run({"search", dir.root().toStdString(), "casa", "--count"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "cuentos/rio\t3\nTotal de ocurrencia(s) para : casa = 3\n");
        EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("el texto está vacío"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find(".cache"), std::string::npos) << r.err;
    }
}

TEST_F(CliCollection, ASearchWithNothingToSearchOrATargetFails)
{
    TempDir empty, onlyAside;
    onlyAside.write("notas.txt", "Sin lengua.");
    onlyAside.write("solo.es.txt", "Una casa.");
    struct Case { const char* name; std::vector<std::string> args; int status; std::vector<const char*> said; };
    const std::vector<Case> cases{
        {"--target", {"search", folder, "casa", "--target", dir.path("obra_cible_ref.txt").toStdString()}, 2,
         {"--target"}},
        {"an empty folder", {"search", empty.root().toStdString(), "casa"}, 1, {"ningún par"}},
        {"only members set aside", {"search", onlyAside.root().toStdString(), "casa", "--count"}, 1,
         {"ningún par", "apartado: notas.txt", "apartado: solo.es.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliResult r = run(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.out, "");
        for (const char* said : c.said) EXPECT_NE(r.err.find(said), std::string::npos) << r.err;
    }
}

} // namespace
} // namespace solandre
