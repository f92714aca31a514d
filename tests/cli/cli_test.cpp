// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli.h"
#include "cli/manual.h"
#include "support/temp_files.h"
#include "support/xlsx_reader.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace solandre {
namespace {

using testing::readBytes;
using testing::TempDir;

struct CliRun {
    int status;
    std::string out, err;
};

CliRun runCli(std::vector<std::string> args)
{
    std::ostringstream out, err;
    const int status = cli::run(args, out, err);
    return {status, out.str(), err.str()};
}

// The real program, for what only a process shows: its standard streams.
CliRun runProgram(const QString& shellLine, const std::string& input = {})
{
    QProcess process;
    process.setProgram("/bin/bash");
    process.setArguments({"-o", "pipefail", "-c", shellLine});
    process.start();
    process.write(input.data(), qint64(input.size()));
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
}

const QString kProgram = QStringLiteral(SOLANDRE_CLI);

int lines(const std::string& text) { return int(std::count(text.begin(), text.end(), '\n')); }

TEST(CliNumber, NumbersFileToFile)
{
    TempDir dir;
    const QString input = dir.write("in.txt", "Uno. Dos.");
    const CliRun run = runCli({"number", input.toStdString(), dir.path("out.txt").toStdString()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readBytes(dir.path("out.txt")), "[1] Uno.\r\n[2] Dos.\r\n");
}

TEST(CliNumber, FailuresAreOneLineNamingTheFileAndWriteNothing)
{
    TempDir dir;
    const std::string text = dir.write("obra.txt", "Uno. Dos.").toStdString();
    const std::string pdf = dir.write("obra.pdf", "%PDF-1.5\n%\xE2\xE3").toStdString();
    struct Case { const char* name; std::vector<std::string> args; std::string named; const char* reason; };
    const Case cases[] = {
        {"missing input", {"number", dir.path("no.txt").toStdString(), dir.path("o.txt").toStdString()},
         dir.path("no.txt").toStdString(), ""},
        {"the output is the input", {"number", text, text}, text, "es uno de los textos de entrada"},
        {"the output is the input spelt another way",
         {"number", text, dir.root().toStdString() + "/../" + dir.root().section('/', -1).toStdString() + "/obra.txt"},
         "obra.txt", "es uno de los textos de entrada"},
        {"a PDF", {"number", pdf, dir.path("o.txt").toStdString()}, pdf,
         "no es un fichero de texto; parece un documento PDF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_EQ(lines(run.err), 1);
    }
    EXPECT_EQ(readBytes(dir.path("obra.txt")), "Uno. Dos.");
    EXPECT_EQ(dir.entries(), (QStringList{"obra.pdf", "obra.txt"}));
}

TEST(CliUsage, ErrorsAreOneLineNamingTheProblemAndTheHelpToRead)
{
    struct Case { const char* name; std::vector<std::string> args; const char* problem; const char* help; };
    const Case cases[] = {
        {"no command", {}, "falta la orden", "solandre-cli --help"},
        {"unknown command", {"frobnicate"}, "orden desconocida \"frobnicate\"", "solandre-cli --help"},
        {"unknown option before the command", {"-x"}, "opción desconocida \"-x\"", "solandre-cli --help"},
        {"too few operands", {"number", "a"}, "faltan argumentos", "solandre-cli number --help"},
        {"too many operands", {"number", "a", "b", "c"}, "sobra el argumento \"c\"",
         "solandre-cli number --help"},
        {"an unknown option is not a form", {"search", "t.txt", "--sort"}, "opción desconocida \"--sort\"",
         "solandre-cli search --help"},
        {"nor a short one", {"search", "t.txt", "casa", "-x"}, "opción desconocida \"-x\"",
         "solandre-cli search --help"},
        {"a required option", {"save", "t.txt", "casa"}, "falta la opción \"-o RESULTADOS\"",
         "solandre-cli save --help"},
        {"an option without its value", {"save", "t.txt", "casa", "-o"}, "falta el valor de la opción \"-o\"",
         "solandre-cli save --help"},
        {"a flag given a value", {"search", "t.txt", "casa", "--count=2"}, "no lleva valor",
         "solandre-cli search --help"},
        {"a count that is no number", {"candidates", "s.txt", "t.txt", "casa", "--top", "diez"},
         "--top espera un número entero, no \"diez\"", "solandre-cli candidates --help"},
        {"a negative count", {"candidates", "s.txt", "t.txt", "casa", "--top=-1"}, "--top espera un número",
         "solandre-cli candidates --help"},
        {"a format there is not", {"export", "s.txt", "casa", "-o", "x", "--format", "xls"},
         "--format espera tsv, csv o xlsx, no \"xls\"", "solandre-cli export --help"},
        {"candidates without the form", {"candidates", "s.txt", "t.txt"}, "faltan argumentos",
         "solandre-cli candidates --help"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(lines(run.err), 1) << run.err;
        EXPECT_NE(run.err.find(c.problem), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(std::string("\"") + c.help + "\""), std::string::npos) << run.err;
    }
}

TEST(CliUsage, HelpAndVersionGoToTheStandardOutput)
{
    const CliRun help = runCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    for (const char* part : {"number", "search", "save", "candidates", "export", "Códigos de salida", "2  uso incorrecto"})
        EXPECT_NE(help.out.find(part), std::string::npos) << part;

    for (const char* command : {"number", "search", "save", "align", "pair", "tmx", "candidates", "export"}) {
        SCOPED_TRACE(command);
        const CliRun own = runCli({command, "--help"});
        EXPECT_EQ(own.status, 0);
        EXPECT_EQ(own.err, "");
        EXPECT_TRUE(own.out.starts_with(std::string("Uso: solandre-cli ") + command)) << own.out;
        EXPECT_NE(own.out.find("Opciones:"), std::string::npos);
        EXPECT_NE(own.out.find("Códigos de salida"), std::string::npos);
        // Every option's words start in one column, however many bytes an
        // accented letter of its value takes ("--with BÚSQUEDA").
        const std::string options = own.out.substr(own.out.find("Opciones:\n") + 10);
        std::set<size_t> columns;
        std::istringstream rows(options.substr(0, options.find("\n\n")));
        for (std::string row; std::getline(rows, row);) {
            const size_t gap = row.find("  ", 2);
            ASSERT_NE(gap, std::string::npos) << row;
            const std::string left = row.substr(0, row.find_first_not_of(' ', gap));
            columns.insert(QString::fromStdString(left).size());
        }
        EXPECT_EQ(columns.size(), 1u) << options;
    }
    EXPECT_NE(runCli({"save", "--help"}).out.find("--target NUMERADO_META"), std::string::npos);

    const CliRun version = runCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "solandre-cli 2.0\n");
}

class CliSearch : public ::testing::Test {
protected:
    TempDir dir;
    // "río" and "Río" in Windows-1252.
    const std::string numbered = "[1] El r\xEDo y la casa.\r\n[2] R\xEDo abajo, casas.\r\n"
                                 "[12] Casa.\r\n";
    std::string file = dir.write("t_source_ref.txt", numbered).toStdString();
};

TEST_F(CliSearch, ListsEachFormThenItsTotalInUtf8)
{
    const CliRun run = runCli({"search", file, "río", "cas*"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "río\t[1]\nRío\t[2]\nTotal de ocurrencia(s) para : río = 2\n"
                       "casa\t[1]\ncasas\t[2]\nCasa\t[12]\nTotal de ocurrencia(s) para : cas* = 3\n");
}

TEST_F(CliSearch, OptionsMayStandAnywhere)
{
    const CliRun counted = runCli({"search", "--count", file, "cas*", "nada"});
    EXPECT_EQ(counted.out, "Total de ocurrencia(s) para : cas* = 3\n"
                           "Total de ocurrencia(s) para : nada = 0\n");
    const CliRun sorted = runCli({"search", file, "cas*", "--sort-forms"});
    EXPECT_EQ(sorted.out, "Casa\t[12]\ncasa\t[1]\ncasas\t[2]\nTotal de ocurrencia(s) para : cas* = 3\n");
}

TEST_F(CliSearch, UnreadableFileFailsAndATextNotNumberedIsSearchedWithAWarning)
{
    const CliRun missing = runCli({"search", dir.path("no.txt").toStdString(), "casa"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no.txt"), std::string::npos);
    EXPECT_EQ(missing.out, "");

    const std::string plain = dir.write("plano.txt", "La casa. Otra casa.").toStdString();
    const CliRun warned = runCli({"search", plain, "casa"});
    EXPECT_EQ(warned.status, 0);
    EXPECT_EQ(warned.out, "casa\t\ncasa\t\nTotal de ocurrencia(s) para : casa = 2\n");
    EXPECT_NE(warned.err.find("plano.txt"), std::string::npos);
    EXPECT_NE(warned.err.find("no parece un texto numerado"), std::string::npos);
    EXPECT_EQ(lines(warned.err), 1);
}

TEST_F(CliSearch, FrequenciesListEachFormByCountOrAlphabetically)
{
    // Only the list on the standard output, for sort and awk; the totals on the other.
    const CliRun byCount = runCli({"search", file, "*", "--frequencies"});
    EXPECT_EQ(byCount.status, 0) << byCount.err;
    EXPECT_EQ(byCount.out, "casa\t2\nrío\t2\nabajo\t1\ncasas\t1\nel\t1\nla\t1\ny\t1\n");
    EXPECT_EQ(byCount.err, "Total de ocurrencia(s) para : * = 9\n");
    const CliRun alphabetical = runCli({"search", file, "cas*", "r*", "--frequencies", "--sort-forms"});
    EXPECT_EQ(alphabetical.out, "casa\t2\ncasas\t1\nrío\t2\n");
    EXPECT_EQ(alphabetical.err, "Total de ocurrencia(s) para : cas* = 3\nTotal de ocurrencia(s) para : r* = 2\n");
    const CliRun summed = runProgram(kProgram + " search " + QString::fromStdString(file) +
                                     " '*' --frequencies 2>/dev/null | awk '{ n += $2 } END { print n }'");
    EXPECT_EQ(summed.out, "9\n") << "awk reads the list as it is";
    EXPECT_EQ(runCli({"search", file, "cas*", "--frequencies", "--count"}).out,
              "Total de ocurrencia(s) para : cas* = 3\n");
}

TEST_F(CliSearch, QueriesOfSeveralWordsWildcardsAndExpressions)
{
    struct Case {
        const char* name;
        std::vector<std::string> args; // after the file
        int status;
        const char* out;
        const char* err; // part of it
    };
    const Case cases[] = {
        {"a phrase", {"la casa"}, 0, "la casa\t[1]\nTotal de ocurrencia(s) para : la casa = 1\n", ""},
        {"a phrase with any word, as written", {"r* * casas"}, 0,
         "Río abajo, casas\t[2]\nTotal de ocurrencia(s) para : r* * casas = 1\n", ""},
        {"alternatives", {"--count", "casa|r?o"}, 0, "Total de ocurrencia(s) para : casa|r?o = 4\n", ""},
        {"an expression", {"--regex", "r.o", "--count"}, 0, "Total de ocurrencia(s) para : r.o = 2\n", ""},
        {"a malformed expression stops the command, naming it", {"--regex", "--count", "cas.*", "ca(sa"}, 1,
         "Total de ocurrencia(s) para : cas.* = 3\n", "\u00ABca(sa\u00BB no es v\u00E1lida: falta un par\u00E9ntesis"},
        {"frequencies of a phrase", {"--frequencies", "* casa*"}, 0,
         "abajo, casas\t1\nla casa\t1\n", "Total de ocurrencia(s) para : * casa* = 2"},
        {"a condition needs the target", {"casa", "--with", "maison"}, 2, "", "--with necesita --target"},
        {"never both conditions", {"casa", "--with", "a", "--without", "b", "--target", "x"}, 2, "",
         "--with y --without no van juntas"},
        {"a single form with a sign says why it finds nothing", {"l'eau"}, 0,
         "Total de ocurrencia(s) para : l'eau = 0\n", "aviso: Una forma sola no lleva espacios ni signos"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = {"search", file};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, c.out);
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    }
}

TEST_F(CliSearch, ConditionsOnTheTranslationKeepOrDropEachHit)
{
    const std::string target =
        dir.write("t_target_ref.txt", "[1] La rivi\xE8re et la maison.\r\n[2] En aval, des maisons.\r\n[12] Maison.\r\n")
            .toStdString();
    const CliRun with = runCli({"search", file, "cas*", "--target", target, "--with", "maison"});
    EXPECT_EQ(with.status, 0) << with.err;
    EXPECT_EQ(with.out, "casa\t[1]\nCasa\t[12]\nTotal de ocurrencia(s) para : cas* = 2\n");
    const CliRun without = runCli({"search", file, "cas*", "--target", target, "--without", "la maison|rivi*"});
    EXPECT_EQ(without.out, "casas\t[2]\nCasa\t[12]\nTotal de ocurrencia(s) para : cas* = 2\n");
    const CliRun missing = runCli({"search", file, "casa", "--target", dir.path("no.txt").toStdString(), "--with", "x"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no.txt"), std::string::npos);
    // Searching the translation: the texts named the other way round.
    const CliRun swapped = runCli({"search", target, "maison*", "--target", file, "--without", "casa"});
    EXPECT_EQ(swapped.out, "maisons\t[2]\nTotal de ocurrencia(s) para : maison* = 1\n");
}

TEST_F(CliSearch, TheHelpStatesTheQuerySyntaxWithExamples)
{
    const std::string help = runCli({"search", "--help"}).out;
    for (const char* part : {"casa|hogar", "llevar * cabo", "ca?a", "--regex", "--with BÚSQUEDA", "--without", "l'eau"})
        EXPECT_NE(help.find(part), std::string::npos) << part;
    for (const char* command : {"save", "export", "candidates"}) {
        const std::string other = runCli({command, "--help"}).out;
        for (const char* option : {"--regex", "--with", "--without", "BÚSQUEDA"})
            EXPECT_NE(other.find(option), std::string::npos) << command << " " << option;
    }
}

TEST(CliSave, WritesTheResultsFileOfThePreparedTextsWindow)
{
    TempDir dir;
    const std::string source = dir.write("s.txt", "[1] Casa.\r\n[2] casa.\r\n").toStdString();
    const std::string target = dir.write("t.txt", "[1] Maison.\r\n").toStdString();
    const std::string out = dir.path("r.txt").toStdString();
    const CliRun run = runCli({"save", source, "casa", "-o", out, "--target", target, "--title",
                               "Título", "--date=07/12/2026", "--sort-forms"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string sep(74, '-');
    EXPECT_EQ(readBytes(dir.path("r.txt")),
              "R\xE9" "f\xE9rencia(s) : T\xEDtulo\r\nb\xFAsqueda efectuada el : 07/12/2026\r\n" + sep +
                  "\r\n\r\nForma(s)" + std::string(28, ' ') + "Referencia(s)\r\nCasa" +
                  std::string(32, ' ') + "[1]\r\ncasa" + std::string(32, ' ') + "[2]\r\n" + sep +
                  "\r\n[1] Casa.\r\n\r\n[1] Maison.\r\n\r\n" + sep + "\r\n[2] casa.\r\n\r\n\r\n");
}

TEST(CliSave, FailuresNameTheFileAndLoseNothing)
{
    TempDir dir;
    const std::string source = dir.write("s.txt", "[1] Casa.\r\n").toStdString();
    const std::string target = dir.write("t.txt", "[1] Maison.\r\n").toStdString();
    for (const std::string& text : {source, target}) {
        const CliRun same = runCli({"save", source, "casa", "-o", text, "--target", target});
        EXPECT_EQ(same.status, 1);
        EXPECT_NE(same.err.find(text), std::string::npos);
    }
    EXPECT_EQ(readBytes(dir.path("s.txt")), "[1] Casa.\r\n");
    EXPECT_EQ(readBytes(dir.path("t.txt")), "[1] Maison.\r\n");

    dir.write("r.txt", "viejo");
    const CliRun missing = runCli({"save", source, "casa", "-o", dir.path("r.txt").toStdString(),
                                   "--target", dir.path("no.txt").toStdString()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no.txt"), std::string::npos);
    EXPECT_EQ(readBytes(dir.path("r.txt")), "viejo");
}

class CliStudy : public ::testing::Test {
protected:
    TempDir dir;
    std::string source, target;

    void SetUp() override
    {
        std::string s, t;
        for (int n = 1; n <= 12; ++n) {
            const bool form = n % 3 == 0;
            s += "[" + std::to_string(n) + "] uno" + (form ? " casa" : "") + ".\r\n";
            t += "[" + std::to_string(n) + "] un" + (form ? " maison" : "") + (n == 3 ? " vieille" : "") + ".\r\n";
        }
        source = dir.write("s_ref.txt", s).toStdString();
        target = dir.write("t_ref.txt", t).toStdString();
    }
};

TEST_F(CliStudy, SaveExportAndCandidatesTakeTheSameQueries)
{
    const std::string out = dir.path("r.txt").toStdString();
    const CliRun saved = runCli({"save", source, "uno casa", "-o", out, "--target", target, "--with", "vieille",
                                 "--date", "D"});
    EXPECT_EQ(saved.status, 0) << saved.err;
    const std::string file = readBytes(dir.path("r.txt"));
    EXPECT_NE(file.find("uno casa" + std::string(28, ' ') + "[3]\r\n"), std::string::npos) << file;
    EXPECT_EQ(file.find("[6]"), std::string::npos) << file;

    const CliRun exported = runCli({"export", source, "u.o c.*", "--regex", "-o", dir.path("e.tsv").toStdString(),
                                    "--target", target, "--without", "vieille"});
    EXPECT_EQ(exported.status, 0) << exported.err;
    const std::string lines = readBytes(dir.path("e.tsv"));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1 + 3) << lines; // the header and [6], [9], [12]
    EXPECT_NE(lines.find("uno casa\t[6]\t\t.\tuno casa.\tun maison.\r\n"), std::string::npos) << lines;

    const CliRun candidates = runCli({"candidates", source, target, "uno casa", "--without", "vieille", "--top", "1"});
    EXPECT_EQ(candidates.status, 0) << candidates.err;
    EXPECT_TRUE(candidates.out.substr(candidates.out.find('\n') + 1).starts_with("maison\t")) << candidates.out;
    const CliRun bad = runCli({"candidates", source, target, "(", "--regex"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("no es v"), std::string::npos) << bad.err;
}

// A translation that is not numbered has no sentence to pair: the file is
// written all the same, its translated sentences empty, and the user is told.
TEST_F(CliStudy, SaveAndExportTellOfATranslationNotNumbered)
{
    const std::string plain = dir.write("t.txt", "un. un. un maison.\r\n").toStdString();
    const std::vector<std::vector<std::string>> commands = {
        {"save", source, "casa", "-o", dir.path("r.txt").toStdString(), "--target", plain},
        {"export", source, "casa", "-o", dir.path("e.tsv").toStdString(), "--target", plain},
        {"save", source, "casa", "-o", dir.path("r2.txt").toStdString(), "--target", target},
    };
    for (const auto& command : commands) {
        const CliRun run = runCli(command);
        EXPECT_EQ(run.status, 0) << run.err;
        const bool toldOf = run.err.find("no parece un texto numerado") != std::string::npos;
        EXPECT_EQ(toldOf, command.back() == plain) << command[0] << ": " << run.err;
        if (toldOf) EXPECT_NE(run.err.find(plain), std::string::npos) << run.err;
    }
}

TEST_F(CliStudy, CandidatesAreAHeaderThenTheWindowsColumnsBestFirst)
{
    const CliRun run = runCli({"candidates", source, target, "CASA"});
    EXPECT_EQ(run.status, 0) << run.err;
    // G² = 2 (12 ln 12 - 4 ln 4 - 8 ln 8) for "maison", in the four pairs of
    // the form only; its rank G² ln(12 / 4).
    const std::string header = "Candidato\tPuntuación\tG²\tCon la forma\tEn la traducción\n";
    EXPECT_EQ(run.out, header + "maison\t16.78\t15.28\t4\t4\nvieille\t5.93\t2.39\t1\t1\n");
    EXPECT_EQ(runCli({"candidates", source, target, "casa", "--top", "1"}).out, header + "maison\t16.78\t15.28\t4\t4\n");
    EXPECT_EQ(runCli({"candidates", source, target, "nada"}).out, "") << "the reason goes to stderr, alone";

    const CliRun missing = runCli({"candidates", source, dir.path("no.txt").toStdString(), "casa"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no.txt"), std::string::npos);
    EXPECT_EQ(missing.out, "");
}

TEST_F(CliStudy, ExportWritesTheFormatItsNameOrItsOptionSays)
{
    struct Case { const char* name; std::vector<std::string> extra; const char* file; const char* firstLine; };
    const Case cases[] = {
        {"csv by its name", {}, "lineas.CSV", "casa,[3],uno,.,uno casa.,un maison vieille.\r\n"},
        {"tsv otherwise", {}, "lineas.txt", "casa\t[3]\tuno\t.\tuno casa.\tun maison vieille.\r\n"},
        {"the option wins", {"--format", "csv"}, "lineas.tsv", "casa,[3],uno,.,uno casa.,un maison vieille.\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = {"export", source, "casa", "-o", dir.path(c.file).toStdString(),
                                         "--target", target};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, 0) << run.err;
        const std::string written = readBytes(dir.path(c.file));
        EXPECT_TRUE(written.starts_with("\xEF\xBB\xBF")) << written;
        EXPECT_EQ(lines(written), 5);
        EXPECT_NE(written.find(c.firstLine), std::string::npos) << written;
    }
}

TEST_F(CliStudy, ExportWritesAWorkbookByItsNameOrItsOption)
{
    struct Case { const char* name; std::vector<std::string> extra; const char* file; };
    const Case cases[] = {
        {"by its name", {}, "lineas.XLSX"},
        {"by the option", {"--format", "xlsx"}, "lineas.dat"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = {"export", source, "casa", "-o", dir.path(c.file).toStdString(),
                                         "--target", target};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, 0) << run.err;
        std::string why;
        const auto book = testing::readXlsx(dir.path(c.file), &why);
        ASSERT_TRUE(book) << why;
        ASSERT_EQ(book->sheets.size(), 1u);
        const auto rows = testing::rowTexts(book->sheets[0]);
        ASSERT_EQ(rows.size(), 5u);
        EXPECT_EQ(rows[1], "casa|[3]|uno|.|uno casa.|un maison vieille.");
    }
}

TEST_F(CliStudy, ExportRefusesATextAsItsOutputAndLosesNothing)
{
    const std::string before = readBytes(QString::fromStdString(source));
    for (const std::string& text : {source, target}) {
        const CliRun same = runCli({"export", source, "casa", "-o", text, "--target", target});
        EXPECT_EQ(same.status, 1);
        EXPECT_NE(same.err.find(text), std::string::npos);
    }
    EXPECT_EQ(readBytes(QString::fromStdString(source)), before);
    dir.write("r.csv", "viejo");
    const CliRun missing = runCli({"export", source, "casa", "-o", dir.path("r.csv").toStdString(), "--target",
                                   dir.path("no.txt").toStdString()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no.txt"), std::string::npos);
    EXPECT_EQ(readBytes(dir.path("r.csv")), "viejo");
}

TEST(CliStreams, ADashReadsTheStandardInputAndWritesTheStandardOutput)
{
    TempDir dir;
    const CliRun numbered = runProgram(kProgram + " number - -", "Uno. Dos.");
    EXPECT_EQ(numbered.status, 0) << numbered.err;
    EXPECT_EQ(numbered.out, "[1] Uno.\r\n[2] Dos.\r\n");

    const CliRun searched = runProgram(kProgram + " search - 'd*'", "[1] Uno.\r\n[2] Dos.\r\n");
    EXPECT_EQ(searched.status, 0) << searched.err;
    EXPECT_EQ(searched.out, "Dos\t[2]\nTotal de ocurrencia(s) para : d* = 1\n");

    const QString target = dir.write("t.txt", "[1] Un.\r\n[2] Deux.\r\n");
    const CliRun saved = runProgram(kProgram + " save - dos -o - --date D --target " + target,
                                    "[1] Uno.\r\n[2] Dos.\r\n");
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_TRUE(saved.out.ends_with("[2] Dos.\r\n\r\n[2] Deux.\r\n\r\n")) << saved.out;
    const CliRun exported = runProgram(kProgram + " export - dos -o - --target " + target,
                                       "[1] Uno.\r\n[2] Dos.\r\n");
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_TRUE(exported.out.ends_with("Dos\t[2]\t\t.\tDos.\tDeux.\r\n")) << exported.out;
    EXPECT_FALSE(QFile::exists("-"));
    EXPECT_EQ(dir.entries(), QStringList{"t.txt"});
}

TEST(CliAlign, ListsTheBeadsAndWritesTheAlignedPair)
{
    TempDir dir;
    std::string es, fr;
    const char* spanish[] = {"La casa del río estaba junto al puente viejo de piedra gris.",
                             "Cada mañana el molinero abría todas las ventanas del molino.",
                             "Los niños jugaban en la orilla hasta que caía la noche."};
    const char* french[] = {"La maison de la rivière était près du vieux pont de pierre grise.",
                            "Chaque matin le meunier ouvrait toutes les fenêtres du moulin.",
                            "Les enfants jouaient sur la rive jusqu'à la tombée de la nuit."};
    for (int k = 0; k < 3; ++k) {
        es += "[" + std::to_string(k + 1) + "] " + spanish[k] + "\r\n";
        fr += "[" + std::to_string(k + 1) + "] " + french[k] + "\r\n";
    }
    const std::string source = dir.write("es.txt", es).toStdString();
    const std::string target = dir.write("fr.txt", fr).toStdString();
    const CliRun run = runCli({"align", source, target, "--write", dir.path("es_al.txt").toStdString(),
                               dir.path("fr_al.txt").toStdString()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "[1]\t[1]\n[2]\t[2]\n[3]\t[3]\n");
    EXPECT_EQ(readBytes(dir.path("es_al.txt")), es);
    EXPECT_EQ(readBytes(dir.path("fr_al.txt")), fr);

    const CliRun same = runCli({"align", source, target, "--write", target, dir.path("x.txt").toStdString()});
    EXPECT_EQ(same.status, 1);
    EXPECT_NE(same.err.find("textos de entrada"), std::string::npos);
    EXPECT_EQ(readBytes(dir.path("fr.txt")), fr);
    EXPECT_EQ(runCli({"align", source, dir.path("no.txt").toStdString()}).status, 1);
    EXPECT_EQ(runCli({"align", source}).status, 2);
    EXPECT_EQ(runCli({"align", source, target, "--write", "uno"}).status, 2);
}

TEST(CliScripts, FrequenciesSortedByFormFollowTheAlphabet)
{
    TempDir dir;
    const std::string file =
        dir.write("hu.txt", "[1] alma ecru oszlop zebra \xC3\xA1\x62ra \xC3\xA9\x63\x61rt \xC3\xA9s \xC3\xB6\x62\xC3\xB6l.\r\n")
            .toStdString();
    const CliRun run = runCli({"search", file, "*", "--frequencies", "--sort-forms"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "ábra\t1\nalma\t1\nécart\t1\necru\t1\nés\t1\nöböl\t1\noszlop\t1\nzebra\t1\n");
}

TEST(CliScripts, AMostlyUtf8TableIsReadAsUtf8AndTheReaderToldOnce)
{
    // A table of 10,000 rows in UTF-8, one of them with a Windows-1252 "é".
    TempDir dir;
    std::string rows;
    for (int k = 1; k <= 10000; ++k) rows += "Canci\xC3\xB3n " + std::to_string(k) + (k == 4321 ? " caf\xE9" : "") + "\tChanson\n";
    const std::string table = dir.write("tabla.tsv", rows).toStdString();
    const std::string es = dir.path("t_source_ref.txt").toStdString(), fr = dir.path("t_cible_ref.txt").toStdString();
    const CliRun pair = runCli({"pair", table, es, fr});
    EXPECT_EQ(pair.status, 0) << pair.err;
    EXPECT_EQ(lines(pair.err), 1) << pair.err;
    EXPECT_NE(pair.err.find("tabla.tsv"), std::string::npos) << pair.err;
    EXPECT_NE(pair.err.find("1 byte"), std::string::npos) << pair.err;
    EXPECT_NE(pair.err.find("l\xC3\xADnea 4321"), std::string::npos) << pair.err;

    // The numbered source reads as UTF-8: its words are found.
    const CliRun search = runCli({"search", es, "canción", "--count"});
    EXPECT_EQ(search.status, 0) << search.err;
    EXPECT_EQ(search.out, "Total de ocurrencia(s) para : canción = 10000\n");

    // A text keeps its bad byte as it is in its numbered copy.
    const std::string text = dir.write("obra.txt", rows).toStdString();
    const CliRun numbered = runCli({"number", text, dir.path("obra_ref.txt").toStdString()});
    EXPECT_EQ(numbered.status, 0) << numbered.err;
    EXPECT_NE(numbered.err.find("obra.txt"), std::string::npos) << numbered.err;
    EXPECT_NE(readBytes(dir.path("obra_ref.txt")).find("caf\xE9"), std::string::npos);
}

TEST(CliMemory, AMemoryBecomesAPairAndThePairAMemory)
{
    TempDir dir;
    const std::string memory = dir.write("m.tmx",
        "<?xml version=\"1.0\"?><tmx version=\"1.4\"><header srclang=\"es\" creationtool=\"t\" "
        "creationtoolversion=\"1\" segtype=\"sentence\" o-tmf=\"t\" adminlang=\"es\" datatype=\"plaintext\"/>"
        "<body><tu><tuv xml:lang=\"es\"><seg>Uno</seg></tuv><tuv xml:lang=\"fr\"><seg>Un</seg></tuv></tu>"
        "<tu><tuv xml:lang=\"es\"><seg>Dos</seg></tuv></tu></body></tmx>").toStdString();
    const std::string es = dir.path("m_source_ref.txt").toStdString(), fr = dir.path("m_cible_ref.txt").toStdString();
    const CliRun pair = runCli({"pair", memory, es, fr});
    EXPECT_EQ(pair.status, 0) << pair.err;
    EXPECT_EQ(pair.out, "");
    EXPECT_EQ(pair.err, "solandre-cli: aviso: de 2 unidades, 1 sin texto meta (fr): sus registros quedan "
                        "vacíos en ese lado\n");
    EXPECT_EQ(readBytes(dir.path("m_cible_ref.txt")), "\xEF\xBB\xBF[1] Un\r\n[2] \r\n");

    const std::string out = dir.path("back.tmx").toStdString();
    const CliRun tmx = runCli({"tmx", es, fr, "-o", out, "--source-lang", "es", "--target-lang", "fr"});
    EXPECT_EQ(tmx.status, 0) << tmx.err;
    EXPECT_EQ(tmx.err, "");
    const std::string written = readBytes(dir.path("back.tmx"));
    EXPECT_NE(written.find("<seg>Dos</seg>"), std::string::npos) << written;
    EXPECT_EQ(written.find("xml:lang=\"fr\""), written.rfind("xml:lang=\"fr\"")) << "no French variant for \"Dos\"";

    struct Case { const char* name; std::vector<std::string> args; int status; const char* said; };
    const Case cases[] = {
        {"tmx without languages", {"tmx", es, fr, "-o", out}, 2, "falta la opción \"--source-lang LENGUA\""},
        {"tmx without an output", {"tmx", es, fr, "--source-lang", "es", "--target-lang", "fr"}, 2, "\"-o"},
        {"pair onto its input", {"pair", memory, memory, fr}, 1, "es uno de los textos de entrada"},
        {"pair of one language twice", {"pair", memory, es, fr, "--source-lang", "es", "--target-lang", "ES"}, 1,
         "son la misma"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        EXPECT_EQ(lines(run.err), 1);
    }
    EXPECT_EQ(readBytes(dir.path("m_cible_ref.txt")), "\xEF\xBB\xBF[1] Un\r\n[2] \r\n");
}

// A memory of two units in Spanish and French.
std::string smallMemory()
{
    return "<?xml version=\"1.0\"?><tmx version=\"1.4\"><header srclang=\"es\"/><body>"
           "<tu><tuv xml:lang=\"es\"><seg>Uno</seg></tuv><tuv xml:lang=\"fr\"><seg>Un</seg></tuv></tu>"
           "<tu><tuv xml:lang=\"es\"><seg>Dos</seg></tuv><tuv xml:lang=\"fr\"><seg>Deux</seg></tuv></tu></body></tmx>";
}

TEST(CliMemory, LanguagesAreTagsAndOneLanguageHoweverSpelt)
{
    TempDir dir;
    const std::string memory = dir.write("m.tmx", smallMemory()).toStdString();
    const std::string es = dir.path("s.txt").toStdString(), fr = dir.path("c.txt").toStdString();
    struct Case { const char* name; std::vector<std::string> args; int status; const char* said; };
    const Case cases[] = {
        {"pair with a tag that is no tag", {"pair", memory, es, fr, "--source-lang", "x y<"}, 2,
         "\"x y<\" no es una etiqueta de lengua"},
        {"tmx with a quote in a tag", {"tmx", es, fr, "-o", dir.path("o.tmx").toStdString(), "--source-lang", "es",
                                       "--target-lang", "en\"x"}, 2, "no es una etiqueta de lengua"},
        {"one language spelt two ways", {"pair", memory, es, fr, "--source-lang", "en_GB", "--target-lang", "en-gb"},
         1, "son la misma"},
        {"a format there is not", {"pair", memory, es, fr, "--format", "xml"}, 2, "--format espera tmx o tsv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        EXPECT_EQ(lines(run.err), 1);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(fr)));
    }
    dir.write("es.txt", "[1] Uno\r\n");
    dir.write("fr.txt", "[1] Un\r\n");
    const CliRun written = runCli({"tmx", dir.path("es.txt").toStdString(), dir.path("fr.txt").toStdString(), "-o",
                                   dir.path("o.tmx").toStdString(), "--source-lang", "es_es", "--target-lang", "FR-fr"});
    EXPECT_EQ(written.status, 0) << written.err;
    EXPECT_NE(readBytes(dir.path("o.tmx")).find("<tuv xml:lang=\"fr-FR\">"), std::string::npos);
}

TEST(CliMemory, TwoOutputsThatAreOneFileAreRefusedAsSuch)
{
    TempDir dir;
    const std::string memory = dir.write("m.tmx", smallMemory()).toStdString();
    const std::string es = dir.write("s.txt", "old").toStdString();
    QFile::link(dir.path("c.txt"), dir.path("enlace.txt"));
    dir.write("a.txt", "[1] Uno\r\n");
    dir.write("b.txt", "[1] Un\r\n");
    const std::string a = dir.path("a.txt").toStdString(), b = dir.path("b.txt").toStdString();
    const std::vector<std::vector<std::string>> cases = {
        {"pair", memory, es, es},
        {"pair", memory, dir.path("c.txt").toStdString(), dir.path("enlace.txt").toStdString()},
        {"pair", memory, "-", "-"},
        {"align", a, b, "--write", dir.path("c.txt").toStdString(), dir.path("enlace.txt").toStdString()},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.back());
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("las dos salidas son el mismo fichero"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(readBytes(dir.path("s.txt")), "old");
    EXPECT_FALSE(QFile::exists(dir.path("c.txt")));
}

// A memory given as a pipe or on the standard input is read once and whole.
TEST(CliMemory, PipesAndTheStandardInput)
{
    TempDir dir;
    std::string memory = "<tmx><header srclang=\"es\"/><body>";
    for (int k = 1; k <= 2000; ++k)
        memory += "<tu><tuv xml:lang=\"es\"><seg>Uno " + std::to_string(k) + "</seg></tuv><tuv xml:lang=\"fr\"><seg>Un " +
                  std::to_string(k) + "</seg></tuv></tu>\n";
    memory += "</body></tmx>\n";
    const QString file = dir.write("m.tmx", memory);
    const QString table = dir.write("t.tsv", "<b>Uno</b>\tUn\nDos\tDeux\n");
    const QString s = dir.path("s.txt"), c = dir.path("c.txt");
    struct Case { const char* name; QString line; std::string input; const char* lastSource; };
    const Case cases[] = {
        {"the standard input", kProgram + " pair - " + s + " " + c, memory, "[2000] Uno 2000\r\n"},
        {"a process substitution", kProgram + " pair <(cat " + file + ") " + s + " " + c, "", "[2000] Uno 2000\r\n"},
        {"a table from a pipe", kProgram + " pair <(cat " + table + ") " + s + " " + c, "", "[2] Dos\r\n"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        QFile::remove(s);
        const CliRun run = runProgram(k.line, k.input);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(readBytes(s).ends_with(k.lastSource)) << readBytes(s).substr(0, 100);
    }
    // Said to be a table, a first line that is one tag is not taken for XML.
    dir.write("u.tsv", "<b>Hola</b>\nDos\tDeux\n");
    const CliRun said = runCli({"pair", dir.path("u.tsv").toStdString(), s.toStdString(), c.toStdString(), "--format", "tsv"});
    EXPECT_EQ(said.status, 0) << said.err;
    EXPECT_EQ(readBytes(s), "[1] <b>Hola</b>\r\n[2] Dos\r\n");
}

TEST(CliMemory, NothingToWriteFailsAndReplacesNothing)
{
    TempDir dir;
    const std::string memory = dir.write("m.tmx", smallMemory()).toStdString();
    const std::string s = dir.write("s.txt", "old source").toStdString(), c = dir.write("c.txt", "old target").toStdString();
    const CliRun neither = runCli({"pair", memory, s, c, "--source-lang", "de", "--target-lang", "it"});
    EXPECT_EQ(neither.status, 1);
    EXPECT_NE(neither.err.find("ninguna de sus 2 unidades tiene texto"), std::string::npos) << neither.err;
    const CliRun empty = runCli({"pair", dir.write("vacia.tmx", "").toStdString(), s, c});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("no contiene ninguna unidad"), std::string::npos) << empty.err;
    EXPECT_EQ(readBytes(dir.path("s.txt")), "old source");
    EXPECT_EQ(readBytes(dir.path("c.txt")), "old target");
}

// A size limit makes the write fail with the usual message, never a kill.
TEST(CliStreams, AFileSizeLimitIsAMessageNamingTheFile)
{
    TempDir dir;
    std::string text;
    while (text.size() < 400'000) text += "Una frase. Otra frase. ";
    const QString input = dir.write("grande.txt", text);
    std::string table;
    for (int k = 0; k < 20000; ++k) table += "Frase de la casa.\tPhrase de la maison.\n";
    const QString memory = dir.write("m.tsv", table);
    dir.write("s.txt", "old");
    for (const QString& command : {" number " + input + " " + dir.path("out.txt"),
                                   " pair " + memory + " " + dir.path("s.txt") + " " + dir.path("c.txt")}) {
        SCOPED_TRACE(command.toStdString());
        const CliRun run = runProgram("ulimit -f 100; " + kProgram + command);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.err.find("No se puede escribir el fichero"), std::string::npos) << run.err;
        EXPECT_EQ(lines(run.err), 1) << run.err;
    }
    EXPECT_EQ(readBytes(dir.path("s.txt")), "old");
    EXPECT_FALSE(QFile::exists(dir.path("out.txt")));
}

TEST_F(CliStudy, CandidatesSayWhyThereAreNone)
{
    const std::string empty = dir.write("vacio.txt", "").toStdString();
    const std::string plain = dir.write("plano.txt", "Un texto. Sin numerar.").toStdString();
    struct Case { const char* name; std::vector<std::string> args; int status; const char* said; };
    const Case cases[] = {
        {"an empty target", {"candidates", source, empty, "casa"}, 1, "el fichero está vacío"},
        {"a target not numbered", {"candidates", source, plain, "casa"}, 1, "no es un texto numerado"},
        {"an empty form", {"candidates", source, target, " "}, 1, "la forma está vacía"},
        {"a form the text does not hold", {"candidates", source, target, "nada"}, 0, "la forma \"nada\" no está en"},
        {"a condition none of the form's sentences meets", {"candidates", source, target, "casa", "--without", "maison"},
         0, "tiene \"casa\" con una traducción que no contenga \"maison\""},
        {"a condition naming what no translation holds", {"candidates", source, target, "casa", "--with", "nada"}, 0,
         "tiene \"casa\" con una traducción que contenga \"nada\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        EXPECT_EQ(lines(run.err), 1);
    }
}

TEST(CliWords, HelpAndWarningsTellTheTruth)
{
    const std::string help = runCli({"number", "--help"}).out;
    EXPECT_NE(help.find("guarda en su registro los saltos de línea"), std::string::npos) << help;

    TempDir dir;
    const std::string plain = dir.write("plano.txt", "La casa.").toStdString();
    const CliRun warned = runCli({"search", plain, "casa"});
    EXPECT_NE(warned.err.find("use \"solandre-cli number\""), std::string::npos) << warned.err;
    EXPECT_EQ(warned.err.find("menú"), std::string::npos) << warned.err;

    const std::string es = dir.write("es.txt", "[1] Uno.\r\n[2] Dos.\r\n[2] Dos otra vez.\r\n").toStdString();
    const std::string fr = dir.write("fr.txt", "[1] Un.\r\n[3] Trois.\r\n[2] Deux.\r\n").toStdString();
    const CliRun aligned = runCli({"align", es, fr});
    EXPECT_EQ(aligned.status, 0) << aligned.err;
    EXPECT_NE(aligned.err.find("las marcas de \"" + es + "\" están repetidas o fuera de orden ([2] tras [2])"),
              std::string::npos) << aligned.err;
    EXPECT_NE(aligned.err.find("las marcas de \"" + fr + "\" están repetidas o fuera de orden ([2] tras [3])"),
              std::string::npos) << aligned.err;
    EXPECT_EQ(lines(runCli({"align", dir.write("a.txt", "[1] Uno.\r\n[2] Dos.\r\n").toStdString(), es}).err), 1);
}

TEST(CliManual, ThePageAndTheCompletionCoverEveryCommandAndOption)
{
    const std::string page = cli::cliManualPage(cli::commands(), "9.9");
    const std::string completion = cli::bashCompletion(cli::commands());
    EXPECT_TRUE(page.starts_with(".\\\" ")) << "a comment first, then the title";
    EXPECT_NE(page.find(".TH SOLANDRE-CLI 1 \"\" \"Solandre 9.9\""), std::string::npos);
    auto roff = [](std::string text) {
        for (size_t at = 0; (at = text.find('-', at)) != std::string::npos; at += 2) text.replace(at, 1, "\\-");
        return text;
    };
    for (const cli::CommandSpec& command : cli::commands()) {
        SCOPED_TRACE(command.name);
        EXPECT_NE(page.find(".SS " + std::string(command.name) + "\n"), std::string::npos);
        EXPECT_NE(completion.find(std::string(command.name) + ") options=\"--help"), std::string::npos);
        for (const cli::OptionSpec& option : command.options) {
            EXPECT_NE(page.find(".B " + roff(option.name)), std::string::npos) << option.name;
            EXPECT_NE(completion.find(" " + std::string(option.name)), std::string::npos) << option.name;
        }
    }
    EXPECT_NE(page.find("CÓDIGOS DE SALIDA"), std::string::npos);
}

TEST(CliManual, BashCompletesCommandsThenOptions)
{
    TempDir dir;
    const QString script = dir.write("solandre-cli", cli::bashCompletion(cli::commands()));
    auto complete = [&](const QString& words, int current) {
        return runProgram("source " + script + "; COMP_WORDS=(" + words + "); COMP_CWORD=" + QString::number(current) +
                          "; _solandre_cli; echo \"${COMPREPLY[*]}\"").out;
    };
    EXPECT_EQ(complete("solandre-cli se", 1), "search\n");
    EXPECT_EQ(complete("solandre-cli tmx a b --s", 4), "--source-lang\n");
    EXPECT_EQ(complete("solandre-cli search --c", 2), "--count\n");
}

TEST(CliProgress, ALineOnATerminalOnlyAndGoneAtTheEnd)
{
    TempDir dir;
    std::string text;
    while (text.size() < (6u << 20)) text += "Una frase. Otra frase? Si! ";
    const std::string input = dir.write("grande.txt", text).toStdString();
    const std::string output = dir.path("grande_ref.txt").toStdString();

    std::ostringstream out, err;
    ASSERT_EQ(cli::run({"number", input, output}, out, err, true), 0);
    const std::string line = err.str();
    EXPECT_TRUE(line.starts_with("\rNumerando " + input + ": ")) << line;
    EXPECT_NE(line.find(" 100 %"), std::string::npos) << line;
    EXPECT_TRUE(line.ends_with("\r\x1b[K")) << line;

    std::ostringstream out2, err2;
    ASSERT_EQ(cli::run({"number", input, output}, out2, err2, false), 0);
    EXPECT_EQ(err2.str(), "");
}

TEST(CliStreams, AReaderThatGoesAwayEndsTheProgramQuietly)
{
    TempDir dir;
    std::string text;
    for (int s = 1; s <= 100000; ++s) text += "[" + std::to_string(s) + "] uno dos tres.\r\n";
    const QString numbered = dir.write("largo.txt", text);
    for (const QString& command : {kProgram + " search " + numbered + " '*' | head -n 1",
                                   kProgram + " number " + numbered + " - | head -c 10"}) {
        SCOPED_TRACE(command.toStdString());
        const CliRun run = runProgram(command);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
    }
}

} // namespace
} // namespace solandre
